// A compact text form of syntax trees for the parser tests.
//
// Expressions: constants as i:3, d:7, s:"ab", b:true, null, undef, NaN, inf, -inf,
// re:/pattern/flags; identifiers as their name; other nodes as (code children...),
// an absent child before a present one as _. Statements: {kind children...}, with
// kind@line when lines are asked for; a statement list as [s1 s2 ...]. The enclosing
// declaration of programs, functions and classes is not shown.
#pragma once

#include <string>

#include "script/core/ecma_expr.h"
#include "script/core/ecma_stmt.h"

namespace treedump {

using namespace kestrel;

inline std::string Dump(const TJStatement* s, bool lines = false);
inline std::string DumpList(const TJStatement* first, bool lines = false);

inline std::string Constant(const TJValue& v) {
    switch (v.ValueType()) {
    case vtUndefined: return "undef";
    case vtNull: return "null";
    case vtInteger: return "i:" + v.AsString().str();
    case vtDouble: return "d:" + v.AsString().str();
    case vtString: return "s:\"" + v.AsString().str() + "\"";
    case vtBool: return std::string("b:") + (v.vBool() ? "true" : "false");
    case vtInfinity: return v.vNegative() ? "-inf" : "inf";
    case vtNaN: return "NaN";
    case vtRegExp: return "re:/" + v.vString().str() + "/" + std::string(v.vRegExpFlags());
    default: return "?";
    }
}

inline std::string Dump(const TJExpr* e) {
    if (!e) return "_";
    if (e->Code == ecConstant) return Constant(e->Value);
    if (e->Code == ecIdentifier && !e->Left) return e->Symbol.str();
    if (e->Code == ecFunction) return "(61 " + Dump(e->Statement) + ")";
    std::string out = "(" + std::to_string(e->Code);
    if (e->Code == ecIdentifier) out += " " + e->Symbol.str();
    const TJExpr* children[] = {e->Left, e->Right, e->Third};
    int last = 2;
    while (last >= 0 && !children[last]) --last;
    for (int i = 0; i <= last; ++i) out += " " + Dump(children[i]);
    return out + ")";
}

inline std::string DumpList(const TJStatement* first, bool lines) {
    std::string out = "[";
    for (const TJStatement* s = first; s; s = s->Next) {
        if (s != first) out += " ";
        out += Dump(s, lines);
    }
    return out + "]";
}

inline std::string Dump(const TJStatement* s, bool lines) {
    if (!s) return "_";
    std::string out = "{" + std::to_string(s->Kind);
    if (lines) out += "@" + std::to_string(s->Line);
    const bool declaration = IsDeclarationKind(s->Kind);
    const TJStatement* subs[] = {s->Sub1, s->Sub2, declaration ? nullptr : s->Sub3};
    int last = 2;
    while (last >= 0 && !subs[last]) --last;
    if (s->Expr || last >= 0) out += " " + Dump(s->Expr);
    for (int i = 0; i <= last; ++i) out += " " + (subs[i] ? DumpList(subs[i], lines) : std::string("_"));
    return out + "}";
}

}  // namespace treedump
