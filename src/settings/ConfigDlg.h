// The settings dialog "環境設定": every key of Tinctor.ini but the window position.
//
// The dialog reads the settings file when it is made and writes it when OK is
// pressed; Cancel, Escape and the close box write nothing. It holds no state of its
// own beyond its controls, so each opening shows the file as it is then.
#pragma once

#include <QDialog>

#include "settings/TinctorSettings.h"

class QCheckBox;
class QPushButton;

namespace tinctor {

class TButtonPages;
class TCustomReferEdit;
class THotKeyEdit;

class TConfigDialog : public QDialog {
    Q_OBJECT
public:
    // The first page grows by one row for our loupe check box below its other controls;
    // the frame, the pages and the buttons below them move down with it.
    static constexpr int LoupeRowHeight = 24;
    static constexpr int ClientWidth = 313;
    static constexpr int ClientHeight = 236 + LoupeRowHeight;

    // Made with the main window as owner; reads the settings file.
    explicit TConfigDialog(QWidget* owner);

    // The top-left corner of a frame of that place kept inside the work area: the top
    // first (at most the bottom less the height, applied last), then the left likewise.
    static QPoint KeepInWorkArea(const QRect& frame, const QRect& workArea);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void FormCreate();
    void FormShow();
    void UseColorCodeClick();
    void OKBtnClick();
    // The settings as the controls have them.
    TTinctorSettings ControlSettings() const;
    void PlaceOnScreen();

    TButtonPages* PageControl = nullptr;
    QCheckBox* TopMost = nullptr;
    QCheckBox* UseColorCode = nullptr;
    QCheckBox* UseNetscapeColor = nullptr;
    QCheckBox* LowerCase = nullptr;
    QCheckBox* DoCompact = nullptr;
    QCheckBox* UseHotkey = nullptr;
    THotKeyEdit* HotKeyName = nullptr;
    QCheckBox* UseMagnifier = nullptr;
    QCheckBox* UseCO = nullptr;
    QCheckBox* SpoitTEditor = nullptr;
    TCustomReferEdit* CTableBitmap = nullptr;
    TCustomReferEdit* ColorDirEdit = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
};

}  // namespace tinctor
