#pragma once

#include "common/RecordingViewerHost.h"
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "viewer/LineLoader.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace kolbran::test {

// A temporary folder, a fresh AppState and a recording main window.
class LoaderFixture : public ::testing::Test {
protected:
    LoaderFixture() : state(prompter)
    {
        state.SettingsFolder = dir.path();
        state.settings.LinesPerScreen = 32;
    }

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        EXPECT_EQ(f.write(bytes), bytes.size());
        return path;
    }

    // Opens `bytes` as the document and returns entries 1..LineCount + 1.
    std::vector<FileOffset> Index(const QByteArray& bytes)
    {
        const QString path = Write(QStringLiteral("doc.txt"), bytes);
        PrOpen(state, host, path);
        return Entries();
    }

    std::vector<FileOffset> Entries() const
    {
        std::vector<FileOffset> entries;
        for (int64_t n = 1; n <= int64_t(state.doc.LineCount) + 1; ++n)
            entries.push_back(GetLineStart(state, n));
        return entries;
    }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    AppState state;
    RecordingViewerHost host;
};

inline QByteArray Repeat(const QByteArray& unit, int times)
{
    return unit.repeated(times);
}

}  // namespace kolbran::test
