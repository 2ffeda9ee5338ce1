// The script menu: captions from the first line, the listing of the scripts folder,
// refreshing, and the sample scripts copied into a new program folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include <string>
#include <vector>

#include "TempFolder.h"
#include "platform/QtText.h"
#include "scripthost/SampleScripts.h"
#include "scripthost/ScriptMenu.h"
#include "util/CodePage.h"

namespace tinctor {
namespace {

using ::testing::ElementsAre;
using testing::TTempFolder;

TEST(ScriptCaption, FirstLineCommentTrimmed) {
    EXPECT_EQ(ScriptCaption("//  Invert colour \r\nColors.R = 0;", "invert.ksc"), "Invert colour");
    EXPECT_EQ(ScriptCaption("//\t\x01Tabbed\x1f\r\n", "a.ksc"), "Tabbed");
    EXPECT_EQ(ScriptCaption("//色の反転(&I)", "a.ksc"), "色の反転(&I)");
    // A first line of two slashes alone is an empty caption, not the file name.
    EXPECT_EQ(ScriptCaption("//\r\nColors.L = 0;", "dark.ksc"), "");
    EXPECT_EQ(ScriptCaption("//", "dark.ksc"), "");
    // Lines end at LF or CR as well: a file written on Linux keeps only its first line.
    EXPECT_EQ(ScriptCaption("// Lighter\nColors.L = 255;\n", "l.ksc"), "Lighter");
    EXPECT_EQ(ScriptCaption("// Old Mac\rColors.L = 255;", "l.ksc"), "Old Mac");
}

TEST(ScriptCaption, FileNameWhenTheFirstLineIsNoLineComment) {
    EXPECT_EQ(ScriptCaption("/* Invert */\r\n", "invert.ksc"), "invert.ksc");
    EXPECT_EQ(ScriptCaption(" // indented\r\n", "indented.ksc"), "indented.ksc");
    EXPECT_EQ(ScriptCaption("Colors.R = 0; // late\r\n", "late.ksc"), "late.ksc");
    EXPECT_EQ(ScriptCaption("", "empty.ksc"), "empty.ksc");
    EXPECT_EQ(ScriptCaption("\r\n// second line\r\n", "second.ksc"), "second.ksc");
}

TEST(ScriptCaption, AtMost256BytesAndNeverHalfACharacter) {
    const std::string a300(300, 'a');
    EXPECT_EQ(ScriptCaption("//" + a300, "x.ksc"), std::string(256, 'a'));
    // Trimming comes after the cut: spaces that the cut brings to the end go too.
    EXPECT_EQ(ScriptCaption("//" + std::string(250, 'b') + std::string(10, ' ') + "tail", "x.ksc"),
              std::string(250, 'b'));
    // 255 ASCII bytes and a three-byte character: the character would end at byte 258.
    const std::string cut = std::string(255, 'c') + "色";
    EXPECT_EQ(ScriptCaption("//" + cut, "x.ksc"), std::string(255, 'c'));
    const std::string fits = std::string(253, 'c') + "色";
    EXPECT_EQ(ScriptCaption("//" + fits + "more", "x.ksc"), fits);
}

TEST(ScriptCaption, ShiftJisCountsBytes) {
    CodePage::Select(CodePage::ShiftJis);
    // 255 single bytes and a two-byte character that would end at byte 257.
    const std::string text = "//" + std::string(255, 'x') + "\x82\xa0";
    const std::string caption = ScriptCaption(text, "x.ksc");
    CodePage::Select(CodePage::Utf8);
    EXPECT_EQ(caption, std::string(255, 'x'));
}

// A menu made like the window's: a separator and the two fixed items.
class ScriptMenuTest : public ::testing::Test {
protected:
    ScriptMenuTest() {
        menu.addSeparator()->setObjectName(QStringLiteral("N1"));
        menu.addAction(QStringLiteral("フォルダを開く(&D)"))->setObjectName(QStringLiteral("OpenScriptDirectory"));
        menu.addAction(QStringLiteral("メニューの更新(&R)"))->setObjectName(QStringLiteral("MenuRefresh"));
    }

    void Rebuild(const std::string& folder) {
        RebuildScriptMenu(menu, folder, [this](QAction* item) { chosen.push_back(ScriptFileOf(item)); });
    }

    std::vector<std::string> Captions() const {
        std::vector<std::string> texts;
        for (const QAction* item : menu.actions()) texts.push_back(item->isSeparator() ? "-" : FromQString(item->text()));
        return texts;
    }

    TTempFolder scripts;
    QMenu menu;
    std::vector<std::string> chosen;
};

TEST_F(ScriptMenuTest, ScriptsInNameOrderIgnoringCaseAboveTheFixedItems) {
    scripts.Write("b.ksc", "// Bravo\r\n");
    scripts.Write("A.ksc", "// Alpha\r\n");
    scripts.Write("c.ksc", "/* no caption */\r\n");
    scripts.Write(".hidden.ksc", "// Hidden\r\n");
    scripts.Write("upper.KSC", "// Upper extension\r\n");
    scripts.Write("backup.ksc.bak", "// Backup\r\n");
    scripts.Write("folder.ksc/inner.ksc", "// Inside a folder\r\n");
    Rebuild(scripts.Path());
    EXPECT_THAT(Captions(), ElementsAre("Alpha", "Bravo", "c.ksc", "-", "フォルダを開く(&D)", "メニューの更新(&R)"));

    // Each item keeps its file name as its hint and runs that file.
    const QList<QAction*> items = menu.actions();
    EXPECT_EQ(FromQString(items[1]->toolTip()), "b.ksc");
    EXPECT_EQ(ScriptFileOf(items[1]), "b.ksc");
    EXPECT_EQ(ScriptFileOf(items[4]), "");  // a fixed item runs nothing
    items[2]->trigger();
    items[0]->trigger();
    EXPECT_THAT(chosen, ElementsAre("c.ksc", "A.ksc"));
}

TEST_F(ScriptMenuTest, RefreshReplacesTheItemsWithoutDuplicates) {
    scripts.Write("one.ksc", "// One\r\n");
    scripts.Write("two.ksc", "// Two\r\n");
    Rebuild(scripts.Path());
    Rebuild(scripts.Path());
    EXPECT_THAT(Captions(), ElementsAre("One", "Two", "-", "フォルダを開く(&D)", "メニューの更新(&R)"));

    // Changes show after the next refresh only.
    std::filesystem::remove(scripts.Path() + "one.ksc");
    scripts.Write("two.ksc", "// Second\r\n");
    EXPECT_THAT(Captions(), ElementsAre("One", "Two", "-", "フォルダを開く(&D)", "メニューの更新(&R)"));
    Rebuild(scripts.Path());
    EXPECT_THAT(Captions(), ElementsAre("Second", "-", "フォルダを開く(&D)", "メニューの更新(&R)"));
    Rebuild(scripts.Path() + "missing/");
    EXPECT_THAT(Captions(), ElementsAre("-", "フォルダを開く(&D)", "メニューの更新(&R)"));
}

TEST_F(ScriptMenuTest, WithoutASeparatorEveryItemIsAScriptItem) {
    menu.clear();
    menu.addAction(QStringLiteral("stale"));
    scripts.Write("new.ksc", "// New\r\n");
    Rebuild(scripts.Path());
    EXPECT_THAT(Captions(), ElementsAre("New"));
}

TEST(SampleScripts, CopiedIntoANewScriptsFolderKeepingWhatIsThere) {
    TTempFolder program;
    program.Write("Scripts/invert.ksc", "// Invert\r\n");
    program.Write("Scripts/darken.ksc", "// Darken\r\n");
    program.Write("Scripts/notes.txt", "not a script");
    TTempFolder home;
    home.Write("Scripts/darken.ksc", "// My own darken\r\n");

    EXPECT_EQ(CopySampleScripts(program.Path(), home.Path() + "Scripts/"), 1);
    std::string text;
    ASSERT_TRUE(LoadTextFile(home.Path() + "Scripts/invert.ksc", text));
    EXPECT_EQ(text, "// Invert\r\n");
    ASSERT_TRUE(LoadTextFile(home.Path() + "Scripts/darken.ksc", text));
    EXPECT_EQ(text, "// My own darken\r\n");
    EXPECT_FALSE(FileExists(home.Path() + "Scripts/notes.txt"));

    TTempFolder fresh;
    EXPECT_EQ(CopySampleScripts(program.Path(), fresh.Path() + "new/Scripts/"), 2);
    EXPECT_TRUE(FileExists(fresh.Path() + "new/Scripts/darken.ksc"));
    // No samples, or no executable folder: nothing is made.
    EXPECT_EQ(CopySampleScripts(fresh.Path() + "none/", fresh.Path() + "other/"), 0);
    EXPECT_FALSE(DirectoryExists(fresh.Path() + "other/"));
    EXPECT_EQ(CopySampleScripts("", fresh.Path() + "other/"), 0);
}

TEST(SampleScripts, TheBuildPutsThemBesideTheProgramWithJapaneseCaptions) {
    const std::string folder = std::string(TINCTOR_BINARY_DIR) + "/src/app/Scripts/";
    std::vector<std::string> names;
    ASSERT_TRUE(ListFileNames(folder, "*.ksc", names));
    EXPECT_THAT(names, ElementsAre("darken.ksc", "greyscale.ksc", "invert.ksc", "lighten.ksc", "websafe.ksc"));
    // Every sample has a caption of its own with an access key that no other item
    // of the menu uses (D and R belong to the fixed items).
    std::string keys = "DR";
    for (const std::string& name : names) {
        std::string text;
        ASSERT_TRUE(LoadTextFile(folder + name, text));
        const std::string caption = ScriptCaption(text, name);
        const std::size_t amp = caption.find("(&");
        ASSERT_NE(amp, std::string::npos) << name << " has no access key: " << caption;
        ASSERT_LT(amp + 2, caption.size());
        EXPECT_GT(amp, 0u) << name;
        EXPECT_EQ(keys.find(caption[amp + 2]), std::string::npos) << name << ": " << caption;
        keys += caption[amp + 2];
    }
}

}  // namespace
}  // namespace tinctor
