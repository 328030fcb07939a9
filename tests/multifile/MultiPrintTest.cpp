#include "common/ScriptedPrompter.h"
#include "common/ToolTestFixture.h"
#include "core/Fonts.h"
#include "core/PaintJob.h"
#include "core/RuntimeError.h"
#include "core/Settings.h"
#include "multifile/MultiPrint.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>

#include <cmath>

using namespace kolbran;

namespace {

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "test_multifile_MultiPrintTest";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        auto* a = new QGuiApplication(argc, argv);
        InstallFontSubstitutions();
        return a;
    }();
    Q_UNUSED(app);
}

QString Run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString PdfText(const QString& pdf)
{
    return Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

int Pages(const QString& pdf)
{
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(Run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The left edge (points) of the first word `word` on page 1.
double WordLeft(const QString& pdf, const QString& word)
{
    const QString html = Run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"),
                                                          QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                                          pdf, QStringLiteral("-")});
    const auto m = QRegularExpression(QStringLiteral("<word xMin=\"([0-9.]+)\"[^>]*>") + QRegularExpression::escape(word) +
                                      QStringLiteral("</word>"))
                       .match(html);
    return m.hasMatch() ? m.captured(1).toDouble() : -1;
}

QByteArray Lines(int count, const char* stem = "line")
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += stem + QByteArray::number(i) + "\r\n";
    return bytes;
}

class MultiPrintTest : public test::ToolFolderTest {
protected:
    MultiPrintTest() : ToolFolderTest(RegisterMultiPrintToolCommands, QStringLiteral("kolbran_mltprt")) {}
    void SetUp() override
    {
        ToolFolderTest::SetUp();
        EnsureApplication();
    }
    int Print(QStringList args)
    {
        args.prepend(dir.path());
        args << QStringLiteral("--date") << QStringLiteral("2006-04-01");
        // As kolbran-tool starts: the settings of a first run (header mode 7).
        NonInteractivePrompter prompter(args.contains(QStringLiteral("--force")));
        AppState state(prompter);
        SetFirstRunValues(state.settings, QDate(2006, 4, 1));
        SetRunTimeValues(state.settings);
        ToolContext context{state, prompter, args};
        return registry.Find(QStringLiteral("multi-print"))->run(context);
    }
    // Lines per page of the default attributes with a header, on the default PDF page.
    int LinesPerPage(const PrintAttributes& a, bool header)
    {
        QBuffer buffer;
        QPdfWriter writer(&buffer);
        ApplyPdfLayout(writer, PrinterChoice{});
        return ComputeTextPrintLayout(writer, MultiPrintOptions(a, header, Path("x.txt"), QDate(2006, 4, 1), 4))
            .LinesPerPage;
    }
};

TEST_F(MultiPrintTest, EachFileIsAJobOfItsOwnFromPageOne)
{
    PrintAttributes a;
    const int lines = LinesPerPage(a, true);
    Write(QStringLiteral("a.txt"), Lines(lines + 1, "alpha"));  // two pages
    Write(QStringLiteral("b.txt"), Lines(3, "beta"));
    Write(QStringLiteral("a.csv"), QByteArray("x,y\r\n"));
    Write(QStringLiteral("skip.htm"), QByteArray("not chosen\r\n"));
    ASSERT_EQ(Print({QStringLiteral("--pattern"), QStringLiteral("*.*"), QStringLiteral("a.txt"), QStringLiteral("b.txt"),
                     QStringLiteral("a.csv")}),
              0);

    const QString apdf = Path(QStringLiteral("a.txt.pdf"));
    EXPECT_EQ(Pages(apdf), 2);
    const QString atext = PdfText(apdf);
    EXPECT_TRUE(atext.contains(Path(QStringLiteral("a.txt")) + QStringLiteral(u" 2006-04-01 : 1ﾍﾟｰｼﾞ"))) << atext.toStdString();
    EXPECT_TRUE(atext.contains(QStringLiteral(u" : 2ﾍﾟｰｼﾞ")));
    EXPECT_TRUE(atext.contains(QStringLiteral("alpha%1").arg(lines + 1)));
    for (const char* other : {"b.txt", "a.csv"}) {
        const QString pdf = Path(QString::fromLatin1(other) + QStringLiteral(".pdf"));
        EXPECT_EQ(Pages(pdf), 1) << other;
        EXPECT_TRUE(PdfText(pdf).contains(QStringLiteral(u" : 1ﾍﾟｰｼﾞ"))) << other;
    }
    EXPECT_TRUE(PdfText(Path(QStringLiteral("a.csv.pdf"))).contains(QStringLiteral("x,y")));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("skip.htm.pdf"))));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("a.pdf"))));

    // An existing PDF is kept without --force; with it, it is replaced.
    EXPECT_EQ(Print({QStringLiteral("b.txt")}), 1);
    EXPECT_EQ(Print({QStringLiteral("b.txt"), QStringLiteral("--force")}), 0);
}

TEST_F(MultiPrintTest, LinesFitThePage)
{
    // Lines per page use the whole printable height and never run past it.
    QBuffer buffer;
    QPdfWriter writer(&buffer);
    ApplyPdfLayout(writer, PrinterChoice{});
    for (const char* size : {"6.4", "10.5", "12"})
        for (const bool header : {false, true}) {
            PrintAttributes a;
            a.FontSize = QString::fromLatin1(size);
            const TextPrintLayout l =
                ComputeTextPrintLayout(writer, MultiPrintOptions(a, header, QStringLiteral("x"), QDate(2006, 4, 1), 4));
            const int rows = l.LinesPerPage + (header ? 1 : 0);
            EXPECT_LE(rows * l.LineHeight, l.PrintableHeight) << size << header;
            EXPECT_GT((rows + 1) * l.LineHeight, l.PrintableHeight) << size << header;
        }
    // A file of exactly one page's lines prints on one sheet.
    const int lines = LinesPerPage(PrintAttributes{}, false);
    Write(QStringLiteral("full.txt"), Lines(lines));
    ASSERT_EQ(Print({QStringLiteral("--no-header")}), 0);
    EXPECT_EQ(Pages(Path(QStringLiteral("full.txt.pdf"))), 1);
}

TEST_F(MultiPrintTest, TextAsPrinted)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QStringList options;
        QStringList present, absent;
    };
    const Case cases[] = {
        {"np.txt", "one\r\n<NP>two\r\nthree\r\n", {}, {QStringLiteral("<NP>two"), QStringLiteral("three")}, {}},
        {"plain.txt", "abc\r\n", {QStringLiteral("--no-header")}, {QStringLiteral("abc")}, {QStringLiteral(u"ﾍﾟｰｼﾞ")}},
        {"numbers.txt", "abc\r\ndef\r\n", {QStringLiteral("--line-numbers")}, {QStringLiteral("0001:abc"), QStringLiteral("0002:def")}, {}},
        {"wide.txt", QByteArray("\xFF\xFE", 2) + QByteArray("\x0A\x4E\x0D\x00\x0A\x00", 6), {}, {QStringLiteral(u"上")}, {}},
    };
    for (const Case& c : cases) {
        Write(QString::fromLatin1(c.name), c.bytes);
        QStringList args = c.options;
        args.prepend(QString::fromLatin1(c.name));
        ASSERT_EQ(Print(args), 0) << c.name;
        const QString pdf = Path(QString::fromLatin1(c.name) + QStringLiteral(".pdf"));
        EXPECT_EQ(Pages(pdf), 1) << c.name;
        const QString text = PdfText(pdf);
        for (const QString& s : c.present)
            EXPECT_TRUE(text.contains(s)) << c.name << ": " << s.toStdString() << " in " << text.toStdString();
        for (const QString& s : c.absent)
            EXPECT_FALSE(text.contains(s)) << c.name << ": " << s.toStdString();
    }
}

TEST_F(MultiPrintTest, TwoColumnsIgnoreTheMargin)
{
    Write(QStringLiteral("m.txt"), QByteArray("marker\r\n"));
    auto left = [&](const QStringList& options) {
        QStringList args = options;
        args << QStringLiteral("--no-header") << QStringLiteral("--force") << QStringLiteral("m.txt");
        EXPECT_EQ(Print(args), 0);
        return WordLeft(Path(QStringLiteral("m.txt.pdf")), QStringLiteral("marker"));
    };
    const double one0 = left({QStringLiteral("--columns"), QStringLiteral("1"), QStringLiteral("--margin"), QStringLiteral("0")});
    const double one50 = left({QStringLiteral("--columns"), QStringLiteral("1"), QStringLiteral("--margin"), QStringLiteral("50")});
    const double two50 = left({QStringLiteral("--columns"), QStringLiteral("2"), QStringLiteral("--margin"), QStringLiteral("50")});
    ASSERT_GE(one0, 0);
    EXPECT_NEAR(one50 - one0, 50 / 25.4 * 72, 1.5);  // 50 mm in points
    EXPECT_NEAR(two50, one0, 0.5);
}

TEST_F(MultiPrintTest, SetErrors)
{
    Write(QStringLiteral("a.txt"), QByteArray("a\r\n"));
    EXPECT_EQ(Print({QStringLiteral("nosuch.txt")}), 1);
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("a.txt.pdf"))));
    EXPECT_EQ(Print({QStringLiteral("--pattern"), QStringLiteral("*.c")}), 1);  // nothing listed
    EXPECT_EQ(Print({QStringLiteral("--columns"), QStringLiteral("3")}), 2);
    EXPECT_EQ(Print({QStringLiteral("--pdf-dir"), Path(QStringLiteral("none"))}), 1);
}

TEST_F(MultiPrintTest, AFailedFileIsReportedAndTheNextOnePrinted)
{
    test::ScriptedPrompter prompter;
    AppState state(prompter);
    Write(QStringLiteral("a.txt"), QByteArray("first\r\n"));
    Write(QStringLiteral("c.txt"), QByteArray("third\r\n"));
    QDir(dir.path()).mkdir(QStringLiteral("folder.txt"));
    MultiPrintHooks hooks;
    hooks.BeginJob = [](const QString& path) { return std::make_unique<PdfJob>(path + ".pdf", PrinterChoice{}); };
    const QStringList paths{Path("a.txt"), Path("gone.txt"), Path("folder.txt"), Path("c.txt")};
    const MultiPrintSummary s = PrintFiles(state, paths, PrintAttributes{}, true, QDate(2006, 4, 1), 0, hooks);
    EXPECT_EQ(s.Printed, 2);
    EXPECT_EQ(s.Failed, 2);
    EXPECT_FALSE(s.Cancelled);
    EXPECT_EQ(prompter.Messages(), (QStringList{MultiPrintErrorText(Err::FileNotFound), MultiPrintErrorText(Err::PathFileAccess)}));
    EXPECT_EQ(prompter.prompts.value(0).icon, MsgIcon::None);
    EXPECT_TRUE(PdfText(Path("c.txt.pdf")).contains(QStringLiteral("third")));
    EXPECT_FALSE(QFile::exists(Path("gone.txt.pdf")));
}

TEST_F(MultiPrintTest, CancelEndsTheCurrentJobAfterTheLastLine)
{
    test::ScriptedPrompter prompter;
    AppState state(prompter);
    Write(QStringLiteral("a.txt"), Lines(200));
    Write(QStringLiteral("b.txt"), Lines(3));
    for (const bool end : {true, false}) {
        MultiPrintHooks hooks;
        hooks.EndCancelledJob = end;
        hooks.BeginJob = [](const QString& path) { return std::make_unique<PdfJob>(path + ".pdf", PrinterChoice{}); };
        hooks.Step = [](int64_t line, int64_t count) {
            EXPECT_EQ(count, 200);
            return line < 70;
        };
        const MultiPrintSummary s =
            PrintFiles(state, {Path("a.txt"), Path("b.txt")}, PrintAttributes{}, true, QDate(2006, 4, 1), 0, hooks);
        EXPECT_TRUE(s.Cancelled);
        EXPECT_EQ(s.Printed, end ? 1 : 0);
        EXPECT_FALSE(QFile::exists(Path("b.txt.pdf")));
        if (end) {
            const QString text = PdfText(Path("a.txt.pdf"));
            EXPECT_TRUE(text.contains(QStringLiteral("line70")));
            EXPECT_FALSE(text.contains(QStringLiteral("line71")));
            EXPECT_TRUE(QFile::remove(Path("a.txt.pdf")));
        } else {
            EXPECT_FALSE(QFile::exists(Path("a.txt.pdf")));
        }
    }
}

TEST_F(MultiPrintTest, LineCountHasNoLimit)
{
    Write(QStringLiteral("many.txt"), QByteArray("\r\n").repeated(1000001));
    QFile f(Path("many.txt"));
    ASSERT_EQ(f.size(), 2000002);
    EXPECT_EQ(CountFileLines(Path("many.txt")), 1000001);
    int asked = 0;
    EXPECT_EQ(CountFileLines(Path("many.txt"), [&] { return ++asked < 3; }), -1);
}

}  // namespace
