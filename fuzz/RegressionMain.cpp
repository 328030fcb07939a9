// Runs a harness once on every file of the corpus folders named on the command line, so that
// the committed seeds and crash inputs are checked by every test run without libFuzzer.
#include "fuzz/Harness.h"

#include <QDirIterator>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    kolbran::fuzz::EnsureGuiApplication();
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        QDirIterator it(QString::fromLocal8Bit(argv[i]), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(f.fileName()));
                return 1;
            }
            const QByteArray bytes = f.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
            ++files;
        }
    }
    if (files == 0) {
        std::fprintf(stderr, "no corpus files\n");
        return 1;
    }
    std::printf("%d corpus files passed\n", files);
    return 0;
}
