#include "multifile/ui/MltTran.h"

#include "core/AppState.h"
#include "core/Prompter.h"
#include "multifile/MultiConvert.h"
#include "multifile/ui/FileSetControls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kolbran {

MltTran::MltTran(AppState& state, MltTranMemory& memory, QWidget* parent)
    : MultiRunDialog(state, FileSetUse::Convert, memory.pattern, QStringLiteral(u"複数ファイル変換"),
                     QStringLiteral(u"１ﾌｧｲﾙづつ確認する(&C)"), parent),
      memory_(memory)
{
    setObjectName(QStringLiteral("MltTran"));
    Combo2 = new QComboBox(this);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->addItems(ConvertKindCaptions());
    Combo2->setCurrentIndex(memory.kind >= 0 && memory.kind < Combo2->count() ? memory.kind : 0);
    Label4 = new QLabel(QStringLiteral(u"変換ﾀｲﾌﾟ(&H)"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setBuddy(Combo2);
    Text1 = new QLineEdit(memory.keyword, this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Label5 = new QLabel(QStringLiteral(u"変換ｷｰﾜｰﾄﾞ(&K)"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setBuddy(Text1);
    Options()->addWidget(Label4, 0, 0);
    Options()->addWidget(Combo2, 1, 0);
    Options()->addWidget(Label5, 2, 0);
    Options()->addWidget(Text1, 3, 0);

    connect(Command1, &QPushButton::clicked, this, &MltTran::Command1_Click);
}

void MltTran::Command1_Click()
{
    const int kind = Combo2->currentIndex();
    const QString keyword = Text1->text();
    const bool completed = RunOverSelection(
        {Combo2, Text1}, [kind](const QString& name) { return ConvertQuestion(name, kind); },
        [this, kind, keyword](const QString& name, const QString& path) { ConvertOne(name, path, kind, keyword); });
    if (completed) {
        memory_.pattern = Sets->PatternIndex();
        memory_.kind = kind;
        memory_.keyword = keyword;
    }
}

void MltTran::ConvertOne(const QString& name, const QString& path, int kind, const QString& keyword)
{
    ConvertOptions options;
    options.kind = kind;
    options.keyword = keyword;
    const int stored = state_.settings.WrapWidth;
    options.wrapWidth = stored >= 2 && stored <= 256 ? stored : 80;
    QString reason;
    const ConvertOutcome outcome =
        ConvertFile(state_, path, options, [this](int64_t done, int64_t total) { return Step(done, total); }, &reason);
    if (outcome == ConvertOutcome::Refused)
        state_.prompter.Message(QStringLiteral(u"「") + name + QStringLiteral(u"」") + state_.settings.LineBreak + reason,
                                MsgIcon::Warning);
    else if (outcome == ConvertOutcome::Utf16Kept)
        state_.prompter.Message(Utf16KeptText(name), MsgIcon::Warning);
}

}  // namespace kolbran
