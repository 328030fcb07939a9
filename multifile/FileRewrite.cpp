#include "multifile/FileRewrite.h"

#include "core/AppState.h"
#include "core/FileFacade.h"
#include "core/Guards.h"
#include "viewer/Transforms.h"

namespace kolbran {

RewriteResult RewriteFile(AppState& state, const QString& path, const std::function<bool(QIODevice& out)>& write,
                          QString* reason)
{
    const FileAttributes a = GetFileAttributes(path);
    if (a.readOnly || a.hidden) {
        if (reason != nullptr)
            *reason = a.readOnly ? QStringLiteral(u"「読み出し専用」ファイルを更新することはできません。")
                                 : QStringLiteral(u"「隠しファイル」を更新することはできません。");
        return RewriteResult::Refused;
    }
    QString written;
    {
        TempOutput temp(path);
        if (!write(temp.Device()))
            return RewriteResult::Kept;  // the temporary file goes with `temp`
        written = temp.Commit();
    }
    // ReplaceWithBackup works on the current document: the file being processed.
    state.doc.File.reset();
    state.doc.DocumentName = path;
    ReplaceWithBackup(state, written);
    return RewriteResult::Replaced;
}

}  // namespace kolbran
