// kolbran-tool replace and splice.
#include "common/ToolTestFixture.h"

using namespace kolbran;
using namespace kolbran::test;

namespace {

class EditorToolTest : public ToolFolderTest {
protected:
    EditorToolTest() : ToolFolderTest(RegisterEditorToolCommands, QStringLiteral("kolbran_editor")) {}
};

TEST_F(EditorToolTest, ReplaceRewritesInPlaceOrWritesTheOutput)
{
    Write(QStringLiteral("a.txt"), "cat dog\r\ncat\r\n");
    EXPECT_EQ(Run(QStringLiteral("replace"), {QStringLiteral("cat"), QStringLiteral("ox"), Path(QStringLiteral("a.txt")),
                                              QStringLiteral("-o"), Path(QStringLiteral("b.txt"))}),
              0);
    EXPECT_EQ(Read(QStringLiteral("b.txt")), "ox dog\r\nox\r\n");
    EXPECT_EQ(Read(QStringLiteral("a.txt")), "cat dog\r\ncat\r\n");
    // An existing output is refused without --force.
    EXPECT_EQ(Run(QStringLiteral("replace"), {QStringLiteral("cat"), QStringLiteral("ox"), Path(QStringLiteral("a.txt")),
                                              QStringLiteral("-o"), Path(QStringLiteral("b.txt"))}),
              1);

    EXPECT_EQ(Run(QStringLiteral("replace"), {QStringLiteral("dog"), QStringLiteral("犬"), Path(QStringLiteral("a.txt"))}), 0);
    EXPECT_EQ(Read(QStringLiteral("a.txt")), "cat \x8c\xa2\r\ncat\r\n");
    EXPECT_EQ(Read(QStringLiteral("a.bak")), "cat dog\r\ncat\r\n");  // the backup setting

    // An unsavable TO and an empty FROM.
    EXPECT_EQ(Run(QStringLiteral("replace"), {QStringLiteral("cat"), QStringLiteral("€"), Path(QStringLiteral("a.txt"))}), 1);
    EXPECT_EQ(Read(QStringLiteral("a.txt")), "cat \x8c\xa2\r\ncat\r\n");
    EXPECT_EQ(Run(QStringLiteral("replace"), {QString(), QStringLiteral("x"), Path(QStringLiteral("a.txt"))}), 2);
}

TEST_F(EditorToolTest, SpliceReplacesInsertsAndDeletesLines)
{
    Write(QStringLiteral("t.txt"), QByteArray("新しい\r\n"));
    const QString t = Path(QStringLiteral("t.txt"));
    struct Case {
        QString first, last;
        bool remove;
        QByteArray after;
    };
    const std::vector<Case> cases{
        {QStringLiteral("2"), QStringLiteral("2"), false, "1\r\n\x90\x56\x82\xb5\x82\xa2\r\n3\r\n"},
        {QStringLiteral("4"), QStringLiteral("3"), false, "1\r\n2\r\n3\r\n\x90\x56\x82\xb5\x82\xa2\r\n"},
        {QStringLiteral("1"), QStringLiteral("2"), true, "3\r\n"},
    };
    for (const Case& c : cases) {
        Write(QStringLiteral("d.txt"), "1\r\n2\r\n3\r\n");
        QStringList args{Path(QStringLiteral("d.txt")), c.first, c.last};
        args += c.remove ? QStringList{QStringLiteral("--delete")} : QStringList{QStringLiteral("--text-file"), t};
        args += {QStringLiteral("-o"), Path(QStringLiteral("o.txt")), QStringLiteral("--force")};
        EXPECT_EQ(Run(QStringLiteral("splice"), args), 0);
        EXPECT_EQ(Read(QStringLiteral("o.txt")), c.after);
        EXPECT_EQ(Read(QStringLiteral("d.txt")), "1\r\n2\r\n3\r\n");
    }
    for (const auto& [first, last] : std::vector<std::pair<QString, QString>>{
             {QStringLiteral("0"), QStringLiteral("1")}, {QStringLiteral("3"), QStringLiteral("1")},
             {QStringLiteral("1"), QStringLiteral("4")}, {QStringLiteral("x"), QStringLiteral("1")}})
        EXPECT_EQ(Run(QStringLiteral("splice"), {Path(QStringLiteral("d.txt")), first, last, QStringLiteral("--delete")}), 2);
    EXPECT_EQ(Run(QStringLiteral("splice"), {Path(QStringLiteral("d.txt")), QStringLiteral("1"), QStringLiteral("1")}), 2);
    EXPECT_EQ(Run(QStringLiteral("splice"), {Path(QStringLiteral("d.txt")), QStringLiteral("1"), QStringLiteral("1"),
                                             QStringLiteral("--delete")}),
              0);
    EXPECT_EQ(Read(QStringLiteral("d.txt")), "2\r\n3\r\n");
}

}  // namespace
