#include "app/Main.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include <sys/stat.h>

#include "app/Brightness.h"
#include "app/ChannelLabel.h"
#include "app/CircleShape.h"
#include "app/ColorTable.h"
#include "app/FitLabel.h"
#include "app/Help.h"
#include "app/SliderKeys.h"
#include "app/Swatch.h"
#include "app/ToolIcons.h"
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
constexpr int kClientWidth = 478;
constexpr int kClientHeight = 167;
constexpr int kStripHeight = 25;
constexpr int kToolBarHeight = 25;
constexpr int kListItemHeight = 12;

constexpr const char* kSliderLetters = "RGBAHLS";

const QColor kRed(255, 0, 0);
const QColor kLime(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kNavy(0, 0, 128);
const QColor kBlack(0, 0, 0);

// Wraps a handler so that nothing it throws leaves the slot.
template <typename F>
auto Guard(F handler) {
    return [handler]() { Guarded(handler); };
}

void SetTextColor(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

template <typename Label = QLabel>
Label* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry, const QColor& colour,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
    auto* label = new Label(parent);
    label->setText(text);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    SetTextColor(label, colour);
    return label;
}

QToolButton* MakeButton(QWidget* parent, const char* name, TToolIcon icon, const QString& hint, int width = 23,
                        int height = 22) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIcon(ToolIconOf(icon));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(hint);
    button->setFixedSize(width, height);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void SetTag(QObject* control, int tag) { control->setProperty("tag", tag); }

// One info label text: a printf format (UTF-8) with one number.
QString InfoText(const char* format, int value) { return QString::asprintf(format, value); }

bool OnSomeScreen(const QRect& frame) {
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->geometry().intersects(frame)) return true;
    return false;
}

}  // namespace

TTinctorForm* TinctorForm() { return theForm; }

int TagOf(const QObject* control) { return control ? control->property("tag").toInt() : 0; }

TTinctorForm::TTinctorForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    theForm = this;
    setObjectName(QStringLiteral("TinctorForm"));
    setWindowTitle(QString::fromLatin1(ApplicationTitle));
    // IPAPGothic stands for the proportional gothic face of the design, 12 pixels high.
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    setFont(font);
    QToolTip::setFont(font);
    setFixedSize(kClientWidth, kClientHeight);

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
// The controls

void TTinctorForm::CreateControls() {
    MainPanel = new TTopStrip(this);
    MainPanel->setObjectName(QStringLiteral("MainPanel"));
    MainPanel->setGeometry(0, 0, kClientWidth, kStripHeight);

    ColorView = new TSwatch(MainPanel);
    ColorView->setObjectName(QStringLiteral("ColorView"));
    ColorView->setGeometry(0, 0, 41, kStripHeight);
    ColorView->setToolTip(QStringLiteral("現在選択中の色です"));

    ComplementColor = new TSwatch(MainPanel);
    ComplementColor->setObjectName(QStringLiteral("ComplementColor"));
    ComplementColor->setGeometry(41, 0, 12, kStripHeight);
    ComplementColor->setToolTip(QStringLiteral("選択中の色の補色です。クリックで交換できます"));

    // The values and the code shrink their font rather than run together or lose characters.
    RLabel = MakeLabel<TFitLabel>(MainPanel, "RLabel", QString(), QRect(53, 1, 36, 12), kRed);
    GLabel = MakeLabel<TFitLabel>(MainPanel, "GLabel", QString(), QRect(91, 1, 36, 12), kLime);
    BLabel = MakeLabel<TFitLabel>(MainPanel, "BLabel", QString(), QRect(129, 1, 36, 12), kBlue);
    HLabel = MakeLabel<TFitLabel>(MainPanel, "HLabel", QString(), QRect(181, 1, 44, 12), kNavy);
    LLabel = MakeLabel<TFitLabel>(MainPanel, "LLabel", QString(), QRect(149, 13, 34, 12), kNavy);
    SLabel = MakeLabel<TFitLabel>(MainPanel, "SLabel", QString(), QRect(183, 13, 36, 12), kNavy);
    CCode = MakeLabel<TFitLabel>(MainPanel, "CCode", QString(), QRect(54, 12, 93, 13), kBlack,
                                 Qt::AlignRight | Qt::AlignVCenter);

    CopyToClipboard = MakeButton(MainPanel, "CopyToClipboard", TToolIcon::CopyToClipboard,
                                 QStringLiteral("クリップボードにカラー値をコピーします。"), 24, 24);
    LoadFromClipboard = MakeButton(MainPanel, "LoadFromClipboard", TToolIcon::LoadFromClipboard,
                                   QStringLiteral("クリップボード内を解析します。"), 24, 24);

    ColorListFileName = new QComboBox(MainPanel);
    ColorListFileName->setObjectName(QStringLiteral("ColorListFileName"));
    ColorListFileName->setEditable(false);
    ColorListFileName->setGeometry(274, 3, 151, 20);

    ColorPanel = new QFrame(this);
    ColorPanel->setObjectName(QStringLiteral("ColorPanel"));
    ColorPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ColorPanel->setLineWidth(1);
    ColorPanel->setGeometry(0, kStripHeight, 109, 117);
    ColorTable = new TColorTable(ColorPanel);
    ColorTable->setObjectName(QStringLiteral("ColorTable"));
    ColorTable->setGeometry(1, 1, 107, 115);

    CreateSliderPages();

    constexpr int historyLefts[7] = {113, 135, 158, 181, 203, 226, 249};
    for (int i = 0; i < 7; ++i) {
        auto* circle = new TCircleShape(RGBToColor(255, 255, 255), this);
        circle->setObjectName(QStringLiteral("History%1").arg(i + 1));
        circle->setGeometry(historyLefts[i], 121, 17, 17);
        SetTag(circle, i + 1);
        History[static_cast<std::size_t>(i)] = circle;
    }

    ColorListPanel = new QFrame(this);
    ColorListPanel->setObjectName(QStringLiteral("ColorListPanel"));
    ColorListPanel->setGeometry(kClientWidth - 205, kStripHeight, 205, 117);
    ColorList = new QListWidget(ColorListPanel);
    ColorList->setObjectName(QStringLiteral("ColorList"));

    CreateToolBar();

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(100);
}

void TTinctorForm::CreateSliderPages() {
    BarPages = new QTabWidget(this);
    BarPages->setObjectName(QStringLiteral("BarPages"));
    BarPages->setGeometry(108, kStripHeight, 165, 93);

    struct TSliderDesign {
        int Maximum;
        int LargeStep;
        const char* Hint;
    };
    static const TSliderDesign designs[7] = {
        {255, 5, "赤の割合を指定します。"}, {255, 5, "緑の割合を指定します。"}, {255, 5, "青の割合を指定します。"},
        {255, 1, "平均値を指定します。"},   {359, 5, "色相を指定します。"},     {255, 5, "明度を指定します。"},
        {255, 5, "彩度を指定します。"},
    };

    auto* rgbPage = new QWidget;
    rgbPage->setObjectName(QStringLiteral("RGBSheet"));
    auto* hlsPage = new QWidget;
    hlsPage->setObjectName(QStringLiteral("HLSSheet"));
    BarPages->addTab(rgbPage, QStringLiteral("RGB"));
    BarPages->addTab(hlsPage, QStringLiteral("HLS"));

    for (int index = 1; index <= 7; ++index) {
        const TSliderDesign& design = designs[index - 1];
        QWidget* page = index <= 4 ? rgbPage : hlsPage;
        const int row = index <= 4 ? index - 1 : index - 5;
        auto* slider = new QScrollBar(Qt::Horizontal, page);
        slider->setObjectName(QStringLiteral("%1Value").arg(QLatin1Char(kSliderLetters[index - 1])));
        slider->setRange(0, design.Maximum);
        slider->setSingleStep(1);
        slider->setPageStep(design.LargeStep);
        slider->setToolTip(QString::fromUtf8(design.Hint));
        slider->setGeometry(20, 3 + row * 16, 139, 14);
        new TSliderKeys(slider);
        sliders_[static_cast<std::size_t>(index - 1)] = slider;
    }

    const QRect labelAt[4] = {QRect(3, 3, 15, 14), QRect(3, 19, 15, 14), QRect(3, 35, 15, 14), QRect(3, 51, 15, 14)};
    RedValue = new TChannelLabel(QStringLiteral("赤"), rgbPage);
    GreenValue = new TChannelLabel(QStringLiteral("緑"), rgbPage);
    BlueValue = new TChannelLabel(QStringLiteral("青"), rgbPage);
    const std::pair<TChannelLabel*, std::pair<const char*, QColor>> channels[3] = {
        {RedValue, {"RedValue", kRed}}, {GreenValue, {"GreenValue", kLime}}, {BlueValue, {"BlueValue", kBlue}}};
    for (int i = 0; i < 3; ++i) {
        TChannelLabel* label = channels[i].first;
        label->setObjectName(QString::fromLatin1(channels[i].second.first));
        label->setGeometry(labelAt[i]);
        label->setAlignment(Qt::AlignCenter);
        SetTextColor(label, channels[i].second.second);
    }
    MakeLabel(rgbPage, "BrightnessMark", QStringLiteral("明"), labelAt[3], kBlack, Qt::AlignCenter);
    MakeLabel(hlsPage, "HueMark", QStringLiteral("Ｈ"), labelAt[0], kNavy, Qt::AlignCenter);
    MakeLabel(hlsPage, "LightnessMark", QStringLiteral("Ｌ"), labelAt[1], kNavy, Qt::AlignCenter);
    MakeLabel(hlsPage, "SaturationMark", QStringLiteral("Ｓ"), labelAt[2], kNavy, Qt::AlignCenter);

    BarPages->setCurrentWidget(hlsPage);
}

void TTinctorForm::CreateToolBar() {
    ToolBar = new QWidget(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setGeometry(0, kClientHeight - kToolBarHeight, kClientWidth, kToolBarHeight);

    int x = 0;
    constexpr int top = 2;
    const auto place = [&x](QWidget* control) {
        control->move(x, top);
        x += control->width();
    };
    const auto separator = [this, &x] {
        auto* line = new QFrame(ToolBar);
        line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
        line->setGeometry(x + 3, top + 1, 2, 20);
        x += 8;
    };

    ShowConfig = MakeButton(ToolBar, "ShowConfig", TToolIcon::Config, QStringLiteral("設定を変更します"));
    place(ShowConfig);
    ShowTinctors = MakeButton(ToolBar, "ShowTinctors", TToolIcon::ColorList, QStringLiteral("カラーリストを表示します"));
    ShowTinctors->setCheckable(true);
    place(ShowTinctors);

    ScriptMenu = new QMenu(this);
    ScriptMenu->setObjectName(QStringLiteral("ScriptMenu"));
    ScriptMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
    QAction* openFolder = ScriptMenu->addAction(QStringLiteral("フォルダを開く(&D)"));
    openFolder->setObjectName(QStringLiteral("OpenScriptDirectory"));
    connect(openFolder, &QAction::triggered, this, Guard([this] { OpenScriptDirectoryClick(); }));
    QAction* refresh = ScriptMenu->addAction(QStringLiteral("メニューの更新(&R)"));
    refresh->setObjectName(QStringLiteral("MenuRefresh"));
    connect(refresh, &QAction::triggered, this, Guard([this] { RebuildScriptMenu(); }));

    ColorConfig = MakeButton(ToolBar, "ColorConfig", TToolIcon::Script, QStringLiteral("色を差し替えます"), 36);
    ColorConfig->setMenu(ScriptMenu);
    ColorConfig->setPopupMode(QToolButton::MenuButtonPopup);
    place(ColorConfig);
    separator();

    struct TNotationButton {
        const char* Name;
        TToolIcon Icon;
        const char* Hint;
    };
    static const TNotationButton notations[6] = {
        {"HTMLColor", TToolIcon::Html, "HTMLカラー(16進数)"},
        {"VBColor", TToolIcon::VisualBasic, "VisualBasicカラーコード(16進数)"},
        {"DelphiColor", TToolIcon::Delphi, "Delphiカラーコード(16進数)"},
        {"CColor", TToolIcon::CLang, "Cカラーコード(16進数)"},
        {"RGBColor", TToolIcon::RgbCall, "RGB APIカラーコード(10進数)"},
        {"DoubleWord", TToolIcon::DoubleWord, "ダブルワード 32bit数値色表現(10進数)"},
    };
    NotationGroup = new QButtonGroup(this);
    NotationGroup->setExclusive(true);
    for (int tag = 0; tag < 6; ++tag) {
        QToolButton* button =
            MakeButton(ToolBar, notations[tag].Name, notations[tag].Icon, QString::fromUtf8(notations[tag].Hint));
        button->setCheckable(true);
        SetTag(button, tag);
        NotationGroup->addButton(button, tag);
        place(button);
    }
    NotationGroup->button(0)->setChecked(true);
    separator();

    SpoitColor = new QFrame(ToolBar);
    SpoitColor->setObjectName(QStringLiteral("SpoitColor"));
    SpoitColor->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    SpoitColor->setLineWidth(1);
    SpoitColor->setFixedSize(21, 22);
    SpoitColor->setAutoFillBackground(true);
    QPalette spoitPalette = SpoitColor->palette();
    spoitPalette.setColor(QPalette::Window, spoitPalette.color(QPalette::Base));
    SpoitColor->setPalette(spoitPalette);
    SpoitColor->setToolTip(QStringLiteral("色を吸い取るカーソルを使います。"));
    SpoitImage = new QLabel(SpoitColor);
    SpoitImage->setObjectName(QStringLiteral("SpoitImage"));
    SpoitImage->setPixmap(ToolPixmap(TToolIcon::Spoit));
    SpoitImage->setAlignment(Qt::AlignCenter);
    SpoitImage->setGeometry(1, 1, 19, 20);
    place(SpoitColor);
    separator();  // the divider

    NewFile = MakeButton(ToolBar, "NewFile", TToolIcon::NewFile, QStringLiteral("新しいリストを作成します。"));
    place(NewFile);
    DeleteFile = MakeButton(ToolBar, "DeleteFile", TToolIcon::DeleteFile, QStringLiteral("リストファイルを削除します。"));
    place(DeleteFile);
    separator();

    AddedDropDown = new QMenu(this);
    AddedDropDown->setObjectName(QStringLiteral("AddedDropDown"));
    const auto addItem = [this](const QString& name, const QString& caption, int tag) {
        QAction* item = AddedDropDown->addAction(caption);
        item->setObjectName(name);
        SetTag(item, tag);
    };
    addItem(QStringLiteral("AddNowColor"), QStringLiteral("現在の色を追加(&A)"), 8);
    addItem(QStringLiteral("AddComplementColor"), QStringLiteral("補色を追加(&C)"), 9);
    for (int n = 1; n <= 7; ++n)
        addItem(QStringLiteral("AddHistory%1Color").arg(n), QStringLiteral("履歴%1を追加(&%1)").arg(n), n);

    AddColor = MakeButton(ToolBar, "AddColor", TToolIcon::AddColor, QStringLiteral("選択中の色を追加します。"), 36);
    AddColor->setMenu(AddedDropDown);
    AddColor->setPopupMode(QToolButton::MenuButtonPopup);
    SetTag(AddColor, 8);
    place(AddColor);
    ColorListMoveUp = MakeButton(ToolBar, "ColorListMoveUp", TToolIcon::MoveUp, QStringLiteral("色を上に移動します。"));
    SetTag(ColorListMoveUp, -1);
    place(ColorListMoveUp);
    ColorListMoveDown =
        MakeButton(ToolBar, "ColorListMoveDown", TToolIcon::MoveDown, QStringLiteral("色を下に移動します。"));
    SetTag(ColorListMoveDown, 1);
    place(ColorListMoveDown);
    separator();

    LargeIcon = MakeButton(ToolBar, "LargeIcon", TToolIcon::LargeIcon, QStringLiteral("詳細に表示します。"));
    SmallIcon = MakeButton(ToolBar, "SmallIcon", TToolIcon::SmallIcon, QStringLiteral("一覧表示します。"));
    auto* sizeGroup = new QButtonGroup(this);
    sizeGroup->setObjectName(QStringLiteral("ItemSizeGroup"));
    for (QToolButton* button : {LargeIcon, SmallIcon}) {
        button->setCheckable(true);
        sizeGroup->addButton(button);
        place(button);
    }
    SmallIcon->setChecked(true);
}

void TTinctorForm::ConnectHandlers() {
    for (int index = 1; index <= 7; ++index) {
        connect(Slider(index), &QAbstractSlider::actionTriggered, this, [this, index](int) {
            Guarded([this, index] {
                if (index <= 3)
                    RGBValueScroll(index);
                else if (index == 4)
                    AValueScroll();
                else
                    HLSValueScroll(index);
            });
        });
    }
    for (TChannelLabel* label : {RedValue, GreenValue, BlueValue})
        connect(label, &TChannelLabel::clicked, this, Guard([this, label] { ChannelLabelClick(label); }));
    connect(NotationGroup, &QButtonGroup::idClicked, this, [this](int id) {
        Guarded([this, id] { NotationClick(TagOf(NotationGroup->button(id))); });
    });
    connect(ComplementColor, &TSwatch::clicked, this, Guard([this] { ComplementColorClick(); }));
    connect(ShowTinctors, &QToolButton::clicked, this, Guard([this] { ShowTinctorsClick(); }));
    connect(ShowConfig, &QToolButton::clicked, this, Guard([this] { ShowConfigClick(); }));
    connect(ColorConfig, &QToolButton::clicked, this, Guard([this] { ColorConfigClick(); }));
    connect(Timer, &QTimer::timeout, this, Guard([this] { TimerTimer(); }));
    ConnectHistoryHandlers();
    ConnectListHandlers();
    connect(ColorTable, &TColorTable::MouseDown, this,
            [this](Qt::MouseButton button, QPoint) { Guarded([&] { ColorTableMouseDown(button); }); });
    connect(ColorTable, &TColorTable::MouseMove, this, [this](QPoint pos) { Guarded([&] { ColorTableMouseMove(pos); }); });
    connect(ColorTable, &TColorTable::MouseUp, this,
            [this](Qt::MouseButton button, QPoint) { Guarded([&] { ColorTableMouseUp(button); }); });
    qApp->installEventFilter(this);
}

void TTinctorForm::DockStripButtons() {
    // LoadFromClipboard is the outermost of the two, at the strip's right end.
    LoadFromClipboard->move(MainPanel->width() - LoadFromClipboard->width(), 0);
    CopyToClipboard->move(LoadFromClipboard->x() - CopyToClipboard->width(), 0);
}

void TTinctorForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!MainPanel) return;
    MainPanel->resize(width(), kStripHeight);
    ToolBar->resize(width(), kToolBarHeight);
    DockStripButtons();
    // The narrow window shows the buttons that fit whole; a sliver of the next one
    // would look like a broken button.
    for (QWidget* control : ToolBar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        control->setVisible(control->geometry().right() < ToolBar->width());
}

// ---------------------------------------------------------------------------
// Creation and destruction

void TTinctorForm::FormCreate() {
    DockStripButtons();
    ColorList->setGeometry(0, 0, ColorListPanel->width(), ColorListPanel->height());

    // Each step is reported on its own and the rest still run, so one failure never
    // leaves the window half made.
    Guarded([] {
        InstallPaletteSysColors();
        PrepareColorNames();
    });
    Guarded([this] { CreateWindowShader(height() - ColorPanel->height() - ToolBar->height()); });
    Guarded([this] { CreateEditorAccess(); });
    Guarded([this] { MainPanel->SetBackgroundStart(ComplementColor); });
    Guarded([this] {
        SetTag(SmallIcon, kListItemHeight);
        SetTag(LargeIcon, kListItemHeight * 2);
    });
    Guarded([this] {
        WideWidth = width();
        setFixedSize(width() - ColorListPanel->width(), height());
        NarrowWidth = width();
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
        MainPanel->SetBackgroundStart(nullptr);
        FreeEditorAccess();
    });
}

// ---------------------------------------------------------------------------
// The current colour

TColor TTinctorForm::CurrentColor() const { return ColorView->Color(); }

TColor TTinctorForm::ComplementColorValue() const { return ComplementColor->Color(); }

int TTinctorForm::GetSliderValue(int index) const {
    if (index < 1 || index > 7) return 0;
    return Slider(index)->sliderPosition();
}

void TTinctorForm::SetSliderValue(int index, std::uint16_t value) {
    if (index < 1 || index > 7) return;
    QScrollBar* slider = Slider(index);
    // setValue clamps to the range and, unlike a user's move, triggers no action;
    // the blocker keeps value listeners quiet as well.
    const QSignalBlocker blocker(slider);
    slider->setValue(value);
}

void TTinctorForm::SetCurrentColor(TColor c) {
    if (c == NoColor) return;
    // The current colour is always plain RGB.
    ColorView->SetColor(IsSysColorRef(c) ? GetSysColor(static_cast<int>(c & 0xFF)) : c & 0x00FFFFFF);
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

    RLabel->SetFittedText(InfoText("R：%.2X", rgb.R));
    GLabel->SetFittedText(InfoText("G：%.2X", rgb.G));
    BLabel->SetFittedText(InfoText("B：%.2X", rgb.B));
    HLabel->SetFittedText(InfoText("H：%.3d°", hls.H));
    LLabel->SetFittedText(InfoText("L：%.3d", hls.L));
    SLabel->SetFittedText(InfoText("S：%.3d", hls.S));

    const std::string code = FormatColorCode(colour, notation_, {ColorCode, ExtendColor, LowerCase});

    if (flags & UpdateHLSSliders) {
        SetSliderValue(5, hls.H);
        SetSliderValue(6, hls.L);
        SetSliderValue(7, hls.S);
    }
    if (flags & UpdateRGBSliders) {
        SetSliderValue(1, rgb.R);
        SetSliderValue(2, rgb.G);
        SetSliderValue(3, rgb.B);
        SetSliderValue(4, ColorAverage(rgb.R, rgb.G, rgb.B));
    }
    ComplementColor->SetColor(ComplementOf(colour));
    CCode->SetFittedText(ToQString(code));
}

// ---------------------------------------------------------------------------
// Handlers

void TTinctorForm::RGBValueScroll(int) {
    const auto channel = [this](int index) { return static_cast<std::uint8_t>(GetSliderValue(index)); };
    const std::uint8_t r = channel(1), g = channel(2), b = channel(3);
    ColorView->SetColor(RGBToColor(r, g, b));
    SetSliderValue(4, ColorAverage(r, g, b));
    UpdateColorDisplay(UpdateHLSSliders);
}

void TTinctorForm::AValueScroll() {
    const auto channel = [this](int index) { return static_cast<std::uint8_t>(GetSliderValue(index)); };
    const TBrightnessMove move =
        MoveBrightness(channel(1), channel(2), channel(3), RedValue->FollowsBrightness(),
                       GreenValue->FollowsBrightness(), BlueValue->FollowsBrightness(), GetSliderValue(4));
    if (!move.Moved) return;
    SetSliderValue(1, move.R);
    SetSliderValue(2, move.G);
    SetSliderValue(3, move.B);
    ColorView->SetColor(RGBToColor(move.R, move.G, move.B));
    // The slider keeps the asked-for brightness within its limits; it is not
    // recomputed from the channels, so it may differ from their true average.
    SetSliderValue(4, static_cast<std::uint16_t>(move.Position));
    UpdateColorDisplay(UpdateHLSSliders);
}

void TTinctorForm::HLSValueScroll(int) {
    const THLS v{static_cast<std::uint16_t>(GetSliderValue(5)), static_cast<std::uint16_t>(GetSliderValue(6)),
                 static_cast<std::uint16_t>(GetSliderValue(7))};
    ColorView->SetColor(HLSToColor(v));
    // The H, L, S sliders keep the user's values; the labels show the HLS of the result.
    UpdateColorDisplay(UpdateRGBSliders);
}

void TTinctorForm::ChannelLabelClick(TChannelLabel* label) {
    label->SetFollowsBrightness(!label->FollowsBrightness());
}

void TTinctorForm::NotationClick(int tag) {
    notation_ = tag;
    UpdateColorDisplay(0);
}

void TTinctorForm::ComplementColorClick() { SetCurrentColor(ComplementColorValue()); }

void TTinctorForm::ShowTinctorsClick() {
    // Only the width: the height belongs to the shader while the window is folded.
    setFixedWidth(ShowTinctors->isChecked() ? WideWidth : NarrowWidth);
}

void TTinctorForm::ShowConfigClick() {
    if (RunConfigDialog()) ReloadSettings();
}

void TTinctorForm::ColorConfigClick() { ScriptMenu->popup(QCursor::pos()); }

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
        ColorDir = IncludeTrailingPathDelimiter(folder);
    });
    Compact = settings.Compact;
    ColorCode = settings.ColorCode;
    ExtendColor = settings.ExtendColor;
    LowerCase = settings.LowerCase;
    Guarded([&] { ConnectClipboardObserver(settings.ClipboardObserver); });
    Guarded([&] { EnableHotkey(settings.HotkeyMode); });
    Guarded([&] { SetHotkeyText(settings.Hotkey); });
    SpoitTEditor = settings.SpoitTEditor;
    Guarded([&] { LoadColorTable(settings.ColorTableMap); });
    Guarded([&] { SetTopMost(this, settings.TopMost); });
    // The code label follows the notation options at once.
    Guarded([this] { UpdateColorDisplay(0); });
}

void TTinctorForm::ReloadSettings() {
    TMemIniFileEx ini;
    ApplySettings(ini);
    // Another colour list folder shows its own lists at once.
    if (ExtractFilePath(listFile_) != ColorDir) Guarded([this] { RefreshListFiles(); });
}

// ---------------------------------------------------------------------------
// The colour table

// The eyedropper cursor of the colour table (screen picking uses the same one).
void TTinctorForm::LoadSpoitCursor() { ColorTable->setCursor(SpoitCursor()); }

// The picture of the settings or the gradient.
void TTinctorForm::LoadColorTable(const std::string& map) { ColorTable->LoadColorTable(map); }

// Picking from the colour table runs from a left press to any release.
void TTinctorForm::ColorTableMouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton) pickingFromTable_ = true;
}

// The table keeps the mouse while the button is held, so a drag outside it keeps the
// last colour; a click without a move picks nothing.
void TTinctorForm::ColorTableMouseMove(QPoint pos) {
    if (!pickingFromTable_) return;
    if (const std::optional<TColor> colour = ColorTable->PixelAt(pos)) SetCurrentColor(*colour);
}

void TTinctorForm::ColorTableMouseUp(Qt::MouseButton) { pickingFromTable_ = false; }

// ---------------------------------------------------------------------------
// Parts that later work fills in. Each keeps the place of its step, so that the
// order of creation and of ApplySettings stays as it is. The desktop parts (shader,
// editor access, eyedropper, clipboard observer, hot key, timer) are in
// MainDesktop.cpp, the history and the clipboard buttons in MainHistory.cpp, the
// script menu in MainScript.cpp.

// The settings dialog, made afresh for each opening; true when it closed with OK.
bool TTinctorForm::RunConfigDialog() {
    TConfigDialog dialog(this);
    return dialog.exec() == QDialog::Accepted;
}
}  // namespace tinctor
