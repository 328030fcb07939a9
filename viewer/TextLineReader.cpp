#include "viewer/TextLineReader.h"

#include <QFile>

#include <cstring>

namespace kolbran {

namespace {
constexpr qsizetype kBlock = 64 * 1024;
}

bool TextLineReader::Covers(FileOffset pos)
{
    if (blockStart_ > 0 && pos >= blockStart_ && pos < blockStart_ + block_.size())
        return true;
    block_.clear();
    blockStart_ = pos;
    if (pos < 1 || !file_.seek(pos - 1))
        return false;
    block_ = file_.read(kBlock);
    return !block_.isEmpty();
}

bool TextLineReader::AtEnd() const
{
    return pos_ > file_.size();
}

bool TextLineReader::ReadLine(QByteArray* out, qsizetype keep)
{
    if (out)
        out->clear();
    auto append = [&](const char* data, qsizetype n) {
        if (out && out->size() < keep)
            out->append(data, std::min(n, keep - out->size()));
    };
    bool any = false;
    while (Covers(pos_)) {
        any = true;
        const char* p = block_.constData() + (pos_ - blockStart_);
        const qsizetype avail = qsizetype(blockStart_ + block_.size() - pos_);
        const void* cr = std::memchr(p, '\r', size_t(avail));
        if (!cr) {
            append(p, avail);
            pos_ += avail;
            continue;
        }
        const qsizetype k = static_cast<const char*>(cr) - p;
        append(p, k);
        pos_ += k;
        if (Covers(pos_ + 1) && block_[qsizetype(pos_ + 1 - blockStart_)] == '\n') {
            pos_ += 2;
            return true;
        }
        append("\r", 1);
        pos_ += 1;
    }
    return any;
}

}  // namespace kolbran
