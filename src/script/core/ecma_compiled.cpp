#include "script/core/ecma_compiled.h"

#include <array>
#include <cstring>
#include <string>

namespace kestrel {

namespace {

// ---------------------------------------------------------------------------
// Record flags

constexpr std::uint8_t kPresent = 0x01;  // bit 0 of every flag byte

// Statement records.
constexpr std::uint8_t kHasExpr = 0x02;
constexpr std::uint8_t kHasSub1 = 0x04;
constexpr std::uint8_t kHasSub2 = 0x08;
constexpr std::uint8_t kHasSub3 = 0x10;
constexpr std::uint8_t kHasNext = 0x20;
constexpr std::uint8_t kStatementFlags = 0x3F;

// Expression records.
constexpr std::uint8_t kHasSymbol = 0x02;
constexpr std::uint8_t kHasValue = 0x04;
constexpr std::uint8_t kHasLeft = 0x08;
constexpr std::uint8_t kHasRight = 0x10;
constexpr std::uint8_t kHasThird = 0x20;
constexpr std::uint8_t kHasStatement = 0x40;
constexpr std::uint8_t kExprFlags = 0x7F;

// Value records.
constexpr std::uint8_t kHasText = 0x02;
constexpr std::uint8_t kValueFlags = 0x03;

constexpr int kLastStatementKind = skGlobal;
constexpr int kLastExprCode = ecVarExpression;
constexpr int kLastValueType = vtEvent;

// Payload bytes of a constant of each value kind; -1: no constant has that kind.
constexpr std::array<int, kLastValueType + 1> kPayloadSize = {
    4,   // vtUndefined
    4,   // vtNull
    4,   // vtInteger
    8,   // vtDouble
    0,   // vtString
    -1,  // vtObject
    4,   // vtBool
    -1,  // vtFunction
    4,   // vtInfinity
    4,   // vtNaN
    -1,  // vtDispatch
    8,   // vtRegExp: flag count and up to seven letters
    -1,  // vtEvent
};
constexpr std::size_t kMaxRegExpFlags = 7;
constexpr std::string_view kRegExpFlagLetters = "gim";

// ---------------------------------------------------------------------------
// Writing

class TTreeWriter {
public:
    explicit TTreeWriter(std::string& out) : out_(out) {}

    bool Write(const TJStatement* program) {
        if (program) stack_.push_back({program, nullptr});
        while (!stack_.empty()) {
            const Item item = stack_.back();
            stack_.pop_back();
            if (item.Statement) WriteStatement(*item.Statement);
            else if (!WriteExpr(*item.Expr)) return false;
        }
        return true;
    }

private:
    struct Item {
        const TJStatement* Statement;
        const TJExpr* Expr;
    };

    void Byte(std::uint8_t b) { out_ += static_cast<char>(b); }
    void U32(std::uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) Byte(static_cast<std::uint8_t>(v >> shift));
    }
    void U64(std::uint64_t v) {
        for (int shift = 0; shift < 64; shift += 8) Byte(static_cast<std::uint8_t>(v >> shift));
    }
    void Text(std::string_view text) {
        U32(static_cast<std::uint32_t>(text.size()));
        out_.append(text);
    }

    // The children go on the stack last first, so that they come off in file order.
    void WriteStatement(const TJStatement& s) {
        const bool ownSub3 = !IsDeclarationKind(s.Kind) && s.Sub3;
        const std::uint8_t flags = kPresent | (s.Expr ? kHasExpr : 0) | (s.Sub1 ? kHasSub1 : 0) |
                                   (s.Sub2 ? kHasSub2 : 0) | (ownSub3 ? kHasSub3 : 0) | (s.Next ? kHasNext : 0);
        Byte(flags);
        Byte(s.Kind);
        U32(static_cast<std::uint32_t>(s.Line));
        if (s.Next) stack_.push_back({s.Next, nullptr});
        if (ownSub3) stack_.push_back({s.Sub3, nullptr});
        if (s.Sub2) stack_.push_back({s.Sub2, nullptr});
        if (s.Sub1) stack_.push_back({s.Sub1, nullptr});
        if (s.Expr) stack_.push_back({nullptr, s.Expr});
    }

    bool WriteExpr(const TJExpr& e) {
        const bool value = e.Code == ecConstant;
        const std::uint8_t flags = kPresent | (e.Symbol.empty() ? 0 : kHasSymbol) | (value ? kHasValue : 0) |
                                   (e.Left ? kHasLeft : 0) | (e.Right ? kHasRight : 0) | (e.Third ? kHasThird : 0) |
                                   (e.Statement ? kHasStatement : 0);
        Byte(flags);
        Byte(e.Code);
        if (!e.Symbol.empty()) Text(e.Symbol.view());
        if (value && !WriteValue(e.Value)) return false;
        if (e.Statement) stack_.push_back({e.Statement, nullptr});
        if (e.Third) stack_.push_back({nullptr, e.Third});
        if (e.Right) stack_.push_back({nullptr, e.Right});
        if (e.Left) stack_.push_back({nullptr, e.Left});
        return true;
    }

    bool WriteValue(const TJValue& v) {
        const TJValueType type = v.ValueType();
        if (type > kLastValueType || kPayloadSize[type] < 0) return false;
        const std::string_view text = v.vStringView();
        Byte(kPresent | (text.empty() ? 0 : kHasText));
        Byte(type);
        switch (type) {
        case vtInteger: U32(static_cast<std::uint32_t>(v.vInteger())); break;
        case vtBool:
        case vtInfinity: U32(v.vBool() ? 1u : 0u); break;  // the byte, then zeros
        case vtDouble: {
            std::uint64_t bits;
            const double d = v.vDouble();
            std::memcpy(&bits, &d, sizeof bits);
            U64(bits);
            break;
        }
        case vtRegExp: {
            const std::string_view letters = v.vRegExpFlags();
            Byte(static_cast<std::uint8_t>(letters.size()));
            for (std::size_t i = 0; i < kMaxRegExpFlags; ++i)
                Byte(i < letters.size() ? static_cast<std::uint8_t>(letters[i]) : 0);
            break;
        }
        case vtString: break;
        default: U32(0); break;  // undefined, null, NaN
        }
        if (!text.empty()) Text(text);
        return true;
    }

    std::string& out_;
    std::vector<Item> stack_;
};

// ---------------------------------------------------------------------------
// The shapes a parse gives

enum class Need : std::uint8_t { No, May, Must };

// Where a statement record stands, which decides the kinds it may have.
enum class SRole : std::uint8_t {
    None,
    Root,               // the main program
    TopItems,           // a program's statements, classes and imported programs
    Statement,          // one statement (the body of if, while, for, try ...)
    Statements,         // a statement list (block, case clause)
    FirstParameter,     // a function's parameters: one without a name, or named ones
    Parameters,
    FunctionBody,       // the body block, followed by the implicit return
    ImplicitReturn,
    FunctionLiteral,    // the declaration of a function written in an expression
    ClassMembers,
    Declarators,
    Catch,
    Finally,
    Cases,              // switch clauses; after a default, Expr is required
    CasesAfterDefault,
    ForCondition,       // the holders of a for loop's condition and increment
    ForIncrement,
    ForInHolder,        // the holder of a for-in loop's collection
    Count
};

// Where an expression record stands.
enum class XRole : std::uint8_t {
    None,
    Any,         // an expression
    ForInit,     // an expression, or a var expression (for headers)
    Identifier,  // a bare name
    DeclName,    // a declarator's name, its Left the initialiser or none
    ClassName,   // a class's name, its Left the base-class name or none
    List,        // a list link of expressions
    Members,     // a list link of object-literal members
    Member,
    Key,         // an object-literal key: a name or a constant
    Empty,       // the expression of the implicit return
    Count
};

constexpr std::uint32_t KindBit(int kind) { return 1u << kind; }
constexpr std::uint64_t CodeBit(int code) { return std::uint64_t(1) << code; }

constexpr std::uint32_t kStatementKinds =
    KindBit(skEmpty) | KindBit(skBlock) | KindBit(skExpression) | KindBit(skIf) | KindBit(skWhile) | KindBit(skDo) |
    KindBit(skFor) | KindBit(skForIn) | KindBit(skForInValues) | KindBit(skFunction) | KindBit(skBreak) |
    KindBit(skContinue) | KindBit(skReturn) | KindBit(skTry) | KindBit(skThrow) | KindBit(skWith) | KindBit(skVar) |
    KindBit(skSwitch) | KindBit(skStatic) | KindBit(skGlobal);

// Every code an expression may have; the reserved integer division, list links,
// object-literal members, var expressions and the empty expression only where
// their roles allow them (the first nowhere: no source text produces it).
constexpr std::uint64_t kExpressionCodes = [] {
    std::uint64_t codes = 0;
    for (int code = ecComma; code <= kLastExprCode; ++code) codes |= CodeBit(code);
    return codes & ~(CodeBit(ecIntDivide) | CodeBit(ecObjectMember) | CodeBit(ecListLink) | CodeBit(ecVarExpression));
}();

struct TStatementRole {
    std::uint32_t Kinds;
    SRole Next;            // the role of the Next sibling; None: no sibling
    bool NextRequired;
    bool Nests;            // read where the parser reads a statement: one level deeper
    Need Expr;             // the role's own rule for Expr (holders, parameters), else
    XRole ExprRole;        // ExprRole None: the kind's rule
};

constexpr std::array<TStatementRole, static_cast<std::size_t>(SRole::Count)> kStatementRoles = {{
    /* None */ {0, SRole::None, false, false, Need::No, XRole::None},
    /* Root */ {KindBit(skProgram), SRole::None, false, false, Need::No, XRole::None},
    /* TopItems */
    {kStatementKinds | KindBit(skProgram) | KindBit(skClass), SRole::TopItems, false, true, Need::No, XRole::None},
    /* Statement */ {kStatementKinds, SRole::None, false, true, Need::No, XRole::None},
    /* Statements */ {kStatementKinds, SRole::Statements, false, true, Need::No, XRole::None},
    /* FirstParameter */ {KindBit(skParameter), SRole::Parameters, false, false, Need::May, XRole::Identifier},
    /* Parameters */ {KindBit(skParameter), SRole::Parameters, false, false, Need::Must, XRole::Identifier},
    /* FunctionBody */ {KindBit(skBlock), SRole::ImplicitReturn, true, false, Need::No, XRole::None},
    /* ImplicitReturn */ {KindBit(skReturn), SRole::None, false, false, Need::Must, XRole::Empty},
    /* FunctionLiteral */ {KindBit(skFunction), SRole::None, false, false, Need::No, XRole::None},
    /* ClassMembers */
    {KindBit(skFunction) | KindBit(skVar) | KindBit(skStatic) | KindBit(skGlobal) | KindBit(skDeclarator),
     SRole::ClassMembers, false, false, Need::No, XRole::None},
    /* Declarators */ {KindBit(skDeclarator), SRole::Declarators, false, false, Need::No, XRole::None},
    /* Catch */ {KindBit(skCatch), SRole::None, false, false, Need::No, XRole::None},
    /* Finally */ {KindBit(skFinally), SRole::None, false, false, Need::No, XRole::None},
    /* Cases */ {KindBit(skCase), SRole::Cases, false, false, Need::No, XRole::None},
    /* CasesAfterDefault */ {KindBit(skCase), SRole::CasesAfterDefault, false, false, Need::Must, XRole::Any},
    /* ForCondition */ {KindBit(skEmpty), SRole::ForIncrement, true, false, Need::May, XRole::Any},
    /* ForIncrement */ {KindBit(skEmpty), SRole::None, false, false, Need::May, XRole::Any},
    /* ForInHolder */ {KindBit(skEmpty), SRole::None, false, false, Need::Must, XRole::Any},
}};

struct TStatementShape {
    Need Expr = Need::No;
    XRole ExprRole = XRole::None;
    Need Sub1 = Need::No;
    SRole Sub1Role = SRole::None;
    Need Sub2 = Need::No;
    SRole Sub2Role = SRole::None;
    Need Sub3 = Need::No;  // a child of its own (not the enclosing declaration)
    SRole Sub3Role = SRole::None;
};

constexpr std::array<TStatementShape, kLastStatementKind + 1> kStatementShapes = [] {
    std::array<TStatementShape, kLastStatementKind + 1> t{};
    const auto body = [](Need expr, XRole exprRole = XRole::Any) {
        return TStatementShape{expr, exprRole, Need::Must, SRole::Statement};
    };
    t[skProgram] = {Need::May, XRole::Identifier, Need::Must, SRole::TopItems};
    t[skBlock] = {Need::No, XRole::None, Need::May, SRole::Statements};
    t[skExpression] = {Need::Must, XRole::Any};
    t[skIf] = {Need::Must, XRole::Any, Need::Must, SRole::Statement, Need::May, SRole::Statement};
    t[skWhile] = body(Need::Must);
    t[skDo] = body(Need::Must);
    t[skFor] = {Need::May, XRole::ForInit, Need::Must, SRole::Statement, Need::Must, SRole::ForCondition};
    t[skForIn] = {Need::Must, XRole::ForInit, Need::Must, SRole::Statement, Need::Must, SRole::ForInHolder};
    t[skForInValues] = t[skForIn];
    t[skFunction] = {Need::May, XRole::Identifier, Need::Must, SRole::FirstParameter, Need::Must, SRole::FunctionBody};
    t[skParameter] = {Need::May, XRole::Identifier};
    t[skClass] = {Need::Must, XRole::ClassName, Need::May, SRole::ClassMembers};
    t[skDeclarator] = {Need::Must, XRole::DeclName};
    t[skReturn] = {Need::May, XRole::Any};
    t[skTry] = {Need::No, XRole::None, Need::Must, SRole::Statement, Need::May, SRole::Catch, Need::May, SRole::Finally};
    t[skCatch] = body(Need::May, XRole::Identifier);
    t[skFinally] = body(Need::No, XRole::None);
    t[skThrow] = {Need::May, XRole::Any};
    t[skWith] = body(Need::Must);
    t[skVar] = {Need::No, XRole::None, Need::Must, SRole::Declarators};
    t[skStatic] = t[skVar];
    t[skGlobal] = t[skVar];
    t[skCase] = {Need::May, XRole::Any, Need::May, SRole::Statements};
    t[skSwitch] = {Need::Must, XRole::Any, Need::Must, SRole::Cases};
    return t;
}();

struct TExprRole {
    std::uint64_t Codes;
    Need IdentifierLeft;  // what the Left of an identifier may be here
    XRole IdentifierLeftRole;
};

constexpr std::array<TExprRole, static_cast<std::size_t>(XRole::Count)> kExprRoles = {{
    /* None */ {0, Need::No, XRole::None},
    /* Any */ {kExpressionCodes, Need::No, XRole::None},
    /* ForInit */ {kExpressionCodes | CodeBit(ecVarExpression), Need::No, XRole::None},
    /* Identifier */ {CodeBit(ecIdentifier), Need::No, XRole::None},
    /* DeclName */ {CodeBit(ecIdentifier), Need::May, XRole::Any},
    /* ClassName */ {CodeBit(ecIdentifier), Need::May, XRole::Identifier},
    /* List */ {CodeBit(ecListLink), Need::No, XRole::None},
    /* Members */ {CodeBit(ecListLink), Need::No, XRole::None},
    /* Member */ {CodeBit(ecObjectMember), Need::No, XRole::None},
    /* Key */ {CodeBit(ecIdentifier) | CodeBit(ecConstant), Need::No, XRole::None},
    /* Empty */ {CodeBit(ecEmpty), Need::No, XRole::None},
}};

struct TExprShape {
    Need Left = Need::No;
    XRole LeftRole = XRole::None;
    Need Right = Need::No;
    XRole RightRole = XRole::None;
    Need Third = Need::No;
    XRole ThirdRole = XRole::None;
    bool Value = false;      // a constant's value: required here, refused elsewhere
    bool Symbol = false;     // a name: likewise
    bool Statement = false;  // a function literal's declaration: likewise
};

constexpr std::array<TExprShape, kLastExprCode + 1> kExprShapes = [] {
    std::array<TExprShape, kLastExprCode + 1> t{};
    const TExprShape unary{Need::Must, XRole::Any};
    const TExprShape binary{Need::Must, XRole::Any, Need::Must, XRole::Any};
    for (int code = ecComma; code <= ecBitOrAssign; ++code) t[code] = binary;
    for (int code = ecOrElse; code <= ecBitOr; ++code) t[code] = binary;
    for (int code = ecPreIncrement; code <= ecNot; ++code) t[code] = unary;
    t[ecConstant].Value = true;
    t[ecIdentifier].Symbol = true;
    t[ecUnaryPlus] = unary;
    t[ecUnaryMinus] = unary;
    t[ecBitNot] = unary;
    t[ecVarExpression] = unary;
    t[ecMember] = {Need::Must, XRole::Any, Need::Must, XRole::Identifier};
    t[ecObjectMember] = {Need::Must, XRole::Key, Need::May, XRole::Any};
    t[ecSuperMember] = {Need::No, XRole::None, Need::Must, XRole::Identifier};
    t[ecNew] = {Need::Must, XRole::Identifier, Need::May, XRole::List};
    t[ecObjectLiteral] = {Need::May, XRole::Members};
    t[ecArrayLiteral] = {Need::May, XRole::List};
    t[ecCall] = {Need::Must, XRole::Any, Need::May, XRole::List};
    t[ecListLink] = {Need::May, XRole::List, Need::Must, XRole::Any};
    t[ecConditional] = {Need::Must, XRole::Any, Need::Must, XRole::Any, Need::Must, XRole::Any};
    t[ecFunction].Statement = true;
    t[ecMemberCall] = {Need::Must, XRole::Any, Need::Must, XRole::Identifier, Need::May, XRole::List};
    return t;
}();

// ---------------------------------------------------------------------------
// Reading

// Thrown inside the reader when the file is refused; never leaves it.
struct TRejected {};

class TTreeReader {
public:
    TTreeReader(std::string_view bytes, TJExprFactory& exprs, TJStatementFactory& statements,
                std::vector<TJStatement*>& declStack, const TJCompiledLimits& limits)
        : bytes_(bytes), exprs_(exprs), statements_(statements), declStack_(declStack), limits_(limits) {}

    TJStatement* Read() {
        TJStatement* root = nullptr;
        pos_ = kCompiledHeaderSize;
        tasks_.push_back(Task::Make(Op::Statement, static_cast<std::uint8_t>(SRole::Root), 0, 0, &root));
        while (!tasks_.empty()) {
            const Task task = tasks_.back();
            tasks_.pop_back();
            switch (task.Operation()) {
            case Op::Statement: ReadStatement(task); break;
            case Op::Expr: ReadExpr(task); break;
            case Op::FinishExpr: TJExprFactory::UpdateDepth(*static_cast<TJExpr*>(task.Target)); break;
            case Op::CloseDeclaration:
                if (declStack_.back()->Kind == skProgram) --openPrograms_;
                declStack_.pop_back();
                break;
            }
        }
        if (pos_ != bytes_.size()) throw TRejected{};  // bytes after the last record
        return root;
    }

private:
    enum class Op : std::uint8_t { Statement, Expr, FinishExpr, CloseDeclaration };
    // What to do next. The small fields share one word, written and read whole: tasks
    // are mostly taken off the stack right after they were put on it.
    struct Task {
        std::uint64_t Bits;
        void* Target;  // where the node goes (TJStatement** or TJExpr**), or the node

        static Task Make(Op op, std::uint8_t role, int depth, int level, void* target) {
            return {std::uint64_t(op) | std::uint64_t(role) << 8 | std::uint64_t(std::uint16_t(depth)) << 16 |
                        std::uint64_t(std::uint32_t(level)) << 32,
                    target};
        }
        Op Operation() const { return static_cast<Op>(Bits & 0xFF); }
        std::uint8_t Role() const { return static_cast<std::uint8_t>(Bits >> 8); }  // SRole or XRole
        // Expressions: levels above the node in its expression tree.
        int Depth() const { return static_cast<std::uint16_t>(Bits >> 16); }
        // The statement nesting of the enclosing statement.
        int Level() const { return static_cast<std::int32_t>(Bits >> 32); }
    };

    std::uint8_t Byte() {
        if (pos_ >= bytes_.size()) throw TRejected{};
        return static_cast<std::uint8_t>(bytes_[pos_++]);
    }
    std::uint32_t U32() {
        std::uint32_t v = 0;
        for (int shift = 0; shift < 32; shift += 8) v |= std::uint32_t(Byte()) << shift;
        return v;
    }
    std::uint64_t U64() {
        std::uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 8) v |= std::uint64_t(Byte()) << shift;
        return v;
    }
    // A length-prefixed text; never empty (an empty one is not written).
    std::string_view Text() {
        const std::uint32_t size = U32();
        if (size == 0 || size > bytes_.size() - pos_) throw TRejected{};
        const std::string_view text = bytes_.substr(pos_, size);
        pos_ += size;
        return text;
    }

    static void Check(bool ok) {
        if (!ok) throw TRejected{};
    }
    // Whether the child flagged by Bit is present as Need allows.
    static bool Present(std::uint8_t flags, std::uint8_t bit, Need need) {
        const bool present = (flags & bit) != 0;
        Check(need == Need::Must ? present : need == Need::May || !present);
        return present;
    }

    void Push(Op op, std::uint8_t role, int depth, int level, void* target) {
        tasks_.push_back(Task::Make(op, role, depth, level, target));
    }
    void PushStatement(SRole role, int level, TJStatement** target) {
        Push(Op::Statement, static_cast<std::uint8_t>(role), 0, level, target);
    }
    void PushExpr(XRole role, int depth, int level, TJExpr** target) {
        Push(Op::Expr, static_cast<std::uint8_t>(role), depth, level, target);
    }

    void ReadStatement(const Task& task) {
        const auto roleId = static_cast<SRole>(task.Role());
        const TStatementRole& role = kStatementRoles[task.Role()];
        const std::uint8_t flags = Byte();
        const std::uint8_t kindByte = Byte();
        const std::int32_t line = static_cast<std::int32_t>(U32());
        Check((flags & kPresent) && !(flags & ~kStatementFlags) && kindByte <= kLastStatementKind);
        const auto kind = static_cast<TJStatementKind>(kindByte);
        Check(role.Kinds & KindBit(kind));
        const TStatementShape& shape = kStatementShapes[kind];

        // Classes and imported programs are not statements: their own level is the program's.
        const bool nests = role.Nests && !(roleId == SRole::TopItems && (kind == skProgram || kind == skClass));
        const int level = task.Level() + (nests ? 1 : 0);
        Check(level <= limits_.StatementNesting);

        const bool ownExprRule = role.ExprRole != XRole::None;
        const bool hasExpr = Present(flags, kHasExpr, ownExprRule ? role.Expr : shape.Expr);
        const XRole exprRole = ownExprRule ? role.ExprRole : shape.ExprRole;
        const bool hasSub1 = Present(flags, kHasSub1, shape.Sub1);
        const bool hasSub2 = Present(flags, kHasSub2, shape.Sub2);
        const bool hasSub3 = Present(flags, kHasSub3, shape.Sub3);
        // A try has a catch or a finally clause; an imported program has its name.
        if (kind == skTry) Check(hasSub2 || hasSub3);
        if (kind == skProgram && roleId == SRole::TopItems) Check(hasExpr);
        // The parameter list without names is that one node; a default clause comes once.
        SRole nextRole = role.Next;
        if (roleId == SRole::FirstParameter && !hasExpr) nextRole = SRole::None;
        if (roleId == SRole::Cases && !hasExpr) nextRole = SRole::CasesAfterDefault;
        const bool hasNext = Present(flags, kHasNext,
                                     nextRole == SRole::None ? Need::No : role.NextRequired ? Need::Must : Need::May);

        TJStatement* node = statements_.Make(kind, line);
        *static_cast<TJStatement**>(task.Target) = node;
        const bool declaration = IsDeclarationKind(kind);
        if (kind == skFunction || kind == skClass) node->Sub3 = declStack_.empty() ? nullptr : declStack_.back();

        // Last first: Next, the declaration's end, Sub3, Sub2, Sub1, Expr.
        if (hasNext) PushStatement(nextRole, task.Level(), &node->Next);
        if (declaration) {
            if (kind == skProgram) Check(++openPrograms_ <= limits_.ImportNesting + 1);
            declStack_.push_back(node);
            Push(Op::CloseDeclaration, 0, 0, 0, nullptr);
        }
        if (hasSub3) PushStatement(shape.Sub3Role, level, &node->Sub3);
        if (hasSub2) PushStatement(shape.Sub2Role, level, &node->Sub2);
        if (hasSub1) PushStatement(shape.Sub1Role, level, &node->Sub1);
        if (hasExpr) PushExpr(exprRole, 1, level, &node->Expr);
    }

    void ReadExpr(const Task& task) {
        const auto roleId = static_cast<XRole>(task.Role());
        const TExprRole& role = kExprRoles[task.Role()];
        Check(task.Depth() <= limits_.ExpressionDepth);
        const std::uint8_t flags = Byte();
        const std::uint8_t code = Byte();
        Check((flags & kPresent) && !(flags & ~kExprFlags) && code <= kLastExprCode && (role.Codes & CodeBit(code)));
        const TExprShape& shape = kExprShapes[code];

        Need leftNeed = shape.Left;
        XRole leftRole = shape.LeftRole;
        XRole rightRole = shape.RightRole;
        if (code == ecIdentifier) {
            leftNeed = role.IdentifierLeft;
            leftRole = role.IdentifierLeftRole;
        } else if (code == ecListLink && roleId == XRole::Members) {
            leftRole = XRole::Members;
            rightRole = XRole::Member;
        }
        const bool hasSymbol = Present(flags, kHasSymbol, shape.Symbol ? Need::Must : Need::No);
        const bool hasValue = Present(flags, kHasValue, shape.Value ? Need::Must : Need::No);
        const bool hasLeft = Present(flags, kHasLeft, leftNeed);
        const bool hasRight = Present(flags, kHasRight, shape.Right);
        const bool hasThird = Present(flags, kHasThird, shape.Third);
        const bool hasStatement = Present(flags, kHasStatement, shape.Statement ? Need::Must : Need::No);

        TJExpr* node;
        if (hasSymbol) node = exprs_.MakeIdentifier(Intern(Text()));
        else if (hasValue) node = exprs_.MakeConstant(ReadValue());
        else if (hasStatement) node = exprs_.MakeFunction(nullptr);
        else node = exprs_.Make(static_cast<TJExprCode>(code));  // no operands: nothing to fold
        *static_cast<TJExpr**>(task.Target) = node;

        // A list's earlier links are the same level as the list: lists are walked in a loop.
        const int childDepth = task.Depth() + 1;
        const int leftDepth = code == ecListLink ? task.Depth() : childDepth;
        if (hasLeft || hasRight || hasThird) Push(Op::FinishExpr, 0, 0, 0, node);
        if (hasStatement) PushStatement(SRole::FunctionLiteral, task.Level(), &node->Statement);
        if (hasThird) PushExpr(shape.ThirdRole, childDepth, task.Level(), &node->Third);
        if (hasRight) PushExpr(rightRole, childDepth, task.Level(), &node->Right);
        if (hasLeft) PushExpr(leftRole, leftDepth, task.Level(), &node->Left);
    }

    TJValue ReadValue() {
        const std::uint8_t flags = Byte();
        const std::uint8_t type = Byte();
        Check((flags & kPresent) && !(flags & ~kValueFlags) && type <= kLastValueType && kPayloadSize[type] >= 0);
        const bool hasText = (flags & kHasText) != 0;
        Check(!hasText || type == vtString || type == vtRegExp);
        TJValue v;
        switch (type) {
        case vtNull: v.BuildNull(); U32(); break;
        case vtInteger: v.BuildInteger(static_cast<std::int32_t>(U32())); break;
        case vtDouble: {
            const std::uint64_t bits = U64();
            double d;
            std::memcpy(&d, &bits, sizeof d);
            v.BuildDouble(d);
            break;
        }
        case vtBool: v.BuildBool((U32() & 0xFF) != 0); break;
        case vtInfinity: v.BuildInfinity((U32() & 0xFF) != 0); break;
        case vtNaN: v.BuildNaN(); U32(); break;
        case vtString: v.BuildString(hasText ? TJString(Text()) : TJString()); break;
        case vtRegExp: {
            const std::size_t count = Byte();
            Check(count <= kMaxRegExpFlags);
            char letters[kMaxRegExpFlags];
            for (std::size_t i = 0; i < kMaxRegExpFlags; ++i) letters[i] = static_cast<char>(Byte());
            for (std::size_t i = 0; i < count; ++i)
                Check(kRegExpFlagLetters.find(letters[i]) != std::string_view::npos);
            v.BuildRegExp(hasText ? TJString(Text()) : TJString(), std::string_view(letters, count));
            break;
        }
        default: U32(); break;  // undefined
        }
        return v;
    }

    // One shared text per name, as a parse gives: open addressing on a hash of the
    // name, whose bytes stay in the file's buffer for the whole load.
    const TJString& Intern(std::string_view name) {
        if ((nameCount_ + 1) * 2 > names_.size()) GrowNames();
        const std::uint32_t hash = NameHash(name);
        const std::size_t mask = names_.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            Name& slot = names_[i];
            if (slot.Text.empty()) {
                slot = {hash, name, TJString(name)};
                ++nameCount_;
                return slot.Shared;
            }
            if (slot.Hash == hash && slot.Text == name) return slot.Shared;
        }
    }
    static std::uint32_t NameHash(std::string_view name) noexcept {
        std::uint32_t h = 2166136261u;
        for (unsigned char c : name) h = (h ^ c) * 16777619u;
        return h;
    }
    void GrowNames() {
        std::vector<Name> old = std::move(names_);
        names_.assign(old.empty() ? kFirstNameSlots : old.size() * 2, Name{});
        const std::size_t mask = names_.size() - 1;
        for (Name& name : old) {
            if (name.Text.empty()) continue;
            std::size_t i = name.Hash & mask;
            while (!names_[i].Text.empty()) i = (i + 1) & mask;
            names_[i] = std::move(name);
        }
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
    TJExprFactory& exprs_;
    TJStatementFactory& statements_;
    std::vector<TJStatement*>& declStack_;
    const TJCompiledLimits& limits_;
    std::vector<Task> tasks_;
    struct Name {
        std::uint32_t Hash = 0;
        std::string_view Text;  // empty: a free slot
        TJString Shared;
    };
    static constexpr std::size_t kFirstNameSlots = 256;
    std::vector<Name> names_;
    std::size_t nameCount_ = 0;
    int openPrograms_ = 0;
};

}  // namespace

bool WriteCompiledTree(const TJStatement* program, std::string& out) {
    out.assign(kCompiledMagic);
    out += static_cast<char>(kCompiledVersion);
    return TTreeWriter(out).Write(program);
}

TJStatement* ReadCompiledTree(std::string_view bytes, TJExprFactory& exprs, TJStatementFactory& statements,
                              std::vector<TJStatement*>& declStack, const TJCompiledLimits& limits) {
    if (bytes.size() <= kCompiledHeaderSize || bytes.substr(0, kCompiledMagic.size()) != kCompiledMagic ||
        static_cast<std::uint8_t>(bytes[kCompiledMagic.size()]) != kCompiledVersion)
        return nullptr;
    const std::size_t openDeclarations = declStack.size();
    try {
        return TTreeReader(bytes, exprs, statements, declStack, limits).Read();
    } catch (const TRejected&) {
        declStack.resize(openDeclarations);
        return nullptr;
    }
}

}  // namespace kestrel
