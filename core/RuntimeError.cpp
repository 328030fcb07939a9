#include "core/RuntimeError.h"

#include <cerrno>

namespace kolbran {

namespace {
struct ErrorText {
    int number;
    const char16_t* text;
};

// One description per number, in the wording Japanese users know from their tools.
constexpr ErrorText kErrorTexts[] = {
    {3, u"Return に対応する GoSub がありません。"},
    {5, u"プロシージャの呼び出し、または引数が不正です。"},
    {6, u"オーバーフローしました。"},
    {7, u"メモリが不足しています。"},
    {9, u"インデックスが有効範囲にありません。"},
    {10, u"この配列は固定されているか、または一時的にロックされています。"},
    {11, u"0 で除算しました。"},
    {13, u"型が一致しません。"},
    {14, u"文字列領域が不足しています。"},
    {28, u"スタック領域が不足しています。"},
    {35, u"Sub または Function が定義されていません。"},
    {48, u"DLL 読み込み時のエラーです。"},
    {51, u"内部エラーです。"},
    {52, u"ファイル名または番号が不正です。"},
    {53, u"ファイルが見つかりません。"},
    {54, u"ファイル モードが不正です。"},
    {55, u"ファイルは既に開かれています。"},
    {57, u"デバイス I/O エラーです。"},
    {58, u"既に同名のファイルが存在しています。"},
    {59, u"レコード長が一致しません。"},
    {61, u"ディスクの空き容量が不足しています。"},
    {62, u"ファイルにこれ以上データがありません。"},
    {63, u"レコード番号が不正です。"},
    {67, u"ファイルが多すぎます。"},
    {68, u"デバイスが準備されていません。"},
    {70, u"書き込みできません。"},
    {71, u"ディスクが準備されていません。"},
    {74, u"ディスク名が異なります。"},
    {75, u"パス名が無効です。"},
    {76, u"パスが見つかりません。"},
    {91, u"オブジェクト変数または With ブロック変数が設定されていません。"},
    {94, u"Null の使い方が不正です。"},
    {380, u"プロパティの値が不正です。"},
    {481, u"ピクチャが不正です。"},
    {482, u"プリンタ エラーです。"},
    {32755, u"キャンセルされました。"},
};
}  // namespace

QString ErrorDescription(int number)
{
    for (const ErrorText& e : kErrorTexts)
        if (e.number == number)
            return QString::fromUtf16(e.text);
    return QStringLiteral(u"アプリケーション定義またはオブジェクト定義のエラーです。");
}

RuntimeError::RuntimeError(int number, QString detail)
    : number_(number), detail_(std::move(detail))
{
    what_ = (ErrorDescription(number_) + QStringLiteral(" (") + QString::number(number_) +
             QStringLiteral(")") + (detail_.isEmpty() ? QString() : QStringLiteral(": ") + detail_))
                .toUtf8();
}

int ErrorFromErrno(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT: return Err::FileNotFound;
    case ENOTDIR: return Err::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return Err::PermissionDenied;
    case EISDIR: return Err::PathFileAccess;
    case EEXIST: return Err::FileAlreadyExists;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return Err::DiskFull;
    case EMFILE:
    case ENFILE: return 67;
    case ENOMEM: return Err::OutOfMemory;
    case EXDEV: return Err::PathFileAccess;
    case ENAMETOOLONG:
    case EINVAL: return Err::BadFileNameOrNumber;
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK: return Err::PermissionDenied;
    case ENODEV:
    case ENXIO: return Err::DiskNotReady;
    default: return Err::DeviceIo;
    }
}

int ErrorFromFileError(QFileDevice::FileError error, int errnoValue)
{
    if (errnoValue != 0 && error != QFileDevice::NoError)
        return ErrorFromErrno(errnoValue);
    switch (error) {
    case QFileDevice::NoError: return 0;
    case QFileDevice::ReadError: return Err::DeviceIo;
    case QFileDevice::WriteError: return Err::DeviceIo;
    case QFileDevice::FatalError: return Err::DeviceIo;
    case QFileDevice::ResourceError: return Err::DiskFull;
    case QFileDevice::OpenError: return Err::FileNotFound;
    case QFileDevice::AbortError: return Err::DeviceIo;
    case QFileDevice::TimeOutError: return Err::DeviceIo;
    case QFileDevice::UnspecifiedError: return Err::DeviceIo;
    case QFileDevice::RemoveError: return Err::PermissionDenied;
    case QFileDevice::RenameError: return Err::PathFileAccess;
    case QFileDevice::PositionError: return Err::BadRecordNumber;
    case QFileDevice::ResizeError: return Err::DiskFull;
    case QFileDevice::PermissionsError: return Err::PermissionDenied;
    case QFileDevice::CopyError: return Err::PathFileAccess;
    }
    return Err::DeviceIo;
}

void ThrowFileError(const QFileDevice& file, int fallback)
{
    const int saved = errno;
    int number = ErrorFromFileError(file.error(), saved);
    if (number == 0)
        number = fallback;
    throw RuntimeError(number, file.fileName());
}

}  // namespace kolbran
