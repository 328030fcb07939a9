#include "core/SettingsFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kolbran {

QString TakeSettingsDirArgument(QStringList& args)
{
    if (args.size() >= 2 && args[0] == QLatin1String("--settings-dir")) {
        const QString dir = args[1];
        args.remove(0, 2);
        return dir;
    }
    return {};
}

QString ChooseSettingsFolder(const QString& executableFolder, const QString& override)
{
    if (!override.isEmpty()) {
        QDir().mkpath(override);
        return QDir(override).absolutePath();
    }
    const QFileInfo info(executableFolder);
    if (info.isDir() && info.isWritable())
        return info.absoluteFilePath();
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(user);
    return user;
}

}  // namespace kolbran
