#pragma once

#include "base64/Base64.h"

#include <QString>

#include <functional>
#include <optional>

namespace kolbran {

struct AppState;

// The operation types of the conversion dialog: button index + mode (0 binary display,
// 2 BASE64).
enum class ConversionType {
    CreateBinaryDisplay = 1,  // B, or K with "拡張ﾊﾞｲﾅﾘ(&K)"
    RestoreBinaryDisplay = 2,
    EncodeBase64 = 3,
    DecodeBase64 = 4,
};

struct ConversionRequest {
    ConversionType type = ConversionType::EncodeBase64;
    QString source;
    bool extended = false;          // the tick "拡張ﾊﾞｲﾅﾘ(&K)"
    std::optional<QString> output;  // without it the save dialog asks
};

struct ConversionHooks {
    // The checks have passed: the window switches to its running state.
    std::function<void()> started;
    // The progress bar and the percentage.
    ProgressFunction progress;
    // The run is over, before its closing message: the window leaves its running state.
    std::function<void()> finished;
};

enum class ConversionStatus {
    Nothing,    // empty name, a cancelled save dialog
    Refused,    // a message told why nothing was written
    Failed,     // a run-time error was reported
    Cancelled,  // "ｷｬﾝｾﾙ" stopped the run
    Done,
};

struct ConversionResult {
    ConversionStatus status = ConversionStatus::Nothing;
    // Records or lines processed: set by creating and encoding only (the closing message
    // is shown only when it is above 0).
    qint64 processed = 0;
    QString output;
};

// The "実　行" button: the checks on the name, the operation of the type, the closing
// message.
ConversionResult ExecuteConversion(AppState& state, const ConversionRequest& request,
                                   const ConversionHooks& hooks = {});

// The operations themselves (the save dialog, the same-name and overwrite checks, the run,
// its error messages). BusyFlag must be set; clearing it stops the run.
ConversionResult EncodeBase64File(AppState& state, const ConversionRequest& request,
                                  const ProgressFunction& progress);
ConversionResult DecodeBase64File(AppState& state, const ConversionRequest& request,
                                  const ProgressFunction& progress);
ConversionResult CreateBinaryDisplayFile(AppState& state, const ConversionRequest& request,
                                         const ProgressFunction& progress);
ConversionResult RestoreBinaryDisplayFile(AppState& state, const ConversionRequest& request,
                                          const ProgressFunction& progress);

// "ｴﾝｺｰﾄﾞﾌｧｲﾙではないようです。確認してください。( n )"
QString NotEncodedFileMessage(int errorNumber);

}  // namespace kolbran
