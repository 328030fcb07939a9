#include "common/ToolTestFixture.h"
#include "core/Fonts.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>

using namespace kolbran;

namespace {

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "test_printing_PrintToolTest";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        auto* a = new QGuiApplication(argc, argv);
        InstallFontSubstitutions();
        return a;
    }();
    Q_UNUSED(app);
}

QString PdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int Pages(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(60000);
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

class PrintToolTest : public test::ToolFolderTest {
protected:
    PrintToolTest() : ToolFolderTest(RegisterPrintingToolCommands, QStringLiteral("kolbran_print")) {}
    void SetUp() override
    {
        ToolFolderTest::SetUp();
        EnsureApplication();
    }
};

TEST_F(PrintToolTest, PrintsTheDefaultPdfWithHeader)
{
    Write(QStringLiteral("a.txt"), QByteArray("first\r\nsecond\r\n"));
    ASSERT_EQ(Run(QStringLiteral("print"), {Path(QStringLiteral("a.txt")), QStringLiteral("--date"),
                                            QStringLiteral("2006-04-01"), QStringLiteral("--start-page"),
                                            QStringLiteral("3"), QStringLiteral("--line-numbers"), QStringLiteral("--header"),
                                            QStringLiteral("7")}),
              0);
    const QString pdf = Path(QStringLiteral("a.pdf"));
    EXPECT_EQ(Pages(pdf), 1);
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral(u"a.txt 2006-04-01 : 3ﾍﾟｰｼﾞ"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("0001:first")));
    EXPECT_TRUE(text.contains(QStringLiteral("0002:second")));
}

TEST_F(PrintToolTest, RangeColumnsAndOverwrite)
{
    QByteArray lines;
    for (int i = 1; i <= 30; ++i)
        lines += "line" + QByteArray::number(i) + "\r\n";
    Write(QStringLiteral("b.txt"), lines);
    const QString out = Path(QStringLiteral("out.pdf"));
    ASSERT_EQ(Run(QStringLiteral("print"), {Path(QStringLiteral("b.txt")), QStringLiteral("-o"), out,
                                            QStringLiteral("--from"), QStringLiteral("5"), QStringLiteral("--to"),
                                            QStringLiteral("99"), QStringLiteral("--header"), QStringLiteral("-1"),
                                            QStringLiteral("--columns"), QStringLiteral("2")}),
              0);
    const QString text = PdfText(out);
    EXPECT_FALSE(text.contains(QStringLiteral("line4 ")));
    EXPECT_TRUE(text.contains(QStringLiteral("line5")));
    EXPECT_TRUE(text.contains(QStringLiteral("line30")));
    EXPECT_FALSE(text.contains(QStringLiteral(u"ﾍﾟｰｼﾞ")));
    // An existing output is kept without --force.
    const QByteArray before = Read(QStringLiteral("out.pdf"));
    EXPECT_EQ(Run(QStringLiteral("print"), {Path(QStringLiteral("b.txt")), QStringLiteral("-o"), out}), 1);
    EXPECT_EQ(Read(QStringLiteral("out.pdf")), before);
    EXPECT_EQ(Run(QStringLiteral("print"), {Path(QStringLiteral("b.txt")), QStringLiteral("-o"), out,
                                            QStringLiteral("--force"), QStringLiteral("--one-page")}),
              0);
    EXPECT_EQ(Pages(out), 1);
}

TEST_F(PrintToolTest, BadValuesAreUsageErrorsAndFailuresLeaveNoFile)
{
    Write(QStringLiteral("c.txt"), QByteArray("x\r\n"));
    const QString file = Path(QStringLiteral("c.txt"));
    const QList<QStringList> bad{{QStringLiteral("--size"), QStringLiteral("0")},
                                 {QStringLiteral("--size"), QStringLiteral("abc")},
                                 {QStringLiteral("--header"), QStringLiteral("0")},
                                 {QStringLiteral("--columns"), QStringLiteral("3")},
                                 {QStringLiteral("--margin"), QStringLiteral("100")},
                                 {QStringLiteral("--from"), QStringLiteral("3"), QStringLiteral("--to"), QStringLiteral("2")},
                                 {QStringLiteral("--paper"), QStringLiteral("A9")},
                                 {QStringLiteral("--date"), QStringLiteral("2006-13-01")},
                                 {QStringLiteral("--code"), QStringLiteral("4")}};
    for (const QStringList& args : bad)
        EXPECT_EQ(Run(QStringLiteral("print"), QStringList{file} + args), 2) << args.join(u' ').toStdString();
    EXPECT_EQ(Run(QStringLiteral("print"), {Path(QStringLiteral("missing.txt"))}), 1);
    EXPECT_EQ(Run(QStringLiteral("print"), {file, QStringLiteral("-o"), Path(QStringLiteral("no/such/x.pdf"))}), 1);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files).size(), 0);
}

}  // namespace
