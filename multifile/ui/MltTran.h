#pragma once

#include "multifile/ui/MultiRunDialog.h"

#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;

namespace kolbran {

struct AppState;

// What the conversion dialog keeps while the program runs (updated after a completed run).
struct MltTranMemory {
    int pattern = 0;
    int kind = 0;
    QString keyword;
};

// The multi-file conversion "複数ファイル変換": converts the character code of every selected
// file, or applies one of the whole-file transforms to it.
class MltTran final : public MultiRunDialog {
    Q_OBJECT
public:
    MltTran(AppState& state, MltTranMemory& memory, QWidget* parent = nullptr);

    QLabel* Label4 = nullptr;  // "変換ﾀｲﾌﾟ(&H)"
    QComboBox* Combo2 = nullptr;
    QLabel* Label5 = nullptr;  // "変換ｷｰﾜｰﾄﾞ(&K)"
    QLineEdit* Text1 = nullptr;

private:
    void Command1_Click();
    void ConvertOne(const QString& name, const QString& path, int kind, const QString& keyword);

    MltTranMemory& memory_;
};

}  // namespace kolbran
