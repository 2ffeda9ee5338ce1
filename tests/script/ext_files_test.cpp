// File, Directory and Win32 on the real file system, in a fresh temporary folder
// per test with the XDG folders pointed into it.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "script/ext/ecma_extensions.h"
#include "script/ext/ext_process.h"
#include "fake_host.h"
#include "script_runner.h"

using namespace kestrel;
namespace fs = std::filesystem;

namespace {

class ExtFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ImportExtensionObjects(run.engine);
        char pattern[] = "/tmp/ext-files-XXXXXX";
        dir = mkdtemp(pattern);
        setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
        oldCwd = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(oldCwd);
        fs::remove_all(dir);
    }
    // Runs Script with D set to the folder (ending in "/").
    std::string Out(const std::string& script) { return run.Output("var D = '" + dir + "/';\n" + script); }
    void Write(const std::string& name, const std::string& bytes) { std::ofstream(dir + "/" + name) << bytes; }
    std::string Read(const std::string& path) {
        std::ifstream in(path[0] == '/' ? path : dir + "/" + path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    kestrel::testing::ScriptRunner run;
    std::string dir;
    fs::path oldCwd;
};

struct TCase {
    const char* script;
    const char* expected;
};

TEST_F(ExtFilesTest, FileReadsWritesAndNeverTruncates) {
    Write("five", "12345");
    Write("lines", "a \r\nb");
    const TCase cases[] = {
        {"var f = new File(D + 'five'); f.open('w'); print(f.write('abc')); f.close();", "3"},
        {"var f = new File(D + 'lines'); f.open(); var a = f.readln(), b = f.readln(), c = f.readln(); print(a + '|' + b + '|' + c + '|' + f.eof());",
         "a|b||true"},
        {"var f = new File(D + 'five'); f.open('r'); f.seek(-2); var a = f.read(), b = f.read(5), c = f.seek(1); print(a + b + c + f.read(2));",
         "451bc"},
        {"var f = new File(D + 'five'); f.open(); print(f.read(2147483647) + f.canRead() + f.canWrite());", "abc45truefalse"},
        {"var f = new File(D + 'new'); f.open('w'); var n = f.writeln('x'); print(n + ',' + f.length + f.canWrite());", "3,3true"},
        {"var f = new File(D + 'five'); print(f.length + ',' + new File(D + 'none').length + ',' + f.exists());",
         "5,0,true"},
        {"var f = new File(D + 'five'); print(f.lastModified.getFullYear() > 2000);", "true"},
        {"var f = new File('/a/b.c/n.tar.gz'); print(f.extractName() + '|' + f.extractPath() + '|' + f.extractDir() + "
         "'|' + f.extractDrive() + '|' + f.extractExt() + '|' + f.changeExt('.x') + '|' + f.changeExt(1) + '|' + f);",
         "n.tar.gz|/a/b.c/|/a/b.c||.gz|/a/b.c/n.tar.x|/a/b.c/n.tar|/a/b.c/n.tar.gz"},
        {"print(new File('x').changeExt());", "null"},
        {"print(new File(\"/a/./b/../c\\\\d:e\").expandUNCFilename());", "/a/c\\d:e"},
        {"var f = new File(D + 'five'); f.copyTo(D + 'copy'); f.renameTo(D + 'moved'); print(f.filename == D + 'moved');",
         "true"},
        {"var f = new File(D + 'lines'); f.open(); f.remove(); print(f.exists() + ',' + f.isOpened());", "false,false"},
        {"new File(D + 'none').open();", "!Exception: EFileError(2) => can not open: "},
        {"new File(D + 'none').read();", "!Exception: EFileError(2) => read error: "},
        {"new File(D + 'none').write('x');", "!Exception: EFileError(2) => write error: "},
        {"new File(D + 'none').eof();", "!Exception: EFileError(2) => eof error: "},
        {"new File(D + 'none').seek(0);", "!Exception: EFileError(2) => seek error: "},
        {"new File(D + 'none').remove();", "!Exception: EFileError(2) => remove error: "},
        {"new File(D + 'none').renameTo(D + 'x');", "!Exception: EFileError(2) => rename error: "},
        {"new File(D + 'none').copyTo(D + 'x');", "!Exception: EFileError(2) => copy error: "},
                {"new File(D + 'copy/x').open('w');", "!Exception: EFileError(2) => can not open: "},
    };
    for (const TCase& c : cases) {
        std::string expected = c.expected;
        if (expected.ends_with(": ")) expected += dir + "/" + std::string(c.script).substr(std::string(c.script).find("D + '") + 5, std::string(c.script).find("')") - std::string(c.script).find("D + '") - 5);
        EXPECT_EQ(Out(c.script), expected) << c.script;
    }
    EXPECT_EQ(Read("copy"), "abc45");
    EXPECT_EQ(Out("new File(D).open('w');"), "!Exception: EFileError(2) => can not open: " + dir + "/");
}

// readln reads far ahead; every other call still sees the position after the line.
TEST_F(ExtFilesTest, ReadlnKeepsThePositionOfEachLine) {
    const std::string longLine(70000, 'x');  // longer than one read-ahead block
    Write("big", longLine + " \r\n" + "tail line\n" + "mid\tcr\n" + "last  ");
    const std::string size = std::to_string(longLine.size() + 3 + 10 + 7 + 6);
    const TCase cases[] = {
        {"var f = new File(D + 'big'); f.open(); var a = f.readln().length, b = f.readln(), c = f.readln(), "
         "d = f.readln(), e = f.readln(); print(a + '|' + b + '|' + c + '|' + d + '|' + e + '|' + f.eof());",
         "70000|tail line|mid\tcr|last  ||true"},
        {"var f = new File(D + 'big'); f.open(); f.readln(); var a = f.read(4), b = f.readln(); print(a + '|' + b);",
         "tail| line"},
        {"var f = new File(D + 'big'); f.open(); f.readln(); var e = f.eof(), r = f.read(); print(e + '|' + r);",
         "false|tail line\nmid\tcr\nlast  "},
        {"var f = new File(D + 'big'); f.open(); f.readln(); f.readln(); var at = f.seek(-6); print(at + '|' + f.readln());",
         "@|last  "},
        {"var f = new File(D + 'big'); f.open(); f.readln(); f.readln(); f.seek(0); var a = f.read(3); print(a + f.readln().length);",
         "xxx69997"},
        {"var f = new File(D + 'big'); f.open(); f.readln(); f.readln(); f.close(); f.open(); print(f.read(2));", "xx"},
        {"var f = new File(D + 'w'); f.open('w'); f.write('ab'); try { f.readln(); } catch (e) { print('no|'); } "
         "f.write('c'); f.close(); f.open(); print(f.readln());",
         "no|abc"},
    };
    for (const TCase& c : cases) {
        std::string expected = c.expected;
        if (const std::size_t at = expected.find('@'); at != std::string::npos)
            expected.replace(at, 1, std::to_string(std::stoul(size) - 6));
        EXPECT_EQ(Out(c.script), expected) << c.script;
    }
}

// Names are bytes: a line break or a byte that is no UTF-8 passes through every call
// unchanged, and the trash's info file escapes them so that it stays three lines.
TEST_F(ExtFilesTest, NamesWithLineBreaksAndForeignBytes) {
    // N: "odd" CR LF "x" 0xFF ".txt" in the folder, built in the script.
    const std::string prefix = "var N = D + 'odd' + \"\\n\" + 'x' + new StringBuffer(1, 255) + '.txt';\n";
    const std::string odd = "odd\r\nx\xff.txt";
    const TCase cases[] = {
        {"var f = new File(N); f.open('w'); f.write('v'); f.close(); f.open(); print(f.read() + f.exists());", "vtrue"},
        {"var d = new Directory(D); print((d.findFirstFile('*.txt') == N.substring(D.length)) + ',' + (d.files[0] == N));",
         "true,true"},
        {"new Strings('s').saveToFile(N); print(new Strings().loadFromFile(N).text == \"s\\n\");", "true"},
        {"var f = new File(N); f.copyTo(N + '2'); f.renameTo(N + '3'); print(new File(N + '2').exists(), f.exists());",
         "truetrue"},
    };
    for (const TCase& c : cases) EXPECT_EQ(Out(prefix + c.script), c.expected) << c.script;
    EXPECT_EQ(Read(odd + "2"), "s\r\n");
    EXPECT_EQ(Read(odd + "3"), "s\r\n");
    // To the trash and back by its info.
    fs::create_directory(dir + "/t");
    Write("t/" + odd, "t");
    Out("new Directory(D + 't').clear();");
    EXPECT_EQ(Read(dir + "/data/Trash/files/" + odd), "t");
    const std::string info = Read(dir + "/data/Trash/info/" + odd + ".trashinfo");
    EXPECT_EQ(std::count(info.begin(), info.end(), '\n'), 3) << info;
    EXPECT_NE(info.find("/odd%0D%0Ax%FF.txt\n"), std::string::npos) << info;
}

// INI lines of megabytes: read whole, and written back whole by update.
TEST_F(ExtFilesTest, IniLinesOfMegabytes) {
    const std::string big(3 << 20, 'v');
    const std::string junk(2 << 20, '\x81');  // no "=", no UTF-8
    Write("big.ini", "[s]\nk=" + big + "\n" + junk + "\nafter=1\n");
    EXPECT_EQ(Out("var i = new Ini(D + 'big.ini'); print(i.read('s', 'k', '').length, ',', i.read('s', 'after', ''));"),
              std::to_string(big.size()) + ",1");
    Out("new Ini(D + 'big.ini').write('s', 'new', 2).update();");
    const std::string text = Read("big.ini");
    EXPECT_NE(text.find("k=" + big + "\r\n"), std::string::npos) << text.substr(0, 20);
    EXPECT_NE(text.find("new=2"), std::string::npos);
    EXPECT_NE(text.find(junk), std::string::npos);  // a line without "=" is kept too
}

TEST_F(ExtFilesTest, SharingModesFollowTheFlockRules) {
    Write("f", "x");
    const std::string name = dir + "/f";
    const TCase cases[] = {
        // Read-only "d" takes a shared lock, so a second reader with "d" gets in.
        {"var a = new File(D + 'f'); a.open('rd'); var b = new File(D + 'f'); b.open('d'); print(b.read());", "x"},
        {"var a = new File(D + 'f'); a.open('rd'); new File(D + 'f').open('w');", "!Exception: EFileError(2) => can not open: "},
        {"var a = new File(D + 'f'); a.open('r'); new File(D + 'f').open('rd');", "!Exception: EFileError(2) => can not open: "},
        {"var a = new File(D + 'f'); a.open(); a.close(); new File(D + 'f').open('w'); print('ok');", "ok"},
    };
    for (const TCase& c : cases) {
        std::string expected = c.expected;
        if (expected.ends_with(": ")) expected += name;
        EXPECT_EQ(Out(c.script), expected) << c.script;
    }
}

TEST_F(ExtFilesTest, ReadOfADeviceStopsAtTheStringLimit) {
    EXPECT_EQ(Out("var f = new File('/dev/zero'); f.open(); f.read();"),
              "!Exception: EFileError(2) => read error: /dev/zero");
    // A FIFO without a writer does not hold open.
    ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0600), 0);
    EXPECT_EQ(Out("var f = new File(D + 'fifo'); f.open(); print(f.read());"), "");
}

TEST_F(ExtFilesTest, DirectoryListsSearchesAndMakes) {
    fs::create_directories(dir + "/d/sub");
    Write("d/b.TXT", "");
    Write("d/a.txt", "");
    Write("d/.hidden", "");
    Write("d/noext", "");
    const TCase cases[] = {
        {"var d = new Directory(D + 'd'); print(d.files.count + ',' + d.directories[0]);", "4,@/d/sub"},
        {"print(new Directory(D + 'd').findFiles('*.txt').toString(';'));", "@/d/a.txt;@/d/b.TXT;"},
        {"var d = new Directory(D + 'd'); var n = 0; for (var s = d.findFirst(); s != null; s = d.findNext()) n++; print(n);",
         "7"},
        {"var d = new Directory(D + 'd'); var s = d.findFirstDir(), t = ''; while (s != null) { t += s.length; "
         "s = d.findNextDir(); } print(t.length);",
         "3"},
        {"var d = new Directory(D + 'd'); var n = 0; for (var s = d.findFirstFile('?o*'); s != null; "
         "s = d.findNextFile()) n++; print(n);",
         "1"},
        {"print(new Directory(D + 'd').findFirst('zz*'));", "null"},
        {"var d = new Directory(D + 'n/e/w'); d.make(); var e = d.exists(); print(e + d.dirname.substr(d.dirname.length - 6));",
         "truen/e/w/"},
        {"var d = new Directory(D + 'd/sub'); d.renameTo(D + 'd/sub2'); print(d.path + d.excludePathDelimiter());",
         "@/d/sub2/@/d/sub2"},
        {"var d = new Directory(D + 'd'); d.path = D + 'd/../d'; print(d.includePathDelimiter());", "@/d/"},
        {"new Directory(D + 'd').findNextFile();", "!Exception: EDirectoryError(2) => findNextFile error: @/d/"},
        {"new Directory(D + 'd').remove();", "!Exception: EDirectoryError(2) => remove error: @/d/"},
        {"new Directory(D + 'd/a.txt/x').make();", "!Exception: EDirectoryError(2) => make error: @/d/a.txt/x/"},
        {"new Directory('').make();", "!Exception: EDirectoryError(2) => make error: "},
        {"new Directory(D + 'none').changeTo();", "!Exception: EDirectoryError(2) => changeTo error: @/none/"},
        {"new Directory(D + 'd').renameTo(D + 'none/x');", "!Exception: EDirectoryError(2) => rename error: @/d/"},
    };
    for (const TCase& c : cases) {
        std::string expected = c.expected;
        for (std::size_t at; (at = expected.find('@')) != std::string::npos;) expected.replace(at, 1, dir);
        EXPECT_EQ(Out(c.script), expected) << c.script;
    }
    EXPECT_EQ(Out("print(new Directory(D + 'd').changeTo() == null);"), "false");
    EXPECT_EQ(fs::current_path(), fs::path(dir + "/d"));
}

TEST_F(ExtFilesTest, ClearMovesItemsToTheTrashWithTheirInfo) {
    fs::create_directories(dir + "/c/inner");
    Write("c/one", "1");
    Write("c/inner/two", "2");
    fs::create_directories(dir + "/outside");
    Write("outside/keep", "k");
    fs::create_directory_symlink(dir + "/outside", dir + "/c/link");
    EXPECT_EQ(Out("new Directory(D + 'c').clear(); print(new Directory(D + 'c').files.count);"), "0");
    const std::string trash = dir + "/data/Trash";
    EXPECT_EQ(Read(trash + "/files/one"), "1");
    EXPECT_EQ(Read(trash + "/files/inner/two"), "2");
    EXPECT_TRUE(fs::is_symlink(trash + "/files/link"));
    const std::string info = Read(trash + "/info/one.trashinfo");
    EXPECT_TRUE(info.starts_with("[Trash Info]\nPath=" + dir + "/c/one\nDeletionDate=")) << info;
    // A second item of the same name gets a name of its own.
    Write("c/one", "again");
    Out("new Directory(D + 'c').clear(true);");
    EXPECT_EQ(Read(trash + "/files/one.1"), "again");
    // For good, never following the link.
    fs::create_directory_symlink(dir + "/outside", dir + "/c/link");
    Out("new Directory(D + 'c').clear(false);");
    EXPECT_TRUE(fs::is_empty(dir + "/c"));
    EXPECT_EQ(Read("outside/keep"), "k");
    // Never through a link to a folder, never the root.
    fs::create_directory_symlink(dir + "/outside", dir + "/alias");
    Out("new Directory(D + 'alias').clear(false); new Directory('/').clear;");
    EXPECT_EQ(Read("outside/keep"), "k");
}

TEST_F(ExtFilesTest, ClearAsksTheHostWithNoAsTheDefault) {
    fs::create_directories(dir + "/c");
    Write("c/one", "1");
    kestrel::testing::FakeHost host;
    run.engine.Host = &host;
    host.boxAnswers = {7, 6};
    Out("new Directory(D + 'c').clear(false);");
    EXPECT_TRUE(fs::exists(dir + "/c/one"));
    Out("new Directory(D + 'c').clear(false);");
    EXPECT_FALSE(fs::exists(dir + "/c/one"));
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[0].Flags, 4 | 0x20 | 0x100);
    // Nobody to ask (kestrel without a terminal): cleared unasked.
    Write("c/two", "2");
    host.canAsk = false;
    Out("new Directory(D + 'c').clear(false);");
    EXPECT_FALSE(fs::exists(dir + "/c/two"));
    EXPECT_EQ(host.boxes.size(), 2u);
    run.engine.Host = nullptr;
}

TEST(CommandLine, SplitsByTheWindowsRules) {
    const struct {
        const char* line;
        std::vector<std::string> args;
    } cases[] = {
        {"  a  b\tc ", {"a", "b", "c"}},
        {"\"a b\" c", {"a b", "c"}},
        {"a\\\\\"b c\" d", {"a\\b c", "d"}},
        {"a\\\"b", {"a\"b"}},
        {"a\\b \"x\"\"y\"", {"a\\b", "x\"y"}},
        {"\"\"", {""}},
    };
    for (const auto& c : cases) EXPECT_EQ(ext::SplitCommandLine(c.line), c.args) << c.line;
}

TEST_F(ExtFilesTest, Win32StartsProgramsWithoutAShell) {
    const std::string made = dir + "/made by child";
    EXPECT_EQ(Out("var a = Win32.winExec('touch \"' + D + 'made by child\"'); print(a + ',' + Win32.WinExec('no-such-program-x'));"),
              "true,false");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!fs::exists(made) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(fs::exists(made));
    // A recording xdg-open first on PATH.
    fs::create_directories(dir + "/bin");
    Write("bin/xdg-open", "#!/bin/sh\necho \"$1\" >> " + dir + "/opened\n[ \"$1\" != fail ]\n");
    fs::permissions(dir + "/bin/xdg-open", fs::perms::owner_all);
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", (dir + "/bin:" + oldPath).c_str(), 1);
    EXPECT_EQ(Out("var a = Win32.shellExecute('open', 'http://x/;$(y)'); var b = Win32.shellExecute('Explore', 'fail'); "
                  "print(a + ',' + b + ',' + Win32.shellExecute('print', 'z'));"),
              "true,false,false");
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(Read("opened"), "http://x/;$(y)\nfail\n");
    EXPECT_EQ(Out("Win32.shellExecute('open');"), "!Exception: EWin32Error(2) => shellExecute error");
    EXPECT_EQ(Out("Win32.winExec();"), "!Exception: EWin32Error(2) => WinExec error");
    EXPECT_EQ(Out("var t = Win32.getTickCount(); print(Win32.sleep(30).getTickCount() - t >= 30);"), "true");
}

}  // namespace

namespace {

TEST_F(ExtFilesTest, IniReadsChangesAndUpdates) {
    Write("a.ini", std::string("junk before\r[One]\r\nk = v \nbin=\x01\x02x\n[two]\nz=1\n[ONE]\nk=later\n"));
    const TCase cases[] = {
        {"var i = new Ini(D + 'a.ini'); print(i.read('one', 'K', 'd') + ',' + i.read('one', 'none', 'd'));", "v,d"},
        {"var i = new Ini(D + 'a.ini'); print(i.readSections().commaText + '|' + i.readSection('two').commaText);",
         "One,two,ONE|z"},
        {"var i = new Ini(D + 'a.ini'); i.write('New', 'n', 5).deleteKey('one', 'k').eraseSection('two'); "
         "var e = i.sectionExists('new'); print(e + ',' + i.sectionExists() + ',' + i.read('One', 'k', '-'));",
         "true,false,-"},
        {"var i = new Ini(D + 'made.ini'); i.write('s', 'k', 'v').update(); print(new Ini(D + 'made.ini').read('S', 'K', ''));",
         "v"},
        {"new Ini();", "!Exception: EIniError(2) => ini create error"},
        {"new Ini(D);", "!Exception: EIniError(2) => ini create error"},
        {"new Ini(D + 'a.ini').read('a', 'b');", "!Exception: EIniError(2) => read error: @/a.ini"},
        {"new Ini(D + 'a.ini').eraseSection();", "!Exception: EIniError(2) => eraseSection error: @/a.ini"},
        {"new Ini(D + 'none/x.ini').write('a', 'b', 'c').update();", "!Exception: EIniError(2) => write error: @/none/x.ini"},
    };
    for (const TCase& c : cases) {
        std::string expected = c.expected;
        for (std::size_t at; (at = expected.find('@')) != std::string::npos;) expected.replace(at, 1, dir);
        EXPECT_EQ(Out(c.script), expected) << c.script;
    }
    // No global instances of Ini and RegIni.
    EXPECT_EQ(Out("print(typeof(Ini) + ',' + typeof(RegIni) + ',' + typeof(CRC));"), "undefined,undefined,object");
}

TEST_F(ExtFilesTest, RegIniKeepsKeysInTheConfigTree) {
    const TCase cases[] = {
        {"var r = new RegIni('Software\\Test'); r.write('Sec', 'Name', 'a=b\\n%'); "
         "print(new RegIni('software\\TEST').read('sec', 'NAME', 'd') == 'a=b\\n%');",
         "true"},
        {"var r = new RegIni('Software\\Test'); r.write('Sec', 'x', 1).write('Other', 'y', 2); "
         "print(r.readSections().commaText + '|' + r.readSection('SEC').commaText + '|' + r.rootKey + '|' + r.key);",
         "Other,Sec|Name,x|HKEY_CURRENT_USER|Software\\Test"},
        {"var r = new RegIni('Software\\Test'); r.deleteKey('Sec', 'x').eraseSection('other'); "
         "var e = r.sectionExists('Other'); print(e + r.readSection('Sec').commaText);",
         "falseName"},
        {"new RegIni('Software\\..\\..\\x');", "!Exception: EIniError(2) => ini create error"},
        {"new RegIni('a\\\\b');", "!Exception: EIniError(2) => ini create error"},
        {"new RegIni('a/b');", "!Exception: EIniError(2) => ini create error"},
        {"new RegIni('a').write('..', 'k', 'v');", "!Exception: EIniError(2) => write error: a"},
    };
    for (const TCase& c : cases) EXPECT_EQ(Out(c.script), c.expected) << c.script;
    const std::string root = dir + "/config/tinctor/registry/HKEY_CURRENT_USER";
    EXPECT_TRUE(fs::is_directory(root + "/Software/Test/Sec"));
    EXPECT_FALSE(fs::exists(root + "/software"));
    EXPECT_FALSE(fs::exists(dir + "/config/tinctor/x"));
}

}  // namespace
