#include "drawing/DrawingInterpreter.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/EventLoop.h"
#include "core/FileFacade.h"
#include "core/JapaneseCodes.h"
#include "core/Numbers.h"
#include "core/RuntimeError.h"
#include "drawing/DrawingSurface.h"
#include "images/ImageBrowser.h"
#include "viewer/LineLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace kolbran {

namespace {

constexpr int kMaxFileNumber = 511;
// Points of one series between two looks at the event loop.
constexpr long long kSeriesStep = 65536;

bool IsKeyword(const QString& word)
{
    static const QSet<QString> kKeywords = {
        QStringLiteral("Pset"),    QStringLiteral("Line"),     QStringLiteral("Circle"),
        QStringLiteral("Print"),   QStringLiteral("ScaleMode"), QStringLiteral("ForeColor"),
        QStringLiteral("DrawWidth"), QStringLiteral("DrawStyle"), QStringLiteral("FillColor"),
        QStringLiteral("FillStyle"), QStringLiteral("FontSize"), QStringLiteral("FontName"),
        QStringLiteral("VLineS"),  QStringLiteral("LineS"),    QStringLiteral("VPsetS"),
        QStringLiteral("PsetS"),   QStringLiteral("Image"),    QStringLiteral("Matrix"),
        QStringLiteral("IF"),      QStringLiteral("Jump"),     QStringLiteral("CALL"),
        QStringLiteral("RETURN"),  QStringLiteral("Set"),      QStringLiteral("ImgSize"),
        QStringLiteral("MsgBox"),  QStringLiteral("END"),      QStringLiteral("Open"),
        QStringLiteral("Close"),   QStringLiteral("Read"),     QStringLiteral("EOF")};
    if (word == QLatin1String("Pset") || word == QLatin1String("Line"))
        return true;
    return kKeywords.contains(word) || word.startsWith(QLatin1String("LABEL"));
}

QString TrimBlanks(const QString& text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text[b] == u' ')
        ++b;
    while (e > b && text[e - 1] == u' ')
        --e;
    return text.mid(b, e - b);
}

// The number after "$", rounded; far-out values stay far out without overflowing.
int VariableNumber(QStringView text)
{
    return int(RoundHalfEven(std::clamp(Val(text), -1e6, 1e6)));
}

int ToIntSingle(double value)
{
    return ToInt16(double(ToSingle(value)));
}

}  // namespace

QString TrimDrawingLine(const QString& line)
{
    const qsizetype crlf = line.indexOf(QLatin1String("\r\n"));
    return TrimBlanks(crlf >= 0 ? line.left(crlf) : line);
}

float ToSingle(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > double(FLT_MAX))
        throw RuntimeError(Err::Overflow);
    return float(value);
}

QString DrawingNumberText(float value)
{
    QString text = StrSingle(value);
    if (text.startsWith(u' '))
        text.remove(0, 1);
    return text;
}

// A text file opened by Open: read sequentially, Shift_JIS items.
struct DrawingInterpreter::InputFile {
    QFile file;
    bool AtEnd() { return file.atEnd(); }
    int Peek()
    {
        char c;
        return file.peek(&c, 1) == 1 ? int(static_cast<unsigned char>(c)) : -1;
    }
    int Get()
    {
        char c;
        return file.getChar(&c) ? int(static_cast<unsigned char>(c)) : -1;
    }
};

DrawingInterpreter::DrawingInterpreter(AppState& state, LineFetch fetch, LineNumber lineCount)
    : state_(state), fetch_(std::move(fetch)), lineCount_(lineCount)
{
}

namespace {

// Lines of the open document as ReadLine gives them, read in large blocks while they come in
// order: one read per line made a drawing of a million lines wait on the system calls.
class DocumentLines {
public:
    explicit DocumentLines(AppState& state) : state_(state) {}
    void Forget()
    {
        block_.clear();
        blockStart_ = 0;
    }
    QString operator()(LineNumber n)
    {
        const OpenDocument& doc = state_.doc;
        if ((doc.DisplayCode != DisplayCode::Standard && !doc.IsUtf16) || n < 1 || n > doc.LineCount)
            return ByReadLine(n);
        const FileOffset start = GetLineStart(state_, n);
        const FileOffset end = GetLineStart(state_, n + 1);
        if (end - start > kBlock)
            return ByReadLine(n);
        if (blockStart_ == 0 || start < blockStart_ || end > blockStart_ + block_.size()) {
            block_ = ReadDocumentBytes(state_, start, kBlock);
            blockStart_ = start;
            if (end > blockStart_ + block_.size())
                return ByReadLine(n);
        }
        const QByteArrayView bytes = QByteArrayView(block_).sliced(start - blockStart_, end - start);
        return doc.IsUtf16 ? FromUtf16Le(bytes) : FromSjis(bytes);
    }

private:
    static constexpr qint64 kBlock = 1 << 20;
    QString ByReadLine(LineNumber n)
    {
        ReadLine(state_, n);
        return state_.doc.LineBuffer;
    }
    AppState& state_;
    QByteArray block_;
    FileOffset blockStart_ = 0;
};

}  // namespace

DrawingInterpreter::DrawingInterpreter(AppState& state)
    : DrawingInterpreter(state, {}, state.doc.LineCount)
{
    auto lines = std::make_shared<DocumentLines>(state);
    fetch_ = [lines](LineNumber n) { return (*lines)(n); };
    // Each pass reads the file afresh.
    beginPass_ = [lines] { lines->Forget(); };
}

DrawingInterpreter::~DrawingInterpreter() = default;

int DrawingInterpreter::SplitDrawingLine(const QString& line)
{
    // Fields keep their buffers from line to line: a run of a million lines allocates little.
    for (int i = 0; i < kFields; ++i) {
        fields_[size_t(i)].resize(0);
        quoted_[size_t(i)] = false;
    }
    QStringView v(line);
    const qsizetype crlf = v.indexOf(QLatin1String("\r\n"));
    if (crlf >= 0)
        v = v.first(crlf);
    while (!v.isEmpty() && v.front() == u' ')
        v = v.sliced(1);
    while (!v.isEmpty() && v.back() == u' ')
        v.chop(1);
    if (v.startsWith(u'#'))
        return 0;
    int k = 0;
    bool inQuote = false;
    QString extra;  // fields beyond the table are counted, not kept
    qsizetype pos = 0;
    while (pos < v.size()) {
        QString& field = k < kFields ? fields_[size_t(k)] : extra;
        extra.resize(0);
        const QStringView s = v.sliced(pos);
        const qsizetype q = s.indexOf(u'"') + 1;
        const qsizetype c = s.indexOf(u',') + 1;
        const qsizetype e = c > 0 ? c : s.size();
        qsizetype next = s.size();  // where the rest begins
        if (q > 0 && q < e) {
            for (qsizetype i = 0; i < s.size(); ++i) {
                const QChar ch = s[i];
                if (ch == u'"') {
                    if (k < kFields)
                        quoted_[size_t(k)] = true;
                    if (inQuote && i + 1 < s.size() && s[i + 1] == u'"') {
                        field += u'"';
                        ++i;
                    } else {
                        inQuote = !inQuote;
                    }
                } else if (ch == u',' && !inQuote) {
                    next = i + 1;
                    break;
                } else if (ch == u' ' && !inQuote) {
                    continue;
                } else {
                    field += ch;
                }
            }
        } else if (c > 0) {
            field.append(s.first(c - 1));
            next = c;
        } else {
            field.append(s);
        }
        pos += next;
        while (pos < v.size() && v[pos] == u' ')
            ++pos;
        ++k;
    }
    QString& word = fields_[0];
    while (!word.isEmpty() && word.back() == u' ')
        word.chop(1);
    // Text that does not begin with a keyword is a comment: nothing of it is checked.
    if (k == 0 || !IsKeyword(word))
        return k;
    const bool set = word == QLatin1String("Set");
    if (k > (set ? kFields : kFields - 1))
        throw RuntimeError(Err::SubscriptOutOfRange, QStringLiteral("fields"));
    Substitute(k);
    return k;
}

void DrawingInterpreter::Substitute(int count)
{
    const bool set = fields_[0] == QLatin1String("Set");
    auto substitute = [this](int i, int lowest) {
        if (quoted_[size_t(i)])
            return;
        QStringView text(fields_[size_t(i)]);
        while (!text.isEmpty() && text.front() == u' ')
            text = text.sliced(1);
        if (!text.startsWith(u'$'))
            return;
        const int n = VariableNumber(text.sliced(1));
        if (n > kVariables - 1)
            throw RuntimeError(Err::SubscriptOutOfRange, QStringLiteral("$n"));
        if (n >= lowest)
            fields_[size_t(i)] = variables_[size_t(n)];
    };
    if (set) {
        fields_[1] = TrimBlanks(fields_[1]);
        if (count > 3)
            substitute(3, 0);
        return;
    }
    for (int i = 1; i < count && i < kFields; ++i)
        substitute(i, 1);
}

int DrawingInterpreter::FindLabel(const QString& name) const
{
    if (!name.startsWith(QLatin1String("LABEL")))
        return -1;
    const double v = Val(QStringView(name).mid(5, 2));
    const qint64 n = RoundHalfEven(v);
    if (n < 0 || n > kLabels - 1)
        throw RuntimeError(Err::SubscriptOutOfRange, QStringLiteral("label"));
    const int entry = labels_[size_t(n)];
    return entry > 0 ? entry : -1;
}

void DrawingInterpreter::ScanLabels()
{
    if (beginPass_)
        beginPass_();
    labels_.fill(0);
    for (LineNumber n = 1; n <= lineCount_; ++n) {
        lineCounter_ = n;
        QString text = TrimDrawingLine(fetch_(n));
        const qsizetype comma = text.indexOf(u',');
        if (comma >= 0)
            text = TrimBlanks(text.left(comma));
        if (text.size() > 5 && text.startsWith(QLatin1String("LABEL"))) {
            const qint64 number = RoundHalfEven(Val(QStringView(text).mid(5, 2)));
            if (number < 0 || number > kLabels - 1)
                throw RuntimeError(Err::SubscriptOutOfRange, QStringLiteral("label"));
            labels_[size_t(number)] = n - 1;
        }
    }
}

void DrawingInterpreter::SetVariable(int n, QString value)
{
    if (value.size() > kMaxVariableLength)
        throw RuntimeError(Err::OutOfMemory, QStringLiteral("variable"));
    variables_[size_t(n)] = std::move(value);
}

RunEnd DrawingInterpreter::RunDrawing(DrawingSurface& surface, bool printing)
{
    if (beginPass_)
        beginPass_();
    if (!printing)
        surface.Clear();
    surface.SetScaleMode(1);
    surface.SetDrawStyle(0);
    surface.SetDrawWidth(1);
    surface.SetFillStyle(1);
    surface.SetFillColor(Qt::black);
    for (QString& v : variables_)
        v.clear();
    callDepth_ = 0;
    labelPasses_ = 0;
    backJumps_ = 0;
    progressFlag_ = 0;
    executed_ = 0;
    stopped_ = false;
    lineCounter_ = 1;
    matrix_.on = false;

    // BusyFlag is set while the run yields; clearing it (closing the window) stops the run.
    // At its end the run gives the flag back as it found it, unless it was cleared.
    const bool busyBefore = state_.BusyFlag;
    state_.BusyFlag = true;
    struct Cleanup {
        DrawingInterpreter& self;
        bool busyBefore;
        ~Cleanup()
        {
            self.CloseAllFiles();
            if (self.state_.BusyFlag)
                self.state_.BusyFlag = busyBefore;
        }
    } cleanup{*this, busyBefore};

    RunEnd end = RunEnd::LastLine;
    while (lineCounter_ <= lineCount_) {
        const int count = SplitDrawingLine(fetch_(lineCounter_));
        if (count > 0) {
            Execute(surface, printing, count, end);
            if (end != RunEnd::LastLine)
                return end;
        }
        if (stopped_)
            return RunEnd::Stopped;
        if (++executed_ % kProgressStep == 0) {
            Progress();
            if (stopped_)
                return RunEnd::Stopped;
        }
        ++lineCounter_;
    }
    return end;
}

void DrawingInterpreter::Progress()
{
    if (status) {
        status(progressFlag_ == 0 ? QStringLiteral(u"描画処理中 ＼(^o^)／") : QStringLiteral(u"描画処理中 ＼(^_^)／"));
    }
    progressFlag_ = progressFlag_ == 0 ? 1 : 0;
    if (yield)
        yield();
    else
        YieldToEventLoopNow();
    if (!state_.BusyFlag)
        stopped_ = true;
}

void DrawingInterpreter::ShowLimitMessage()
{
    state_.prompter.Message(QStringLiteral(u"LABELを ") + QString::number(kPassLimit) +
                                QStringLiteral(u"以上 実行しようとしています。") + state_.settings.LineBreak +
                                QStringLiteral(u"処理を中断しました。"),
                            MsgIcon::Information, MsgButtons::Ok, kProgramTitle);
}

bool DrawingInterpreter::PassLimitReached(int& counter)
{
    if (++counter <= kPassLimit)
        return false;
    ShowLimitMessage();
    return true;
}

namespace {

// A colour argument at field i: an index, or "RGB", r, g, b where `rgb` allows it.
QColor ColourAt(const std::array<QString, DrawingInterpreter::kFields>& f, int i, bool rgb)
{
    if (rgb && f[size_t(i)] == QLatin1String("RGB") && i + 3 < DrawingInterpreter::kFields) {
        auto component = [&f](int j) {
            const int v = ToIntSingle(Val(f[size_t(j)]));
            return std::clamp(v, 0, 255);
        };
        return QColor(component(i + 1), component(i + 2), component(i + 3));
    }
    return PaletteColour(ToIntSingle(Val(f[size_t(i)])));
}

}  // namespace

void DrawingInterpreter::Execute(DrawingSurface& surface, bool printing, int count, RunEnd& end)
{
    const QString& cmd = fields_[0];
    auto num = [this](int i) { return double(ToSingle(Val(fields_[size_t(i)]))); };
    auto integer = [this](int i) { return ToIntSingle(Val(fields_[size_t(i)])); };

    if (cmd == QLatin1String("Pset")) {
        surface.Point(num(1), num(2), ColourAt(fields_, 3, true));
    } else if (cmd == QLatin1String("Line")) {
        const QString shape = TrimBlanks(fields_[6]);
        using Shape = DrawingSurface::LineShape;
        const Shape s = shape == QLatin1String("BF") ? Shape::FilledBox
                        : shape == QLatin1String("B") ? Shape::Box
                                                      : Shape::Plain;
        std::optional<QColor> colour;
        if (!(s == Shape::FilledBox && fields_[5].isEmpty()))
            colour = ColourAt(fields_, 5, false);
        surface.Line(num(1), num(2), num(3), num(4), colour, s);
    } else if (cmd == QLatin1String("Circle")) {
        std::optional<double> aspect;
        if (!fields_[5].isEmpty())
            aspect = num(5);
        surface.Circle(num(1), num(2), num(3), ColourAt(fields_, 4, false), aspect);
    } else if (cmd == QLatin1String("Print")) {
        if (!fields_[3].isEmpty())
            surface.SetCurrentPosition(QPointF(num(2), num(3)));
        surface.Print(fields_[1]);
    } else if (cmd == QLatin1String("ScaleMode")) {
        const int code = integer(1);
        surface.SetScaleMode(code >= 0 && code <= 7 ? code : 1);
    } else if (cmd == QLatin1String("ForeColor")) {
        surface.SetForeColor(ColourAt(fields_, 1, true));
    } else if (cmd == QLatin1String("DrawWidth")) {
        const double w = num(1);
        surface.SetDrawWidth(w > 0 ? w : 1);
    } else if (cmd == QLatin1String("DrawStyle")) {
        const int style = integer(1);
        surface.SetDrawStyle(style >= 0 && style <= 6 ? style : 0);
    } else if (cmd == QLatin1String("FillColor")) {
        surface.SetFillColor(ColourAt(fields_, 1, true));
    } else if (cmd == QLatin1String("FillStyle")) {
        const int style = integer(1);
        surface.SetFillStyle(style >= 0 && style <= 7 ? style : 1);
    } else if (cmd == QLatin1String("FontSize")) {
        surface.SetFontSize(num(1));
    } else if (cmd == QLatin1String("FontName")) {
        surface.SetFontName(fields_[1]);
    } else if (cmd == QLatin1String("PsetS")) {
        Series(surface, 0);
    } else if (cmd == QLatin1String("VPsetS")) {
        Series(surface, 1);
    } else if (cmd == QLatin1String("LineS")) {
        Series(surface, 2);
    } else if (cmd == QLatin1String("VLineS")) {
        Series(surface, 3);
    } else if (cmd == QLatin1String("Image")) {
        QString path = fields_[1];
        const QImage picture = LoadPicture(path);
        std::optional<QSizeF> size;
        std::optional<QRectF> clip;
        if (count >= 7) {
            clip = QRectF(num(6), num(7), num(8), num(9));
            if (num(4) != 0 && num(5) != 0)
                size = QSizeF(num(4), num(5));
        } else if (count >= 5) {
            size = QSizeF(num(4), num(5));
        }
        surface.PaintPicture(picture, num(2), num(3), size, clip);
    } else if (cmd == QLatin1String("ImgSize")) {
        if (!printing) {
            const double w = num(1);
            const double h = num(2);
            auto side = [](double v) { return v > 0 ? int(RoundHalfEven(std::min(v, 1e9))) : 0; };
            surface.SetSizePixels(side(w), side(h));
        }
    } else if (cmd == QLatin1String("Matrix")) {
        auto arg = [this](int i) { return qint64(RoundHalfEven(std::clamp(Val(fields_[size_t(i)]), -1e9, 1e9))); };
        const qint64 interval = arg(1);
        matrix_.interval = fields_[1].isEmpty() ? 200 : (interval >= 10 && interval <= 1000 ? int(interval) : 110);
        const qint64 chars = arg(2);
        matrix_.characters = chars >= 6 && chars <= 50 ? int(chars) : 20;
        const qint64 cols = arg(3);
        matrix_.columns = cols >= 40 && cols <= 100 ? int(cols) : 56;
        const qint64 step = arg(4);
        matrix_.step = step >= 1 && step <= 10 ? int(step) : 5;
        matrix_.on = true;
        if (!printing) {
            surface.SetSizePixels(0, screenSize.height());
            surface.FillAll(Qt::black);
        }
        end = RunEnd::Matrix;
    } else if (cmd == QLatin1String("IF")) {
        const QString& op = fields_[1];
        bool holds = false;
        if (op == QLatin1String("=="))
            holds = fields_[2] == fields_[3];
        else if (op == QLatin1String("!="))
            holds = fields_[2] != fields_[3];
        else if (op == QLatin1String(">") || op == QLatin1String("<") || op == QLatin1String(">=") ||
                 op == QLatin1String("<=")) {
            const float a = ToSingle(Val(fields_[2]));
            const float b = ToSingle(Val(fields_[3]));
            holds = op == QLatin1String(">") ? a > b : op == QLatin1String("<") ? a < b
                                                   : op == QLatin1String(">=") ? a >= b
                                                                               : a <= b;
        }
        if (holds) {
            const int target = FindLabel(fields_[4]);
            if (target >= 1)
                lineCounter_ = target;
        }
    } else if (cmd == QLatin1String("Jump")) {
        const int target = FindLabel(fields_[1]);
        if (target >= 1) {
            lineCounter_ = target;
        } else {
            const qint32 n = ToInt32(double(ToSingle(Val(fields_[1]))));
            if (n >= 1) {
                // A jump back repeats lines without passing a LABEL line: it is counted too.
                if (n <= lineCounter_ && PassLimitReached(backJumps_)) {
                    end = RunEnd::LoopLimit;
                    return;
                }
                lineCounter_ = n;
            }
        }
    } else if (cmd == QLatin1String("CALL")) {
        const int target = FindLabel(fields_[1]);
        if (target >= 1) {
            if (callDepth_ >= kCallDepth)
                throw RuntimeError(Err::SubscriptOutOfRange, QStringLiteral("CALL"));
            callStack_[size_t(callDepth_++)] = lineCounter_;
            lineCounter_ = target;
        }
    } else if (cmd == QLatin1String("RETURN")) {
        if (callDepth_ > 0)
            lineCounter_ = callStack_[size_t(--callDepth_)];
    } else if (cmd == QLatin1String("END")) {
        end = RunEnd::End;
    } else if (cmd == QLatin1String("Set")) {
        RunSet();
    } else if (cmd == QLatin1String("MsgBox")) {
        state_.prompter.Message(fields_[1], MsgIcon::None, MsgButtons::Ok, kProgramTitle);
    } else if (cmd == QLatin1String("Open")) {
        OpenFile();
    } else if (cmd == QLatin1String("Close")) {
        const int n = integer(1);
        if (n < 1 || n > kMaxFileNumber)
            throw RuntimeError(Err::BadFileNameOrNumber);
        files_.erase(n);
    } else if (cmd == QLatin1String("Read")) {
        SetVariable(0, ReadItem(FileByNumber(fields_[1])));
    } else if (cmd == QLatin1String("EOF")) {
        InputFile& file = FileByNumber(fields_[1]);
        SetVariable(99, file.AtEnd() ? QStringLiteral("-1") : QStringLiteral("0"));
    } else if (cmd.startsWith(QLatin1String("LABEL"))) {
        if (PassLimitReached(labelPasses_))
            end = RunEnd::LoopLimit;
    }
}

void DrawingInterpreter::Series(DrawingSurface& surface, int kind)
{
    const bool lines = kind >= 2;
    auto num = [this](int i) { return double(ToSingle(Val(fields_[size_t(i)]))); };
    const double x1 = num(1);
    const double y1 = num(2);
    const double x2 = lines ? num(3) : 0;
    const double y2 = lines ? num(4) : 0;
    const QColor colour = ColourAt(fields_, lines ? 5 : 3, false);
    const double step = num(lines ? 6 : 4);
    const double count = num(lines ? 7 : 5);
    // i = 0, 1, … while i ≤ count − 1, counted in a whole number so that large counts end.
    long long n = 0;
    if (count - 1 >= 0) {
        if (count - 1 >= 2147483648.0)
            throw RuntimeError(Err::Overflow);
        n = static_cast<long long>(std::floor(count - 1)) + 1;
    }
    if (step == 0 && n > 1)
        n = 1;  // every point of the series is the same one
    for (long long i = 0; i < n; ++i) {
        const double d = double(ToSingle(double(i) * step));
        switch (kind) {
        case 0: surface.Point(double(ToSingle(x1 + d)), y1, colour); break;
        case 1: surface.Point(x1, double(ToSingle(y1 + d)), colour); break;
        case 2:
            surface.Line(double(ToSingle(x1 + d)), y1, double(ToSingle(x2 + d)), y2, colour,
                         DrawingSurface::LineShape::Plain);
            break;
        default:
            surface.Line(x1, double(ToSingle(y1 + d)), x2, double(ToSingle(y2 + d)), colour,
                         DrawingSurface::LineShape::Plain);
            break;
        }
        if ((i + 1) % kSeriesStep == 0) {
            if (yield)
                yield();
            else
                YieldToEventLoopNow();
            if (!state_.BusyFlag) {
                stopped_ = true;
                return;
            }
        }
    }
}

void DrawingInterpreter::RunSet()
{
    const QString& op = fields_[1];
    const QString& target = fields_[2];
    if (!target.startsWith(u'$'))
        return;
    const int n = VariableNumber(QStringView(target).mid(1));
    if (n < 0 || n > kVariables - 1)
        throw RuntimeError(Err::SubscriptOutOfRange, QStringLiteral("$n"));
    const QString& var = variables_[size_t(n)];
    const QString& value = fields_[3];
    auto store = [this, n](double result) { SetVariable(n, DrawingNumberText(ToSingle(result))); };

    if (op == QLatin1String("=") || op == QLatin1String("Put")) {
        SetVariable(n, value);
    } else if (op == QLatin1String("+") || op == QLatin1String("Up")) {
        store(Val(var) + Val(value));
    } else if (op == QLatin1String("-") || op == QLatin1String("Down")) {
        store(Val(var) - Val(value));
    } else if (op == QLatin1String("*")) {
        store(Val(var) * Val(value));
    } else if (op == QLatin1String("/")) {
        const double d = Val(value);
        if (d == 0)
            throw RuntimeError(Err::DivisionByZero);
        store(Val(var) / d);
    } else if (op == QLatin1String("&")) {
        if (var.size() + value.size() > kMaxVariableLength)
            throw RuntimeError(Err::OutOfMemory, QStringLiteral("variable"));
        SetVariable(n, var + value);
    } else if (op == QLatin1String("Int")) {
        store(std::floor(Val(var)));
    } else if (op == QLatin1String("Mod")) {
        const qint32 a = ToInt32(Val(var));
        const qint32 b = ToInt32(Val(value));
        if (b == 0)
            throw RuntimeError(Err::DivisionByZero);
        const qint32 r = b == -1 ? 0 : a % b;  // the remainder has the sign of the variable
        SetVariable(n, QString::number(r));
    } else if (op == QLatin1String("Input")) {
        const std::optional<QString> answer = state_.prompter.Input(
            target + QStringLiteral(u" の値を入力してください。") + state_.settings.LineBreak + value,
            QStringLiteral(u"変数の値を入力"));
        SetVariable(n, answer.value_or(QString()));
    } else if (op == QLatin1String(":")) {
        SetVariable(n, QString::number(FindLabel(value)));
    }
}

void DrawingInterpreter::OpenFile()
{
    const int n = ToIntSingle(Val(fields_[2]));
    if (n < 1 || n > kMaxFileNumber)
        throw RuntimeError(Err::BadFileNameOrNumber);
    if (files_.count(n))
        throw RuntimeError(Err::FileAlreadyOpen);
    const QString path = FromNativeSeparators(fields_[1]);
    const QFileInfo info(path);
    if (path.isEmpty())
        throw RuntimeError(Err::BadFileNameOrNumber);
    if (!info.exists() || info.isDir())
        throw RuntimeError(Err::FileNotFound, path);
    // Opening a pipe blocks until another program writes to it; a device never ends.
    if (GetFileAttributes(path).special)
        throw RuntimeError(Err::PathFileAccess, path);
    auto file = std::make_unique<InputFile>();
    file->file.setFileName(path);
    if (!file->file.open(QIODevice::ReadOnly))
        ThrowFileError(file->file, Err::PathFileAccess);
    files_[n] = std::move(file);
}

DrawingInterpreter::InputFile& DrawingInterpreter::FileByNumber(const QString& field)
{
    const int n = ToIntSingle(Val(field));
    const auto it = files_.find(n);
    if (n < 1 || n > kMaxFileNumber || it == files_.end())
        throw RuntimeError(Err::BadFileNameOrNumber);
    return *it->second;
}

QString DrawingInterpreter::ReadItem(InputFile& f)
{
    auto blank = [](int c) { return c == ' ' || c == '\t'; };
    while (blank(f.Peek()))
        f.Get();
    if (f.AtEnd())
        throw RuntimeError(Err::InputPastEnd);
    QByteArray item;
    auto keep = [&item](int c) {
        if (item.size() >= kMaxVariableLength)
            throw RuntimeError(Err::OutOfMemory, QStringLiteral("variable"));
        item += char(c);
    };
    // Consumes the separator after an item: a comma, or a line end (CR LF, CR or LF).
    auto separator = [&f]() {
        for (;;) {
            const int c = f.Get();
            if (c < 0 || c == ',' || c == '\n')
                return;
            if (c == '\r') {
                if (f.Peek() == '\n')
                    f.Get();
                return;
            }
        }
    };
    if (f.Peek() == '"') {
        f.Get();
        for (int c = f.Get(); c >= 0 && c != '"'; c = f.Get())
            keep(c);
        separator();
        return FromSjis(item);
    }
    for (int c = f.Peek(); c >= 0 && c != ',' && c != '\r' && c != '\n'; c = f.Peek())
        keep(f.Get());
    separator();
    while (!item.isEmpty() && blank(item.back()))
        item.chop(1);
    return FromSjis(item);
}

void DrawingInterpreter::CloseAllFiles()
{
    files_.clear();
}

}  // namespace kolbran
