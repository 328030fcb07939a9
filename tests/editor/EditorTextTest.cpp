// The editor's range of lines, its text-box form and its tables.
#include "viewer/LoaderFixture.h"

#include "core/CodePage.h"
#include "editor/EditorText.h"
#include "viewer/SpliceLines.h"

using namespace kolbran;
using namespace kolbran::test;

namespace {

QByteArray NumberedLines(int count, int width = 0)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i) {
        QByteArray line = QByteArray::number(i);
        if (width > 0)
            line = line.leftJustified(width - 2, '.');
        bytes += line + "\r\n";
    }
    return bytes;
}

TEST_F(LoaderFixture, TheRangeIsBuiltAroundTheAnchorLine)
{
    struct Case {
        const char* what;
        QByteArray bytes;
        int64_t anchor;
        int before, after;
        LineNumber first, last;
        QString caretLineStart;  // the text from the caret on starts so
    };
    const std::vector<Case> cases{
        {"anchor 1", NumberedLines(1000), 1, 120, 240, 1, 241, QStringLiteral("1\r\n")},
        {"anchor 500 of 1,000", NumberedLines(1000), 500, 120, 240, 380, 740,
         QStringLiteral("500\r\n")},
        {"1,000-character lines end at the cap", NumberedLines(1000, 1000), 500, 120, 240, 380,
         679, QStringLiteral("500.")},
        {"near the end", NumberedLines(300), 250, 120, 240, 130, 300, QStringLiteral("250\r\n")},
        {"negative settings count as 0", NumberedLines(10), 5, -3, -7, 5, 5,
         QStringLiteral("5\r\n")},
        {"top line below 1", NumberedLines(10), 0, 120, 240, 1, 10, QStringLiteral("1\r\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Index(c.bytes);
        const EditRange r = LoadEditRange(state, c.anchor, c.before, c.after);
        EXPECT_EQ(r.FirstLine, c.first);
        EXPECT_EQ(r.LastLine, c.last);
        EXPECT_LE(r.Text.size(), kEditorMaxChars);
        EXPECT_TRUE(QStringView(r.Text).sliced(r.CaretOffset).startsWith(c.caretLineStart));
        EXPECT_EQ(r.Text, QStringList(ReadRangeLines(state, r.FirstLine, r.LastLine)).join(QString()));
    }
}

TEST_F(LoaderFixture, EmptyAndUtf16DocumentsAreRanges)
{
    Index("");
    EditRange r = LoadEditRange(state, 1, 120, 240);
    EXPECT_EQ(r.FirstLine, 1);
    EXPECT_EQ(r.LastLine, 0);  // an insert before line 1
    EXPECT_TRUE(r.Text.isEmpty());
    EXPECT_EQ(r.CaretOffset, 0);

    Index(QByteArray("\xFF\xFE", 2) + ToUtf16Le(u"一\r\n二\r\n三"));
    r = LoadEditRange(state, 2, 120, 240);
    EXPECT_EQ(r.Text, QString::fromUtf16(u"一\r\n二\r\n三"));
    EXPECT_EQ(r.CaretOffset, 3);
    EXPECT_EQ(EditorCaption(r.FirstLine, r.LastLine), QString::fromUtf16(u"簡易エディタ <1～3行の編集>"));
}

TEST(EditorText, TheTextBoxFormRoundTrips)
{
    // Lone CR and LF are data; U+00A0 and U+2028 must survive the box.
    const QString model = QString::fromUtf16(u"a\rb\nc\r\n\u00A0\u2028d\r\n\r\n");
    const QString box = BoxTextFromModel(model);
    EXPECT_EQ(box, QString::fromUtf16(u"a\u240Db\u240Ac\n\u00A0\u2028d\n\n"));
    QString raw = box;
    raw.replace(u'\n', QChar(0x2029));
    EXPECT_EQ(ModelTextFromBox(raw), model);
    // A line typed into the box gets CR LF.
    EXPECT_EQ(ModelTextFromBox(QString::fromUtf16(u"x\u240Ay\u2029new")),
              QString::fromUtf16(u"x\ny\r\nnew"));
    const int cut = int(model.indexOf(u'\u00A0'));
    EXPECT_EQ(BoxOffsetFromModel(model, cut), int(box.indexOf(u'\u00A0')));
    EXPECT_EQ(ModelOffsetFromBox(model, int(box.indexOf(u'\u00A0'))), cut);
}

TEST(EditorText, FindAndTables)
{
    const QString text = QStringLiteral("abc ABC abc");
    EXPECT_EQ(FindInText(text, QStringLiteral("ABC"), 1, 0), 0);
    EXPECT_EQ(FindInText(text, QStringLiteral("ABC"), 0, 0), 4);
    EXPECT_EQ(FindInText(text, QStringLiteral("abc"), 0, 1), 8);
    EXPECT_EQ(FindInText(text, QStringLiteral("abc"), 0, 9), -1);  // no wrap
    EXPECT_EQ(FindInText(text, QString(), 1, 0), -1);

    EXPECT_EQ(PaletteItemCaption(1, 1), QString::fromUtf16(u"─(&1)"));
    EXPECT_EQ(PaletteItemCaption(2, 10), QString::fromUtf16(u"┻(&A)"));
    EXPECT_EQ(PaletteItemCaption(4, 11), QString::fromUtf16(u"⊃(&B)"));
    EXPECT_TRUE(PaletteItems(3)[10].isEmpty());
    EXPECT_EQ(PaletteCaption(3), QString::fromUtf16(u"混合線(&D)"));
    EXPECT_EQ(EditorFontLabel(2), QString::fromUtf16(u"ＭＳ Ｐ明朝"));
    EXPECT_EQ(EditorFontName(2), QString::fromUtf16(u"標準明朝"));
}

}  // namespace
