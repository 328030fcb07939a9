#include "core/LineIndex.h"

#include "core/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QTime>
#include <QtEndian>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <new>

namespace kolbran {

namespace {
constexpr int64_t kRecordSize = 8;
constexpr size_t kPendingLimit = 8192;  // entries written in one go
constexpr int64_t kCachePage = 512;     // entries read in one go
}  // namespace

// The disk form: sequential stores are gathered and written in blocks, and reads go
// through a one-page cache, so that indexing and screen reads stay block-sized.
struct LineIndex::Disk {
    QFile file;
    std::vector<FileOffset> pending;
    int64_t pendingFirst = 0;
    mutable std::vector<FileOffset> cache;
    mutable int64_t cacheFirst = 0;

    void WritePending()
    {
        if (pending.empty())
            return;
        QByteArray bytes(qsizetype(pending.size() * kRecordSize), Qt::Uninitialized);
        for (size_t i = 0; i < pending.size(); ++i)
            qToLittleEndian<qint64>(pending[i], bytes.data() + i * kRecordSize);
        errno = 0;
        if (!file.seek((pendingFirst - 1) * kRecordSize) || file.write(bytes) != bytes.size() ||
            !file.flush())
            ThrowFileError(file, Err::DiskFull);
        pending.clear();
        cache.clear();
    }

    FileOffset Read(int64_t n) const
    {
        if (!pending.empty() && n >= pendingFirst && n < pendingFirst + int64_t(pending.size()))
            return pending[size_t(n - pendingFirst)];
        if (cache.empty() || n < cacheFirst || n >= cacheFirst + int64_t(cache.size())) {
            cache.clear();
            cacheFirst = n;
            QFile& f = const_cast<QFile&>(file);
            if (!f.seek((n - 1) * kRecordSize))
                return 0;
            const QByteArray bytes = f.read(kCachePage * kRecordSize);
            const qsizetype count = bytes.size() / kRecordSize;
            if (count == 0)
                return 0;
            cache.resize(size_t(count));
            for (qsizetype i = 0; i < count; ++i)
                cache[size_t(i)] = qFromLittleEndian<qint64>(bytes.constData() + i * kRecordSize);
        }
        return cache[size_t(n - cacheFirst)];
    }

    void Write(int64_t n, FileOffset position)
    {
        if (!cache.empty() && n >= cacheFirst && n < cacheFirst + int64_t(cache.size()))
            cache[size_t(n - cacheFirst)] = position;
        if (!pending.empty() && n >= pendingFirst && n < pendingFirst + int64_t(pending.size())) {
            pending[size_t(n - pendingFirst)] = position;
            return;
        }
        if (pending.empty() || n != pendingFirst + int64_t(pending.size()) ||
            pending.size() >= kPendingLimit) {
            WritePending();
            pendingFirst = n;
        }
        pending.push_back(position);
    }
};

namespace {

constexpr size_t kTableBytes = size_t(LineIndex::kMemoryCapacity + 1) * sizeof(FileOffset);

#ifdef Q_OS_LINUX
// The table in large pages where the system offers them: a few page faults instead of two
// thousand while a large file is indexed. Fresh anonymous memory reads as zeros.
constexpr size_t kLargePage = size_t(2) << 20;
constexpr size_t kMappedBytes = (kTableBytes + kLargePage - 1) / kLargePage * kLargePage;

FileOffset* AllocateTable()
{
    void* raw = mmap(nullptr, kMappedBytes + kLargePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    // Keep the aligned part only.
    const auto start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + kLargePage - 1) & ~(kLargePage - 1);
    if (aligned > start)
        munmap(raw, aligned - start);
    if (const uintptr_t tail = start + kMappedBytes + kLargePage - (aligned + kMappedBytes))
        munmap(reinterpret_cast<void*>(aligned + kMappedBytes), tail);
    madvise(reinterpret_cast<void*>(aligned), kMappedBytes, MADV_HUGEPAGE);
    return reinterpret_cast<FileOffset*>(aligned);
}
#else
FileOffset* AllocateTable()
{
    return static_cast<FileOffset*>(std::calloc(kTableBytes, 1));
}
#endif

}  // namespace

void LineIndex::FreeMemory::operator()(FileOffset* p) const
{
#ifdef Q_OS_LINUX
    munmap(p, kMappedBytes);
#else
    std::free(p);
#endif
}

LineIndex::LineIndex() : memory_(AllocateTable())
{
    if (!memory_)
        throw std::bad_alloc();
}

LineIndex::~LineIndex()
{
    try {
        UseMemoryForm();
    } catch (...) {
        // Shutting down: a file that cannot be removed is left behind.
    }
}

FileOffset LineIndex::GetOther(int64_t n) const
{
    if (n < 1 || !disk_)
        return 0;
    return disk_->Read(n);
}

void LineIndex::SetOther(int64_t n, FileOffset position)
{
    if (n >= 1 && disk_)
        disk_->Write(n, position);
}

void LineIndex::UseDiskForm(const QString& folder)
{
    if (disk_)
        return;
    auto disk = std::make_unique<Disk>();
    // Named by the seconds since midnight followed by "F"; a suffix keeps it unique when
    // another instance made the same name.
    const QString base =
        QString::number(QTime::currentTime().msecsSinceStartOfDay() / 1000) + QStringLiteral("F");
    const QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QString name = attempt == 0 ? base : base + u'-' + QString::number(attempt);
        disk->file.setFileName(dir.filePath(name));
        errno = 0;
        if (disk->file.open(QIODevice::ReadWrite | QIODevice::NewOnly)) {
            disk_ = std::move(disk);
            return;
        }
        if (disk->file.exists())
            continue;
        ThrowFileError(disk->file, Err::PathFileAccess);
    }
    throw RuntimeError(Err::FileAlreadyExists, dir.filePath(base));
}

void LineIndex::UseMemoryForm()
{
    if (!disk_)
        return;
    std::unique_ptr<Disk> disk = std::move(disk_);
    disk->pending.clear();
    disk->file.close();
    disk->file.remove();
}

QString LineIndex::DiskFilePath() const
{
    return disk_ ? disk_->file.fileName() : QString();
}

void LineIndex::Flush()
{
    if (disk_)
        disk_->WritePending();
}

}  // namespace kolbran
