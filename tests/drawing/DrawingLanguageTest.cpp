#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/RuntimeError.h"
#include "drawing/DrawingInterpreter.h"
#include "drawing/DrawingSurface.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace kolbran;

namespace {

// A document held in memory, run on a screen surface.
class DrawingTest : public ::testing::Test {
protected:
    DrawingTest() : state(prompter) {}

    DrawingInterpreter& Load(const QStringList& document)
    {
        lines = document;
        interpreter = std::make_unique<DrawingInterpreter>(
            state, [this](LineNumber n) { return lines.value(n - 1) + QStringLiteral("\r\n"); },
            LineNumber(lines.size()));
        interpreter->yield = [this] {
            ++yields;
            if (onYield)
                onYield();
        };
        return *interpreter;
    }
    // Scans and runs; the error number (0 when none) and the line it named.
    int Run(const QStringList& document, QSize size = QSize(200, 200))
    {
        Load(document);
        surface = std::make_unique<DrawingSurface>(size);
        try {
            interpreter->ScanLabels();
            end = interpreter->RunDrawing(*surface, false);
        } catch (const RuntimeError& e) {
            errorLine = interpreter->LineCounter();
            return e.Number();
        }
        return 0;
    }
    QRgb Pixel(int x, int y) const { return surface->Image().pixel(x, y) & 0xFFFFFF; }
    QString Var(int n) const { return interpreter->Variable(n); }

    test::ScriptedPrompter prompter;
    AppState state;
    QStringList lines;
    std::unique_ptr<DrawingInterpreter> interpreter;
    std::unique_ptr<DrawingSurface> surface;
    RunEnd end = RunEnd::LastLine;
    LineNumber errorLine = 0;
    int yields = 0;
    std::function<void()> onYield;
};

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;

TEST_F(DrawingTest, SplitsFieldsAsWritten)
{
    DrawingInterpreter& d = Load({});
    struct Case {
        QString line;
        int count;
        int field;
        QString text;
        bool quoted;
    };
    const Case cases[] = {
        {QStringLiteral(R"(Print,"AB,C")"), 2, 1, QStringLiteral("AB,C"), true},
        {QStringLiteral(R"(Print,"AB""C")"), 2, 1, QStringLiteral("AB\"C"), true},
        {QStringLiteral(R"(Print,"   ABC")"), 2, 1, QStringLiteral("   ABC"), true},
        {QStringLiteral("Print,   ABC"), 2, 1, QStringLiteral("ABC"), false},
        {QStringLiteral(R"(Print,"$02")"), 2, 1, QStringLiteral("$02"), true},
        {QStringLiteral(R"(Set,"+",$01,10)"), 4, 1, QStringLiteral("+"), true},
        {QStringLiteral("Set, + ,$01,10"), 4, 1, QStringLiteral("+"), false},
        {QStringLiteral(R"(Set,=,$02,"AB,C")"), 4, 3, QStringLiteral("AB,C"), true},
        {QStringLiteral("Line ,1 ,2"), 3, 0, QStringLiteral("Line"), false},
        {QStringLiteral("Line,1 ,2"), 3, 1, QStringLiteral("1 "), false},  // trailing blanks kept
        {QStringLiteral("Line,0,0,10,10,,BF"), 7, 5, QString(), false},
        {QStringLiteral("  # Pset,1,1,0"), 0, 0, QString(), false},
        {QStringLiteral("Pset,1,2\r\nrest"), 3, 2, QStringLiteral("2"), false},
        {QStringLiteral(R"(Print,"A" B ,x)"), 3, 1, QStringLiteral("AB"), true},
        {QStringLiteral(R"(Print,"open)"), 2, 1, QStringLiteral("open"), true},
        {QString(), 0, 0, QString(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        EXPECT_EQ(d.SplitDrawingLine(c.line), c.count);
        EXPECT_EQ(d.Field(c.field), c.text);
        EXPECT_EQ(d.Quoted(c.field), c.quoted);
    }
}

TEST_F(DrawingTest, FieldLimitsAndVariableNumbers)
{
    DrawingInterpreter& d = Load({});
    const QString sixteen = QStringLiteral("Pset") + QStringLiteral(",1").repeated(15);
    EXPECT_EQ(d.SplitDrawingLine(sixteen), 16);
    struct Case {
        QString line;
        int error;
    };
    const Case cases[] = {
        {QStringLiteral("Pset") + QStringLiteral(",1").repeated(16), 9},   // 17 fields
        {QStringLiteral("Set") + QStringLiteral(",1").repeated(16), 0},    // a Set line takes 17
        {QStringLiteral("Set") + QStringLiteral(",1").repeated(17), 9},
        {QStringLiteral("Print,$101"), 9},
        {QStringLiteral("Print,\"$101\""), 0},
        {QStringLiteral("a comment, ") + QStringLiteral(",x").repeated(30), 0},
        {QStringLiteral("Print,$100"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        int error = 0;
        try {
            d.SplitDrawingLine(c.line);
        } catch (const RuntimeError& e) {
            error = e.Number();
        }
        EXPECT_EQ(error, c.error);
    }
}

TEST_F(DrawingTest, SubstitutesVariablesButNotDollarZeroOutsideSet)
{
    ASSERT_EQ(Run({QStringLiteral("Set,=,$01,7"), QStringLiteral("Set,=,$00,zero"),
                   QStringLiteral("Set,\"=\",$02,$00"), QStringLiteral("Set,=,$03,$01")}),
              0);
    EXPECT_EQ(Var(2), QStringLiteral("zero"));
    EXPECT_EQ(Var(3), QStringLiteral("7"));
    DrawingInterpreter& d = *interpreter;
    d.SplitDrawingLine(QStringLiteral("Print,$00,$01, $01,\"$01\""));
    EXPECT_EQ(d.Field(1), QStringLiteral("$00"));
    EXPECT_EQ(d.Field(2), QStringLiteral("7"));
    EXPECT_EQ(d.Field(3), QStringLiteral("7"));
    EXPECT_EQ(d.Field(4), QStringLiteral("$01"));
}

TEST(DrawingNumberText, SingleForm)
{
    const std::pair<float, const char*> cases[] = {
        {0.5f, ".5"},       {-0.25f, "-.25"}, {20.0f, "20"},           {1e8f, "1E+08"},
        {1.0f / 3, ".3333333"}, {12345678.0f, "1.234568E+07"}, {0.0001f, ".0001"},
        {0.00001f, "1E-05"}, {-1.0f, "-1"},    {0.0f, "0"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(DrawingNumberText(value), QString::fromLatin1(text)) << text;
}

TEST_F(DrawingTest, SetArithmetic)
{
    struct Case {
        QStringList program;
        int error;
        QString result;  // $01 afterwards
    };
    const Case cases[] = {
        {{"Set,=,$01,1", "Set,/,$01,2"}, 0, ".5"},
        {{"Set,=,$01,.25", "Set,*,$01,-1"}, 0, "-.25"},
        {{"Set,=,$01,10", "Set,+,$01,10"}, 0, "20"},
        {{"Set,=,$01,10000", "Set,Up,$01,99990000"}, 0, "1E+08"},
        {{"Set,=,$01,1", "Set,/,$01,3"}, 0, ".3333333"},
        {{"Set,=,$01,5", "Set,Down,$01,7"}, 0, "-2"},
        {{"Set,=,$01,-1.5", "Set,Int,$01"}, 0, "-2"},
        {{"Set,=,$01,-7", "Set,Mod,$01,3"}, 0, "-1"},
        {{"Set,=,$01,-2147483648", "Set,Mod,$01,-1"}, 0, "0"},
        {{"Set,=,$01,1", "Set,/,$01,0"}, 11, "1"},
        {{"Set,=,$01,1", "Set,Mod,$01,0"}, 11, "1"},
        {{"Set,=,$01,1", "Set,Mod,$01,3000000000"}, 6, "1"},
        {{"Set,=,$01,1E+38", "Set,*,$01,10"}, 6, "1E+38"},
        {{"Set,=,$01,10.0"}, 0, "10.0"},
        {{"Set,Put,$01,ab", "Set,&,$01,cd"}, 0, "abcd"},
        {{"Set,=,$01,x", "Set,?,$01,3"}, 0, "x"},
        {{"Set,=,01,x"}, 0, ""},
        {{"Set,=,$101,x"}, 9, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program.join(u'|').toStdString());
        EXPECT_EQ(Run(c.program), c.error);
        EXPECT_EQ(Var(1), c.result);
    }
}

TEST_F(DrawingTest, IfComparesTextsExactlyAndNumbersAsValues)
{
    const QStringList program = {"Set,=,$01,10", "Set,+,$01,10", "IF,\"==\",$01,%1,LABEL01",
                                 "Set,=,$02,fell through", "END", "LABEL01", "Set,=,$02,jumped"};
    struct Case {
        QString value;
        QString result;
    };
    for (const Case& c : {Case{"20", "jumped"}, Case{"20.0", "fell through"}}) {
        ASSERT_EQ(Run(QStringList(program).replaceInStrings("%1", c.value)), 0);
        EXPECT_EQ(Var(2), c.result) << c.value.toStdString();
    }
    ASSERT_EQ(Run({"Set,=,$01,20.0", "IF,>=,$01,20,LABEL01", "END", "LABEL01", "Set,=,$02,yes",
                   "IF,~,1,1,LABEL01", "IF,<,1,2,LABEL99"}),
              0);
    EXPECT_EQ(Var(2), "yes");
}

TEST_F(DrawingTest, JumpsCallsAndLabels)
{
    // A label defined twice jumps to the later line; Jump,5 continues with line 6.
    ASSERT_EQ(Run({"Jump,LABEL01", "LABEL01", "Set,=,$01,first", "END", "LABEL01", "Set,=,$01,second"}), 0);
    EXPECT_EQ(Var(1), "second");
    ASSERT_EQ(Run({"Jump,5", "Set,=,$01,skipped", "END", "END", "Set,=,$01,line 5", "Set,&,$01,+6"}), 0);
    EXPECT_EQ(Var(1), "+6");
    // A label on line 1 is never a target.
    ASSERT_EQ(Run({"LABEL01", "Jump,LABEL01", "Set,=,$01,on"}), 0);
    EXPECT_EQ(Var(1), "on");
    EXPECT_EQ(interpreter->FindLabel("LABEL01"), -1);
    // A lone RETURN does nothing; CALL returns after itself.
    ASSERT_EQ(Run({"RETURN", "CALL,LABEL02", "Set,&,$01,back", "END", "LABEL02", "Set,&,$01,sub-", "RETURN"}), 0);
    EXPECT_EQ(Var(1), "sub-back");
    // ":" gives the label's entry, which a numeric Jump follows.
    ASSERT_EQ(Run({"Set,:,$05,LABEL03", "Jump,$05", "END", "LABEL03", "Set,=,$01,via colon"}), 0);
    EXPECT_EQ(Var(5), "3");
    EXPECT_EQ(Var(1), "via colon");
    EXPECT_EQ(Run({"Jump,LABEL-1"}), 9);
}

TEST_F(DrawingTest, NestedCallsUpTo101)
{
    // Each pass calls itself again; $01 counts the calls that went in.
    auto program = [](int limit) {
        return QStringList{"CALL,LABEL01", "END", "LABEL01", "Set,+,$01,1",
                           QStringLiteral("IF,<,$01,%1,LABEL02").arg(limit), "RETURN", "LABEL02",
                           "CALL,LABEL01", "RETURN"};
    };
    EXPECT_EQ(Run(program(101)), 0);
    EXPECT_EQ(Var(1), "101");
    EXPECT_EQ(Run(program(102)), 9);
    EXPECT_EQ(errorLine, 8);
}

TEST_F(DrawingTest, LoopLimitCountsLabelPassesAndJumpsBack)
{
    auto loop = [](int passes) {
        return QStringList{"LABEL01", "Set,+,$01,1", QStringLiteral("IF,<,$01,%1,LABEL01").arg(passes),
                           "Set,=,$02,done"};
    };
    // A label on line 1 could not be jumped to: the loop starts on line 2.
    auto program = [&](int passes) { return QStringList{"#"} + loop(passes); };
    ASSERT_EQ(Run(program(32767)), 0);
    EXPECT_EQ(Var(2), "done");
    EXPECT_TRUE(prompter.Messages().isEmpty());
    ASSERT_EQ(Run(program(32768)), 0);
    EXPECT_EQ(end, RunEnd::LoopLimit);
    EXPECT_EQ(Var(2), "");
    EXPECT_EQ(prompter.Messages().value(0),
              QStringLiteral(u"LABELを 32767以上 実行しようとしています。\r\n処理を中断しました。"));
    EXPECT_EQ(prompter.prompts.value(0).icon, MsgIcon::Information);
    prompter.prompts.clear();
    // A numeric jump back never passes a LABEL line, yet ends at the same limit.
    ASSERT_EQ(Run({"#", "Set,+,$01,1", "Jump,1"}), 0);
    EXPECT_EQ(end, RunEnd::LoopLimit);
    EXPECT_EQ(Var(1), "32768");
    EXPECT_EQ(prompter.Messages().size(), 1);
}

TEST_F(DrawingTest, YieldsEveryThreeThousandExecutedLinesAndStopsWhenBusyFlagClears)
{
    // Ten lines run 600 times: no line number is a multiple of 3000, yet 6000 lines ran.
    const QStringList loop = {"#", "LABEL01", "Set,+,$01,1", "#", "#", "#", "#", "#", "#", "#",
                              "IF,<,$01,600,LABEL01"};
    ASSERT_EQ(Run(loop), 0);
    EXPECT_EQ(yields, 2);
    EXPECT_FALSE(state.BusyFlag);
    onYield = [this] { state.BusyFlag = false; };
    ASSERT_EQ(Run(loop), 0);
    EXPECT_EQ(end, RunEnd::Stopped);
    EXPECT_EQ(Var(1), "300");
}

TEST_F(DrawingTest, PixelsInScaleModeThree)
{
    ASSERT_EQ(Run({"ScaleMode,3", "Pset,1,1,12", "PSet,2,2,12", "#Line,0,0,10,10,0", "   Pset,3,3,9",
                   "Pset,4,4,7", "Pset,5,5,16", "Pset,6,6,-1", "Pset,7,7,RGB,300,128,0",
                   "ForeColor,RGB,0,0,255", "Line,10,10,12,12,,BF", "Line,20,20,24,24,,B",
                   "FillColor,12", "Line,30,30,34,34,2,B", "Line,40,40,42,40,12"}),
              0);
    EXPECT_EQ(Pixel(1, 1), 0xFF0000u);
    EXPECT_EQ(Pixel(2, 2), kWhite);  // PSet is a comment
    EXPECT_EQ(Pixel(5, 5 + 0), kBlack);
    EXPECT_EQ(Pixel(3, 3), 0x0000FFu);
    EXPECT_EQ(Pixel(4, 4), 0xC0C0C0u);
    EXPECT_EQ(Pixel(6, 6), kBlack);
    EXPECT_EQ(Pixel(7, 7), 0xFF8000u);
    // BF with no colour fills with the drawing colour, both corners included.
    for (int p : {10, 11, 12})
        EXPECT_EQ(Pixel(p, p), 0x0000FFu);
    EXPECT_EQ(Pixel(13, 13), kWhite);
    // B with no colour: a black outline, nothing inside (fill style 1 at every run's start).
    EXPECT_EQ(Pixel(20, 20), kBlack);
    EXPECT_EQ(Pixel(24, 24), kBlack);
    EXPECT_EQ(Pixel(24, 20), kBlack);
    EXPECT_EQ(Pixel(22, 22), kWhite);
    EXPECT_EQ(Pixel(25, 25), kWhite);
    // A box keeps the fill colour only with a fill style; its outline takes its own colour.
    EXPECT_EQ(Pixel(30, 30), 0x008000u);
    EXPECT_EQ(Pixel(32, 32), kWhite);
    // A plain line covers both end points.
    EXPECT_EQ(Pixel(40, 40), 0xFF0000u);
    EXPECT_EQ(Pixel(42, 40), 0xFF0000u);
    EXPECT_EQ(Pixel(43, 40), kWhite);
}

TEST_F(DrawingTest, ScaleUnits)
{
    // Twips are the default and any unknown unit: 150 twips are pixel 10.
    ASSERT_EQ(Run({"ScaleMode,8", "Pset,150,150,12", "ScaleMode,3", "ScaleMode,0", "Pset,20,20,12",
                   "ScaleMode,6", "Pset,10,10,9"}),
              0);
    EXPECT_EQ(Pixel(10, 10), 0xFF0000u);
    EXPECT_EQ(Pixel(20, 20), 0xFF0000u);  // 0 keeps pixels
    EXPECT_EQ(Pixel(38, 38), 0x0000FFu);  // 10 mm at 96 dpi = 37.8
    EXPECT_EQ(Run({"Pset,1E+39,0,0"}), 6);
    EXPECT_EQ(Run({"Pset,0,0,40000"}), 6);
    EXPECT_EQ(Run({"ForeColor,40000"}), 6);
}

TEST_F(DrawingTest, PrintPositions)
{
    // The text's top left corner at the position; after it the next line's start.
    auto inkTop = [this](int x0, int x1) {
        for (int y = 0; y < surface->Image().height(); ++y)
            for (int x = x0; x < x1; ++x)
                if (Pixel(x, y) != kWhite)
                    return QPoint(x, y);
        return QPoint(-1, -1);
    };
    ASSERT_EQ(Run({"ScaleMode,3", "Print,I,10,100"}), 0);
    const QPoint alone = inkTop(0, 200);
    ASSERT_GE(alone.y(), 100);
    ASSERT_GE(alone.x(), 10);
    const QPoint offset = alone - QPoint(10, 100);
    ASSERT_EQ(Run({"ScaleMode,3", "Line,0,0,30,40,15", "Print,I"}), 0);
    EXPECT_EQ(inkTop(25, 200), QPoint(30, 40) + offset);
    ASSERT_EQ(Run({"ScaleMode,3", "Line,0,0,60,50,15", "Print,I,10"}), 0);  // no y: x is ignored
    EXPECT_EQ(inkTop(55, 200), QPoint(60, 50) + offset);
    ASSERT_EQ(Run({"ScaleMode,3", "Print,I,100,10", "Print,I"}), 0);
    const QPoint second = inkTop(0, 50);  // the next line starts at the left edge
    EXPECT_EQ(second.x(), offset.x());
    EXPECT_GT(second.y(), 10 + offset.y());
}

class DrawingFileTest : public DrawingTest {
protected:
    void SetUp() override
    {
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }
    void TearDown() override { QDir::setCurrent(previous); }
    void Write(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir dir;
    QString previous;
};

TEST_F(DrawingFileTest, ImagesAtNaturalScaledAndClippedSizes)
{
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    for (int x = 0; x < 2; ++x)
        for (int y = 0; y < 2; ++y)
            picture.setPixel(x, y, qRgb(0, 0, 255));
    ASSERT_TRUE(picture.save(dir.filePath("p.bmp"), "BMP"));
    Write("not.bmp", "text");
    ASSERT_EQ(Run({"ScaleMode,3", "Image,p.bmp,10,10", "Image,p.bmp,30,30,8,8", "Image,p.bmp,50,50,0,0,2,2,2,2",
                   "Image,p.bmp,70,70,6,6,0,0,2,2"}),
              0);
    EXPECT_EQ(Pixel(10, 10), 0x0000FFu);
    EXPECT_EQ(Pixel(13, 13), 0xFF0000u);
    EXPECT_EQ(Pixel(14, 14), kWhite);
    EXPECT_EQ(Pixel(37, 37), 0xFF0000u);  // scaled to 8 × 8
    EXPECT_EQ(Pixel(38, 38), kWhite);
    EXPECT_EQ(Pixel(50, 50), 0xFF0000u);  // the clip's own size: 2 × 2 of red
    EXPECT_EQ(Pixel(52, 52), kWhite);
    EXPECT_EQ(Pixel(75, 75), 0x0000FFu);  // the blue clip scaled to 6 × 6
    EXPECT_EQ(Run({"Pset,0,0,0", "Image,missing.bmp,0,0"}), 53);
    EXPECT_EQ(errorLine, 2);
    EXPECT_EQ(Run({"Image,not.bmp,0,0"}), 481);
}

TEST_F(DrawingTest, ImgSizeKeepsASideAtZeroAndRefusesHugeBitmaps)
{
    ASSERT_EQ(Run({"ImgSize,300,0"}, QSize(200, 150)), 0);
    EXPECT_EQ(surface->Image().size(), QSize(300, 150));
    ASSERT_EQ(Run({"ImgSize,-5,400"}, QSize(200, 150)), 0);
    EXPECT_EQ(surface->Image().size(), QSize(200, 400));
    EXPECT_EQ(Run({"ImgSize,32768,10"}), 7);
    EXPECT_EQ(Run({"ImgSize,10,1E+30"}), 7);
    // Both sides allowed, but 20000 × 20000 would take 1.6 GB: refused before any is taken.
    EXPECT_EQ(Run({"ImgSize,20000,20000"}), 7);
    EXPECT_EQ(surface->Image().size(), QSize(200, 200));
}

TEST_F(DrawingTest, VariablesStopGrowingAtOneMebicharacter)
{
    // Doubling a text: the 21st pass would make 2,097,152 characters.
    EXPECT_EQ(Run({"#", "Set,=,$01,x", "LABEL01", "Set,&,$01,$01", "IF,<,1,2,LABEL01"}), 7);
    EXPECT_EQ(errorLine, 4);
    EXPECT_EQ(Var(1).size(), 1 << 20);
}

TEST_F(DrawingTest, SeriesCountWithWholeNumbers)
{
    ASSERT_EQ(Run({"ScaleMode,3", "PsetS,10,10,12,2,3", "VPsetS,50,10,9,3,2.5", "LineS,100,0,100,5,12,4,2",
                   "PsetS,150,150,12,0,30000000"}),
              0);
    for (int x : {10, 12, 14})
        EXPECT_EQ(Pixel(x, 10), 0xFF0000u);
    EXPECT_EQ(Pixel(16, 10), kWhite);
    for (int y : {10, 13})  // i ≤ count − 1 = 1.5: two points
        EXPECT_EQ(Pixel(50, y), 0x0000FFu);
    EXPECT_EQ(Pixel(50, 16), kWhite);
    EXPECT_EQ(Pixel(104, 5), 0xFF0000u);
    EXPECT_EQ(Pixel(150, 150), 0xFF0000u);
    EXPECT_EQ(Run({"PsetS,0,0,0,1,3E+09"}), 6);
}

TEST_F(DrawingFileTest, ReadsItemsAndClosesFilesAtTheEnd)
{
    Write("data.txt", "1,\"A,B\"\r\n");
    ASSERT_EQ(Run({"Open,data.txt,3", "Read,3", "Set,=,$01,$00", "EOF,3", "Set,=,$03,$99", "Read,3",
                   "Set,=,$02,$00", "EOF,3"}),
              0);
    EXPECT_EQ(Var(1), "1");
    EXPECT_EQ(Var(3), "0");
    EXPECT_EQ(Var(2), "A,B");
    EXPECT_EQ(Var(99), "-1");
    // The file left open is closed by the run's end: a second run opens it again.
    EXPECT_EQ(interpreter->OpenFileCount(), 0);
    ASSERT_EQ(Run({"Open,data.txt,3"}), 0);
    ASSERT_EQ(interpreter->RunDrawing(*surface, true), RunEnd::LastLine);
    struct Case {
        QStringList program;
        int error;
        LineNumber line;
    };
    const Case cases[] = {
        {{"Open,data.txt,1", "Read,1", "Read,1", "Read,1"}, 62, 4},
        {{"Open,data.txt,1", "Open,data.txt,1"}, 55, 2},
        {{"Open,missing.txt,1"}, 53, 1},
        {{"Open,data.txt,512"}, 52, 1},
        {{"Read,7"}, 52, 1},
        {{"Open,data.txt,1", "Close,1", "Read,1"}, 52, 3},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
#ifdef Q_OS_UNIX
    // A pipe would block the run until another program wrote to it; a device never ends.
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600), 0);
    all.push_back({{"Open,pipe,1"}, 75, 1});
    all.push_back({{"Open,/dev/zero,2"}, 75, 1});
    all.push_back({{"Image,pipe,0,0"}, 75, 1});
#endif
    for (const Case& c : all) {
        SCOPED_TRACE(c.program.join(u'|').toStdString());
        EXPECT_EQ(Run(c.program), c.error);
        EXPECT_EQ(errorLine, c.line);
        EXPECT_EQ(interpreter->OpenFileCount(), 0);
    }
}

TEST_F(DrawingTest, InputAndMsgBox)
{
    prompter.inputs.enqueue(QStringLiteral("42"));
    prompter.inputs.enqueue(std::nullopt);
    ASSERT_EQ(Run({"Set,Input,$01,width", "Set,Input,$02,x", "MsgBox,hello"}), 0);
    EXPECT_EQ(Var(1), "42");
    EXPECT_EQ(Var(2), "");
    ASSERT_GE(prompter.prompts.size(), 3);
    EXPECT_EQ(prompter.prompts[0].text, QStringLiteral(u"$01 の値を入力してください。\r\nwidth"));
    EXPECT_EQ(prompter.prompts[0].title, QStringLiteral(u"変数の値を入力"));
    EXPECT_EQ(prompter.prompts[2].text, "hello");
}

TEST_F(DrawingTest, MatrixEndsTheRunWithItsSettings)
{
    ASSERT_EQ(Run({"Matrix,50,8,60,3", "Pset,0,0,12"}), 0);
    EXPECT_EQ(end, RunEnd::Matrix);
    EXPECT_TRUE(interpreter->Matrix().on);
    EXPECT_EQ(interpreter->Matrix().interval, 50);
    EXPECT_EQ(interpreter->Matrix().characters, 8);
    EXPECT_EQ(interpreter->Matrix().columns, 60);
    EXPECT_EQ(interpreter->Matrix().step, 3);
    EXPECT_EQ(Pixel(0, 0), kBlack);
    ASSERT_EQ(Run({"Matrix,,1,1,99"}), 0);
    EXPECT_EQ(interpreter->Matrix().interval, 200);
    EXPECT_EQ(interpreter->Matrix().characters, 20);
    EXPECT_EQ(interpreter->Matrix().columns, 56);
    EXPECT_EQ(interpreter->Matrix().step, 5);
    ASSERT_EQ(Run({"Matrix,5"}), 0);
    EXPECT_EQ(interpreter->Matrix().interval, 110);
}

// Random lines from the language's words and awkward texts never crash or hang: a run
// ends normally or with a run-time error.
TEST_F(DrawingTest, RandomLinesNeverCrashOrHang)
{
    const QStringList words = {"Pset", "Line", "Circle", "Print", "ScaleMode", "ForeColor", "DrawWidth",
                               "DrawStyle", "FillColor", "FillStyle", "FontSize", "FontName", "VLineS",
                               "LineS", "VPsetS", "PsetS", "Image", "IF", "Jump", "CALL", "RETURN", "Set",
                               "ImgSize", "MsgBox", "END", "Open", "Close", "Read", "EOF", "LABEL01",
                               "LABEL2", "LABEL", "#"};
    const QStringList tokens = {"", " ", "\"", "\"\"", ",", "$", "$0", "$1", "$00", "$99", "$100", "$101",
                                "RGB", "B", "BF", "1E+39", "-1", "0", "7", "12", "3.5", "&H7F", "LABEL01",
                                "LABEL2", "LABEL150", "==", "<", "+", "/", "Mod", ":", "&", "Int", "Input",
                                "abc", "x.bmp", "９", "\t", "-32769", "9999", "1E-45"};
    QRandomGenerator random(1234);
    for (int program = 0; program < 300; ++program) {
        QStringList document;
        const int length = 1 + int(random.bounded(20));
        for (int l = 0; l < length; ++l) {
            QString line = words[random.bounded(int(words.size()))];
            const int fields = int(random.bounded(20));
            for (int f = 0; f < fields; ++f) {
                line += random.bounded(4) == 0 ? QStringLiteral(" ") : QStringLiteral(",");
                const int pieces = 1 + int(random.bounded(2));
                for (int p = 0; p < pieces; ++p)
                    line += tokens[random.bounded(int(tokens.size()))];
            }
            document.append(line);
        }
        SCOPED_TRACE(document.join(u'|').toStdString());
        prompter.prompts.clear();
        const int error = Run(document, QSize(64, 64));
        EXPECT_TRUE(error == 0 || (error > 0 && error < 1000)) << error;
        EXPECT_FALSE(state.BusyFlag);
        EXPECT_EQ(interpreter->OpenFileCount(), 0);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
