#include "script/core/ecma_parser.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "util/CodePage.h"
#include "util/stdFiles.h"

namespace kestrel {

namespace {

// Binding levels of the binary operators, loosest first; 0: not a binary operator.
int BinaryLevel(int token) noexcept {
    switch (token) {
    case tkOrOr: return 1;
    case tkAndAnd: return 2;
    case tkBitOr: return 3;
    case tkBitXor: return 4;
    case tkBitAnd: return 5;
    case tkEquality: return 6;
    case tkRelational: return 7;
    case tkShift: return 8;
    case tkAdditive: return 9;
    case tkMultiplicative: return 10;
    default: return 0;
    }
}

// The expression code of a binary operator token with its sub-code.
TJExprCode BinaryCode(int token, int subCode, bool shortCircuit) noexcept {
    switch (token) {
    case tkOrOr: return shortCircuit ? ecOrElse : ecOr;
    case tkAndAnd: return shortCircuit ? ecAndThen : ecAnd;
    case tkBitOr: return ecBitOr;
    case tkBitXor: return ecBitXor;
    case tkBitAnd: return ecBitAnd;
    case tkEquality:
        switch (subCode) {
        case 61: return ecEqual;
        case 33: return ecNotEqual;
        case 51: return ecStrictEqual;
        default: return ecStrictNotEqual;  // 50
        }
    case tkRelational:
        switch (subCode) {
        case 60: return ecLess;
        case 62: return ecGreater;
        case 40: return ecLessEqual;
        default: return ecGreaterEqual;  // 41
        }
    case tkShift:
        switch (subCode) {
        case 60: return ecShiftLeft;
        case 62: return ecShiftRight;
        default: return ecUnsignedShiftRight;  // 51
        }
    case tkAdditive: return subCode == 43 ? ecAdd : ecSubtract;
    default:  // tkMultiplicative
        switch (subCode) {
        case 42: return ecMultiply;
        case 47: return ecDivide;
        default: return ecModulo;  // 37
        }
    }
}

TJExprCode CompoundAssignCode(int subCode) noexcept {
    switch (subCode) {
    case 42: return ecMultiplyAssign;
    case 47: return ecDivideAssign;
    case 43: return ecAddAssign;
    case 45: return ecSubtractAssign;
    case 37: return ecModuloAssign;
    case 60: return ecShiftLeftAssign;
    case 62: return ecShiftRightAssign;
    case 51: return ecUnsignedShiftRightAssign;
    case 38: return ecBitAndAssign;
    case 94: return ecBitXorAssign;
    default: return ecBitOrAssign;  // 124
    }
}

bool IsObjectKey(int token) noexcept {
    return token == tkIdentifier || token == tkString || token == tkInteger || token == tkFloat;
}

// The same file under any name that leads to it.
std::string CanonicalPath(const std::string& path) {
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

constexpr std::string_view kNestingTooDeep = "nesting too deep";

}  // namespace

bool LoadScriptText(const std::string& path, std::string& text) {
    std::string raw;
    text.clear();
    if (!tinctor::LoadTextFile(path, raw)) return false;
    text.reserve(raw.size() + raw.size() / 16 + 2);
    std::size_t i = 0;
    while (i < raw.size()) {
        std::size_t end = raw.find_first_of("\r\n", i);
        if (end == std::string::npos) end = raw.size();
        text.append(raw, i, end - i);
        text += "\r\n";
        if (end < raw.size() && raw[end] == '\r' && end + 1 < raw.size() && raw[end + 1] == '\n') ++end;
        i = end + 1;
    }
    return true;
}

// ---------------------------------------------------------------------------

namespace {

std::uint32_t NameHash(std::u16string_view name) noexcept {
    std::uint32_t h = 2166136261u;
    for (char16_t c : name) h = (h ^ c) * 16777619u;
    return h;
}

// Identifier texts are ASCII: one byte per code unit.
bool SameName(const TJString& stored, std::u16string_view name) noexcept {
    if (stored.size() != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (stored[i] != name[i]) return false;
    return true;
}

}  // namespace

const TJString& TJParser::TNameTable::Intern(std::u16string_view name) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    const std::uint32_t hash = NameHash(name);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        Entry& e = slots_[i];
        if (e.Name.empty()) {
            e.Hash = hash;
            e.Name = TJString(tinctor::CodePage::Current().FromUtf16(name));
            ++count_;
            return e.Name;
        }
        if (e.Hash == hash && SameName(e.Name, name)) return e.Name;
    }
}

void TJParser::TNameTable::Grow() {
    std::vector<Entry> old = std::move(slots_);
    slots_.assign(old.empty() ? 256 : old.size() * 2, Entry{});
    const std::size_t mask = slots_.size() - 1;
    for (Entry& e : old) {
        if (e.Name.empty()) continue;
        std::size_t i = e.Hash & mask;
        while (!slots_[i].Name.empty()) i = (i + 1) & mask;
        slots_[i] = std::move(e);
    }
}

void TJParser::TNameTable::Clear() noexcept {
    slots_.clear();
    count_ = 0;
}

struct TJParser::StatementList {
    TJStatement* First = nullptr;
    TJStatement* Last = nullptr;
    void Add(TJStatement* s) noexcept {
        if (Last) LinkStatements(Last, s);
        else First = s;
        Last = s;
    }
};

// Counts one level of nesting for as long as it lives; too many is a syntax error.
struct TJParser::Nesting {
    Nesting(TJParser& parser, int& counter, int limit) : counter_(counter) {
        if (counter >= limit) parser.SyntaxError(kNestingTooDeep);
        ++counter;
    }
    ~Nesting() { --counter_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

private:
    int& counter_;
};

// Text inserted by `import name.*`: the file, and the source index just past its text.
struct TJParser::Include {
    std::string Path;
    std::size_t End;
};

TJParser::TJParser() : pragmas_(10) {}

TJParser::~TJParser() = default;

void TJParser::SetSourceText(std::string_view bytes) { SourceText = tinctor::CodePage::Current().ToUtf16(bytes); }

void TJParser::Reset() {
    if (OnReset) OnReset();
    ClearTree();
}

void TJParser::ClearTree() noexcept {
    lex_.Reset();
    root_ = nullptr;
    declStack_.clear();
    subParsers_.clear();
    exprs_.Clear();
    statements_.Clear();
    names_.Clear();
    pragmas_.Clear();
    shortCircuit_ = true;
    forInValues_ = false;
    sawReference_ = false;
    statementNesting_ = 0;
    expressionNesting_ = 0;
    includes_.clear();
}

bool TJParser::Parse(std::string_view programName) {
    Reset();
    errorLine_ = 0;
    try {
        lex_.SetSource(SourceText);
        if (!lex_.Next()) return false;
        TJExpr* name = programName.empty() ? nullptr : exprs_.MakeIdentifier(TJString(programName));
        TJStatement* program = statements_.Make(skProgram, 1, name);
        declStack_.push_back(program);
        program->Sub1 = ParseTopLevel();
        declStack_.pop_back();
        if (program->Sub1) root_ = program;
        return root_ != nullptr;
    } catch (const EJSyntaxError& e) {
        if (errorLine_ == 0) errorLine_ = e.Line();
        ClearTree();
        throw;
    } catch (...) {
        if (errorLine_ == 0) errorLine_ = lex_.Line();
        ClearTree();
        throw;
    }
}

TJExpr* TJParser::ParseFunctionText(std::string_view text) {
    std::u16string source = u"function(){return ";
    source += tinctor::CodePage::Current().ToUtf16(text);
    source += u" ;}";
    lex_.SetSource(std::move(source));
    const std::size_t openDeclarations = declStack_.size();
    declStack_.push_back(nullptr);  // such functions have no enclosing declaration
    statementNesting_ = expressionNesting_ = 0;
    sawReference_ = false;
    errorLine_ = 0;
    TJExpr* function = nullptr;
    try {
        if (lex_.Next() && Current() == tkFunction) function = ParseFunctionExpression();
    } catch (const EJSyntaxError& e) {
        if (errorLine_ == 0) errorLine_ = e.Line();
        declStack_.resize(openDeclarations);
        throw;
    } catch (...) {
        if (errorLine_ == 0) errorLine_ = lex_.Line();
        declStack_.resize(openDeclarations);
        throw;
    }
    declStack_.resize(openDeclarations);
    return function;
}

bool TJParser::FindFile(std::string_view name, std::string& path) const {
    const std::string given(name);
    const bool absolute = !given.empty() && given.front() == '/';
    if (absolute && tinctor::FileExists(given)) {
        path = given;
        return true;
    }
    const std::string fileName = tinctor::ExtractFileName(given);
    if (!fileName.empty()) {
        for (const std::string& folder : LibraryPath) {
            std::string candidate = tinctor::IncludeTrailingPathDelimiter(folder) + fileName;
            if (tinctor::FileExists(candidate)) {
                path = std::move(candidate);
                return true;
            }
        }
    }
    // The current directory comes last, so that a file planted there shadows nothing.
    if (!absolute && !given.empty() && tinctor::FileExists(given)) {
        path = given;
        return true;
    }
    return false;
}

std::int32_t TJParser::Pragma(std::string_view name, std::int32_t defaultValue) const {
    const std::int32_t* value = pragmas_.Find(name);
    return value ? *value : defaultValue;
}

// ---------------------------------------------------------------------------
// Helpers

void TJParser::SyntaxError(std::string_view text) {
    std::string message;
    if (!text.empty()) {
        message = text;
        message += ": ";
    }
    message += "Text( ";
    message += lex_.TokenString();
    message += " )";
    errorLine_ = lex_.Line();
    throw EJSyntaxError(std::move(message), lex_.Line());
}

void TJParser::Expect(int token) {
    if (Current() != token) SyntaxError();
}

void TJParser::Skip(int token) {
    Expect(token);
    Next();
}

TJStatement* TJParser::MakeStatement(TJStatementKind kind, TJExpr* expr, TJStatement* sub1, TJStatement* sub2,
                                     TJStatement* sub3) {
    return statements_.Make(kind, lex_.Line(), expr, sub1, sub2, sub3);
}

TJExpr* TJParser::MakeExpr(TJExprCode code, TJExpr* left, TJExpr* right, TJExpr* third) {
    TJExpr* node;
    try {
        node = exprs_.Make(code, left, right, third);
    } catch (const EJThrow&) {
        errorLine_ = lex_.Line();  // a constant operation failed: report where the parse was
        throw;
    }
    if (node->Depth > kMaxExpressionDepth) SyntaxError(kNestingTooDeep);
    return node;
}

TJExpr* TJParser::MakeIdentifier() {
    sawReference_ = true;
    return exprs_.MakeIdentifier(names_.Intern(lex_.TokenText()));
}

TJStatement* TJParser::OpenDeclaration(TJStatementKind kind) {
    TJStatement* enclosing = declStack_.empty() ? nullptr : declStack_.back();
    TJStatement* decl = MakeStatement(kind, nullptr, nullptr, nullptr, enclosing);
    declStack_.push_back(decl);
    return decl;
}

void TJParser::CloseDeclaration() { declStack_.pop_back(); }

// ---------------------------------------------------------------------------
// Statements

TJStatement* TJParser::ParseTopLevel() {
    StatementList list;
    for (;;) {
        TJStatement* item;
        if (Current() == tkClass) item = ParseClass();
        else if (Current() == tkImport) item = ParseImport();
        else item = ParseStatement();
        if (!item) return list.First;  // the rest of the text is ignored
        list.Add(item);
    }
}

TJStatement* TJParser::ParseStatementList() {
    StatementList list;
    while (TJStatement* s = ParseStatement()) list.Add(s);
    return list.First;
}

TJStatement* TJParser::RequireStatement() {
    TJStatement* s = ParseStatement();
    if (!s) SyntaxError();
    return s;
}

TJStatement* TJParser::ParseStatement() {
    Nesting nesting(*this, statementNesting_, kMaxStatementNesting);
    switch (Current()) {
    case tkFunction: return ParseFunctionDeclaration();
    case tkLBrace: return ParseBlock();
    case tkSemicolon: {
        TJStatement* empty = MakeStatement(skEmpty);
        Next();
        return empty;
    }
    case tkIf: return ParseIf();
    case tkWhile: return ParseWhile();
    case tkFor: return ParseFor();
    case tkContinue: return ParseJump(skContinue);
    case tkBreak: return ParseJump(skBreak);
    case tkReturn: return ParseReturnOrThrow(skReturn);
    case tkSwitch: return ParseSwitch();
    case tkVar: return ParseDeclaration(skVar);
    case tkStatic: return ParseDeclaration(skStatic);
    case tkGlobal: return ParseDeclaration(skGlobal);
    case tkTry: return ParseTry();
    case tkThrow: return ParseReturnOrThrow(skThrow);
    case tkWith: return ParseWith();
    case tkDo: return ParseDo();
    case tkAt: return ParsePragma();
    default: return ParseExpressionStatement();
    }
}

TJStatement* TJParser::ParseFunctionDeclaration() {
    Next();  // function
    TJStatement* decl = OpenDeclaration(skFunction);
    if (Current() == tkIdentifier) {
        decl->Expr = MakeIdentifier();
        Next();
    }
    Skip(tkLParen);
    StatementList parameters;
    if (Current() == tkIdentifier) {
        for (;;) {
            TJExpr* name = MakeIdentifier();
            Next();
            parameters.Add(MakeStatement(skParameter, name));
            if (Current() != tkComma) break;
            Next();
            Expect(tkIdentifier);
        }
    } else {
        parameters.Add(MakeStatement(skParameter));  // an empty parameter list
    }
    Skip(tkRParen);
    Expect(tkLBrace);
    TJStatement* body = ParseBlock();
    LinkStatements(body, statements_.Make(skReturn, -1, exprs_.Make(ecEmpty)));
    decl->Sub1 = parameters.First;
    decl->Sub2 = body;
    CloseDeclaration();
    return decl;
}

TJStatement* TJParser::ParseBlock() {
    Next();  // {
    TJStatement* first = ParseStatementList();
    Skip(tkRBrace);
    return MakeStatement(skBlock, nullptr, first);
}

TJStatement* TJParser::ParseExpressionStatement() {
    TJExpr* e = ParseExpressionList();
    if (!e) return nullptr;
    Expect(tkSemicolon);
    TJStatement* s = MakeStatement(skExpression, e);
    Next();
    return s;
}

TJStatement* TJParser::ParseIf() {
    Next();
    Skip(tkLParen);
    TJExpr* condition = RequireExpressionList();
    Skip(tkRParen);
    TJStatement* then = RequireStatement();
    TJStatement* otherwise = nullptr;
    if (Current() == tkElse) {
        Next();
        otherwise = RequireStatement();
    }
    return MakeStatement(skIf, condition, then, otherwise);
}

TJStatement* TJParser::ParseWhile() {
    Next();
    Skip(tkLParen);
    TJExpr* condition = RequireExpressionList();
    Skip(tkRParen);
    TJStatement* body = RequireStatement();
    return MakeStatement(skWhile, condition, body);
}

TJStatement* TJParser::ParseFor() {
    Next();
    Skip(tkLParen);
    TJExpr* init = nullptr;
    if (Current() == tkVar) {
        Next();
        init = MakeExpr(ecVarExpression, RequireExpressionList());
    } else if (Current() != tkSemicolon) {
        init = RequireExpressionList();
    }
    if (Current() == tkIn) {
        if (!init) SyntaxError();
        const TJStatementKind kind = forInValues_ ? skForInValues : skForIn;
        Next();
        TJExpr* collection = ParsePostfix();
        if (!collection) SyntaxError();
        TJStatement* holder = MakeStatement(skEmpty, collection);
        Skip(tkRParen);
        TJStatement* body = RequireStatement();
        return MakeStatement(kind, init, body, holder);
    }
    Skip(tkSemicolon);
    TJStatement* condition = MakeStatement(skEmpty, Current() == tkSemicolon ? nullptr : RequireExpressionList());
    Skip(tkSemicolon);
    TJStatement* increment = MakeStatement(skEmpty, Current() == tkRParen ? nullptr : RequireExpressionList());
    LinkStatements(condition, increment);
    Skip(tkRParen);
    TJStatement* body = RequireStatement();
    return MakeStatement(skFor, init, body, condition);
}

TJStatement* TJParser::ParseJump(TJStatementKind kind) {
    Next();
    Expect(tkSemicolon);  // left for the statement list, where it reads as an empty statement
    return MakeStatement(kind);
}

TJStatement* TJParser::ParseReturnOrThrow(TJStatementKind kind) {
    Next();
    TJExpr* e = ParseExpressionList();
    Skip(tkSemicolon);
    return MakeStatement(kind, e);
}

TJStatement* TJParser::ParseSwitch() {
    Next();
    Skip(tkLParen);
    TJExpr* discriminant = RequireExpressionList();
    Skip(tkRParen);
    Skip(tkLBrace);
    StatementList clauses;
    bool hasDefault = false;
    for (;;) {
        TJExpr* value = nullptr;
        if (Current() == tkCase) {
            Next();
            value = ParseExpressionList();
            if (!value) SyntaxError("need constant expression.");
        } else if (Current() == tkDefault) {
            if (hasDefault) SyntaxError();
            hasDefault = true;
            Next();
        } else {
            break;
        }
        Skip(tkColon);
        TJStatement* body = ParseStatementList();
        clauses.Add(MakeStatement(skCase, value, body));
    }
    if (!clauses.First) SyntaxError();
    Skip(tkRBrace);
    return MakeStatement(skSwitch, discriminant, clauses.First);
}

TJStatement* TJParser::ParseDeclaration(TJStatementKind kind) {
    Next();
    StatementList declarators;
    declarators.Add(ParseDeclarator());
    while (Current() == tkComma) {
        Next();
        declarators.Add(ParseDeclarator());
    }
    Skip(tkSemicolon);
    return MakeStatement(kind, nullptr, declarators.First);
}

TJStatement* TJParser::ParseDeclarator() {
    Expect(tkIdentifier);
    TJExpr* name = MakeIdentifier();
    Next();
    if (Current() == tkAssign) {
        Next();
        name->Left = RequireAssignment();
        TJExprFactory::UpdateDepth(*name);
        if (name->Depth > kMaxExpressionDepth) SyntaxError(kNestingTooDeep);
    }
    return MakeStatement(skDeclarator, name);
}

TJStatement* TJParser::ParseTry() {
    Next();
    TJStatement* body = RequireStatement();
    TJStatement* catchClause = nullptr;
    TJStatement* finallyClause = nullptr;
    if (Current() == tkCatch) {
        Next();
        TJExpr* name = nullptr;
        if (Current() == tkLParen) {
            Next();
            if (Current() == tkIdentifier) {
                name = MakeIdentifier();
                Next();
            }
            Skip(tkRParen);
        }
        TJStatement* handler = RequireStatement();
        catchClause = MakeStatement(skCatch, name, handler);
    }
    if (Current() == tkFinally) {
        Next();
        TJStatement* handler = RequireStatement();
        finallyClause = MakeStatement(skFinally, nullptr, handler);
    }
    if (!catchClause && !finallyClause) SyntaxError("not found catch-statement");
    return MakeStatement(skTry, nullptr, body, catchClause, finallyClause);
}

TJStatement* TJParser::ParseWith() {
    Next();
    Skip(tkLParen);
    TJExpr* object = RequireExpressionList();
    Skip(tkRParen);
    TJStatement* body = RequireStatement();
    return MakeStatement(skWith, object, body);
}

TJStatement* TJParser::ParseDo() {
    Next();
    TJStatement* body = RequireStatement();
    Skip(tkWhile);
    Skip(tkLParen);
    TJExpr* condition = RequireExpressionList();
    Skip(tkRParen);
    Expect(tkSemicolon);  // left for the statement list, where it reads as an empty statement
    return MakeStatement(skDo, condition, body);
}

TJStatement* TJParser::ParsePragma() {
    Next();  // @
    if (Current() != tkIdentifier || lex_.TokenText() != u"set") SyntaxError();
    Next();
    Skip(tkAt);
    Expect(tkIdentifier);
    const std::string name = lex_.TokenString();
    Next();
    Skip(tkAssign);
    TJExpr* e = RequireExpressionList();
    if (e->Code != ecConstant || !(e->Value.IsInteger() || e->Value.IsBool())) SyntaxError("need constant expression.");
    const std::int32_t value = e->Value.AsInteger();
    exprs_.Free(e);
    pragmas_.Put(name, value);
    if (name == "SHORT_CIRCUIT") shortCircuit_ = value != 0;
    else if (name == "VERSION7") forInValues_ = value != 0;
    return MakeStatement(skEmpty);
}

TJStatement* TJParser::ParseClass() {
    Next();  // class
    TJStatement* decl = OpenDeclaration(skClass);
    Expect(tkIdentifier);
    TJExpr* name = MakeIdentifier();
    Next();
    if (Current() == tkLParen || Current() == tkExtends) {
        const bool parenthesised = Current() == tkLParen;
        Next();
        Expect(tkIdentifier);
        name->Left = MakeIdentifier();
        Next();
        if (parenthesised) Skip(tkRParen);
        TJExprFactory::UpdateDepth(*name);
    }
    decl->Expr = name;
    Skip(tkLBrace);  // a header without a body is an error, not silently nothing
    StatementList members;
    for (bool open = true; open;) {
        switch (Current()) {
        case tkFunction: members.Add(ParseFunctionDeclaration()); break;
        case tkVar: members.Add(ParseDeclaration(skVar)); break;
        case tkStatic: members.Add(ParseDeclaration(skStatic)); break;
        case tkGlobal: members.Add(ParseDeclaration(skGlobal)); break;
        case tkIdentifier: {
            TJStatement* declarator = ParseDeclarator();
            Skip(tkSemicolon);
            members.Add(declarator);
            break;
        }
        case tkRBrace: open = false; break;
        default: SyntaxError();
        }
    }
    Next();  // }
    decl->Sub1 = members.First;
    CloseDeclaration();
    return decl;
}

bool TJParser::IsBeingImported(const std::string& canonical) {
    // Inserted texts read to their end are done.
    const std::size_t position = lex_.Position() - 1;
    while (!includes_.empty() && position >= includes_.back().End) includes_.pop_back();
    if (!SourceFileName.empty() && CanonicalPath(SourceFileName) == canonical) return true;
    if (std::find(importers_.begin(), importers_.end(), canonical) != importers_.end()) return true;
    return std::any_of(includes_.begin(), includes_.end(),
                       [&canonical](const Include& open) { return open.Path == canonical; });
}

TJStatement* TJParser::ParseImport() {
    Next();  // import
    Expect(tkIdentifier);
    const std::string name = lex_.TokenString();
    Next();
    bool include = false;
    if (Current() == tkDot) {
        Next();
        if (Current() != tkMultiplicative || SubCode() != 42) SyntaxError();
        Next();
        include = true;
    }
    Expect(tkSemicolon);  // `import name.*` without ; is an error, not silently nothing

    const std::string fileName = name + ".ksc";
    std::string path;
    if (!FindFile(fileName, path)) SyntaxError("file not found: " + fileName);
    const std::string canonical = CanonicalPath(path);
    if (IsBeingImported(canonical)) SyntaxError("recursive import: " + fileName);
    if (importers_.size() + includes_.size() >= static_cast<std::size_t>(kMaxImportNesting))
        SyntaxError(kNestingTooDeep);
    std::string text;
    if (!LoadScriptText(path, text)) SyntaxError("can not open: " + fileName);
    std::u16string source = tinctor::CodePage::Current().ToUtf16(text);

    if (include) {
        TJStatement* place = MakeStatement(skEmpty);
        const std::size_t at = lex_.Position() - 1;
        for (Include& open : includes_) open.End += source.size();
        includes_.push_back({canonical, at + source.size()});
        lex_.InsertSource(source);
        Next();
        return place;
    }

    auto sub = std::make_unique<TJParser>();
    sub->SourceText = std::move(source);
    sub->SourceFileName = path;
    // Files beside the imported one come first, then where this file looks.
    sub->LibraryPath.reserve(LibraryPath.size() + 1);
    sub->LibraryPath.push_back(tinctor::ExtractFilePath(path));
    sub->LibraryPath.insert(sub->LibraryPath.end(), LibraryPath.begin(), LibraryPath.end());
    sub->importers_ = importers_;
    if (!SourceFileName.empty()) sub->importers_.push_back(CanonicalPath(SourceFileName));
    for (const Include& open : includes_) sub->importers_.push_back(open.Path);
    try {
        sub->Parse(name);
    } catch (...) {
        errorLine_ = sub->errorLine_;
        throw;
    }
    TJStatement* program = sub->Root() ? sub->Root() : MakeStatement(skEmpty);
    subParsers_.push_back(std::move(sub));
    Next();  // ;
    return program;
}

// ---------------------------------------------------------------------------
// Expressions

TJExpr* TJParser::RequireExpressionList() {
    TJExpr* e = ParseExpressionList();
    if (!e) SyntaxError();
    return e;
}

TJExpr* TJParser::ParseExpressionList() {
    TJExpr* e = ParseAssignment();
    if (!e) return nullptr;
    while (Current() == tkComma) {
        Next();
        TJExpr* next = RequireAssignment();
        e = MakeExpr(ecComma, e, next);
    }
    return e;
}

TJExpr* TJParser::RequireAssignment() {
    TJExpr* e = ParseAssignment();
    if (!e) SyntaxError();
    return e;
}

TJExpr* TJParser::ParseAssignment() {
    Nesting nesting(*this, expressionNesting_, kMaxExpressionNesting);
    const bool outer = sawReference_;
    sawReference_ = false;
    TJExpr* target = ParseConditional();
    // Only something that refers to a variable, member or call may take an assignment;
    // otherwise the = is left for the caller, which reports it.
    if (target && sawReference_ && (Current() == tkAssign || Current() == tkCompoundAssign)) {
        const TJExprCode code = Current() == tkAssign ? ecAssign : CompoundAssignCode(SubCode());
        Next();
        TJExpr* value = RequireAssignment();
        target = MakeExpr(code, target, value);
    }
    sawReference_ = sawReference_ || outer;
    return target;
}

TJExpr* TJParser::ParseConditional() {
    TJExpr* condition = ParseBinary(1);
    if (!condition || Current() != tkQuestion) return condition;
    Next();
    TJExpr* then = RequireExpressionList();
    Skip(tkColon);
    TJExpr* otherwise;
    {
        Nesting nesting(*this, expressionNesting_, kMaxExpressionNesting);
        otherwise = ParseConditional();
    }
    if (!otherwise) SyntaxError();
    return MakeExpr(ecConditional, condition, then, otherwise);
}

TJExpr* TJParser::ParseBinary(int level) {
    TJExpr* left = ParseUnary();
    if (!left) return nullptr;
    for (;;) {
        const int opLevel = BinaryLevel(Current());
        if (opLevel < level) return left;  // also every token that is no binary operator
        const TJExprCode code = BinaryCode(Current(), SubCode(), shortCircuit_);
        Next();
        TJExpr* right = ParseBinary(opLevel + 1);
        if (!right) SyntaxError();
        left = MakeExpr(code, left, right);
    }
}

TJExpr* TJParser::ParseUnary() {
    TJExprCode code;
    switch (Current()) {
    case tkIncDec: code = SubCode() == 43 ? ecPreIncrement : ecPreDecrement; break;
    case tkAdditive: code = SubCode() == 43 ? ecUnaryPlus : ecUnaryMinus; break;
    case tkUnary: code = SubCode() == 33 ? ecNot : ecBitNot; break;
    default: return ParsePostfix();
    }
    Nesting nesting(*this, expressionNesting_, kMaxExpressionNesting);
    Next();
    TJExpr* operand = ParseUnary();
    if (!operand) SyntaxError();
    return MakeExpr(code, operand);
}

TJExpr* TJParser::ParsePostfix() {
    TJExpr* e = ParsePrimary();
    if (!e) return nullptr;
    for (;;) {
        switch (Current()) {
        case tkLParen:
        case tkLBracket: {
            // Either bracket closes either kind of list.
            Next();
            TJExpr* args = ParseArguments();
            if (Current() != tkRParen && Current() != tkRBracket) SyntaxError();
            Next();
            e = MakeExpr(ecCall, e, args);
            sawReference_ = true;
            break;
        }
        case tkDot: {
            Next();
            Expect(tkIdentifier);
            TJExpr* member = MakeIdentifier();
            Next();
            if (Current() == tkLParen || Current() == tkLBracket) {
                Next();
                TJExpr* args = ParseArguments();
                if (Current() != tkRParen && Current() != tkRBracket) SyntaxError();
                Next();
                e = MakeExpr(ecMemberCall, e, member, args);
            } else {
                e = MakeExpr(ecMember, e, member);
            }
            sawReference_ = true;
            break;
        }
        case tkIncDec:
            e = MakeExpr(SubCode() == 43 ? ecPostIncrement : ecPostDecrement, e);
            Next();
            break;
        default:
            return e;
        }
    }
}

TJExpr* TJParser::ParseArguments() {
    TJExpr* first = ParseAssignment();
    if (!first) return nullptr;
    TJExpr* list = MakeExpr(ecListLink, nullptr, first);
    while (Current() == tkComma) {
        Next();
        TJExpr* element = RequireAssignment();
        list = MakeExpr(ecListLink, list, element);
    }
    return list;
}

TJExpr* TJParser::ParsePrimary() {
    switch (Current()) {
    case tkLParen: {
        // What is inside parentheses never makes the whole a target of assignment.
        const bool outer = sawReference_;
        Next();
        TJExpr* inner = RequireExpressionList();
        Skip(tkRParen);
        sawReference_ = outer;
        return inner;
    }
    case tkTypeof:
    case tkVoid: {
        const TJExprCode code = Current() == tkTypeof ? ecTypeof : ecVoid;
        Next();
        TJExpr* operand;
        if (Current() == tkLParen) {
            Next();
            operand = RequireExpressionList();
            Skip(tkRParen);
        } else {
            operand = RequireExpressionList();  // typeof a + b is typeof (a + b)
        }
        return MakeExpr(code, operand);
    }
    case tkDelete: {
        Next();
        TJExpr* operand = RequireExpressionList();
        return MakeExpr(ecDelete, operand);
    }
    case tkLBrace: return ParseObjectLiteral();
    case tkLBracket: {
        Next();
        TJExpr* elements = ParseArguments();
        Skip(tkRBracket);
        return MakeExpr(ecArrayLiteral, elements);
    }
    case tkIdentifier: {
        TJExpr* name = MakeIdentifier();
        Next();
        return name;
    }
    case tkFunction: return ParseFunctionExpression();
    case tkNew: {
        Next();
        Expect(tkIdentifier);  // only a plain name may follow new
        TJExpr* name = MakeIdentifier();
        Next();
        TJExpr* args = nullptr;
        if (Current() == tkLParen) {
            Next();
            args = ParseArguments();
            Skip(tkRParen);
        }
        return MakeExpr(ecNew, name, args);
    }
    case tkThis: {
        Next();
        return MakeExpr(ecThis);
    }
    case tkSuper: {
        Next();
        if (Current() != tkDot) return MakeExpr(ecThis);
        Next();
        Expect(tkIdentifier);
        TJExpr* member = MakeIdentifier();
        Next();
        return MakeExpr(ecSuperMember, nullptr, member);
    }
    default: return ParseConstant();
    }
}

TJExpr* TJParser::ParseObjectLiteral() {
    Next();  // {
    TJExpr* members = nullptr;
    if (IsObjectKey(Current())) {
        for (;;) {
            TJExpr* key;
            if (Current() == tkIdentifier) {
                key = MakeIdentifier();
                Next();
            } else {
                key = ParseConstant();
            }
            TJExpr* value = nullptr;  // a member without a value is undefined
            if (Current() == tkColon) {
                Next();
                value = RequireAssignment();
            }
            members = MakeExpr(ecListLink, members, MakeExpr(ecObjectMember, key, value));
            if (Current() != tkComma) break;
            Next();
            if (!IsObjectKey(Current())) SyntaxError();
        }
    }
    Expect(tkRBrace);
    lex_.EndOperand();  // unlike the } of a block, a / after it divides
    Next();
    return MakeExpr(ecObjectLiteral, members);
}

TJExpr* TJParser::ParseFunctionExpression() {
    // The body is statements of its own: its names make the literal no assignment target.
    const bool outer = sawReference_;
    TJStatement* decl = ParseFunctionDeclaration();
    sawReference_ = outer;
    TJExpr* literal = exprs_.MakeFunction(decl);
    if (!decl->Expr) return literal;
    // A named function expression also assigns the function to its name.
    return MakeExpr(ecAssign, exprs_.MakeIdentifier(decl->Expr->Symbol), literal);
}

TJExpr* TJParser::ParseConstant() {
    TJValue value;
    switch (Current()) {
    case tkInteger: value.BuildInteger(lex_.TokenValue().Integer); break;
    case tkFloat: value.BuildDouble(lex_.TokenValue().Double); break;
    case tkNaN: value.BuildNaN(); break;
    case tkString: value.BuildString(TJString(lex_.TokenString())); break;
    case tkTrue: value.BuildBool(true); break;
    case tkFalse: value.BuildBool(false); break;
    case tkNull: value.BuildNull(); break;
    case tkUndefined: break;  // accepted as the undefined value
    case tkInfinity: value.BuildInfinity(false); break;
    case tkRegExp: {
        // The token text is the pattern, a zero character and the flags. The pattern
        // may hold zero characters of its own; the flags never do.
        const std::u16string& text = lex_.TokenText();
        const std::size_t zero = std::min(text.rfind(u'\0'), text.size());
        std::string flags;
        for (std::size_t i = zero + 1; i < text.size(); ++i) flags += static_cast<char>(text[i]);
        value.BuildRegExp(TJString(tinctor::CodePage::Current().FromUtf16(std::u16string_view(text).substr(0, zero))),
                          flags);
        break;
    }
    default: return nullptr;
    }
    TJExpr* constant = exprs_.MakeConstant(std::move(value));
    Next();
    return constant;
}

}  // namespace kestrel
