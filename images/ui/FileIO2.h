#pragma once

#include "core/FileListing.h"
#include "images/ImageBrowser.h"

#include <QDialog>
#include <QImage>

#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QStackedWidget;
class QWidget;

namespace kolbran {

struct AppState;
class DriveList;
class FileList;
class FolderList;
class ViewerHost;

// The program's own file dialog, in the mode AppState::FileDialogMode names:
// 0 open a file into the viewer, 1 name a new empty document, 2 save the document as.
// In open mode it also offers the binary view, the attribute options and the image browser.
class FileIO2 final : public QDialog {
    Q_OBJECT
public:
    explicit FileIO2(AppState& state, QWidget* parent = nullptr);
    ~FileIO2() override;

    // The dialog closed after a successful OK (or a binary view that opened its file).
    bool Done() const { return done_; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildFilePanel();
    void BuildOptionPanel();
    void BuildImagePanel();
    void Form_Load();

    // Navigation.
    void SelectDrive_Change(const QString& root);
    void SelectDir_Change(const QString& folder);
    void Combo1_Click(int index);
    void SelFile_Enter();
    void FileSelect_Click(const FileEntry& entry);
    void FileSelect_DblClick(const FileEntry& entry);
    void ApplyFileType(const QString& pattern);
    void SetLamps(const FileAttributes& attributes);

    // OK and its two halves.
    void Command1_Click();
    void OpenOrCreate(const QString& name);
    void SaveAs(const QString& name);
    void OpenInViewer(const QString& name);
    void ResetViewer();

    void Command3_Click();  // binary view
    void Command8_Click();  // option panel
    void Command9_Click();  // option panel back

    // The image panel (FileIO2Image.cpp).
    void Command5_Click();  // << 画像ﾌｧｲﾙ
    void Command6_Click();  // 戻す >>
    void Command4_Click();  // 画像ｸﾘｱ
    void Command10_Click(); // 削除
    void Command7_Click();  // 別画面
    void Combo2_Click(int index);
    void PreviewPicked(const QString& name);
    bool LoadPreview(const QString& name);
    void ShowAtZoom(float zoom);
    void ClearPreview();
    void HideScrollBars();
    void ApplyScrollLayout(const QSize& shown);
    void ResetReadout();
    void Image1_MouseMove(const QPointF& pixels);
    bool Picture1_Key(int key, bool press, bool autoRepeat);

    AppState& state_;
    ViewerHost* host_;
    int mode_;

    QString startFolder_;
    int panelMode_ = 0;  // 0 file panel only, 1 image panel shown
    bool pictureLoaded_ = false;
    float zoom_ = 1.0f;
    uint32_t lastColour_ = 0;  // 0xRRGGBB
    KeyLatch keys_;
    bool done_ = false;
    bool unloaded_ = false;
    bool hostTimer_ = false;
    QImage Picture5;  // the previewed picture at its natural size, for reading pixels

public:
    // The controls, named as the form names them (tests find them by objectName too).
    QStackedWidget* Stack = nullptr;
    QFrame* FilOp = nullptr;
    DriveList* SelectDrive = nullptr;
    FolderList* SelectDir = nullptr;
    FileList* FileSelect = nullptr;
    QLineEdit* SelFile = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label6 = nullptr;
    std::array<QLabel*, 4> Lamp{};
    std::array<QLabel*, 4> Label10{};
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command8 = nullptr;
    QCheckBox* Check1 = nullptr;

    QFrame* Picture3 = nullptr;
    std::array<QCheckBox*, 5> Check2{};
    QPushButton* Command9 = nullptr;

    QFrame* Picture2 = nullptr;
    QFrame* Picture1 = nullptr;
    QLabel* Image1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command10 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Command6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLineEdit* Text8 = nullptr;
};

}  // namespace kolbran
