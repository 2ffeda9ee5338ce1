// The main window: the current colour and everything kept in step with it, and the
// start-up and shut-down of the whole program. What the user sees is built by panels
// of their own — the top strip, the colour table, the slider pages, the colour list
// and the toolbar —; the window holds the current colour and wires them together.
#pragma once

#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/FormControls.h"  // TagOf, which the design's readers use
#include "colour/stdColors.h"
#include "settings/TinctorSettings.h"

class QAction;
class QTimer;

namespace tinctor {

class TChannelLabel;
class THistoryCircles;
class TClipboardObserver;
class TColorListPanel;
class TColorTablePanel;
class TEditOther;
class TEventSubClass;
class TGlobalHotkey;
class TLoupePick;
class TMagnifier;
class TMainToolBar;
class TSliderPages;
class TTopStrip;
class TWinShader;
class TOpenedCentre;
struct TAddColorChoice;

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
    int WideWidth() const { return wideWidth_; }
    int NarrowWidth() const { return narrowWidth_; }
    // The settings of the same names as ApplySettings last applied them.
    bool SpoitTEditor() const { return applied_.SpoitTEditor; }
    bool Compact() const { return applied_.Compact; }
    bool ColorCode() const { return applied_.ColorCode; }
    bool ExtendColor() const { return applied_.ExtendColor; }
    bool LowerCase() const { return applied_.LowerCase; }
    bool Magnifier() const { return applied_.Magnifier; }
    // The colour list folder, with a trailing "/".
    const std::string& ColorDir() const { return colorDir_; }

    // Handlers of the controls (also what the tests drive).
    void RGBValueScroll(int index);
    void AValueScroll();
    void HLSValueScroll(int index);
    void ChannelLabelClick(TChannelLabel* label);
    void NotationClick(int notation);
    void ComplementColorClick();
    void ShowTinctorsClick();
    void ShowConfigClick();
    void ColorConfigClick();
    void ShowHelp();
    // Puts C into the newest history circle; the oldest colour falls off.
    void PushHistory(TColor c);
    TColor HistoryColor(int n) const;  // 1 newest .. 7 oldest
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

    // The colour list panel's operations, as the rest of the program knows them.
    void RefreshListFiles();
    void LoadColorList();
    void SaveColorList();
    void UpdateListButtons();
    void ColorListDblClick();
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
    void ConnectHandlers();
    void FormCreate();
    void FormDestroy();
    void MoveToSavedPosition(TMemIniFileEx& ini);
    // C's code in the current notation with the current options.
    QString CodeText(TColor c) const;
    // The colour an add command of the colour list takes.
    TColor ColorOfChoice(const TAddColorChoice& choice) const;

    // Steps of creation and of ApplySettings kept in the files of their components.
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
    int wideWidth_ = 0;
    int narrowWidth_ = 0;
    TTinctorSettings applied_;
    std::string colorDir_;

    // The panels, as the window's design names them.
    TTopStrip* MainPanel = nullptr;
    TColorTablePanel* ColorPanel = nullptr;
    TSliderPages* BarPages = nullptr;
    THistoryCircles* History = nullptr;
    TMainToolBar* ToolBar = nullptr;
    TColorListPanel* ColorListPanel = nullptr;

    QTimer* Timer = nullptr;
    int shadedHeight_ = 0;
    TWinShader* winShader_ = nullptr;
    TOpenedCentre* openedCentre_ = nullptr;  // the hot key's centre of the opened window
    std::unique_ptr<TGlobalHotkey> globalHotkey_;
    std::unique_ptr<TEditOther> editOther_;
    std::unique_ptr<TClipboardObserver> clipboardObserver_;
    TMagnifier* magnifier_ = nullptr;  // the loupe of screen picking
    std::unique_ptr<TLoupePick> mouseCapture_;
    std::unique_ptr<TEventSubClass> spoitPress_;  // a press on the eyedropper starts the pick
};

// The one main window of the program while it exists (null before and after).
TTinctorForm* TinctorForm();

}  // namespace tinctor
