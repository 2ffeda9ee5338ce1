// Statement nodes of the syntax tree and the factory that owns them.
//
// The kinds are stored in compiled script files, so none of them may change.
#pragma once

#include <cstddef>
#include <cstdint>

#include "script/core/ecma_nodepool.h"

namespace kestrel {

struct TJExpr;

enum TJStatementKind : std::uint8_t {
    skEmpty = 0,        // also @set, the place of `import name.*`, and the for-loop holders
    skProgram = 1,      // Expr name identifier (none for the main script), Sub1 first statement
    skBlock = 2,        // Sub1 first statement
    skExpression = 3,   // Expr
    skIf = 4,           // Expr condition, Sub1 then, Sub2 else or none
    skWhile = 5,        // Expr condition, Sub1 body
    skDo = 6,           // Expr condition, Sub1 body
    skFor = 7,          // Expr initialiser or none, Sub1 body, Sub2 condition holder (Next: increment holder)
    skForIn = 8,        // Expr variable, Sub1 body, Sub2 holder of the collection; gives keys or indexes
    skForInValues = 9,  // as skForIn, giving values
    skFunction = 10,    // Expr name or none, Sub1 first parameter, Sub2 body block (Next: implicit return)
    skParameter = 11,   // Expr identifier, or none for an empty parameter list
    skClass = 12,       // Expr name identifier (Left: base class or none), Sub1 first member
    skDeclarator = 13,  // Expr identifier whose Left is the initialiser or none
    skBreak = 14,
    skContinue = 15,
    skReturn = 16,      // Expr or none
    skTry = 17,         // Sub1 body, Sub2 catch clause or none, Sub3 finally clause or none
    skCatch = 18,       // Expr identifier or none, Sub1 body
    skFinally = 19,     // Sub1 body
    skThrow = 20,       // Expr or none
    skWith = 21,        // Expr object, Sub1 body
    skVar = 22,         // Sub1 first declarator
    skCase = 23,        // Expr case value (none for default), Sub1 first statement
    skSwitch = 24,      // Expr, Sub1 first case clause
    skStatic = 25,      // Sub1 first declarator
    skGlobal = 26,      // Sub1 first declarator
};

// One statement node. Statement lists are linked through Prev and Next. Sub3 of a
// program, function or class node is its enclosing declaration (the program, function
// or class it was written in, or none); of the other kinds it is a third child.
struct TJStatement {
    TJStatementKind Kind = skEmpty;
    // What the evaluator has learnt of this node on first use (its own bits; 0 at first).
    mutable std::uint8_t Facts = 0;
    TJExpr* Expr = nullptr;
    TJStatement* Prev = nullptr;
    TJStatement* Next = nullptr;
    TJStatement* Sub1 = nullptr;
    TJStatement* Sub2 = nullptr;
    TJStatement* Sub3 = nullptr;
    std::int32_t Line = 0;

    // The children of declarations by what they mean (the same fields, no cost).
    // Function: the first parameter (none without parameters) and the body block.
    const TJStatement* Params() const noexcept { return Sub1; }
    const TJStatement* Body() const noexcept { return Sub2; }
    // Class: the first member, and the base class's name identifier or none.
    const TJStatement* ClassMembers() const noexcept { return Sub1; }
    inline const TJExpr* BaseClass() const noexcept;
    // Program, function, class: the declaration it was written in, or none.
    const TJStatement* Enclosing() const noexcept { return Sub3; }
};

// True for the kinds whose Sub3 is the enclosing declaration.
inline bool IsDeclarationKind(TJStatementKind kind) noexcept {
    return kind == skProgram || kind == skFunction || kind == skClass;
}

// Makes and owns statement nodes; every node lives until Clear.
class TJStatementFactory {
public:
    TJStatementFactory() = default;
    TJStatementFactory(const TJStatementFactory&) = delete;
    TJStatementFactory& operator=(const TJStatementFactory&) = delete;

    TJStatement* Make(TJStatementKind kind, std::int32_t line, TJExpr* expr = nullptr, TJStatement* sub1 = nullptr,
                      TJStatement* sub2 = nullptr, TJStatement* sub3 = nullptr) {
        TJStatement* node = pool_.New();
        node->Kind = kind;
        node->Line = line;
        node->Expr = expr;
        node->Sub1 = sub1;
        node->Sub2 = sub2;
        node->Sub3 = sub3;
        return node;
    }

    void Clear() noexcept { pool_.Clear(); }
    std::size_t Count() const noexcept { return pool_.Count(); }

private:
    TJNodePool<TJStatement> pool_;
};

// Links Next after Last in a statement list.
inline void LinkStatements(TJStatement* last, TJStatement* next) noexcept {
    last->Next = next;
    next->Prev = last;
}

}  // namespace kestrel
