// Statement execution. Every statement of a list is executed in four steps: its line
// becomes the current line, OnStep may abort, the statement runs, and the objects it
// made without storing them are released. Break, continue and return come back as a
// completion; errors, exit and abort are exceptions.
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "script/core/ecma_engine.h"

namespace kestrel {

struct TJEngine::TSwitchContext {
    TJValue Discriminant;
    bool Matched = false;
    const TJStatement* DefaultClause = nullptr;
};

namespace {

// Drops the count a return or throw took on an object that now goes nowhere.
void DropTakenReference(const TJValue& value) noexcept {
    if (TJObject* o = value.vObject()) o->DecRef();
}

}  // namespace

void TJEngine::DropReturnValue() noexcept {
    DropTakenReference(returnValue_);
    returnValue_.SetUndefined();
}

TJCompletion TJEngine::ExecStatements(const TJStatement* first, int flags, TSwitchContext* context) {
    for (const TJStatement* s = first; s; s = s->Next) {
        currentLine_ = s->Line;
        if (OnStep || AbortFlag) {
            bool abort = AbortFlag && *AbortFlag;
            if (!abort && OnStep) OnStep(abort);
            if (abort) throw EJAbort();
        }
        const TJCompletion c = ExecStatement(s, flags, context);
        current_->ClearTemp();
        if (c != TJCompletion::Normal) return c;
    }
    return TJCompletion::Normal;
}

TJCompletion TJEngine::ExecStatement(const TJStatement* s, int flags, TSwitchContext* context) {
    switch (s->Kind) {
    case skProgram: return ExecProgram(s);
    case skBlock: return ExecStatements(s->Sub1, flags);
    case skExpression: {
        TJValue discarded;
        Evaluate(s->Expr, discarded);
        return TJCompletion::Normal;
    }
    case skIf: {
        const TJStatement* branch = EvaluateCondition(s->Expr) ? s->Sub1 : s->Sub2;
        return branch ? ExecStatements(branch, flags) : TJCompletion::Normal;
    }
    case skWhile:
        while (EvaluateCondition(s->Expr)) {
            const TJCompletion c = ExecStatements(s->Sub1, kFlagLoop);
            if (c == TJCompletion::Break) break;
            if (c == TJCompletion::Return) return c;
        }
        return TJCompletion::Normal;
    case skDo:
        for (;;) {
            const TJCompletion c = ExecStatements(s->Sub1, kFlagLoop);
            if (c == TJCompletion::Break) break;
            if (c == TJCompletion::Return) return c;
            if (!EvaluateCondition(s->Expr)) break;
        }
        return TJCompletion::Normal;
    case skFor: return ExecFor(s);
    case skForIn:
    case skForInValues: return ExecForIn(s);
    case skFunction: {
        TJValue fn;
        MakeFunction(s, fn);
        if (s->Expr) current_->SetLocal(s->Expr->Symbol, fn);
        return TJCompletion::Normal;
    }
    case skClass: {
        TJFunctionInfo info;
        info.FuncName = s->Expr->Symbol.view();
        info.FuncType = fkClass;
        info.Statement = s;
        info.SymbolTable = root_.GetFunctionTable(s->Enclosing(), s);
        TJValue cls = FunctionValue(new TJFunctionImpl(std::move(info)));
        current_->SetLocal(s->Expr->Symbol, cls);
        return TJCompletion::Normal;
    }
    case skDeclarator: ExecDeclarator(s, flags); return TJCompletion::Normal;
    case skBreak:
        if (!(flags & kFlagLoop)) ThrowError(errors::SyntaxError, "break");
        return TJCompletion::Break;
    case skContinue:
        if (!(flags & kFlagLoop)) ThrowError(errors::SyntaxError, "continue");
        return TJCompletion::Continue;
    case skReturn: ExecReturn(s); return TJCompletion::Return;
    case skTry: return ExecTry(s, flags, context);
    case skThrow: {
        TJValue thrown;
        if (s->Expr) Evaluate(s->Expr, thrown);
        if (thrown.IsUndefined()) thrown.BuildString(TJString());
        if (TJObject* o = thrown.vObject()) o->IncRef();  // handed to the catch clause
        throw EJThrow(std::string(errors::Throw), std::string(), std::move(thrown));
    }
    case skWith: return ExecWith(s, flags, context);
    case skVar: return ExecStatements(s->Sub1, flags | kFlagLocal);
    case skStatic: return ExecStatements(s->Sub1, flags | kFlagStatic);
    case skGlobal: return ExecStatements(s->Sub1, flags | kFlagGlobal);
    case skSwitch: return ExecSwitch(s);
    case skCase: return ExecCase(s, flags, context);
    default: return TJCompletion::Normal;  // empty statements; parameters and clauses live inside others
    }
}

TJCompletion TJEngine::ExecProgram(const TJStatement* s) {
    const std::string_view name = s->Expr ? s->Expr->Symbol.view() : std::string_view("__MAIN__");
    TJGlobalSymbolTable* space = root_.CreateNamespace(name, s);
    space->OpenFrame(FrameLayoutOf(space, s));
    TJFunctionInfo info;
    info.FuncName = name;
    info.FuncType = fkNamespace;
    info.SymbolTable = space;
    info.Statement = s->Sub1;
    TJValue unit = FunctionValue(new TJFunctionImpl(std::move(info)));
    space->SetThis(global_);
    // One instance of every class that makes global instances, in the class table's order.
    for (const std::string& className : Factory().ClassNames()) {
        const TJObjectClass* cls = Factory().GetClass(className);
        if (!cls || !cls->MakesGlobalInstance) continue;
        try {
            space->SetLocal(className, ObjectValue(cls->Create(this, true, nullptr)));
        } catch (const EJThrow&) {
            // a class that cannot be made without arguments simply has no instance
        }
    }
    space->SetLocal("Global", ObjectValue(global_));
    if (regExp_) space->SetLocal("RegExp", ObjectValue(regExp_));
    if (wScript_) space->SetLocal("WScript", ObjectValue(wScript_));
    root_.SetGlobal(name, unit);

    TJCompletion c;
    {
        TStateGuard state(*this);
        current_ = space;
        c = ExecStatements(s->Sub1, 0);
    }
    // A continue that no loop took (one in a switch) ends here as the error it is.
    if (c == TJCompletion::Continue || c == TJCompletion::Break)
        ThrowError(errors::SyntaxError, c == TJCompletion::Continue ? "continue" : "break");
    return c;
}

void TJEngine::ExecDeclarator(const TJStatement* s, int flags) {
    const TJExpr* id = s->Expr;
    TJValue value;
    if (id->Left) Evaluate(id->Left, value);
    else value.BuildInteger(0);  // var x; gives 0, not undefined
    if (flags & kFlagLocal) current_->SetLocal(id->Symbol, value);
    else if (flags & kFlagStatic) current_->SetStatic(id->Symbol, value);
    else current_->SetGlobal(id->Symbol, value);
}

void TJEngine::ExecReturn(const TJStatement* s) {
    TJValue value;
    // The implicit return at the end of a body has nothing to evaluate.
    if (s->Expr && s->Expr->Code != ecEmpty) Evaluate(s->Expr, value);
    if (TJObject* o = value.vObject()) {
        o->IncRef();  // handed to the caller
    } else if (IJFunction* fn = value.vFunction()) {
        // A returned function takes the variables of this scope with it.
        auto* closure = new TJFunctionImpl();
        TJValue keep = FunctionValue(closure);
        closure->Assign(*fn);
        if (!closure->GetLocalTable()) closure->SetLocalTable(new TJLocalSymbolTable());
        closure->GetLocalTable()->CopyFrom(*current_);
        value = std::move(keep);
    }
    DropReturnValue();
    returnValue_ = std::move(value);
}

TJCompletion TJEngine::ExecFor(const TJStatement* s) {
    if (s->Expr) {
        TJValue discarded;
        Evaluate(s->Expr, discarded);
    }
    const TJExpr* condition = s->Sub2 ? s->Sub2->Expr : nullptr;
    const TJExpr* increment = s->Sub2 && s->Sub2->Next ? s->Sub2->Next->Expr : nullptr;
    TJValue scratch;
    for (;;) {
        if (condition && !EvaluateCondition(condition)) break;
        TJCompletion c;
        try {
            c = ExecStatements(s->Sub1, kFlagLoop);
        } catch (...) {
            // Anything but break runs the increment; an error there replaces this one.
            if (increment) Evaluate(increment, scratch);
            throw;
        }
        if (c == TJCompletion::Break) break;
        if (increment) {
            if (c == TJCompletion::Return) {
                TJValue pending = std::move(returnValue_);
                returnValue_.SetUndefined();
                try {
                    Evaluate(increment, scratch);
                } catch (...) {
                    DropTakenReference(pending);
                    throw;
                }
                DropReturnValue();
                returnValue_ = std::move(pending);
            } else {
                Evaluate(increment, scratch);
            }
        }
        if (c == TJCompletion::Return) return c;
    }
    return TJCompletion::Normal;
}

TJCompletion TJEngine::ExecForIn(const TJStatement* s) {
    const TJExpr* variable = s->Expr;
    TJString name;
    if (variable->Code == ecIdentifier) {
        name = variable->Symbol;
    } else if (variable->Code == ecVarExpression && variable->Left && variable->Left->Code == ecIdentifier) {
        name = variable->Left->Symbol;
        current_->SetLocal(name, TJValue());
    } else {
        ThrowError(errors::TypeError, "need variable - for..in");
    }
    TJValue collection;
    Evaluate(s->Sub2->Expr, collection);
    TJObject* object = collection.vObject();
    if (!object) ThrowError(errors::TypeError, "need object,array or collection - for..in");
    TJObjectHold hold(object);
    const bool values = s->Kind == skForInValues;
    TJValue item;
    if (object->IsArray()) {
        // The count is taken once; an array the body shortens ends the walk early.
        const int count = object->GetCount();
        for (int i = 0; i < count && !object->IsDying() && i < object->GetCount(); ++i) {
            if (values) object->GetItem(i, item);
            else item.BuildInteger(i);
            current_->Assign(name, item, 0);
            const TJCompletion c = ExecStatements(s->Sub1, kFlagLoop);
            if (c == TJCompletion::Break) break;
            if (c == TJCompletion::Return) return c;
        }
        return TJCompletion::Normal;
    }
    std::vector<std::string> names;
    object->GetPropertyList(names);
    for (const std::string& n : names) {
        item.BuildString(TJString(n));
        current_->Assign(name, item, 0);
        const TJCompletion c = ExecStatements(s->Sub1, kFlagLoop);
        if (c == TJCompletion::Break) break;
        if (c == TJCompletion::Return) return c;
    }
    return TJCompletion::Normal;
}

TJCompletion TJEngine::ExecTry(const TJStatement* s, int flags, TSwitchContext*) {
    const TJStatement* catchClause = s->Sub2;
    const TJStatement* finallyClause = s->Sub3;
    TJCompletion c = TJCompletion::Normal;
    std::exception_ptr pending;
    bool caught = false;
    std::string errorName;
    TJValue thrown;
    try {
        c = ExecStatements(s->Sub1, flags);
    } catch (const EJRuntimeError& e) {
        if (catchClause) {
            caught = true;
            errorName = e.ErrorName();
            thrown = e.Value();
        } else {
            pending = std::current_exception();
        }
    } catch (...) {
        pending = std::current_exception();
    }
    if (caught) {
        // The handler runs outside the C++ handler, so that deep nesting keeps no
        // exception objects alive.
        try {
            const bool isThrow = errorName == errors::Throw;
            if (isThrow) {
                if (TJObject* o = thrown.vObject()) current_->AddTemp(o, false);  // throw's reference
            }
            if (const TJExpr* variable = catchClause->Expr) {
                if (isThrow) current_->SetLocal(variable->Symbol, thrown);
                else current_->SetLocal(variable->Symbol, StringValue(TJString(errorName)));
            }
            c = ExecStatements(catchClause->Sub1, flags);
        } catch (...) {
            pending = std::current_exception();
        }
    }
    if (finallyClause) {
        TJValue pendingReturn;
        if (c == TJCompletion::Return) pendingReturn = std::exchange(returnValue_, TJValue());
        TJCompletion f;
        try {
            f = ExecStatements(finallyClause->Sub1, flags);
        } catch (...) {
            DropTakenReference(pendingReturn);
            throw;
        }
        if (f != TJCompletion::Normal) {
            // A jump out of the finally body replaces whatever was under way.
            DropTakenReference(pendingReturn);
            return f;
        }
        if (c == TJCompletion::Return) {
            DropReturnValue();
            returnValue_ = std::move(pendingReturn);
        }
    }
    if (pending) std::rethrow_exception(pending);
    return c;
}

TJCompletion TJEngine::ExecWith(const TJStatement* s, int flags, TSwitchContext*) {
    TJValue value;
    Evaluate(s->Expr, value);
    TJObject* object = value.vObject();
    if (!object) ThrowError(errors::TypeError, "need object - with");
    TJLocalSymbolTable* block = current_->NewChild(nullptr, object);
    TStateGuard state(*this, current_);
    current_ = block;
    return ExecStatements(s->Sub1, flags);
}

TJCompletion TJEngine::ExecSwitch(const TJStatement* s) {
    TSwitchContext context;
    Evaluate(s->Expr, context.Discriminant);
    // The clauses clear the temporaries the discriminant may live in.
    TJObjectHold hold(context.Discriminant.vObject());
    TJCompletion c = ExecStatements(s->Sub1, kFlagLoop, &context);
    if (c == TJCompletion::Normal && !context.Matched && context.DefaultClause) {
        context.Matched = true;
        c = ExecStatements(context.DefaultClause, kFlagLoop, &context);
    }
    return c == TJCompletion::Break ? TJCompletion::Normal : c;
}

TJCompletion TJEngine::ExecCase(const TJStatement* s, int flags, TSwitchContext* context) {
    if (!context) ThrowError(errors::SyntaxError, "switch case: or default:");
    if (context->Matched) return ExecStatements(s->Sub1, flags);
    if (!s->Expr) {
        context->DefaultClause = s;
        return TJCompletion::Normal;
    }
    TJValue value;
    Evaluate(s->Expr, value);
    if (!CaseMatches(value, context->Discriminant)) return TJCompletion::Normal;
    context->Matched = true;
    return ExecStatements(s->Sub1, flags);
}

bool TJEngine::CaseMatches(const TJValue& caseValue, const TJValue& discriminant) {
    TJObject* pattern = nullptr;
    if (caseValue.IsRegExpObject()) pattern = caseValue.vObject();
    else if (caseValue.IsRegExpValue() && Factory().HasClass("RegExp")) pattern = Wrap(caseValue);
    if (!pattern) return CompareOperator(ecEqual, caseValue, discriminant);
    TJValue test;
    pattern->GetValue("test", false, test);
    TJValueList args;
    args.Add(discriminant);
    TJValue result;
    CallFunction(test, &args, result, pattern);
    return result.AsBool();
}

}  // namespace kestrel
