#include "base64/Conversion.h"
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/RuntimeError.h"
#include "viewer/LineLoader.h"
#include "viewer/ViewerHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

class ConversionTest : public ::testing::Test {
protected:
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/kolbran_base64_XXXXXX")};  // no "." in the folder
    test::ScriptedPrompter prompter;
    AppState state{prompter};

    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Write(const QString& name, const QByteArray& bytes)
    {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return Path(name);
    }
    QByteArray Read(const QString& name)
    {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    ConversionResult Run(ConversionType type, const QString& source, bool extended = false)
    {
        ConversionRequest request;
        request.type = type;
        request.source = source;
        request.extended = extended;
        return ExecuteConversion(state, request);
    }
};

TEST_F(ConversionTest, EncodeAsksForTheNameAndReportsCompletion)
{
    const QString source = Write("data.bin", "abc");
    prompter.fileNames.enqueue(Path("data.b64"));
    const ConversionResult r = Run(ConversionType::EncodeBase64, source);
    EXPECT_EQ(r.status, ConversionStatus::Done);
    EXPECT_EQ(r.processed, 1);
    EXPECT_EQ(Read("data.b64"), "YWJj\r\n");
    ASSERT_EQ(prompter.prompts.size(), 2);
    const FileDialogRequest& dialog = prompter.prompts[0].request;
    EXPECT_EQ(dialog.title, QStringLiteral(u"エンコードします！ファイル名を入力してください。"));
    EXPECT_EQ(dialog.filter, QStringLiteral(u"ｴﾝｺｰﾄﾞﾌｧｲﾙ(*.b64)|*.b64|全てのﾌｧｲﾙ(*.*)|*.*"));
    EXPECT_EQ(dialog.filterIndex, 1);
    EXPECT_EQ(dialog.initialName, Path("data.b64"));
    EXPECT_EQ(prompter.prompts[1].text, QStringLiteral(u"「") + Path("data.b64") + QStringLiteral(u"」完了しました。"));
    EXPECT_EQ(prompter.prompts[1].icon, MsgIcon::Information);
    EXPECT_FALSE(state.BusyFlag);
}

TEST_F(ConversionTest, DebugFlag2AppendsTheExtensionToTheWholeName)
{
    state.settings.DebugFlags = 2;
    const QString source = Write("data.bin", "abc");
    Run(ConversionType::EncodeBase64, source);  // cancelled
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_EQ(prompter.prompts[0].request.initialName, Path("data.bin.b64"));
}

TEST_F(ConversionTest, DecodeEndsWithoutACompletionMessage)
{
    const QString source = Write("data.b64", "YQ==\r\nYWJj\r\n");
    prompter.fileNames.enqueue(Path("data.XXX"));
    const ConversionResult r = Run(ConversionType::DecodeBase64, source);
    EXPECT_EQ(r.status, ConversionStatus::Done);
    EXPECT_EQ(r.processed, 0);
    EXPECT_EQ(Read("data.XXX"), "aabc");
    ASSERT_EQ(prompter.prompts.size(), 1);
    const FileDialogRequest& dialog = prompter.prompts[0].request;
    EXPECT_EQ(dialog.title, QStringLiteral(u"デコード<BASE64>処理を実行します。"));
    EXPECT_EQ(dialog.filter, QStringLiteral(u"実行ﾌｧｲﾙ(*.EXE)|*.EXE|全てのﾌｧｲﾙ(*.*)|*.*"));
    EXPECT_EQ(dialog.filterIndex, 2);
    EXPECT_EQ(dialog.initialName, Path("data.XXX"));
}

TEST_F(ConversionTest, ChecksBeforeTheRun)
{
    const QString empty = Write("empty.bin", "");
    bool started = false;
    ConversionHooks hooks;
    hooks.started = [&] { started = true; };
    const struct {
        QString source;
        ConversionStatus status;
        QString message;
    } cases[] = {
        {QString(), ConversionStatus::Nothing, QString()},
        {Path("none.bin"), ConversionStatus::Refused,
         QStringLiteral(u"「") + Path("none.bin") + QStringLiteral(u"」ﾌｧｲﾙはありません。")},
        {Path(""), ConversionStatus::Refused,  // a folder is not a file
         QStringLiteral(u"「") + Path("") + QStringLiteral(u"」ﾌｧｲﾙはありません。")},
        {empty, ConversionStatus::Refused, QStringLiteral(u"ファイルサイズが０のため処理できません。")},
    };
    for (const auto& c : cases) {
        for (ConversionType type : {ConversionType::EncodeBase64, ConversionType::DecodeBase64,
                                    ConversionType::CreateBinaryDisplay, ConversionType::RestoreBinaryDisplay}) {
            prompter.prompts.clear();
            ConversionRequest request;
            request.type = type;
            request.source = c.source;
            EXPECT_EQ(ExecuteConversion(state, request, hooks).status, c.status) << c.source.toStdString();
            if (c.message.isEmpty()) {
                EXPECT_TRUE(prompter.prompts.isEmpty());
            } else {
                ASSERT_EQ(prompter.Messages(), QStringList{c.message});
                EXPECT_EQ(prompter.prompts[0].icon, MsgIcon::Warning);
            }
        }
    }
    EXPECT_FALSE(started);
}

TEST_F(ConversionTest, SameNameAndDeclinedOverwriteWriteNothing)
{
    const QString source = Write("data.bin", "abc");
    prompter.fileNames.enqueue(source);
    EXPECT_EQ(Run(ConversionType::EncodeBase64, source).status, ConversionStatus::Refused);
    EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral(u"元ファイルと同名のファイル名は使用できません。")});
    EXPECT_EQ(prompter.prompts.last().icon, MsgIcon::Warning);
    EXPECT_EQ(Read("data.bin"), "abc");

    prompter.prompts.clear();
    Write("old.b64", "old");
    prompter.fileNames.enqueue(Path("old.b64"));
    EXPECT_EQ(Run(ConversionType::EncodeBase64, source).status, ConversionStatus::Refused);
    ASSERT_EQ(prompter.Messages().size(), 1);  // the overwrite question, answered No
    EXPECT_EQ(prompter.prompts.last().buttons, MsgButtons::YesNo);
    EXPECT_EQ(Read("old.b64"), "old");

    prompter.prompts.clear();
    prompter.fileNames.enqueue(Path("old.b64"));
    prompter.answers.enqueue(MsgAnswer::Yes);
    EXPECT_EQ(Run(ConversionType::EncodeBase64, source).status, ConversionStatus::Done);
    EXPECT_EQ(Read("old.b64"), "YWJj\r\n");
}

TEST_F(ConversionTest, DecodeWriteErrorShowsTheEncodedFileMessage)
{
    const QString source = Write("data.b64", "YWJj\r\n");
    prompter.fileNames.enqueue(Path("missing-folder/out.bin"));
    EXPECT_EQ(Run(ConversionType::DecodeBase64, source).status, ConversionStatus::Failed);
    ASSERT_EQ(prompter.Messages().size(), 1);
    EXPECT_TRUE(prompter.Messages()[0].startsWith(QStringLiteral(u"ｴﾝｺｰﾄﾞﾌｧｲﾙではないようです。確認してください。( ")));
    EXPECT_TRUE(prompter.Messages()[0].endsWith(QStringLiteral(" )")));
}

TEST_F(ConversionTest, BinaryDisplayCreateReportsCompletionAndRestoreDoesNot)
{
    const QByteArray data = QByteArray(5, 'A') + "xyz";
    const QString source = Write("pic.dat", data);

    prompter.fileNames.enqueue(Path("pic.B"));
    ConversionResult r = Run(ConversionType::CreateBinaryDisplay, source);
    EXPECT_EQ(r.status, ConversionStatus::Done);
    EXPECT_EQ(Read("pic.B"), "414141414178797A\r\n");
    EXPECT_EQ(prompter.prompts[0].request.title, QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙを作成します。"));
    const FileDialogRequest& dialog = prompter.prompts[0].request;
    EXPECT_EQ(QDir(dialog.initialFolder).filePath(dialog.initialName), Path("pic.B"));
    EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral(u"「") + Path("pic.B") + QStringLiteral(u"」完了しました。")});

    prompter.prompts.clear();
    prompter.fileNames.enqueue(Path("pic.K"));
    r = Run(ConversionType::CreateBinaryDisplay, source, true);
    EXPECT_EQ(r.status, ConversionStatus::Done);
    EXPECT_EQ(Read("pic.K"), "41-478797A");
    EXPECT_EQ(prompter.prompts[0].request.title, QStringLiteral(u"拡張バイナリ表示ファイルの生成"));
    EXPECT_EQ(prompter.Messages().size(), 1);

    for (const char* name : {"pic.B", "pic.K"}) {
        prompter.prompts.clear();
        const QString back = QString::fromLatin1(name) + QStringLiteral(".out");
        prompter.fileNames.enqueue(Path(back));
        r = Run(ConversionType::RestoreBinaryDisplay, Path(name), QByteArray(name).endsWith('K'));
        EXPECT_EQ(r.status, ConversionStatus::Done) << name;
        EXPECT_EQ(Read(back), data) << name;
        EXPECT_EQ(prompter.prompts[0].request.title, QStringLiteral(u"ﾊﾞｲﾅﾘﾌｧｲﾙの復元"));
        for (const QString& m : prompter.Messages())
            EXPECT_FALSE(m.contains(QStringLiteral(u"完了しました"))) << name;
    }
}

TEST_F(ConversionTest, RestoreErrorIsReportedWithTheRestoreTitle)
{
    const QString source = Write("bad.K", "-541\r\n");
    prompter.fileNames.enqueue(Path("bad.XXX"));
    EXPECT_EQ(Run(ConversionType::RestoreBinaryDisplay, source, true).status, ConversionStatus::Failed);
    ASSERT_EQ(prompter.Messages().size(), 1);
    EXPECT_EQ(prompter.Messages()[0], QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙではないようです。確認してください。( 5 )"));
    EXPECT_EQ(prompter.prompts.last().title, QStringLiteral(u"復元"));
}

TEST_F(ConversionTest, LineRangeDecoder)
{
    state.doc.DocumentName = Path("doc.txt");
    const QStringList lines = {QStringLiteral("header\r\n"), QStringLiteral("YQ==\r\n"), QStringLiteral("YWJj\r\n")};
    const auto readLine = [&](LineNumber n) { return lines.value(n - 1); };
    int cursor = 0;
    const auto busy = [&] { ++cursor; };
    const auto idle = [&] { --cursor; };

    // Cancelled dialog and same name keep the line-range dialog open.
    EXPECT_EQ(DecodeBase64Lines(state, 2, 3, readLine, busy, idle), LineDecodeOutcome::StayOpen);
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_EQ(prompter.prompts[0].request.title, QStringLiteral(u"デコード<BASE64>処理を実行します。"));
    EXPECT_EQ(prompter.prompts[0].request.filterIndex, 2);
    EXPECT_EQ(prompter.prompts[0].request.initialName, Path("doc.XXX"));
    prompter.fileNames.enqueue(Path("doc.txt"));
    EXPECT_EQ(DecodeBase64Lines(state, 2, 3, readLine, busy, idle), LineDecodeOutcome::StayOpen);
    EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral(u"元ファイルと同名のファイル名は使用できません。")});

    prompter.prompts.clear();
    prompter.fileNames.enqueue(Path("doc.XXX"));
    EXPECT_EQ(DecodeBase64Lines(state, 2, 3, readLine, busy, idle), LineDecodeOutcome::Close);
    EXPECT_EQ(Read("doc.XXX"), "aabc");
    EXPECT_TRUE(prompter.Messages().isEmpty());
    EXPECT_EQ(cursor, 0);

    // Declining the overwrite closes the dialog and keeps the file.
    prompter.fileNames.enqueue(Path("doc.XXX"));
    EXPECT_EQ(DecodeBase64Lines(state, 3, 3, readLine, busy, idle), LineDecodeOutcome::Close);
    EXPECT_EQ(Read("doc.XXX"), "aabc");

    // An error while reading the lines.
    prompter.prompts.clear();
    prompter.fileNames.enqueue(Path("err.XXX"));
    const auto failing = [](LineNumber) -> QString { throw RuntimeError(Err::DeviceIo); };
    EXPECT_EQ(DecodeBase64Lines(state, 1, 2, failing, busy, idle), LineDecodeOutcome::Close);
    EXPECT_EQ(prompter.Messages(),
              QStringList{QStringLiteral(u"ｴﾝｺｰﾄﾞﾌｧｲﾙではないようです。確認してください。( 57 )")});

    // An error outside the loop: the output cannot be created.
    prompter.prompts.clear();
    prompter.fileNames.enqueue(Path("missing-folder/x.XXX"));
    EXPECT_EQ(DecodeBase64Lines(state, 2, 3, readLine, busy, idle), LineDecodeOutcome::StayOpen);
    EXPECT_EQ(prompter.Messages(),
              QStringList{QStringLiteral(u"１度に処理できる限界を超えたため、\r\n 2行目までしか処理できませんでした。")});
    EXPECT_EQ(prompter.prompts.last().icon, MsgIcon::Information);
    EXPECT_EQ(cursor, 0);
}

TEST_F(ConversionTest, LineRangeDecoderReadsTheOpenDocument)
{
    const QString doc = Write("mail.txt", "Subject: x\r\n\r\nYWJj\r\nZGVm\r\n-- \r\n");
    ViewerHost host;
    PrOpen(state, host, doc);
    ASSERT_EQ(state.doc.LineCount, 5);
    prompter.fileNames.enqueue(Path("mail.XXX"));
    EXPECT_EQ(DecodeBase64Lines(state, 3, 4), LineDecodeOutcome::Close);
    EXPECT_EQ(prompter.prompts[0].request.initialName, Path("mail.XXX"));
    EXPECT_EQ(Read("mail.XXX"), "abcdef");
}

}  // namespace
