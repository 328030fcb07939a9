#pragma once

#include "core/Settings.h"
#include "multifile/FileRewrite.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

namespace kolbran {

struct AppState;

// The delete-line rules as KOLBRAN.DAT holds them now (read again for every file, so that a
// rule registered meanwhile counts), ready for a run.
QList<DeleteRule> CurrentDeleteRules(const AppState& state);

// The per-file question: "「" + name + "」を変換します！" + CR LF + "(削除行実行)".
QString DeleteLinesQuestion(const AppState& state, const QString& name);

enum class DeleteOutcome {
    Rewritten,  // the file without its deleted lines (rewritten even when none was deleted)
    Cancelled,  // stopped inside the file: the file as it was
    Refused,    // read-only or hidden: not rewritten (`reason` says why)
};

// Bytes of the file done and its size; returning false cancels the file.
using DeleteStep = std::function<bool(int64_t done, int64_t total)>;

// Drops from one file every line a rule's key begins, with the count − 1 lines after it
// (those are not tested), and puts the rest in its place in the file's own encoding; other
// bytes stay as read. Throws RuntimeError on a read or write failure (the file unchanged).
DeleteOutcome DeleteLinesInFile(AppState& state, const QString& path, const QList<DeleteRule>& rules,
                                const DeleteStep& step, QString* reason = nullptr);

}  // namespace kolbran
