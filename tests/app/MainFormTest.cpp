// The main window: first start, layout, sliders, brightness, notations, complement.
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>

#include "FormFixture.h"
#include "app/ChannelLabel.h"
#include "colour/SysColors.h"

namespace tinctor::testing {
namespace {

using ::testing::ElementsAre;

TEST_F(FormTest, FirstStartIsNarrowBlackAndWritesTheColourFolder) {
    Open();
    EXPECT_EQ(form->size(), QSize(273, 167));
    EXPECT_EQ(form->WideWidth(), 478);
    EXPECT_EQ(form->NarrowWidth(), 273);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tinctor"));

    EXPECT_EQ(form->CurrentColor(), RGBToColor(0, 0, 0));
    EXPECT_EQ(form->ComplementColorValue(), RGBToColor(0, 0, 0));
    EXPECT_EQ(Text("CCode"), "#000000");
    EXPECT_EQ(Text("RLabel"), "R：00");
    EXPECT_EQ(Text("GLabel"), "G：00");
    EXPECT_EQ(Text("BLabel"), "B：00");
    EXPECT_EQ(Text("HLabel"), "H：000°");
    EXPECT_EQ(Text("LLabel"), "L：000");
    EXPECT_EQ(Text("SLabel"), "S：000");

    EXPECT_EQ(Control<QTabWidget>("BarPages")->currentWidget()->objectName(), QStringLiteral("HLSSheet"));
    EXPECT_TRUE(Control<QToolButton>("HTMLColor")->isChecked());
    EXPECT_TRUE(Control<QToolButton>("SmallIcon")->isChecked());
    EXPECT_FALSE(Control<QToolButton>("ShowTinctors")->isChecked());
    EXPECT_FALSE(form->Compact() || form->ColorCode() || form->ExtendColor() || form->LowerCase() || form->SpoitTEditor());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowStaysOnTopHint);

    EXPECT_EQ(ReadIni(), "[Path]\r\nColorDir=Colors\r\n\r\n");
    EXPECT_TRUE(DirectoryExists(home + "Colors"));
    EXPECT_EQ(form->ColorDir(), home + "Colors/");
    EXPECT_TRUE(dialogs.Log.empty());
}

TEST_F(FormTest, ControlsSitWhereTheDesignPutsThem) {
    Open();
    Click("ShowTinctors");  // wide, so that the docked controls take their design places
    const struct {
        const char* Name;
        QRect Geometry;
    } design[] = {
        {"MainPanel", {0, 0, 478, 25}},         {"ColorView", {0, 0, 41, 25}},
        {"ComplementColor", {41, 0, 12, 25}},   {"RLabel", {53, 1, 36, 12}},
        {"GLabel", {91, 1, 36, 12}},            {"BLabel", {129, 1, 36, 12}},
        {"HLabel", {181, 1, 44, 12}},           {"LLabel", {149, 13, 34, 12}},
        {"SLabel", {183, 13, 36, 12}},          {"CCode", {54, 12, 93, 13}},
        {"CopyToClipboard", {430, 0, 24, 24}},  {"LoadFromClipboard", {454, 0, 24, 24}},
        {"ColorPanel", {0, 25, 109, 117}},      {"BarPages", {108, 25, 165, 93}},
        {"ColorListPanel", {273, 25, 205, 117}}, {"ColorList", {0, 0, 205, 117}},
        {"ToolBar", {0, 142, 478, 25}},         {"History1", {113, 121, 17, 17}},
        {"History4", {181, 121, 17, 17}},       {"History7", {249, 121, 17, 17}},
        {"SpoitColor", {QPoint(Control("SpoitColor")->x(), 2), QSize(21, 22)}},
    };
    for (const auto& control : design) EXPECT_EQ(Control(control.Name)->geometry(), control.Geometry) << control.Name;
    EXPECT_EQ(Control<QComboBox>("ColorListFileName")->geometry().topLeft(), QPoint(274, 3));
    EXPECT_EQ(Control<QComboBox>("ColorListFileName")->width(), 151);
    EXPECT_FALSE(Control<QComboBox>("ColorListFileName")->isEditable());
    EXPECT_TRUE(Control<QLabel>("CCode")->alignment() & Qt::AlignRight);

    // Narrow again: the clipboard buttons follow the strip's right end.
    Click("ShowTinctors");
    EXPECT_EQ(Control("LoadFromClipboard")->x(), 273 - 24);
    EXPECT_EQ(Control("CopyToClipboard")->x(), 273 - 48);
}

TEST_F(FormTest, ToolbarButtonsComeInOrderWithTheirTagsAndHints) {
    Open();
    QWidget* bar = Control("ToolBar");
    std::vector<std::pair<int, std::string>> order;
    for (QWidget* child : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->objectName().isEmpty()) order.emplace_back(child->x(), child->objectName().toStdString());
    std::sort(order.begin(), order.end());
    std::vector<std::string> names;
    for (const auto& entry : order) names.push_back(entry.second);
    EXPECT_THAT(names, ElementsAre("ShowConfig", "ShowTinctors", "ColorConfig", "HTMLColor", "VBColor", "DelphiColor",
                                   "CColor", "RGBColor", "DoubleWord", "SpoitColor", "NewFile", "DeleteFile",
                                   "AddColor", "ColorListMoveUp", "ColorListMoveDown", "LargeIcon", "SmallIcon"));

    const char* notations[] = {"HTMLColor", "VBColor", "DelphiColor", "CColor", "RGBColor", "DoubleWord"};
    for (int tag = 0; tag < 6; ++tag) EXPECT_EQ(TagOf(Control(notations[tag])), tag) << notations[tag];
    EXPECT_EQ(TagOf(Control("AddColor")), 8);
    EXPECT_EQ(TagOf(Control("ColorListMoveUp")), -1);
    EXPECT_EQ(TagOf(Control("ColorListMoveDown")), 1);
    EXPECT_EQ(TagOf(Control("SmallIcon")), 12);
    EXPECT_EQ(TagOf(Control("LargeIcon")), 24);

    EXPECT_TRUE(Control<QToolButton>("ShowTinctors")->isCheckable());
    EXPECT_FALSE(Control<QToolButton>("ShowConfig")->isCheckable());
    EXPECT_EQ(Control<QToolButton>("ColorConfig")->menu(), form->findChild<QMenu*>("ScriptMenu"));
    EXPECT_EQ(Control<QToolButton>("AddColor")->menu(), form->findChild<QMenu*>("AddedDropDown"));

    EXPECT_EQ(FromQString(Control("ShowConfig")->toolTip()), "設定を変更します");
    EXPECT_EQ(FromQString(Control("ColorConfig")->toolTip()), "色を差し替えます");
    EXPECT_EQ(FromQString(Control("DoubleWord")->toolTip()), "ダブルワード 32bit数値色表現(10進数)");
    EXPECT_EQ(FromQString(Control("SpoitColor")->toolTip()), "色を吸い取るカーソルを使います。");
    EXPECT_EQ(FromQString(Control("ComplementColor")->toolTip()), "選択中の色の補色です。クリックで交換できます");
    EXPECT_EQ(FromQString(Control("SmallIcon")->toolTip()), "一覧表示します。");
}

TEST_F(FormTest, SlidersHaveTheirRangesStepsAndHints) {
    Open();
    const struct {
        const char* Name;
        int Maximum, LargeStep;
        const char* Hint;
    } sliders[] = {
        {"RValue", 255, 5, "赤の割合を指定します。"}, {"GValue", 255, 5, "緑の割合を指定します。"},
        {"BValue", 255, 5, "青の割合を指定します。"}, {"AValue", 255, 1, "平均値を指定します。"},
        {"HValue", 359, 5, "色相を指定します。"},     {"LValue", 255, 5, "明度を指定します。"},
        {"SValue", 255, 5, "彩度を指定します。"},
    };
    for (const auto& s : sliders) {
        QScrollBar* slider = Slider(s.Name);
        EXPECT_EQ(slider->minimum(), 0) << s.Name;
        EXPECT_EQ(slider->maximum(), s.Maximum) << s.Name;
        EXPECT_EQ(slider->singleStep(), 1) << s.Name;
        EXPECT_EQ(slider->pageStep(), s.LargeStep) << s.Name;
        EXPECT_EQ(FromQString(slider->toolTip()), s.Hint) << s.Name;
    }
    // Index i is the i-th letter of "RGBAHLS"; values out of range take the nearest end.
    form->SetSliderValue(5, 400);
    EXPECT_EQ(form->GetSliderValue(5), 359);
    EXPECT_EQ(Slider("HValue")->value(), 359);
    form->SetSliderValue(1, 300);
    EXPECT_EQ(form->GetSliderValue(1), 255);
    // Setting from code runs no move handling: the colour stays black.
    EXPECT_EQ(form->CurrentColor(), RGBToColor(0, 0, 0));
    EXPECT_EQ(form->GetSliderValue(0), 0);
    EXPECT_EQ(form->GetSliderValue(8), 0);
}

TEST_F(FormTest, RedGreenBlueMovesSetBrightnessAndHls) {
    Open();
    Drag("RValue", 255);
    EXPECT_EQ(Rgb(), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(form->GetSliderValue(4), 85);
    EXPECT_EQ(form->GetSliderValue(5), 0);
    EXPECT_EQ(form->GetSliderValue(6), 127);
    EXPECT_EQ(form->GetSliderValue(7), 255);
    EXPECT_EQ(Text("CCode"), "#FF0000");
    EXPECT_EQ(Text("RLabel"), "R：FF");
    EXPECT_EQ(form->ComplementColorValue(), RGBToColor(0, 254, 254));

    Drag("GValue", 128);
    EXPECT_EQ(Text("CCode"), "#FF8000");
    EXPECT_EQ(Text("GLabel"), "G：80");
    EXPECT_EQ(Text("HLabel"), "H：030°");
    EXPECT_EQ(Text("LLabel"), "L：127");
    EXPECT_EQ(Text("SLabel"), "S：255");
    EXPECT_EQ(form->GetSliderValue(4), 127);
}

TEST_F(FormTest, BrightnessMovesFollowingChannelsOnly) {
    Open();
    form->SetCurrentColor(RGBToColor(0, 255, 255));
    ASSERT_EQ(form->GetSliderValue(4), 170);
    Drag("AValue", 160);
    EXPECT_EQ(Rgb(), (std::array<int, 3>{0, 245, 245}));
    EXPECT_EQ(form->GetSliderValue(4), 160);  // not the new average 163
    EXPECT_EQ(Slider("AValue")->value(), 160);

    form->SetCurrentColor(RGBToColor(250, 10, 10));
    Drag("AValue", 200);
    EXPECT_EQ(Rgb(), (std::array<int, 3>{255, 120, 120}));
    EXPECT_EQ(Text("CCode"), "#FF7878");
}

TEST_F(FormTest, BrightnessStopsAtTheLimitsOfHeldChannels) {
    Open();
    auto* red = Control<TChannelLabel>("RedValue");
    form->ChannelLabelClick(red);
    ASSERT_FALSE(red->FollowsBrightness());

    form->SetCurrentColor(RGBToColor(100, 50, 50));
    Drag("AValue", 100);
    EXPECT_EQ(Rgb(), (std::array<int, 3>{100, 84, 84}));
    EXPECT_EQ(form->GetSliderValue(4), 100);  // within 33..203

    Drag("AValue", 250);  // above the upper limit (100 + 255 + 255) / 3
    EXPECT_EQ(Rgb(), (std::array<int, 3>{100, 245, 245}));
    EXPECT_EQ(form->GetSliderValue(4), 203);

    Drag("AValue", 0);  // the average of the channels, 196, is the starting point
    EXPECT_EQ(Rgb(), (std::array<int, 3>{100, 49, 49}));
    EXPECT_EQ(form->GetSliderValue(4), 33);

    // All three held: nothing moves and the slider goes back to the average.
    form->ChannelLabelClick(Control<TChannelLabel>("GreenValue"));
    form->ChannelLabelClick(Control<TChannelLabel>("BlueValue"));
    form->SetCurrentColor(RGBToColor(30, 60, 90));
    Drag("AValue", 200);
    EXPECT_EQ(Rgb(), (std::array<int, 3>{30, 60, 90}));
    EXPECT_EQ(form->GetSliderValue(4), 60);
}

TEST_F(FormTest, ChannelLabelsShowWhetherTheyFollow) {
    Open();
    auto* green = Control<TChannelLabel>("GreenValue");
    EXPECT_TRUE(green->FollowsBrightness());
    EXPECT_FALSE(green->autoFillBackground());

    // A real click, through the label's mouse events.
    const QPointF centre = QRectF(green->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, centre, green->mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, green->mapToGlobal(centre), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(green, &press);
    QApplication::sendEvent(green, &release);
    EXPECT_FALSE(green->FollowsBrightness());
    EXPECT_TRUE(green->autoFillBackground());
    const TRGB shadow = SplitColor(GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(green->palette().color(QPalette::Window), QColor(shadow.R, shadow.G, shadow.B));
    // Holding a channel changes nothing else.
    EXPECT_EQ(form->CurrentColor(), RGBToColor(0, 0, 0));

    form->ChannelLabelClick(green);
    EXPECT_TRUE(green->FollowsBrightness());
    EXPECT_FALSE(green->autoFillBackground());
}

TEST_F(FormTest, HlsMovesKeepTheUsersValues) {
    Open();
    form->SetCurrentColor(RGBToColor(200, 100, 50));
    Drag("LValue", 0);
    EXPECT_EQ(form->CurrentColor(), RGBToColor(0, 0, 0));
    EXPECT_EQ(form->GetSliderValue(5), 20);  // hue and saturation stay where they were
    EXPECT_EQ(form->GetSliderValue(7), 153);

    Drag("LValue", 100);
    Drag("SValue", 0);
    EXPECT_EQ(Rgb(), (std::array<int, 3>{100, 100, 100}));
    EXPECT_EQ(form->GetSliderValue(1), 100);
    EXPECT_EQ(form->GetSliderValue(4), 100);

    // The labels show the HLS of the resulting colour, the sliders the user's.
    form->SetSliderValue(5, 192);
    form->SetSliderValue(7, 5);
    Drag("LValue", 170);
    EXPECT_EQ(Rgb(), (std::array<int, 3>{168, 170, 171}));
    EXPECT_EQ(form->GetSliderValue(6), 170);
    EXPECT_EQ(Text("LLabel"), "L：169");
}

TEST_F(FormTest, NotationChangesOnlyTheCode) {
    Open();
    form->SetCurrentColor(RGBToColor(255, 128, 0));
    form->SetSliderValue(5, 31);  // a hue the colour would not give back
    const char* buttons[] = {"VBColor", "DelphiColor", "CColor", "RGBColor", "DoubleWord", "HTMLColor"};
    const char* codes[] = {"&h000080FF", "$000080FF", "0x000080FF", "RGB(255,128,0);", "33023", "#FF8000"};
    for (int i = 0; i < 6; ++i) {
        Click(buttons[i]);
        EXPECT_EQ(Text("CCode"), codes[i]) << buttons[i];
        EXPECT_TRUE(Control<QToolButton>(buttons[i])->isChecked());
        EXPECT_EQ(form->GetSliderValue(5), 31);
        EXPECT_EQ(form->CurrentColor(), RGBToColor(255, 128, 0));
    }
    EXPECT_EQ(form->Notation(), 0);
    int down = 0;
    for (const char* button : buttons) down += Control<QToolButton>(button)->isChecked();
    EXPECT_EQ(down, 1);
}

TEST_F(FormTest, ComplementClickSwapsTheColour) {
    Open();
    form->SetCurrentColor(RGBToColor(255, 0, 0));
    QWidget* swatch = Control("ComplementColor");
    const auto click = [swatch] {
        const QPointF at(5, 5);
        QMouseEvent press(QEvent::MouseButtonPress, at, swatch->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, swatch->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(swatch, &press);
        QApplication::sendEvent(swatch, &release);
    };
    click();
    EXPECT_EQ(form->CurrentColor(), RGBToColor(0, 254, 254));
    EXPECT_EQ(Text("CCode"), "#00FEFE");
    click();
    EXPECT_EQ(form->CurrentColor(), RGBToColor(254, 0, 0));  // one unit below the start
}

TEST_F(FormTest, CurrentColourIgnoresNoColourAndBadText) {
    Open();
    form->SetCurrentColor(RGBToColor(1, 2, 3));
    form->SetCurrentColor(NoColor);
    EXPECT_EQ(form->CurrentColor(), RGBToColor(1, 2, 3));

    EXPECT_FALSE(form->ParseAndSetColor("#GG0000"));  // a conversion error counts as no colour
    EXPECT_FALSE(form->ParseAndSetColor("RGB(255,0,0);"));
    EXPECT_FALSE(form->ParseAndSetColor(std::string("\xff\xfe\0#", 4)));
    EXPECT_EQ(form->CurrentColor(), RGBToColor(1, 2, 3));
    EXPECT_TRUE(dialogs.Log.empty());

    EXPECT_TRUE(form->ParseAndSetColor("Red"));
    EXPECT_EQ(form->CurrentColor(), RGBToColor(255, 0, 0));
    EXPECT_EQ(form->GetSliderValue(1), 255);
    EXPECT_EQ(form->GetSliderValue(6), 127);
}

TEST_F(FormTest, ShowTinctorsSwitchesBetweenTheTwoWidths) {
    Open();
    Click("ShowTinctors");
    EXPECT_EQ(form->width(), 478);
    EXPECT_EQ(form->height(), 167);
    Click("ShowTinctors");
    EXPECT_EQ(form->width(), form->NarrowWidth());
    EXPECT_EQ(form->width(), 273);
}

TEST_F(FormTest, NarrowWindowShowsOnlyToolbarButtonsThatFitWhole) {
    Open();
    form->show();
    const QWidget* bar = Control("ToolBar");
    const auto shownEdges = [&] {
        int hidden = 0;
        for (const QWidget* control : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (control->isVisible())
                EXPECT_LE(control->geometry().right(), bar->width() - 1) << FromQString(control->objectName());
            else
                ++hidden;
        }
        return hidden;
    };
    EXPECT_GT(shownEdges(), 0);
    EXPECT_FALSE(Control("AddColor")->isVisible());
    Click("ShowTinctors");
    EXPECT_EQ(shownEdges(), 0);
    EXPECT_TRUE(Control("LargeIcon")->isVisible());
}

TEST_F(FormTest, CodeAndValueLabelsShowTheirWholeTextInPlace) {
    Open();
    form->SetCurrentColor(RGBToColor(255, 255, 255));
    Control<QToolButton>("RGBColor")->click();
    ASSERT_EQ(Text("CCode"), "RGB(255,255,255);");
    for (const char* name : {"CCode", "RLabel", "GLabel", "BLabel", "HLabel", "LLabel", "SLabel"}) {
        const QLabel* label = Control<QLabel>(name);
        EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width()) << name;
        EXPECT_GE(label->font().pixelSize(), 8) << name;
    }
    EXPECT_EQ(Control("CCode")->geometry(), QRect(54, 12, 93, 13));
    // A short code is written in the window's own font again.
    Control<QToolButton>("HTMLColor")->click();
    EXPECT_EQ(Control<QLabel>("CCode")->font().pixelSize(), form->font().pixelSize());
}

TEST_F(FormTest, FocusedSlidersStepByOneAndPageBySixteen) {
    Open();
    QScrollBar* red = Slider("RValue");
    EXPECT_TRUE(red->focusPolicy() & Qt::TabFocus);
    const auto press = [](QWidget* target, int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    const struct {
        int Key;
        int Red;
    } steps[] = {{Qt::Key_Right, 1}, {Qt::Key_PageUp, 17}, {Qt::Key_PageUp, 33}, {Qt::Key_Left, 32},
                 {Qt::Key_PageDown, 16}, {Qt::Key_PageDown, 0}, {Qt::Key_PageDown, 0}};
    for (const auto& step : steps) {
        press(red, step.Key);
        EXPECT_EQ(Rgb()[0], step.Red) << step.Key;  // the colour follows, as after a drag
        EXPECT_EQ(form->GetSliderValue(4), step.Red / 3);
    }
    QScrollBar* hue = Slider("HValue");
    hue->setSliderPosition(350);
    press(hue, Qt::Key_PageUp);
    EXPECT_EQ(hue->sliderPosition(), 359);  // kept within the range
}

TEST_F(FormTest, F1OpensTheHelpPageAndNeverReachesTheFocusedControl) {
    ASSERT_TRUE(SaveTextFile(home + "Tinctor.html", "<html></html>"));
    Open();
    QScrollBar* focused = Slider("HValue");
    struct TKeyCounter : QObject {
        int Keys = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            Keys += event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
            return false;
        }
    } counter;
    focused->installEventFilter(&counter);

    for (Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, modifiers);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_F1, modifiers);
        QApplication::sendEvent(focused, &press);
        QApplication::sendEvent(focused, &release);
    }
    EXPECT_EQ(counter.Keys, 0);
    EXPECT_THAT(shell.Opened, ElementsAre(home + "Tinctor.html", home + "Tinctor.html"));

    // Other keys still reach it.
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(focused, &right);
    EXPECT_EQ(counter.Keys, 1);
}

TEST_F(FormTest, MissingHelpPageGivesAWarning) {
    Open();
    form->ShowHelp();
    EXPECT_TRUE(shell.Opened.empty());
    ASSERT_EQ(dialogs.Log.size(), 2u);
    EXPECT_EQ(dialogs.Log[0].What, TFakeDialogs::Shown::Beep);
    EXPECT_EQ(dialogs.Log[1].MsgKind, TMsgKind::Warning);
    EXPECT_NE(dialogs.Log[1].Text.find("Tinctor.html"), std::string::npos);
}

}  // namespace
}  // namespace tinctor::testing
