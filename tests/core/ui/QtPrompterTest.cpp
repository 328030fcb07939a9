#include "core/ui/QtPrompter.h"

#include "base64/Base64.h"
#include "base64/Conversion.h"
#include "binary/BinaryRuns.h"
#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/FileFacade.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace kolbran;

namespace {

// Save boxes go to the real Qt dialog; every other question to a script.
class DialogPrompter final : public Prompter {
public:
    QtPrompter qt;
    test::ScriptedPrompter script;
    MsgAnswer Message(const QString& t, MsgIcon i, MsgButtons b, const QString& title) override
    {
        return script.Message(t, i, b, title);
    }
    std::optional<QString> Input(const QString& p, const QString& t, const QString& d) override
    {
        return script.Input(p, t, d);
    }
    QString OpenFileName(const FileDialogRequest& r) override { return qt.OpenFileName(r); }
    QString SaveFileName(const FileDialogRequest& r) override { return qt.SaveFileName(r); }
    bool PrinterSetup(PrinterChoice& c) override { return script.PrinterSetup(c); }
};

// What the user saw in the next file dialog: its name box, before and after choosing the
// last entry of the type box, and the type box's entries. Enter then accepts the dialog.
struct DialogSeen {
    QString nameBefore;
    QString nameAfterLastType;
    QStringList types;
    QString lookInLabel;
};

void DriveNextFileDialog(DialogSeen& seen, bool switchType = true)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, &seen, switchType] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        if (auto* label = dialog->findChild<QLabel*>(QStringLiteral("lookInLabel")))
            seen.lookInLabel = label->text();
        seen.nameBefore = edit->text();
        for (int i = 0; i < combo->count(); ++i)
            seen.types.append(combo->itemText(i));
        if (switchType) {
            combo->setFocus();
            QTest::keyClick(combo, Qt::Key_End);
        }
        seen.nameAfterLastType = edit->text();
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
    });
    timer->start();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

class QtPrompterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(InstallQtJapaneseTranslation(*QCoreApplication::instance())); }

    // Every save box of the binary tools proposes its default name and keeps it when the
    // type box is switched to "全てのﾌｧｲﾙ(*.*)"; Enter saves under that name.
    void saveBoxesKeepTheProposedName_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("caller");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("types");
        const QString all = QStringLiteral(u"全てのﾌｧｲﾙ(*.*)");
        QTest::newRow("dump") << int(OutputKind::Dump) << int(OutputCaller::BinaryView) << QStringLiteral("p70.DMP")
                              << QStringList{QStringLiteral(u"ﾀﾞﾝﾌﾟ(*.DMP)"), all};
        QTest::newRow("B from the view") << int(OutputKind::BinaryDisplay) << int(OutputCaller::BinaryView)
                                         << QStringLiteral("p70.B")
                                         << QStringList{QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙ(*.B)"), all};
        QTest::newRow("B from the conversion dialog")
            << int(OutputKind::BinaryDisplay) << int(OutputCaller::ConversionDialog) << QStringLiteral("p70.B")
            << QStringList{QStringLiteral(u"ﾊﾞｲﾅﾘ表示ﾌｧｲﾙ(*.B)"), all};
        QTest::newRow("K") << int(OutputKind::Extended) << int(OutputCaller::ConversionDialog)
                           << QStringLiteral("p70.K")
                           << QStringList{QStringLiteral(u"拡張ﾊﾞｲﾅﾘ表示ﾌｧｲﾙ(*.K)"), all};
        QTest::newRow("restore") << int(OutputKind::Restore) << int(OutputCaller::MainWindow)
                                 << QStringLiteral("p70.XXX")
                                 << QStringList{QStringLiteral(u"実行ﾌｧｲﾙ(*.EXE)"), QStringLiteral(u"圧縮ﾌｧｲﾙ(*.LZH)"), all};
    }
    void saveBoxesKeepTheProposedName()
    {
        QFETCH(int, kind);
        QFETCH(int, caller);
        QFETCH(QString, expected);
        QFETCH(QStringList, types);
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("p70.txt"));
        WriteFile(source, "abc");
        DialogPrompter prompter;
        AppState state(prompter);
        DialogSeen seen;
        DriveNextFileDialog(seen);
        const QString chosen = ChooseOutputPath(state, source, OutputKind(kind), OutputCaller(caller));
        QCOMPARE(seen.nameBefore, expected);
        QCOMPARE(seen.nameAfterLastType, expected);
        QCOMPARE(seen.types, types);
        QCOMPARE(FileNamePart(chosen), expected);
    }

    // The BASE64 boxes: the encoder proposes ".b64", the decoder the ".XXX" name under
    // "全てのﾌｧｲﾙ(*.*)" preselected.
    void base64BoxesKeepTheProposedName()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("p70.txt"));
        WriteFile(source, "abc");
        DialogPrompter prompter;
        AppState state(prompter);
        ConversionRequest request;
        request.source = source;
        DialogSeen encode;
        DriveNextFileDialog(encode);
        const ConversionResult encoded = EncodeBase64File(state, request, {});
        QCOMPARE(encode.nameBefore, FileNamePart(DefaultEncodeName(source, false)));
        QCOMPARE(encode.nameAfterLastType, encode.nameBefore);
        QCOMPARE(FileNamePart(encoded.output), encode.nameBefore);

        request.source = encoded.output;
        DialogSeen decode;
        DriveNextFileDialog(decode, false);
        const ConversionResult decoded = DecodeBase64File(state, request, {});
        QCOMPARE(decode.nameBefore, FileNamePart(DefaultDecodeName(encoded.output)));
        QVERIFY(!decode.nameBefore.endsWith(QStringLiteral(".*")));
        QCOMPARE(FileNamePart(decoded.output), decode.nameBefore);
    }

    // A description without its pattern gets it added once; Qt's own labels are Japanese.
    void filterTextsAndLabels()
    {
        QtPrompter qt;
        FileDialogRequest request;
        request.filter = QStringLiteral(u"ﾃｷｽﾄ文書(*.txt)|*.txt|Text|*.txt;*.log");
        request.initialName = QStringLiteral("a.txt");
        DialogSeen seen;
        DriveNextFileDialog(seen, false);
        qt.SaveFileName(request);
        QCOMPARE(seen.types, (QStringList{QStringLiteral(u"ﾃｷｽﾄ文書(*.txt)"), QStringLiteral("Text (*.txt *.log)")}));
        QVERIFY2(!seen.lookInLabel.isEmpty() && seen.lookInLabel != QStringLiteral("Look in:"),
                 qPrintable(seen.lookInLabel));
    }

    void messageBoxButtonsAreJapanese()
    {
        QtPrompter qt;
        QStringList texts;
        QTimer::singleShot(0, [&texts] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton* b : box->buttons())
                texts.append(b->text());
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(qt.Message(QStringLiteral(u"上書きしますか？"), MsgIcon::Question, MsgButtons::YesNoCancel, {}),
                 MsgAnswer::No);
        texts.sort();
        QStringList expected{QStringLiteral(u"はい(&Y)"), QStringLiteral(u"いいえ(&N)"), QStringLiteral(u"キャンセル")};
        expected.sort();
        QCOMPARE(texts, expected);
    }
};

QTEST_MAIN(QtPrompterTest)
#include "QtPrompterTest.moc"
