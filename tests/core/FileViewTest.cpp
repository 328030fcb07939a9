// Mapped views of a file, and reads of a view whose file is cut short.
#include "core/FileView.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolbran;

namespace {

struct Sum {
    const uint8_t* data;
    int64_t length;
    int64_t total = 0;
};

void AddBytes(void* context)
{
    auto* s = static_cast<Sum*>(context);
    for (int64_t i = 0; i < s->length; ++i)
        s->total += s->data[i];
}

class FileViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.filePath(QStringLiteral("data.bin"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(QByteArray(1 << 20, '\x01')), 1 << 20);
        f.close();
        file.setFileName(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    }

    QTemporaryDir dir;
    QString path;
    QFile file;
};

TEST_F(FileViewTest, ShowsTheBytesOfTheRangeAtAnyOffset)
{
    const FileView view(file, 12'345, 1000);
    ASSERT_EQ(view.Length(), 1000);
    Sum sum{view.Data(), view.Length()};
    EXPECT_TRUE(ReadViewGuarded(view.Data(), view.Length(), AddBytes, &sum));
    EXPECT_EQ(sum.total, 1000);
    EXPECT_TRUE(FileView(file, 0, 0).IsEmpty());
    EXPECT_TRUE(FileView(file, -1, 10).IsEmpty());
}

TEST_F(FileViewTest, ReadingPastTheEndOfAFileCutShortIsCaught)
{
    const FileView view(file, 0, 1 << 20);
    ASSERT_FALSE(view.IsEmpty());
    ASSERT_TRUE(QFile(path).resize(4096));
    Sum sum{view.Data(), view.Length()};
#ifdef Q_OS_UNIX
    EXPECT_FALSE(ReadViewGuarded(view.Data(), view.Length(), AddBytes, &sum));
    // The guard is gone afterwards and a second guarded read works as before.
    Sum head{view.Data(), 4096};
    EXPECT_TRUE(ReadViewGuarded(view.Data(), 4096, AddBytes, &head));
    EXPECT_EQ(head.total, 4096);
    EXPECT_FALSE(ReadViewGuarded(view.Data(), view.Length(), AddBytes, &sum));
#endif
}

}  // namespace
