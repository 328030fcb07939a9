#include "viewer/ui/LogFile.h"

#include "core/AppState.h"

namespace kolbran {

LogFile::LogFile(AppState& state, const QString& commandLine, QWidget* parent)
    : QMainWindow(parent), state_(state)
{
    Q_UNUSED(commandLine);
    setObjectName(QStringLiteral("LogFile"));
    setWindowTitle(QStringLiteral("Kolbran"));
}

}  // namespace kolbran
