// Script values: the tagged value every script handles, its conversions and operators,
// the function-value interface it carries, and the family of script errors.
//
// A value is small (24 bytes) and cheap to copy: texts are reference-counted byte
// strings, function and dispatch interfaces are counted, and an object reference is
// copied bare (the containers that store values count objects, see ecma_type_object.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace kestrel {

class TJObject;
class TJValueList;
class TJValue;
struct TJStatement;            // syntax tree nodes (parser)
class TJFunctionSymbolTable;   // function symbol tables (scopes)
class TJSymbolTableBase;       // captured scopes (ecma_type_object.h)

// ---------------------------------------------------------------------------
// Reference-counted byte string. The bytes are text in the code page; lengths and
// indexes count bytes. The buffer is always followed by a zero byte. Holders never
// see a change: Append writes into the buffer only while this string is its one
// holder, and otherwise makes a new one.
class TJString {
public:
    // No script text grows beyond this many bytes: every string the engine builds is
    // checked before it is allocated, so a doubling loop ends in a catchable
    // EStringError instead of exhausting memory.
    static constexpr std::size_t kMaxLength = std::size_t(256) << 20;
    // EStringError "string too long" when Size exceeds kMaxLength.
    static void CheckLength(std::size_t size);

    TJString() noexcept = default;
    TJString(std::string_view text);
    TJString(const char* text) : TJString(std::string_view(text)) {}
    TJString(const std::string& text) : TJString(std::string_view(text)) {}
    TJString(const TJString& other) noexcept : rep_(other.rep_) { Retain(rep_); }
    TJString(TJString&& other) noexcept : rep_(std::exchange(other.rep_, nullptr)) {}
    TJString& operator=(const TJString& other) noexcept {
        Retain(other.rep_);
        Release(std::exchange(rep_, other.rep_));
        return *this;
    }
    TJString& operator=(TJString&& other) noexcept {
        if (this != &other) Release(std::exchange(rep_, std::exchange(other.rep_, nullptr)));
        return *this;
    }
    ~TJString() { Release(rep_); }

    std::size_t size() const noexcept { return rep_ ? rep_->size : 0; }
    bool empty() const noexcept { return size() == 0; }
    const char* data() const noexcept { return rep_ ? Bytes(rep_) : ""; }
    const char* c_str() const noexcept { return data(); }
    std::string_view view() const noexcept { return {data(), size()}; }
    operator std::string_view() const noexcept { return view(); }
    std::string str() const { return std::string(view()); }
    unsigned char operator[](std::size_t i) const noexcept { return static_cast<unsigned char>(data()[i]); }

    // A new string holding A followed by B (one allocation).
    static TJString Concat(std::string_view a, std::string_view b);
    // Appends More (which may be a part of this string). A buffer built by appends
    // keeps room to spare, growing by a factor, so that a string appended to again
    // and again while nothing else holds it costs amortised constant time per byte.
    // EStringError past kMaxLength, the string unchanged.
    void Append(std::string_view more) { rep_ = AppendTo(rep_, more); }
    // Whether nothing but this string holds its bytes (an empty string counts).
    bool Unshared() const noexcept { return !rep_ || rep_->refs == 1; }
    // Bytes the buffer holds before it must grow.
    std::size_t capacity() const noexcept { return rep_ ? rep_->capacity : 0; }

    friend bool operator==(const TJString& a, const TJString& b) noexcept {
        return a.rep_ == b.rep_ || a.view() == b.view();
    }
    friend bool operator==(const TJString& a, std::string_view b) noexcept { return a.view() == b; }

private:
    friend class TJValue;
    struct Rep {
        std::size_t refs;
        std::uint32_t size;
        std::uint32_t capacity;  // bytes that fit before the closing zero
    };
    static_assert(kMaxLength <= UINT32_MAX, "a text's length must fit its buffer's size field");
    static char* Bytes(Rep* r) noexcept { return reinterpret_cast<char*>(r + 1); }
    // A buffer for Size bytes with room for Capacity (at least Size), one holder.
    static Rep* Allocate(std::size_t size, std::size_t capacity = 0);
    // The buffer holding R's bytes and More: R itself when it had room and one holder,
    // else a new one (R released). R is untouched when this raises.
    static Rep* AppendTo(Rep* r, std::string_view more);
    static void Retain(Rep* r) noexcept {
        if (r) ++r->refs;
    }
    static void Release(Rep* r) noexcept {
        if (r && --r->refs == 0) std::free(r);
    }
    Rep* rep_ = nullptr;
};

// ---------------------------------------------------------------------------
// Counted interfaces. The count starts at 0; holders call AddRef and Release.
class TJRefCounted {
public:
    void AddRef() const noexcept { ++refs_; }
    void Release() const noexcept {
        if (--refs_ == 0) delete this;
    }
    std::size_t RefCount() const noexcept { return refs_; }

protected:
    TJRefCounted() = default;
    TJRefCounted(const TJRefCounted&) = delete;
    TJRefCounted& operator=(const TJRefCounted&) = delete;
    virtual ~TJRefCounted() = default;

private:
    mutable std::size_t refs_ = 0;
};

// An intrusive counted pointer for TJRefCounted interfaces.
template <class T>
class TJRef {
public:
    TJRef() noexcept = default;
    TJRef(T* p) noexcept : p_(p) {
        if (p_) p_->AddRef();
    }
    TJRef(const TJRef& o) noexcept : TJRef(o.p_) {}
    TJRef(TJRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    TJRef& operator=(TJRef o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~TJRef() {
        if (p_) p_->Release();
    }
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// A bare automation interface. Automation is not available on this platform, so
// nothing makes one; the kind exists so that values keep their full shape.
class IJDispatch : public TJRefCounted {};

// A host event handler read from an event-typed published property.
struct TJEvent {
    void* Code = nullptr;
    void* Data = nullptr;
    friend bool operator==(const TJEvent&, const TJEvent&) = default;
};

// ---------------------------------------------------------------------------
// Function values.

enum TJFunctionKind : std::uint8_t {
    fkScript = 0,     // declared or written as a literal in a script
    fkMethod = 1,     // a native method registered by an object
    fkActiveX = 2,    // a method of an automation object
    fkClass = 3,      // the constructor made by a class declaration
    fkNamespace = 4,  // a script file or the main program as a unit of names
    fkDynaCall = 5,   // a function imported from a dynamic library
};

enum TJCallMode : std::uint8_t { cmNormal = 0, cmApply = 1, cmCall = 2 };

// A native method: the object it belongs to, the arguments (none when the call had
// no argument list) and the result to fill.
using TJMethodProc = void (*)(TJObject& self, const TJValueList* args, TJValue& result);

struct TJNativeMethod {
    TJMethodProc Proc = nullptr;
    TJObject* Object = nullptr;  // cleared when the object dies
};

struct TJActiveXMethod {
    TJRef<IJDispatch> Dispatch;
    std::int32_t DispId = 0;
    std::uint16_t InvokeKind = 0;
};

struct TDynaDeclare {
    void* Proc = nullptr;
    std::string Types;  // letters describing argument and result types
};

struct TJFunctionInfo {
    std::string FuncName;
    TJFunctionKind FuncType = fkScript;
    const TJStatement* Parameters = nullptr;     // first parameter declarator
    TJCallMode CallMode = cmNormal;
    TJFunctionSymbolTable* SymbolTable = nullptr;
    TJActiveXMethod ActiveXMethod;
    TDynaDeclare DynaDeclare;
    TJNativeMethod Method;                        // fkMethod
    const TJStatement* Statement = nullptr;       // declaration node (script, class) or first statement (namespace)
};

// The function value interface (implemented by TJFunctionImpl, ecma_type_object.h).
class IJFunction : public TJRefCounted {
public:
    virtual const TJFunctionInfo& GetFunc() const = 0;
    virtual TJFunctionSymbolTable* GetSymbolTable() const = 0;
    virtual TJSymbolTableBase* GetLocalTable() const = 0;
    virtual TJCallMode GetCallMode() const = 0;
    virtual TJFunctionKind GetFuncType() const = 0;
    virtual const TJStatement* GetParameters() const = 0;
    virtual const std::string& GetFuncName() const = 0;
    virtual const TJActiveXMethod& GetActiveXMethod() const = 0;
    virtual const TDynaDeclare& GetDynaDeclare() const = 0;
    virtual TJNativeMethod GetMethod() const = 0;
    virtual const TJStatement* GetStatement() const = 0;
    virtual void SetSymbolTable(TJFunctionSymbolTable* table) = 0;
    // Takes ownership; the previous local table is destroyed.
    virtual void SetLocalTable(TJSymbolTableBase* table) = 0;
    virtual void SetCallMode(TJCallMode mode) = 0;
    virtual void SetFuncType(TJFunctionKind kind) = 0;
    virtual void SetParameters(const TJStatement* first) = 0;
    virtual void SetFuncName(std::string_view name) = 0;
    virtual void SetMethod(TJNativeMethod method) = 0;
    virtual void SetStatement(const TJStatement* statement) = 0;
    virtual TJObject* GetOwner() const = 0;
    virtual void SetOwner(TJObject* owner) = 0;
    // Copies the other's record and owner; merges the other's local table into an own one.
    virtual void Assign(const IJFunction& other) = 0;
};

// ---------------------------------------------------------------------------
// Values.

// The kinds. The ordinals are stored in compiled scripts and the names appear in
// error messages, so neither may change.
enum TJValueType : std::uint8_t {
    vtUndefined = 0,
    vtNull = 1,
    vtInteger = 2,
    vtDouble = 3,
    vtString = 4,
    vtObject = 5,
    vtBool = 6,
    vtFunction = 7,
    vtInfinity = 8,
    vtNaN = 9,
    vtDispatch = 10,
    vtRegExp = 11,
    vtEvent = 12,
};

// "vtInteger" and so on; empty for an ordinal outside the enumeration.
std::string_view ValueTypeName(TJValueType type) noexcept;

// A set of kinds (include/exclude filters of member tables).
class TJValueTypeSet {
public:
    constexpr TJValueTypeSet() = default;
    constexpr TJValueTypeSet(std::initializer_list<TJValueType> types) {
        for (TJValueType t : types) bits_ |= static_cast<std::uint16_t>(1u << t);
    }
    constexpr bool Contains(TJValueType t) const { return (bits_ >> t) & 1u; }
    constexpr bool Empty() const { return bits_ == 0; }

private:
    std::uint16_t bits_ = 0;
};

// What kind of built-in an object is, for the class tests that values need.
// Built-in classes set it in their constructors.
enum class TJObjectKind : std::uint8_t {
    Plain,
    String,        // TJStringObject
    StringBuffer,  // TJStringBufferObject
    Number,        // TJNumberObject
    Boolean,
    RegExp,        // TJRegExpObject
    Date,
    Prototype,     // TJPrototypeObject
};

class TJValue {
public:
    TJValue() noexcept = default;
    TJValue(const TJValue& other) noexcept : type_(other.type_), u_(other.u_) { Retain(); }
    TJValue(TJValue&& other) noexcept : type_(other.type_), u_(other.u_) { other.type_ = vtUndefined; }
    TJValue& operator=(const TJValue& other) noexcept {
        if (this != &other) {
            TJValue copy(other);
            Swap(copy);
        }
        return *this;
    }
    TJValue& operator=(TJValue&& other) noexcept {
        if (this != &other) {
            TJValue moved(std::move(other));
            Swap(moved);
        }
        return *this;
    }
    ~TJValue() { Drop(); }
    void Swap(TJValue& other) noexcept {
        std::swap(type_, other.type_);
        std::swap(u_, other.u_);
    }

    TJValueType ValueType() const noexcept { return type_; }

    // Constructors: each resets the value first.
    TJValue& SetUndefined() noexcept {
        Reset(vtUndefined);
        return *this;
    }
    TJValue& BuildNull() noexcept {
        Reset(vtNull);
        return *this;
    }
    TJValue& BuildInteger(std::int32_t value) noexcept {
        Reset(vtInteger);
        u_.integer = value;
        return *this;
    }
    TJValue& BuildDouble(double value) noexcept {
        Reset(vtDouble);
        u_.dbl = value;
        return *this;
    }
    TJValue& BuildString(TJString text) noexcept;
    TJValue& BuildObject(TJObject* object) noexcept {  // null gives vtNull
        Reset(object ? vtObject : vtNull);
        u_.object = object;
        return *this;
    }
    TJValue& BuildBool(bool value) noexcept {
        Reset(vtBool);
        u_.boolean = value;
        return *this;
    }
    TJValue& BuildInfinity(bool negative) noexcept {
        Reset(vtInfinity);
        u_.boolean = negative;
        return *this;
    }
    TJValue& BuildNaN() noexcept {
        Reset(vtNaN);
        return *this;
    }
    TJValue& BuildDispatch(IJDispatch* dispatch) noexcept;
    TJValue& BuildFunction(IJFunction* function) noexcept;
    TJValue& BuildEvent(TJEvent event) noexcept;
    TJValue& BuildEvent(void* code, void* data) noexcept { return BuildEvent(TJEvent{code, data}); }
    // A regular-expression literal; Flags holds at most seven letters (more is refused).
    TJValue& BuildRegExp(TJString pattern, std::string_view flags);

    // Kind tests.
    bool IsUndefined() const noexcept { return type_ == vtUndefined; }
    bool IsNull() const noexcept { return type_ == vtNull; }
    bool IsInteger() const noexcept { return type_ == vtInteger; }
    bool IsDouble() const noexcept { return type_ == vtDouble; }
    bool IsString() const noexcept { return type_ == vtString; }
    bool IsObject() const noexcept { return type_ == vtObject && u_.object != nullptr; }
    bool IsBool() const noexcept { return type_ == vtBool; }
    bool IsFunction() const noexcept { return type_ == vtFunction; }
    bool IsInfinity() const noexcept { return type_ == vtInfinity; }
    bool IsNaN() const noexcept { return type_ == vtNaN; }
    bool IsDispatch() const noexcept { return type_ == vtDispatch; }
    bool IsRegExpValue() const noexcept { return type_ == vtRegExp; }
    bool IsEvent() const noexcept { return type_ == vtEvent; }
    // vtString, or a String or StringBuffer object.
    bool IsStringLike() const noexcept { return type_ == vtString || (IsObject() && ObjectIsStringLike()); }
    // Integer, double, boolean, string-like text that converts as a number, a Number object.
    bool IsNumberLike() const;
    // Class tests on object values.
    bool IsArrayObject() const;
    bool IsStringObject() const noexcept { return HasObjectKind(TJObjectKind::String); }
    bool IsNumberObject() const noexcept { return HasObjectKind(TJObjectKind::Number); }
    bool IsRegExpObject() const noexcept { return HasObjectKind(TJObjectKind::RegExp); }
    bool HasObjectKind(TJObjectKind kind) const noexcept;

    // Payloads (meaningful for their own kind only).
    std::int32_t vInteger() const noexcept { return u_.integer; }
    double vDouble() const noexcept { return u_.dbl; }
    bool vBool() const noexcept { return u_.boolean; }
    bool vNegative() const noexcept { return u_.boolean; }
    TJObject* vObject() const noexcept { return type_ == vtObject ? u_.object : nullptr; }
    IJFunction* vFunction() const noexcept { return type_ == vtFunction ? u_.fn.function : nullptr; }
    IJDispatch* vDispatch() const noexcept { return type_ == vtDispatch ? u_.dispatch : nullptr; }
    TJEvent vEvent() const noexcept { return type_ == vtEvent ? TJEvent{u_.event.code, u_.event.data} : TJEvent{}; }
    // Text of vtString, pattern of vtRegExp, else empty.
    TJString vString() const noexcept;
    std::string_view vStringView() const noexcept;
    std::string_view vRegExpFlags() const noexcept;

    // Conversions (never raise).
    std::int32_t AsInteger() const;
    double AsDouble() const;
    float AsSingle() const;
    unsigned char AsChar() const;
    bool AsBool() const;
    TJString AsString() const;
    // Appends AsString to Out without a temporary string where it can.
    void AppendString(std::string& out) const;
    // vtString only: appends More to the text (TJString::Append), so that a variable
    // appended to grows in place.
    void AppendText(std::string_view more) { u_.text.rep = TJString::AppendTo(u_.text.rep, more); }
    IJDispatch* AsDispatch() const noexcept { return vDispatch(); }
    std::string_view TypeOfValue() const noexcept;

private:
    static constexpr std::uint32_t kCountedKinds =
        (1u << vtString) | (1u << vtFunction) | (1u << vtDispatch) | (1u << vtRegExp);
    void Retain() const noexcept {
        if ((kCountedKinds >> type_) & 1u) RetainPayload();
    }
    void Drop() noexcept {
        if ((kCountedKinds >> type_) & 1u) DropPayload();
    }
    void RetainPayload() const noexcept;
    void DropPayload() noexcept;
    void Reset(TJValueType type) noexcept {
        Drop();
        type_ = type;
        u_.word[0] = u_.word[1] = 0;
    }
    bool ObjectIsStringLike() const noexcept;

    // A member table stores a registered method as a bare procedure and makes the
    // function object, bound to its object, when the member is first read.
    friend class TJMemberTable;
    friend class TJObject;
    static TJValue UnboundMethod(TJMethodProc proc) noexcept {
        TJValue v;
        v.type_ = vtFunction;
        v.u_.fn.unbound = proc;
        return v;
    }
    bool IsUnboundMethod() const noexcept { return type_ == vtFunction && !u_.fn.function && u_.fn.unbound; }
    TJMethodProc UnboundProc() const noexcept { return u_.fn.unbound; }

    TJValueType type_ = vtUndefined;
    union Payload {
        Payload() noexcept : word{0, 0} {}
        std::uint64_t word[2];
        std::int32_t integer;
        double dbl;
        bool boolean;
        TJObject* object;
        struct {
            IJFunction* function;
            TJMethodProc unbound;  // a method registered but not read yet (see TJMemberTable)
        } fn;
        IJDispatch* dispatch;
        struct {
            void* code;
            void* data;
        } event;
        struct {
            TJString::Rep* rep;   // text (vtString) or pattern (vtRegExp)
            char flags[8];        // vtRegExp: length byte, then the letters
        } text;
    } u_;
};

// Value makers.
inline TJValue IntegerValue(std::int32_t x) {
    TJValue v;
    v.BuildInteger(x);
    return v;
}
inline TJValue DoubleValue(double x) {
    TJValue v;
    v.BuildDouble(x);
    return v;
}
inline TJValue StringValue(TJString x) {
    TJValue v;
    v.BuildString(std::move(x));
    return v;
}
inline TJValue BoolValue(bool x) {
    TJValue v;
    v.BuildBool(x);
    return v;
}
inline TJValue ObjectValue(TJObject* x) {
    TJValue v;
    v.BuildObject(x);
    return v;
}
inline TJValue FunctionValue(IJFunction* x) {
    TJValue v;
    v.BuildFunction(x);
    return v;
}
inline TJValue InfinityValue(bool x) {
    TJValue v;
    v.BuildInfinity(x);
    return v;
}
inline TJValue NullValue() {
    TJValue v;
    v.BuildNull();
    return v;
}
inline TJValue NaNValue() {
    TJValue v;
    v.BuildNaN();
    return v;
}

// Conversions and kind tests of a value that may be missing (an absent argument):
// a missing value converts like undefined, except that its text is empty, and every
// kind test is false for it.
std::int32_t AsInteger(const TJValue* v);
double AsDouble(const TJValue* v);
bool AsBool(const TJValue* v);
TJString AsString(const TJValue* v);
// True when both values exist and have the same kind.
bool EqualKind(const TJValue* a, const TJValue* b) noexcept;
// True when both are functions referring to the same function object.
bool SameFunction(const TJValue* a, const TJValue* b) noexcept;

// Doubles to integers without undefined behaviour: round half to even (or truncate)
// and wrap modulo 2^32; NaN and the infinities give 0.
std::int32_t RoundToInteger(double d) noexcept;
std::int32_t TruncToInteger(double d) noexcept;

// ---------------------------------------------------------------------------
// Operators. The codes are the expression-kind codes of the syntax tree.
//   unary: 22 +, 23 -, 59 ~
//   binary: 2 +, 3 -, 4 /, 5 *, 6 %, 45 <<, 46 >>, 47 >>>, 56 &, 57 ^, 58 |
//   compound assignment: 9 *=, 10 /=, 11 +=, 12 -=, 13 %=, 14 <<=, 15 >>=, 16 >>>=,
//     17 &=, 18 ^=, 19 |=
//   comparison (boolean result): 40 !, 41/42 ||, 43/44 &&, 48 <, 49 >, 50 <=, 51 >=,
//     52 ==, 53 !=, 54 ===, 55 !==
// An unknown code gives undefined (false for comparisons).
TJValue ApplyUnaryOperator(int op, const TJValue& operand);
TJValue ApplyOperator(int op, const TJValue& left, const TJValue& right);
TJValue ApplyAssignOperator(int op, const TJValue& left, const TJValue& right);
TJValue ApplyCompareOperator(int op, const TJValue& left, const TJValue& right = TJValue());
// The same comparison as a plain boolean.
bool CompareOperator(int op, const TJValue& left, const TJValue& right = TJValue());
// Equality of two values of the same kind.
bool SameValue(const TJValue& left, const TJValue& right);
// The binary operator code behind a compound assignment code, or -1.
int AssignOperatorCode(int op) noexcept;

// ---------------------------------------------------------------------------
// Script errors.

namespace errors {
inline constexpr std::string_view NameError = "ENameError";
inline constexpr std::string_view KeyError = "EKeyError";
inline constexpr std::string_view TypeError = "ETypeError";
inline constexpr std::string_view CallError = "ECallError";
inline constexpr std::string_view SyntaxError = "ESyntaxError";
inline constexpr std::string_view Throw = "EThrow";
inline constexpr std::string_view IndexError = "EIndexError";
inline constexpr std::string_view StringError = "EStringError";
inline constexpr std::string_view MemoryError = "EOutOfMemory";
}  // namespace errors

// Base of everything the engine raises: a text message.
class EJException : public std::exception {
public:
    explicit EJException(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};

// The host asked the script to stop.
class EJAbort : public EJException {
public:
    EJAbort() : EJException("script abort") {}
};

// Control-flow signals that leave the evaluator: only exit. Break, continue and
// return travel as completions and have no exception type.
class EJStatement : public EJException {
public:
    using EJException::EJException;
};
class EJExit : public EJStatement {
public:
    explicit EJExit(std::int32_t exitCode) : EJStatement("exit"), exitCode_(exitCode) {}
    std::int32_t ExitCode() const noexcept { return exitCode_; }

private:
    std::int32_t exitCode_;
};

// Errors: a name such as "ENameError", the message and a value (null unless given).
class EJError : public EJException {
public:
    using EJException::EJException;
};
class EJRuntimeError : public EJError {
public:
    EJRuntimeError(std::string errorName, std::string message, TJValue value = NullValue())
        : EJError(std::move(message)), errorName_(std::move(errorName)), value_(std::move(value)) {}
    const std::string& ErrorName() const noexcept { return errorName_; }
    const TJValue& Value() const noexcept { return value_; }

private:
    std::string errorName_;
    TJValue value_;
};
// Every script-level error, and `throw` ("EThrow", empty message, the thrown value).
class EJThrow : public EJRuntimeError {
public:
    using EJRuntimeError::EJRuntimeError;
};
// "ESyntaxError" with the line the lexer or parser was on.
class EJSyntaxError : public EJRuntimeError {
public:
    EJSyntaxError(std::string message, std::int32_t line)
        : EJRuntimeError(std::string(errors::SyntaxError), std::move(message)), line_(line) {}
    std::int32_t Line() const noexcept { return line_; }

private:
    std::int32_t line_;
};

// Raises EJThrow with the error name and message.
[[noreturn]] void ThrowError(std::string_view errorName, std::string_view message);

}  // namespace kestrel
