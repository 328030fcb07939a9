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
    FileOffset FileLength = 0;
    QDateTime FileTimestamp;
    LineNumber LineCount = 0;
    int64_t TopLine = 0;           // first line shown; the running position while indexing
    bool IsUtf16 = false;
    bool LineInputMode = false;
    int DisplayCode = 0;
    int StatusInterval = 99;
    QString LineBuffer;            // the last line read by ReadLine
    int32_t LineLength = 0;        // its length in characters, line end included

    bool HasFile() const { return File != nullptr && File->isOpen(); }
};

}  // namespace kolbran
