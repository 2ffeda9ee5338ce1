// kestrel's dialogs as a user meets them: asked on a real terminal (a pseudo-terminal
// the test types into), and answered at once without one, where Directory.clear goes
// ahead unasked.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "ext/KestrelProcess.h"
#include "scripthost/TempFolder.h"

namespace tinctor::testing {
namespace {

// Every dialog of a script once, each result printed on a line of its own.
constexpr const char* kDialogs =
    "var c = new CheckListBox(); c.items.add('a', 'b', 'c'); c.setChecked(0, true);\n"
    "var r = c.execute('Cap', 'Text', 1);\n"
    "println('CLB ' + r + ' ' + c.index + ' ' + c.getChecked(0) + c.getChecked(1) + c.getChecked(2));\n"
    "println('OPEN ' + Dialog.openFile('T', D + '*.txt'));\n"
    "println('SAVE ' + Dialog.saveFile('T', D + 'out.txt'));\n"
    "println('MANY ' + Dialog.openFiles('T', D).commaText);\n"
    "println('DIR ' + Dialog.openFolder('T', D));\n"
    "println('NONE ' + Dialog.openFile('T', D));\n"
    "println('AFTER ' + Dialog.openFolder('T', D + 'sub'));\n";

class TerminalDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        temp.Write("x.txt", "x");
        temp.Write("y.txt", "y");
        temp.Write("sub/z", "z");
        dir = temp.Path().substr(0, temp.Path().size() - 1);
    }
    std::string Script(const std::string& text) {
        temp.Write("script.js", "var D = '" + temp.Path() + "';\n" + text);
        return temp.Path() + "script.js";
    }
    // The results in Output, each from its word to the end of its line (on a terminal
    // a result may follow a prompt), CR removed.
    static std::string Results(const std::string& output) {
        std::string results;
        std::size_t at = 0;
        while (at < output.size()) {
            std::size_t end = output.find('\n', at);
            if (end == std::string::npos) end = output.size();
            std::string line = output.substr(at, end - at);
            std::erase(line, '\r');
            for (const char* word : {"CLB ", "OPEN ", "SAVE ", "MANY ", "DIR ", "NONE ", "AFTER "})
                if (const std::size_t from = line.find(word); from != std::string::npos)
                    results += line.substr(from) + "\n";
            at = end + 1;
        }
        return results;
    }

    TTempFolder temp;
    std::string dir;
};

TEST_F(TerminalDialogsTest, WithoutATerminalEveryDialogIsCancelled) {
    temp.Write("full/one", "1");
    TKestrelProcess kestrel(Script(std::string(kDialogs) + "new Directory(D + 'full').clear(); println('DIR cleared');"),
                            {{"XDG_DATA_HOME", temp.Path() + "data"}});
    const auto [output, status] = kestrel.Finish();
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(Results(output),
              "CLB false 1 truefalsefalse\nOPEN null\nSAVE null\nMANY \nDIR null\nNONE null\nAFTER null\nDIR cleared\n");
    EXPECT_FALSE(std::filesystem::exists(temp.Path() + "full/one"));
    EXPECT_TRUE(std::filesystem::exists(temp.Path() + "data/Trash/files/one"));
}

TEST_F(TerminalDialogsTest, OnATerminalTheAnswersAreTyped) {
    const std::string script = Script(kDialogs);
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const std::string program = KestrelPath();
        execl(program.c_str(), program.c_str(), script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Typed ahead, one answer a line: toggle lines 1 and 3, OK; a file; a name to save
    // (the extension is added); three names, one missing, then the end; the proposed
    // folder; Ctrl-D, which cancels only its own dialog; the proposed folder.
    const std::string typed = "1 3\n\nx.txt\nnew\nx.txt\nmissing\n" + dir + "/y.txt\n\n\n\x04\n";
    ASSERT_EQ(write(master, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    std::string output;
    char block[4096];
    for (pollfd p{master, POLLIN, 0}; poll(&p, 1, 10000) > 0;) {
        const ssize_t n = read(master, block, sizeof block);
        if (n <= 0) break;  // EIO once the child has gone
        output.append(block, static_cast<std::size_t>(n));
    }
    int status = -1;
    waitpid(pid, &status, 0);
    close(master);
    EXPECT_EQ(Results(output), "CLB true 2 falsefalsetrue\nOPEN " + dir + "/x.txt\nSAVE " + dir + "/new.txt\nMANY " +
                                   dir + "/x.txt," + dir + "/y.txt\nDIR " + dir + "\nNONE null\nAFTER " + dir + "/sub\n")
        << output;
    EXPECT_NE(output.find("no such file: " + dir + "/missing"), std::string::npos) << output;
}

}  // namespace
}  // namespace tinctor::testing
