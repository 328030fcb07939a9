#include "binary/DocumentRestore.h"

#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "viewer/LineLoader.h"
#include "viewer/ViewerHost.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace kolbran;

namespace {

class RecordingHost final : public ViewerHost {
public:
    QStringList panel1;
    bool timer = true;
    void SetStatusPanel(int panel, const QString& text) override
    {
        if (panel == 1)
            panel1.append(text);
    }
    bool Timer1Enabled() const override { return timer; }
    void SetTimer1Enabled(bool enabled) override { timer = enabled; }
};

struct Fixture {
    test::ScriptedPrompter prompter;
    AppState state{prompter};
    RecordingHost host;
    QTemporaryDir dir;

    void Open(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        PrOpen(state, host, path);
        ASSERT_GT(state.doc.LineCount, 0);
    }
    QByteArray Read(const QString& name)
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

}  // namespace

TEST(DocumentRestore, RestoresTheOpenDocument)
{
    Fixture f;
    f.Open(QStringLiteral("data.K"), "41-442\r\n43");
    f.state.doc.DisplayCode = 3;
    const QString target = f.dir.filePath(QStringLiteral("out.XXX"));
    f.prompter.fileNames.enqueue(target);
    RestoreDocumentCommand(f.state, f.host);
    EXPECT_EQ(f.Read(QStringLiteral("out.XXX")), QByteArray("AAAAABC"));
    EXPECT_EQ(f.state.doc.DisplayCode, 0);
    const auto& save = f.prompter.prompts.first();
    EXPECT_EQ(save.request.title, QStringLiteral(u"ﾊﾞｲﾅﾘﾌｧｲﾙの復元"));
    EXPECT_EQ(save.request.initialName, QStringLiteral("data.XXX"));
    EXPECT_EQ(save.request.filterIndex, 3);
    EXPECT_EQ(f.prompter.Messages().last(), target + QStringLiteral(u"を生成しました。"));
    EXPECT_EQ(f.prompter.prompts.last().title, QStringLiteral(u"ﾊﾞｲﾅﾘ復元"));
    EXPECT_EQ(f.prompter.prompts.last().icon, MsgIcon::Information);
    EXPECT_TRUE(f.host.timer);
    EXPECT_TRUE(f.host.panel1.last().isEmpty());
}

TEST(DocumentRestore, ALineStartingWithAMarkerIsReported)
{
    Fixture f;
    f.Open(QStringLiteral("bad.B"), "4142\r\n-3\r\n");
    f.prompter.fileNames.enqueue(f.dir.filePath(QStringLiteral("bad.XXX")));
    RestoreDocumentCommand(f.state, f.host);
    EXPECT_EQ(f.prompter.Messages().last(),
              QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙではないようです。確認してください。( 5 )"));
    EXPECT_EQ(f.prompter.prompts.last().icon, MsgIcon::Warning);
    EXPECT_EQ(f.prompter.prompts.last().title, QStringLiteral(u"ﾊﾞｲﾅﾘ復元"));
    EXPECT_TRUE(f.host.timer);
}

TEST(DocumentRestore, CancelledDialogDoesNothing)
{
    Fixture f;
    f.Open(QStringLiteral("c.B"), "41\r\n");
    RestoreDocumentCommand(f.state, f.host);
    EXPECT_EQ(f.prompter.Messages().size(), 0);
    EXPECT_FALSE(QFile::exists(f.dir.filePath(QStringLiteral("c.XXX"))));
}
