#pragma once

#include <QSizeF>
#include <QString>

namespace kolbran {

struct AppState;
struct ViewerSettings;

// The image window's print choices: paper choice 0..6, fit mode (0 to the paper width,
// 1 to its height) and the custom paper size in mm.
struct ImagePrintSetup {
    int paperChoice = 0;
    int fitMode = 0;
    QSizeF customSize{105, 74};
};
// As stored: a paper choice below 0 and a fit mode other than 0 or 1 read as 0; a choice
// above 5 is the custom size: the stored width and height when they fit 105..420 × 74..297
// either way round, else brought into that range.
ImagePrintSetup ImagePrintSetupFromSettings(const ViewerSettings& settings);
// Stores the choices and the paper size (rounded) as the window leaves them.
void StoreImagePrintSetup(ViewerSettings& settings, int paperChoice, int fitMode, const QSizeF& paper);

// The checks of 保存 before it writes `target`: a name that leads to the shown file is
// refused ("元ファイルと同名…", error icon); an existing file is written only after Yes.
bool ConfirmBitmapTarget(AppState& state, const QString& source, const QString& target);

}  // namespace kolbran
