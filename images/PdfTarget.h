#pragma once

#include <QPageSize>
#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <memory>

class QPdfWriter;

namespace kolbran {

// The page options of the printing subcommands: -o OUT.pdf, --paper-size NAME,
// --landscape, --margin MM (A4 portrait, 5 mm by default).
struct PdfPageOptions {
    QString output;
    QPageSize::PageSizeId paper = QPageSize::A4;
    bool landscape = false;
    double marginMm = 5;
};
// Takes the option at args[i] (and its value) when it is one of them: 1 taken, 0 not one
// of them, -1 a bad value (`error` says why).
int TakePdfOption(const QStringList& args, qsizetype& i, PdfPageOptions& options, QString& error);

// A PDF written to a temporary file beside its name and put in place by Commit; a target
// destroyed without Commit leaves the old file (or none).
class PdfTarget {
public:
    PdfTarget(const QString& path, const PdfPageOptions& options, int resolution = 1200);
    ~PdfTarget();
    // False when the file could not be created (Error() tells why).
    bool IsOpen() const { return writer_ != nullptr; }
    QPdfWriter& Writer() { return *writer_; }
    // Throws RuntimeError when the file cannot be put in place.
    void Commit();
    const QSaveFile& File() const { return file_; }

private:
    QSaveFile file_;
    std::unique_ptr<QPdfWriter> writer_;
};

}  // namespace kolbran
