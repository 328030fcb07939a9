#include "fuzz/Harness.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace kolbran::fuzz {

void Fail(const char* what)
{
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}

QString ScratchFolder()
{
    static QTemporaryDir dir;
    return dir.path();
}

QString WriteScratchFile(const QString& name, const char* bytes, size_t size)
{
    const QString path = ScratchFolder() + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes, qint64(size)) != qint64(size))
        Fail("scratch file not written");
    return path;
}

void EnsureGuiApplication()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

}  // namespace kolbran::fuzz
