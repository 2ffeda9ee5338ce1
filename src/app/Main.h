// The main window: the current colour, its swatches, values and code, the seven
// sliders, the toolbar, and the start-up and shut-down of the whole program.
#pragma once

#include <QMargins>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "colour/stdColors.h"

class QAction;
class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QScrollBar;
class QPoint;
class QTabWidget;
class QTimer;
class QToolButton;

namespace tinctor {

class TChannelLabel;
class TColorListDelegate;
class TCircleShape;
class TClipboardObserver;
class TColorTable;
class TEditOther;
class TFitLabel;
class TEventSubClass;
class TGlobalHotkey;
class TMemIniFileEx;
class TSwatch;
class TTinctorMouse;
class TTopStrip;
class TWinShader;

// The bits of UpdateColorDisplay's flags.
enum : int {
    UpdateHLSSliders = 1,  // set the hue, lightness and saturation sliders
    UpdateRGBSliders = 2,  // set the red, green, blue and brightness sliders
};

class TTinctorForm : public QWidget {
    Q_OBJECT
public:
    // Creates the window with everything on it and runs the creation steps: the
    // window comes up narrow, black, at its saved position, with the settings applied.
    explicit TTinctorForm(QWidget* parent = nullptr);
    // Shut-down: writes the window position to the settings file.
    ~TTinctorForm() override;

    TColor CurrentColor() const;
    TColor ComplementColorValue() const;
    int Notation() const { return notation_; }

    // Position of slider Index (1..7: R, G, B, brightness, H, L, S).
    int GetSliderValue(int index) const;
    // Sets slider Index to Value clamped to its range, without running its move handling.
    void SetSliderValue(int index, std::uint16_t value);

    // Makes C the current colour and brings every display and slider in line; NoColor is ignored.
    void SetCurrentColor(TColor c);
    // Parses Text as a colour name or code and makes it current; false (nothing changed)
    // when it names no colour.
    bool ParseAndSetColor(std::string_view text);
    // Rewrites the labels, the code and the complement, and the sliders as Flags say.
    void UpdateColorDisplay(int flags);

    // Pushes every setting of Ini into the window and its components.
    void ApplySettings(TMemIniFileEx& ini);
    // ApplySettings from the settings file as it is now.
    void ReloadSettings();

    // The window widths with the colour list shown and hidden.
    int WideWidth = 0;
    int NarrowWidth = 0;
    // Copies of the settings of the same names, refreshed by ApplySettings.
    bool SpoitTEditor = false;
    bool Compact = false;
    bool ColorCode = false;
    bool ExtendColor = false;
    bool LowerCase = false;
    // The colour list folder, with a trailing "/".
    std::string ColorDir;

    // Handlers of the controls (also what the tests drive).
    void RGBValueScroll(int index);
    void AValueScroll();
    void HLSValueScroll(int index);
    void ChannelLabelClick(TChannelLabel* label);
    void NotationClick(int tag);
    void ComplementColorClick();
    void ShowTinctorsClick();
    void ShowConfigClick();
    void ColorConfigClick();
    void ShowHelp();
    // Puts C into the newest history circle; the oldest colour falls off.
    void PushHistory(TColor c);
    TColor HistoryColor(int n) const;  // 1 newest .. 7 oldest
    void HistoryMouseUp(TCircleShape* circle, Qt::MouseButton button);
    void CopyToClipboardClick();
    void LoadFromClipboardClick();
    void ClipboardObserverChange();
    // The hot key OnGoWindow: opens a shaded window and puts the pointer at its centre.
    void GlobalHotkeyItems0Hotkey();
    // One tick of the 100 ms timer: compact mode, then editor colour extraction.
    void TimerTimer();
    void ExtractEditorColor();

    TWinShader* WinShader() const { return winShader_; }
    TGlobalHotkey* GlobalHotkey() const { return globalHotkey_.get(); }

    // The colour lists (MainColorList.cpp): the list file selector and the entries of
    // the current list, which every change writes to its file at once.
    // Refills the selector from the colour list folder and loads the selected list.
    void RefreshListFiles();
    // Loads the list the selector names into the list.
    void LoadColorList();
    // Writes the entries to the current list's file; an error says so and the
    // entries stay, for the next save to write.
    void SaveColorList();
    // The enabled state of the list commands, from the selection.
    void UpdateListButtons();
    void ColorListFileNameClick();
    void NewFileClick();
    void DeleteFileClick();
    // Adds a colour: 8 the current colour, 9 its complement, 1..7 a history circle.
    void AddColorClick(int tag);
    void EditColorClick();
    void DeleteColorClick();
    void ColorListMoveClick(int step);
    void IconClick(QToolButton* button);
    void ColorListClick();
    void ColorListDblClick();
    void ColorListContextPopup(const QPoint& position);
    // Picking from the colour table: the left button starts it, any release ends it.
    void ColorTableMouseDown(Qt::MouseButton button);
    void ColorTableMouseMove(QPoint pos);
    void ColorTableMouseUp(Qt::MouseButton button);
    // The script menu (MainScript.cpp): runs the script of a script item on the
    // current colour.
    void RunScript(QAction* item);
    // "フォルダを開く": the scripts folder in the file manager, made with the samples
    // when it is missing; a folder that cannot be opened is reported.
    void OpenScriptDirectoryClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateControls();
    void CreateToolBar();
    void CreateSliderPages();
    void ConnectHandlers();
    void ConnectListHandlers();
    void RefillListFiles(std::string_view preferred);
    std::string ListFileNameText() const;
    int SelectedEntry() const;
    void SelectEntry(int index);
    void FormCreate();
    void FormDestroy();
    void MoveToSavedPosition(TMemIniFileEx& ini);
    void DockStripButtons();
    QScrollBar* Slider(int index) const { return sliders_[static_cast<std::size_t>(index - 1)]; }

    // Parts that later work fills in; each is called where its step belongs.
    void CreateWindowShader(int shadedHeight);
    void CreateDesktopComponents();
    void ConnectHistoryHandlers();
    void CreateEditorAccess();
    void FreeEditorAccess();
    void RebuildScriptMenu();
    void LoadSpoitCursor();
    void CreateMouseCapture();
    void FreeMouseCapture();
    void ConnectClipboardObserver(bool connect);
    void EnableHotkey(bool enabled);
    void SetHotkeyText(const std::string& text);
    void LoadColorTable(const std::string& map);
    bool RunConfigDialog();

    int notation_ = 0;
    bool pickingFromTable_ = false;  // a left press on the colour table, until the release
    std::array<QScrollBar*, 7> sliders_{};

    TTopStrip* MainPanel = nullptr;
    TSwatch* ColorView = nullptr;
    TSwatch* ComplementColor = nullptr;
    TFitLabel* RLabel = nullptr;
    TFitLabel* GLabel = nullptr;
    TFitLabel* BLabel = nullptr;
    TFitLabel* HLabel = nullptr;
    TFitLabel* LLabel = nullptr;
    TFitLabel* SLabel = nullptr;
    TFitLabel* CCode = nullptr;
    QToolButton* CopyToClipboard = nullptr;
    QToolButton* LoadFromClipboard = nullptr;
    QComboBox* ColorListFileName = nullptr;
    QFrame* ColorPanel = nullptr;
    TColorTable* ColorTable = nullptr;
    QTabWidget* BarPages = nullptr;
    TChannelLabel* RedValue = nullptr;
    TChannelLabel* GreenValue = nullptr;
    TChannelLabel* BlueValue = nullptr;
    std::array<TCircleShape*, 7> History{};
    QFrame* ColorListPanel = nullptr;
    QListWidget* ColorList = nullptr;
    QWidget* ToolBar = nullptr;
    QToolButton* ShowConfig = nullptr;
    QToolButton* ShowTinctors = nullptr;
    QToolButton* ColorConfig = nullptr;
    QButtonGroup* NotationGroup = nullptr;
    QFrame* SpoitColor = nullptr;
    QLabel* SpoitImage = nullptr;
    QToolButton* NewFile = nullptr;
    QToolButton* DeleteFile = nullptr;
    QToolButton* AddColor = nullptr;
    QToolButton* ColorListMoveUp = nullptr;
    QToolButton* ColorListMoveDown = nullptr;
    QToolButton* LargeIcon = nullptr;
    QToolButton* SmallIcon = nullptr;
    QMenu* ScriptMenu = nullptr;
    QMenu* AddedDropDown = nullptr;
    QMenu* ListPopup = nullptr;
    QAction* EditColor = nullptr;
    QAction* DeleteColor = nullptr;
    TColorListDelegate* ColorListDrawer = nullptr;
    // The file the shown list came from: saves go there, even after the folder setting changed.
    std::string listFile_;
    QTimer* Timer = nullptr;
    int shadedHeight_ = 0;
    QMargins openFrameMargins_;  // the window manager's frame around the open window
    TWinShader* winShader_ = nullptr;
    std::unique_ptr<TGlobalHotkey> globalHotkey_;
    std::unique_ptr<TEditOther> editOther_;
    std::unique_ptr<TClipboardObserver> clipboardObserver_;
    std::unique_ptr<TTinctorMouse> mouseCapture_;
    std::unique_ptr<TEventSubClass> spoitPress_;  // a press on the eyedropper starts the pick
};

// The one main window of the program while it exists (null before and after).
TTinctorForm* TinctorForm();

// The tag of a control: the small integer the form design gives it (0 when none).
int TagOf(const QObject* control);

}  // namespace tinctor
