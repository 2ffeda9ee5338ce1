// Dialog and CheckListBox through an in-memory host: what each dialog is asked to
// show, what its answers give the script, and the check marks kept beside the lines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "fake_host.h"
#include "script/ext/ecma_extensions.h"
#include "script_runner.h"

using namespace kestrel;
namespace fs = std::filesystem;
using TKind = TJFileDialog::TKind;

namespace {

class ExtDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ImportExtensionObjects(run.engine);
        ImportCheckListBox(run.engine);
        run.engine.Host = &host;
        char pattern[] = "/tmp/ext-dialog-XXXXXX";
        dir = mkdtemp(pattern);
        fs::create_directory(dir + "/sub");
        cwd = fs::current_path().string();
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Out(const std::string& script) { return run.Output("var D = '" + dir + "/';\n" + script); }

    kestrel::testing::ScriptRunner run;
    kestrel::testing::FakeHost host;
    std::string dir, cwd;
};

TEST_F(ExtDialogTest, FileDialogsStartWhereTheNameSays) {
    const struct {
        const char* script;
        TJFileDialog asked;  // @ stands for the test's folder, . for the current one
    } cases[] = {
        {"Dialog.openFile();", {TKind::Open, "script_tests", ".", "", "", ""}},
        {"Dialog.openFile('Pick', D + 'sub/*.TXT;*.ksc');", {TKind::Open, "Pick", "@/sub", "", "*.TXT;*.ksc", "TXT"}},
        {"Dialog.saveFile('S', D + 'none/out.list');", {TKind::Save, "S", ".", "out.list", "", "list"}},
        {"Dialog.saveFile('S', 'a.b/noext');", {TKind::Save, "S", ".", "noext", "", ""}},
        {"Dialog.openFiles('', D + '*.*');", {TKind::OpenMany, "", "@", "", "*.*", ""}},
        {"Dialog.openFile('', D + 'sub');", {TKind::Open, "", "@/sub", "", "", ""}},
        {"Dialog.openFolder('F', D + 'sub/');", {TKind::Folder, "F", "@/sub", "", "", ""}},
        {"Dialog.openFolder('F', D + 'missing');", {TKind::Folder, "F", ".", "", "", ""}},
    };
    for (const auto& c : cases) {
        host.fileDialogs.clear();
        EXPECT_EQ(Out(c.script), "") << c.script;
        ASSERT_EQ(host.fileDialogs.size(), 1u) << c.script;
        TJFileDialog expected = c.asked;
        expected.Folder = expected.Folder == "." ? cwd : dir + expected.Folder.substr(1);
        const TJFileDialog& asked = host.fileDialogs[0];
        EXPECT_EQ(std::tie(asked.Kind, asked.Title, asked.Folder, asked.FileName, asked.Filter, asked.DefaultExt),
                  std::tie(expected.Kind, expected.Title, expected.Folder, expected.FileName, expected.Filter,
                           expected.DefaultExt))
            << c.script;
    }
}

TEST_F(ExtDialogTest, AnswersAndCancelsReachTheScript) {
    host.fileAnswers = {std::vector<std::string>{"/x/a b"}, std::nullopt, std::vector<std::string>{"/p", "/q"},
                        std::nullopt,   std::vector<std::string>{"/x/new"}, std::nullopt,
                        std::vector<std::string>{"/dir"}};
    EXPECT_EQ(Out("var a = Dialog.openFile(), b = Dialog.openFile(); print(a, '|', b);"), "/x/a b|null");
    EXPECT_EQ(Out("var a = Dialog.openFiles(), b = Dialog.openFiles(); print(a.commaText, '|', b.count);"), "/p,/q|0");
    EXPECT_EQ(Out("var a = Dialog.saveFile(), b = Dialog.saveFile(); print(a, '|', b);"), "/x/new|null");
    EXPECT_EQ(Out("print(new Dialog().openFolder());"), "/dir");
    // Nobody to ask: every dialog is cancelled.
    run.engine.Host = nullptr;
    EXPECT_EQ(Out("print(Dialog.openFile(), Dialog.openFiles().count, Dialog.saveFile(), Dialog.openFolder());"),
              "null0nullnull");
}

// The marks as the host saw them when the dialog opened, as "010".
std::string Marks(const TJCheckList& list) {
    std::string marks;
    for (bool m : list.Checked) marks += m ? '1' : '0';
    return marks;
}

TEST_F(ExtDialogTest, CheckListBoxKeepsOneMarkPerLine) {
    const struct {
        const char* script;
        const char* expected;
    } cases[] = {
        {"var c = new CheckListBox(); print(c.index, c.count, c.getChecked(), c.items.count);", "-10false0"},
        // Marks stay at their positions when lines go: the old second line gets the first mark.
        {"var c = new CheckListBox(); c.items.add('a', 'b', 'c'); c.setChecked(0, true).setChecked(2, true);"
         "c.items.delete(0); print(c.getChecked(0), c.getChecked(1), c.count);",
         "truefalse2"},
        // The surplus mark went with the line; a new line starts unmarked.
        {"var c = new CheckListBox(); c.items.add('a', 'b', 'c'); c.setChecked(2, true); c.items.delete(0);"
         "c.items.add('d'); print(c.getChecked(2));",
         "false"},
        // A whole text at once is one change: marks of lines that stay are kept.
        {"var c = new CheckListBox(); c.items.add('a', 'b'); c.setChecked(1, true); c.items.text = \"x\\ny\\nz\";"
         "print(c.getChecked(1), c.getChecked(2));",
         "truefalse"},
        {"var c = new CheckListBox(); c.items.add('a'); c.setChecked(0); c.setChecked(); print(c.getChecked(0));",
         "false"},
        {"var c = new CheckListBox(); c.items.add('a', 'b', 'c'); c.getChecked(5);",
         "!Exception: EIndexError(2) => CheckListBox.getChecked Index Error"},
        {"var c = new CheckListBox(); c.setChecked(-1, true);",
         "!Exception: EIndexError(2) => CheckListBox.setChecked Index Error"},
        {"var c = new CheckListBox(); var i = c.items; c = null; i.add('still'); print(i.count);", "1"},
        {"print(CheckListBox.count);", "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(Out(c.script), c.expected) << c.script;
}

TEST_F(ExtDialogTest, ExecuteTakesMarksBackOnlyOnOk) {
    // OK: marks and selection come back.
    host.checkListAnswers.push_back([](TJCheckList& list) {
        list.Checked = {true, false, true};
        list.Index = 2;
        return true;
    });
    EXPECT_EQ(Out("var c = new CheckListBox(); c.items.add('a', 'b', 'c'); c.setChecked(1, true);"
                  "var r = c.execute('Cap', 'Text', 1); print(r, c.index, c.getChecked(0), c.getChecked(1));"),
              "true2truefalse");
    ASSERT_EQ(host.checkLists.size(), 1u);
    const TJCheckList& shown = host.checkLists[0];
    EXPECT_EQ(shown.Caption, "Cap");
    EXPECT_EQ(shown.Text, "Text");
    EXPECT_EQ(shown.Lines, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(Marks(shown), "010");
    EXPECT_EQ(shown.Index, 1);
    // Cancel after changing marks: the marks stay, the selection is taken.
    host.checkListAnswers.push_back([](TJCheckList& list) {
        list.Checked = {true, true};
        list.Index = 0;
        return false;
    });
    EXPECT_EQ(Out("var c = new CheckListBox(); c.items.add('a', 'b'); var r = c.execute();"
                  "print(r, c.index, c.getChecked(0), c.getChecked(1));"),
              "false0falsefalse");
    EXPECT_EQ(host.checkLists[1].Index, -1);
    // An empty list: OK gives true and no selection; an index outside the list selects nothing.
    host.checkListAnswers.push_back([](TJCheckList&) { return true; });
    EXPECT_EQ(Out("var c = new CheckListBox(); var r = c.execute('', '', 4); print(r, c.index);"), "true-1");
    EXPECT_EQ(host.checkLists[2].Index, -1);
    // Without anybody to ask: cancelled, the selection as given.
    run.engine.Host = nullptr;
    EXPECT_EQ(Out("var c = new CheckListBox(); c.items.add('a', 'b'); var r = c.execute('', '', 1); print(r, c.index);"),
              "false1");
}

}  // namespace
