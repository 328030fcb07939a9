#pragma once

#include "core/LineIndex.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <cstdint>

namespace kolbran {

struct AppState;

// The most characters the editor holds (CR LF counts two).
inline constexpr int kEditorMaxChars = 300000;

// The window of document lines the editor holds. The text is the file's own: every line
// with its own line end.
struct EditRange {
    LineNumber FirstLine = 1;
    LineNumber LastLine = 0;
    LineNumber AnchorLine = 1;
    int CaretOffset = 0;  // characters of the text before the anchor line
    QString Text;
};

// A lines-before/after setting as the editor uses it: a negative stored value counts as 0.
int EditorLinesSetting(int value);

// Loads the lines around `anchor` (the main view's top line, raised to 1): up to `before`
// lines before it and `after` after it, within the document, one read for the range, cut
// before the line that would take the text past `maxChars`. An empty document gives the
// range 1..0 with an empty text. Throws RuntimeError when the text cannot be built.
EditRange LoadEditRange(const AppState& state, int64_t anchor, int before, int after,
                        int maxChars = kEditorMaxChars);

// "簡易エディタ <first～last行の編集>"
QString EditorCaption(int64_t first, int64_t last);

// The text box shows a line end CR LF as its own line break and a lone CR or LF (data, not a
// line end) as its control picture (U+240D, U+240A), so that its rows are the file's lines.
QString BoxTextFromModel(QStringView model);
// The text box's raw text (paragraph breaks U+2029) back to the file's text: every line
// break is CR LF, the control pictures their CR and LF.
QString ModelTextFromBox(QStringView raw);
// The box position of a model position (a CR LF is one character in the box).
int BoxOffsetFromModel(QStringView model, int modelOffset);
// The model position of a box position.
int ModelOffsetFromBox(QStringView model, int boxOffset);

// The 0-based position of `needle` in `text` at or after `from` compared as the searches
// compare (`compareMode` 0 exact, 1 ignoring case), or -1.
qsizetype FindInText(QStringView text, const QString& needle, int compareMode, qsizetype from);

// The symbol palettes 1..4: their menu captions and their eleven items (the mixed lines
// have ten; the eleventh is empty).
QString PaletteCaption(int palette);
const std::array<QString, 11>& PaletteItems(int palette);
// The caption of item i (1..11): the character and its accelerator "(&1)" … "(&9)", "(&A)", "(&B)".
QString PaletteItemCaption(int palette, int item);

// The font list: the label shown for entry i and the font name applied (0..3).
QString EditorFontLabel(int index);
QString EditorFontName(int index);
// The nominal sizes of the size list, in points.
inline constexpr std::array<double, 6> kEditorFontSizes{8, 9.75, 10.5, 12, 13.5, 15};
// The size a font of `points` takes on a screen of `dpi` dots per inch: whole pixels.
double RealisedFontSize(double points, double dpi);
// Its text in the size list ("8.25", "9.75", "12").
QString FontSizeText(double points);

}  // namespace kolbran
