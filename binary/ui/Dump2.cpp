#include "binary/ui/Dump2.h"

#include "binary/PartialDump.h"
#include "core/AppState.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kolbran {

Dump2::Dump2(AppState& state, const QString& selectedText, QWidget* parent)
    : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("Dump2"));
    setWindowTitle(QStringLiteral(u"部分バイナリ表示"));
    auto* column = new QVBoxLayout(this);
    for (int i = 0; i < 2; ++i) {
        Text1[i] = new QPlainTextEdit(this);
        Text1[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
        Text1[i]->setReadOnly(true);
        Text1[i]->setFont(QFont(QStringLiteral(u"ＭＳ ゴシック"), 10));
        column->addWidget(Text1[i], 1);
    }
    Command1 = new QPushButton(QStringLiteral(u"閉じる(&X)"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    column->addWidget(Command1, 0, Qt::AlignRight);
    connect(Command1, &QPushButton::clicked, this, &QDialog::close);
    resize(560, 360);
    Form_Load(selectedText);
}

void Dump2::Form_Load(const QString& selectedText)
{
    Text1[0]->setPlainText(selectedText);
    Text1[1]->setPlainText(PartialDumpHex(selectedText, state_.doc.IsUtf16));
}

}  // namespace kolbran
