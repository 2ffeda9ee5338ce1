// The parser: reads the tokens of one script by recursive descent and builds the
// syntax tree the evaluator walks (ecma_expr.h, ecma_stmt.h).
//
// The tree lives in the parser's two factories until the next Reset, which every
// Parse begins with. `import name;` parses the named file with a parser of its own
// (kept until the Reset) and puts its program node in place of the statement;
// `import name.*;` inserts the file's text into the token stream after the ;.
// `@set @NAME = value` sets a compile-time switch: SHORT_CIRCUIT = 0 makes later
// && and || evaluate both sides, VERSION7 != 0 makes later for-in loops give values.
//
// Syntax errors raise EJSyntaxError with the lexer's line and the message: the
// specific text and ": " when there is one, then "Text( ", the current token, " )".
// Nesting beyond fixed limits is a syntax error too, so that no input can exhaust
// the stack of the parser or of the evaluator that walks the tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/core/ecma_expr.h"
#include "script/core/ecma_lex.h"
#include "script/core/ecma_stmt.h"
#include "script/core/hashtable.h"

namespace kestrel {

// Reads a script file as text: its lines (ended by CR LF, LF or a lone CR) each
// followed by CR LF. False when the file cannot be read.
bool LoadScriptText(const std::string& path, std::string& text);

class TJParser {
public:
    // Nesting limits: statements inside statements, and sub-expressions inside
    // expressions (parentheses, arguments, operands of prefix operators, conditionals,
    // assignments); the height of one expression tree, which long operator chains
    // make without nesting; and files imported inside imported files.
    static constexpr int kMaxStatementNesting = 500;
    static constexpr int kMaxExpressionNesting = 200;
    static constexpr int kMaxExpressionDepth = 1000;
    static constexpr int kMaxImportNesting = 64;

    TJParser();
    ~TJParser();
    TJParser(const TJParser&) = delete;
    TJParser& operator=(const TJParser&) = delete;

    // Calls OnReset, then frees the tree, the sub-parsers and the switches and resets
    // the lexer.
    void Reset();

    // Parses SourceText as a program named ProgramName (empty for the main script).
    // False, without an error, when the source holds no token or no statement; a
    // syntax error leaves no tree behind. Errors of constant folding propagate as
    // EJThrow; ErrorLine then tells the line.
    bool Parse(std::string_view programName = {});

    // The function literal `function(){return TEXT ;}` (for eval and for handlers
    // given as text), or none when nothing was parsed. TEXT is in the code page. Its
    // nodes stay with the factories until the next Reset; the tree is not reset.
    TJExpr* ParseFunctionText(std::string_view text);

    // The path of an existing file for Name: an absolute name that exists is itself;
    // otherwise the file-name part of Name is tried in each folder of LibraryPath in
    // order, and last Name as given, relative to the current directory.
    bool FindFile(std::string_view name, std::string& path) const;

    // Writes the tree as a compiled script file (ecma_compiled.h), replacing the file
    // atomically. False, and nothing written, without a tree or when the file cannot
    // be written.
    bool SaveToFile(const std::string& fileName) const;
    // Resets the parser, empties SourceText and reads the tree of a compiled script
    // file. True when a tree was loaded; false when the file cannot be read, belongs
    // to another user, has another version, holds no tree or is rejected by the
    // reader (no tree is left then).
    bool LoadFromFile(const std::string& fileName);

    // The program node of the last successful Parse or LoadFromFile, or none.
    TJStatement* Root() const noexcept { return root_; }
    // The lexer's line when the last Parse or ParseFunctionText failed.
    int ErrorLine() const noexcept { return errorLine_; }

    // The value of a compile-time switch, or Default when it was not set.
    std::int32_t Pragma(std::string_view name, std::int32_t defaultValue = 0) const;
    const TIntegerHashTable& Pragmas() const noexcept { return pragmas_; }

    TJLex& Lex() noexcept { return lex_; }
    TJExprFactory& ExprFactory() noexcept { return exprs_; }
    TJStatementFactory& StatementFactory() noexcept { return statements_; }
    std::size_t SubParserCount() const noexcept { return subParsers_.size(); }

    // The text to parse (UTF-16), and the same set from bytes in the code page.
    std::u16string SourceText;
    void SetSourceText(std::string_view bytes);
    // The file SourceText came from, when there is one: importing it again is an error.
    std::string SourceFileName;
    // Folders searched for imported files, in order.
    std::vector<std::string> LibraryPath;
    // Called first by every Reset, before the old tree is freed, so that the owner
    // can drop whatever still points into it (function values, function tables).
    std::function<void()> OnReset;

private:
    struct StatementList;
    struct Nesting;
    struct Include;

    // Identifier texts, one shared text per name: open addressing on a hash of the
    // UTF-16 text, so that a name seen before costs no allocation.
    class TNameTable {
    public:
        const TJString& Intern(std::u16string_view name);
        void Clear() noexcept;

    private:
        struct Entry {
            std::uint32_t Hash = 0;
            TJString Name;  // empty: a free slot
        };
        void Grow();
        std::vector<Entry> slots_;
        std::size_t count_ = 0;
    };

    void ClearTree() noexcept;
    // Reads the next token.
    void Next() { lex_.Next(); }
    int Current() const noexcept { return lex_.Current(); }
    // The operator sub-code of the current token.
    int SubCode() const noexcept { return lex_.TokenValue().Integer; }
    [[noreturn]] void SyntaxError(std::string_view text = {});
    // Raises a syntax error unless the current token is Token.
    void Expect(int token);
    // Expect, then Next.
    void Skip(int token);
    TJStatement* MakeStatement(TJStatementKind kind, TJExpr* expr = nullptr, TJStatement* sub1 = nullptr,
                               TJStatement* sub2 = nullptr, TJStatement* sub3 = nullptr);
    TJExpr* MakeExpr(TJExprCode code, TJExpr* left = nullptr, TJExpr* right = nullptr, TJExpr* third = nullptr);
    TJExpr* MakeIdentifier();
    TJStatement* OpenDeclaration(TJStatementKind kind);
    void CloseDeclaration();

    // Statements.
    TJStatement* ParseTopLevel();
    TJStatement* ParseStatementList();
    TJStatement* ParseStatement();
    TJStatement* RequireStatement();
    TJStatement* ParseFunctionDeclaration();
    TJStatement* ParseBlock();
    TJStatement* ParseExpressionStatement();
    TJStatement* ParseIf();
    TJStatement* ParseWhile();
    TJStatement* ParseFor();
    TJStatement* ParseJump(TJStatementKind kind);
    TJStatement* ParseReturnOrThrow(TJStatementKind kind);
    TJStatement* ParseSwitch();
    TJStatement* ParseDeclaration(TJStatementKind kind);
    TJStatement* ParseDeclarator();
    TJStatement* ParseTry();
    TJStatement* ParseWith();
    TJStatement* ParseDo();
    TJStatement* ParsePragma();
    TJStatement* ParseClass();
    TJStatement* ParseImport();

    // Expressions.
    TJExpr* RequireExpressionList();
    TJExpr* ParseExpressionList();
    TJExpr* ParseAssignment();
    TJExpr* RequireAssignment();
    TJExpr* ParseConditional();
    TJExpr* ParseBinary(int level);
    TJExpr* ParseUnary();
    TJExpr* ParsePostfix();
    TJExpr* ParsePrimary();
    TJExpr* ParseArguments();
    TJExpr* ParseObjectLiteral();
    TJExpr* ParseFunctionExpression();
    TJExpr* ParseConstant();

    // Import helpers.
    bool IsBeingImported(const std::string& path);

    TJLex lex_;
    TJExprFactory exprs_;
    TJStatementFactory statements_;
    TJStatement* root_ = nullptr;
    std::vector<std::unique_ptr<TJParser>> subParsers_;
    TIntegerHashTable pragmas_;
    std::vector<TJStatement*> declStack_;
    TNameTable names_;

    // Switches as read when the affected constructs are parsed.
    bool shortCircuit_ = true;
    bool forInValues_ = false;
    // Whether the expression being parsed refers to a variable, member or call (outside
    // parentheses): only then may an assignment follow it.
    bool sawReference_ = false;
    int statementNesting_ = 0;
    int expressionNesting_ = 0;
    int errorLine_ = 0;
    // Files whose parse is under way: the importing parsers', and the texts inserted
    // by `import name.*` that have not been read to their end.
    std::vector<std::string> importers_;
    std::vector<Include> includes_;
};

}  // namespace kestrel
