#include "generators/ui/CSV.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/EventLoop.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"
#include "core/ui/CancelF.h"
#include "generators/CsvTable.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include <new>

namespace kolbran {

namespace {

const QStringList kFontSizes = {QStringLiteral("9.75"), QStringLiteral("10.5"), QStringLiteral("12"),
                                QStringLiteral("13.5"), QStringLiteral("15")};
constexpr int kMinimumWidth = 7365 / 15;  // twips at 15 per pixel

}  // namespace

CSV::CSV(AppState& state, QWidget* parent) : ModelessDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("CSV"));
    setWindowTitle(QStringLiteral(u"ＣＳＶ解析機能"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::Window);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->addItems(CsvDelimiterNames());
    Combo2 = new QComboBox(this);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->addItems(kFontSizes);
    Combo2->setCurrentIndex(1);
    const char* captions[5] = {"データ数", "項目数", "", "", "区切り文字"};
    for (int k = 0; k < 5; ++k) {
        Label2[size_t(k)] = new QLabel(QString::fromUtf8(captions[k]), this);
        Label2[size_t(k)]->setObjectName(QStringLiteral("Label2_%1").arg(k));
    }
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setUndoRedoEnabled(false);
    // A fixed-pitch face, so that the padded columns line up.
    QFont font(QStringLiteral(u"ＭＳ ゴシック"));
    font.setPointSizeF(10.5);
    Text1->setFont(font);
    Command3 = MakeButton("Command3", QStringLiteral(u"変 換"));
    Command3->setEnabled(false);
    Command1 = MakeButton("Command1", QStringLiteral(u"ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰする"));
    Command2 = MakeButton("Command2", QStringLiteral(u"閉じる(&X)"));

    auto* top = new QHBoxLayout;
    top->addWidget(Label2[4]);
    top->addWidget(Combo1);
    top->addWidget(Combo2);
    top->addSpacing(12);
    top->addWidget(Label2[1]);
    top->addWidget(Label2[2]);
    top->addSpacing(12);
    top->addWidget(Label2[0]);
    top->addWidget(Label2[3]);
    top->addStretch(1);
    top->addWidget(Command3);
    top->addWidget(Command1);
    top->addWidget(Command2);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addWidget(Text1, 1);
    setMinimumWidth(kMinimumWidth);
    resize(760, 520);

    connect(Combo1, &QComboBox::activated, this, &CSV::Combo1_Click);
    connect(Combo2, &QComboBox::activated, this, &CSV::Combo2_Click);
    connect(Command1, &QPushButton::clicked, this, &CSV::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &CSV::close);
}

void CSV::Open()
{
    show();
    state_.CancelRequested = false;
    const int index = state_.CsvDelimiterIndex >= 0 && state_.CsvDelimiterIndex <= 2 ? state_.CsvDelimiterIndex : 0;
    Combo1->setCurrentIndex(index);
    Combo1_Click(index);
}

void CSV::Combo1_Click(int index)
{
    if (running_)
        return;  // the list is disabled while a run goes on
    Analyse(index);
    state_.CsvDelimiterIndex = index;
    if (closeRequested_)
        close();
}

void CSV::Analyse(int delimiterIndex)
{
    running_ = true;
    Combo1->setEnabled(false);
    OpenDocument& doc = state_.doc;
    const QString documentName = doc.DocumentName;
    const int displayCode = doc.DisplayCode;
    const qint64 lines = doc.LineCount;
    const quint64 generation = doc.OpenGeneration;  // a rewrite of the document opens it anew
    const qint64 total = 2 * lines;

    CsvLayout layout(CsvDelimiter(delimiterIndex));
    const CsvLineSource read = DocumentLineSource(state_);
    const CsvLineSource source = [&](qint64 n) {
        if (BeforeLine)
            BeforeLine(n);
        return read(n);
    };
    CancelF wait(state_, this);
    wait.Open();
    // A run stops at its next step when cancelled, when the window is closing, or when the
    // document it reads is closed, replaced, rewritten or shown in another code.
    auto goOn = [&] {
        return !state_.CancelRequested && !closeRequested_ && doc.DocumentName == documentName &&
               doc.DisplayCode == displayCode && doc.HasFile() && doc.OpenGeneration == generation &&
               doc.LineCount == lines;
    };
    auto step = [&](qint64 position) {
        if ((position & 63) == 0 || position == total)
            wait.SetProgress(position, total);
        YieldToEventLoop();
        return goOn();
    };

    const bool measured = CsvMeasurePass(layout, lines, source, [&](qint64 n) { return step(n); });
    Label2[2]->setText(FormatCount(layout.Columns()));
    Label2[3]->setText(FormatCount(lines));

    QString result;
    CsvTableProgress progress;
    try {
        if (measured)
            CsvTablePass(layout, lines, source, [&](qint64 n) { return step(lines + n); },
                         [&](const QString& rows) { result += rows; }, progress);
        wait.Finish();
        result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        Text1->setPlainText(result);
    } catch (const std::exception& e) {
        wait.Finish();
        const auto* error = dynamic_cast<const RuntimeError*>(&e);
        const bool outOfMemory = !error || error->Number() == Err::OutOfMemory;
        QString shown = outOfMemory ? result.left(64000) : result;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        Text1->setPlainText(shown);
        WriteTempFile(result + progress.pending);
        state_.prompter.Message(CsvOutOfMemoryMessage(progress.line), MsgIcon::None, MsgButtons::Ok);
    }
    Combo1->setEnabled(true);
    running_ = false;
}

void CSV::WriteTempFile(const QString& text)
{
    try {
        QSaveFile file(QDir::current().filePath(QStringLiteral("CSV_TEMP.TXT")));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            ThrowFileError(file, Err::PathFileAccess);
        const QByteArray bytes = ToSjis(text);
        if (file.write(bytes) != bytes.size())
            ThrowFileError(file, Err::DeviceIo);
        if (!file.commit())
            ThrowFileError(file, Err::DeviceIo);
    } catch (const RuntimeError& e) {
        ReportError(state_, e, 0);
    } catch (const std::bad_alloc&) {
        ReportError(state_, Err::OutOfMemory, 0);
    }
}

void CSV::Combo2_Click(int index)
{
    QFont font = Text1->font();
    font.setPointSizeF(kFontSizes.value(index, QStringLiteral("10.5")).toDouble());
    Text1->setFont(font);
}

void CSV::Command1_Click()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(Text1->toPlainText());
}

void CSV::closeEvent(QCloseEvent* event)
{
    if (running_) {
        // The run is on the stack below: it stops at its next step and closes the window.
        closeRequested_ = true;
        state_.CancelRequested = true;
        event->ignore();
        return;
    }
    AcceptClose(event);
}

void OpenCsvWindow(AppState& state, QWidget* mainWindow)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* old = qobject_cast<CSV*>(w)) {
            if (old->Running()) {
                old->raise();
                old->activateWindow();
                return;
            }
            old->close();
        }
    }
    auto* window = new CSV(state, mainWindow);
    window->Open();
}

}  // namespace kolbran
