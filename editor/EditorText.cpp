#include "editor/EditorText.h"

#include "core/AppState.h"
#include "core/RuntimeError.h"
#include "viewer/SearchScanner.h"
#include "viewer/SpliceLines.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace kolbran {

int EditorLinesSetting(int value)
{
    return std::max(0, value);
}

EditRange LoadEditRange(const AppState& state, int64_t anchor, int before, int after, int maxChars)
{
    EditRange r;
    const int64_t count = state.doc.LineCount;
    anchor = std::clamp<int64_t>(anchor, 1, std::max<int64_t>(1, count));
    r.AnchorLine = LineNumber(anchor);
    r.FirstLine = LineNumber(std::max<int64_t>(1, anchor - EditorLinesSetting(before)));
    r.LastLine = LineNumber(std::min<int64_t>(count, anchor + EditorLinesSetting(after)));
    if (count < 1 || r.LastLine < r.FirstLine)
        return r;
    if (!state.doc.HasFile())
        throw RuntimeError(Err::BadFileNameOrNumber, state.doc.DocumentName);
    try {
        const QStringList lines = ReadRangeLines(state, r.FirstLine, r.LastLine);
        if (lines.size() != r.LastLine - r.FirstLine + 1)
            throw RuntimeError(Err::InputPastEnd, state.doc.DocumentName);
        int64_t caret = 0;
        qsizetype total = 0;
        qsizetype taken = 0;
        for (const QString& line : lines) {
            if (total + line.size() > maxChars)
                break;
            total += line.size();
            ++taken;
        }
        for (qsizetype k = 1; k < lines.size() && r.FirstLine + k <= r.AnchorLine; ++k)
            caret += lines[k - 1].size();
        r.LastLine = LineNumber(r.FirstLine + taken - 1);
        r.Text.reserve(total);
        for (qsizetype k = 0; k < taken; ++k)
            r.Text += lines[k];
        r.CaretOffset = int(std::min<int64_t>(caret, r.Text.size()));
    } catch (const std::bad_alloc&) {
        throw RuntimeError(Err::OutOfMemory);
    }
    return r;
}

QString EditorCaption(int64_t first, int64_t last)
{
    return QStringLiteral(u"簡易エディタ <") + QString::number(first) + QStringLiteral(u"～") +
           QString::number(last) + QStringLiteral(u"行の編集>");
}

QString BoxTextFromModel(QStringView model)
{
    QString box;
    box.reserve(model.size());
    const qsizetype n = model.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = model[i];
        if (c == u'\r' && i + 1 < n && model[i + 1] == u'\n') {
            box += u'\n';
            ++i;
        } else if (c == u'\r') {
            box += QChar(0x240D);
        } else if (c == u'\n') {
            box += QChar(0x240A);
        } else {
            box += c;
        }
    }
    return box;
}

QString ModelTextFromBox(QStringView raw)
{
    QString model;
    model.reserve(raw.size() + raw.size() / 16);
    for (const QChar c : raw) {
        switch (c.unicode()) {
        case 0x2029:  // the box's paragraph break
        case u'\n': model += QStringLiteral("\r\n"); break;
        case 0x240D: model += u'\r'; break;
        case 0x240A: model += u'\n'; break;
        default: model += c; break;
        }
    }
    return model;
}

int BoxOffsetFromModel(QStringView model, int modelOffset)
{
    modelOffset = std::clamp(modelOffset, 0, int(model.size()));
    return modelOffset - int(model.first(modelOffset).count(QStringLiteral("\r\n")));
}

int ModelOffsetFromBox(QStringView model, int boxOffset)
{
    int box = 0;
    qsizetype i = 0;
    while (i < model.size() && box < boxOffset) {
        i += (model[i] == u'\r' && i + 1 < model.size() && model[i + 1] == u'\n') ? 2 : 1;
        ++box;
    }
    return int(i);
}

qsizetype FindInText(QStringView text, const QString& needle, int compareMode, qsizetype from)
{
    if (needle.isEmpty() || from < 0 || from > text.size())
        return -1;
    const SearchMatcher matcher(needle, compareMode, false);
    const int at = matcher.Find(text.sliced(from));
    return at > 0 ? from + at - 1 : -1;
}

namespace {

const std::array<std::array<QString, 11>, 4>& Palettes()
{
    static const std::array<std::array<QString, 11>, 4> palettes = [] {
        const char16_t* rows[4] = {u"─│┌┐┘└├┬┤┴┼", u"━┃┏┓┛┗┣┳┫┻╋", u"┠┯┨┷┿┝┰┥┸╂",
                                   u"＼／∧∨≦≧÷≠≒⊂⊃"};
        std::array<std::array<QString, 11>, 4> p;
        for (int i = 0; i < 4; ++i) {
            const QString row = QString::fromUtf16(rows[i]);
            for (int k = 0; k < 11; ++k)
                p[size_t(i)][size_t(k)] = k < row.size() ? row.mid(k, 1) : QString();
        }
        return p;
    }();
    return palettes;
}

}  // namespace

QString PaletteCaption(int palette)
{
    static const char16_t* captions[4] = {u"細罫線(&B)", u"太罫線(&C)", u"混合線(&D)", u"記号(&K)"};
    return palette >= 1 && palette <= 4 ? QString::fromUtf16(captions[palette - 1]) : QString();
}

const std::array<QString, 11>& PaletteItems(int palette)
{
    static const std::array<QString, 11> none{};
    return palette >= 1 && palette <= 4 ? Palettes()[size_t(palette - 1)] : none;
}

QString PaletteItemCaption(int palette, int item)
{
    const QString key = item <= 9 ? QString::number(item) : QString(QChar(u'A' + (item - 10)));
    return PaletteItems(palette)[size_t(item - 1)] + QStringLiteral("(&") + key + u')';
}

QString EditorFontLabel(int index)
{
    static const char16_t* labels[4] = {u"ＭＳ 明朝", u"ＭＳ ゴシック", u"ＭＳ Ｐ明朝", u"ＭＳ Ｐゴシック"};
    return QString::fromUtf16(labels[std::clamp(index, 0, 3)]);
}

QString EditorFontName(int index)
{
    static const char16_t* names[4] = {u"ＭＳ 明朝", u"ＭＳ ゴシック", u"標準明朝", u"標準ゴシック"};
    return QString::fromUtf16(names[std::clamp(index, 0, 3)]);
}

double RealisedFontSize(double points, double dpi)
{
    if (dpi <= 0)
        return points;
    return std::round(points * dpi / 72.0) * 72.0 / dpi;
}

QString FontSizeText(double points)
{
    return QString::number(std::round(points * 100.0) / 100.0, 'g', 6);
}

}  // namespace kolbran
