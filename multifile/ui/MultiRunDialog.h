#pragma once

#include "multifile/FileSet.h"
#include "multifile/ui/MultiFileSession.h"

#include "core/ui/RunDialog.h"
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

class QCheckBox;
class QGridLayout;
class QLabel;
class QProgressBar;
class QPushButton;

namespace kolbran {

struct AppState;
class FileSetControls;

// What the multi-file conversion and line deletion share: the file-set controls, the
// per-file question box, 実行 and 閉じる, the current file's name, the " n / total" label and
// the bar, and the run over the selected files. Closing the dialog while a run goes on
// cancels it first (the file being rewritten stays as it was) and closes after the run.
class MultiRunDialog : public RunDialog {
    Q_OBJECT
public:
    ~MultiRunDialog() override;

    FileSetControls* Sets = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Label1 = nullptr;    // the current file
    QLabel* Label3 = nullptr;    // " n / total"
    QProgressBar* Picture1 = nullptr;

protected:
    MultiRunDialog(AppState& state, FileSetUse use, int patternIndex, const QString& caption,
                   const QString& checkCaption, QWidget* parent);

    // Where a dialog puts its own controls (right of the file set, above the buttons).
    QGridLayout* Options() { return options_; }

    // The run over the selected files in list order: asks the per-file question when Check1
    // is on, then `one(name, path)`; a RuntimeError of one file is reported and the run goes
    // on. `extra` are the dialog's own controls to disable meanwhile. false when the run was
    // cancelled (or there was nothing to run on).
    bool RunOverSelection(const QList<QWidget*>& extra, const std::function<QString(const QString& name)>& question,
                          const std::function<void(const QString& name, const QString& path)>& one);
    // A file's step: the bar to `done` of `total`, the event loop served; false once cancelled.
    bool Step(int64_t done, int64_t total);

    void Closing() override;

    AppState& state_;
    MultiFileSession session_;

private:
    QGridLayout* options_ = nullptr;
    int shown_ = -1;
};

}  // namespace kolbran
