#pragma once

#include "core/LineIndex.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <memory>

namespace kolbran {

// The one document of the main window.
struct OpenDocument {
    QString DocumentName;          // empty when no document is open
    std::unique_ptr<QFile> File;   // open for shared reading while shown (FileNumber > 0)
    FileOffset FileLength = 0;     // 64-bit: files of 2 GiB and more
    QDateTime FileTimestamp;
    LineNumber LineCount = 0;
    int64_t TopLine = 0;           // first line shown; the running position while indexing
    bool IsUtf16 = false;          // the file begins with FF FE
    bool LineInputMode = false;    // indexed by the line-by-line reader
    int DisplayCode = 0;           // see core/JapaneseCodes.h
    int StatusInterval = 99;       // lines between progress updates while indexing
    QString LineBuffer;            // the last line read by ReadLine
    int32_t LineLength = 0;        // its length in characters, line end included
    // Counts the opens and re-indexings, so that a run reading the document sees that it was
    // rewritten or replaced (a new file handle may sit at the old one's address).
    quint64 OpenGeneration = 0;

    bool HasFile() const { return File != nullptr && File->isOpen(); }
    // The handle number as the program shows it: 0 when no file is open.
    int FileNumber() const { return HasFile() ? 1 : 0; }
};

}  // namespace kolbran
