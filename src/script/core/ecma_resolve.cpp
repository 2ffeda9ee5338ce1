#include "script/core/ecma_resolve.h"

#include <string_view>

namespace kestrel {

namespace {

constexpr std::string_view kArgumentsName = "arguments";

// Facts of a function declaration node (TJStatement::Facts).
constexpr std::uint8_t kFactsKnown = 1;
constexpr std::uint8_t kFactsArguments = 2;  // its own code names `arguments`

bool ExprNamesArguments(const TJExpr* e);

bool StatementsNameArguments(const TJStatement* s) {
    for (; s; s = s->Next) {
        // A nested function or class has its own `arguments`.
        if (s->Kind == skFunction || s->Kind == skClass) continue;
        if (ExprNamesArguments(s->Expr)) return true;
        if (StatementsNameArguments(s->Sub1) || StatementsNameArguments(s->Sub2)) return true;
        if (!IsDeclarationKind(s->Kind) && StatementsNameArguments(s->Sub3)) return true;
    }
    return false;
}

bool ExprNamesArguments(const TJExpr* e) {
    while (e) {
        switch (e->Code) {
        case ecIdentifier: return e->Symbol.view() == kArgumentsName;
        case ecFunction: return false;
        case ecListLink:
            // Lists are chains: walk them, do not recurse along them.
            if (ExprNamesArguments(e->Right)) return true;
            e = e->Left;
            continue;
        default:
            if (ExprNamesArguments(e->Left) || ExprNamesArguments(e->Right)) return true;
            e = e->Third;
            continue;
        }
    }
    return false;
}

// Works out one declaration's layout, then marks its identifiers.
class TResolver {
public:
    TResolver(const TJStatement* decl, TJFrameLayout& layout, const TJOuterFrame* outer)
        : decl_(decl), layout_(layout), outer_(outer) {}

    void Run() {
        layout_.Decl = decl_;
        if (decl_->Kind == skProgram) {
            Declarations(decl_->Sub1);
            Statements(decl_->Sub1);
            return;
        }
        for (const TJStatement* p = decl_->Params(); p; p = p->Next)
            layout_.ParamSlots.push_back(p->Expr ? layout_.Add(p->Expr->Symbol) : TJFrameLayout::kNoSlot);
        if (NeedsArguments(decl_)) layout_.ArgumentsSlot = layout_.Add(TJString(kArgumentsName));
        Declarations(decl_->Body());
        Statements(decl_->Body());
    }

private:
    // The names the body declares in the call's own table. A declaration that runs
    // elsewhere (inside `with`, say) only gives a slot that stays undeclared.
    void Declarations(const TJStatement* s) {
        for (; s; s = s->Next) {
            switch (s->Kind) {
            case skProgram: continue;  // an imported program is a namespace of its own
            case skFunction:
            case skClass:
                // Declared here under its name; its body is its own.
                if (s->Expr) layout_.Add(s->Expr->Symbol);
                continue;
            case skVar:
                for (const TJStatement* d = s->Sub1; d; d = d->Next)
                    if (d->Expr) layout_.Add(d->Expr->Symbol);
                continue;
            case skStatic:
            case skGlobal: continue;  // declared in the function's or the namespace's table
            case skCatch:
                if (s->Expr) layout_.Add(s->Expr->Symbol);
                break;
            case skFor:
            case skForIn:
            case skForInValues: VarExpressionNames(s->Expr); break;
            default: break;
            }
            Declarations(s->Sub1);
            Declarations(s->Sub2);
            Declarations(s->Sub3);
        }
    }

    // `var` in a for header declares the identifier it names or assigns directly.
    void VarExpressionNames(const TJExpr* e) {
        if (!e || e->Code != ecVarExpression || !e->Left) return;
        const TJExpr* target = e->Left->Code == ecAssign ? e->Left->Left : e->Left;
        if (target && target->Code == ecIdentifier) layout_.Add(target->Symbol);
    }

    void Statements(const TJStatement* s) {
        for (; s; s = s->Next) {
            if (s->Kind == skProgram || s->Kind == skFunction || s->Kind == skClass) continue;
            Expression(s->Expr);
            Statements(s->Sub1);
            Statements(s->Sub2);
            Statements(s->Sub3);
        }
    }

    void Expression(const TJExpr* e) {
        while (e) {
            switch (e->Code) {
            case ecIdentifier:
                // A declarator's identifier holds its initialiser.
                Mark(e);
                e = e->Left;
                continue;
            case ecFunction: return;  // a body of its own
            case ecMember:
                // The member name after the dot is no variable.
                e = e->Left;
                continue;
            case ecMemberCall:
                Expression(e->Third);
                e = e->Left;
                continue;
            case ecNew:
                // The class name is looked up when the object is made, by name.
                e = e->Right;
                continue;
            case ecObjectMember:
                // The key is a name or a constant, never a variable.
                e = e->Right;
                continue;
            case ecListLink:
                Expression(e->Right);
                e = e->Left;
                continue;
            default:
                Expression(e->Left);
                Expression(e->Right);
                e = e->Third;
                continue;
            }
        }
    }

    void Mark(const TJExpr* e) const {
        const std::uint16_t slot = layout_.Find(e->Symbol.view());
        if (slot != TJFrameLayout::kNoSlot) {
            e->Slot = slot;
            e->FrameDecl = decl_;
            return;
        }
        if (!outer_ || !outer_->Layout) return;
        const std::uint16_t outerSlot = outer_->Layout->Find(e->Symbol.view());
        if (outerSlot == TJFrameLayout::kNoSlot || (outer_->Shadowed && outer_->Shadowed(e->Symbol.view()))) return;
        e->OuterSlot = outerSlot;
        e->OuterFrom = decl_;
    }

    const TJStatement* decl_;
    TJFrameLayout& layout_;
    const TJOuterFrame* outer_;
};

}  // namespace

bool NeedsArguments(const TJStatement* decl) {
    if (!(decl->Facts & kFactsKnown)) {
        std::uint8_t facts = kFactsKnown;
        if (StatementsNameArguments(decl->Body())) facts |= kFactsArguments;
        decl->Facts = facts;
    }
    return decl->Facts & kFactsArguments;
}

std::unique_ptr<TJFrameLayout> ResolveFrame(const TJStatement* decl, const TJOuterFrame* outer) {
    auto layout = std::make_unique<TJFrameLayout>();
    TResolver(decl, *layout, outer).Run();
    return layout;
}

}  // namespace kestrel
