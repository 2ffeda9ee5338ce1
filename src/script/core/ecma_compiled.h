// The compiled-tree format: a syntax tree as bytes and back.
//
// The bytes are "KeScript", the version byte 18, and the program node as a statement
// record (nothing when the tree is empty). Statement records are flags, kind and a
// 32-bit line, then the expression, Sub1, Sub2, Sub3 and Next records that the flags
// announce; expression records are flags and code, then the symbol text, the constant
// value and the Left, Right, Third and Statement records; value records are flags,
// the value kind, its payload and its text. Numbers are little-endian and written
// byte by byte, so every build reads what any other build wrote. The format is fixed
// and gains no fields.
//
// Both directions walk the tree with a stack of their own instead of recursion, so a
// statement list of any length or a deep tree never exhausts the C++ stack.
//
// The reader trusts nothing: a truncated record, a flag bit that must be clear, a
// kind, code or value ordinal out of range, a node missing a child its kind needs or
// carrying one its kind never has, nesting deeper than the parser accepts, or bytes
// after the last record reject the whole file, and no tree is made. A loaded tree
// has exactly the shapes a parse gives, so the evaluator never meets anything else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/core/ecma_expr.h"
#include "script/core/ecma_stmt.h"

namespace kestrel {

inline constexpr std::string_view kCompiledMagic = "KeScript";
inline constexpr std::uint8_t kCompiledVersion = 18;
inline constexpr std::size_t kCompiledHeaderSize = kCompiledMagic.size() + 1;

// The whole file for the tree of Program (none: the header alone). False, with Out
// undefined, when the tree holds a constant no file can carry (an object, a function).
bool WriteCompiledTree(const TJStatement* program, std::string& out);

// Limits of the trees a load accepts: those of the parser that made them.
struct TJCompiledLimits {
    int StatementNesting;  // statements nested through statements
    int ExpressionDepth;   // height of one expression tree (lists count as one level)
    int ImportNesting;     // programs imported inside imported programs
};

// Reads the tree of a whole file (header included) through the two factories, which
// own every node made, also of a rejected file. Program, function and class nodes get
// their enclosing declaration from DeclStack as a parse gives it: each is on the stack
// while its own children are read, and off it before its Next sibling. No constant is
// folded. The program node, or none when the file is rejected or holds no tree.
TJStatement* ReadCompiledTree(std::string_view bytes, TJExprFactory& exprs, TJStatementFactory& statements,
                              std::vector<TJStatement*>& declStack, const TJCompiledLimits& limits);

}  // namespace kestrel
