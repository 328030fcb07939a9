#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"

#include "common/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace kolbran;

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

void MakeReadOnly(const QString& path)
{
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
}

// A folder with the kinds of names every guard is tried on.
struct Fixture {
    QTemporaryDir dir;
    test::ScriptedPrompter prompter;
    AppState state{prompter};

    Fixture()
    {
        QDir(dir.path()).mkdir(QStringLiteral("folder"));
        WriteFile(Path("normal.txt"), "normal");
        WriteFile(Path(".hidden.txt"), "hidden");
        WriteFile(Path("readonly.txt"), "readonly");
        MakeReadOnly(Path("readonly.txt"));
        WriteFile(Path(".both.txt"), "both");
        MakeReadOnly(Path(".both.txt"));
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
};

const QString kReadOnlyMessage = QStringLiteral(u"「読み出し専用」ファイルを更新することはできません。");
const QString kHiddenMessage = QStringLiteral(u"「隠しファイル」を更新することはできません。");

}  // namespace

TEST(Guards, TraceIsKeptInDebugModeUpTo200Characters)
{
    test::ScriptedPrompter prompter;
    AppState state(prompter);
    TraceAppend(state, QStringLiteral("->FileDef"));
    EXPECT_EQ(TraceGet(state), QString());  // not in debug mode

    state.settings.DebugFlags = 1;
    TraceSet(state, QString(195, u'x'));
    TraceAppend(state, QStringLiteral("12345"));
    EXPECT_EQ(TraceGet(state).size(), 200);
    TraceAppend(state, QStringLiteral("6"));  // would pass 200: dropped whole
    EXPECT_EQ(TraceGet(state).size(), 200);
    EXPECT_TRUE(TraceGet(state).endsWith(QStringLiteral("12345")));
    TraceSet(state, QString());
    EXPECT_EQ(TraceGet(state), QString());
}

TEST(Guards, ReportErrorMessages)
{
    const QString doc = QStringLiteral("memo.txt");
    const struct {
        int number;
        int reading;
        int debug;
        QString message;  // empty: nothing shown
    } cases[] = {
        {0, 1, 0, {}},
        {55, 1, 0, QStringLiteral(u"「memo.txt」を確認してください。処理できません。")},
        {70, 1, 0, QStringLiteral(u"「memo.txt」は、他のアプリケーションで使用中のため参照できません。")},
        {70, 0, 0, QStringLiteral(u"「memo.txt」は、他のアプリケーションで使用中のため更新できません。")},
        {75, 0, 0, QStringLiteral(u"「memo.txt」のアクセス権を確認してください。")},
        {32755, 1, 0, {}},
        {32755, 1, 1, QStringLiteral(u"「ｷｬﾝｾﾙ」ﾎﾞﾀﾝが押されました。")},
        {53, 1, 0, QStringLiteral(u"ファイルが見つかりません。 ( 53 )")},
        {61, 0, 0, QStringLiteral(u"ディスクの空き容量が不足しています。 ( 61 )")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        test::ScriptedPrompter prompter;
        AppState state(prompter);
        state.doc.DocumentName = doc;
        state.settings.DebugFlags = qint16(c.debug);
        ReportError(state, c.number, c.reading);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(prompter.prompts.isEmpty());
        } else {
            ASSERT_EQ(prompter.prompts.size(), 1);
            EXPECT_EQ(prompter.prompts[0].text, c.message);
            EXPECT_EQ(prompter.prompts[0].icon, MsgIcon::Warning);
        }
    }
}

TEST(Guards, ReportErrorShowsTheTraceAndEmptiesIt)
{
    test::ScriptedPrompter prompter;
    AppState state(prompter);
    state.settings.DebugFlags = 1;
    TraceAppend(state, QStringLiteral(" PrOpen"));
    ReportError(state, Err::FileAlreadyOpen, 1);
    EXPECT_EQ(prompter.Messages().value(0), QStringLiteral(u"「」を確認してください。処理できません。 PrOpen"));
    EXPECT_EQ(TraceGet(state), QString());
    ReportError(state, 0, 1);  // no error: the trace is emptied all the same
    EXPECT_EQ(prompter.prompts.size(), 1);
}

TEST(Guards, GuardsOnEveryKindOfName)
{
    const struct {
        const char* name;
        int refuse;             // RefuseProtected
        QString refuseMessage;
        bool mustNotOpen;       // CheckFileExists
        int saveTarget;         // CheckSaveTarget when the overwrite question is declined
    } cases[] = {
        {"normal.txt", 0, {}, false, SaveTarget::Declined},
        {"folder", 0, {}, true, SaveTarget::IsFolder},
        {"missing.txt", 0, {}, true, SaveTarget::Allowed},
        {".hidden.txt", 1, kHiddenMessage, false, SaveTarget::Declined},
        {"readonly.txt", 1, kReadOnlyMessage, false, SaveTarget::ReadOnly},
        {".both.txt", 1, kReadOnlyMessage, false, SaveTarget::ReadOnly},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        const QString path = f.Path(c.name);
        f.state.doc.DocumentName = path;

        EXPECT_EQ(RefuseProtected(f.state, false), c.refuse);
        EXPECT_TRUE(f.prompter.prompts.isEmpty());
        EXPECT_EQ(RefuseProtected(f.state, true), c.refuse);
        EXPECT_EQ(f.prompter.Messages(), c.refuseMessage.isEmpty() ? QStringList() : QStringList{c.refuseMessage});
        f.prompter.prompts.clear();

        EXPECT_EQ(CheckFileExists(f.state, path), c.mustNotOpen);
        EXPECT_EQ(f.prompter.prompts.size(), c.mustNotOpen ? 1 : 0);
        f.prompter.prompts.clear();

        EXPECT_EQ(CheckSaveTarget(f.state, path), c.saveTarget);
        EXPECT_EQ(QFileInfo::exists(path), QString::fromUtf8(c.name) != QLatin1String("missing.txt"));
    }
}

TEST(Guards, CheckFileExistsMessages)
{
    Fixture f;
    EXPECT_TRUE(CheckFileExists(f.state, f.Path("folder")));
    EXPECT_EQ(f.prompter.prompts.value(0).text, QStringLiteral(u"「フォルダ」を開こうとしています。"));
    EXPECT_EQ(f.prompter.prompts.value(0).icon, MsgIcon::Critical);

    f.prompter.prompts.clear();
    f.state.settings.DebugFlags = 1;
    TraceSet(f.state, QStringLiteral(" PrOpen"));
    EXPECT_TRUE(CheckFileExists(f.state, QStringLiteral("none.txt")));
    EXPECT_EQ(f.prompter.prompts.value(0).text,
              QStringLiteral(u"「none.txt」ﾌｧｲﾙはありません。\r\n PrOpen->FileDef"));
    EXPECT_EQ(f.prompter.prompts.value(0).icon, MsgIcon::Warning);
    EXPECT_EQ(TraceGet(f.state), QString());
}

#ifdef Q_OS_UNIX
// A named pipe would block the reader for ever: it is refused before it is opened.
TEST(Guards, CheckFileExistsRefusesWhatIsNotARegularFile)
{
    Fixture f;
    const QString fifo = f.Path("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, QStringLiteral("/dev/zero")}) {
        f.prompter.prompts.clear();
        EXPECT_TRUE(CheckFileExists(f.state, path));
        EXPECT_EQ(f.prompter.Messages().value(0), QStringLiteral(u"「") + path + QStringLiteral(u"」は通常のﾌｧｲﾙではないため開けません。"));
    }
    EXPECT_FALSE(CheckFileExists(f.state, f.Path("normal.txt")));
}
#endif

TEST(Guards, CheckSaveTargetQuestionsAndAnswers)
{
    Fixture f;
    EXPECT_EQ(CheckSaveTarget(f.state, f.Path("readonly.txt")), SaveTarget::ReadOnly);
    EXPECT_EQ(f.prompter.prompts.value(0).text,
              QStringLiteral(u"readonly.txt\r\nこのﾌｧｲﾙには読み取り専用属性が設定されています。\r\n別のファイル名を使用してください。"));
    EXPECT_EQ(f.prompter.prompts.value(0).title, QStringLiteral(u"名前を付けて保存"));

    f.prompter.prompts.clear();
    EXPECT_EQ(CheckSaveTarget(f.state, f.Path("folder")), SaveTarget::IsFolder);
    EXPECT_EQ(f.prompter.Messages().value(0), QStringLiteral(u"「folder」はフォルダ名として存在します。"));

    f.prompter.prompts.clear();
    f.prompter.answers.enqueue(MsgAnswer::Yes);
    EXPECT_EQ(CheckSaveTarget(f.state, f.Path("normal.txt")), SaveTarget::Allowed);
    EXPECT_EQ(f.prompter.prompts.value(0).text, QStringLiteral(u"「normal.txt」ﾌｧｲﾙは既に存在します。\r\n上書きしますか？"));
    EXPECT_EQ(f.prompter.prompts.value(0).buttons, MsgButtons::YesNo);
    // The old file stays until the writer's new one is complete and takes its name.
    EXPECT_EQ(ReadFile(f.Path("normal.txt")), QByteArray("normal"));
}

TEST(Guards, BackupNames)
{
    const struct {
        QString document;
        QString backup;
    } cases[] = {
        {QStringLiteral("report.txt"), QStringLiteral("report.bak")},
        {QStringLiteral("a.b.c"), QStringLiteral("a.bak")},
        {QStringLiteral("/home/u/data.old/log"), QStringLiteral("/home/u/data.old/log.bak")},
        {QStringLiteral("C:\\data.old\\log"), QStringLiteral("C:\\data.old\\log.bak")},
        {QStringLiteral("./notes.md"), QStringLiteral("./notes.bak")},
        {QStringLiteral("log"), QStringLiteral("log.bak")},
        // The rule would name the document itself: the backup is the whole name + ".bak".
        {QStringLiteral("/home/u/notes.bak"), QStringLiteral("/home/u/notes.bak.bak")},
        {QStringLiteral("NOTES.BAK"), QStringLiteral("NOTES.BAK.bak")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BackupName(c.document), c.backup) << c.document.toStdString();
}

TEST(Guards, ReplaceWithBackupKeepsOrDropsTheOldVersion)
{
    const struct {
        const char* name;
        bool noBackup;
        bool oldBackup;  // a backup file exists already
        const char* backupName;
    } cases[] = {
        {"report.txt", true, false, "report.bak"},
        {"report.txt", false, false, "report.bak"},
        {"report.txt", false, true, "report.bak"},
        {"data.old/log", false, false, "data.old/log.bak"},
        {"notes.bak", false, false, "notes.bak.bak"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.noBackup ? " no backup" : " backup"));
        Fixture f;
        QDir(f.dir.path()).mkdir(QStringLiteral("data.old"));
        const QString doc = f.Path(c.name);
        const QString temp = QFileInfo(doc).absolutePath() + QStringLiteral("/asdfgh.jkl");
        WriteFile(doc, "old");
        WriteFile(temp, "new");
        if (c.oldBackup)
            WriteFile(f.Path(c.backupName), "older");
        f.state.doc.DocumentName = doc;
        f.state.doc.File = OpenFile(doc, QIODevice::ReadOnly);
        f.state.settings.NoBackup = c.noBackup;

        ReplaceWithBackup(f.state, temp);
        EXPECT_EQ(f.state.doc.File, nullptr);
        EXPECT_EQ(ReadFile(doc), QByteArray("new"));
        EXPECT_FALSE(QFile::exists(temp));
        EXPECT_EQ(QFile::exists(f.Path(c.backupName)), !c.noBackup);
        if (!c.noBackup) {
            EXPECT_EQ(ReadFile(f.Path(c.backupName)), QByteArray("old"));
        }
        EXPECT_TRUE(f.prompter.prompts.isEmpty());
    }
}

TEST(Guards, ReplaceWithBackupLeavesProtectedDocumentsAndReadOnlyBackups)
{
    const struct {
        const char* document;
        const char* readOnlyBackup;  // nullptr: none
        bool throws;
    } cases[] = {
        {"readonly.txt", nullptr, false},
        {".hidden.txt", nullptr, false},
        {"normal.txt", "normal.bak", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.document);
        Fixture f;
        const QString doc = f.Path(c.document);
        const QByteArray before = ReadFile(doc);
        const QString temp = f.Path("asdfgh.jkl");
        WriteFile(temp, "new");
        if (c.readOnlyBackup) {
            WriteFile(f.Path(c.readOnlyBackup), "backup");
            MakeReadOnly(f.Path(c.readOnlyBackup));
        }
        f.state.doc.DocumentName = doc;
        f.state.settings.NoBackup = false;
        if (c.throws) {
            try {
                ReplaceWithBackup(f.state, temp);
                ADD_FAILURE() << "no error";
            } catch (const RuntimeError& e) {
                EXPECT_EQ(e.Number(), Err::FileAlreadyExists);
            }
            EXPECT_EQ(ReadFile(f.Path(c.readOnlyBackup)), QByteArray("backup"));
        } else {
            ReplaceWithBackup(f.state, temp);
        }
        EXPECT_EQ(ReadFile(doc), before);
        EXPECT_FALSE(QFile::exists(temp));
    }
}

TEST(Guards, ReplaceWithBackupBringsATemporaryFileFromAnotherFolder)
{
    Fixture f;
    QTemporaryDir elsewhere;
    const QString temp = elsewhere.filePath(QStringLiteral("Temp.log"));
    WriteFile(temp, "new");
    WriteFile(f.Path("normal.txt"), "old");
    QFile::setPermissions(f.Path("normal.txt"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    f.state.doc.DocumentName = f.Path("normal.txt");
    f.state.settings.NoBackup = false;
    ReplaceWithBackup(f.state, temp);
    EXPECT_EQ(ReadFile(f.Path("normal.txt")), QByteArray("new"));
    EXPECT_EQ(ReadFile(f.Path("normal.bak")), QByteArray("old"));
    EXPECT_EQ(QFile::permissions(f.Path("normal.txt")),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::ReadUser | QFile::WriteUser);
    EXPECT_FALSE(QFile::exists(temp));
    EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("kolbran")),
              QStringList());
}

TEST(Guards, ReplaceWithBackupNeverLosesTheOldContentWhenAStepFails)
{
    // Each case makes one file operation fail the way a full disk or a rename across
    // file systems does.
    const struct {
        const char* name;
        bool noBackup;
        bool tempElsewhere;
        int failingRename;  // 1-based call of rename that fails, 0 none
        bool copyFails;
        int error;
    } cases[] = {
        {"rename of the document to its backup", false, false, 1, false, Err::PathFileAccess},
        {"rename of the new file (another drive)", false, false, 2, false, Err::PathFileAccess},
        {"rename without backup", true, false, 1, false, Err::PathFileAccess},
        {"copy beside the document (disk full)", false, true, 0, true, Err::DiskFull},
        {"rename after the copy", true, true, 1, false, Err::PathFileAccess},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        QTemporaryDir elsewhere;
        const QString doc = f.Path("normal.txt");
        const QString temp = c.tempElsewhere ? elsewhere.filePath(QStringLiteral("asdfgh.jkl")) : f.Path("asdfgh.jkl");
        WriteFile(doc, "old");
        WriteFile(temp, "new");
        f.state.doc.DocumentName = doc;
        f.state.settings.NoBackup = c.noBackup;

        FileOperations ops = FileOperations::Default();
        int renames = 0;
        const auto realRename = ops.rename;
        ops.rename = [&](const QString& from, const QString& to) {
            if (++renames == c.failingRename) {
                errno = EXDEV;
                return false;
            }
            return realRename(from, to);
        };
        const auto realCopy = ops.copy;
        ops.copy = [&](const QString& from, const QString& to) {
            if (c.copyFails) {
                WriteFile(to, "ne");  // a partial copy
                errno = ENOSPC;
                return false;
            }
            return realCopy(from, to);
        };
        try {
            ReplaceWithBackup(f.state, temp, ops);
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), c.error);
        }
        EXPECT_EQ(ReadFile(doc), QByteArray("old"));
        EXPECT_FALSE(QFile::exists(temp));
        const QStringList left = QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(left.filter(QStringLiteral("kolbran")), QStringList());
        EXPECT_FALSE(left.contains(QStringLiteral("asdfgh.jkl")));
    }
}

TEST(Guards, LockDocumentIsExclusiveAndReportAndReopenReleasesIt)
{
    Fixture f;
    const QString doc = f.Path("normal.txt");
    f.state.doc.DocumentName = doc;
    f.state.doc.File = OpenFile(doc, QIODevice::ReadOnly);
    LockDocument(f.state);
    ASSERT_NE(f.state.doc.File, nullptr);
    EXPECT_TRUE(f.state.doc.File->isWritable());
    try {
        OpenFile(doc, QIODevice::ReadOnly);  // another reader while the command rewrites
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), Err::PermissionDenied);
    }

    ReportAndReopen(f.state, RuntimeError(Err::PermissionDenied));
    EXPECT_EQ(f.prompter.Messages(),
              QStringList{QStringLiteral(u"「") + doc + QStringLiteral(u"」は、他のアプリケーションで使用中のため更新できません。")});
    ASSERT_NE(f.state.doc.File, nullptr);
    EXPECT_FALSE(f.state.doc.File->isWritable());
    EXPECT_NO_THROW(OpenFile(doc, QIODevice::ReadOnly));  // shared again

    // A reader holding the file makes the lock fail.
    auto reader = OpenFile(doc, QIODevice::ReadOnly);
    try {
        LockDocument(f.state);
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), Err::PermissionDenied);
    }
    // The refused lock leaves the document open for reading, as it was.
    ASSERT_NE(f.state.doc.File, nullptr);
    EXPECT_TRUE(f.state.doc.File->isOpen());
    EXPECT_FALSE(f.state.doc.File->isWritable());
}

TEST(Guards, ReportAndReopenWithoutAnOpenDocumentOnlyReports)
{
    Fixture f;
    f.state.doc.DocumentName = f.Path("normal.txt");
    ReportAndReopen(f.state, RuntimeError(Err::PathFileAccess));
    EXPECT_EQ(f.prompter.Messages().size(), 1);
    EXPECT_EQ(f.state.doc.File, nullptr);
}
