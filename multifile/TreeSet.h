#pragma once

#include "core/RuntimeError.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace kolbran {

// The limits of the search's folder-tree walk.
struct TreeSetLimits {
    int startSubfolders = 101;  // subfolders directly below the start folder
    int subfolders = 4097;      // subfolders directly below any other folder
    qsizetype maxFiles = 65536;
};

struct TreeSetHooks {
    // Called before each subfolder of the start folder (`topLevel`) and every few hundred
    // entries, with the number of files so far; false cancels the walk.
    std::function<bool(qsizetype count, bool topLevel)> progress;
    // A folder that cannot be read is passed over and told here (its display name).
    std::function<void(const QString& displayName, const RuntimeError& error)> folderError;
};

struct TreeSet {
    QString startFolder;  // the folder with a trailing separator
    QStringList files;    // start folder + relative path
    bool capped = false;  // more files were there than maxFiles
    bool cancelled = false;
};

// The start folder of a walk: `folder` with "/" appended when it does not end with one.
QString TreeStartFolder(const QString& folder);

// Every regular file below `folder`: the files of a folder (in name order) before those of
// its subfolders, depth first. Hidden entries are included; folder links are not followed
// (a link to a regular file is a file), FIFOs, devices and sockets are left out. A folder
// with more subfolders than the limits allow throws RuntimeError 9.
TreeSet BuildTreeSet(const QString& folder, const TreeSetHooks& hooks = {}, const TreeSetLimits& limits = {});

// The warning when the walk stopped at the cap: "対象ﾌｧｲﾙ数 65535 以降は、処理できません。"
QString TreeCapWarning(qsizetype maxFiles = 65536);

// The name a result shows: the path below the start folder with native separators.
QString TreeDisplayName(const TreeSet& set, const QString& path);

}  // namespace kolbran
