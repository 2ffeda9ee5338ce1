// A script of the menu run on the sliders: the Colors object through the engine, the
// sample scripts, the error boxes, and stopping a script that does not end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <string>
#include <vector>

#include "FakeSliders.h"
#include "TempFolder.h"
#include "platform/fake/FakeDialogs.h"
#include "scripthost/ScriptRun.h"
#include "scripthost/ScriptWatch.h"

namespace tinctor {
namespace {

using ::testing::ElementsAre;
using ::testing::MatchesRegex;
using testing::TFakeSliders;
using testing::TTempFolder;
using Shown = TFakeDialogs::Shown;

class ScriptRunTest : public ::testing::Test {
protected:
    void Run(const std::string& text) {
        folder.Write("script.ksc", text);
        RunColorScript(folder.Path() + "script.ksc", sliders, &window);
    }
    void RunSample(const std::string& name) {
        RunColorScript(std::string(TINCTOR_SOURCE_DIR) + "/data/scripts/" + name, sliders, &window);
    }
    void SetRgb(int r, int g, int b) {
        sliders.Values[0] = r;
        sliders.Values[1] = g;
        sliders.Values[2] = b;
    }
    std::array<int, 3> Rgb() const { return {sliders.Values[0], sliders.Values[1], sliders.Values[2]}; }
    // The texts of the error boxes of the engine's reports.
    std::vector<std::string> Errors() const {
        std::vector<std::string> texts;
        for (const Shown& shown : dialogs.Log)
            if (shown.What == Shown::Message && shown.MsgKind == TMsgKind::Error) texts.push_back(shown.Text);
        return texts;
    }

    TTempFolder folder;
    TFakeSliders sliders;
    TFakeDialogs dialogs;
    QWidget window;
};

TEST_F(ScriptRunTest, EachReportIsAnErrorBoxAfterTheBeep) {
    Run("var a = 1;\r\nvar b = 2;\r\nvar c = ;\r\n");
    ASSERT_EQ(dialogs.Log.size(), 2u);
    EXPECT_EQ(dialogs.Log[0].What, Shown::Beep);
    EXPECT_EQ(dialogs.Log[0].MsgKind, TMsgKind::Error);
    EXPECT_EQ(dialogs.Log[1].What, Shown::Message);
    EXPECT_TRUE(dialogs.Log[1].Text.starts_with("SyntaxError: Line(3) => ")) << dialogs.Log[1].Text;
    EXPECT_TRUE(sliders.Moved.empty());  // a script that does not compile does nothing

    dialogs.Log.clear();
    Run("Colors.R = 7;\r\nundefinedFunction();\r\nColors.R = 9;\r\n");
    EXPECT_THAT(Errors(), ElementsAre("Exception: ENameError(2) => undefined - undefinedFunction"));
    // What the script wrote before the error still counts.
    EXPECT_EQ(sliders.Values[0], 7);
    EXPECT_THAT(sliders.Moved, ElementsAre(1));
}

TEST_F(ScriptRunTest, AScriptWhoseFileHasGoneSaysSo) {
    RunColorScript(folder.Path() + "gone.ksc", sliders, &window);
    EXPECT_THAT(Errors(), ElementsAre(std::string(ScriptNotFoundMessage) + folder.Path() + "gone.ksc"));
    EXPECT_TRUE(sliders.Moved.empty());
}

TEST_F(ScriptRunTest, SampleScripts) {
    SetRgb(20, 128, 255);
    RunSample("invert.ksc");
    EXPECT_EQ(Rgb(), (std::array{235, 127, 0}));
    EXPECT_THAT(sliders.Moved, ElementsAre(3));

    SetRgb(20, 128, 255);
    RunSample("greyscale.ksc");
    // (20 * 299 + 128 * 587 + 255 * 114) / 1000 = 110.046
    EXPECT_EQ(Rgb(), (std::array{110, 110, 110}));

    SetRgb(25, 26, 230);
    RunSample("websafe.ksc");
    EXPECT_EQ(Rgb(), (std::array{0, 51, 255}));
    SetRgb(76, 77, 255);
    RunSample("websafe.ksc");
    EXPECT_EQ(Rgb(), (std::array{51, 102, 255}));

    sliders.Moved.clear();
    sliders.Values[5] = 240;
    RunSample("lighten.ksc");
    EXPECT_EQ(sliders.Values[5], 255);
    RunSample("darken.ksc");
    EXPECT_EQ(sliders.Values[5], 231);
    sliders.Values[5] = 10;
    RunSample("darken.ksc");
    EXPECT_EQ(sliders.Values[5], 0);
    EXPECT_THAT(sliders.Moved, ElementsAre(6, 6, 6));
    EXPECT_TRUE(dialogs.Log.empty());
}

// A script that runs long enough for the window's events to be looked at.
constexpr const char* kLongScript =
    "Colors.R = 1;\r\nvar n = 0;\r\nwhile (n < 20) { sleep(10); n = n + 1; }\r\nColors.R = 9;\r\n";

TEST_F(ScriptRunTest, EscOffersToStopAndNoLetsTheScriptGoOn) {
    QCoreApplication::postEvent(&window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    dialogs.YesNoAnswers = {false};
    Run(kLongScript);
    ASSERT_EQ(dialogs.Log.size(), 2u);  // the beep and the question
    EXPECT_EQ(dialogs.Log[1].What, Shown::Question);
    EXPECT_EQ(dialogs.Log[1].Text, StopScriptQuestion);
    EXPECT_TRUE(dialogs.Log[1].DefaultYes);
    EXPECT_EQ(sliders.Values[0], 9);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the busy cursor is gone
}

TEST_F(ScriptRunTest, EscAndYesStopAScriptThatNeverEnds) {
    QCoreApplication::postEvent(&window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    dialogs.YesNoAnswers = {true};
    Run("Colors.R = 1;\r\nwhile (true) { Colors.G = Colors.G; }\r\n");
    EXPECT_THAT(Errors(), ElementsAre(MatchesRegex("Abort Script\\([0-9]+\\)")));
    // The colour of what the script wrote is applied all the same.
    EXPECT_EQ(sliders.Values[0], 1);
    EXPECT_THAT(sliders.Moved, ElementsAre(2));
}

TEST_F(ScriptRunTest, ClosingTheWindowOffersToStopAndTheWindowStays) {
    window.show();
    QCoreApplication::postEvent(&window, new QCloseEvent);
    dialogs.YesNoAnswers = {true};
    Run("while (true) { }\r\n");
    EXPECT_THAT(Errors(), ElementsAre(MatchesRegex("Abort Script\\([0-9]+\\)")));
    EXPECT_TRUE(window.isVisible());
}

TEST_F(ScriptRunTest, UserInputIsHeldBackWhileAScriptRuns) {
    int clicks = 0;
    struct TClickCounter : QWidget {
        int* Clicks;
        void mousePressEvent(QMouseEvent*) override { ++*Clicks; }
    } target;
    target.Clicks = &clicks;
    const QPointF at(1, 1);
    QCoreApplication::postEvent(&target, new QMouseEvent(QEvent::MouseButtonPress, at, at, Qt::LeftButton,
                                                         Qt::LeftButton, Qt::NoModifier));
    Run(kLongScript);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(sliders.Values[0], 9);
}

}  // namespace
}  // namespace tinctor
