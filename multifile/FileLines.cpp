#include "multifile/FileLines.h"

#include "core/CodePage.h"
#include "core/FileFacade.h"
#include "core/RuntimeError.h"
#include "viewer/Transforms.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace kolbran {

namespace {

constexpr qsizetype kBlock = 1 << 20;

// Where a piece of at most `limit` bytes of a Shift_JIS line may end without cutting a
// double-byte character.
qsizetype SjisPieceEnd(const char* data, qsizetype limit)
{
    qsizetype p = 0;
    while (p < limit) {
        const qsizetype step = IsSjisLeadByte(uchar(data[p])) ? 2 : 1;
        if (p + step > limit)
            break;
        p += step;
    }
    return p > 0 ? p : limit;
}

}  // namespace

FileLines::FileLines(const QString& path)
{
    if (IsFolder(path))
        throw RuntimeError(Err::PathFileAccess);
    file_ = OpenFile(path, QIODevice::ReadOnly);
    size_ = file_->size();
    char mark[2];
    if (size_ >= 2 && file_->read(mark, 2) == 2 && uchar(mark[0]) == 0xFF && uchar(mark[1]) == 0xFE) {
        utf16_ = true;
        consumed_ = 2;
    } else {
        file_->seek(0);
    }
}

FileLines::~FileLines() = default;

bool FileLines::Fill()
{
    if (eof_)
        return false;
    if (begin_ > 0) {
        buffer_.remove(0, begin_);
        begin_ = 0;
    }
    const qsizetype old = buffer_.size();
    buffer_.resize(old + kBlock);
    const qint64 got = file_->read(buffer_.data() + old, kBlock);
    if (got < 0)
        throw RuntimeError(Err::DeviceIo);
    buffer_.resize(old + got);
    if (got == 0)
        eof_ = true;
    return got > 0;
}

bool FileLines::Next(QByteArrayView* line)
{
    qsizetype searchFrom = begin_;
    for (;;) {
        const char* data = buffer_.constData();
        const qsizetype end = buffer_.size();
        if (!utf16_) {
            qsizetype at = searchFrom;
            while (at < end) {
                const void* lf = std::memchr(data + at, '\n', size_t(end - at));
                if (lf == nullptr)
                    break;
                const qsizetype p = static_cast<const char*>(lf) - data;
                if (p > begin_ && data[p - 1] == '\r') {
                    *line = QByteArrayView(data + begin_, p + 1 - begin_);
                    consumed_ += p + 1 - begin_;
                    begin_ = p + 1;
                    ++line_;
                    return true;
                }
                at = p + 1;
            }
            searchFrom = std::max(begin_, end - 1);  // a CR at the end may pair with the next LF
        } else {
            qsizetype p = searchFrom;
            for (; p + 3 < end; p += 2)
                if (data[p] == '\r' && data[p + 1] == 0 && data[p + 2] == '\n' && data[p + 3] == 0) {
                    *line = QByteArrayView(data + begin_, p + 4 - begin_);
                    consumed_ += p + 4 - begin_;
                    begin_ = p + 4;
                    ++line_;
                    return true;
                }
            searchFrom = p;
        }
        if (end - begin_ >= kMaxLinePiece) {
            // A line this long (a binary file without line ends) is taken in pieces, so that
            // memory stays bounded.
            const qsizetype piece = utf16_ ? kMaxLinePiece : SjisPieceEnd(data + begin_, kMaxLinePiece);
            *line = QByteArrayView(data + begin_, piece);
            consumed_ += piece;
            begin_ += piece;
            ++line_;
            return true;
        }
        const qsizetype kept = searchFrom - begin_;
        if (!Fill()) {
            if (begin_ >= buffer_.size())
                return false;
            *line = QByteArrayView(buffer_.constData() + begin_, buffer_.size() - begin_);
            consumed_ += line->size();
            begin_ = buffer_.size();
            ++line_;
            return true;
        }
        searchFrom = begin_ + kept;
    }
}

qsizetype LineEndStart(QByteArrayView line, bool utf16)
{
    const qsizetype n = line.size();
    if (utf16) {
        if (n >= 4 && line[n - 4] == '\r' && line[n - 3] == 0 && line[n - 2] == '\n' && line[n - 1] == 0)
            return n - 4;
        return n;
    }
    if (n >= 2 && line[n - 2] == '\r' && line[n - 1] == '\n')
        return n - 2;
    return n;
}

QString FileLineText(QByteArrayView line, bool utf16, int displayCode)
{
    if (utf16)
        return FromUtf16Le(line);
    if (displayCode == 0)
        return FromSjis(line);
    const qsizetype content = LineEndStart(line, false);
    QString text = FromSjis(ConvertLineContent(displayCode, line.first(content)));
    if (content < line.size())
        text += QStringLiteral("\r\n");
    return text;
}

}  // namespace kolbran
