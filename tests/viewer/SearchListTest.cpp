// The result list: building, its limit, its heading and saving it.
#include "common/SearchFixture.h"
#include "core/CodePage.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace kolbran;
using kolbran::test::SearchFixture;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

}  // namespace

TEST(ResultListTest, OneEntryPerLineInDocumentOrder)
{
    SearchFixture f;
    ASSERT_TRUE(f.Open(QByteArray("abc abc\r\nnone\r\nxABCx\r\nlast abc")));
    f.state.SearchString = QStringLiteral("abc");
    f.view.ScrollTo(2);
    f.view.status = QStringLiteral(u"標準");
    QList<LineNumber> shown;
    const SearchResults r =
        BuildResultList(f.state, f.view, [&](LineNumber line, const QString&) { shown.append(line); });
    EXPECT_EQ(r.lines, (std::vector<LineNumber>{1, 3, 4}));
    EXPECT_EQ(shown, (QList<LineNumber>{1, 3, 4}));
    EXPECT_EQ(r.texts, (QStringList{QStringLiteral("abc abc\r\n"), QStringLiteral("xABCx\r\n"),
                                    QStringLiteral("last abc")}));
    EXPECT_EQ(r.heading, QStringLiteral(u"「abc」の検索結果は 3行発見しました。"));
    EXPECT_FALSE(r.full);
    // TopLine, the pointer and status panel 1 are given back; the list counts as open.
    EXPECT_EQ(f.state.doc.TopLine, 2);
    EXPECT_EQ(f.view.busyCount, 0);
    EXPECT_EQ(f.view.statusHistory, (QStringList{QStringLiteral(u"検索中です。"), QStringLiteral(u"標準")}));
    EXPECT_FALSE(f.view.dropEnabled);
    EXPECT_TRUE(f.state.settings.SearchListOpen);
    EXPECT_TRUE(f.prompter.prompts.isEmpty());
}

TEST(ResultListTest, NoHitGivesAnEmptyListAndZero)
{
    SearchFixture f;
    ASSERT_TRUE(f.Open(SearchFixture::Lines(500, {}, "")));
    f.state.SearchString = QStringLiteral("absent");
    const SearchResults r = BuildResultList(f.state, f.view);
    EXPECT_TRUE(r.lines.empty());
    EXPECT_TRUE(r.texts.isEmpty());
    EXPECT_EQ(r.heading, QStringLiteral(u"「absent」の検索結果は 0行発見しました。"));
    EXPECT_TRUE(f.prompter.prompts.isEmpty());
}

TEST(ResultListTest, TheHeadingFormatsTheCount)
{
    EXPECT_EQ(ResultHeading(QStringLiteral("abc"), 1234), QStringLiteral(u"「abc」の検索結果は 1,234行発見しました。"));
    EXPECT_EQ(ResultLimitMessage(), QStringLiteral(u" 65532行以上は扱えません。"));
}

TEST(ResultListTest, StopsAtTheTableLimitWithTheMessage)
{
    struct Case {
        int hits;
        size_t entries;
        bool message;
    };
    // 65,533 lines still fit the table; a 65,534th stops the list at 65,532 entries.
    const Case cases[] = {{65533, 65533, false}, {65534, 65532, true}, {70000, 65532, true}};
    for (const Case& c : cases) {
        QByteArray bytes;
        bytes.reserve(c.hits * 4);
        for (int n = 0; n < c.hits; ++n)
            bytes += "ab\r\n";
        SearchFixture f;
        ASSERT_TRUE(f.Open(bytes));
        f.state.SearchString = QStringLiteral("b");
        size_t shown = 0;
        const SearchResults r = BuildResultList(f.state, f.view, [&](LineNumber, const QString&) { ++shown; });
        EXPECT_EQ(r.lines.size(), c.entries) << c.hits;
        EXPECT_EQ(size_t(r.texts.size()), c.entries) << c.hits;
        EXPECT_EQ(shown, c.entries) << c.hits;
        EXPECT_EQ(r.full, c.message) << c.hits;
        EXPECT_EQ(r.heading, ResultHeading(QStringLiteral("b"), qint64(c.entries))) << c.hits;
        if (c.message) {
            ASSERT_EQ(f.prompter.Messages(), QStringList{QStringLiteral(u" 65532行以上は扱えません。")});
            EXPECT_EQ(f.prompter.prompts[0].icon, MsgIcon::Information);
            EXPECT_EQ(r.lines.back(), 65532);
        } else {
            EXPECT_TRUE(f.prompter.prompts.isEmpty());
        }
    }
}

TEST(ResultListTest, SavesTheEntriesAsShiftJisWithNothingAdded)
{
    SearchFixture f;
    const QStringList texts{QStringLiteral(u"一行目 検索\r\n"), QStringLiteral(u"最後 検索")};
    const QString path = f.dir.filePath(QStringLiteral("out.txt"));
    EXPECT_TRUE(SaveResultList(f.state, path, texts));
    EXPECT_EQ(ReadAll(path), ToSjis(QStringLiteral(u"一行目 検索\r\n最後 検索")));
    EXPECT_TRUE(f.prompter.prompts.isEmpty());
    EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.txt")});
}

TEST(ResultListTest, SaveAsksBeforeOverwritingAndRefusesReadOnly)
{
    SearchFixture f;
    const QString path = f.Write(QStringLiteral("old.txt"), "old content");
    const QStringList texts{QStringLiteral("new\r\n")};

    // Declined: the old file stays.
    f.prompter.answers.enqueue(MsgAnswer::No);
    EXPECT_FALSE(SaveResultList(f.state, path, texts));
    EXPECT_EQ(ReadAll(path), QByteArray("old content"));
    ASSERT_EQ(f.prompter.Messages().size(), 1);
    EXPECT_TRUE(f.prompter.Messages()[0].contains(QStringLiteral(u"上書きしますか？")));

    f.prompter.answers.enqueue(MsgAnswer::Yes);
    EXPECT_TRUE(SaveResultList(f.state, path, texts));
    EXPECT_EQ(ReadAll(path), QByteArray("new\r\n"));

    const QString locked = f.Write(QStringLiteral("locked.txt"), "keep");
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadUser);
    EXPECT_FALSE(SaveResultList(f.state, locked, texts));
    EXPECT_TRUE(f.prompter.Messages().last().contains(QStringLiteral(u"読み取り専用")));
    EXPECT_EQ(ReadAll(locked), QByteArray("keep"));

    // A folder name is refused as well.
    EXPECT_FALSE(SaveResultList(f.state, f.dir.path(), texts));
    EXPECT_TRUE(f.prompter.Messages().last().contains(QStringLiteral(u"フォルダ名")));
}

TEST(ResultListTest, SavingIntoAMissingFolderFailsWithAnError)
{
    SearchFixture f;
    EXPECT_THROW(SaveResultList(f.state, f.dir.filePath(QStringLiteral("no/such/out.txt")),
                                {QStringLiteral("x")}),
                 RuntimeError);
}

TEST(ResultListTest, AnEucJpDocumentIsSearchedAsDisplayed)
{
    // "1 検索\r\n2 行\r\n3 ｶﾅ 検索\r\n" in EUC-JP, shown with display code 1.
    SearchFixture f;
    ASSERT_TRUE(f.Open(QByteArray("1 \xB8\xA1\xBA\xF7\r\n2 \xB9\xD4\r\n3 \x8E\xB6\x8E\xC5 \xB8\xA1\xBA\xF7\r\n")));
    f.state.doc.DisplayCode = 1;
    f.state.SearchString = QStringLiteral(u"検索");
    const SearchResults r = BuildResultList(f.state, f.view);
    EXPECT_EQ(r.lines, (std::vector<LineNumber>{1, 3}));
    EXPECT_EQ(r.texts, (QStringList{QStringLiteral(u"1 検索\r\n"), QStringLiteral(u"3 ｶﾅ 検索\r\n")}));

    // The standard code sees other characters there and finds nothing.
    f.state.doc.DisplayCode = 0;
    EXPECT_TRUE(BuildResultList(f.state, f.view).lines.empty());
}
