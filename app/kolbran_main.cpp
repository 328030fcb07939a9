// kolbran [--settings-dir DIR] [FILE]: the viewer. The rest of the command line is the file name.
#include "core/AppState.h"
#include "core/Fonts.h"
#include "core/SettingsFolder.h"
#include "core/ui/QtPrompter.h"
#include "core/ui/WindowRegistry.h"
#include "generators/ui/GeneratorsWindows.h"
#include "viewer/ui/LogFile.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kolbran"));
    QApplication::setApplicationVersion(QStringLiteral(KOLBRAN_VERSION));
    kolbran::InstallFontSubstitutions();
    // Qt's own dialog texts in Japanese, like the program's, whatever the locale.
    kolbran::InstallQtJapaneseTranslation(app);

    QStringList args = QApplication::arguments().mid(1);
    const QString settingsDir = kolbran::TakeSettingsDirArgument(args);

    kolbran::QtPrompter prompter;
    kolbran::AppState state(prompter);
    state.SettingsFolder =
        kolbran::ChooseSettingsFolder(QApplication::applicationDirPath(), settingsDir);
    kolbran::RegisterSearchWindows(state);
    kolbran::RegisterTransformWindows(state);
    kolbran::RegisterBinaryWindows(state);
    kolbran::RegisterSplitJoinWindows(state);
    kolbran::RegisterBase64Windows(state);
    kolbran::RegisterImagesWindows(state);
    kolbran::RegisterCompareWindows(state);
    kolbran::RegisterImageListWindows(state);
    kolbran::RegisterOptionsWindows(state);
    kolbran::RegisterPrintingWindows(state);
    kolbran::RegisterHelpWindows(state);
    kolbran::RegisterGeneratorsWindows(state);
    kolbran::RegisterEditorWindows(state);
    kolbran::RegisterDrawingWindows(state);
    kolbran::RegisterMltPrtWindows(state);
    kolbran::RegisterMltScanWindows(state);
    kolbran::RegisterMltTranWindows(state);
    kolbran::RegisterMltChiKWindows(state);

    // The window loads itself (settings, geometry, the command-line file) and shows itself.
    kolbran::LogFile window(state, args.join(u' '));
    prompter.SetParent(&window);
    // Tool windows left open beside it do not keep the program running.
    QObject::connect(&window, &kolbran::LogFile::Unloaded, &app, &QApplication::quit, Qt::QueuedConnection);
    return app.exec();
}
