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
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Out(const std::string& script) { return run.Output("var D = '" + dir + "/';\n" + script); }

    kestrel::testing::ScriptRunner run;
    kestrel::testing::FakeHost host;
    std::string dir;
};

// "kind|title|folder|name|filter|extension", the folder as "@" for the test's own and
// "." for the current one.
std::string Asked(const TJFileDialog& d, const std::string& dir) {
    const std::string cwd = fs::current_path().string();
    const std::string folder = d.Folder == cwd ? "." : d.Folder.starts_with(dir) ? "@" + d.Folder.substr(dir.size()) : d.Folder;
    return std::to_string(int(d.Kind)) + "|" + d.Title + "|" + folder + "|" + d.FileName + "|" + d.Filter + "|" + d.DefaultExt;
}

TEST_F(ExtDialogTest, FileDialogsStartWhereTheNameSays) {
    const struct {
        const char* script;
        const char* asked;
    } cases[] = {
        {"Dialog.openFile();", "0|script_tests|.|||"},
        {"Dialog.openFile('Pick', D + 'sub/*.TXT;*.ksc');", "0|Pick|@/sub||*.TXT;*.ksc|TXT"},
        {"Dialog.saveFile('S', D + 'none/out.list');", "2|S|.|out.list||list"},
        {"Dialog.saveFile('S', 'a.b/noext');", "2|S|.|noext||"},
        {"Dialog.openFiles('', D + '*.*');", "1||@||*.*|"},
        {"Dialog.openFile('', D + 'sub');", "0||@/sub|||"},
        {"Dialog.openFolder('F', D + 'sub/');", "3|F|@/sub|||"},
        {"Dialog.openFolder('F', D + 'missing');", "3|F|.|||"},
    };
    for (const auto& c : cases) {
        host.fileDialogs.clear();
        EXPECT_EQ(Out(c.script), "") << c.script;
        ASSERT_EQ(host.fileDialogs.size(), 1u) << c.script;
        EXPECT_EQ(Asked(host.fileDialogs[0], dir), c.asked) << c.script;
    }
}

TEST_F(ExtDialogTest, AnswersAndCancelsReachTheScript) {
    using TNames = std::vector<std::string>;
    host.fileAnswers = {TNames{"/x/a b"}, std::nullopt, TNames{"/p", "/q"}, std::nullopt, TNames{"/new"}, TNames{"/d"}};
    EXPECT_EQ(Out("var a = Dialog.openFile(), b = Dialog.openFile(), m = Dialog.openFiles(), n = Dialog.openFiles(),"
                  "s = Dialog.saveFile(), f = new Dialog().openFolder();"
                  "print(a, '|', b, '|', m.commaText, '|', n.count, '|', s, '|', f);"),
              "/x/a b|null|/p,/q|0|/new|/d");
    run.engine.Host = nullptr;  // nobody to ask: every dialog is cancelled
    EXPECT_EQ(Out("print(Dialog.openFile(), Dialog.openFiles().count, Dialog.saveFile(), Dialog.openFolder());"),
              "null0nullnull");
}

TEST_F(ExtDialogTest, CheckListBoxKeepsOneMarkPerLine) {
    const struct {
        const char* script;
        const char* expected;
    } cases[] = {
        {"var c = new CheckListBox(); print(c.index, c.count, c.getChecked(), CheckListBox.count);", "-10false0"},
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
        {"var c = new CheckListBox(); c.items.add('a'); c.setChecked(0); print(c.getChecked(0));", "false"},
        {"var c = new CheckListBox(); c.items.add('a', 'b', 'c'); c.getChecked(5);",
         "!Exception: EIndexError(2) => CheckListBox.getChecked Index Error"},
        {"var c = new CheckListBox(); c.setChecked(-1, true);",
         "!Exception: EIndexError(2) => CheckListBox.setChecked Index Error"},
        {"var c = new CheckListBox(); var i = c.items; c = null; i.add('still'); print(i.count);", "1"},
    };
    for (const auto& c : cases) EXPECT_EQ(Out(c.script), c.expected) << c.script;
}

// What the dialog was shown: "caption|text|lines|marks|index".
std::string Shown(const TJCheckList& list) {
    std::string text = list.Caption + "|" + list.Text + "|";
    for (const std::string& line : list.Lines) text += line;
    text += "|";
    for (bool mark : list.Checked) text += mark ? '1' : '0';
    return text + "|" + std::to_string(list.Index);
}

TEST_F(ExtDialogTest, ExecuteTakesMarksBackOnlyOnOk) {
    const struct {
        const char* script;  // c: a box with the lines a, b, c and b marked
        bool ok;             // how the user closes it, after marking a and c and selecting line 2
        const char* shown;
        const char* expected;  // the result, index and the three marks
    } cases[] = {
        {"var r = c.execute('Cap', 'Text', 1);", true, "Cap|Text|abc|010|1", "true2101"},
        {"var r = c.execute();", false, "||abc|010|-1", "false2010"},
        {"c.items.clear(); var r = c.execute('', '', 4);", true, "||||-1", "true-1"},
    };
    for (const auto& c : cases) {
        host.checkLists.clear();
        host.checkListAnswers.push_back([ok = c.ok](TJCheckList& list) {
            if (!list.Lines.empty()) list.Checked = {true, false, true}, list.Index = 2;
            return ok;
        });
        EXPECT_EQ(Out(std::string("var c = new CheckListBox(); c.items.add('a', 'b', 'c'); c.setChecked(1, true);") +
                      c.script + "print(r, c.index); for (var i = 0; i < c.count; i++) print(c.getChecked(i) ? 1 : 0);"),
                  c.expected)
            << c.script;
        ASSERT_EQ(host.checkLists.size(), 1u);
        EXPECT_EQ(Shown(host.checkLists[0]), c.shown) << c.script;
    }
    // Without anybody to ask: cancelled, the selection as given.
    run.engine.Host = nullptr;
    EXPECT_EQ(Out("var c = new CheckListBox(); c.items.add('a', 'b'); var r = c.execute('', '', 1); print(r, c.index);"),
              "false1");
}

}  // namespace
