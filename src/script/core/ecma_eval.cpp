// Expression evaluation: operators, member access, calls and object creation.
//
// The dialect evaluates the right operand of a binary operator before the left one
// and argument lists from the last element to the first. Objects made while a
// statement runs sit on the current table's temporary list until it ends.
#include <algorithm>
#include <cmath>
#include <new>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "script/core/ecma_engine.h"
#include "script/core/ecma_number.h"
#include "script/core/ecma_resolve.h"

namespace kestrel {

namespace {

constexpr int kEvalDelete = 1;  // operand of delete
constexpr int kEvalVar = 2;     // directly inside a var expression

bool IsPlainNumber(const TJValue& v) noexcept { return v.IsInteger() || v.IsDouble(); }
double PlainNumber(const TJValue& v) noexcept { return v.IsInteger() ? v.vInteger() : v.vDouble(); }

// + - * of two plain numbers without the general operator: the same double, or the
// same infinity when it overflows. False for any other operands.
bool QuickArithmetic(TJExprCode code, const TJValue& left, const TJValue& right, TJValue& result) noexcept {
    if (!IsPlainNumber(left) || !IsPlainNumber(right)) return false;
    const double a = PlainNumber(left), b = PlainNumber(right);
    double r;
    bool negative;
    switch (code) {
    case ecAdd: r = a + b; negative = a < 0; break;
    case ecSubtract: r = a - b; negative = a < 0; break;
    case ecMultiply: r = a * b; negative = (a < 0) != (b < 0); break;
    default: return false;
    }
    if (std::isfinite(r)) result.BuildDouble(r);
    else result.BuildInfinity(negative);
    return true;
}

// < > <= >= of two plain numbers, as the general comparison does them (integers as
// integers, anything else as doubles).
bool QuickRelation(TJExprCode code, const TJValue& left, const TJValue& right, bool& result) noexcept {
    if (!IsPlainNumber(left) || !IsPlainNumber(right)) return false;
    if (left.IsInteger() && right.IsInteger()) {
        const std::int32_t a = left.vInteger(), b = right.vInteger();
        switch (code) {
        case ecLess: result = a < b; return true;
        case ecGreater: result = a > b; return true;
        case ecLessEqual: result = a <= b; return true;
        case ecGreaterEqual: result = a >= b; return true;
        default: return false;
        }
    }
    const double a = PlainNumber(left), b = PlainNumber(right);
    switch (code) {
    case ecLess: result = a < b; return true;
    case ecGreater: result = a > b; return true;
    case ecLessEqual: result = a <= b; return true;
    case ecGreaterEqual: result = a >= b; return true;
    default: return false;
    }
}

[[noreturn]] void NeedFunctionOrObject() {
    ThrowError(errors::CallError, "call function error,need function or object");
}

TJValue NextInteger(const TJValue& v, std::int32_t step) {
    return IntegerValue(static_cast<std::int32_t>(static_cast<std::uint32_t>(v.AsInteger()) +
                                                  static_cast<std::uint32_t>(step)));
}

}  // namespace

// ---------------------------------------------------------------------------
// Expressions

bool TJEngine::EvaluateCondition(const TJExpr* e) {
    switch (e->Code) {
    case ecLess: case ecGreater: case ecLessEqual: case ecGreaterEqual:
    case ecEqual: case ecNotEqual: case ecStrictEqual: case ecStrictNotEqual: {
        TJValue rightValue, leftValue;
        const TJValue& right = Operand(e->Right, rightValue);
        const TJValue& left = Operand(e->Left, leftValue);
        bool quick;
        if (QuickRelation(e->Code, left, right, quick)) return quick;
        return CompareOperator(e->Code, left, right);
    }
    case ecNot: return !EvaluateCondition(e->Left);
    case ecOrElse: return EvaluateCondition(e->Left) || EvaluateCondition(e->Right);
    case ecAndThen: return EvaluateCondition(e->Left) && EvaluateCondition(e->Right);
    default: {
        TJValue v;
        Evaluate(e, v);
        return v.AsBool();
    }
    }
}

void TJEngine::Evaluate(const TJExpr* e, TJValue& result, int flags) {
    // The leaves, most of what is evaluated, in a small function of their own.
    if (e->Code == ecConstant) {
        result = e->Value;
        return;
    }
    if (e->Code == ecIdentifier) {
        if (const TJValue* local = current_->FrameValue(e->FrameDecl, e->Slot)) {
            result = *local;
            return;
        }
        if (const TJValue* outer = e->OuterFrom ? OuterValue(e) : nullptr) {
            result = *outer;
            return;
        }
        if (!current_->GetValue(e->Symbol, result, &e->Hint)) UndefinedName(e);
        return;
    }
    EvaluateNode(e, result, flags);
}

// A name of a top-level function's code found in its program's record, as the search
// by name would find it: the search would pass the call's table (whose record lacks
// the name, and which holds no names by hash), the call's `this`, the function's table
// and come to the namespace, whose record answers unless a `with` block runs there.
TJLocalSymbolTable* TJEngine::OuterTable(const TJExpr* e) {
    TJLocalSymbolTable* space = current_->PassesOnFromCall(e->OuterFrom);
    if (!space) return nullptr;
    if (TJObject* self = current_->This()) {
        if (self != global_) {
            if (self->HasKey(e->Symbol)) return nullptr;
        } else if (global_->Members().Count() != 0 && global_->Members().Find(e->Symbol)) {
            // The Global object's class never holds a marked name (FrameLayoutOf), its
            // own members may.
            return nullptr;
        }
    }
    return space;
}

const TJValue* TJEngine::OuterValue(const TJExpr* e) {
    // A closure's call finds its captured variables first, before its `this`.
    if (const TJValue* captured = current_->CapturedValue(e->OuterFrom, e->OuterFrom->Enclosing(), e->OuterSlot)) return captured;
    TJLocalSymbolTable* space = OuterTable(e);
    return space ? space->FrameValue(e->OuterFrom->Enclosing(), e->OuterSlot) : nullptr;
}

const TJValue& TJEngine::Operand(const TJExpr* e, TJValue& scratch) {
    // A constant is used where it stands in the tree.
    if (e->Code == ecConstant) return e->Value;
    Evaluate(e, scratch);
    return scratch;
}

void TJEngine::UndefinedName(const TJExpr* e) {
    std::string message = "undefined - ";
    message += e->Symbol.view();
    ThrowError(errors::NameError, message);
}

void TJEngine::EvaluateNode(const TJExpr* e, TJValue& result, int flags) {
    // Constants and identifiers never come here: Evaluate answers them.
    switch (e->Code) {
    case ecComma:
        Evaluate(e->Left, result);
        Evaluate(e->Right, result);
        return;
    case ecAdd: case ecSubtract: case ecDivide: case ecMultiply: case ecModulo: case ecIntDivide:
    case ecShiftLeft: case ecShiftRight: case ecUnsignedShiftRight:
    case ecBitAnd: case ecBitXor: case ecBitOr: {
        TJValue rightValue, leftValue;
        const TJValue& right = Operand(e->Right, rightValue);
        const TJValue& left = Operand(e->Left, leftValue);
        if (!QuickArithmetic(e->Code, left, right, result)) result = ApplyOperator(e->Code, left, right);
        return;
    }
    case ecOr: case ecAnd:
    case ecLess: case ecGreater: case ecLessEqual: case ecGreaterEqual:
    case ecEqual: case ecNotEqual: case ecStrictEqual: case ecStrictNotEqual: {
        TJValue rightValue, leftValue;
        const TJValue& right = Operand(e->Right, rightValue);
        const TJValue& left = Operand(e->Left, leftValue);
        bool quick;
        result.BuildBool(QuickRelation(e->Code, left, right, quick) ? quick : CompareOperator(e->Code, left, right));
        return;
    }
    case ecOrElse:
    case ecAndThen:
    case ecNot: result.BuildBool(EvaluateCondition(e)); return;
    case ecUnaryPlus: case ecUnaryMinus: case ecBitNot: {
        TJValue operand;
        Evaluate(e->Left, operand);
        result = ApplyUnaryOperator(e->Code, operand);
        return;
    }
    case ecAssign: EvaluateAssign(e, result, flags); return;
    case ecMultiplyAssign: case ecDivideAssign: case ecAddAssign: case ecSubtractAssign: case ecModuloAssign:
    case ecShiftLeftAssign: case ecShiftRightAssign: case ecUnsignedShiftRightAssign:
    case ecBitAndAssign: case ecBitXorAssign: case ecBitOrAssign: EvaluateCompoundAssign(e, result); return;
    case ecThis: result.BuildObject(current_->FindThis()); return;
    case ecMember: {
        TJValue object;
        Evaluate(e->Left, object);
        if (!(flags & kEvalDelete) && object.vObject()) {
            // What this place found last time, when it still holds (ecma_member_cache.h).
            if (const TJValue* v = e->MemberCache().Find(*object.vObject(), e->Right->Symbol)) {
                result = *v;
                return;
            }
        }
        GetMember(object, e->Right->Symbol, result, flags & kEvalDelete, e->Left);
        return;
    }
    case ecSuperMember: ThrowError(errors::SyntaxError, "super");
    case ecNew: {
        TArguments args(*this);
        const bool hasArgs = EvaluateArguments(e->Right, args.List());
        result.BuildObject(CreateObject(e->Left->Symbol, hasArgs ? &args.List() : nullptr));
        return;
    }
    case ecObjectLiteral: EvaluateObjectLiteral(e, result); return;
    case ecArrayLiteral: EvaluateArrayLiteral(e, result); return;
    case ecCall:
    case ecMemberCall: {
        TReference ref;
        Resolve(e, ref);
        Get(ref, result);
        return;
    }
    case ecPreIncrement: case ecPreDecrement: case ecPostIncrement: case ecPostDecrement:
        EvaluateIncrement(e, result);
        return;
    case ecDelete: Evaluate(e->Left, result, kEvalDelete); return;
    case ecVoid:
        Evaluate(e->Left, result);
        result.BuildNull();
        return;
    case ecTypeof: {
        const TJExpr* operand = e->Left;
        if (operand->Code == ecIdentifier) {
            // The common `typeof name` needs no error to be raised and caught.
            if (!current_->GetValue(operand->Symbol, result)) result.SetUndefined();
        } else {
            try {
                Evaluate(operand, result);
            } catch (const EJThrow& error) {
                if (error.ErrorName() != errors::NameError && error.ErrorName() != errors::KeyError) throw;
                result.SetUndefined();
            }
        }
        result.BuildString(TJString(result.TypeOfValue()));
        return;
    }
    case ecConditional: Evaluate(EvaluateCondition(e->Left) ? e->Right : e->Third, result); return;
    case ecFunction: MakeFunction(e->Statement, result); return;
    case ecVarExpression: Evaluate(e->Left, result, kEvalVar); return;
    default:
        // The empty expression, bare list links and members, and unknown codes.
        if (e->Left) Evaluate(e->Left, result);
        if (e->Right) Evaluate(e->Right, result);
        result.SetUndefined();
        return;
    }
}

void TJEngine::EvaluateAssign(const TJExpr* e, TJValue& result, int flags) {
    if (!(flags & kEvalVar) && EvaluateAppend(e, result)) return;
    Evaluate(e->Right, result);
    const TJExpr* target = e->Left;
    if (target->Code == ecIdentifier && (flags & kEvalVar)) {
        // Directly inside `var`: declared in the current table.
        if (!current_->DeclareFrameValue(target->FrameDecl, target->Slot, result))
            current_->SetLocal(target->Symbol, result);
        return;
    }
    if (!Store(target, result)) CannotAssign(target);
}

void TJEngine::CannotAssign(const TJExpr* target) {
    std::string message = "can not assign - ";
    message += target->Symbol.view();
    ThrowError(errors::TypeError, message);
}

void TJEngine::EvaluateCompoundAssign(const TJExpr* e, TJValue& result) {
    if (EvaluateAppend(e, result)) return;
    TJValue right, current;
    Evaluate(e->Right, right);
    Evaluate(e->Left, current);
    result = ApplyAssignOperator(e->Code, current, right);
    // The dialect resolves the target anew for the store, after reading it as an
    // expression: its object and index expressions run twice.
    if (!Store(e->Left, result)) CannotAssign(e->Left);
}

// `s += a` and `s = s + a + b` on a variable s: when s holds text in the current
// table, the pieces are appended to that text, which grows in place while nothing
// else holds it (a new string per step would make building a text quadratic).
// Otherwise the sum is made as the operators make it. Either way the pieces are
// evaluated first, the last one first, and s after them, as the dialect orders
// operands. False, evaluating nothing, for any other shape.
bool TJEngine::EvaluateAppend(const TJExpr* e, TJValue& result) {
    const TJExpr* target = e->Left;
    if (target->Code != ecIdentifier) return false;
    constexpr int kMaxPieces = 8;  // longer sums take the usual way
    const TJExpr* pieces[kMaxPieces];
    int count = 0;
    if (e->Code == ecAddAssign) {
        pieces[count++] = e->Right;
    } else if (e->Code == ecAssign) {
        const TJExpr* sum = e->Right;
        for (; sum->Code == ecAdd && count < kMaxPieces; sum = sum->Left) pieces[count++] = sum->Right;
        if (count == 0 || sum->Code != ecIdentifier || sum->Symbol.view() != target->Symbol.view()) return false;
    } else {
        return false;
    }
    TJValue values[kMaxPieces];
    for (int i = 0; i < count; ++i) Evaluate(pieces[i], values[i]);
    result.SetUndefined();  // a copy of the text left here by an earlier evaluation would share it
    auto appendable = [](const TJValue& v) {
        return v.IsString() || v.IsInteger() || v.IsDouble() || v.IsBool() || v.IsNull();
    };
    // A variable of the running record is found by its slot, any other by name.
    TJValue* text = nullptr;
    if (current_->FrameValue(target->FrameDecl, target->Slot)) text = current_->FrameText(target->Slot);
    else if (!current_->IsFunctionTable() || current_->ChildCount() == 0) text = current_->FindOwnText(target->Symbol, target->Hint);
    if (text && std::all_of(values, values + count, appendable)) {
        std::string piece;
        for (int i = count - 1; i >= 0; --i) {
            if (values[i].IsString()) {
                text->AppendText(values[i].vStringView());
            } else {
                piece.clear();
                values[i].AppendString(piece);
                text->AppendText(piece);
            }
        }
        result = *text;
        return true;
    }
    Evaluate(target, result);
    for (int i = count - 1; i >= 0; --i) {
        TJValue sum;
        if (!QuickArithmetic(ecAdd, result, values[i], sum)) sum = ApplyOperator(ecAdd, result, values[i]);
        result = std::move(sum);
    }
    StoreVariable(target, result);
    return true;
}

void TJEngine::EvaluateIncrement(const TJExpr* e, TJValue& result) {
    // As for a compound assignment the operand is resolved anew for the store; an
    // operand that cannot be assigned is simply not stored.
    const std::int32_t step = e->Code == ecPreIncrement || e->Code == ecPostIncrement ? 1 : -1;
    if (e->Code == ecPreIncrement || e->Code == ecPreDecrement) {
        TJValue old;
        Evaluate(e->Left, old);
        result = NextInteger(old, step);
        Store(e->Left, result);
    } else {
        Evaluate(e->Left, result);
        // The old value is the result, but the store may drop the last count on its
        // object (`o--` on the only reference): it lives on until the statement ends.
        KeepForStatement(result);
        Store(e->Left, NextInteger(result, step));
    }
}

void TJEngine::KeepForStatement(const TJValue& value) {
    TJObject* o = value.vObject();
    if (o && o->RefCount() > 0 && !o->IsDying()) current_->AddTemp(o);
}

void TJEngine::EvaluateObjectLiteral(const TJExpr* e, TJValue& result) {
    TJObject* object = TJObject::New<TJObject>(this, true);
    current_->AddTemp(object);
    TJValue value;
    // From the last member to the first, so the first of a repeated key wins.
    for (const TJExpr* link = e->Left; link; link = link->Left) {
        const TJExpr* member = link->Right;
        const TJExpr* key = member->Left;
        TJString name = key->Code == ecIdentifier ? key->Symbol : key->Value.AsString();
        if (member->Right) Evaluate(member->Right, value);
        else value.SetUndefined();
        object->SetValue(name, value, nullptr, true);
    }
    result.BuildObject(object);
}

void TJEngine::EvaluateArrayLiteral(const TJExpr* e, TJValue& result) {
    TJValueList items;
    const bool hasItems = EvaluateArguments(e->Left, items);
    // One element is appended: as a constructor argument an integer would be a length.
    const bool single = hasItems && items.Count() == 1;
    TJObject* array = Factory().CreateInstance("Array", hasItems && !single ? &items : nullptr);
    if (!array) ThrowError(errors::NameError, "create object error Array");
    current_->AddTemp(array);
    if (single && !array->SetElement(0, items[0])) array->SetValue("0", items[0], nullptr, true);
    result.BuildObject(array);
}

bool TJEngine::EvaluateArguments(const TJExpr* list, TJValueList& args) {
    if (!list) return false;
    if (!list->Left) {
        // One argument, the most common list.
        TJValue value;
        Evaluate(list->Right, value);
        args.Add(value);
        return true;
    }
    int count = 0;
    for (const TJExpr* link = list; link; link = link->Left) ++count;
    args.SetCount(count);
    TJValue value;
    int index = count;
    for (const TJExpr* link = list; link; link = link->Left) {
        Evaluate(link->Right, value);
        args.SetItem(--index, value);
    }
    return true;
}

void TJEngine::MakeFunction(const TJStatement* decl, TJValue& result) {
    TJFunctionInfo info;
    info.FuncType = fkScript;
    info.Statement = decl;
    info.Parameters = decl->Params();
    info.SymbolTable = root_.GetFunctionTable(decl->Enclosing(), decl);
    if (decl->Expr) info.FuncName = decl->Expr->Symbol.view();
    result = FunctionValue(new TJFunctionImpl(std::move(info)));
}

// ---------------------------------------------------------------------------
// Members

std::string_view TJEngine::PrototypeKey(const IJFunction& fn, const TJExpr* objectExpr) {
    const std::string& name = fn.GetFuncName();
    if (!name.empty() || !objectExpr || objectExpr->Code != ecIdentifier) return name;
    return objectExpr->Symbol.view();
}

TJObject* TJEngine::Wrap(const TJValue& value) {
    std::string_view className;
    TJValueList param;
    switch (value.ValueType()) {
    case vtString: className = "String"; param.Add(value); break;
    case vtInteger:
    case vtDouble: className = "Number"; param.Add(value); break;
    case vtBool: className = "Boolean"; param.Add(value); break;
    case vtRegExp: className = "RegExp"; param.Add(value); break;
    default: return nullptr;
    }
    // The registered class itself: a script variable of that name plays no part.
    TJObject* wrapper = Factory().CreateInstance(className, &param);
    if (!wrapper) {
        std::string message = "create object error ";
        message += className;
        ThrowError(errors::NameError, message);
    }
    current_->AddTemp(wrapper);
    return wrapper;
}

TJObject* TJEngine::ToObject(const TJValue& value) {
    if (TJObject* o = value.vObject()) return o;
    return Wrap(value);
}

void TJEngine::GetMember(const TJValue& value, const TJString& name, TJValue& result, bool remove,
                         const TJExpr* objectExpr) {
    switch (value.ValueType()) {
    case vtObject: {
        TJObject* object = value.vObject();
        if (remove) {
            result.BuildBool(object->RemoveKey(name));
        } else if (name.view() == "prototype") {
            result.BuildObject(Factory().GetPrototype(object->ObjectName()));
        } else {
            object->GetValue(name, false, result);
        }
        return;
    }
    case vtString:
    case vtInteger:
    case vtDouble:
    case vtBool:
    case vtRegExp: Wrap(value)->GetValue(name, false, result); return;
    case vtFunction: {
        IJFunction* fn = value.vFunction();
        if (fn->GetFuncType() == fkScript) {
            if (name.view() == "prototype") {
                result.BuildObject(Factory().GetPrototype(PrototypeKey(*fn, objectExpr)));
                return;
            }
            if (name.view() == "call" || name.view() == "apply") {
                auto* copy = new TJFunctionImpl();
                TJValue keep = FunctionValue(copy);
                copy->Assign(*fn);
                copy->SetCallMode(name.view() == "call" ? cmCall : cmApply);
                result = std::move(keep);
                return;
            }
        } else if (fn->GetFuncType() == fkNamespace) {
            if (!root_.GetNamespace(fn->GetFuncName())->GetValue(name, result)) result.SetUndefined();
            return;
        }
        break;
    }
    default: break;
    }
    std::string message = "member error ";
    message += name.view();
    ThrowError(errors::NameError, message);
}

void TJEngine::SetMember(const TJValue& value, const TJString& name, const TJValue& newValue,
                         const TJExpr* objectExpr) {
    const bool prototypeValue = name.view() == "prototype" && (newValue.IsObject() || newValue.IsNull());
    auto setPrototype = [&](std::string_view key) {
        if (Factory().SetPrototype(key, newValue.vObject())) return;
        std::string message = "prototype assign error ";
        if (TJObject* o = newValue.vObject()) message += o->ObjectName();
        ThrowError(errors::NameError, message);
    };
    if (TJObject* object = value.vObject()) {
        if (prototypeValue) setPrototype(object->ObjectName());
        else object->SetValue(name, newValue, nullptr, false);
        return;
    }
    if (IJFunction* fn = value.vFunction()) {
        if (fn->GetFuncType() == fkScript && prototypeValue) {
            setPrototype(PrototypeKey(*fn, objectExpr));
            return;
        }
        if (fn->GetFuncType() == fkNamespace) {
            root_.GetNamespace(fn->GetFuncName())->Assign(name, newValue, 0);
            return;
        }
    }
    std::string message = "member assign error ";
    message += name.view();
    ThrowError(errors::NameError, message);
}

bool TJEngine::Resolve(const TJExpr* target, TReference& ref) {
    ref.Target = target;
    switch (target->Code) {
    case ecIdentifier: ref.Kind = TReference::TKind::Variable; return true;
    case ecMember:
        ref.Kind = TReference::TKind::Member;
        Evaluate(target->Left, ref.Base);
        return true;
    case ecCall:
        ref.Kind = TReference::TKind::Indexed;
        ref.List = target->Right;
        Evaluate(target->Left, ref.Base);
        return true;
    case ecMemberCall: {
        ref.Kind = TReference::TKind::Indexed;
        ref.List = target->Third;
        ref.MemberCall = true;
        TJValue object;
        Evaluate(target->Left, object);
        // One wrapper of a plain value serves both the member read and `this`.
        ref.Self = object.vObject();
        if (!ref.Self && (ref.Self = Wrap(object))) ref.Self->GetValue(target->Right->Symbol, false, ref.Base);
        else if (const TJValue* m = ref.Self ? target->MemberCache().Find(*ref.Self, target->Right->Symbol) : nullptr)
            ref.Base = *m;
        else GetMember(object, target->Right->Symbol, ref.Base, false, target->Left);
        return true;
    }
    default: return false;
    }
}

bool TJEngine::Store(const TJExpr* target, const TJValue& value) {
    if (target->Code == ecIdentifier) {
        // A name has nothing to evaluate: stored at once.
        StoreVariable(target, value);
        return true;
    }
    TReference ref;
    if (!Resolve(target, ref)) return false;
    Put(ref, value);
    return true;
}

void TJEngine::StoreVariable(const TJExpr* name, const TJValue& value) {
    if (current_->ReplaceFrameValue(name->FrameDecl, name->Slot, value)) return;
    if (name->OuterFrom) {
        TJLocalSymbolTable* space = OuterTable(name);
        if (space && space->ReplaceFrameValue(name->OuterFrom->Enclosing(), name->OuterSlot, value)) return;
    }
    current_->Assign(name->Symbol, value, 0, &name->Hint);
}

void TJEngine::Get(const TReference& ref, TJValue& result) {
    switch (ref.Kind) {
    case TReference::TKind::Variable: Evaluate(ref.Target, result); return;
    case TReference::TKind::Member:
        if (TJObject* o = ref.Base.vObject())
            if (const TJValue* v = ref.Target->MemberCache().Find(*o, ref.Target->Right->Symbol)) {
                result = *v;
                return;
            }
        GetMember(ref.Base, ref.Target->Right->Symbol, result, false, ref.Target->Left);
        return;
    case TReference::TKind::Indexed: break;
    }
    if (IJFunction* fn = ref.Base.vFunction()) {
        TJObjectHold hold(ref.Self);
        // A script function in its plain call mode gets its arguments without a list;
        // Base holds it through the call.
        const TJFunctionInfo& info = fn->GetFunc();
        if (info.FuncType == fkScript && info.CallMode == cmNormal && CallPlain(fn, ref, result)) return;
        TArguments args(*this);
        const bool hasArgs = EvaluateArguments(ref.List, args.List());
        // A plain call inherits the caller's `this`.
        CallFunction(ref.Base, hasArgs ? &args.List() : nullptr, result,
                     ref.MemberCall ? ref.Self : current_->FindThis());
        return;
    }
    TJObject* object = ref.Base.vObject();
    if (!object && !ref.MemberCall && ref.Base.IsString()) object = Wrap(ref.Base);
    if (!object) NeedFunctionOrObject();
    AccessKeyed(object, ref.List, nullptr, result);
}

void TJEngine::Put(const TReference& ref, const TJValue& value) {
    switch (ref.Kind) {
    case TReference::TKind::Variable: StoreVariable(ref.Target, value); return;
    case TReference::TKind::Member: {
        const TJExpr* name = ref.Target->Right;
        if (TJObject* o = ref.Base.vObject(); o && ref.Target->MemberCache().Store(*o, name->Symbol, value)) return;
        SetMember(ref.Base, name->Symbol, value, ref.Target->Left);
        return;
    }
    case TReference::TKind::Indexed: break;
    }
    if (ref.Base.IsFunction()) {
        // A function "assigned through" is called with the value after the arguments.
        TJObjectHold hold(ref.Self);
        TArguments args(*this);
        EvaluateArguments(ref.List, args.List());
        args.List().Add(value);
        TJValue ignored;
        CallFunction(ref.Base, &args.List(), ignored, ref.MemberCall ? ref.Self : nullptr);
        return;
    }
    TJObject* object = ref.Base.vObject();
    if (!object) NeedFunctionOrObject();
    TJValue unused;
    AccessKeyed(object, ref.List, &value, unused);
}

void TJEngine::AccessKeyed(TJObject* object, const TJExpr* list, const TJValue* newValue, TJValue& result) {
    TJObjectHold hold(object);
    if (!list) {
        if (newValue) object->SetValue("", *newValue, nullptr, true);
        else object->GetValue("", true, result);
        return;
    }
    if (!list->Left) {
        // One key: no list to make.
        TJValue key;
        Evaluate(list->Right, key);
        if (key.IsInteger() &&
            (newValue ? object->SetElement(key.vInteger(), *newValue) : object->GetElement(key.vInteger(), result)))
            return;
        if (newValue) object->SetValue(key.AsString(), *newValue, nullptr, true);
        else object->GetValue(key.AsString(), true, result);
        return;
    }
    TArguments args(*this);
    EvaluateArguments(list, args.List());
    const TJString key = args.List()[args.List().Count() - 1].AsString();
    if (newValue) object->SetValue(key, *newValue, &args.List(), true);
    else object->GetValue(key, true, result, &args.List());
}

// ---------------------------------------------------------------------------
// Calls

void TJEngine::CallFunction(const TJValue& function, const TJValueList* args, TJValue& result,
                            TJObject* thisObject) {
    result.SetUndefined();
    IJFunction* fn = function.vFunction();
    if (!fn) NeedFunctionOrObject();
    const TJRef<IJFunction> keep(fn);  // the slot it came from may change during the call
    switch (fn->GetFuncType()) {
    case fkMethod: CallNative(fn, args, result); return;
    case fkScript: CallScript(fn, args ? args->Items() : TJArgs(), result, thisObject); return;
    default: ThrowError(errors::CallError, "not support function type");
    }
}

void TJEngine::CallNative(IJFunction* fn, const TJValueList* args, TJValue& result) {
    const TJNativeMethod method = fn->GetMethod();
    // A method whose object has died has nothing left to work on.
    if (!method.Proc || !method.Object) NeedFunctionOrObject();
    TJObjectHold hold(method.Object);
    TStateGuard state(*this);
    try {
        method.Proc(*method.Object, args, result);
    } catch (const std::bad_alloc&) {
        // The library checks its limits first; memory that still runs out is the
        // script's error to catch, never the host's.
        ThrowError(errors::MemoryError, "out of memory");
    }
    state.Finish();
    if (TJObject* o = result.vObject(); o && !o->IsDying()) current_->AddTemp(o);
}

// What a call binds by its call mode: `this`, and either the values of the parameters
// or (apply) the array that becomes `arguments`. Wrappers of plain values are made
// here, in the caller's scope, so that they last the whole call.
struct TJEngine::TCallBinding {
    TJObject* This;
    TJArgs Params;  // normal and call: the parameters' values
    bool Apply = false;         // apply with arguments: `arguments` is Applied or a new array
    TJObject* Applied = nullptr;
};

TJEngine::TCallBinding TJEngine::BindCallMode(IJFunction* fn, TJArgs args, TJObject* thisObject) {
    TCallBinding binding{thisObject, args};
    if (args.empty()) return binding;
    switch (fn->GetCallMode()) {
    case cmCall:
        binding.This = ToObject(args[0]);
        binding.Params = args.subspan(1);
        break;
    case cmApply:
        binding.This = ToObject(args[0]);
        binding.Params = {};
        binding.Apply = true;
        if (args.size() > 1) {
            binding.Applied = args[1].IsArrayObject() ? args[1].vObject() : nullptr;
            if (!binding.Applied) {
                std::string message = fn->GetFuncName();
                message += ".apply arguments error";
                ThrowError(errors::TypeError, message);
            }
        }
        break;
    default: break;
    }
    return binding;
}

namespace {

// Declares parameter Index (node Param) in the call's table Local: straight into its
// slot when the record has one.
void DeclareParameter(TJLocalSymbolTable* local, std::size_t index, const TJStatement* param, const TJValue& value) {
    const TJFrameLayout* layout = local->FrameLayout();
    if (layout && index < layout->ParamSlots.size() &&
        local->DeclareFrameValue(layout->Decl, layout->ParamSlots[index], value))
        return;
    local->SetLocal(param->Expr->Symbol, value);
}

}  // namespace

void TJEngine::BindParameters(IJFunction* fn, const TCallBinding& binding, TJLocalSymbolTable* local) {
    if (!binding.Apply) {
        BindValues(fn, local, binding.Params);
        return;
    }
    const TJStatement* decl = fn->GetStatement();
    TJObject* arguments = binding.Applied;
    if (!arguments) {
        arguments = Factory().CreateInstance("Array", nullptr);
        if (!arguments) ThrowError(errors::NameError, "create object error Array");
    }
    arguments->SetValue("callee", FunctionValue(fn), nullptr, false);
    local->SetLocal("arguments", ObjectValue(arguments));
    const int count = arguments->GetCount();
    TJValue item;
    int i = 0;
    for (const TJStatement* p = decl->Params(); p; p = p->Next, ++i) {
        if (!p->Expr) continue;
        if (i < count) arguments->GetItem(i, item);
        else item.SetUndefined();
        DeclareParameter(local, i, p, item);
    }
}

void TJEngine::BindValues(IJFunction* fn, TJLocalSymbolTable* local, TJArgs values) {
    const TJStatement* decl = fn->GetStatement();
    const int count = static_cast<int>(values.size());
    const TJFrameLayout* layout = local->FrameLayout();
    if (layout ? layout->ArgumentsSlot != TJFrameLayout::kNoSlot : NeedsArguments(decl)) {
        // Filled element by element: as constructor arguments one integer would be a length.
        TJObject* arguments = Factory().CreateInstance("Array", nullptr);
        if (!arguments) ThrowError(errors::NameError, "create object error Array");
        local->SetLocal("arguments", ObjectValue(arguments));
        for (int i = 0; i < count; ++i)
            if (!arguments->SetElement(i, values[i])) arguments->SetValue(IntegerToText(i), values[i], nullptr, true);
        arguments->SetValue("callee", FunctionValue(fn), nullptr, false);
    }
    const TJValue missing;
    int i = 0;
    for (const TJStatement* p = decl->Params(); p; p = p->Next, ++i) {
        if (!p->Expr) continue;
        DeclareParameter(local, i, p, i < count ? values[i] : missing);
    }
}

const TJFrameLayout* TJEngine::MakeFrameLayout(TJFunctionSymbolTable* table, const TJStatement* decl) {
    const TJFrameLayout* layout = table->CallLayout();
    if (!layout) {
        // A function of a program's top level reaches the program's record too, for
        // the names that the Global object's class does not hold (a call's `this` is
        // often Global, whose members come before the namespace's variables).
        // A function written in another function reaches, when a return made it a
        // closure, the enclosing call's record that it captured.
        TJOuterFrame outer;
        if (const TJLocalSymbolTable* space = table->Parent(); space && space->IsGlobalTable()) {
            const TJFrameLayout* spaceLayout = space->FrameLayout();
            if (spaceLayout && spaceLayout->Decl == decl->Enclosing() && decl->Kind == skFunction) {
                outer.Layout = spaceLayout;
                outer.Shadowed = [this](std::string_view name) { return GlobalClassHas(name); };
            }
        } else if (space && space->IsFunctionTable()) {
            const TJFrameLayout* enclosing = static_cast<const TJFunctionSymbolTable*>(space)->CallLayout();
            if (enclosing && enclosing->Decl == decl->Enclosing()) outer.Layout = enclosing;
        }
        layout = table->SetCallLayout(ResolveFrame(decl, &outer));
    }
    return layout->Decl == decl ? layout : nullptr;  // a table of another declaration: names only
}

bool TJEngine::GlobalClassHas(std::string_view name) const {
    if (!global_) return true;
    const TJMethodTable* shared = global_->SharedMethods();
    return (shared && shared->IndexOf(name) >= 0) || global_->HasPublishedProperty(name);
}

TJEngine::TCallFrame::TCallFrame(TJEngine& engine, IJFunction* fn, TJObject* thisObject)
    : engine_(engine), depth_(engine),
      // The engine's own objects outlive every table: no count or link needed for them.
      // Any other `this` is counted for the call, and linked only when it cannot be (an
      // uncounted object may die during the call, and the table must forget it then).
      ownThis_(thisObject && (thisObject == engine.global_ || thisObject == engine.regExp_ ||
                              thisObject == engine.wScript_)),
      holdThis_(ownThis_ ? nullptr : thisObject), decl_(fn->GetFunc().Statement), table_(fn->GetFunc().SymbolTable),
      caller_(engine.current_),
      local_(table_->NewChild(fn->GetLocalTable(), thisObject, !ownThis_ && !holdThis_.Holds(),
                              engine.FrameLayoutOf(table_, decl_))),
      state_(engine, table_) {
    engine.current_ = local_;
}

void TJEngine::TCallFrame::Run(TJValue& result) {
    const TJCompletion c = engine_.ExecStatements(decl_->Body(), 0);
    if (c == TJCompletion::Continue || c == TJCompletion::Break)
        ThrowError(errors::SyntaxError, c == TJCompletion::Continue ? "continue" : "break");
    // The return: the returned object keeps the count its return took, now held by the
    // caller's temporary list, so that it survives the local table.
    result = std::exchange(engine_.returnValue_, TJValue());
    if (TJObject* o = result.vObject()) caller_->AddTemp(o, false);
    state_.Finish();
}

void TJEngine::CallScript(IJFunction* fn, TJArgs args, TJValue& result, TJObject* thisObject) {
    if (TJObject* owner = fn->GetOwner()) thisObject = owner;
    const TCallBinding binding = BindCallMode(fn, args, thisObject);
    TJObjectHold holdApplied(binding.Applied);
    TCallFrame frame(*this, fn, binding.This);
    BindParameters(fn, binding, frame.Local());
    frame.Run(result);
}

// The values of a plain call's arguments, evaluated in the caller's scope before the
// frame exists. Each object among them keeps a count until the call ends: evaluating
// another argument may drop every other count on it.
class TJEngine::TPlainArguments {
public:
    static constexpr int kMax = 6;  // longer lists take an argument list
    // Evaluates List (Count items, at most kMax) from its last element to its first.
    TPlainArguments(TJEngine& engine, const TJExpr* list, int count) {
        // Only the values in use are made: most calls pass one or two.
        for (; count_ < count; ++count_) new (&values_[count_]) TJValue();
        int index = count;
        for (const TJExpr* link = list; link; link = link->Left) {
            TJValue& value = values_[--index];
            engine.Evaluate(link->Right, value);
            if (TJObject* o = value.vObject(); o && o->RefCount() > 0 && !o->IsDying()) {
                o->IncRef();
                heldObjects_[held_++] = o;
            }
        }
    }
    ~TPlainArguments() {
        for (int i = 0; i < held_; ++i) heldObjects_[i]->DecRef();
        for (int i = 0; i < count_; ++i) values_[i].~TJValue();
    }
    TPlainArguments(const TPlainArguments&) = delete;
    TPlainArguments& operator=(const TPlainArguments&) = delete;

    TJArgs Values() const noexcept { return TJArgs(values_, static_cast<std::size_t>(count_)); }

private:
    union {
        TJValue values_[kMax];
    };
    TJObject* heldObjects_[kMax];
    int count_ = 0;
    int held_ = 0;
};

bool TJEngine::CallPlain(IJFunction* fn, const TReference& ref, TJValue& result) {
    int count = 0;
    for (const TJExpr* link = ref.List; link; link = link->Left)
        if (++count > TPlainArguments::kMax) return false;
    TPlainArguments args(*this, ref.List, count);
    // A plain call inherits the caller's `this`; a method its object's.
    TJObject* thisObject = fn->GetOwner();
    if (!thisObject) thisObject = ref.MemberCall ? ref.Self : current_->FindThis();
    TCallFrame frame(*this, fn, thisObject);
    BindValues(fn, frame.Local(), args.Values());
    frame.Run(result);
    return true;
}

// ---------------------------------------------------------------------------
// Objects

TJObject* TJEngine::CreateObject(std::string_view name, const TJValueList* args) {
    TCallDepth depth(*this);
    TJValue variable;
    if (current_->GetValue(name, variable) && variable.IsFunction()) {
        IJFunction* fn = variable.vFunction();
        if (fn->GetFuncType() == fkScript) {
            TJObject* object = TJObject::New<TJObject>(this, true);
            current_->AddTemp(object);
            object->SetObjectName(name);
            object->SetValue("constructor", variable);
            TJValue ignored;
            CallFunction(variable, args, ignored, object);
            return object;
        }
        if (fn->GetFuncType() == fkClass) return CreateClassObject(*fn, name, args);
    }
    TJObject* object = Factory().CreateInstance(name, args);
    if (!object) {
        std::string message = "create object error ";
        message += name;
        ThrowError(errors::NameError, message);
    }
    current_->AddTemp(object);
    return object;
}

TJObject* TJEngine::CreateClassObject(const IJFunction& cls, std::string_view, const TJValueList* args) {
    const TJStatement* decl = cls.GetStatement();
    const TJExpr* base = decl->BaseClass();
    TJObject* object;
    if (base) {
        object = CreateObject(base->Symbol, args);
    } else {
        object = TJObject::New<TJObject>(this, true, args);
        current_->AddTemp(object);
    }
    const std::string& className = cls.GetFuncName();
    object->SetObjectName(className);
    TJValue value;
    auto declare = [&](const TJStatement* declarator) {
        const TJExpr* id = declarator->Expr;
        if (id->Left) Evaluate(id->Left, value);
        else value.BuildNull();
        object->SetValue(id->Symbol, value, nullptr, false);
    };
    for (const TJStatement* m = decl->ClassMembers(); m; m = m->Next) {
        switch (m->Kind) {
        case skFunction: {
            if (!m->Expr) break;
            TJFunctionInfo info;
            info.FuncName = m->Expr->Symbol.view();
            info.FuncType = fkScript;
            info.Statement = m;
            info.Parameters = m->Params();
            info.SymbolTable = root_.GetFunctionTable(decl, m);
            auto* method = new TJFunctionImpl(std::move(info));
            value = FunctionValue(method);
            method->SetOwner(object);
            object->SetValue(m->Expr->Symbol, value, nullptr, false);
            break;
        }
        case skVar:
            for (const TJStatement* d = m->Sub1; d; d = d->Next) declare(d);
            break;
        case skDeclarator: declare(m); break;
        default: break;  // static and global declarations have no place in an object
        }
    }
    const TJValue* constructor = object->Members().Find(className);
    if (constructor && constructor->IsFunction() && constructor->vFunction()->GetFuncType() == fkScript) {
        const TJValue call = *constructor;
        TJValue ignored;
        CallFunction(call, args, ignored, object);
    }
    return object;
}

}  // namespace kestrel
