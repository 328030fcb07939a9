#pragma once

#include <QString>
#include <QStringList>

namespace kolbran {

// Removes "--settings-dir DIR" when it stands first among the arguments and returns DIR
// (empty when absent).
QString TakeSettingsDirArgument(QStringList& args);
// The folder of KOLBRAN.DAT and KOLBRAN.INI: `override` when given, else the executable's
// folder when it is writable, else the per-user configuration folder.
QString ChooseSettingsFolder(const QString& executableFolder, const QString& override);

}  // namespace kolbran
