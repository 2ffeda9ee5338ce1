#include "scripthost/Kestrel.h"

#include <chrono>

#include "script/ext/ecma_extensions.h"
#include "script/lib/ecma_object.h"
#include "script/net/ecma_mail.h"
#include "script/net/ecma_net_objects.h"
#include "util/CodePage.h"

namespace tinctor {

using kestrel::TJString;
using kestrel::TJValue;

namespace {

// Stores the milliseconds from its making to its end, also when an exception ends it.
class TStopwatch {
public:
    explicit TStopwatch(std::int64_t& target) : target_(target), start_(std::chrono::steady_clock::now()) {}
    ~TStopwatch() {
        target_ = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_)
                      .count();
    }
    TStopwatch(const TStopwatch&) = delete;
    TStopwatch& operator=(const TStopwatch&) = delete;

private:
    std::int64_t& target_;
    std::chrono::steady_clock::time_point start_;
};

TJValue TextValue(std::string text) { return kestrel::StringValue(TJString(std::move(text))); }

}  // namespace

TJValue THostValue::ToScript() const {
    struct TConvert {
        TJValue operator()(std::monostate) const { return TJValue(); }
        TJValue operator()(std::int32_t v) const { return kestrel::IntegerValue(v); }
        TJValue operator()(bool v) const { return kestrel::BoolValue(v); }
        TJValue operator()(char v) const { return TextValue(std::string(1, v)); }
        TJValue operator()(char16_t v) const { return TextValue(CodePage::Current().FromUtf16(std::u16string(1, v))); }
        TJValue operator()(double v) const { return kestrel::DoubleValue(v); }
        TJValue operator()(const std::string& v) const { return TextValue(v); }
        TJValue operator()(const std::u16string& v) const { return TextValue(CodePage::Current().FromUtf16(v)); }
        // A null object is no object: undefined, not null.
        TJValue operator()(kestrel::TJObject* v) const { return v ? kestrel::ObjectValue(v) : TJValue(); }
        TJValue operator()(const TVariant& v) const { return kestrel::VariantOfValue(v.Value); }
        TJValue operator()(std::int64_t v) const { return kestrel::DoubleValue(static_cast<double>(v)); }
    };
    return std::visit(TConvert{}, value_);
}

TKestrel::TKestrel() : engine_(std::make_unique<kestrel::TJEngine>(this)) {
    // Every error report is kept, whether or not a handler listens.
    engine_->OnStderr = [this](std::string_view text) {
        lastErrorText_.assign(text);
        if (onStderr_) onStderr_(*this, text);
    };
    TKestrel::ImportLibraries();
}

TKestrel::~TKestrel() {
    // The objects of the last run die while the component is whole: their destructors
    // may still report (the Colors object applies its colour then).
    Clear();
}

void TKestrel::ImportLibraries() {
    // The extension libraries join here in this order as they are built: the extension
    // objects ("File", "Directory", "Strings", "Win32", "Ini", "CRC", "Base64",
    // "Dialog", "Mutex", "Keyboard", "Mouse", "Clipboard", "RegIni", "StringBuffer"),
    // the network objects ("URL", "Cookie", "HTTP", "HTTPS", "TCPSocket", "Mail",
    // "POP3", "SMTP", "HtmlTag", "HtmlParser", "FTP"), the automation and library-call
    // objects ("ActiveXObject", "Enumerator", "DynaCall", "Struct"), "CheckListBox",
    // and the window-control classes. The engine itself brings the standard classes.
    kestrel::ImportExtensionObjects(*engine_);
    kestrel::ImportNetObjects(*engine_);
    kestrel::ImportMailObjects(*engine_);
    kestrel::ImportCheckListBox(*engine_);
}

const std::vector<std::string>& TKestrel::LibraryPath() const { return engine_->Parser().LibraryPath; }

void TKestrel::SetLibraryPath(const std::vector<std::string>& folders) {
    std::vector<std::string>& path = engine_->Parser().LibraryPath;
    if (&folders != &path) path = folders;
}

void TKestrel::SetOnStdout(TStringEvent handler) {
    onStdout_ = std::move(handler);
    if (onStdout_)
        engine_->OnStdout = [this](std::string_view text) { onStdout_(*this, text); };
    else
        engine_->OnStdout = nullptr;
}

void TKestrel::SetOnStderr(TStringEvent handler) {
    // The engine's hook stays: it records LastErrorText before it calls the handler.
    onStderr_ = std::move(handler);
}

void TKestrel::SetOnDebugout(TStringEvent handler) {
    onDebugout_ = std::move(handler);
    if (onDebugout_)
        engine_->SetDebugOutput([this](const std::string& text) { onDebugout_(*this, text); });
    else
        engine_->SetDebugOutput(nullptr);
}

void TKestrel::SetOnNewObject(TNewObjectEvent handler) {
    onNewObject_ = std::move(handler);
    if (onNewObject_)
        engine_->OnNewObject = [this](kestrel::TJObject* object) { onNewObject_(*this, object); };
    else
        engine_->OnNewObject = nullptr;
}

void TKestrel::SetOnRun(TNotifyEvent handler) {
    onRun_ = std::move(handler);
    if (onRun_)
        engine_->OnRun = [this] { onRun_(*this); };
    else
        engine_->OnRun = nullptr;
}

void TKestrel::SetOnDone(TNotifyEvent handler) {
    onDone_ = std::move(handler);
    if (onDone_)
        engine_->OnDone = [this] { onDone_(*this); };
    else
        engine_->OnDone = nullptr;
}

void TKestrel::SetOnStep(TStepEvent handler) {
    onStep_ = std::move(handler);
    if (onStep_)
        engine_->OnStep = [this](bool& abort) { onStep_(*this, abort); };
    else
        engine_->OnStep = nullptr;
}

void TKestrel::SetOnStdin(TReadStringEvent handler) {
    onStdin_ = std::move(handler);
    if (onStdin_)
        engine_->OnStdin = [this](std::string& text, bool& success, int count, bool line) {
            onStdin_(*this, text, success, count, line);
        };
    else
        engine_->OnStdin = nullptr;
}

void TKestrel::SetOnError(TErrorEvent handler) {
    onError_ = std::move(handler);
    if (onError_)
        engine_->OnError = [this](int line, std::string_view text) { onError_(*this, line, text); };
    else
        engine_->OnError = nullptr;
}

void TKestrel::SetOnDoEvents(TStepEvent handler) {
    onDoEvents_ = std::move(handler);
    if (onDoEvents_)
        engine_->OnDoEvents = [this](bool& abort) { onDoEvents_(*this, abort); };
    else
        engine_->OnDoEvents = nullptr;
}

void TKestrel::ImportObject(std::string_view name, const kestrel::TJObjectClass* cls) {
    engine_->ImportObject(name, cls);
}

bool TKestrel::CompileFile(const std::string& fileName) {
    TStopwatch watch(compileTime_);
    return engine_->CompileFile(fileName, compiledBinary_);
}

int TKestrel::Run(std::span<const THostValue> values) {
    kestrel::TJValueList list;
    for (const THostValue& value : values) list.Add(value.ToScript());
    return RunWithList(&list);
}

int TKestrel::RunWithList(const kestrel::TJValueList* list) {
    TStopwatch watch(runTime_);
    return engine_->Run(nullptr, list);
}

void TKestrel::Clear() { engine_->Clear(); }

}  // namespace tinctor
