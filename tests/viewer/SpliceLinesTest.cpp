// Writing a range of lines back into the open document (SpliceLines).
#include "viewer/LoaderFixture.h"
#include "viewer/SpliceLines.h"

#include "core/CodePage.h"

#include <QDir>
#include <QFileInfo>

using namespace kolbran;
using namespace kolbran::test;

namespace {

class SpliceFixture : public LoaderFixture {
protected:
    SpliceFixture() { state.settings.NoBackup = true; }

    QByteArray Doc() const
    {
        QFile f(dir.filePath(QStringLiteral("doc.txt")));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    int Error(LineNumber first, LineNumber last, const std::optional<QString>& text,
              const SpliceIo& io = {})
    {
        try {
            SpliceLines(state, first, last, text, io);
        } catch (const RuntimeError& e) {
            return e.Number();
        }
        return -1;
    }
};

QString U(const char16_t* s) { return QString::fromUtf16(s); }

TEST_F(SpliceFixture, WritesTheTextInPlaceOfTheRange)
{
    struct Case {
        const char* what;
        QByteArray before;
        LineNumber first, last;
        std::optional<QString> text;
        QByteArray after;
    };
    const QByteArray utf16 = QByteArray("\xFF\xFE", 2) + ToUtf16Le(u"a\r\nb\r\n");
    const std::vector<Case> cases{
        {"all text deleted", "a\r\nb\r\nc\r\n", 1, 3, QString(), ""},
        {"lines removed", "a\r\nb\r\nc\r\n", 2, 2, std::nullopt, "a\r\nc\r\n"},
        {"insert before a line", "a\r\nb\r\n", 2, 1, QStringLiteral("q\r\n"), "a\r\nq\r\nb\r\n"},
        {"insert into an empty file", "", 1, 0, QStringLiteral("new"), "new"},
        {"no final line end", "a\r\nb", 2, 2, QStringLiteral("bc"), "a\r\nbc"},
        {"last line replaced", "a\r\nb\r\n", 1, 2, QStringLiteral("a\r\nz\r\n"), "a\r\nz\r\n"},
        {"new line beside a kept lone LF", "x\ny\r\nz\r\n", 1, 2,
         QStringLiteral("x\ny\r\nnew\r\nz\r\n"), "x\ny\r\nnew\r\nz\r\n"},
        {"UTF-16 written as code units", utf16, 1, 1, U(u"あ\r\n"),
         QByteArray("\xFF\xFE", 2) + ToUtf16Le(u"あ\r\nb\r\n")},
        {"Shift_JIS", "a\r\nb\r\n", 2, 2, U(u"日本\r\n"), "a\r\n\x93\xfa\x96\x7b\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Index(c.before);
        SpliceLines(state, c.first, c.last, c.text);
        EXPECT_FALSE(state.doc.HasFile());  // the caller re-indexes
        EXPECT_EQ(Doc(), c.after);
        EXPECT_EQ(Files(), QStringList{QStringLiteral("doc.txt")});  // no temporary file left
    }
}

TEST_F(SpliceFixture, UntouchedLinesKeepTheirBytes)
{
    // 80 and 87 90 do not survive a Shift_JIS round trip; the long line is cut by the index
    // into a 4,096-byte piece and its rest.
    const QByteArray longLine = QByteArray(4095, 'l') + "\x88\x9f" + "tail\r\n";
    const QByteArray before = QByteArray("\x80\r\n\x87\x90\r\n") + longLine + "abc\r\n\xED\x40\r\n";
    Index(before);
    ASSERT_EQ(state.doc.LineCount, 6);
    QStringList lines = ReadRangeLines(state, 1, 6);
    ASSERT_EQ(lines.size(), 6);
    lines[4] = QStringLiteral("abd\r\n");  // only this line changes
    SpliceLines(state, 1, 6, lines.join(QString()));
    QByteArray expected = before;
    expected.replace("abc", "abd");
    EXPECT_EQ(Doc(), expected);

    // A lone byte at the end of a UTF-16 file decodes to no text; writing the range back
    // unchanged keeps it (it was dropped).
    for (const QByteArray& odd : {QByteArray::fromHex("fffe02"), QByteArray::fromHex("fffe61000d000a0002")}) {
        Index(odd);
        ASSERT_GE(state.doc.LineCount, 1);
        SpliceLines(state, 1, state.doc.LineCount, ReadRangeLines(state, 1, state.doc.LineCount).join(QString()));
        EXPECT_EQ(Doc(), odd);
    }
}

TEST_F(SpliceFixture, TheTailPastTheLineLimitIsCopied)
{
    // The memory index stops at 1,000,000 lines; the five after it stay in the file.
    QByteArray bytes = QByteArray("x\r\n").repeated(1'000'000) + "tail1\r\ntail2\r\n" +
                       QByteArray("y\r\n").repeated(3);
    Index(bytes);
    ASSERT_EQ(state.doc.LineCount, 1'000'000);
    SpliceLines(state, 999'999, 1'000'000, QStringLiteral("A\r\nB\r\n"));
    const QByteArray after = Doc();
    EXPECT_EQ(after.size(), bytes.size());
    EXPECT_TRUE(after.endsWith("x\r\nA\r\nB\r\ntail1\r\ntail2\r\ny\r\ny\r\ny\r\n"));
}

TEST_F(SpliceFixture, RefusalsLeaveTheDocumentAsItWas)
{
    const QByteArray before = "a\r\nb\r\nc\r\n";
    Index(before);
    for (auto [first, last] : std::vector<std::pair<int, int>>{{0, 0}, {3, 1}, {1, 4}, {5, 4}})
        EXPECT_EQ(Error(first, last, QStringLiteral("x")), Err::InvalidArgument) << first << last;

    // A character Shift_JIS lacks: named with its line, nothing written.
    EXPECT_EQ(Error(2, 3, U(u"b\r\nc€\r\n")), 0);
    ASSERT_EQ(prompter.Messages().size(), 1);
    EXPECT_TRUE(prompter.Messages()[0].startsWith(U(u"「€」（3行目）")));

    // Injected failures of the write and of the rename.
    SpliceIo failWrite;
    failWrite.write = [](QFile&, const char*, qint64) { return qint64(-1); };
    EXPECT_NE(Error(2, 2, QStringLiteral("B\r\n"), failWrite), -1);
    SpliceIo failRename;
    failRename.ops.rename = [](const QString&, const QString&) { errno = EACCES; return false; };
    EXPECT_EQ(Error(2, 2, QStringLiteral("B\r\n"), failRename), Err::PermissionDenied);

    EXPECT_EQ(Doc(), before);
    EXPECT_EQ(Files(), QStringList{QStringLiteral("doc.txt")});
    EXPECT_TRUE(state.doc.HasFile());  // still open for reading
    EXPECT_EQ(ReadRangeLines(state, 2, 2), QStringList{QStringLiteral("b\r\n")});

    // Changed on disk since it was indexed: error 55, the other program's content kept.
    const QString path = Write(QStringLiteral("doc.txt"), "changed\r\n");
    EXPECT_EQ(Error(1, 1, QStringLiteral("x")), Err::FileAlreadyOpen);
    EXPECT_EQ(Doc(), "changed\r\n");
}

TEST_F(SpliceFixture, UsesAUniqueTemporaryFileBesideTheDocumentAndKeepsABackup)
{
    state.settings.NoBackup = false;
    // A file of the old fixed temporary name, in the folder and in the current folder.
    Write(QStringLiteral("asdfgh.jkl"), "keep");
    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(dir.path());
    Index("a\r\nb\r\n");
    SpliceLines(state, 1, 1, QStringLiteral("1\r\n"));
    PrOpen2(state, host, state.doc.DocumentName, 1);
    SpliceLines(state, 2, 2, QStringLiteral("2\r\n"));
    QDir::setCurrent(oldCurrent);
    EXPECT_EQ(Doc(), "1\r\n2\r\n");
    QFile backup(dir.filePath(QStringLiteral("doc.bak")));
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
    EXPECT_EQ(backup.readAll(), "1\r\nb\r\n");  // each save replaces the previous backup
    EXPECT_EQ(Files(), (QStringList{QStringLiteral("asdfgh.jkl"), QStringLiteral("doc.bak"),
                                    QStringLiteral("doc.txt")}));
}

}  // namespace
