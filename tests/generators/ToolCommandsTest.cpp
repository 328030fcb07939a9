#include "common/ToolTestFixture.h"
#include "core/CodePage.h"
#include "generators/Album.h"
#include "generators/ToolCommands.h"

#include <QImage>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

class GeneratorsToolTest : public test::ToolFolderTest {
protected:
    GeneratorsToolTest() : ToolFolderTest(RegisterGeneratorsToolCommands, QStringLiteral("kolbran_gentool")) {}

    QString Stdout(const QString& name, const QStringList& args, int expected = 0)
    {
        testing::internal::CaptureStdout();
        const int status = Run(name, args);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(status, expected);
        return QString::fromStdString(out);
    }
};

TEST_F(GeneratorsToolTest, CalendarPrintsTheMonth)
{
    const QString out = Stdout("calendar", {"2024", "5", "--width", "3"});
    EXPECT_TRUE(out.startsWith(QStringLiteral(u"　 5 / 2024\n　┌───┬")));
    EXPECT_EQ(out.count(u'\n'), 3 + 5 * 6 + 1);
    EXPECT_TRUE(Stdout("calendar", {"2024", "5", "--era"}).startsWith(QStringLiteral(u"　 5 / 2024  平成36年\n")));
    for (const QStringList& bad : {QStringList{"0", "5"}, QStringList{"32768", "1"}, QStringList{"2024", "13"},
                                   QStringList{"2024", "5", "--width", "5"}, QStringList{"2024"}})
        EXPECT_EQ(Run("calendar", bad), 2) << bad.join(' ').toStdString();
}

TEST_F(GeneratorsToolTest, CsvTableOnStdoutAndInAFile)
{
    Write("data.csv", ToSjis(QStringLiteral(u"a,bb\r\nccc,d,e\r\n日本,x\r\n")));
    EXPECT_EQ(Stdout("csv", {Path("data.csv")}),
              QStringLiteral(u"│a   │bb│ │\n│ccc │d │e│\n│日本│x │ │\n"));
    EXPECT_EQ(Run("csv", {Path("data.csv"), "-o", Path("table.txt")}), 0);
    EXPECT_EQ(Read("table.txt"), ToSjis(QStringLiteral(u"│a   │bb│ │\r\n│ccc │d │e│\r\n│日本│x │ │\r\n")));
    EXPECT_EQ(Run("csv", {Path("data.csv"), "-o", Path("table.txt")}), 1);  // exists: refused without --force
    EXPECT_EQ(Run("csv", {Path("data.csv"), "-o", Path("table.txt"), "--force"}), 0);

    Write("semi.txt", "a;b\r\nc\r\n");
    EXPECT_EQ(Stdout("csv", {Path("semi.txt"), "--delimiter", "semicolon"}), QStringLiteral(u"│a│b│\n│c│ │\n"));
    // EUC-JP shown under code 1.
    Write("euc.csv", QByteArray("\xC6\xFC\xCB\xDC,a\r\n"));
    EXPECT_EQ(Stdout("csv", {Path("euc.csv"), "--code", "1"}), QStringLiteral(u"│日本│a│\n"));
    Write("empty.csv", "");
    EXPECT_EQ(Run("csv", {Path("empty.csv")}), 1);
    EXPECT_EQ(Run("csv", {Path("data.csv"), "--delimiter", "pipe"}), 2);
}

TEST_F(GeneratorsToolTest, AlbumPageOfAFolder)
{
    QImage img(640, 480, QImage::Format_RGB32);
    img.fill(Qt::green);
    ASSERT_TRUE(QImageWriter(Path("b.jpg")).write(img));
    ASSERT_TRUE(QImageWriter(Path("a.jpg")).write(img.scaled(480, 640)));
    Write("c.txt", "x");
    const QString out = Stdout("album", {dir.path(), "--type", "3", "--rows", "1", "--columns", "2.5"});
    EXPECT_TRUE(out.contains("<IMG SRC=\"a.jpg\" ALT=\"a.jpg\" WIDTH= 120 HEIGHT= 160>"));
    EXPECT_TRUE(out.contains("<IMG SRC=\"b.jpg\" ALT=\"b.jpg\" WIDTH= 160 HEIGHT= 120>"));
    EXPECT_TRUE(out.endsWith("</HTML>\n"));

    EXPECT_EQ(Run("album", {dir.path(), "--type", "1", "--rows", "5", "--columns", "2", "--folder-name", "--pattern", "*.*", "-o", Path("p.htm")}), 0);
    const QByteArray page = Read("p.htm");
    EXPECT_TRUE(page.contains(("<A HREF=\"" + FolderTran(dir.path()) + "/c.txt\">c.txt</A>").toUtf8()));
    EXPECT_TRUE(page.endsWith("</HTML>\r\n"));

    EXPECT_EQ(Run("album", {dir.path(), "--pattern", "*.gif"}), 1);  // no file
    EXPECT_EQ(Run("album", {dir.path(), "--type", "7"}), 2);
}

// An HTML5 parser reads the saved page of hostile file names: every name stays inside its
// own attributes and cells.
TEST_F(GeneratorsToolTest, SavedPageParsesAsWritten)
{
    const QString python = QStringLiteral("/usr/bin/python3");
    if (QProcess::execute(python, {"-c", "import html5lib"}) != 0)
        GTEST_SKIP() << "python3-html5lib is not installed";
    const QStringList names = {QStringLiteral("a\"><script>x=1<!--.jpg"), QStringLiteral("b&c <d> 100%#1?.jpg"),
                               QStringLiteral(u"写真 café.jpg")};
    QImage img(64, 32, QImage::Format_RGB32);
    img.fill(Qt::gray);
    for (const QString& n : names)
        ASSERT_TRUE(QImageWriter(Path(n), "jpeg").write(img));
    ASSERT_EQ(Run("album", {dir.path(), "--type", "3", "--rows", "5", "--columns", "2", "-o", Path("page.htm")}), 0);
    const char* script = R"(
import html5lib, json, sys
doc = html5lib.parse(open(sys.argv[1], "rb").read(), transport_encoding="shift_jis", namespaceHTMLElements=False)
cells = []
for td in doc.iter("td"):
    a = td.find("a"); img = a.find("img")
    cells.append({"href": a.get("href"), "src": img.get("src"), "alt": img.get("alt"),
                  "width": img.get("width"), "height": img.get("height")})
print(json.dumps({"cells": cells, "scripts": len(list(doc.iter("script")))}))
)";
    QProcess p;
    p.start(python, {"-c", QString::fromUtf8(script), Path("page.htm")});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QJsonObject result = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    EXPECT_EQ(result["scripts"].toInt(), 0);  // the name opened no element
    const QJsonArray cells = result["cells"].toArray();
    ASSERT_EQ(cells.size(), 3);
    // The list is in name order: "a…", "b…", then the Japanese name.
    for (int k = 0; k < 3; ++k) {
        const QJsonObject c = cells[k].toObject();
        EXPECT_EQ(c["alt"].toString(), names[k]);
        EXPECT_EQ(c["href"].toString(), EncodeUrlName(names[k]));
        EXPECT_EQ(c["src"].toString(), EncodeUrlName(names[k]));
        EXPECT_EQ(c["width"].toString(), "160");
        EXPECT_EQ(c["height"].toString(), "80");
    }
}

}  // namespace
