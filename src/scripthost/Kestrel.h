// The engine component: how a host program uses the script engine.
//
// TKestrel owns one engine, registers the extension libraries with it, turns the
// engine's hooks into events that name the component as their sender, converts host
// values into the argument list of a run, and times compiling and running. It knows
// nothing of Qt, so the terminal runner uses it as the colour tool does.
//
// Ownership: whoever makes the component frees it (the script menu makes one per
// run); the engine and every object of its runs go with it. It must not be freed
// from inside one of its own event handlers.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "script/core/ecma_engine.h"

namespace tinctor {

class TKestrel;

// The events, each with the component as Sender.
using TStringEvent = std::function<void(TKestrel& sender, std::string_view s)>;
// Count is the number of characters wanted (-1: all there is); Line asks for a whole line.
using TReadStringEvent = std::function<void(TKestrel& sender, std::string& s, bool& success, int count, bool line)>;
// Abort is false on entry; a handler that sets it stops the script (or the event loop).
using TStepEvent = std::function<void(TKestrel& sender, bool& abort)>;
using TNewObjectEvent = std::function<void(TKestrel& sender, kestrel::TJObject* object)>;
using TErrorEvent = std::function<void(TKestrel& sender, int lineNo, std::string_view msg)>;
using TNotifyEvent = std::function<void(TKestrel& sender)>;

// A value the host hands to a run. Integers, booleans, single characters, floating
// point numbers, texts (also UTF-16 and zero-terminated ones), script objects, variants
// (script values of the kinds a variant can hold) and 64-bit integers convert; any
// other pointer becomes undefined.
class THostValue {
public:
    THostValue(int v) : value_(static_cast<std::int32_t>(v)) {}
    THostValue(bool v) : value_(v) {}
    THostValue(char v) : value_(v) {}
    THostValue(char16_t v) : value_(v) {}
    THostValue(double v) : value_(v) {}
    THostValue(long double v) : value_(static_cast<double>(v)) {}
    THostValue(std::string_view v) : value_(std::string(v)) {}
    THostValue(const std::string& v) : value_(v) {}
    THostValue(const char* v) : value_(v ? std::string(v) : std::string()) {}
    THostValue(std::u16string_view v) : value_(std::u16string(v)) {}
    THostValue(const std::u16string& v) : value_(v) {}
    THostValue(const char16_t* v) : value_(v ? std::u16string(v) : std::u16string()) {}
    THostValue(kestrel::TJObject* v) : value_(v) {}
    THostValue(const kestrel::TJValue& variant) : value_(TVariant{variant}) {}
    THostValue(long long v) : value_(static_cast<std::int64_t>(v)) {}
    THostValue(long v) : value_(static_cast<std::int64_t>(v)) {}
    THostValue(const void*) : value_(std::monostate{}) {}

    // The script value of the host value.
    kestrel::TJValue ToScript() const;

private:
    struct TVariant {
        kestrel::TJValue Value;
    };
    std::variant<std::monostate, std::int32_t, bool, char, char16_t, double, std::string, std::u16string,
                 kestrel::TJObject*, TVariant, std::int64_t>
        value_;
};

class TKestrel {
public:
    // Makes the engine with this component as its owner, then imports the libraries.
    TKestrel();
    // Clears the engine, then frees it.
    virtual ~TKestrel();
    TKestrel(const TKestrel&) = delete;
    TKestrel& operator=(const TKestrel&) = delete;

    // --- properties ----------------------------------------------------------------
    // The parser's library path, searched by import; assigning replaces its entries.
    const std::vector<std::string>& LibraryPath() const;
    void SetLibraryPath(const std::vector<std::string>& folders);
    // Dialogs, window handles and window events for scripts (none: boxes answer as
    // dismissed at once). The host outlives the component's runs.
    kestrel::TJHost* Host() const noexcept { return engine_->Host; }
    void SetHost(kestrel::TJHost* host) noexcept { engine_->Host = host; }
    // Whether the program is a console program (the script's isConsole()).
    bool IsConsole() const noexcept { return engine_->IsConsole; }
    void SetIsConsole(bool value) noexcept { engine_->IsConsole = value; }
    // Compile files through compiled-tree files.
    bool CompiledBinary() const noexcept { return compiledBinary_; }
    void SetCompiledBinary(bool value) noexcept { compiledBinary_ = value; }

    // --- events: assigning one installs the engine's hook, assigning none removes it --
    const TStringEvent& OnStdout() const noexcept { return onStdout_; }
    void SetOnStdout(TStringEvent handler);
    // Error output, the error reports included (LastErrorText records them either way).
    const TStringEvent& OnStderr() const noexcept { return onStderr_; }
    void SetOnStderr(TStringEvent handler);
    // The lexer's token trace.
    const TStringEvent& OnDebugout() const noexcept { return onDebugout_; }
    void SetOnDebugout(TStringEvent handler);
    const TNewObjectEvent& OnNewObject() const noexcept { return onNewObject_; }
    void SetOnNewObject(TNewObjectEvent handler);
    // A run starts (its arguments are set).
    const TNotifyEvent& OnRun() const noexcept { return onRun_; }
    void SetOnRun(TNotifyEvent handler);
    // A run has ended (after its event loop).
    const TNotifyEvent& OnDone() const noexcept { return onDone_; }
    void SetOnDone(TNotifyEvent handler);
    // Before every statement.
    const TStepEvent& OnStep() const noexcept { return onStep_; }
    void SetOnStep(TStepEvent handler);
    const TReadStringEvent& OnStdin() const noexcept { return onStdin_; }
    void SetOnStdin(TReadStringEvent handler);
    // An error report without its line end, with the line it belongs to.
    const TErrorEvent& OnError() const noexcept { return onError_; }
    void SetOnError(TErrorEvent handler);
    // Each step of the event loop; the host lets its pending window events through here.
    const TStepEvent& OnDoEvents() const noexcept { return onDoEvents_; }
    void SetOnDoEvents(TStepEvent handler);

    // --- operations ------------------------------------------------------------------
    // Registers a host class under a script-visible name.
    void ImportObject(std::string_view name, const kestrel::TJObjectClass* cls);
    // Compiles a script file, timed into CompileTime; false when it does not exist or
    // does not compile (the latter is reported).
    bool CompileFile(const std::string& fileName);
    // Runs the compiled script with the values as `arguments`; the run's result.
    int Run(std::span<const THostValue> values);
    int Run(std::initializer_list<THostValue> values) { return Run(std::span(values.begin(), values.size())); }
    // Runs with a ready argument list (or none), timed into RunTime.
    int RunWithList(const kestrel::TJValueList* list);
    // Forgets everything the last run made.
    void Clear();

    kestrel::TJEngine& Engine() noexcept { return *engine_; }
    // Milliseconds of the last compile and of the last run.
    std::int64_t CompileTime() const noexcept { return compileTime_; }
    std::int64_t RunTime() const noexcept { return runTime_; }
    // The last text written to the error output.
    const std::string& LastErrorText() const noexcept { return lastErrorText_; }

protected:
    // Registers the extension libraries with the engine. The constructor runs this
    // class's own; a derived component imports its further classes in its constructor.
    virtual void ImportLibraries();

private:
    std::unique_ptr<kestrel::TJEngine> engine_;
    std::string lastErrorText_;
    std::int64_t compileTime_ = 0;
    std::int64_t runTime_ = 0;
    bool compiledBinary_ = false;
    TStringEvent onStdout_;
    TStringEvent onStderr_;
    TStringEvent onDebugout_;
    TNewObjectEvent onNewObject_;
    TNotifyEvent onRun_;
    TNotifyEvent onDone_;
    TStepEvent onStep_;
    TReadStringEvent onStdin_;
    TErrorEvent onError_;
    TStepEvent onDoEvents_;
};

}  // namespace tinctor
