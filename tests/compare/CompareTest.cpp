#include "compare/Compare.h"
#include "core/CodePage.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Failures show the text, not its code units.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

using namespace kolbran;

namespace {

const QString CRLF = QStringLiteral("\r\n");

QString Sep(const QString& label, int w = 72)
{
    return QStringLiteral("    +") + QString(w - 11, u'-') + label + u'+';
}
const QString kAdd = QStringLiteral("- Add -----");
const QString kDel = QStringLiteral("- Del -----");
const QString kBefore = QStringLiteral("- Before --");
const QString kAfter = QStringLiteral("- After ---");
const QString kPlain = QStringLiteral("-----------");
QString Blank(int w = 72) { return QString(w + 6, u' '); }
QString Num(int n, int digits = 4) { return QString::number(n).rightJustified(digits, u'0'); }
// One row of an ASCII text that fits the width.
QString Row(int n, const QString& text, int w = 72) { return Num(n) + u'|' + text.leftJustified(w) + u'|'; }
// A context line: its number and the line as stored.
QString Ctx(int n, const QString& text) { return Num(n) + u' ' + text; }
QString Summary(int changed, int added, int deleted)
{
    return CRLF + QStringLiteral(u"変更 : ") + Num(changed) + CRLF + QStringLiteral(u"追加 : ") + Num(added) +
           CRLF + QStringLiteral(u"削除 : ") + Num(deleted) + CRLF;
}
// "L01".."L20" as stored lines.
QByteArray Lines(int count, int changedAt = 0, int missing = 0, int insertAfter = 0)
{
    QByteArray b;
    for (int n = 1; n <= count; ++n) {
        if (n != missing)
            b += n == changedAt ? QByteArray("X\r\n") : QByteArray("L") + QByteArray::number(n).rightJustified(2, '0') + "\r\n";
        if (n == insertAfter)
            b += "NEW\r\n";
    }
    return b;
}
QString L(int n) { return QStringLiteral("L") + Num(n, 2); }
QString CtxRange(int from, int to)
{
    QString s;
    for (int n = from; n <= to; ++n)
        s += Ctx(n, L(n) + CRLF);
    return s;
}

class CompareTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Write(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    CompareResult Run(const QByteArray& oldBytes, const QByteArray& newBytes, CompareOptions o = {},
                      const CompareHooks& hooks = {})
    {
        return CompareFiles(Write(QStringLiteral("old.txt"), oldBytes), Write(QStringLiteral("new.txt"), newBytes), o,
                            hooks);
    }
};

TEST_F(CompareTest, SameFilesListNothing)
{
    for (const QByteArray& bytes : {Lines(20), QByteArray(), QByteArray("last line without end")}) {
        const CompareResult r = Run(bytes, bytes);
        EXPECT_TRUE(r.Same());
        EXPECT_EQ(r.listing, QString());
        EXPECT_FALSE(r.cut);
    }
}

TEST_F(CompareTest, BlocksAsListed)
{
    const struct {
        const char* name;
        QByteArray oldBytes, newBytes;
        QString listing;
        int changed, added, deleted;
    } cases[] = {
        {"empty against two lines", "", "a\r\nb\r\n",
         Blank() + u' ' + Sep(kAdd) + CRLF + QString(79, u' ') + Row(1, "a") + CRLF + QString(79, u' ') + Row(2, "b") +
             CRLF + Blank() + u' ' + Sep(kPlain) + CRLF + CRLF,
         0, 2, 0},
        {"two lines against empty", "a\r\nb\r\n", "",
         Sep(kDel) + CRLF + Row(1, "a") + CRLF + Row(2, "b") + CRLF + Sep(kPlain) + CRLF + CRLF, 0, 0, 2},
        {"one line inserted after line 10", Lines(20), Lines(20, 0, 0, 10),
         CtxRange(6, 10) + Blank() + u' ' + Sep(kAdd) + CRLF + QString(79, u' ') + Row(11, "NEW") + CRLF + Blank() +
             u' ' + Sep(kPlain) + CRLF + CtxRange(11, 15) + CRLF,
         0, 1, 0},
        {"line 10 changed", Lines(20), Lines(20, 10),
         CtxRange(5, 9) + Sep(kBefore) + u' ' + Sep(kAfter) + CRLF + Row(10, "L10") + u' ' + Row(10, "X") + CRLF +
             Sep(kPlain) + u' ' + Sep(kPlain) + CRLF + CtxRange(11, 15) + CRLF,
         1, 0, 0},
        {"line 10 deleted", Lines(20), Lines(20, 0, 10),
         CtxRange(5, 9) + Sep(kDel) + CRLF + Row(10, "L10") + CRLF + Sep(kPlain) + CRLF + CtxRange(11, 15) + CRLF, 0, 0,
         1},
        // The line that moved to the front is found behind the search position: the two
        // lines before it are deleted and added again after it.
        {"A B C becomes C A B", "A\r\nB\r\nC\r\n", "C\r\nA\r\nB\r\n",
         Sep(kDel) + CRLF + Row(1, "A") + CRLF + Row(2, "B") + CRLF + Sep(kPlain) + CRLF + Ctx(3, "C\r\n") + Blank() +
             u' ' + Sep(kAdd) + CRLF + QString(79, u' ') + Row(2, "A") + CRLF + QString(79, u' ') + Row(3, "B") + CRLF +
             Blank() + u' ' + Sep(kPlain) + CRLF + CRLF,
         0, 2, 2},
        // An empty line is never looked for behind the search position.
        {"X and an empty line swapped", "X\r\n\r\n", "\r\nX\r\n",
         Blank() + u' ' + Sep(kAdd) + CRLF + QString(79, u' ') + Row(1, "") + CRLF + Blank() + u' ' + Sep(kPlain) +
             CRLF + Ctx(1, "X\r\n") + Sep(kDel) + CRLF + Row(2, "") + CRLF + Sep(kPlain) + CRLF + CRLF,
         0, 1, 1},
        // Side by side: the shorter side shows its separator once, then the blank column.
        {"a row cut in three", "a\r\n", QByteArray(200, 'x') + "\r\n",
         Sep(kBefore) + u' ' + Sep(kAfter) + CRLF + Row(1, "a") + u' ' + "0001|" + QString(72, u'x') + "|" + CRLF +
             Sep(kPlain) + u' ' + "    |" + QString(72, u'x') + "|" + CRLF + Blank() + u' ' + "    |" +
             QString(56, u'x') + QString(16, u' ') + "|" + CRLF + Blank() + u' ' + Sep(kPlain) + CRLF + CRLF,
         1, 0, 0},
        // A double-byte character across column 72 moves to the next row.
        {"a double-byte character at the edge", QByteArray(71, 'x') + "\x82\xA0y\r\n", "",
         Sep(kDel) + CRLF + "0001|" + QString(71, u'x') + " |" + CRLF + "    |" + QStringLiteral(u"あy") +
             QString(69, u' ') + "|" + CRLF + Sep(kPlain) + CRLF + CRLF,
         0, 0, 1},
        {"a tab in a row", "a\tb\r\n", "", Sep(kDel) + CRLF + Row(1, "a    b") + CRLF + Sep(kPlain) + CRLF + CRLF, 0, 0,
         1},
        // A context line keeps its tab; one without a line end gets one.
        {"context as stored", "a\tb\r\nc", "a\tb\r\nd\r\ne",
         Ctx(1, "a\tb\r\n") + Sep(kBefore) + u' ' + Sep(kAfter) + CRLF + Row(2, "c") + u' ' + Row(2, "d") + CRLF +
             Sep(kPlain) + u' ' + Row(3, "e") + CRLF + Blank() + u' ' + Sep(kPlain) + CRLF + CRLF,
         2, 0, 0},
        // A context line without a line end gets one before the next list line.
        {"context without a line end", "a\r\nb", "NEW\r\na\r\nb",
         Blank() + u' ' + Sep(kAdd) + CRLF + QString(79, u' ') + Row(1, "NEW") + CRLF + Blank() + u' ' +
             Sep(kPlain) + CRLF + Ctx(1, "a\r\n") + Ctx(2, "b\r\n") + CRLF,
         0, 1, 0},
        {"a last line without its end", "a", "a\r\n",
         Sep(kBefore) + u' ' + Sep(kAfter) + CRLF + Row(1, "a") + u' ' + Row(1, "a") + CRLF + Sep(kPlain) + u' ' +
             Sep(kPlain) + CRLF + CRLF,
         1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CompareResult r = Run(c.oldBytes, c.newBytes);
        EXPECT_EQ(r.listing, c.listing + Summary(c.changed, c.added, c.deleted));
        EXPECT_EQ(r.changed, c.changed);
        EXPECT_EQ(r.added, c.added);
        EXPECT_EQ(r.deleted, c.deleted);
    }
}

TEST_F(CompareTest, ContextBetweenBlocks)
{
    // Lines 10 and 32 changed: 21 unchanged lines between them show as C, an empty line, C.
    QByteArray newBytes = Lines(60, 10);
    newBytes.replace("L32\r\n", "Y\r\n");
    QString listing = Run(Lines(60), newBytes).listing;
    EXPECT_NE(listing.indexOf(Sep(kPlain) + u' ' + Sep(kPlain) + CRLF + CtxRange(11, 15) + CRLF + CtxRange(27, 31) +
                              Sep(kBefore)),
              -1)
        << listing.toStdString();

    // Lines 10 and 21 changed: the 2·C lines between them show whole.
    newBytes = Lines(60, 10);
    newBytes.replace("L21\r\n", "Y\r\n");
    listing = Run(Lines(60), newBytes).listing;
    EXPECT_NE(listing.indexOf(Sep(kPlain) + CRLF + CtxRange(11, 20) + Sep(kBefore)), -1) << listing.toStdString();

    // The boxes' "30" and "50" become 42 and 20: the first block shows all 9 lines before it.
    const CompareNumbers n = ReadCompareNumbers(u"30", u"50");
    EXPECT_EQ(n.width, 42);
    EXPECT_EQ(n.context, 20);
    EXPECT_TRUE(n.widthRewritten && n.contextRewritten);
    CompareOptions o;
    o.width = n.width;
    o.context = n.context;
    listing = Run(Lines(60), newBytes, o).listing;
    EXPECT_TRUE(listing.startsWith(CtxRange(1, 9) + Sep(kBefore, 42) + u' ' + Sep(kAfter, 42) + CRLF +
                                   Num(10) + "|L10" + QString(39, u' ') + u'|'))
        << listing.toStdString();
}

TEST_F(CompareTest, NumberBoxes)
{
    const struct {
        const char16_t *width, *context;
        int w, c;
        bool valid, wRewritten, cRewritten;
    } cases[] = {
        {u"72", u"5", 72, 5, true, false, false},     {u"121", u"4", 120, 5, true, true, true},
        {u" 100 ", u"20", 100, 20, true, false, false}, {u"80.5", u"7", 80, 7, true, false, false},
        {u"abc", u"7", 72, 5, false, true, true},      {u"90", u"", 72, 5, false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.width).toStdString());
        const CompareNumbers n = ReadCompareNumbers(QStringView(c.width), QStringView(c.context));
        EXPECT_EQ(n.width, c.w);
        EXPECT_EQ(n.context, c.c);
        EXPECT_EQ(n.valid, c.valid);
        EXPECT_EQ(n.widthRewritten, c.wRewritten);
        EXPECT_EQ(n.contextRewritten, c.cRewritten);
    }
}

TEST_F(CompareTest, FiveDigitLineNumbers)
{
    QByteArray oldBytes, newBytes;
    for (int n = 1; n <= 10'012; ++n) {
        const QByteArray line = "line " + QByteArray::number(n) + "\r\n";
        oldBytes += line;
        if (n != 10'010)
            newBytes += line;
    }
    const CompareResult r = Run(oldBytes, newBytes);
    EXPECT_EQ(r.deleted, 1);
    EXPECT_EQ(r.listing,
              QStringLiteral("10005 line 10005\r\n10006 line 10006\r\n10007 line 10007\r\n10008 line 10008\r\n"
                             "10009 line 10009\r\n") +
                  u' ' + Sep(kDel) + CRLF + "10010|line 10010" + QString(62, u' ') + "|" + CRLF + Sep(kPlain) + CRLF +
                  "10011 line 10011\r\n10012 line 10012\r\n" + CRLF + Summary(0, 0, 1));
}

TEST_F(CompareTest, LineTables)
{
    QByteArray utf16("\xFF\xFE", 2);
    utf16 += ToUtf16Le(QStringLiteral(u"ab\r\nc"));
    const struct {
        const char* name;
        QByteArray bytes;
        std::vector<FileOffset> starts;
        bool utf16;
    } cases[] = {
        {"CR LF ends a line, a lone CR does not", "a\rb\r\nc\r\n\r\nd", {0, 5, 8, 10, 11}, false},
        {"4,096 bytes without an end are one line", QByteArray(5000, 'x'), {0, 4096, 5000}, false},
        {"a CR LF cut by the piece's end is left for the next line", QByteArray(4095, 'x') + "\r\nz",
         {0, 4095, 4097, 4098}, false},
        {"UTF-16 starts after its mark", utf16, {2, 10, 12}, true},
        {"only the mark", QByteArray("\xFF\xFE", 2), {2}, true},
        {"empty", "", {0}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<CompareLineTable> t = BuildCompareTable(Write("t.txt", c.bytes), CompareKeyMode::Bytes);
        ASSERT_TRUE(t.has_value());
        EXPECT_EQ(t->starts, c.starts);
        EXPECT_EQ(t->utf16, c.utf16);
        EXPECT_FALSE(t->cut);
    }
}

TEST_F(CompareTest, PairingDiagnostic)
{
    CompareOptions o;
    o.diagnostics = true;
    QStringList shown;
    CompareHooks hooks;
    hooks.diagnostic = [&shown](const QString& text) { shown.append(text); };
    Run("A\r\nB\r\nC\r\n", "C\r\nA\r\nB\r\n", o, hooks);
    Run("A\r\nB\r\n", "A\r\nB\r\n", o, hooks);  // consecutive everywhere: nothing
    EXPECT_EQ(shown, QStringList{QStringLiteral(" 3 0 0")});
}

TEST_F(CompareTest, KindsAndBytes)
{
    const QString text = QStringLiteral(u"日本語のテキスト\r\n二行目\r\nｶﾀｶﾅ");
    QByteArray utf16("\xFF\xFE", 2);
    utf16 += ToUtf16Le(text);
    // A Shift_JIS file and its UTF-16 copy are the same; so are two UTF-16 copies.
    EXPECT_TRUE(Run(ToSjis(text), utf16).Same());
    EXPECT_TRUE(Run(utf16, utf16).Same());
    // Different invalid bytes are different lines, though both decode to U+FFFD.
    EXPECT_EQ(FromSjis("\xA0\r\n"), FromSjis("\xFD\r\n"));
    EXPECT_EQ(Run("ok\r\n\xA0\r\n", "ok\r\n\xFD\r\n").changed, 1);
    // A line end is part of the line.
    EXPECT_FALSE(Run("a", "a\r\n").Same());
    // A UTF-16 row is shown as its text.
    QByteArray oldUtf16("\xFF\xFE", 2);
    oldUtf16 += ToUtf16Le(QStringLiteral(u"あ\r\n"));
    CompareResult r = Run(oldUtf16, QByteArray("\xFF\xFE", 2));
    EXPECT_EQ(r.listing, Sep(kDel) + CRLF + "0001|" + QStringLiteral(u"あ") + QString(70, u' ') + "|" + CRLF +
                             Sep(kPlain) + CRLF + CRLF + Summary(0, 0, 1));
    // A row is never cut inside a surrogate pair (one character, shown as one byte "?").
    const QString emoji = QStringLiteral(u"\U0001F600");
    oldUtf16 = QByteArray("\xFF\xFE", 2) + ToUtf16Le(QString(71, u'x') + emoji + QStringLiteral("yyyyy\r\n"));
    r = Run(oldUtf16, QByteArray("\xFF\xFE", 2));
    EXPECT_EQ(r.listing, Sep(kDel) + CRLF + "0001|" + QString(71, u'x') + emoji + "|" + CRLF + "    |yyyyy" +
                             QString(67, u' ') + "|" + CRLF + Sep(kPlain) + CRLF + CRLF + Summary(0, 0, 1));
}

TEST_F(CompareTest, LineLimit)
{
    QByteArray lines;
    for (int n = 0; n < kCompareLineLimit; ++n)
        lines += "x\r\n";
    CompareResult r = Run(lines, lines);
    EXPECT_TRUE(r.Same());
    EXPECT_FALSE(r.cut);
    EXPECT_EQ(r.oldCount, kCompareLineLimit);
    // Beyond the limit the files differ, but only the first 300,000 lines take part.
    r = Run(lines + "old tail\r\n", lines + "new tail\r\n");
    EXPECT_TRUE(r.cut);
    EXPECT_TRUE(r.Same());
    EXPECT_EQ(r.listing, QString());
    EXPECT_EQ(CompareLimitText(), QStringLiteral(u"300,001行以上のテキストファイルは正しく処理されません。"));
}

TEST_F(CompareTest, CancelAndFailure)
{
    // Cancelled while matching: no list at all.
    CompareHooks hooks;
    hooks.step = [](ComparePhase phase, qint64 done, qint64) { return !(phase == ComparePhase::Matching && done == 5); };
    CompareResult r = Run(Lines(20), Lines(20, 0, 0, 10), {}, hooks);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.listing, QString());

    // Cancelled while listing: the list so far, no summary.
    hooks.step = [](ComparePhase phase, qint64 done, qint64) { return !(phase == ComparePhase::Listing && done == 12); };
    r = Run(Lines(20), Lines(20, 0, 0, 10), {}, hooks);
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.Same());
    EXPECT_EQ(r.listing, CtxRange(6, 10) + Blank() + u' ' + Sep(kAdd) + CRLF + QString(79, u' ') + Row(11, "NEW") +
                             CRLF + Blank() + u' ' + Sep(kPlain) + CRLF);

    // One block of every line is handed on in pieces and can be cancelled inside.
    QByteArray oldBytes, newBytes;
    for (int n = 1; n <= 3000; ++n) {
        oldBytes += "old " + QByteArray::number(n) + "\r\n";
        newBytes += "new " + QByteArray::number(n) + "\r\n";
    }
    int pieces = 0;
    hooks.append = [&pieces](const QString&) { ++pieces; };
    int atEnd = 0;  // the step of the last new line, then the steps inside the final block
    hooks.step = [&atEnd](ComparePhase phase, qint64 done, qint64 total) {
        return !(phase == ComparePhase::Listing && done == total && ++atEnd == 2);
    };
    r = Run(oldBytes, newBytes, {}, hooks);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(pieces, 1);  // the first 1,024 rows
    hooks.step = {};
    pieces = 0;
    r = Run(oldBytes, newBytes, {}, hooks);
    EXPECT_EQ(r.changed, 3000);
    EXPECT_GT(pieces, 2);

    // A file that cannot be read is a failure of the reading phase.
    r = CompareFiles(dir.filePath("none.txt"), Write("new.txt", "a\r\n"), {});
    ASSERT_TRUE(r.failure.has_value());
    EXPECT_EQ(r.failure->phase, ComparePhase::Reading);
    EXPECT_EQ(r.failure->error.Number(), Err::FileNotFound);
    EXPECT_FALSE(CompareSourceExists(dir.path()));
}

// The pairing as the steps read, with the whole match table scanned and cleared.
std::vector<LineNumber> PlainPairing(const std::vector<QByteArray>& oldLines, const std::vector<QByteArray>& newLines)
{
    const LineNumber nOld = LineNumber(oldLines.size()), nNew = LineNumber(newLines.size());
    std::vector<LineNumber> match(size_t(nNew) + 1, 0);
    auto clearAfter = [&](LineNumber j) {
        for (LineNumber k = j + 1; k <= nNew; ++k)
            match[size_t(k)] = 0;
    };
    LineNumber p = 1, w0 = 1;
    for (LineNumber i = 1; i <= nOld; ++i) {
        const QByteArray& text = oldLines[size_t(i - 1)];
        bool paired = false;
        for (LineNumber j = p; j <= nNew; ++j) {
            if (match[size_t(j)] == 0 && newLines[size_t(j - 1)].size() == text.size() &&
                newLines[size_t(j - 1)] == text) {
                match[size_t(j)] = i;
                if (match[size_t(j - 1)] != 0)
                    p = j + 1;
                else
                    p = p + 1;
                clearAfter(j);
                paired = true;
                break;
            }
        }
        if (!paired && FromSjis(text).size() > 2) {
            if (p - w0 > 240)
                w0 = p - 240;
            for (LineNumber j = w0; j <= p - 1; ++j) {
                if (newLines[size_t(j - 1)] == text) {
                    if (match[size_t(j)] != 0)
                        break;
                    match[size_t(j)] = i;
                    p = j + 1;
                    clearAfter(j);
                    break;
                }
            }
        }
    }
    return match;
}

TEST(PairLinesTest, EqualsThePlainStepsOnRandomInputs)
{
    const std::vector<QByteArray> vocabulary = {"\r\n", "a\r\n", "bb\r\n", "\r\n", "c", "dd\r\n", "eee\r\n", "f\r\n"};
    QRandomGenerator gen(15);
    for (int round = 0; round < 3000; ++round) {
        // 3–6 distinct lines, empty ones among them; a few long rounds reach past the
        // 240-line look-back window.
        const int distinct = 3 + int(gen.bounded(4));
        const int maxLength = round % 100 == 0 ? 700 : 14;
        auto make = [&] {
            std::vector<QByteArray> lines(gen.bounded(maxLength + 1));
            for (QByteArray& l : lines)
                l = vocabulary[gen.bounded(distinct)];
            return lines;
        };
        const std::vector<QByteArray> oldLines = make(), newLines = make();
        std::vector<bool> searchBack;
        // Weak keys make unequal lines share a key, so that only the bytes decide.
        std::vector<uint64_t> oldKeys, newKeys, oldWeak, newWeak;
        for (const QByteArray& l : oldLines) {
            oldKeys.push_back(qHash(l));
            oldWeak.push_back(uint64_t(l.size() % 2));
            searchBack.push_back(FromSjis(l).size() > 2);
        }
        for (const QByteArray& l : newLines) {
            newKeys.push_back(qHash(l));
            newWeak.push_back(uint64_t(l.size() % 2));
        }
        auto equal = [&](LineNumber i, LineNumber j) { return oldLines[size_t(i - 1)] == newLines[size_t(j - 1)]; };
        const std::vector<LineNumber> expected = PlainPairing(oldLines, newLines);
        ASSERT_EQ(PairLines(oldKeys, newKeys, searchBack, equal), expected) << "round " << round;
        ASSERT_EQ(PairLines(oldWeak, newWeak, searchBack, equal), expected) << "round " << round;
    }
}

TEST(PairLinesTest, Breaks)
{
    EXPECT_EQ(PairingBreaks({0, 1, 2, 3}), QString());
    EXPECT_EQ(PairingBreaks({0, 1, 0, 2, 3}), QStringLiteral(" 0 2 3"));
    std::vector<LineNumber> many(1000, 0);
    EXPECT_EQ(PairingBreaks(many).size(), 402 * 2);
}

}  // namespace
