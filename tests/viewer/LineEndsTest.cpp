// The fast line-end search against the byte-by-byte rules it stands in for.
#include "viewer/LoaderFixture.h"

#include "common/ReferenceLineScan.h"

#include "viewer/LineEnds.h"

#include <random>

using namespace kolbran;
using namespace kolbran::test;

namespace {

std::vector<uint32_t> ReferencePairs(const QByteArray& bytes)
{
    std::vector<uint32_t> pairs;
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == '\r' && bytes[i + 1] == '\n')
            pairs.push_back(uint32_t(i));
    return pairs;
}

// Text of short and long lines with lone CRs and LFs, lead bytes and CRs at chunk ends.
QByteArray MixedText(qsizetype size, unsigned seed)
{
    std::mt19937 random(seed);
    const QByteArray alphabet("ab\x82\xa0\xe0\x40\xb1 \r\n");
    QByteArray text;
    text.reserve(size + 20000);
    while (text.size() < size) {
        const unsigned kind = random() % 100;
        qsizetype length = kind < 90   ? random() % 200
                           : kind < 97 ? 4090 + random() % 10
                                       : 4096 + random() % 9000;
        for (qsizetype k = 0; k < length; ++k)
            text.append(random() % 8 == 0 ? alphabet[random() % alphabet.size()]
                                          : char('c' + random() % 20));
        if (kind % 7 != 0)
            text.append("\r\n");
    }
    return text;
}

TEST(FindCrLfPairs, AgreesWithAByteByByteSearch)
{
    std::mt19937 random(7);
    std::vector<uint32_t> out;
    for (int length = 0; length < 400; ++length) {
        // Dense in CR and LF, so that pairs fall on and across every 64-byte boundary.
        QByteArray bytes(length, 'x');
        for (char& b : bytes)
            b = "\r\n\rx"[random() % 4];
        out.assign(size_t(length / 2 + 1), 0);
        const int64_t n =
            FindCrLfPairs(reinterpret_cast<const uint8_t*>(bytes.constData()), length, out.data());
        out.resize(size_t(n));
        EXPECT_EQ(out, ReferencePairs(bytes)) << "length " << length;
    }
}

TEST(FindCrLfPairs, WholeBlockOfPairsFitsTheRoomGiven)
{
    const QByteArray bytes = QByteArray("\r\n").repeated(1000);
    std::vector<uint32_t> out(size_t(bytes.size() / 2 + 1));
    EXPECT_EQ(FindCrLfPairs(reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size(),
                            out.data()),
              1000);
    EXPECT_EQ(out[999], 1998u);
}

TEST_F(LoaderFixture, LargeMixedFileIndexesAsTheChunkRulesSay)
{
    // Larger than two of the search's blocks, with a CR LF across the first block's end.
    QByteArray bytes = MixedText(2 * CrLfPairs::kBlock + 100'000, 11);
    bytes[qsizetype(CrLfPairs::kBlock - 1)] = '\r';
    bytes[qsizetype(CrLfPairs::kBlock)] = '\n';
    bytes[qsizetype(2 * CrLfPairs::kBlock)] = '\r';
    const std::vector<FileOffset> expected = ReferenceLineStarts(bytes);
    ASSERT_GT(expected.size(), 10'000u);
    EXPECT_EQ(Index(bytes), expected);
}

TEST_F(LoaderFixture, TextBetweenBinaryDataIndexesAsTheChunkRulesSay)
{
    // Random bytes: lines cut at chunk ends, with a CR LF now and then.
    std::mt19937 random(13);
    QByteArray binary(3'000'000, 0);
    for (char& b : binary)
        b = char(random() & 0xFF);
    // Short lines after it, empty ones among them: the fast search takes over again.
    QByteArray lines;
    while (lines.size() < 200'000)
        lines += QByteArray(qsizetype(random() % 8), 'z') + "\r\n";
    const QByteArray bytes = MixedText(1'000'000, 14) + binary + lines + MixedText(1'000'000, 15);
    EXPECT_EQ(Index(bytes), ReferenceLineStarts(bytes));
}

TEST_F(LoaderFixture, ReindexingALargeFileFromLineKFindsTheSameLines)
{
    const QByteArray bytes = MixedText(CrLfPairs::kBlock + 50'000, 12);
    const std::vector<FileOffset> expected = ReferenceLineStarts(bytes);
    const QString path = Write(QStringLiteral("doc.txt"), bytes);
    PrOpen(state, host, path);
    const LineNumber k = LineNumber(expected.size() / 2);
    PrOpen2(state, host, path, k);
    EXPECT_EQ(Entries(), expected);
}

TEST_F(LoaderFixture, FileCutShortDuringTheScanEndsItWithoutHarm)
{
    const QString path = Write(QStringLiteral("doc.txt"), Repeat("0123456789\r\n", 2'000'000));
    bool cut = false;
    host.onPanel = [&](int panel, const QString&) {
        if (panel == 4 && !cut) {
            cut = true;
            QFile(path).resize(100'000);
        }
    };
    PrOpen(state, host, path);
    EXPECT_TRUE(cut);
    EXPECT_TRUE(state.doc.HasFile());
    EXPECT_GT(state.doc.LineCount, 0);
    EXPECT_LT(state.doc.LineCount, 2'000'000);
    // Lines past the new end read as nothing.
    ReadLine(state, state.doc.LineCount);
    EXPECT_TRUE(state.doc.LineBuffer.isEmpty());
}

}  // namespace
