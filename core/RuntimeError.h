#pragma once

#include <QFileDevice>
#include <QString>

#include <exception>

namespace kolbran {

// Run-time error numbers the program reports.
namespace Err {
inline constexpr int InvalidArgument = 5;
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int DivisionByZero = 11;
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileNameOrNumber = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int FileAlreadyOpen = 55;
inline constexpr int DeviceIo = 57;
inline constexpr int FileAlreadyExists = 58;
inline constexpr int DiskFull = 61;
inline constexpr int InputPastEnd = 62;
inline constexpr int BadRecordNumber = 63;
inline constexpr int PermissionDenied = 70;
inline constexpr int DiskNotReady = 71;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int DialogCancelled = 32755;
}  // namespace Err

// The Japanese description of an error number ("アプリケーション定義..." for unknown ones).
QString ErrorDescription(int number);

// A failed operation: thrown inside an operation, caught at the window's
// event handler and shown by ReportError.
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(int number, QString detail = {});
    int Number() const { return number_; }
    QString Description() const { return ErrorDescription(number_); }
    // Optional extra text for diagnostics (a file name, the failing call).
    const QString& Detail() const { return detail_; }
    const char* what() const noexcept override { return what_.constData(); }

private:
    int number_;
    QString detail_;
    QByteArray what_;
};

// errno and QFileDevice errors mapped to the program's numbers, in one place.
int ErrorFromErrno(int errnoValue);
int ErrorFromFileError(QFileDevice::FileError error, int errnoValue = 0);

// Throws the error that describes why `file` failed (its error(), with errno as a hint).
[[noreturn]] void ThrowFileError(const QFileDevice& file, int fallback = Err::DeviceIo);

}  // namespace kolbran
