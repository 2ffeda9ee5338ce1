// What a tree is, for comparing a parsed tree with its compiled and loaded copy: the
// compiled-file bytes (every node, field and constant) followed by the enclosing
// declaration of each program, function and class node, as preorder numbers.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "script/core/ecma_compiled.h"

namespace kestrel::testing {

inline std::string TreeSignature(const TJStatement* root) {
    std::string text;
    if (!WriteCompiledTree(root, text)) return "<cannot be written>";
    // Statements numbered in a fixed order; a walk with a stack, as lists may be long.
    std::unordered_map<const TJStatement*, int> number;
    std::vector<const TJStatement*> order;
    std::vector<const TJStatement*> statements;
    std::vector<const TJExpr*> exprs;
    if (root) statements.push_back(root);
    while (!statements.empty()) {
        const TJStatement* s = statements.back();
        statements.pop_back();
        number.emplace(s, static_cast<int>(order.size()));
        order.push_back(s);
        for (const TJStatement* next : {s->Next, IsDeclarationKind(s->Kind) ? nullptr : s->Sub3, s->Sub2, s->Sub1})
            if (next) statements.push_back(next);
        if (s->Expr) exprs.push_back(s->Expr);
        while (!exprs.empty()) {
            const TJExpr* e = exprs.back();
            exprs.pop_back();
            if (e->Statement) statements.push_back(e->Statement);
            for (const TJExpr* child : {e->Left, e->Right, e->Third})
                if (child) exprs.push_back(child);
        }
    }
    text += "\ndeclarations:";
    for (const TJStatement* s : order) {
        if (!IsDeclarationKind(s->Kind)) continue;
        auto it = number.find(s->Enclosing());
        text += " " + std::to_string(number[s]) + "<" + (it == number.end() ? "-" : std::to_string(it->second));
    }
    return text;
}

}  // namespace kestrel::testing
