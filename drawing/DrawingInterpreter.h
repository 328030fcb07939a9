#pragma once

#include "core/LineIndex.h"

#include <QSize>
#include <QString>

#include <array>
#include <functional>
#include <map>
#include <memory>

namespace kolbran {

struct AppState;
class DrawingSurface;

// Cuts a line at its first CR LF and removes blanks at both ends.
QString TrimDrawingLine(const QString& line);
// The text form of numbers: up to 7 significant digits, no blank, no zero before the
// point (.5, -.25, 20, 1E+08).
QString DrawingNumberText(float value);
// A value read from a field, kept as single precision; outside its range error 6.
float ToSingle(double value);

// How one run ended.
enum class RunEnd { LastLine, End, Matrix, LoopLimit, Stopped };

// The Matrix command's settings, read by the drawing window.
struct MatrixSettings {
    bool on = false;
    int interval = 200;
    int characters = 20;
    int columns = 56;
    int step = 5;
};

// The drawing language: one line is one command, run against a DrawingSurface.
class DrawingInterpreter {
public:
    static constexpr int kFields = 17;
    static constexpr int kVariables = 101;
    static constexpr int kLabels = 101;
    static constexpr int kCallDepth = 101;
    static constexpr int kPassLimit = 32767;
    static constexpr int kProgressStep = 3000;
    static constexpr qsizetype kMaxVariableLength = 1 << 20;

    // The lines come from `fetch` (line n of the document as displayed) up to `lineCount`.
    using LineFetch = std::function<QString(LineNumber)>;
    DrawingInterpreter(AppState& state, LineFetch fetch, LineNumber lineCount);
    // The open document of the main window, read through ReadLine.
    explicit DrawingInterpreter(AppState& state);
    ~DrawingInterpreter();

    // Hooks of the window that runs it.
    std::function<void(const QString&)> status;  // the main window's first status panel
    std::function<void()> yield;                 // let pending events run (default: the event loop)
    QSize screenSize{1024, 768};                 // for Matrix

    // Fills the label table from every line. Errors name the line (LineCounter).
    void ScanLabels();
    // Runs the document once. Throws RuntimeError at the failing line (LineCounter names it).
    // Files opened by the drawing are closed when the run ends, however it ends.
    RunEnd RunDrawing(DrawingSurface& surface, bool printing);

    // Fills the fields from one line; returns their count (0 for an empty or comment line).
    int SplitDrawingLine(const QString& line);
    // The line entry of a label name ("LABEL01"), −1 when undefined or not a label.
    int FindLabel(const QString& name) const;

    const QString& Field(int i) const { return fields_[size_t(i)]; }
    bool Quoted(int i) const { return quoted_[size_t(i)]; }
    const QString& Variable(int i) const { return variables_[size_t(i)]; }
    int LabelEntry(int i) const { return labels_[size_t(i)]; }
    LineNumber LineCounter() const { return lineCounter_; }
    const MatrixSettings& Matrix() const { return matrix_; }
    // Open drawing files (for tests: none after a run).
    int OpenFileCount() const { return int(files_.size()); }

private:
    struct InputFile;
    void Execute(DrawingSurface& surface, bool printing, int count, RunEnd& end);
    void Substitute(int count);
    void SetVariable(int n, QString value);
    void RunSet();
    void Series(DrawingSurface& surface, int kind);
    bool PassLimitReached(int& counter);
    void ShowLimitMessage();
    void Progress();
    void OpenFile();
    InputFile& FileByNumber(const QString& field);
    QString ReadItem(InputFile& file);
    void CloseAllFiles();

    AppState& state_;
    LineFetch fetch_;
    std::function<void()> beginPass_;
    LineNumber lineCount_;
    std::array<QString, kFields> fields_;
    std::array<bool, kFields> quoted_{};
    std::array<QString, kVariables> variables_;
    std::array<int, kLabels> labels_{};
    std::array<int, kCallDepth> callStack_{};
    int callDepth_ = 0;
    LineNumber lineCounter_ = 1;
    int labelPasses_ = 0;
    int backJumps_ = 0;
    int progressFlag_ = 0;
    long long executed_ = 0;
    bool stopped_ = false;
    MatrixSettings matrix_;
    std::map<int, std::unique_ptr<InputFile>> files_;
};

}  // namespace kolbran
