// Compiled script files: the tree saved and loaded back, what the loader refuses, and
// where the engine keeps the files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "compiled_tree.h"
#include "script/core/ecma_compiled_file.h"
#include "script_runner.h"
#include "util/stdFiles.h"

using namespace kestrel;
using kestrel::testing::ScriptRunner;
using kestrel::testing::TreeSignature;
namespace fs = std::filesystem;

namespace {

class CompiledFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kestrel_compiled_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        setenv("XDG_CACHE_HOME", Path("cache").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("XDG_CACHE_HOME");
        fs::remove_all(dir_);
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }
    static std::string Read(const std::string& path) {
        std::string bytes;
        tinctor::LoadTextFile(path, bytes);
        return bytes;
    }
    // Sets the file's modification time Seconds from now.
    static void SetAge(const std::string& path, int seconds) {
        fs::last_write_time(path, fs::file_time_type::clock::now() + std::chrono::seconds(seconds));
    }
    // Compiles the file through compiled files and runs it; what it printed.
    std::string CompileAndRun(const std::string& script) {
        runner_.out.clear();
        if (!runner_.engine.CompileFile(script, true)) return "<not compiled>";
        runner_.engine.Run();
        return runner_.out;
    }
    // Whether Bytes, as a compiled file, load a tree; a refused file leaves no node.
    bool Loads(const std::string& bytes) {
        TJParser parser;
        const bool loaded = parser.LoadFromFile(Write("probe.kcb", bytes));
        EXPECT_EQ(loaded, parser.Root() != nullptr);
        if (!loaded) EXPECT_EQ(parser.ExprFactory().Count() + parser.StatementFactory().Count(), 0u);
        return loaded;
    }

    fs::path dir_;
    ScriptRunner runner_;
};

// Records written by hand: a statement, an expression, a value.
std::string Le32(std::uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
std::string Stmt(int flags, int kind, int line = 1) {
    return std::string{static_cast<char>(flags), static_cast<char>(kind)} + Le32(static_cast<std::uint32_t>(line));
}
std::string Expr(int flags, int code) { return {static_cast<char>(flags), static_cast<char>(code)}; }
std::string Value(int flags, int kind, const std::string& payload) {
    return std::string{static_cast<char>(flags), static_cast<char>(kind)} + payload;
}
std::string Name(const std::string& name) { return Le32(static_cast<std::uint32_t>(name.size())) + name; }
const std::string kHeader = std::string("KeScript") + '\x12';
// A program node (with Sub1) and its statements.
std::string Program(const std::string& statements) { return kHeader + Stmt(0x05, 1) + statements; }

}  // namespace

TEST_F(CompiledFiles, ALoadedTreeIsTheParsedTree) {
    // What the script tests run from loaded trees may not show: imports of both forms,
    // switches, constants of every kind, functions in functions and classes.
    Write("lib.ksc", "var libValue = 40;\n");
    Write("part.ksc", "var included = 'in';\n");
    TJParser parser;
    parser.LibraryPath = {dir_.string()};
    parser.SetSourceText(
        "@set @SHORT_CIRCUIT = 0\nimport lib;\nimport part.*;\n"
        "var v = [1 + 2 * 3, 'a\\0b', undefined, null, 1e300 * 1e10, /a[0-9]+\\/x/gim, 0.1, -infinity, NaN, true];\n"
        "function outer(a) { function inner() { return a; } return function named(z) { return z; }; }\n"
        "class Derived extends Base { static count = 0; function get() { return super.n && this.n; } }\n");
    ASSERT_TRUE(parser.Parse());
    const std::string parsed = TreeSignature(parser.Root());
    ASSERT_TRUE(parser.SaveToFile(Path("main.kcb")));
    ASSERT_TRUE(parser.LoadFromFile(Path("main.kcb")));
    EXPECT_TRUE(parser.SourceText.empty());
    EXPECT_EQ(TreeSignature(parser.Root()), parsed);
    EXPECT_EQ(parser.Pragma("SHORT_CIRCUIT", -1), -1);  // switches are not stored: they made the tree
}

TEST_F(CompiledFiles, DeclarationsGetTheirEnclosingDeclarationNotTheirSiblings) {
    // The enclosing declaration of each function is the one it is written in: a function
    // after another, or after an import, is no part of that other one.
    Write("lib.ksc", "var inLib = 5;\n");
    const std::string script = Write("main.ksc",
        "function f() { var secret = 1; function g() { return 0; } return typeof(inLib); }\n"
        "import lib;\n"
        "function h() { return typeof(inLib); }\n"
        "class C { function m() { return typeof(inLib); } }\n"
        "println(f(), h(), new C().m());\n");
    const std::string fromText = CompileAndRun(script);
    EXPECT_EQ(fromText, "undefined\r\nundefined\r\nundefined\r\n");
    SetAge(Path("main.kcb"), 10);
    EXPECT_EQ(CompileAndRun(script), fromText);

    TJParser parser;
    ASSERT_TRUE(parser.LoadFromFile(Path("main.kcb")));
    const TJStatement* root = parser.Root();
    std::vector<const TJStatement*> declarations;
    for (const TJStatement* s = root->Sub1; s; s = s->Next)
        if (IsDeclarationKind(s->Kind)) declarations.push_back(s);
    ASSERT_EQ(declarations.size(), 4u);  // f, lib, h, C
    EXPECT_EQ(declarations[0]->Enclosing(), root);
    EXPECT_EQ(declarations[1]->Enclosing(), nullptr);  // a program has none
    EXPECT_EQ(declarations[2]->Enclosing(), root);
    EXPECT_EQ(declarations[3]->Enclosing(), root);
    const TJStatement* g = declarations[0]->Body()->Sub1->Next;  // after f's var statement
    ASSERT_EQ(g->Kind, skFunction);
    EXPECT_EQ(g->Enclosing(), declarations[0]);
    EXPECT_EQ(declarations[3]->ClassMembers()->Enclosing(), declarations[3]);  // m inside C
}

TEST_F(CompiledFiles, AHundredThousandStatementsRoundTrip) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "x = x + 1;\n";
    ScriptRunner runner;
    runner.compiledRoundTrip = true;  // compares the trees, as in the compiled test run
    runner.Run("var x = 0;\n" + text + "println(x);");
    EXPECT_EQ(runner.out, "100000\r\n");
}

TEST_F(CompiledFiles, TreesAsDeepAsTheParserAllowsLoadDeeperOnesDoNot) {
    // Statements: blocks inside blocks, as many as a parse accepts.
    TJParser parser;
    int blocks = TJParser::kMaxStatementNesting;
    for (;; --blocks) {
        parser.SetSourceText(std::string(blocks, '{') + ";" + std::string(blocks, '}'));
        try {
            if (parser.Parse()) break;
        } catch (const EJSyntaxError&) {
        }
    }
    ASSERT_TRUE(parser.SaveToFile(Path("deep.kcb")));
    EXPECT_TRUE(Loads(Read(Path("deep.kcb"))));
    std::string nested;
    for (int i = 0; i <= blocks; ++i) nested += Stmt(0x05, skBlock);
    EXPECT_FALSE(Loads(Program(nested + Stmt(0x01, skEmpty))));

    // Expressions: the longest operator chain a parse accepts, then one unary minus more.
    int operands = TJParser::kMaxExpressionDepth;
    for (;; --operands) {
        std::string chain = "x = a";
        for (int i = 1; i < operands; ++i) chain += "+a";
        parser.SetSourceText(chain + ";");
        try {
            if (parser.Parse()) break;
        } catch (const EJSyntaxError&) {
        }
    }
    ASSERT_TRUE(parser.SaveToFile(Path("long.kcb")));
    EXPECT_TRUE(Loads(Read(Path("long.kcb"))));
    std::string minus;
    for (int i = 0; i < TJParser::kMaxExpressionDepth; ++i) minus += Expr(0x09, ecUnaryMinus);
    EXPECT_FALSE(Loads(Program(Stmt(0x03, skExpression) + minus + Expr(0x03, ecIdentifier) + Name("a"))));

    // Programs imported inside imported programs.
    std::string programs;
    for (int i = 0; i <= TJParser::kMaxImportNesting; ++i) programs += Stmt(0x07, skProgram) + Expr(0x03, 21) + Name("p");
    EXPECT_FALSE(Loads(Program(programs + Stmt(0x01, skEmpty))));
}

TEST_F(CompiledFiles, TheLoaderRefusesWhatNoParseWrites) {
    // `return 7;`: a return with an expression, a constant with its value.
    const std::string ret = Stmt(0x03, skReturn);
    const std::string seven = Expr(0x05, ecConstant) + Value(0x01, vtInteger, Le32(7));
    ASSERT_TRUE(Loads(Program(ret + seven)));
    const std::string name = Expr(0x03, ecIdentifier) + Name("a");
    const struct {
        const char* what;
        std::string bytes;
    } refused[] = {
        {"another version", std::string("KeScript") + '\x11' + Stmt(0x05, 1) + ret + seven},
        {"another magic", std::string("KeScripT") + '\x12' + Stmt(0x05, 1) + ret + seven},
        {"only the header", kHeader},
        {"bytes after the last record", Program(ret + seven) + '\0'},
        {"flag bit 0 clear", kHeader + Stmt(0x04, 1) + ret + seven},
        {"statement flag bit 6", kHeader + Stmt(0x45, 1) + ret + seven},
        {"expression flag bit 7", Program(ret + Expr(0x85, ecConstant) + Value(0x01, vtInteger, Le32(7)))},
        {"value flag bit 2", Program(ret + Expr(0x05, ecConstant) + Value(0x05, vtInteger, Le32(7)))},
        {"statement kind 27", Program(Stmt(0x01, 27))},
        {"expression code 64", Program(ret + Expr(0x01, 64))},
        {"the reserved code 7", Program(ret + Expr(0x19, ecIntDivide) + seven + seven)},
        {"an object constant", Program(ret + Expr(0x05, ecConstant) + Value(0x01, vtObject, Le32(0)))},
        {"value kind 13", Program(ret + Expr(0x05, ecConstant) + Value(0x01, 13, Le32(0)))},
        {"eight regular expression flags",
         Program(ret + Expr(0x05, ecConstant) + Value(0x03, vtRegExp, "\x08gimgimg") + Name("a"))},
        {"a flag that is no flag", Program(ret + Expr(0x05, ecConstant) + Value(0x03, vtRegExp, std::string("\x01x\0\0\0\0\0\0", 8)) + Name("a"))},
        {"a name longer than the file", Program(ret + Expr(0x03, ecIdentifier) + Le32(100) + "abc")},
        {"an empty name", Program(ret + Expr(0x03, ecIdentifier) + Le32(0))},
        {"a program without statements", kHeader + Stmt(0x01, 1)},
        {"a statement where the program belongs", kHeader + Stmt(0x03, skReturn) + seven},
        {"an if without its condition", Program(Stmt(0x05, skIf) + Stmt(0x01, skEmpty))},
        {"a break with an expression", Program(Stmt(0x03, skBreak) + seven)},
        {"a program with a third child", kHeader + Stmt(0x15, 1) + ret + seven + Stmt(0x01, 0)},
        {"a statement after the program", kHeader + Stmt(0x25, 1) + ret + seven + Stmt(0x01, 0)},
        {"a constant without its value", Program(ret + Expr(0x01, ecConstant))},
        {"a value on an identifier", Program(ret + Expr(0x07, ecIdentifier) + Name("a") + Value(0x01, 0, Le32(0)))},
        {"an identifier with an initialiser outside a declarator", Program(ret + Expr(0x0B, ecIdentifier) + Name("a") + seven)},
        {"a member access without its name", Program(ret + Expr(0x09, ecMember) + name)},
        {"a for-in without its collection", Program(Stmt(0x07, skForIn) + name + Stmt(0x01, skEmpty))},
        {"a statement among the case clauses", Program(Stmt(0x07, skSwitch) + seven + Stmt(0x01, skEmpty))},
        {"two default clauses", Program(Stmt(0x07, skSwitch) + seven + Stmt(0x21, skCase) + Stmt(0x01, skCase))},
        {"a try without catch or finally", Program(Stmt(0x05, skTry) + Stmt(0x01, skEmpty))},
        {"a class inside a block", Program(Stmt(0x05, skBlock) + Stmt(0x03, skClass) + name)},
        {"a list link as an expression", Program(ret + Expr(0x11, ecListLink) + seven)},
        {"a function literal without its declaration", Program(ret + Expr(0x01, ecFunction))},
    };
    for (const auto& c : refused) EXPECT_FALSE(Loads(c.bytes)) << c.what;

    // A real file cut anywhere.
    TJParser parser;
    parser.SetSourceText("function f(a) { return [a, {b: /x/g}, 'text', 2.5]; } var v = f(1); println(v);");
    ASSERT_TRUE(parser.Parse());
    ASSERT_TRUE(parser.SaveToFile(Path("whole.kcb")));
    const std::string whole = Read(Path("whole.kcb"));
    for (std::size_t size = 0; size < whole.size(); ++size) EXPECT_FALSE(Loads(whole.substr(0, size))) << size;
    EXPECT_TRUE(Loads(whole));
}

TEST_F(CompiledFiles, TheFileGoesBesideTheScriptUntilTheScriptChanges) {
    EXPECT_EQ(CompiledNameBeside("/s/a.ksc"), "/s/a.kcb");
    EXPECT_EQ(CompiledNameBeside("/s.d/a"), "/s.d/a.kcb");
    EXPECT_EQ(CompiledNameBeside("/s/a.kcb"), "");  // never over the script itself

    const std::string script = Write("a.ksc", "println('first');");
    EXPECT_EQ(CompileAndRun(script), "first\r\n");
    ASSERT_TRUE(fs::exists(Path("a.kcb")));
    EXPECT_EQ(Read(Path("a.kcb")).substr(0, 9), kHeader);

    // An unchanged script runs its compiled tree: new text with an old time is not read.
    Write("a.ksc", "println('second');");
    SetAge(script, -10);
    EXPECT_EQ(CompileAndRun(script), "first\r\n");
    // A touched script is parsed again and its file rewritten.
    SetAge(script, 10);
    EXPECT_EQ(CompileAndRun(script), "second\r\n");
    Write("a.ksc", "println('other');");
    SetAge(script, -10);
    EXPECT_EQ(CompileAndRun(script), "second\r\n");

    // A file the loader refuses is replaced by the parse's.
    Write("a.kcb", kHeader + Stmt(0x05, 1));
    SetAge(script, -10);
    EXPECT_EQ(CompileAndRun(script), "other\r\n");
    TJParser parser;
    EXPECT_TRUE(parser.LoadFromFile(Path("a.kcb")));

    // A script that compiles to nothing leaves no file; without the option none is read.
    Write("empty.ksc", "// nothing\n");
    EXPECT_FALSE(runner_.engine.CompileFile(Path("empty.ksc"), true));
    EXPECT_FALSE(fs::exists(Path("empty.kcb")));
    Write("a.ksc", "println('third');");
    SetAge(script, -10);
    ASSERT_TRUE(runner_.engine.CompileFile(script, false));
    runner_.out.clear();
    runner_.engine.Run();
    EXPECT_EQ(runner_.out, "third\r\n");
}

TEST_F(CompiledFiles, WhereTheScriptsFolderCannotTakeItTheUsersCacheDoes) {
    // A folder in the compiled file's place: the file cannot be written beside the script.
    fs::create_directories(dir_ / "one" / "s.kcb");
    fs::create_directories(dir_ / "two");
    const std::string one = Write("one/s.ksc", "println(1);");
    const std::string two = Write("two/s.ksc", "println(2);");
    EXPECT_EQ(CompileAndRun(one), "1\r\n");
    fs::create_directories(dir_ / "two" / "s.kcb");
    EXPECT_EQ(CompileAndRun(two), "2\r\n");

    const std::string cacheOne = CompiledNameInCache(one);
    const std::string cacheTwo = CompiledNameInCache(two);
    EXPECT_NE(cacheOne, cacheTwo);  // the same name in two folders
    EXPECT_EQ(cacheOne.rfind(Path("cache/tinctor/kcb/s-"), 0), 0u) << cacheOne;
    EXPECT_TRUE(fs::exists(cacheOne));
    EXPECT_TRUE(fs::exists(cacheTwo));
    EXPECT_EQ(fs::status(Path("cache/tinctor/kcb")).permissions() & fs::perms::all, fs::perms::owner_all);

    Write("one/s.ksc", "println('changed');");
    SetAge(one, -10);
    EXPECT_EQ(CompileAndRun(one), "1\r\n");  // loaded from the cache

    // Nothing writable anywhere: the run goes on from the parse.
    setenv("XDG_CACHE_HOME", dir_.c_str(), 1);
    Write("tinctor", "a file where the cache folder would be");
    SetAge(one, 10);
    EXPECT_EQ(CompileAndRun(one), "changed\r\n");
    TJParser parser;
    EXPECT_FALSE(parser.SaveToFile(Path("missing/folder/x.kcb")));
    EXPECT_FALSE(parser.SaveToFile(Path("x.kcb")));  // no tree
    EXPECT_FALSE(fs::exists(Path("x.kcb")));
}

TEST_F(CompiledFiles, AFileOfAnotherUserIsNeverLoaded) {
    const std::string script = Write("a.ksc", "println('mine');");
    EXPECT_EQ(CompileAndRun(script), "mine\r\n");
    if (::chown(Path("a.kcb").c_str(), 4242, 4242) != 0) GTEST_SKIP() << "only a superuser can give a file away";
    Write("a.ksc", "println('new');");
    SetAge(script, -10);
    EXPECT_EQ(CompileAndRun(script), "new\r\n");
    struct stat st;
    ASSERT_EQ(::stat(Path("a.kcb").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, ::geteuid());  // replaced by the user's own
}
