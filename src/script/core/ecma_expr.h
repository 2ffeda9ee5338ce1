// Expression nodes of the syntax tree and the factory that owns them.
//
// The codes are stored in compiled script files and double as the operator codes of
// the value operations (ecma_type.h), so none of them may change. While it builds a
// node the factory folds operators whose operands are constants, through the same
// value operations the evaluator uses, so a folded expression holds exactly the
// value its evaluation would give.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "script/core/ecma_member_cache.h"
#include "script/core/ecma_nodepool.h"
#include "script/core/ecma_stmt.h"
#include "script/core/ecma_type.h"

namespace kestrel {

struct TJStatement;

enum TJExprCode : std::uint8_t {
    ecEmpty = 0,           // the expression of an implicit return
    ecComma = 1,           // Left, Right
    ecAdd = 2,             // + - / * %: Left, Right
    ecSubtract = 3,
    ecDivide = 4,
    ecMultiply = 5,
    ecModulo = 6,
    ecIntDivide = 7,       // reserved: no source text produces it
    ecAssign = 8,          // Left target, Right value
    ecMultiplyAssign = 9,  // *= /= += -= %= <<= >>= >>>= &= ^= |=
    ecDivideAssign = 10,
    ecAddAssign = 11,
    ecSubtractAssign = 12,
    ecModuloAssign = 13,
    ecShiftLeftAssign = 14,
    ecShiftRightAssign = 15,
    ecUnsignedShiftRightAssign = 16,
    ecBitAndAssign = 17,
    ecBitXorAssign = 18,
    ecBitOrAssign = 19,
    ecConstant = 20,       // Value
    ecIdentifier = 21,     // Symbol
    ecUnaryPlus = 22,      // Left
    ecUnaryMinus = 23,     // Left
    ecThis = 24,
    ecMember = 25,         // a.b: Left object, Right identifier
    ecObjectMember = 26,   // Left key (identifier or constant), Right value or none
    ecSuperMember = 27,    // super.b: Right identifier
    ecNew = 28,            // Left identifier, Right argument list or none
    ecObjectLiteral = 29,  // Left member list or none
    ecArrayLiteral = 30,   // Left element list or none
    ecCall = 31,           // a(...) or a[...]: Left target, Right argument list or none
    ecListLink = 32,       // Left previous link or none, Right element
    ecPreIncrement = 33,   // Left
    ecPreDecrement = 34,
    ecPostIncrement = 35,
    ecPostDecrement = 36,
    ecDelete = 37,         // Left
    ecVoid = 38,
    ecTypeof = 39,
    ecNot = 40,            // Left
    ecOrElse = 41,         // || short-circuit: Left, Right
    ecOr = 42,             // || evaluating both sides
    ecAndThen = 43,        // && short-circuit
    ecAnd = 44,            // && evaluating both sides
    ecShiftLeft = 45,      // << >> >>>
    ecShiftRight = 46,
    ecUnsignedShiftRight = 47,
    ecLess = 48,           // < > <= >=
    ecGreater = 49,
    ecLessEqual = 50,
    ecGreaterEqual = 51,
    ecEqual = 52,          // == != === !==
    ecNotEqual = 53,
    ecStrictEqual = 54,
    ecStrictNotEqual = 55,
    ecBitAnd = 56,         // & ^ |
    ecBitXor = 57,
    ecBitOr = 58,
    ecBitNot = 59,         // ~: Left
    ecConditional = 60,    // Left condition, Right then-value, Third else-value
    ecFunction = 61,       // function literal: Statement is its declaration
    ecMemberCall = 62,     // a.b(...) or a.b[...]: Left object, Right identifier, Third arguments or none
    ecVarExpression = 63,  // var in a for header: Left
};

// One expression node. Lists (arguments, array elements, object-literal members) are
// chains of ecListLink nodes built from the front: the node a list is known by is the
// link of its last element, each link's Left is the link before it, and the first
// element's link has no Left; an empty list is no node at all.
struct TJExpr {
    TJExprCode Code = ecEmpty;
    // Identifiers: where the evaluator found the name last time (an index it checks).
    mutable std::uint8_t Hint = 0;
    // Height of the tree below and including this node; a list chain counts as one
    // level, because lists are walked in a loop, not by recursion.
    std::uint16_t Depth = 1;
    // Identifiers naming a variable of the call record of FrameDecl (a function
    // declaration): its slot there (ecma_resolve.h). Set by the evaluator, never saved.
    mutable std::uint16_t Slot = 0xFFFF;
    // Identifiers of a top-level function's code that its own record does not hold but
    // its program's record does: the slot there, for calls of OuterFrom (the function
    // declaration). Set by the evaluator, never saved.
    mutable std::uint16_t OuterSlot = 0xFFFF;
    TJExpr* Left = nullptr;
    TJExpr* Right = nullptr;
    TJExpr* Third = nullptr;
    TJValue Value;                     // ecConstant
    TJString Symbol;                   // ecIdentifier: the name
    TJStatement* Statement = nullptr;  // ecFunction: the declaration node
    mutable const TJStatement* FrameDecl = nullptr;
    mutable const TJStatement* OuterFrom = nullptr;

    // ecMember and ecMemberCall: what the last access at this place found (made at the
    // first access, never saved).
    TJMemberCache& MemberCache() const {
        if (!memberCache_) memberCache_ = std::make_unique<TJMemberCache>();
        return *memberCache_;
    }
    mutable std::unique_ptr<TJMemberCache> memberCache_;
};

// Makes and owns expression nodes; every node lives until Clear.
class TJExprFactory {
public:
    TJExprFactory() = default;
    TJExprFactory(const TJExprFactory&) = delete;
    TJExprFactory& operator=(const TJExprFactory&) = delete;

    // A node of Code with its children. Unary + - ~ of a constant, and the arithmetic,
    // bitwise, logical and comparison operators on two constants, give a constant
    // instead (the operand nodes are reused or freed). Errors of the value operations
    // (ETypeError for -NaN, for example) propagate.
    TJExpr* Make(TJExprCode code, TJExpr* left = nullptr, TJExpr* right = nullptr, TJExpr* third = nullptr);
    TJExpr* MakeConstant(TJValue value);
    TJExpr* MakeIdentifier(TJString name);
    TJExpr* MakeFunction(TJStatement* declaration);
    // Appends Element to the list whose last link is Previous (none: a new list).
    TJExpr* MakeListLink(TJExpr* previous, TJExpr* element) { return Make(ecListLink, previous, element); }

    // Recomputes the depth of Node from its children (after a child was attached later).
    static void UpdateDepth(TJExpr& node) noexcept;

    void Free(TJExpr* node) { pool_.Free(node); }
    void Clear() noexcept { pool_.Clear(); }
    std::size_t Count() const noexcept { return pool_.Count(); }

private:
    TJExpr* Fold(TJExprCode code, TJExpr* left, TJExpr* right);

    TJNodePool<TJExpr> pool_;
};

// True for the codes whose two operands the factory folds when both are constants.
bool IsFoldableBinary(TJExprCode code) noexcept;

inline const TJExpr* TJStatement::BaseClass() const noexcept { return Expr ? Expr->Left : nullptr; }

}  // namespace kestrel
