#include "help/HelpTexts.h"

#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <QSettings>
#include <QFileInfo>
#endif

static void InitHelpResources()
{
    Q_INIT_RESOURCE(help_texts);
}

namespace kolbran {

namespace {

QString ResourceText(const QString& name)
{
    static const bool initialised = [] {
        InitHelpResources();
        return true;
    }();
    Q_UNUSED(initialised);
    QFile file(QStringLiteral(":/help/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

}  // namespace

QStringList HelpTopicNames()
{
    return {QStringLiteral(u"制限事項"),         QStringLiteral(u"HTMLの<TABLE>ﾀｸﾞ"),
            QStringLiteral(u"描画ファイルの説明(1)"), QStringLiteral(u"描画ファイルの説明(2)"),
            QStringLiteral(u"拡張ﾊﾞｲﾅﾘﾌｧｲﾙの説明"),  QStringLiteral(u"ｴﾝｺｰﾄﾞ/ﾃﾞｺｰﾄﾞの説明")};
}

QString HelpTopicText(int topic)
{
    if (topic < 2 || topic > 7)
        return {};
    return ResourceText(QStringLiteral("topic%1.txt").arg(topic));
}

QString MenuExplanationText(int menu)
{
    if (menu < 0 || menu > 5)
        return {};
    return ResourceText(QStringLiteral("menu%1.txt").arg(menu));
}

int HelpStartTopic(int requestIndex)
{
    return requestIndex >= 2 && requestIndex <= 7 ? requestIndex : -1;
}

QString ProgramVersion()
{
    return QStringLiteral(KOLBRAN_VERSION);
}

QStringList SystemInfoCommand()
{
#ifdef Q_OS_WIN
    // Read access only: the keys belong to the system.
    QSettings info(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                   QSettings::NativeFormat);
    QString path = info.value(QStringLiteral("PATH")).toString();
    if (path.isEmpty()) {
        QSettings location(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location"),
                           QSettings::NativeFormat);
        const QString folder = location.value(QStringLiteral("MSINFO")).toString();
        if (!folder.isEmpty() && QFileInfo::exists(folder + QStringLiteral("\\MSINFO32.EXE")))
            path = folder + QStringLiteral("\\MSINFO32.EXE");
    }
    return path.isEmpty() ? QStringList() : QStringList{path};
#else
    const QList<QStringList> candidates{{QStringLiteral("hardinfo")},
                                        {QStringLiteral("kinfocenter")},
                                        {QStringLiteral("gnome-control-center"), QStringLiteral("info-overview")}};
    for (QStringList c : candidates) {
        const QString found = QStandardPaths::findExecutable(c[0]);
        if (!found.isEmpty()) {
            c[0] = found;
            return c;
        }
    }
    return {};
#endif
}

}  // namespace kolbran
