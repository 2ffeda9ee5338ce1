// Slot resolution: what a function's calls keep in their flat record, worked out
// once from the tree.
//
// At the first call of a function declaration in a run (and when a program starts)
// the evaluator asks for the layout of its record (TJFrameLayout) and, while it is
// made, every identifier of the code that names one of those variables is marked
// with its slot. The work
// is done on the tree as it stands, so a tree read from a compiled file is resolved
// exactly like a parsed one. Marks only ever speed a lookup up: an identifier whose
// slot is not declared in the running call, or that is evaluated anywhere but in a
// call of its own function (inside `with`, say), is looked up by name as before.
//
// A function written at the top of a program also reaches its program's variables (the
// functions it calls, mostly) through the namespace's record: its identifiers that its
// own record lacks and the program's holds are marked with that slot too. Such a mark
// stands only while nothing between the call and the namespace holds the name, which
// the evaluator checks at every use (ecma_eval.cpp).
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "script/core/ecma_expr.h"
#include "script/core/ecma_stmt.h"
#include "script/core/ecma_type_scope.h"

namespace kestrel {

// What a top-level function's code may reach in its program's record: the program's
// layout, and the names to leave to the search by name (Shadowed: those that a `this`
// met on the way always holds).
struct TJOuterFrame {
    const TJFrameLayout* Layout = nullptr;
    std::function<bool(std::string_view)> Shadowed;
};

// The record layout of Decl, a function declaration (its calls) or a program (its
// namespace); marks the identifiers of Decl's own code (not those of nested
// functions, classes or imported programs) that name a slot of it, and the others
// that name a slot of Outer's layout (when given) with that slot.
std::unique_ptr<TJFrameLayout> ResolveFrame(const TJStatement* decl, const TJOuterFrame* outer = nullptr);

// Whether a call of Decl must make its `arguments` array: only code of its own can
// read it (nested functions and eval have theirs), so without the name it is skipped.
bool NeedsArguments(const TJStatement* decl);

}  // namespace kestrel
