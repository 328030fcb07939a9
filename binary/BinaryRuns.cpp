#include "binary/BinaryRuns.h"

#include "binary/BinaryFormats.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/EventLoop.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"
#include "core/SequentialLineReader.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace kolbran {

namespace {

// Output is collected and written in large blocks; only the bytes matter.
constexpr qsizetype kWriteBlock = 1 << 20;
// Sources are read ahead in large blocks and cut into their records.
constexpr qsizetype kReadBlock = 1 << 20;

// Written beside the target; the target takes the new content only at Close, so an
// earlier file of that name survives a failed run.
class OutputFile {
public:
    explicit OutputFile(const QString& path) : file_(std::make_unique<QSaveFile>(FromNativeSeparators(path)))
    {
        if (!file_->open(QIODevice::WriteOnly))
            ThrowFileError(*file_, Err::PathNotFound);
        buffer_.reserve(kWriteBlock + 64 * 1024);
    }
    QByteArray& Buffer() { return buffer_; }
    void MaybeFlush()
    {
        if (buffer_.size() >= kWriteBlock)
            Flush();
    }
    void Flush()
    {
        if (buffer_.isEmpty())
            return;
        errno = 0;
        if (file_->write(buffer_) != buffer_.size())
            ThrowFileError(*file_, Err::DiskFull);
        buffer_.clear();
    }
    void Close()
    {
        Flush();
        errno = 0;
        if (!file_->commit())
            ThrowFileError(*file_, Err::DiskFull);
    }

private:
    std::unique_ptr<QSaveFile> file_;
    QByteArray buffer_;
};

// Sequential records of a fixed size from a file opened for shared reading.
class RecordReader {
public:
    RecordReader(const QString& path, qsizetype recordSize)
        : file_(OpenFile(path, QIODevice::ReadOnly)), recordSize_(recordSize)
    {
        size_ = file_->size();
        buffer_.resize(std::max(kReadBlock / recordSize, qsizetype(1)) * recordSize);
    }
    int64_t Size() const { return size_; }
    int64_t RecordCount() const { return size_ <= 0 ? 0 : (size_ + recordSize_ - 1) / recordSize_; }
    // The next record; empty at the end.
    QByteArrayView Next()
    {
        if (pos_ >= end_) {
            pos_ = 0;
            end_ = 0;
            while (end_ < buffer_.size()) {
                const qint64 got = file_->read(buffer_.data() + end_, buffer_.size() - end_);
                if (got < 0)
                    ThrowFileError(*file_);
                if (got == 0)
                    break;
                end_ += got;
            }
            if (end_ == 0)
                return {};
        }
        const qsizetype n = std::min(recordSize_, end_ - pos_);
        const QByteArrayView record(buffer_.constData() + pos_, n);
        pos_ += n;
        return record;
    }

private:
    std::unique_ptr<QFile> file_;
    qsizetype recordSize_;
    int64_t size_ = 0;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    qsizetype end_ = 0;
};

// Report, yield and tell whether the run goes on.
bool ProgressStep(AppState& state, const ProgressFn& progress, int64_t done, int64_t total)
{
    if (progress)
        progress(done, total);
    YieldToEventLoop();
    return state.BusyFlag;
}

bool IsAscii(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    uint64_t acc = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, p + i, 8);
        acc |= w;
    }
    for (; i < n; ++i)
        acc |= p[i];
    return (acc & 0x8080808080808080ULL) == 0;
}

}  // namespace

QString RestoreErrorMessage(int errorNumber, bool documentClosed)
{
    const QString head = documentClosed
                             ? QStringLiteral(u"復元途中でキャンセルされました。(")
                             : QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙではないようです。確認してください。(");
    return head + StrNumber(errorNumber) + QStringLiteral(" )");
}

QString EncodeErrorMessage(int errorNumber)
{
    return QStringLiteral(u"ｴﾝｺｰﾄﾞﾌｧｲﾙではないようです。確認してください。(") +
           StrNumber(errorNumber) + QStringLiteral(" )");
}

QString ProcessingText(double ratio)
{
    return QStringLiteral(u"処理中 ") + FormatPercent(ratio);
}

int64_t DumpProgressInterval(int64_t recordCount)
{
    return std::max<int64_t>(31, IntFloor(double(recordCount) / 700.0));
}

int64_t BinaryDisplayProgressInterval(int64_t recordCount)
{
    return std::max<int64_t>(32, IntFloor(double(recordCount) / 700.0));
}

int64_t ExtendedProgressInterval(int64_t recordCount, int minimum)
{
    return std::max<int64_t>(minimum, IntFloor(double(recordCount) / 700.0));
}

int64_t RestoreProgressInterval(int64_t fileSize)
{
    return std::max<int64_t>(32, IntFloor(double(fileSize) / 39000.0));
}

OutputDialogTexts OutputDialog(OutputKind kind, OutputCaller caller)
{
    const bool dialog = caller == OutputCaller::ConversionDialog;
    switch (kind) {
    case OutputKind::Dump:
        return {QStringLiteral(".DMP"), QStringLiteral(u"バイナリ表示をファイルに保存"),
                QStringLiteral(u"ﾀﾞﾝﾌﾟ(*.DMP)|*.DMP|全てのﾌｧｲﾙ(*.*)|*.*"), 1};
    case OutputKind::BinaryDisplay:
        return {QStringLiteral(".B"),
                dialog ? QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙを作成します。")
                       : QStringLiteral(u"バイナリ表示ファイルの生成"),
                QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙ(*.B)|*.B|全てのﾌｧｲﾙ(*.*)|*.*"), dialog ? 2 : 1};
    case OutputKind::Extended:
        return {QStringLiteral(".K"), QStringLiteral(u"拡張バイナリ表示ファイルの生成"),
                QStringLiteral(u"拡張ﾊﾞｲﾅﾘ表示ﾌｧｲﾙ(*.K)|*.K|全てのﾌｧｲﾙ(*.*)|*.*"), dialog ? 2 : 1};
    case OutputKind::Restore:
        break;
    }
    return {QStringLiteral(".XXX"), QStringLiteral(u"ﾊﾞｲﾅﾘﾌｧｲﾙの復元"),
            QStringLiteral(u"実行ﾌｧｲﾙ(*.EXE)|*.EXE|圧縮ﾌｧｲﾙ(*.LZH)|*.LZH|全てのﾌｧｲﾙ(*.*)|*.*"), 3};
}

bool AcceptOutputPath(AppState& state, const QString& source, const QString& target,
                      MsgIcon sameNameIcon)
{
    if (SamePath(source, target)) {
        state.prompter.Message(kSameNameMessage, sameNameIcon);
        return false;
    }
    return CheckSaveTarget(state, target) == SaveTarget::Allowed;
}

QString ChooseOutputPath(AppState& state, const QString& source, OutputKind kind,
                         OutputCaller caller)
{
    const OutputDialogTexts texts = OutputDialog(kind, caller);
    const QString defaultName = DefaultOutputName(source, texts.extension);
    FileDialogRequest request;
    request.title = texts.title;
    request.filter = texts.filter;
    request.filterIndex = texts.filterIndex;
    request.initialName = FileNamePart(defaultName);
    request.initialFolder = FolderPart(defaultName);
    const QString folder = QDir::currentPath();
    QString chosen;
    try {
        chosen = state.prompter.SaveFileName(request);
    } catch (const RuntimeError& e) {
        QDir::setCurrent(folder);
        if (e.Number() == Err::DialogCancelled)
            return {};
        throw;
    }
    // The main window keeps the current folder on the document's folder.
    QDir::setCurrent(folder);
    if (chosen.isEmpty())
        return {};
    const MsgIcon icon = caller == OutputCaller::BinaryView ? MsgIcon::Critical : MsgIcon::Warning;
    return AcceptOutputPath(state, source, chosen, icon) ? chosen : QString();
}

QByteArray ReadDumpRecord(const QString& path, int64_t recordNumber)
{
    std::unique_ptr<QFile> file = OpenFile(path, QIODevice::ReadOnly);
    if (!file->seek(int64_t(kDumpRecordSize) * (recordNumber - 1)))
        ThrowFileError(*file, Err::BadRecordNumber);
    QByteArray record = file->read(kDumpRecordSize);
    if (file->error() != QFileDevice::NoError)
        ThrowFileError(*file);
    return record;
}

QString DumpPageTextOfFile(const QString& path, int64_t fileSize, int64_t page,
                           const DumpLayout& layout)
{
    const RecordRange range = DumpPageRecords(page, fileSize, layout);
    const int64_t last = DumpRecordCount(fileSize);
    QString text;
    for (int64_t r = range.first; r <= range.last; ++r)
        text += DumpRecordText(ReadDumpRecord(path, r), r, r == last, layout);
    return text;
}

int64_t WriteDumpFile(AppState& state, const QString& source, const QString& target,
                      const DumpLayout& layout, int64_t interval, const ProgressFn& progress)
{
    RecordReader reader(source, kDumpRecordSize);
    OutputFile out(target);
    const int64_t records = reader.RecordCount();
    const int per = layout.RecordsPerPage();
    int64_t written = 0;  // records written so far
    int64_t done = 0;
    // Page i for i = 1..R; pages beyond the last write nothing.
    for (int64_t i = 1; i <= records; ++i) {
        for (int k = 0; k < per && written < records; ++k) {
            const QByteArrayView record = reader.Next();
            ++written;
            AppendDumpRecordBytes(out.Buffer(), record, written, written == records, layout);
        }
        out.MaybeFlush();
        done = i;
        if (i % interval == 0 && !ProgressStep(state, progress, i, records))
            break;
    }
    out.Close();
    return done;
}

int64_t WriteBinaryDisplayFile(AppState& state, const QString& source, const QString& target,
                               const ProgressFn& progress)
{
    RecordReader reader(source, kBinaryDisplayRecordSize);
    OutputFile out(target);
    const int64_t records = reader.RecordCount();
    const int64_t interval = BinaryDisplayProgressInterval(records);
    int64_t done = 0;
    for (int64_t i = 1; i <= records; ++i) {
        AppendBinaryDisplayRecord(out.Buffer(), reader.Next());
        out.MaybeFlush();
        done = i;
        if (i % interval == 0 && !ProgressStep(state, progress, i, records))
            break;
    }
    out.Close();
    return done;
}

int64_t WriteExtendedFile(AppState& state, const QString& source, const QString& target,
                          int lineLength, int minimumInterval, const ProgressFn& progress)
{
    RecordReader reader(source, kExtendedRecordSize);
    OutputFile out(target);
    const int64_t records = reader.RecordCount();
    const int64_t interval = ExtendedProgressInterval(records, minimumInterval);
    ExtendedWriter writer(lineLength);
    int64_t done = 0;
    for (int64_t i = 1; i <= records; ++i) {
        writer.Append(reader.Next(), out.Buffer());
        out.MaybeFlush();
        done = i;
        if (i % interval == 0 && !ProgressStep(state, progress, i, records))
            break;
    }
    writer.Finish(out.Buffer());
    out.Close();
    return done;
}

int64_t RestoreFromFile(AppState& state, const QString& source, const QString& target,
                        bool extended, const ProgressFn& progress)
{
    SequentialLineReader reader(source);
    OutputFile out(target);
    const int64_t size = reader.FileSize();
    const int64_t interval = RestoreProgressInterval(size);
    int64_t lines = 0;
    for (QByteArrayView bytes = reader.NextBytes(); !bytes.isEmpty(); bytes = reader.NextBytes()) {
        if (!reader.IsUtf16() && IsAscii(bytes)) {
            RestoreAsciiLine(bytes, extended, out.Buffer());
        } else {
            QString line = reader.IsUtf16() ? FromUtf16Le(bytes) : FromSjis(bytes);
            // The byte-order mark heads the first line of a UTF-16 file; it is not content.
            if (lines == 0 && reader.IsUtf16() && line.startsWith(QChar(0xFEFF)))
                line.remove(0, 1);
            RestoreLine(line, extended, out.Buffer());
        }
        out.MaybeFlush();
        ++lines;
        if (lines % interval == 0 && !ProgressStep(state, progress, reader.BytesRead(), size))
            break;
    }
    out.Close();
    return lines;
}

int64_t RestoreFromLines(AppState& state, LineNumber lineCount, int64_t fileSize,
                         const LineFetch& fetchLine, const QString& target,
                         const ProgressFn& progress)
{
    OutputFile out(target);
    const int64_t interval = RestoreProgressInterval(fileSize);
    LineNumber line = 1;
    for (; line <= lineCount; ++line) {
        RestoreLine(fetchLine(line), true, out.Buffer());
        out.MaybeFlush();
        if (line % interval == 0) {
            if (progress)
                progress(line, lineCount);
            YieldToEventLoop();
            // The document was closed meanwhile.
            if (state.doc.LineCount == 0)
                throw RuntimeError(Err::BadFileNameOrNumber);
        }
    }
    out.Close();
    return line - 1;
}

}  // namespace kolbran
