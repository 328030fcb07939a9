#include "multifile/ui/MltDLine.h"

#include "core/AppState.h"
#include "core/Prompter.h"
#include "multifile/MultiDelete.h"
#include "multifile/ui/FileSetControls.h"

#include <QLabel>
#include <QPushButton>

namespace kolbran {

MltDLine::MltDLine(AppState& state, MltDLineMemory& memory, QWidget* parent)
    : MultiRunDialog(state, FileSetUse::DeleteLines, memory.pattern, QStringLiteral(u"複数ファイル削除行"),
                     QStringLiteral(u"１ﾌｧｲﾙづつ確認する(&K)"), parent),
      memory_(memory)
{
    setObjectName(QStringLiteral("MltDLine"));
    connect(Command1, &QPushButton::clicked, this, &MltDLine::Command1_Click);
}

void MltDLine::Command1_Click()
{
    RunOverSelection(
        {}, [this](const QString& name) { return DeleteLinesQuestion(state_, name); },
        [this](const QString& name, const QString& path) { DeleteOne(name, path); });
    memory_.pattern = Sets->PatternIndex();
}

void MltDLine::DeleteOne(const QString& name, const QString& path)
{
    // The rules are read again for every file.
    QString reason;
    const DeleteOutcome outcome = DeleteLinesInFile(state_, path, CurrentDeleteRules(state_),
                                                    [this](int64_t done, int64_t total) { return Step(done, total); },
                                                    &reason);
    if (outcome == DeleteOutcome::Refused)
        state_.prompter.Message(QStringLiteral(u"「") + name + QStringLiteral(u"」") + state_.settings.LineBreak + reason,
                                MsgIcon::Warning);
}

}  // namespace kolbran
