// The script menu of the main window: listed at start-up, refreshed by its item, the
// folder opened by the shell.
#include <QAction>
#include <QMenu>
#include <QTimer>

#include "FormFixture.h"

namespace tinctor::testing {
namespace {

using ::testing::ElementsAre;

class ScriptMenuTest : public FormTest {
protected:
    void WriteScript(const std::string& name, const std::string& text) {
        ForceDirectories(home + "Scripts/");
        ASSERT_TRUE(SaveTextFile(home + "Scripts/" + name, text));
    }
    QMenu* Menu() const { return form->findChild<QMenu*>(QStringLiteral("ScriptMenu")); }
    QAction* Item(const char* name) const { return form->findChild<QAction*>(QString::fromLatin1(name)); }
    // Writes the script, refreshes the menu and chooses the script's item.
    void RunScript(const std::string& text) {
        WriteScript("script.ksc", "// Script\r\n" + text);
        Item("MenuRefresh")->trigger();
        Menu()->actions()[0]->trigger();
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> texts;
        for (const QAction* item : Menu()->actions())
            texts.push_back(item->isSeparator() ? "-" : FromQString(item->text()));
        return texts;
    }
};

TEST_F(ScriptMenuTest, ListedAtStartAndRefreshedByItsItem) {
    WriteScript("invert.ksc", "//  Invert colour \r\nColors.R = 255 - Colors.R;\r\n");
    Open();
    EXPECT_THAT(Captions(), ElementsAre("Invert colour", "-", "フォルダを開く(&D)", "メニューの更新(&R)"));

    WriteScript("Dark.ksc", "//\r\nColors.L = 0;\r\n");
    EXPECT_EQ(Captions().size(), 4u);  // nothing changes before the refresh
    Item("MenuRefresh")->trigger();
    Item("MenuRefresh")->trigger();
    EXPECT_THAT(Captions(), ElementsAre("", "Invert colour", "-", "フォルダを開く(&D)", "メニューの更新(&R)"));
    EXPECT_EQ(FromQString(Menu()->actions()[0]->toolTip()), "Dark.ksc");
}

TEST_F(ScriptMenuTest, AMissingScriptsFolderIsMadeWhenOpenedAndAFailureIsReported) {
    Open();
    EXPECT_THAT(Captions(), ElementsAre("-", "フォルダを開く(&D)", "メニューの更新(&R)"));
    Item("OpenScriptDirectory")->trigger();
    EXPECT_TRUE(DirectoryExists(home + "Scripts"));  // with the samples that come with the program
    EXPECT_THAT(shell.Opened, ElementsAre(home + "Scripts/"));
    EXPECT_TRUE(dialogs.Log.empty());

    // The user's own scripts are never written over.
    WriteScript("mine.ksc", "// Mine\r\n");
    shell.Succeeds = false;
    Item("OpenScriptDirectory")->trigger();
    EXPECT_EQ(dialogs.ErrorBoxes(),
              std::vector<std::string>{"スクリプトのフォルダ \"" + home + "Scripts/\" を開けません。"});
    std::string mine;
    ASSERT_TRUE(LoadTextFile(home + "Scripts/mine.ksc", mine));
    EXPECT_EQ(mine, "// Mine\r\n");
}

TEST_F(ScriptMenuTest, AScriptChangesTheCurrentColourWhenItEnds) {
    Open();
    form->SetCurrentColor(RGBToColor(20, 128, 255));
    RunScript("Colors.R = Colors.R - 50;\r\n");
    EXPECT_EQ(Rgb(), (std::array{0, 128, 255}));
    EXPECT_EQ(Text("RLabel"), "R：00");  // the labels follow

    RunScript("Colors.L = 0;\r\n");
    EXPECT_EQ(form->CurrentColor(), RGBToColor(0, 0, 0));
    EXPECT_EQ(Slider("RValue")->value(), 0);

    RunScript("Colors.R = 300;\r\n");
    EXPECT_EQ(Rgb(), (std::array{255, 0, 0}));

    RunScript("Colors.H = 400;\r\nColors.L = 128;\r\nColors.S = 255;\r\n");
    EXPECT_EQ(Slider("HValue")->value(), 359);
    EXPECT_EQ(form->CurrentColor(), HLSToColor({359, 128, 255}));

    // R then H: the H, L, S sliders decide, and R follows the new colour.
    form->SetCurrentColor(RGBToColor(10, 200, 30));
    const int lightness = Slider("LValue")->value(), saturation = Slider("SValue")->value();
    RunScript("Colors.R = 250;\r\nColors.H = 240;\r\n");
    const TColor expected = HLSToColor({240, static_cast<std::uint16_t>(lightness), static_cast<std::uint16_t>(saturation)});
    EXPECT_EQ(form->CurrentColor(), expected);
    EXPECT_EQ(Slider("RValue")->value(), SplitColor(expected).R);
    EXPECT_TRUE(dialogs.Log.empty());
}

TEST_F(ScriptMenuTest, AScriptThatOnlyReadsLeavesTheColour) {
    Open();
    form->SetCurrentColor(RGBToColor(1, 2, 3));
    RunScript("var sum = Colors.R + Colors.G + Colors.B + Colors.H + Colors.L + Colors.S + Colors.A;\r\n"
              "Colors.A = 200;\r\n");
    EXPECT_EQ(Rgb(), (std::array{1, 2, 3}));
    EXPECT_EQ(Slider("AValue")->value(), 2);
}

TEST_F(ScriptMenuTest, ReportsAreErrorBoxesAndTheTimerGoesOn) {
    Open();
    QTimer* timer = form->findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(timer->isActive());
    RunScript("Colors.R = ;\r\n");
    ASSERT_EQ(dialogs.Log.size(), 2u);  // the beep and the box
    EXPECT_TRUE(dialogs.Log[1].Text.starts_with("SyntaxError: Line(2) => ")) << dialogs.Log[1].Text;
    EXPECT_TRUE(timer->isActive());
}

}  // namespace
}  // namespace tinctor::testing
