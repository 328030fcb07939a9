#pragma once

#include "core/FileListing.h"

#include <QString>
#include <QStringList>

namespace kolbran {

// Which dialog a file set belongs to: the search and the print read files of every
// attribute; the conversion, the replacement and the line deletion rewrite files, so their
// lists leave read-only files out.
enum class FileSetUse { Search, Print, Convert, Replace, DeleteLines };

bool RewritesFiles(FileSetUse use);
// Normal, archive, hidden and system files; read-only ones too unless the dialog rewrites.
AttributeFilter FileSetFilter(FileSetUse use);
// The pattern list: "*.txt", "*.htm", "*.*" for the search, with "*.csv" and "*.c" before
// "*.*" in the other dialogs.
QStringList FileSetPatterns(FileSetUse use);
// "対象ﾌｧｲﾙ数:" and the count with its leading blank.
QString FileSetCountText(qsizetype count);

// The files a dialog's list of `folder` shows under `pattern` (name order).
QStringList FileSetNames(const QString& folder, const QString& pattern, FileSetUse use);

// The chosen names of a headless run: every listed file when `chosen` is empty, otherwise
// `chosen` in list order. A chosen name the list does not show goes to `unlisted`.
QStringList ChooseFromSet(const QStringList& listed, const QStringList& chosen, QStringList* unlisted);

}  // namespace kolbran
