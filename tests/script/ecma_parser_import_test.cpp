// Imports: finding the files, the two forms, loops and errors.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "script/core/ecma_parser.h"
#include "tree_dump.h"

using namespace kestrel;
using treedump::DumpList;
namespace fs = std::filesystem;

namespace {

class ParserImport : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kestrel_import_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        previous_ = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }

    std::string Write(const std::string& relative, std::string_view text) {
        const fs::path path = dir_ / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    std::string Folder(const std::string& relative = {}) const { return (dir_ / relative).string(); }

    // Parses Source with the library path Folders; the statement list, or the error.
    std::string Parse(std::string_view source, std::vector<std::string> folders, int* line = nullptr) {
        parser_ = std::make_unique<TJParser>();
        parser_->LibraryPath = std::move(folders);
        parser_->SetSourceText(source);
        try {
            if (!parser_->Parse()) return "<none>";
            return DumpList(parser_->Root()->Sub1, line != nullptr);
        } catch (const EJSyntaxError& e) {
            if (line) *line = e.Line();
            return "error: " + e.Message();
        }
    }

    fs::path dir_;
    fs::path previous_;
    std::unique_ptr<TJParser> parser_;
};

}  // namespace

TEST_F(ParserImport, ANamedImportBecomesAProgramOfThatName) {
    Write("lib/lib.ksc", "x = 1;\nfunction f() {}\n");
    int line = 0;
    EXPECT_EQ(Parse("import lib; y;", {Folder("lib")}, &line),
              "[{1@1 lib [{3@1 (8 x i:1)} {10@2 f [{11@2}] [{2@3} {16@-1 (0)}]}]} {3@1 y}]");
    EXPECT_EQ(parser_->SubParserCount(), 1u);
    // The imported program has no enclosing declaration; its functions have it.
    const TJStatement* program = parser_->Root()->Sub1;
    EXPECT_EQ(program->Sub3, nullptr);
    EXPECT_EQ(program->Sub1->Next->Sub3, program);
}

TEST_F(ParserImport, AStarImportInsertsTheTextAfterTheSemicolon) {
    Write("lib/lib.ksc", "x = 1;");
    EXPECT_EQ(Parse("import lib.*; y;", {Folder("lib")}), "[{0} {3 (8 x i:1)} {3 y}]");
    // Twice in a row is no loop.
    EXPECT_EQ(Parse("import lib.*; import lib.*;", {Folder("lib")}), "[{0} {3 (8 x i:1)} {0} {3 (8 x i:1)}]");
    EXPECT_EQ(Parse("import lib; import lib;", {Folder("lib")}),
              "[{1 lib [{3 (8 x i:1)}]} {1 lib [{3 (8 x i:1)}]}]");
    // Its switches hold for what follows.
    Write("lib/fast.ksc", "@set @SHORT_CIRCUIT = 0");
    EXPECT_EQ(Parse("import fast.*; a && b;", {Folder("lib")}), "[{0} {0} {3 (44 a b)}]");
    // An imported program keeps its switches to itself.
    EXPECT_EQ(Parse("import fast; a && b;", {Folder("lib")}), "[{1 fast [{0}]} {3 (43 a b)}]");
}

TEST_F(ParserImport, AnEmptyFileImportsNothing) {
    Write("lib/empty.ksc", "// nothing\n");
    EXPECT_EQ(Parse("import empty; import empty.*; x;", {Folder("lib")}), "[{0} {0} {3 x}]");
}

TEST_F(ParserImport, AMissingFileIsReportedAtTheImport) {
    int line = 0;
    EXPECT_EQ(Parse("x = 1;\nimport lib;", {Folder()}, &line), "error: file not found: lib.ksc: Text( ; )");
    EXPECT_EQ(line, 2);
    EXPECT_EQ(Parse("import lib.*;", {Folder()}), "error: file not found: lib.ksc: Text( ; )");
}

TEST_F(ParserImport, MalformedImports) {
    Write("lib.ksc", "x = 1;");
    EXPECT_EQ(Parse("import lib.*", {Folder()}), "error: Text(  )");
    EXPECT_EQ(Parse("import lib.x;", {Folder()}), "error: Text( x )");
    EXPECT_EQ(Parse("import lib", {Folder()}), "error: Text(  )");
    EXPECT_EQ(Parse("import 5;", {Folder()}), "error: Text( 5 )");
    EXPECT_EQ(Parse("import \"lib\";", {Folder()}), "error: Text( lib )");
    // Imports are top-level items only.
    EXPECT_EQ(Parse("{ import lib; }", {Folder()}), "error: Text( import )");
    EXPECT_EQ(Parse("function f() { import lib; }", {Folder()}), "error: Text( import )");
}

TEST_F(ParserImport, AFileThatImportsItselfIsAnError) {
    Write("self.ksc", "import self;");
    Write("a.ksc", "x = 1;\nimport b;");
    Write("b.ksc", "import a;");
    Write("inc.ksc", "import inc.*;");
    Write("c.ksc", "import d.*;");
    Write("d.ksc", "y = 1;\nimport c.*;");
    Write("e.ksc", "import f.*;");
    Write("f.ksc", "import e;");
    int line = 0;
    EXPECT_EQ(Parse("import self;", {Folder()}), "error: recursive import: self.ksc: Text( ; )");
    EXPECT_EQ(Parse("import a;", {Folder()}, &line), "error: recursive import: a.ksc: Text( ; )");
    EXPECT_EQ(line, 1);  // in b.ksc
    EXPECT_EQ(Parse("import inc.*;", {Folder()}), "error: recursive import: inc.ksc: Text( ; )");
    EXPECT_EQ(Parse("import c.*;", {Folder()}, &line), "error: recursive import: c.ksc: Text( ; )");
    EXPECT_EQ(line, 2);
    EXPECT_EQ(Parse("import e;", {Folder()}), "error: recursive import: e.ksc: Text( ; )");

    // The main script's own file counts too, under any name that leads to it.
    Write("main.ksc", "");
    parser_ = std::make_unique<TJParser>();
    parser_->LibraryPath = {Folder()};
    parser_->SourceFileName = Folder() + "/./main.ksc";
    parser_->SetSourceText("import main;");
    try {
        parser_->Parse();
        FAIL() << "no error";
    } catch (const EJSyntaxError& e) {
        EXPECT_EQ(e.Message(), "recursive import: main.ksc: Text( ; )");
    }
}

TEST_F(ParserImport, ErrorsInAnImportedFileHaveItsLines) {
    Write("bad.ksc", "x = 1;\n\ny = ;");
    Write("cr.ksc", "x = 1;\ry = ;");
    Write("fold.ksc", "x = 1;\r\n-NaN;");
    int line = 0;
    EXPECT_EQ(Parse("\n\nimport bad;", {Folder()}, &line), "error: Text( ; )");
    EXPECT_EQ(line, 3);
    EXPECT_EQ(parser_->ErrorLine(), 3);
    EXPECT_EQ(Parse("import cr;", {Folder()}, &line), "error: Text( ; )");
    EXPECT_EQ(line, 2);  // a lone CR ends a line too
    EXPECT_THROW(Parse("\n\n\n\nimport fold;", {Folder()}), EJThrow);
    EXPECT_EQ(parser_->ErrorLine(), 2);
    EXPECT_EQ(parser_->Root(), nullptr);
    EXPECT_EQ(parser_->SubParserCount(), 0u);
}

TEST_F(ParserImport, TheLibraryPathComesBeforeTheCurrentDirectory) {
    Write("cwd/lib.ksc", "planted = 1;");
    Write("libs/lib.ksc", "real = 1;");
    fs::current_path(dir_ / "cwd");
    EXPECT_EQ(Parse("import lib;", {Folder("libs")}), "[{1 lib [{3 (8 real i:1)}]}]");
    EXPECT_EQ(Parse("import lib.*;", {Folder("libs")}), "[{0} {3 (8 real i:1)}]");
    // Without another place to look, the current directory serves.
    EXPECT_EQ(Parse("import lib;", {}), "[{1 lib [{3 (8 planted i:1)}]}]");
}

TEST_F(ParserImport, AnImportedFileFindsItsNeighboursFirst) {
    Write("a/lib.ksc", "import util;");
    Write("a/util.ksc", "sibling = 1;");
    Write("b/util.ksc", "other = 1;");
    EXPECT_EQ(Parse("import lib;", {Folder("b"), Folder("a")}), "[{1 lib [{1 util [{3 (8 sibling i:1)}]}]}]");
    // and then where the importing file looks.
    Write("c/lib.ksc", "import util;");
    EXPECT_EQ(Parse("import lib;", {Folder("c"), Folder("b")}), "[{1 lib [{1 util [{3 (8 other i:1)}]}]}]");
}

TEST_F(ParserImport, ImportNestingIsLimited) {
    // A chain of distinct files, each importing the next.
    for (int i = 0; i < 100; ++i)
        Write("n" + std::to_string(i) + ".ksc", "import n" + std::to_string(i + 1) + ";");
    Write("n100.ksc", "x = 1;");
    const std::string result = Parse("import n0;", {Folder()});
    EXPECT_EQ(result.substr(0, 23), "error: nesting too deep");
}

TEST_F(ParserImport, FindFileSearchesTheFoldersWithTheFileNamePart) {
    const std::string inA = Write("a/x.ksc", "");
    const std::string inB = Write("b/x.ksc", "");
    const std::string absolute = Write("abs.ksc", "");
    TJParser parser;
    std::string path;
    parser.LibraryPath = {Folder("none"), Folder("a") + "/", Folder("b")};
    ASSERT_TRUE(parser.FindFile("x.ksc", path));
    EXPECT_EQ(path, inA);
    ASSERT_TRUE(parser.FindFile("some/where/x.ksc", path));
    EXPECT_EQ(path, inA);
    ASSERT_TRUE(parser.FindFile(absolute, path));
    EXPECT_EQ(path, absolute);
    ASSERT_TRUE(parser.FindFile("/no/such/folder/x.ksc", path));
    EXPECT_EQ(path, inA);
    parser.LibraryPath = {Folder("b")};
    ASSERT_TRUE(parser.FindFile("x.ksc", path));
    EXPECT_EQ(path, inB);
    EXPECT_FALSE(parser.FindFile("y.ksc", path));
    fs::current_path(dir_);
    parser.LibraryPath.clear();
    EXPECT_FALSE(parser.FindFile("a", path));  // a folder is no file
    ASSERT_TRUE(parser.FindFile("abs.ksc", path));
    EXPECT_EQ(path, "abs.ksc");
}

TEST_F(ParserImport, ScriptTextLinesEndWithCrLf) {
    std::string text;
    ASSERT_TRUE(LoadScriptText(Write("t1", "a\nb\r\nc\rd"), text));
    EXPECT_EQ(text, "a\r\nb\r\nc\r\nd\r\n");
    ASSERT_TRUE(LoadScriptText(Write("t2", "\n\r\r\n"), text));
    EXPECT_EQ(text, "\r\n\r\n\r\n");
    ASSERT_TRUE(LoadScriptText(Write("t3", ""), text));
    EXPECT_EQ(text, "");
    ASSERT_TRUE(LoadScriptText(Write("t4", std::string("a\0b", 3)), text));
    EXPECT_EQ(text, std::string("a\0b\r\n", 5));
    EXPECT_FALSE(LoadScriptText(Folder("missing"), text));
}

TEST_F(ParserImport, AnUnreadableFileCannotBeOpened) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    const std::string path = Write("locked.ksc", "x = 1;");
    fs::permissions(path, fs::perms::none);
    EXPECT_EQ(Parse("import locked;", {Folder()}), "error: can not open: locked.ksc: Text( ; )");
}
