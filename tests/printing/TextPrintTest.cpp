#include "core/Fonts.h"
#include "core/PaintJob.h"
#include "core/RuntimeError.h"
#include "printing/PrintAttributes.h"
#include "printing/TextPrint.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "test_printing_TextPrintTest";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        auto* a = new QGuiApplication(argc, argv);
        InstallFontSubstitutions();
        return a;
    }();
    Q_UNUSED(app);
}

QString RunProgram(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int PageCount(const QString& pdf)
{
    const QString info = RunProgram(QStringLiteral("pdfinfo"), {pdf});
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The pages' text lines (pdftotext -layout), trailing blanks cut.
QList<QStringList> PageLines(const QString& pdf)
{
    const QString text = RunProgram(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QList<QStringList> pages;
    for (const QString& page : text.split(u'\f')) {
        QStringList lines = page.split(u'\n');
        while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
            lines.removeLast();
        pages.append(lines);
    }
    while (!pages.isEmpty() && pages.last().isEmpty())
        pages.removeLast();
    return pages;
}

// The left edges (points) of the words on page 1 whose text is `word`.
QList<double> WordLefts(const QString& pdf, const QString& word)
{
    const QString html = RunProgram(QStringLiteral("pdftotext"),
                             {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                              QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")});
    QList<double> lefts;
    const QRegularExpression re(QStringLiteral("<word xMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(2) == word)
            lefts.append(m.captured(1).toDouble());
    }
    return lefts;
}

class TextPrintTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }

    TextPrintOptions Options() const
    {
        TextPrintOptions o;
        o.HeaderText = QStringLiteral("a.txt 2006-04-01");
        return o;
    }
    TextPrintLayout Layout(const TextPrintOptions& o)
    {
        QTemporaryDir dir;
        PdfJob job(dir.filePath(QStringLiteral("m.pdf")), PrinterChoice{});
        return ComputeTextPrintLayout(job.Device(), o);
    }
    // Prints `lines` (without line ends; CR LF is added) and returns the PDF's path.
    QString Print(const QStringList& lines, const TextPrintOptions& o, TextPrintResult* result = nullptr)
    {
        const QString path = dir_.filePath(QStringLiteral("out%1.pdf").arg(++count_));
        PdfJob job(path, PrinterChoice{});
        const TextPrintResult r = PrintText(job, o, 1, lines.size(), [&](int64_t n) {
            return lines[int(n - 1)] + QStringLiteral("\r\n");
        });
        job.Commit();
        if (result)
            *result = r;
        return path;
    }
    static QStringList Numbered(int count)
    {
        QStringList lines;
        for (int i = 1; i <= count; ++i)
            lines.append(QStringLiteral("L%1").arg(i));
        return lines;
    }

    QTemporaryDir dir_;
    int count_ = 0;
};

TEST_F(TextPrintTest, FullPagesMakeExactlyThatManySheets)
{
    const TextPrintOptions o = Options();
    const int l = Layout(o).LinesPerPage;
    ASSERT_GT(l, 10);
    for (int k : {1, 2, 3}) {
        TextPrintResult r;
        const QString pdf = Print(Numbered(k * l), o, &r);
        EXPECT_EQ(PageCount(pdf), k) << k;
        EXPECT_EQ(r.Sheets, k);
        const auto pages = PageLines(pdf);
        ASSERT_EQ(pages.size(), k);
        // A header line, then L rows.
        EXPECT_EQ(pages[0].size(), l + 1);
        EXPECT_EQ(pages[0][1].trimmed(), QStringLiteral("L1"));
        EXPECT_EQ(pages[k - 1].last().trimmed(), QStringLiteral("L%1").arg(k * l));
    }
}

TEST_F(TextPrintTest, HeaderCarriesPathDateAndPage)
{
    TextPrintOptions o = Options();
    o.StartPage = 3;
    const auto pages = PageLines(Print({QStringLiteral("x")}, o));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0][0].trimmed(), QStringLiteral(u"a.txt 2006-04-01 : 3ﾍﾟｰｼﾞ"));

    o.PageNumbering = false;
    const TextPrintLayout l = Layout(o);
    const auto plain = PageLines(Print(Numbered(l.LinesPerPage + 1), o));
    ASSERT_EQ(plain.size(), 2);
    EXPECT_EQ(plain[0].size(), l.LinesPerPage);
    EXPECT_EQ(plain[0][0].trimmed(), QStringLiteral("L1"));
    EXPECT_EQ(Layout(Options()).LinesPerPage, l.LinesPerPage - 1);
}

TEST_F(TextPrintTest, TooWideHeaderShowsThePathsEnd)
{
    TextPrintOptions o = Options();
    o.HeaderText = QString(300, u'x') + QStringLiteral("end.txt 2006-04-01");
    const QString header = PageLines(Print({QStringLiteral("x")}, o))[0][0].trimmed();
    EXPECT_TRUE(header.startsWith(u"…")) << header.toStdString();
    EXPECT_TRUE(header.endsWith(QStringLiteral(u"end.txt 2006-04-01 : 1ﾍﾟｰｼﾞ")));
}

TEST_F(TextPrintTest, MarginsAreMeasuredFromThePrintableEdge)
{
    for (int mm : {0, 10, 99}) {
        TextPrintOptions o = Options();
        o.LeftMarginMm = mm;
        const auto lefts = WordLefts(Print({QStringLiteral("MARK")}, o), QStringLiteral("MARK"));
        ASSERT_EQ(lefts.size(), 1) << mm;
        const double expected = (5 + int(mm * 567 / 10) / 56.7) * 72 / 25.4;
        EXPECT_NEAR(lefts[0], expected, 1.0) << mm;
    }
}

TEST_F(TextPrintTest, TwoColumnsShareASheetAndCountSheets)
{
    TextPrintOptions o = Options();
    o.OneColumn = false;
    o.LeftMarginMm = 50;  // ignored with two columns
    const TextPrintLayout l = Layout(o);
    QStringList lines = Numbered(2 * l.LinesPerPage + 1);
    lines[l.LinesPerPage] = QStringLiteral("RIGHT");
    const QString pdf = Print(lines, o);
    EXPECT_EQ(PageCount(pdf), 2);
    const auto lefts = WordLefts(pdf, QStringLiteral("RIGHT"));
    ASSERT_EQ(lefts.size(), 1);
    EXPECT_NEAR(lefts[0], (5 + l.RightColumnOffset / 56.7) * 72 / 25.4, 1.0);
    const auto pages = PageLines(pdf);
    EXPECT_TRUE(pages[1][0].trimmed().endsWith(QStringLiteral(u": 2ﾍﾟｰｼﾞ")));
    // The right column's first row is the header's row: blank on its side.
    EXPECT_TRUE(pages[0][1].contains(QStringLiteral("RIGHT")));
    EXPECT_LE(l.RightColumnOffset + l.RightColumnWidth, l.PrintableWidth);
    EXPECT_EQ(l.LeftMargin, 0);
}

TEST_F(TextPrintTest, NewPageKey)
{
    const QStringList lines{QStringLiteral("a"), QStringLiteral("<NP>"), QStringLiteral("b"),
                            QStringLiteral("<NP>x"), QStringLiteral("c"), QStringLiteral("<NP>")};
    struct Case {
        bool key;
        bool numbers;
        bool oneColumn;
        int pages;
    } cases[] = {{true, false, true, 3}, {false, false, true, 1}, {true, true, true, 1}, {true, false, false, 3}};
    for (const Case& c : cases) {
        TextPrintOptions o = Options();
        o.NewPageKey = c.key;
        o.LineNumbers = c.numbers;
        o.OneColumn = c.oneColumn;
        TextPrintResult r;
        const QString pdf = Print(lines, o, &r);
        // The last "<NP>" begins no empty sheet.
        EXPECT_EQ(PageCount(pdf), c.pages) << c.key << c.numbers << c.oneColumn;
        if (c.key && !c.numbers) {
            const auto pages = PageLines(pdf);
            EXPECT_EQ(pages[1][1].trimmed(), QStringLiteral("b"));
            // Each new sheet goes on in the left column, under its header.
            EXPECT_TRUE(pages[2][0].contains(QStringLiteral(u": 3ﾍﾟｰｼﾞ")));
            EXPECT_EQ(pages[2][1].trimmed(), QStringLiteral("c"));
        }
    }
}

TEST_F(TextPrintTest, LongLinesContinueWithoutANumber)
{
    TextPrintOptions o = Options();
    o.LineNumbers = true;
    const TextPrintLayout l = Layout(o);
    QTemporaryDir d;
    PdfJob probe(d.filePath(QStringLiteral("p.pdf")), PrinterChoice{});
    const QFontMetricsF fm(PrintFont(o), &probe.Device());
    const QString prefix = QStringLiteral("0001:");
    int fit = 0;
    while (fm.horizontalAdvance(prefix + QString(fit + 1, u'あ')) / l.DotsPerTwipX <= l.ColumnWidth)
        ++fit;
    const QString line = QString(fit + 1, u'あ');
    const auto pages = PageLines(Print({line, QStringLiteral("next")}, o));
    ASSERT_EQ(pages[0].size(), 4);
    EXPECT_EQ(pages[0][1].trimmed(), prefix + QString(fit, u'あ'));
    EXPECT_EQ(pages[0][2].trimmed(), QStringLiteral(u"あ"));
    EXPECT_EQ(pages[0][3].trimmed(), QStringLiteral("0002:next"));
}

TEST_F(TextPrintTest, PiecesOfAtMostFiveHundredCharacters)
{
    // Zero-width characters never fill the width: the piece length alone cuts them.
    const QString text(1200, QChar(0x200B));
    const auto zero = [](const QString&) { return 0.0; };
    EXPECT_EQ(FitPrefix(text, 500, 1000, zero), 500);
    EXPECT_EQ(FitPrefix(text.mid(1000), 500, 1000, zero), 200);
    TextPrintResult r;
    Print({text}, Options(), &r);
    EXPECT_EQ(r.PrintedRows, 3);
}

TEST_F(TextPrintTest, ACharacterWiderThanTheColumnStillMovesOn)
{
    const auto wide = [](const QString& s) { return 100.0 * s.size(); };
    EXPECT_EQ(FitPrefix(QStringLiteral("abc"), 500, 50, wide), 1);
    const QString pairs = QString::fromUcs4(U"\U00020BB7\U00020BB7");
    EXPECT_EQ(FitPrefix(pairs, 500, 50, wide), 2);
    EXPECT_EQ(FitPrefix(pairs, 500, 350, wide), 2);  // never half a pair

    TextPrintOptions o = Options();
    o.FontSize = 400;  // lines per page would be 0 or less: one line still fits a page
    TextPrintResult r;
    const QString pdf = Print({QStringLiteral("ab"), QStringLiteral("c")}, o, &r);
    EXPECT_EQ(Layout(o).LinesPerPage, 1);
    EXPECT_GE(r.Sheets, 2);
    EXPECT_EQ(PageCount(pdf), r.Sheets);
}

TEST(PrintLineText, NumbersControlsAndTabs)
{
    struct Case {
        QString line;
        bool numbers;
        int digits;
        QString expected;
    } cases[] = {
        {QStringLiteral("ab\r\n"), false, 4, QStringLiteral("ab")},
        {QStringLiteral("ab\n"), false, 4, QStringLiteral("ab^J")},
        {QStringLiteral("a\rb\x01\x1f\x7f"), false, 4, QStringLiteral("a^Mb^A^_^?")},
        {QString(QChar(0)), false, 4, QStringLiteral("^@")},
        {QStringLiteral("a\tb\t\tc"), false, 4, QStringLiteral("a   b       c")},
        {QStringLiteral("x\r\n"), true, 2, QStringLiteral("12:x")},
        {QStringLiteral("x\r\n"), true, 3, QStringLiteral("012:x")},
        {QStringLiteral("x\r\n"), true, 4, QStringLiteral("0012:x")},
        {QStringLiteral("x\r\n"), true, 5, QStringLiteral("00012:x")},
        {QStringLiteral("x\r\n"), true, 7, QStringLiteral("0012:x")},
        {QStringLiteral("\r\n"), true, 0, QStringLiteral("0012:")},
    };
    for (const Case& c : cases) {
        TextPrintOptions o;
        o.LineNumbers = c.numbers;
        o.LineNumberDigits = c.digits;
        EXPECT_EQ(PrintLineText(c.line, 12, o), c.expected) << c.expected.toStdString();
    }
}

TEST_F(TextPrintTest, CancelAndFailureLeaveNoFile)
{
    const QString path = dir_.filePath(QStringLiteral("cancel.pdf"));
    {
        PdfJob job(path, PrinterChoice{});
        const TextPrintResult r = PrintText(
            job, Options(), 1, 100, [](int64_t) { return QStringLiteral("x\r\n"); },
            [](int64_t n) { return n < 5; });
        EXPECT_TRUE(r.Cancelled);
        EXPECT_EQ(r.LastLine, 5);
        job.Discard();
    }
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 0);
    {
        PdfJob job(path, PrinterChoice{});
        PrintText(job, Options(), 1, 3, [](int64_t) { return QStringLiteral("x\r\n"); });
        // Neither committed nor discarded: the destructor drops it.
    }
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_THROW(PdfJob(dir_.filePath(QStringLiteral("missing/folder.pdf")), PrinterChoice{}), RuntimeError);
}

TEST_F(TextPrintTest, PdfEmbedsTheFonts)
{
    const QString pdf = Print({QStringLiteral(u"日本語ABC")}, Options());
    const QString fonts = RunProgram(QStringLiteral("pdffonts"), {pdf});
    EXPECT_TRUE(fonts.contains(QStringLiteral("IPAMincho"))) << fonts.toStdString();
    for (const QString& line : fonts.split(u'\n').mid(2)) {
        if (!line.trimmed().isEmpty()) {
            EXPECT_TRUE(line.contains(QStringLiteral(" yes "))) << line.toStdString();
        }
    }
}

TEST(PrintAttributes, HeaderModeAndSettings)
{
    EXPECT_EQ(EncodeHeaderMode(true, true, true), 7);
    EXPECT_EQ(EncodeHeaderMode(false, true, false), -3);
    EXPECT_EQ(EncodeHeaderMode(false, false, false), -1);
    EXPECT_EQ(EncodeHeaderMode(true, false, true), 5);
    EXPECT_FALSE(PrintSizeValue(QStringLiteral("abc")));
    EXPECT_FALSE(PrintSizeValue(QStringLiteral("0")));
    EXPECT_FALSE(PrintSizeValue(QStringLiteral("-3")));
    EXPECT_DOUBLE_EQ(*PrintSizeValue(QStringLiteral("10.5")), 10.5);
    PrintAttributes a;
    a.HeaderFileName = false;
    EXPECT_EQ(PrintHeaderText(a, QStringLiteral("a.txt"), QDate(2006, 4, 1)), QStringLiteral(" 2006-04-01"));
}

}  // namespace
