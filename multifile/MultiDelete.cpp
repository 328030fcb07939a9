#include "multifile/MultiDelete.h"

#include "core/AppState.h"
#include "core/FileFacade.h"
#include "viewer/Transforms.h"

#include <QFile>

namespace kolbran {

QList<DeleteRule> CurrentDeleteRules(const AppState& state)
{
    if (state.settings.DeleteRuleCount <= 0)
        return {};
    return UsableRules(ReadDeleteRules(state.settings.SettingsPath, state.settings.DeleteRuleCount));
}

QString DeleteLinesQuestion(const AppState& state, const QString& name)
{
    return QStringLiteral(u"「") + name + QStringLiteral(u"」を変換します！") + state.settings.LineBreak +
           QStringLiteral(u"(削除行実行)");
}

DeleteOutcome DeleteLinesInFile(AppState& state, const QString& path, const QList<DeleteRule>& rules,
                                const DeleteStep& step, QString* reason)
{
    state.doc.DocumentName = path;  // errors name the file
    TransformOptions t;
    t.kind = TransformKind::DeleteLines;
    t.utf16 = FileIsUtf16(path);
    t.rules = UsableRules(rules);
    bool cancelled = false;
    const RewriteResult result = RewriteFile(
        state, path,
        [&](QIODevice& out) {
            const std::unique_ptr<QFile> in = OpenFile(path, QIODevice::ReadOnly, FileShare::Shared);
            const bool done = RunTransform(t, *in, in->size(), out, [&](int64_t d, int64_t total) {
                return !step || step(d, total);
            });
            cancelled = !done;
            return done;
        },
        reason);
    if (result == RewriteResult::Refused)
        return DeleteOutcome::Refused;
    return cancelled ? DeleteOutcome::Cancelled : DeleteOutcome::Rewritten;
}

}  // namespace kolbran
