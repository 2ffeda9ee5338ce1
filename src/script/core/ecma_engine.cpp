// The engine's public operations: compiling, running, clearing, the event loop,
// evaluation for the library and the host's hooks with the error reports.
#include "script/core/ecma_engine.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <string>
#include <thread>

#include "script/core/ecma_compiled_file.h"
#include "util/ProgramFiles.h"
#include "util/stdFiles.h"

namespace kestrel {

namespace {

constexpr int kMaxDepth = 100000;

// Below this address the current thread's stack is too close to its end for
// another level of script calls.
const char* StackLimit() {
    thread_local const char* limit = [] {
        pthread_attr_t attr;
        void* low = nullptr;
        std::size_t size = 0;
        if (pthread_getattr_np(pthread_self(), &attr) == 0) {
            pthread_attr_getstack(&attr, &low, &size);
            pthread_attr_destroy(&attr);
        }
        if (!low) return static_cast<const char*>(nullptr);
        const std::size_t margin = std::min<std::size_t>(size / 4, std::size_t(1) << 20);
        return static_cast<const char*>(low) + margin;
    }();
    return limit;
}

std::string CurrentFolder() {
    char path[PATH_MAX];
    return getcwd(path, sizeof path) ? tinctor::IncludeTrailingPathDelimiter(path) : std::string();
}

// Folders appended to the library path for as long as it lives.
class TPathExtension {
public:
    TPathExtension(std::vector<std::string>& path, std::initializer_list<std::string> folders)
        : path_(path), count_(folders.size()) {
        path_.insert(path_.end(), folders.begin(), folders.end());
    }
    ~TPathExtension() { path_.resize(path_.size() - std::min(count_, path_.size())); }
    TPathExtension(const TPathExtension&) = delete;
    TPathExtension& operator=(const TPathExtension&) = delete;

private:
    std::vector<std::string>& path_;
    std::size_t count_;
};

std::string RuntimeReport(const EJRuntimeError& error, std::int32_t line) {
    return "Exception: " + error.ErrorName() + "(" + std::to_string(line) + ") => " + error.Message();
}

std::string SyntaxReport(const EJRuntimeError& error, std::int32_t line) {
    return "SyntaxError: Line(" + std::to_string(line) + ") => " + error.Message();
}

std::string AbortReport(std::int32_t line) { return "Abort Script(" + std::to_string(line) + ")"; }

}  // namespace

void CheckStack() {
    char probe;
    const char* limit = StackLimit();
    if (limit && &probe < limit) ThrowError(errors::CallError, "too much recursion");
}

TJEngine::TCallDepth::TCallDepth(TJEngine& engine) : engine_(engine) {
    if (engine.depth_ >= kMaxDepth) ThrowError(errors::CallError, "too much recursion");
    CheckStack();
    ++engine.depth_;
}

void TJEngine::AdoptOwnObjects(TJGlobalBase* global, TJObject* regExp, TJObject* wScript) {
    Factory().OnNewObject = [this](TJObject* object) {
        if (OnNewObject) OnNewObject(object);
    };
    parser_.OnReset = [this] { Clear(); };
    global_ = global;
    regExp_ = regExp;
    wScript_ = wScript;
    for (TJObject* o : {static_cast<TJObject*>(global_), regExp_, wScript_})
        if (o) o->IncRef();
    if (global_) {
        global_->Output = [this](std::string_view text) { WriteStdout(text); };
        global_->Input = [this](std::string& text, bool& success, int count, bool line) {
            ReadStdin(text, success, count, line);
        };
    }
}

TJEngine::~TJEngine() {
    parser_.OnReset = nullptr;
    Clear();
    for (TJObject* o : {wScript_, regExp_, static_cast<TJObject*>(global_)})
        if (o) o->Destroy();
    global_ = nullptr;
    regExp_ = wScript_ = nullptr;
    root_.Clear();
    Factory().Clear();
}

// ---------------------------------------------------------------------------
// Compiling

bool TJEngine::CompileText(std::string_view text) { return CompileSource(text, {}); }

bool TJEngine::CompileSource(std::string_view text, const std::string& fileName) {
    if (running_) return false;
    parser_.SourceFileName = fileName;
    parser_.SetSourceText(text);
    TPathExtension extension(parser_.LibraryPath, {tinctor::ExecutableFolder(), CurrentFolder()});
    try {
        return parser_.Parse();
    } catch (const EJSyntaxError& e) {
        currentLine_ = e.Line();
        ReportError(SyntaxReport(e, e.Line()));
    } catch (const EJThrow& e) {
        currentLine_ = parser_.ErrorLine();  // where the constant operation failed
        ReportError("Exception: " + e.ErrorName() + " => " + e.Message());
    }
    return false;
}

bool TJEngine::CompileFile(const std::string& fileName, bool useCompiled) {
    if (running_) return false;
    scriptFileName_ = fileName;
    if (!tinctor::FileExists(fileName)) return false;
    // The compiled file beside the script, else the one in the user's cache.
    const auto loadCurrent = [this, &fileName](const std::string& compiled) {
        if (compiled.empty() || !IsCompiledFileCurrent(compiled, fileName) || !parser_.LoadFromFile(compiled))
            return false;
        parser_.SourceFileName = fileName;
        return true;
    };
    std::string beside, cached;
    if (useCompiled) {
        beside = CompiledNameBeside(fileName);
        if (loadCurrent(beside)) return true;
        cached = CompiledNameInCache(fileName);
        if (loadCurrent(cached)) return true;
    }
    std::string text;
    if (!LoadScriptText(fileName, text)) return false;
    bool compiled;
    {
        // The script's own folder is searched before the program's and the current one.
        TPathExtension extension(parser_.LibraryPath, {tinctor::ExtractFilePath(fileName)});
        compiled = CompileSource(text, fileName);
    }
    // A file that cannot be written anywhere costs the next run a parse, nothing more.
    if (compiled && useCompiled && !parser_.SaveToFile(beside) && !cached.empty()) parser_.SaveToFile(cached);
    return compiled;
}

// ---------------------------------------------------------------------------
// Running

int TJEngine::Run(const TJStatement* program, const TJValueList* args) {
    if (running_) return 0;
    if (!program) program = parser_.Root();
    if (!program) return 0;
    running_ = true;
    struct Stop {
        bool& running;
        ~Stop() { running = false; }
    } stop{running_};
    errorReported_ = false;
    resultSet_ = false;
    Clear();
    active_ = true;
    global_->SetArguments(args);
    global_->Terminated = true;
    if (OnRun) OnRun();

    int result = 0;
    current_ = &root_;
    try {
        if (ExecStatements(program, 0) == TJCompletion::Return) {
            result = returnValue_.AsInteger();
            resultSet_ = true;
            DropReturnValue();
        }
    } catch (const EJSyntaxError& e) {
        ReportError(SyntaxReport(e, currentLine_));
    } catch (const EJRuntimeError& e) {
        ReportError(RuntimeReport(e, currentLine_));
    } catch (const EJAbort&) {
        ReportError(AbortReport(currentLine_));
    } catch (const EJExit& e) {
        result = e.ExitCode();
        resultSet_ = true;
    } catch (const std::bad_alloc&) {
        ReportError(RuntimeReport(EJThrow(std::string(errors::MemoryError), "out of memory"), currentLine_));
    }
    // However the main program ended, later event handlers run in its namespace.
    mainDone_ = true;
    TJGlobalSymbolTable* main = root_.FindNamespace("__MAIN__");
    current_ = main ? static_cast<TJLocalSymbolTable*>(main) : &root_;

    while (!global_->Terminated && DoEvents()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (OnDone) OnDone();
    return result;
}

void TJEngine::Clear() {
    if (clearing_) return;
    clearing_ = true;
    struct Done {
        bool& clearing;
        ~Done() { clearing = false; }
    } done{clearing_};
    current_ = &root_;
    active_ = false;
    mainDone_ = false;
    returnValue_.SetUndefined();
    for (TJObject* o : {static_cast<TJObject*>(global_), regExp_, wScript_})
        if (o) o->ResetMembers();
    root_.Clear();
    Factory().Clear();
    currentLine_ = -1;
}

int DismissedBoxResult(int flags) noexcept {
    constexpr int kOk = 1, kCancel = 2, kNo = 7;
    switch (flags & 0xF) {
    case 1: case 3: case 5: return kCancel;  // OK/Cancel, Yes/No/Cancel, Retry/Cancel
    case 4: return kNo;                      // Yes/No
    default: return kOk;                     // OK; Abort/Retry/Ignore has neither
    }
}

bool TJEngine::DoEvents() {
    if (!running_ || !active_) return false;
    if (OnDoEvents) {
        // The host processes its pending window events here, and asks to stop when it ends.
        bool abort = false;
        OnDoEvents(abort);
        if (abort) return false;
    }
    if (Host && !Host->ProcessEvents()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return true;
}

void TJEngine::Eval(std::string_view text, TJObject* thisObject, TJValue& result) {
    result.SetUndefined();
    TCallDepth depth(*this);
    TStateGuard state(*this, nullptr, TStateGuard::RestoreLine);
    const TJExpr* literal = parser_.ParseFunctionText(text);
    if (!literal) return;
    TJValue function;
    Evaluate(literal, function);
    // The expression sees the running call of the calling function, its statics and
    // its namespace.
    function.vFunction()->GetSymbolTable()->SetParent(current_->NearestFunction());
    CallFunction(function, nullptr, result, thisObject);
}

void TJEngine::CallCallable(const TJValue& callable, const TJValueList* args, TJValue& result,
                            TJObject* thisObject) {
    result.SetUndefined();
    if (clearing_) return;  // objects that die with the run fire nothing
    try {
        if (callable.IsFunction()) CallBack(callable, args ? args->Items() : TJArgs(), result, thisObject);
        else if (callable.IsStringLike()) Eval(callable.AsString().view(), thisObject, result);
    } catch (const EJException& e) {
        if (!mainDone_) throw;
        if (const auto* syntax = dynamic_cast<const EJSyntaxError*>(&e)) ReportError(SyntaxReport(*syntax, currentLine_));
        else if (const auto* error = dynamic_cast<const EJThrow*>(&e)) ReportError(RuntimeReport(*error, currentLine_));
        else if (dynamic_cast<const EJAbort*>(&e)) ReportError(AbortReport(currentLine_));
    }
}

void TJEngine::Invoke(const TJValue& callable, const TJValueList* args, TJValue& result, TJObject* thisObject) {
    CallCallable(callable, args, result, thisObject);
}

void TJEngine::CallBack(const TJValue& function, TJArgs args, TJValue& result, TJObject* thisObject) {
    IJFunction* fn = function.vFunction();
    if (fn && fn->GetFuncType() == fkScript) {
        result.SetUndefined();
        const TJRef<IJFunction> keep(fn);  // whatever held it may let go during the call
        CallScript(fn, args, result, thisObject);
        return;
    }
    // Native methods take their arguments as a list.
    TArguments list(*this);
    for (const TJValue& value : args) list.List().Add(value);
    CallFunction(function, &list.List(), result, thisObject);
}

bool TJEngine::FindVariable(std::string_view name, TJValue& value) { return current_->GetValue(name, value); }

bool TJEngine::FindImportFile(std::string_view name, std::string& path) { return parser_.FindFile(name, path); }

// ---------------------------------------------------------------------------
// Hooks

void TJEngine::WriteStdout(std::string_view text) {
    if (OnStdout) OnStdout(text);
}

void TJEngine::WriteStderr(std::string_view text) {
    if (OnStderr) OnStderr(text);
}

void TJEngine::ReadStdin(std::string& text, bool& success, int count, bool line) {
    if (OnStdin) OnStdin(text, success, count, line);
}

void TJEngine::ReportError(std::string_view text) {
    errorReported_ = true;
    std::string line(text);
    line += "\r\n";
    WriteStderr(line);
    if (OnError) OnError(currentLine_, text);
}

void TJEngine::SetDebugOutput(std::function<void(const std::string&)> callback) {
    parser_.Lex().OnDebugout = std::move(callback);
}

}  // namespace kestrel
