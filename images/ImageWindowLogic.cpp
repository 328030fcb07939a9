#include "images/ImageWindowLogic.h"

#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Numbers.h"
#include "images/ImageOps.h"

#include <algorithm>

namespace kolbran {

ImagePrintSetup ImagePrintSetupFromSettings(const ViewerSettings& s)
{
    ImagePrintSetup setup;
    setup.paperChoice = s.ImagePrintSize < 0 ? 0 : s.ImagePrintSize > kPaperFitPrinter ? kPaperCustom : s.ImagePrintSize;
    setup.fitMode = s.ImagePrintOrientation == 1 ? 1 : 0;
    // Stored as the window left it, possibly exchanged for a portrait printer; a size that
    // fits neither way round (0 × 0 when never set) is brought into the custom range.
    const int w = s.ImagePrintWidth, h = s.ImagePrintHeight;
    const bool landscapeFits = w >= 105 && w <= 420 && h >= 74 && h <= 297;
    const bool portraitFits = h >= 105 && h <= 420 && w >= 74 && w <= 297;
    setup.customSize = landscapeFits || portraitFits ? QSizeF(w, h) : QSizeF(ClampCustomWidth(w), ClampCustomHeight(h));
    return setup;
}

void StoreImagePrintSetup(ViewerSettings& s, int paperChoice, int fitMode, const QSizeF& paper)
{
    s.ImagePrintSize = int16_t(paperChoice);
    s.ImagePrintOrientation = int16_t(fitMode);
    s.ImagePrintWidth = int16_t(std::clamp<qint64>(RoundHalfEven(paper.width()), -32768, 32767));
    s.ImagePrintHeight = int16_t(std::clamp<qint64>(RoundHalfEven(paper.height()), -32768, 32767));
}

bool ConfirmBitmapTarget(AppState& state, const QString& source, const QString& target)
{
    if (SamePath(source, target)) {
        state.prompter.Message(QStringLiteral(u"元ファイルと同名のファイル名は使用できません。"), MsgIcon::Critical);
        return false;
    }
    if (IsFolder(target)) {
        state.prompter.Message(QStringLiteral(u"「") + target + QStringLiteral(u"」はフォルダ名として存在します。"),
                               MsgIcon::Critical);
        return false;
    }
    if (FileExists(target)) {
        const MsgAnswer answer = state.prompter.Message(
            QStringLiteral(u"「") + target + QStringLiteral(u"」ﾌｧｲﾙは既に存在します。") + state.settings.LineBreak +
                QStringLiteral(u"上書きしますか？"),
            MsgIcon::Warning, MsgButtons::YesNo);
        if (answer != MsgAnswer::Yes)
            return false;
    }
    return true;
}

}  // namespace kolbran
