#include "common/ScriptedPrompter.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/Fonts.h"
#include "core/Settings.h"
#include "core/ui/PrintDevice.h"
#include "printing/ui/PrtSet.h"
#include "viewer/LineLoader.h"
#include "viewer/ViewerHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QProgressBar>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <QPainter>
#include <QPrinter>

#include "printing/TextPrint.h"

using namespace kolbran;

namespace {

int Pages(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(60000);
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// A printer job in QPrinter's PDF mode: the engine on a QPrinter as on a printer.
class QPrinterPdfJob final : public PaintJob {
public:
    explicit QPrinterPdfJob(const QString& path) : printer_(QPrinter::HighResolution)
    {
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(path);
        printer_.setPageSize(QPageSize(QPageSize::A4));
        printer_.setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
    }
    QPagedPaintDevice& Device() override { return printer_; }
    QPainter& Painter() override
    {
        if (!painter_.isActive())
            painter_.begin(&printer_);
        return painter_;
    }
    void Commit() override { painter_.end(); }
    void Discard() override { painter_.end(); }

private:
    QPrinter printer_;
    QPainter painter_;
};

int16_t At16(const QByteArray& record, int offset)
{
    return int16_t(uint8_t(record[offset]) | (uint8_t(record[offset + 1]) << 8));
}

}  // namespace

class PrtSetTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/kolbran_prtset_XXXXXX")};
    test::ScriptedPrompter prompter;
    std::unique_ptr<AppState> state;
    ViewerHost host;

    QString Path(const QString& name) const { return dir.filePath(name); }
    void Open(int lines)
    {
        QByteArray bytes;
        for (int i = 1; i <= lines; ++i)
            bytes += "line " + QByteArray::number(i) + "\r\n";
        QFile f(Path(QStringLiteral("doc.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        PrOpen(*state, host, Path(QStringLiteral("doc.txt")));
        QVERIFY(state->doc.HasFile());
    }

private Q_SLOTS:
    void initTestCase()
    {
        InstallFontSubstitutions();
        QVERIFY(!PrinterInstalled());  // the jobs go to PDF files here
    }
    void init()
    {
        prompter.prompts.clear();
        prompter.fileNames.clear();
        state = std::make_unique<AppState>(prompter);
        state->SettingsFolder = dir.path();
        SetFirstRunValues(state->settings, QDate(2006, 4, 1));
        SetRunTimeValues(state->settings);
        state->settings.LinesPerScreen = 32;
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
    }
    void cleanup() { ResetDocumentState(*state); }

    void AttributeModeWithoutADocument()
    {
        PrtSet w(*state);
        QVERIFY(w.AttributeMode());
        QCOMPARE(w.windowTitle(), QStringLiteral(u"印刷属性"));
        QVERIFY(!w.Command1->isVisibleTo(&w));
        QVERIFY(!w.Frame1->isEnabled());
        QVERIFY(!w.Check2->isVisibleTo(&w));
        QVERIFY(!w.HScroll3->isVisibleTo(&w));
        QVERIFY(!w.Check4->isVisibleTo(&w));
        QCOMPARE(w.Combo1->currentText(), QStringLiteral(u"ＭＳ 明朝"));
        QCOMPARE(w.Combo2->currentText(), QStringLiteral("10.5"));
        QCOMPARE(w.Text1->text(), QStringLiteral("10"));
        QCOMPARE(w.Label8->text(), QStringLiteral("PDF"));
        QVERIFY(w.Label2->text().toInt() > 40);
        for (const QString& name : {QStringLiteral(u"ＭＳ 明朝"), QStringLiteral(u"ＭＳ ゴシック"),
                                    QStringLiteral(u"標準明朝"), QStringLiteral(u"標準ゴシック")})
            QVERIFY(w.Combo1->findText(name) >= 0);
        for (int i = 0; i < w.Combo1->count(); ++i)
            QVERIFY(SjisLength(w.Combo1->itemText(i)) <= 26);
    }

    void SavingStoresTheAttributesAndResetsABadMargin()
    {
        PrtSet w(*state);
        w.Combo1->setEditText(QStringLiteral(u"ＭＳ ゴシック"));
        w.Combo2->setEditText(QStringLiteral("12"));
        w.Option3_0->setChecked(true);
        w.Check1_0->setChecked(false);
        w.Check3->setChecked(true);
        w.Option5_1->setChecked(true);
        w.Text1->setText(QStringLiteral("abc"));
        QTest::mouseClick(w.Command4, Qt::LeftButton);
        QCOMPARE(prompter.prompts.last().text, QStringLiteral(u"印刷属性を保存しました。"));
        QCOMPARE(prompter.prompts.last().icon, MsgIcon::Information);
        QCOMPARE(w.Text1->text(), QStringLiteral("10"));
        w.close();
        const QByteArray record = EncodeSettingsRecord(state->settings);
        QCOMPARE(record.mid(32, 26).left(ToSjis(u"ＭＳ ゴシック").size()), ToSjis(u"ＭＳ ゴシック"));
        QCOMPARE(record.mid(58, 2), QByteArray("12"));
        QCOMPARE(At16(record, 128), int16_t(-5));  // numbering off, date only
        QCOMPARE(At16(record, 130), int16_t(1));
        QCOMPARE(At16(record, 132), int16_t(0));
        QCOMPARE(At16(record, 134), int16_t(10));
        // A size that is not a number keeps the last good one.
        PrtSet again(*state);
        QCOMPARE(again.Option5_1->isChecked(), true);
        QVERIFY(!again.Text1->isEnabled());
        again.Combo2->setEditText(QStringLiteral("-2"));
        QTest::mouseClick(again.Command4, Qt::LeftButton);
        QCOMPARE(state->settings.PrintFontSize, QStringLiteral("12"));
    }

    void PrintsTheDocumentToTheNamedPdfAndCloses()
    {
        Open(100);
        PrtSet w(*state);
        QVERIFY(!w.AttributeMode());
        QCOMPARE(w.windowTitle(), QStringLiteral(u"印刷"));
        const QString pdf = Path(QStringLiteral("doc.pdf"));
        prompter.fileNames.enqueue(pdf);
        w.show();
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        const auto& save = prompter.prompts.last();
        QCOMPARE(save.kind, QStringLiteral("save"));
        QCOMPARE(save.request.initialName, QStringLiteral("doc.pdf"));
        QVERIFY(QFile::exists(pdf));
        QVERIFY(Pages(pdf) >= 2);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(!state->BusyFlag);
    }

    void ACancelledSaveBoxPrintsNothing()
    {
        Open(5);
        PrtSet w(*state);
        w.show();
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QVERIFY(w.isVisible());
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.pdf")}).size(), 0);
    }

    void ADeviceThatCannotStartIsAnErrorNotASuccess()
    {
        Open(5);
        PrtSet w(*state);
        w.show();
        w.Check3->setChecked(true);
        prompter.fileNames.enqueue(Path(QStringLiteral("missing/out.pdf")));
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        const auto& message = prompter.prompts.last();
        QVERIFY2(message.text.startsWith(QStringLiteral(u"印刷途中でエラーが発生しました。( ")), qPrintable(message.text));
        QCOMPARE(message.icon, MsgIcon::Warning);
        QVERIFY(w.isVisible());  // not closed as after a print
        QVERIFY(w.Command1->isEnabled());
        QCOMPARE(state->settings.PrintLineNumbers, int16_t(0));  // the choices are kept only after a print
        QVERIFY(!state->BusyFlag);
    }

    void CancelAndCloseWhilePrintingLeaveNoFile()
    {
        Open(20000);
        for (bool byClose : {false, true}) {
            PrtSet w(*state);
            w.show();
            const QString pdf = Path(QStringLiteral("cancel.pdf"));
            prompter.fileNames.enqueue(pdf);
            QTimer::singleShot(0, &w, [&] {
                QVERIFY(w.Printing());
                QVERIFY(w.Frame5->isVisible());
                QVERIFY(!w.Command1->isEnabled());
                if (byClose)
                    w.close();
                else
                    QTest::mouseClick(w.Command5, Qt::LeftButton);
            });
            QTest::mouseClick(w.Command1, Qt::LeftButton);
            QVERIFY(!w.Printing());
            QVERIFY(!QFile::exists(pdf));
            QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.pdf*")}).size(), 0);
            QCOMPARE(w.isVisible(), !byClose);
            if (!byClose) {
                QVERIFY(w.Command1->isEnabled());
                QVERIFY(!w.Frame5->isVisible());
            }
        }
    }

    void RangeBarsAroundTheTopLine()
    {
        Open(10000);
        state->doc.TopLine = 5000;
        PrtSet w(*state);
        QVERIFY(!w.HScroll1->isEnabled());
        w.Option2->setChecked(true);
        QVERIFY(w.HScroll1->isEnabled());
        QCOMPARE(w.HScroll1->minimum(), 904);
        QCOMPARE(w.HScroll1->maximum(), 9096);
        QCOMPARE(w.HScroll1->value(), 5000);
        QCOMPARE(w.HScroll2->value(), 5031);
        QCOMPARE(w.Label5->text(), QStringLiteral(u"印刷する行数:32"));
        // The start never passes the end.
        w.HScroll1->setValue(6000);
        QCOMPARE(w.HScroll2->value(), 6000);
        w.HScroll2->setValue(5500);
        QCOMPARE(w.HScroll1->value(), 5500);
        QCOMPARE(w.Label5->text(), QStringLiteral(u"印刷する行数:1"));
    }

    void TheEnginePrintsOnAPrinterDevice()
    {
        const QString pdf = Path(QStringLiteral("printer.pdf"));
        QPrinterPdfJob job(pdf);
        TextPrintOptions o;
        o.HeaderText = QStringLiteral("p.txt");
        const TextPrintLayout l = ComputeTextPrintLayout(job.Device(), o);
        const TextPrintResult r = PrintText(job, o, 1, l.LinesPerPage + 1,
                                            [](int64_t) { return QStringLiteral(u"日本語\r\n"); });
        job.Commit();
        QCOMPARE(r.Sheets, 2);
        QCOMPARE(Pages(pdf), 2);
        QProcess p;
        p.start(QStringLiteral("pdffonts"), {pdf});
        p.waitForFinished(60000);
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains(QStringLiteral("IPAMincho")));
    }

    void JobsWithoutTheSaveBoxTakeTheDefaultName()
    {
        const QString source = Path(QStringLiteral("set.txt"));
        {
            auto job = BeginPrintJob(*state, source, {}, false);
            QVERIFY(job);
            QCOMPARE(job->OutputPath(), Path(QStringLiteral("set.pdf")));
            job->Painter();
            QVERIFY(!QFile::exists(Path(QStringLiteral("set.pdf"))));  // only once committed
            job->Commit();
        }
        QCOMPARE(Pages(Path(QStringLiteral("set.pdf"))), 1);
        QCOMPARE(prompter.prompts.size(), 0);
        // An existing PDF is kept when the overwrite is declined.
        QVERIFY(!BeginPrintJob(*state, source, {}, false));
        QCOMPARE(prompter.prompts.last().buttons, MsgButtons::YesNo);
        QVERIFY(QFile::exists(Path(QStringLiteral("set.pdf"))));
        // Printing a file onto itself is refused.
        prompter.fileNames.enqueue(source);
        QVERIFY(!BeginPrintJob(*state, source));
        QCOMPARE(prompter.prompts.last().text, QStringLiteral(u"元ファイルと同名のファイル名は使用できません。"));
    }

    void OnePageBoxFollowsDebugFlag2()
    {
        Open(3);
        {
            PrtSet w(*state);
            QVERIFY(!w.Check4->isVisibleTo(&w));
        }
        state->settings.DebugFlags = 2;
        PrtSet w(*state);
        QVERIFY(w.Check4->isVisibleTo(&w));
    }
};

QTEST_MAIN(PrtSetTest)
#include "PrtSetTest.moc"
