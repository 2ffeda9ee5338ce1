// The script engine: compiles a script with its parser and runs the tree directly.
//
// Statements and expressions are executed by two recursive routines (ecma_stmt.cpp,
// ecma_eval.cpp). Break, continue and return travel as a completion result, never as
// C++ exceptions; script errors, exit and abort are exceptions of the EJException
// family. Everything the engine says to its host goes through the hooks below, which
// the host sets: output, error output, input, the step and error callbacks, idle
// processing. No hook is required; without one, output is dropped and input fails.
//
// The engine's constructor installs the standard library (the classes every engine
// imports and the engine's own Global object), so it is defined with that library
// in script/lib; a program that makes engines links kestrel_lib.
#pragma once

#include <csignal>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/core/ecma_parser.h"
#include "script/core/ecma_type_scope.h"

namespace kestrel {

class TJEngine;

// What the engine asks of its Global object (the object itself is the library's).
class TJGlobalBase : public TJObject {
public:
    using TJObject::TJObject;
    // Replaces the contents of the `arguments` array.
    virtual void SetArguments(const TJValueList* args) = 0;
    // Keeps the event loop of a run alive while false (eventLoop clears it).
    bool Terminated = true;
    // Links to the engine's standard output and input.
    std::function<void(std::string_view)> Output;
    std::function<void(std::string& text, bool& success, int count, bool line)> Input;
};

// The mouse as a script reads it: screen position and held buttons.
struct TJPointerState {
    int X = 0, Y = 0;
    bool Left = false, Middle = false, Right = false;
};

// A file or folder dialog: what it asks for and where it starts.
struct TJFileDialog {
    enum class TKind : std::uint8_t { Open, OpenMany, Save, Folder };
    TKind Kind = TKind::Open;
    std::string Title;
    std::string Folder;      // the existing folder it starts in, a full path
    std::string FileName;    // the name it proposes in Folder ("": none)
    std::string Filter;      // masks joined by ";" ("": every file)
    std::string DefaultExt;  // Save adds it to a name typed without one ("": none)
};

// The check-list dialog's lines with their marks and its selected line.
struct TJCheckList {
    std::string Caption, Text;
    std::vector<std::string> Lines;
    std::vector<bool> Checked;  // one per line
    int Index = -1;             // the selected line, -1 for none
};

// What a script asks of the program it runs in besides output and input (the hooks):
// dialogs, window handles and the processing of window events. The host sets it on
// the engine component; without one, boxes answer as if dismissed at once, input
// dialogs are cancelled and there are no windows.
class TJHost {
public:
    virtual ~TJHost() = default;
    // A message box with Text, Caption and Flags (buttons in the low nibble: 0 OK,
    // 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel;
    // icon 0x10 stop, 0x20 question, 0x30 exclamation, 0x40 information; default
    // button 0x000, 0x100, 0x200). The button chosen: 1 OK, 2 Cancel, 3 Abort,
    // 4 Retry, 5 Ignore, 6 Yes, 7 No.
    virtual int MessageBox(std::string_view text, std::string_view caption, int flags) = 0;
    // A modal input dialog with Message and Text as its default (one line, or several
    // joined by CR LF when MultiLine); false when the user cancelled.
    virtual bool InputBox(std::string_view message, bool multiLine, std::string& text) = 0;
    // A file or folder dialog owned by the main window: the chosen full paths (one,
    // unless OpenMany), false when cancelled (also without anybody to ask).
    virtual bool FileDialog(const TJFileDialog& /*dialog*/, std::vector<std::string>& /*chosen*/) { return false; }
    // The modal check-list dialog: true for OK, which gives back every mark in List;
    // either way List.Index is the line selected as it closed. Without anybody to ask
    // it is cancelled at once, the selection as it was.
    virtual bool CheckListDialog(TJCheckList& /*list*/) { return false; }
    // Whether a person is there to answer boxes and dialogs (false: a console program
    // without a terminal, whose boxes are dismissed at once).
    virtual bool CanAskUser() const { return true; }
    // Lets pending window events through; false once the application is closing.
    virtual bool ProcessEvents() { return true; }
    // The caption of boxes that name none.
    virtual std::string ApplicationTitle() const = 0;
    // Window handles of the application and its main window (0: none).
    virtual std::uint32_t ApplicationHandle() const { return 0; }
    virtual std::uint32_t MainFormHandle() const { return 0; }

    // The desktop. Without a display (these defaults) no key or button is held, the
    // pointer is at 0, 0 and the clipboard is a text of this process.
    // Whether the key with the Windows virtual-key code Vk is held down now.
    virtual bool IsKeyDown(unsigned /*vk*/) { return false; }
    virtual TJPointerState PointerState() { return {}; }
    // The clipboard's text in the code page; false when it holds none.
    virtual bool ClipboardText(std::string& text) {
        text = LocalClipboard();
        return !text.empty();
    }
    virtual void SetClipboardText(std::string_view text) { LocalClipboard().assign(text); }

protected:
    static std::string& LocalClipboard() {
        static std::string text;
        return text;
    }
};

// The answer of a box that is dismissed without a choice: Cancel when it has Cancel,
// else No when it has No, else OK, so that nobody's consent is ever assumed.
int DismissedBoxResult(int flags) noexcept;

// How a statement ended.
enum class TJCompletion : std::uint8_t { Normal, Break, Continue, Return };

class TJEngine : public TJBaseEngine {
public:
    // Component: the owning host component, handed back to nobody (may be none).
    explicit TJEngine(void* component = nullptr);
    ~TJEngine() override;

    // --- compiling and running -------------------------------------------------
    // Parses Text (bytes in the code page); a syntax error is reported and gives false.
    bool CompileText(std::string_view text);
    // Reads and compiles a script file; false without a report when it does not exist.
    // With UseCompiled, a current compiled file of the script (beside it, else in the
    // user's cache) is loaded instead, and a successful parse writes one.
    bool CompileFile(const std::string& fileName, bool useCompiled = false);
    // Runs Program (the last compiled tree when none) with Args as `arguments`, then
    // the event loop. The result is the value of a top-level return or of exit, else 0.
    int Run(const TJStatement* program = nullptr, const TJValueList* args = nullptr);
    // Forgets everything a run made: namespaces, function tables, prototypes, objects.
    void Clear();
    bool IsRunning() const override { return running_ && !clearing_; }
    // One round of idle processing; false when the script should stop.
    bool DoEvents();
    // Evaluates one expression in the scope of the running function.
    void Eval(std::string_view text, TJObject* thisObject, TJValue& result);
    // Calls a function, or evaluates a string-like value; errors after the main
    // program are reported instead of raised.
    void CallCallable(const TJValue& callable, const TJValueList* args, TJValue& result, TJObject* thisObject);
    // Calls a function value with This (none: the function's own rules).
    void CallFunction(const TJValue& function, const TJValueList* args, TJValue& result, TJObject* thisObject);

    // --- what the run left -----------------------------------------------------
    // Whether the last run reported an error (uncaught, aborted, syntax).
    bool ErrorReported() const noexcept { return errorReported_; }
    // Whether the last run's result came from a top-level return or from exit.
    bool ResultSet() const noexcept { return resultSet_; }

    // --- host hooks --------------------------------------------------------------
    std::function<void(TJObject*)> OnNewObject;
    std::function<void(std::string_view)> OnStdout;
    std::function<void(std::string_view)> OnStderr;
    std::function<void()> OnRun;
    std::function<void()> OnDone;
    std::function<void(bool& abort)> OnStep;
    std::function<void(std::string& text, bool& success, int count, bool line)> OnStdin;
    std::function<void(int line, std::string_view text)> OnError;
    std::function<void(bool& abort)> OnDoEvents;
    // Dialogs, windows and window events (none: see TJHost).
    TJHost* Host = nullptr;
    // Whether the host is a console program (isConsole).
    bool IsConsole = false;
    // A flag the host raises from a signal handler (Ctrl-C): the running statement then
    // ends as if OnStep had asked to abort, without a call before every statement.
    const volatile std::sig_atomic_t* AbortFlag = nullptr;

    void WriteStdout(std::string_view text);
    void WriteStderr(std::string_view text);
    void ReadStdin(std::string& text, bool& success, int count, bool line);
    // Writes Text and CR LF to the error output, then tells OnError.
    void ReportError(std::string_view text);
    void SetDebugOutput(std::function<void(const std::string&)> callback);

    // --- what objects see of the engine ------------------------------------------
    // `new Name(args)`: a script function or class of that name, else a registered class.
    TJObject* CreateObject(std::string_view name, const TJValueList* args) override;
    std::string GetScriptFileName() override { return scriptFileName_; }
    bool FindImportFile(std::string_view name, std::string& path) override;
    bool FindVariable(std::string_view name, TJValue& value) override;
    void Invoke(const TJValue& callable, const TJValueList* args, TJValue& result, TJObject* thisObject) override;
    void CallBack(const TJValue& function, TJArgs args, TJValue& result, TJObject* thisObject) override;

    // --- state -------------------------------------------------------------------
    void* Component() const noexcept { return component_; }
    TJParser& Parser() noexcept { return parser_; }
    TJRootSymbolTable& Root() noexcept { return root_; }
    TJLocalSymbolTable* Current() const noexcept { return current_; }
    std::int32_t CurrentLine() const noexcept { return currentLine_; }
    bool MainDone() const noexcept { return mainDone_; }
    bool Active() const noexcept { return active_; }
    TJGlobalBase* Global() const noexcept { return global_; }
    TJObject* RegExp() const noexcept { return regExp_; }
    TJObject* WScript() const noexcept { return wScript_; }

private:
    struct TSwitchContext;
    struct TCallDepth;
    friend struct TCallDepth;
    class TArguments;
    friend class TArguments;
    class TStateGuard;
    friend class TStateGuard;
    struct TCallBinding;
    struct TReference;
    class TCallFrame;
    friend class TCallFrame;
    class TPlainArguments;

    // The standard library's part of construction (defined with the library).
    void InstallLibrary();
    bool CompileSource(std::string_view text, const std::string& fileName);
    // The engine's own objects: made unregistered, held with one reference each.
    void AdoptOwnObjects(TJGlobalBase* global, TJObject* regExp, TJObject* wScript);

    // --- statements (ecma_stmt.cpp) ------------------------------------------------
    TJCompletion ExecStatements(const TJStatement* first, int flags, TSwitchContext* context = nullptr);
    TJCompletion ExecStatement(const TJStatement* s, int flags, TSwitchContext* context);
    TJCompletion ExecProgram(const TJStatement* s);
    TJCompletion ExecFor(const TJStatement* s);
    TJCompletion ExecForIn(const TJStatement* s);
    TJCompletion ExecTry(const TJStatement* s, int flags, TSwitchContext* context);
    TJCompletion ExecWith(const TJStatement* s, int flags, TSwitchContext* context);
    TJCompletion ExecSwitch(const TJStatement* s);
    TJCompletion ExecCase(const TJStatement* s, int flags, TSwitchContext* context);
    void ExecReturn(const TJStatement* s);
    void ExecDeclarator(const TJStatement* s, int flags);
    bool CaseMatches(const TJValue& caseValue, const TJValue& discriminant);
    // The pending return value's reference goes (a return that will not complete).
    void DropReturnValue() noexcept;

    // --- expressions (ecma_eval.cpp) ------------------------------------------------
    void Evaluate(const TJExpr* e, TJValue& result, int flags = 0);
    void EvaluateNode(const TJExpr* e, TJValue& result, int flags);
    // The value of an operand, evaluated into Scratch unless it is a constant.
    const TJValue& Operand(const TJExpr* e, TJValue& scratch);
    [[noreturn]] static void UndefinedName(const TJExpr* e);
    bool EvaluateCondition(const TJExpr* e);
    void EvaluateAssign(const TJExpr* e, TJValue& result, int flags);
    void EvaluateCompoundAssign(const TJExpr* e, TJValue& result);
    bool EvaluateAppend(const TJExpr* e, TJValue& result);
    void EvaluateIncrement(const TJExpr* e, TJValue& result);
    void EvaluateObjectLiteral(const TJExpr* e, TJValue& result);
    void EvaluateArrayLiteral(const TJExpr* e, TJValue& result);
    // Puts Value's object on the temporary list, so that it outlives a store that
    // drops the last count on it while the value is still in use.
    void KeepForStatement(const TJValue& value);
    // ETypeError "can not assign - " and the target's symbol.
    [[noreturn]] static void CannotAssign(const TJExpr* target);
    // The evaluated list, in source order, evaluated from last to first; false for none.
    bool EvaluateArguments(const TJExpr* list, TJValueList& args);
    void MakeFunction(const TJStatement* decl, TJValue& result);
    void GetMember(const TJValue& value, const TJString& name, TJValue& result, bool remove,
                   const TJExpr* objectExpr = nullptr);
    void SetMember(const TJValue& value, const TJString& name, const TJValue& newValue,
                   const TJExpr* objectExpr = nullptr);
    // Resolves Target (a variable, a.b, a(...) or a[...], a.b(...) or a.b[...]) into
    // Ref, evaluating its object or callee expression; false for anything else.
    bool Resolve(const TJExpr* target, TReference& ref);
    // Reads what Ref stands for: a variable, a member, an element, or a call's result.
    void Get(const TReference& ref, TJValue& result);
    // Stores Value there: an element write, or a call with Value after the arguments.
    void Put(const TReference& ref, const TJValue& value);
    // Resolves Target and stores Value (Put); false, storing nothing, when Target is
    // nothing that can be assigned.
    bool Store(const TJExpr* target, const TJValue& value);
    // Assigns the variable Name (an identifier) in the current scope.
    void StoreVariable(const TJExpr* name, const TJValue& value);
    // The element of Object keyed by List (none: the empty key; one element: its value;
    // more: the last one, with the whole list as parameter): written with NewValue
    // when given, else read into Result.
    void AccessKeyed(TJObject* object, const TJExpr* list, const TJValue* newValue, TJValue& result);
    // An object for `this` or for a member access: objects are themselves, plain values
    // get a temporary wrapper of their registered class; none for the other kinds.
    TJObject* ToObject(const TJValue& value);
    // The temporary wrapper of a plain value (String, Number, Boolean, RegExp), or none.
    TJObject* Wrap(const TJValue& value);
    TJObject* CreateClassObject(const IJFunction& cls, std::string_view name, const TJValueList* args);
    // A script function's call: the binding its call mode asks for, the frame (a local
    // table made current), the parameters, the body, and the return of its value.
    void CallScript(IJFunction* fn, TJArgs args, TJValue& result, TJObject* thisObject);
    TCallBinding BindCallMode(IJFunction* fn, TJArgs args, TJObject* thisObject);
    void BindParameters(IJFunction* fn, const TCallBinding& binding, TJLocalSymbolTable* local);
    // Binds the values of a normal call (or of call after its first): `arguments` when
    // the body names it, and the parameters.
    void BindValues(IJFunction* fn, TJLocalSymbolTable* local, TJArgs values);
    // Calls Fn, a script function in its normal mode, for Ref (a(...) or a.b(...)),
    // evaluating the arguments straight into the values the parameters take; false,
    // evaluating nothing, when the list is too long for that.
    bool CallPlain(IJFunction* fn, const TReference& ref, TJValue& result);
    void CallNative(IJFunction* fn, const TJValueList* args, TJValue& result);
    // The record layout of Decl's calls (or namespace), made at its first use in the
    // run and kept by Table, Decl's table; none when Table belongs to another declaration.
    const TJFrameLayout* FrameLayoutOf(TJFunctionSymbolTable* table, const TJStatement* decl) {
        if (const TJFrameLayout* layout = table->CallLayout()) return layout->Decl == decl ? layout : nullptr;
        return MakeFrameLayout(table, decl);
    }
    const TJFrameLayout* MakeFrameLayout(TJFunctionSymbolTable* table, const TJStatement* decl);
    // Whether Name is a shared method or published property of the Global object's
    // class (hidden or not): a member that no script can take from it for good.
    bool GlobalClassHas(std::string_view name) const;
    // For an identifier marked with a slot of its program's record (OuterFrom): the
    // namespace table to read or write that slot in, when the search by name would
    // come to it; none when something on the way may hold the name.
    TJLocalSymbolTable* OuterTable(const TJExpr* e);
    const TJValue* OuterValue(const TJExpr* e);
    // The prototype name of a script function: its name, or for an anonymous one the
    // variable it was read from, so that F.prototype and new F() agree.
    static std::string_view PrototypeKey(const IJFunction& fn, const TJExpr* objectExpr);

    void* component_;
    TJParser parser_;
    TJRootSymbolTable root_;
    TJLocalSymbolTable* current_ = &root_;
    bool mainDone_ = false;
    bool running_ = false;
    bool clearing_ = false;
    bool active_ = false;
    bool errorReported_ = false;
    bool resultSet_ = false;
    std::int32_t currentLine_ = -1;
    std::string scriptFileName_;
    TJGlobalBase* global_ = nullptr;
    TJObject* regExp_ = nullptr;
    TJObject* wScript_ = nullptr;
    // The value of the return statement that is completing.
    TJValue returnValue_;
    // Nesting of calls, object creation and evaluation, against the stack's end.
    int depth_ = 0;
    // Argument lists, reused by the calls as they nest (the first argumentsUsed_ are taken).
    std::vector<std::unique_ptr<TJValueList>> argumentLists_;
    std::size_t argumentsUsed_ = 0;
};

}  // namespace kestrel

namespace kestrel {

// Raises the catchable ECallError "too much recursion" when the stack of this thread
// is nearly used up: for recursions of native code, such as arrays inside arrays.
void CheckStack();

// One level of calls, object creation or evaluation. Too many, or too little stack
// left, raises the catchable ECallError "too much recursion" instead of a crash.
struct TJEngine::TCallDepth {
    explicit TCallDepth(TJEngine& engine);
    ~TCallDepth() { --engine_.depth_; }
    TCallDepth(const TCallDepth&) = delete;
    TCallDepth& operator=(const TCallDepth&) = delete;

private:
    TJEngine& engine_;
};

// An argument list of the engine's for as long as it lives, empty at first; the lists
// keep their room from call to call.
class TJEngine::TArguments {
public:
    explicit TArguments(TJEngine& engine) : engine_(engine) {
        if (engine.argumentsUsed_ == engine.argumentLists_.size())
            engine.argumentLists_.push_back(std::make_unique<TJValueList>());
        list_ = engine.argumentLists_[engine.argumentsUsed_++].get();
    }
    ~TArguments() {
        list_->Clear();
        --engine_.argumentsUsed_;
    }
    TArguments(const TArguments&) = delete;
    TArguments& operator=(const TArguments&) = delete;
    TJValueList& List() noexcept { return *list_; }

private:
    TJEngine& engine_;
    TJValueList* list_;
};

// The engine state that a call, a `with` block, an eval or a program changes, put back
// however the work ends: the current table always, and the frame made under Owner
// for the work (when given) is removed after it. The current line comes back when
// the work ends normally (Finish) or, with RestoreLine, always; an error that ends
// the work otherwise keeps the line it happened on, for its report.
class TJEngine::TStateGuard {
public:
    enum TLine : bool { LineOnFinish = false, RestoreLine = true };
    explicit TStateGuard(TJEngine& engine, TJLocalSymbolTable* owner = nullptr, TLine line = LineOnFinish) noexcept
        : engine_(engine), current_(engine.current_), owner_(owner), line_(engine.currentLine_),
          restoreLine_(line == RestoreLine) {}
    ~TStateGuard() {
        engine_.current_ = current_;
        if (owner_) owner_->RemoveFirstChild();
        if (restoreLine_) engine_.currentLine_ = line_;
    }
    void Finish() noexcept { restoreLine_ = true; }
    TStateGuard(const TStateGuard&) = delete;
    TStateGuard& operator=(const TStateGuard&) = delete;

private:
    TJEngine& engine_;
    TJLocalSymbolTable* current_;
    TJLocalSymbolTable* owner_;
    std::int32_t line_;
    bool restoreLine_;
};

// An assignment target, or the callee of a call, resolved once: what is left to read
// or write after its object or callee expression has been evaluated.
struct TJEngine::TReference {
    enum class TKind : std::uint8_t {
        Variable,  // an identifier: the name, or its slot in the running call's record
        Member,    // a.b: Base is a's value
        Indexed,   // a(...) or a[...]: Base is a's value; a.b(...): Base is the member b
    };
    TKind Kind = TKind::Variable;
    bool MemberCall = false;       // a.b(...) or a.b[...]: Self is `this` of a call
    const TJExpr* Target = nullptr;
    const TJExpr* List = nullptr;  // Indexed: the argument or key list, or none
    TJObject* Self = nullptr;      // MemberCall: a as an object (a wrapper for a plain value)
    TJValue Base;
};

// A counted reference on an object for as long as it lives, so that a call's receiver
// or a loop's collection survives what the script does meanwhile. An object without
// any count is left alone: no container holds it, so none can drop it.
class TJObjectHold {
public:
    explicit TJObjectHold(TJObject* object) noexcept
        : object_(object && object->RefCount() > 0 && !object->IsDying() ? object : nullptr) {
        if (object_) object_->IncRef();
    }
    ~TJObjectHold() {
        if (object_) object_->DecRef();
    }
    // Whether the object is counted (an object already dying or never counted is not).
    bool Holds() const noexcept { return object_ != nullptr; }
    TJObjectHold(const TJObjectHold&) = delete;
    TJObjectHold& operator=(const TJObjectHold&) = delete;

private:
    TJObject* object_;
};

// The frame of one script function's call for as long as it lives: the call's level,
// its `this` held, and a local table under the function's table with the record of
// its layout, current until the frame goes (the caller's table comes back, the local
// table is removed).
class TJEngine::TCallFrame {
public:
    TCallFrame(TJEngine& engine, IJFunction* fn, TJObject* thisObject);
    TCallFrame(const TCallFrame&) = delete;
    TCallFrame& operator=(const TCallFrame&) = delete;
    TJLocalSymbolTable* Local() const noexcept { return local_; }
    // Runs the body; the returned value goes to Result, its object onto the caller's
    // temporary list.
    void Run(TJValue& result);

private:
    TJEngine& engine_;
    TCallDepth depth_;
    bool ownThis_;
    TJObjectHold holdThis_;
    const TJStatement* decl_;
    TJFunctionSymbolTable* table_;
    TJLocalSymbolTable* caller_;
    TJLocalSymbolTable* local_;
    TStateGuard state_;
};

// Statement flags: declare locally, inside a loop or switch body, declare statically,
// declare globally.
inline constexpr int kFlagLocal = 1;
inline constexpr int kFlagLoop = 2;
inline constexpr int kFlagStatic = 4;
inline constexpr int kFlagGlobal = 8;

}  // namespace kestrel
