#include "core/SequentialLineReader.h"

#include "core/CodePage.h"
#include "core/FileFacade.h"
#include "core/RuntimeError.h"

#include <QFile>

#include <cstring>

namespace kolbran {

namespace {
constexpr qsizetype kReadAhead = 1 << 20;
}

qsizetype SequentialLineLength(QByteArrayView block, bool utf16, bool evenStart, bool fileEnds)
{
    const auto* b = reinterpret_cast<const unsigned char*>(block.data());
    const qsizetype n = block.size();
    if (!utf16) {
        const unsigned char* p = b;
        while (p < b + n) {
            p = static_cast<const unsigned char*>(std::memchr(p, '\r', size_t(b + n - p)));
            if (!p)
                break;
            if (p + 1 < b + n && p[1] == '\n')
                return p - b + 2;
            ++p;
        }
        if (!fileEnds && n > 1 && b[n - 1] == '\r')
            return n - 1;
        return n;
    }
    static constexpr unsigned char kEnd[4] = {0x0D, 0x00, 0x0A, 0x00};
    for (qsizetype i = evenStart ? 0 : 1; i + 3 < n; i += 2)
        if (b[i] == 0x0D && b[i + 1] == 0 && b[i + 2] == 0x0A && b[i + 3] == 0)
            return i + 4;
    if (!fileEnds) {
        // A line end cut by the block's end is left for the next line.
        for (qsizetype i = evenStart ? 0 : 1; i < n; i += 2) {
            if (i + 3 < n)
                continue;
            if (i > 0 && std::memcmp(b + i, kEnd, size_t(n - i)) == 0)
                return i;
        }
    }
    return n;
}

SequentialLineReader::SequentialLineReader(const QString& path)
{
    file_ = OpenFile(path, QIODevice::ReadOnly);
    size_ = file_->size();
    buffer_.resize(kReadAhead);
    Fill();
    utf16_ = end_ - begin_ >= 2 && uchar(buffer_[0]) == 0xFF && uchar(buffer_[1]) == 0xFE;
}

SequentialLineReader::~SequentialLineReader() = default;

void SequentialLineReader::Fill()
{
    if (eof_)
        return;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.constData() + begin_, size_t(end_ - begin_));
        end_ -= begin_;
        begin_ = 0;
    }
    while (end_ < buffer_.size()) {
        const qint64 got = file_->read(buffer_.data() + end_, buffer_.size() - end_);
        if (got < 0)
            ThrowFileError(*file_);
        if (got == 0) {
            eof_ = true;
            break;
        }
        end_ += got;
    }
}

QByteArrayView SequentialLineReader::NextBytes()
{
    if (end_ - begin_ < kBlockSize)
        Fill();
    const qsizetype available = end_ - begin_;
    if (available == 0)
        return {};
    const qsizetype block = std::min(available, kBlockSize);
    const bool fileEnds = eof_ && block == available;
    const QByteArrayView view(buffer_.constData() + begin_, block);
    const qsizetype length = SequentialLineLength(view, utf16_, consumed_ % 2 == 0, fileEnds);
    begin_ += length;
    consumed_ += length;
    return view.first(length);
}

std::optional<QString> SequentialLineReader::Next()
{
    const QByteArrayView bytes = NextBytes();
    if (bytes.isEmpty())
        return std::nullopt;
    return utf16_ ? FromUtf16Le(bytes) : FromSjis(bytes);
}

}  // namespace kolbran
