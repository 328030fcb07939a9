#pragma once

#include "multifile/ui/MultiRunDialog.h"

namespace kolbran {

struct AppState;

// What the line-deletion dialog keeps while the program runs.
struct MltDLineMemory {
    int pattern = 0;
};

// The multi-file line deletion "複数ファイル削除行": the registered delete-line rules applied to
// every selected file.
class MltDLine final : public MultiRunDialog {
    Q_OBJECT
public:
    MltDLine(AppState& state, MltDLineMemory& memory, QWidget* parent = nullptr);

private:
    void Command1_Click();
    void DeleteOne(const QString& name, const QString& path);

    MltDLineMemory& memory_;
};

}  // namespace kolbran
