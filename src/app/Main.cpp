#include "app/Main.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include <sys/stat.h>

#include "app/Brightness.h"
#include "app/HistoryCircles.h"
#include "app/ColorListPanel.h"
#include "app/ColorTable.h"
#include "app/ColorTablePanel.h"
#include "app/Help.h"
#include "app/LoupePick.h"
#include "app/MainToolBar.h"
#include "app/SliderPages.h"
#include "app/TopStrip.h"
#include "colour/ColorCodes.h"
#include "colour/StrColor.h"
#include "desktop/ClipboardObserver.h"  // the components the window owns
#include "desktop/GlobalHotKey.h"
#include "desktop/OtWndCtrl.h"
#include "desktop/SpoitCursor.h"
#include "desktop/SubClass.h"
#include "desktop/TinctorMouse.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/PaletteSysColors.h"
#include "platform/QtText.h"
#include "platform/Shell.h"
#include "platform/WindowHelpers.h"
#include "settings/ConfigDlg.h"
#include "settings/ExIniFiles.h"
#include "settings/ProgramFolder.h"
#include "settings/TinctorSettings.h"
#include "util/stdFiles.h"

namespace tinctor {

namespace {

TTinctorForm* theForm = nullptr;

// The design, in client pixels of the wide window.
constexpr int ClientWidth = 478;
constexpr int ClientHeight = 167;
constexpr int PanelTop = TTopStrip::Height;
constexpr int PanelHeight = 117;  // the colour table and the colour list
constexpr QRect ColorPanelPlace(0, PanelTop, 109, PanelHeight);
constexpr QRect BarPagesPlace(108, PanelTop, 165, 93);
constexpr int ColorListPanelWidth = 205;
constexpr QRect ColorListPanelPlace(ClientWidth - ColorListPanelWidth, PanelTop, ColorListPanelWidth, PanelHeight);
constexpr int TimerInterval = 100;  // ms
// IPAPGothic stands for the proportional gothic face of the design, 12 pixels high.
constexpr int FontPixelSize = 12;

bool OnSomeScreen(const QRect& frame) {
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->geometry().intersects(frame)) return true;
    return false;
}

}  // namespace

TTinctorForm* TinctorForm() { return theForm; }

TTinctorForm::TTinctorForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    theForm = this;
    setObjectName(QStringLiteral("TinctorForm"));
    setWindowTitle(QString::fromLatin1(ApplicationTitle));
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(FontPixelSize);
    setFont(font);
    QToolTip::setFont(font);
    setFixedSize(ClientWidth, ClientHeight);

    CreateControls();
    CreateDesktopComponents();
    ConnectHandlers();
    FormCreate();
}

TTinctorForm::~TTinctorForm() {
    Guarded([this] { FormDestroy(); });
    qApp->removeEventFilter(this);
    if (theForm == this) theForm = nullptr;
}

// ---------------------------------------------------------------------------
// The panels

void TTinctorForm::CreateControls() {
    MainPanel = new TTopStrip(this);
    MainPanel->setGeometry(0, 0, ClientWidth, TTopStrip::Height);
    ColorPanel = new TColorTablePanel(this, ColorPanelPlace);
    BarPages = new TSliderPages(this);
    BarPages->setGeometry(BarPagesPlace);
    History = new THistoryCircles(this);
    // The list panel drives buttons of the toolbar, so the toolbar comes first; the two
    // do not overlap, and none of the toolbar's controls takes the focus.
    ToolBar = new TMainToolBar(this);
    ToolBar->setGeometry(0, ClientHeight - TMainToolBar::Height, ClientWidth, TMainToolBar::Height);
    ColorListPanel = new TColorListPanel(this, ColorListPanelPlace, MainPanel->ListSelector(), ToolBar->ListButtons(),
                                         [this](const TAddColorChoice& choice) { return ColorOfChoice(choice); });

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(TimerInterval);
}

void TTinctorForm::ConnectHandlers() {
    connect(BarPages, &TSliderPages::SliderMoved, this, [this](int index) {
        Guarded([this, index] {
            if (index <= BlueSlider)
                RGBValueScroll(index);
            else if (index == BrightnessSlider)
                AValueScroll();
            else
                HLSValueScroll(index);
        });
    });
    connect(ToolBar, &TMainToolBar::NotationChosen, this, [this](int notation) {
        Guarded([this, notation] { NotationClick(notation); });
    });
    connect(MainPanel, &TTopStrip::ComplementClicked, this, Guard([this] { ComplementColorClick(); }));
    connect(ToolBar->ShowTinctors(), &QToolButton::clicked, this, Guard([this] { ShowTinctorsClick(); }));
    connect(ToolBar->ShowConfig(), &QToolButton::clicked, this, Guard([this] { ShowConfigClick(); }));
    connect(ToolBar->ColorConfig(), &QToolButton::clicked, this, Guard([this] { ColorConfigClick(); }));
    connect(ToolBar->OpenScriptDirectory(), &QAction::triggered, this, Guard([this] { OpenScriptDirectoryClick(); }));
    connect(ToolBar->MenuRefresh(), &QAction::triggered, this, Guard([this] { RebuildScriptMenu(); }));
    connect(Timer, &QTimer::timeout, this, Guard([this] { TimerTimer(); }));
    ConnectHistoryHandlers();
    connect(ColorListPanel, &TColorListPanel::ColorChosen, this, [this](TColor colour) {
        Guarded([this, colour] { SetCurrentColor(colour); });
    });
    connect(ColorPanel, &TColorTablePanel::ColorPicked, this, [this](TColor colour) {
        Guarded([this, colour] { SetCurrentColor(colour); });
    });
    qApp->installEventFilter(this);
}

void TTinctorForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!MainPanel) return;
    MainPanel->resize(width(), TTopStrip::Height);
    ToolBar->resize(width(), TMainToolBar::Height);
    MainPanel->DockClipboardButtons();
    ToolBar->ShowWholeButtons();
}

// ---------------------------------------------------------------------------
// Creation and destruction

void TTinctorForm::FormCreate() {
    MainPanel->DockClipboardButtons();

    // Each step is reported on its own and the rest still run, so one failure never
    // leaves the window half made.
    Guarded([] {
        InstallPaletteSysColors();
        PrepareColorNames();
    });
    Guarded([this] { CreateWindowShader(height() - ColorPanel->height() - ToolBar->height()); });
    Guarded([this] { CreateEditorAccess(); });
    Guarded([this] { MainPanel->PaintBehindSwatches(true); });
    Guarded([this] { ColorListPanel->StoreItemHeights(); });
    Guarded([this] {
        wideWidth_ = width();
        setFixedSize(width() - ColorListPanel->width(), height());
        narrowWidth_ = width();
    });
    Guarded([this] { RGBValueScroll(1); });
    Guarded([this] { RebuildScriptMenu(); });
    Guarded([this] { LoadSpoitCursor(); });
    Guarded([this] { CreateMouseCapture(); });

    TMemIniFileEx ini;
    // A settings file that cannot be read is left as it is: the window runs on defaults.
    if (ini.LoadFailed())
        Guarded([&ini] {
            MessageWarning("設定ファイル \"" + ini.FileName() + "\" を読み込めません (" + ini.LoadFailure() +
                           ")。既定の設定で動作し、このファイルには書き込みません。");
        });
    Guarded([this, &ini] { MoveToSavedPosition(ini); });
    Guarded([this, &ini] { ApplySettings(ini); });
    Guarded([this] { RefreshListFiles(); });
    Timer->start();
}

void TTinctorForm::MoveToSavedPosition(TMemIniFileEx& ini) {
    TTinctorSettings settings;
    settings.Read(ini);
    if (!settings.X && !settings.Y) return;
    const QPoint saved(settings.X.value_or(x()), settings.Y.value_or(y()));
    // A position from another screen layout would put the window out of reach.
    const QRect frame(saved, frameGeometry().size());
    if (OnSomeScreen(frame)) move(saved);
}

void TTinctorForm::FormDestroy() {
    Timer->stop();
    Guarded([this] { FreeMouseCapture(); });
    Guarded([this] {
        TMemIniFileEx ini(SettingsFileName());
        TTinctorSettings position;
        position.X = x();  // the frame's left and top edge
        position.Y = y();
        position.WritePosition(ini);
        // Best effort: a read-only program folder simply keeps the old position.
        (void)ini.Save();
    });
    Guarded([this] {
        MainPanel->PaintBehindSwatches(false);
        FreeEditorAccess();
    });
}

// ---------------------------------------------------------------------------
// The current colour

TColor TTinctorForm::CurrentColor() const { return MainPanel->Color(); }

TColor TTinctorForm::ComplementColorValue() const { return MainPanel->Complement(); }

int TTinctorForm::GetSliderValue(int index) const { return BarPages->Value(index); }

void TTinctorForm::SetSliderValue(int index, std::uint16_t value) { BarPages->SetValue(index, value); }

void TTinctorForm::SetCurrentColor(TColor c) {
    if (c == NoColor) return;
    // The current colour is always plain RGB.
    MainPanel->SetColor(IsSysColorRef(c) ? GetSysColor(static_cast<int>(c & 0xFF)) : c & 0x00FFFFFF);
    UpdateColorDisplay(UpdateHLSSliders | UpdateRGBSliders);
}

bool TTinctorForm::ParseAndSetColor(std::string_view text) {
    TColor c = NoColor;
    try {
        c = ParseColorText(text);
    } catch (const EConvertError&) {
        return false;  // a code with a stray character names no colour either
    }
    if (c == NoColor) return false;
    SetCurrentColor(c);
    return true;
}

void TTinctorForm::UpdateColorDisplay(int flags) {
    const TColor colour = CurrentColor();
    const THLS hls = ColorToHLS(colour);
    const TRGB rgb = SplitColor(colour);
    if (flags & UpdateHLSSliders) {
        SetSliderValue(HueSlider, hls.H);
        SetSliderValue(LightnessSlider, hls.L);
        SetSliderValue(SaturationSlider, hls.S);
    }
    if (flags & UpdateRGBSliders) {
        SetSliderValue(RedSlider, rgb.R);
        SetSliderValue(GreenSlider, rgb.G);
        SetSliderValue(BlueSlider, rgb.B);
        SetSliderValue(BrightnessSlider, ColorAverage(rgb.R, rgb.G, rgb.B));
    }
    MainPanel->ShowValues(colour, CodeText(colour));
}

QString TTinctorForm::CodeText(TColor c) const {
    return ToQString(FormatColorCode(c, notation_, {ColorCode(), ExtendColor(), LowerCase()}));
}

// ---------------------------------------------------------------------------
// Handlers

void TTinctorForm::RGBValueScroll(int) {
    const auto channel = [this](int index) { return static_cast<std::uint8_t>(GetSliderValue(index)); };
    const std::uint8_t r = channel(RedSlider), g = channel(GreenSlider), b = channel(BlueSlider);
    MainPanel->SetColor(RGBToColor(r, g, b));
    SetSliderValue(BrightnessSlider, ColorAverage(r, g, b));
    UpdateColorDisplay(UpdateHLSSliders);
}

void TTinctorForm::AValueScroll() {
    const auto channel = [this](int index) { return static_cast<std::uint8_t>(GetSliderValue(index)); };
    const TBrightnessMove move =
        MoveBrightness(channel(RedSlider), channel(GreenSlider), channel(BlueSlider), BarPages->RedFollows(),
                       BarPages->GreenFollows(), BarPages->BlueFollows(), GetSliderValue(BrightnessSlider));
    if (!move.Moved) return;
    SetSliderValue(RedSlider, move.R);
    SetSliderValue(GreenSlider, move.G);
    SetSliderValue(BlueSlider, move.B);
    MainPanel->SetColor(RGBToColor(move.R, move.G, move.B));
    // The slider keeps the asked-for brightness within its limits; it is not
    // recomputed from the channels, so it may differ from their true average.
    SetSliderValue(BrightnessSlider, static_cast<std::uint16_t>(move.Position));
    UpdateColorDisplay(UpdateHLSSliders);
}

void TTinctorForm::HLSValueScroll(int) {
    const auto value = [this](int index) { return static_cast<std::uint16_t>(GetSliderValue(index)); };
    const THLS v{value(HueSlider), value(LightnessSlider), value(SaturationSlider)};
    MainPanel->SetColor(HLSToColor(v));
    // The H, L, S sliders keep the user's values; the labels show the HLS of the result.
    UpdateColorDisplay(UpdateRGBSliders);
}

void TTinctorForm::ChannelLabelClick(TChannelLabel* label) { BarPages->ToggleFollow(label); }

void TTinctorForm::NotationClick(int notation) {
    notation_ = notation;
    UpdateColorDisplay(0);
}

void TTinctorForm::ComplementColorClick() { SetCurrentColor(ComplementColorValue()); }

void TTinctorForm::ShowTinctorsClick() {
    // Only the width: the height belongs to the shader while the window is folded.
    setFixedWidth(ToolBar->ShowTinctors()->isChecked() ? wideWidth_ : narrowWidth_);
}

void TTinctorForm::ShowConfigClick() {
    if (RunConfigDialog()) ReloadSettings();
}

void TTinctorForm::ColorConfigClick() { ToolBar->ScriptMenu()->popup(QCursor::pos()); }

void TTinctorForm::ShowHelp() { OpenHelpPage(); }

bool TTinctorForm::eventFilter(QObject* watched, QEvent* event) {
    // F1 anywhere in this window, with or without modifiers, opens the help page and
    // never reaches the focused control.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_F1 && widget && widget->window() == this) {
            if (event->type() == QEvent::KeyPress && !key->isAutoRepeat()) Guarded([this] { ShowHelp(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Settings

void TTinctorForm::ApplySettings(TMemIniFileEx& ini) {
    TTinctorSettings settings;
    settings.Read(ini);

    // Each step is reported on its own; the later ones still run.
    Guarded([&] {
        std::string folder = settings.ColorDir;
        if (folder.empty()) {
            folder = TTinctorSettings::DefaultColorDir();
            ini.WritePath(TTinctorSettings::SectionPath, "ColorDir", folder);
            // A read-only program folder keeps its file; the default is found again next time.
            (void)ini.Save();
        }
        if (!DirectoryExists(folder)) ::mkdir(folder.c_str(), 0777);  // one level; a failure shows later
        colorDir_ = IncludeTrailingPathDelimiter(folder);
        ColorListPanel->SetFolder(colorDir_);
    });
    applied_ = settings;
    if (mouseCapture_) mouseCapture_->SetLoupeShown(settings.Magnifier);
    Guarded([&] { ConnectClipboardObserver(settings.ClipboardObserver); });
    Guarded([&] { EnableHotkey(settings.HotkeyMode); });
    Guarded([&] { SetHotkeyText(settings.Hotkey); });
    Guarded([&] { LoadColorTable(settings.ColorTableMap); });
    Guarded([&] { SetTopMost(this, settings.TopMost); });
    // The code label follows the notation options at once.
    Guarded([this] { UpdateColorDisplay(0); });
}

void TTinctorForm::ReloadSettings() {
    TMemIniFileEx ini;
    ApplySettings(ini);
    // Another colour list folder shows its own lists at once.
    if (ExtractFilePath(ColorListPanel->ListFile()) != colorDir_) Guarded([this] { RefreshListFiles(); });
}

// ---------------------------------------------------------------------------
// The colour table

// The eyedropper cursor of the colour table (screen picking uses the same one).
void TTinctorForm::LoadSpoitCursor() { ColorPanel->Table()->setCursor(SpoitCursor()); }

// The picture of the settings or the gradient.
void TTinctorForm::LoadColorTable(const std::string& map) { ColorPanel->LoadColorTable(map); }

// ---------------------------------------------------------------------------
// The colour list

void TTinctorForm::RefreshListFiles() { ColorListPanel->RefreshListFiles(); }
void TTinctorForm::LoadColorList() { ColorListPanel->LoadColorList(); }
void TTinctorForm::SaveColorList() { ColorListPanel->SaveColorList(); }
void TTinctorForm::UpdateListButtons() { ColorListPanel->UpdateListButtons(); }
void TTinctorForm::ColorListDblClick() { ColorListPanel->ColorListDblClick(); }

TColor TTinctorForm::ColorOfChoice(const TAddColorChoice& choice) const {
    switch (choice.Kind) {
        case TAddColorKind::Complement:
            return ComplementColorValue();
        case TAddColorKind::History:
            return HistoryColor(choice.History);
        case TAddColorKind::CurrentColor:
            break;
    }
    return CurrentColor();
}

// ---------------------------------------------------------------------------
// The steps of creation and of ApplySettings that live elsewhere, each called in its
// place so that the order stays as it is: the desktop components (shader, editor
// access, eyedropper and loupe, clipboard observer, hot key, timer) in MainDesktop.cpp,
// the history and the clipboard buttons in MainHistory.cpp, the script menu in
// MainScript.cpp.

// The settings dialog, made afresh for each opening; true when it closed with OK.
bool TTinctorForm::RunConfigDialog() {
    TConfigDialog dialog(this);
    return dialog.exec() == QDialog::Accepted;
}
}  // namespace tinctor
