// The script menu of the main window: listed at start-up, refreshed by its item, the
// folder opened by the shell.
#include <QAction>
#include <QMenu>

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

TEST_F(ScriptMenuTest, NoScriptsFolderLeavesTheFixedItemsAndIsNeverMade) {
    Open();
    EXPECT_THAT(Captions(), ElementsAre("-", "フォルダを開く(&D)", "メニューの更新(&R)"));
    Item("OpenScriptDirectory")->trigger();
    EXPECT_THAT(shell.Opened, ElementsAre(home + "Scripts/"));
    EXPECT_FALSE(DirectoryExists(home + "Scripts"));
    shell.Succeeds = false;  // a folder that cannot be opened gives no message
    Item("OpenScriptDirectory")->trigger();
    EXPECT_TRUE(dialogs.Log.empty());
}

}  // namespace
}  // namespace tinctor::testing
