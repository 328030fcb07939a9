// The file compare: any two files (the input cut in two, either of them UTF-16) are read,
// paired and listed without a crash. A file compared with itself is the same; two files
// reported the same have the same lines; the counts are those of the line tables.
#include "fuzz/Harness.h"

#include "compare/Compare.h"

#include <QFile>

using namespace kolbran;

namespace {

QList<QByteArray> Lines(const QString& path, const CompareLineTable& table)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fuzz::Fail("compare input not readable");
    const QByteArray bytes = f.readAll();
    QList<QByteArray> lines;
    for (LineNumber n = 1; n <= table.Count(); ++n)
        lines.append(bytes.mid(qsizetype(table.starts[size_t(n - 1)]),
                               qsizetype(table.starts[size_t(n)] - table.starts[size_t(n - 1)])));
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    // Byte 0: which files are UTF-16 and the options; bytes 1-2: where the input is cut.
    const uint8_t flags = data[0];
    const size_t rest = size - 3;
    const size_t cut = rest == 0 ? 0 : ((size_t(data[1]) << 8 | data[2]) % (rest + 1));
    const char* body = reinterpret_cast<const char*>(data + 3);
    QByteArray oldBytes(body, qsizetype(cut));
    QByteArray newBytes(body + cut, qsizetype(rest - cut));
    if (flags & 1)
        oldBytes.prepend("\xFF\xFE", 2);
    if (flags & 2)
        newBytes.prepend("\xFF\xFE", 2);
    const QString oldPath = fuzz::WriteScratchFile(QStringLiteral("old.txt"), oldBytes.constData(), size_t(oldBytes.size()));
    const QString newPath = fuzz::WriteScratchFile(QStringLiteral("new.txt"), newBytes.constData(), size_t(newBytes.size()));

    CompareOptions options;
    options.width = kCompareWidthMin + (flags >> 2) % (kCompareWidthMax - kCompareWidthMin + 1);
    options.context = kCompareContextMin + (flags >> 4) % (kCompareContextMax - kCompareContextMin + 1);
    options.tabWidth = 1 + (flags >> 6) * 2;
    options.diagnostics = flags & 0x80;

    const CompareResult self = CompareFiles(oldPath, oldPath, options);
    fuzz::Check(!self.failure && self.Same(), "a file compared with itself differs");

    const CompareResult both = CompareFiles(oldPath, newPath, options);
    fuzz::Check(!both.failure, "the compare failed on readable files");
    const bool sameKind = oldBytes.startsWith("\xFF\xFE") == newBytes.startsWith("\xFF\xFE");
    const CompareKeyMode mode = sameKind ? CompareKeyMode::Bytes : CompareKeyMode::Text;
    const std::optional<CompareLineTable> oldTable = BuildCompareTable(oldPath, mode);
    const std::optional<CompareLineTable> newTable = BuildCompareTable(newPath, mode);
    fuzz::Check(oldTable && newTable, "no line table");
    fuzz::Check(both.oldCount == oldTable->Count() && both.newCount == newTable->Count(),
                "the counts are not those of the line tables");
    if (both.Same() && sameKind) {
        fuzz::Check(both.oldCount == both.newCount, "files of different lengths reported the same");
        fuzz::Check(Lines(oldPath, *oldTable) == Lines(newPath, *newTable), "different lines reported the same");
    }
    return 0;
}
