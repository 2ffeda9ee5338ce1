// TJGlobalObject: console output and input, dialogs, exit, the event loop, sleep,
// eval, percent coding, number parsing and the engine's version.
#include <chrono>
#include <thread>

#include <vector>

#include "script/lib/ecma_format.h"
#include "script/lib/ecma_object.h"
#include "script/lib/ecma_percent.h"

namespace kestrel {

namespace {

constexpr std::string_view kEngineName = "KeScript";
constexpr std::string_view kEngineVersion = "0.3.5";
constexpr std::int32_t kEngineMajorVersion = 0;
constexpr double kEngineMinorVersion = 3.5;
constexpr std::int32_t kEngineBuildVersion = 35;
// Linux is none of the platform families the dialect names.
constexpr std::string_view kPlatform = "unknown";

constexpr int kAlertFlags = 0x30;    // OK, exclamation
constexpr int kConfirmFlags = 0x21;  // OK/Cancel, question
constexpr int kCancelResult = 2;
constexpr std::string_view kReadError = "read error: STDIN";
constexpr std::string_view kFileError = "EFileError";
constexpr std::string_view kConvertError = "EConvertError";
constexpr std::string_view kLineEnd = "\r\n";

const TJValue* Arg(const TJValueList* args, int index) { return args ? args->Get(index) : nullptr; }

TJGlobalObject& Self(TJObject& o) { return static_cast<TJGlobalObject&>(o); }

TJObject* GetArguments(TJObject& self, int) { return Self(self).Arguments(); }
TJObject* GetFinalizer(TJObject& self, int) { return Self(self).Finalizer(); }
std::int64_t GetTerminated(TJObject& self, int) { return Self(self).Terminated ? 1 : 0; }
std::string GetPlatform(TJObject&, int) { return std::string(kPlatform); }

constexpr int kApplicationHandle = 0;
constexpr int kMainFormHandle = 1;
std::int64_t GetHandle(TJObject& self, int which) {
    const TJEngine* engine = Self(self).ScriptEngine();
    if (!engine || !engine->Host) return 0;
    return which == kApplicationHandle ? engine->Host->ApplicationHandle() : engine->Host->MainFormHandle();
}

// Functions of one argument that give a value (undefined without the argument).
template <void (*F)(const TJValue&, TJValue&)>
void OfArgument(TJObject&, const TJValueList* args, TJValue& result) {
    if (const TJValue* v = Arg(args, 0)) F(*v, result);
}

template <TPercentForm Form>
void Encode(const TJValue& v, TJValue& result) {
    result.BuildString(TJString(PercentEncode(v.AsString().view(), Form)));
}

template <bool PlusIsSpace>
void Decode(const TJValue& v, TJValue& result) {
    result.BuildString(TJString(PercentDecode(v.AsString().view(), PlusIsSpace)));
}

void IsNaN(const TJValue& v, TJValue& result) { result.BuildBool(v.IsNaN()); }

void ParseFloat(const TJValue& v, TJValue& result) {
    if (v.IsNumberLike()) result.BuildDouble(v.AsDouble());
    else result.BuildNaN();
}

void ParseInt(const TJValue& v, TJValue& result) {
    if (v.IsNumberLike()) result.BuildInteger(v.AsInteger());
    else result.BuildNaN();
}

void IsFinite(TJObject&, const TJValueList* args, TJValue& result) {
    const TJValue* v = Arg(args, 0);
    result.BuildBool(v && !v->IsNaN() && !v->IsInfinity());
}

void IsNull(TJObject&, const TJValueList* args, TJValue& result) {
    const TJValue* v = Arg(args, 0);
    result.BuildBool(v && v->IsNull());
}

void IsUndefined(TJObject&, const TJValueList* args, TJValue& result) {
    const TJValue* v = Arg(args, 0);
    result.BuildBool(v && v->IsUndefined());
}

// The "%" language on the script's values: integers stay integers and doubles
// doubles, event values and later kinds are the integer 0, everything else is its
// text. Undefined without a format; a conversion error is an EConvertError.
void FormatValues(const TJValueList* args, TJValue& result) {
    if (!args || args->Empty()) return;
    const int count = args->Count() - 1;
    std::vector<TJString> texts;  // the texts the arguments refer to
    texts.reserve(static_cast<std::size_t>(count));
    std::vector<TFormatArg> values;
    values.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        const TJValue& v = (*args)[i];
        if (v.IsInteger()) {
            values.push_back(TFormatArg::OfInteger(v.vInteger()));
        } else if (v.IsDouble()) {
            values.push_back(TFormatArg::OfFloat(v.vDouble()));
        } else if (v.ValueType() >= vtEvent) {
            values.push_back(TFormatArg::OfInteger(0));
        } else {
            texts.push_back(v.AsString());
            values.push_back(TFormatArg::OfString(texts.back().view()));
        }
    }
    try {
        std::string text = FormatText((*args)[0].AsString().view(), values, RegionalSettings());
        TJString::CheckLength(text.size());
        result.BuildString(TJString(text));
    } catch (const EFormatError& e) {
        ThrowError(kConvertError, e.Message());
    }
}

void FormatFloatMask(TJObject&, const TJValueList* args, TJValue& result) {
    if (!args || args->Count() < 2) return;
    try {
        result.BuildString(TJString(
            FormatFloatMask((*args)[0].AsString().view(), (*args)[1].AsDouble(), RegionalSettings())));
    } catch (const EFormatError& e) {
        ThrowError(kConvertError, e.Message());
    }
}

void EngineName(TJObject&, const TJValueList*, TJValue& result) { result.BuildString(TJString(kEngineName)); }
void EngineVersion(TJObject&, const TJValueList*, TJValue& result) { result.BuildString(TJString(kEngineVersion)); }
void EngineMajorVersion(TJObject&, const TJValueList*, TJValue& result) { result.BuildInteger(kEngineMajorVersion); }
void EngineMinorVersion(TJObject&, const TJValueList*, TJValue& result) { result.BuildDouble(kEngineMinorVersion); }
void EngineBuildVersion(TJObject&, const TJValueList*, TJValue& result) { result.BuildInteger(kEngineBuildVersion); }

const TJPropertyTable& GlobalProperties() {
    static const TJPropertyTable table{
        ObjectProperty("arguments", nullptr, &GetArguments, nullptr),
        ObjectProperty("finalizer", nullptr, &GetFinalizer, nullptr),
        IntegerProperty("applicationHandle", TJOrdinalType::U32, &GetHandle, nullptr, kApplicationHandle),
        IntegerProperty("mainFormHandle", TJOrdinalType::U32, &GetHandle, nullptr, kMainFormHandle),
        BooleanProperty("terminated", &GetTerminated, nullptr),
        StringProperty("platform", &GetPlatform, nullptr),
    };
    return table;
}

}  // namespace

TJGlobalObject::TJGlobalObject(TJBaseEngine* engine, const TJValueList* param)
    : TJGlobalBase(engine, param),
      arguments_(TJObject::New<TJArrayObject>(engine, false)),
      finalizer_(TJObject::New<TJArrayObject>(engine, false)) {
    SetObjectName("Global");
    arguments_->IncRef();
    finalizer_->IncRef();
}

TJGlobalObject::~TJGlobalObject() {
    arguments_->DecRef();
    finalizer_->DecRef();
}

TJEngine* TJGlobalObject::ScriptEngine() const noexcept { return dynamic_cast<TJEngine*>(Engine()); }

const TJPropertyTable* TJGlobalObject::PublishedProperties() const { return &GlobalProperties(); }

const TJMethodTable* TJGlobalObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table(
        {
            M::Method("escape", &OfArgument<&Encode<TPercentForm::Escape>>),
            M::Method("unescape", &OfArgument<&Decode<true>>),
            M::Method("encodeURI", &OfArgument<&Encode<TPercentForm::Uri>>),
            M::Method("encodeURIComponent", &OfArgument<&Encode<TPercentForm::Component>>),
            M::Method("decodeURI", &OfArgument<&Decode<false>>),
            M::Method("decodeURIComponent", &OfArgument<&Decode<false>>),
            M::Method<&TJGlobalObject::Eval>("eval"),
            M::Method("isFinite", &IsFinite),
            M::Method("isNaN", &OfArgument<&IsNaN>),
            M::Method("parseFloat", &OfArgument<&ParseFloat>),
            M::Method("parseInt", &OfArgument<&ParseInt>),
            M::Method<&TJGlobalObject::Print>("print"),
            M::Method<&TJGlobalObject::Print>("write"),
            M::Method<&TJGlobalObject::PrintLine>("println"),
            M::Method<&TJGlobalObject::PrintLine>("writeln"),
            M::Method<&TJGlobalObject::Read>("read"),
            M::Method<&TJGlobalObject::ReadLine>("readln"),
            M::Method<&TJGlobalObject::Alert>("alert"),
            M::Method<&TJGlobalObject::Confirm>("confirm"),
            M::Method<&TJGlobalObject::Prompt>("prompt"),
            M::Method<&TJGlobalObject::TextArea>("textArea"),
            M::Method<&TJGlobalObject::MsgBox>("msgBox"),
            M::Method<&TJGlobalObject::Exit>("exit"),
            M::Method("scriptEngine", &EngineName),
            M::Method("scriptEngineVersion", &EngineVersion),
            M::Method("scriptEngineMajorVersion", &EngineMajorVersion),
            M::Method("scriptEngineMinorVersion", &EngineMinorVersion),
            M::Method("scriptEngineBuildVersion", &EngineBuildVersion),
            M::Method<&TJGlobalObject::IsConsole>("isConsole"),
            M::Method<&TJGlobalObject::Format>("format"),
            M::Method<&TJGlobalObject::Format>("sprintf"),
            M::Method<&TJGlobalObject::Printf>("printf"),
            M::Method<&TJGlobalObject::PrintfLine>("printfln"),
            M::Method("formatFloat", &FormatFloatMask),
            M::Method<&TJGlobalObject::EventLoop>("eventLoop"),
            M::Method<&TJGlobalObject::Terminate>("terminate"),
            M::Method<&TJGlobalObject::DoEvents>("doEvents"),
            M::Method<&TJGlobalObject::Sleep>("sleep"),
            M::Method("isNull", &IsNull),
            M::Method("isUndefined", &IsUndefined),
        },
        &BaseMethods());
    return &table;
}

void TJGlobalObject::SetArguments(const TJValueList* args) {
    if (args) arguments_->Items().Assign(*args);
    else arguments_->Items().Clear();
}

// ---------------------------------------------------------------------------
// Console and input

void TJGlobalObject::Print(const TJValueList* args, TJValue&) {
    if (!args) return;
    for (int i = 0; i < args->Count(); ++i) {
        const TJString text = (*args)[i].AsString();
        if (Output) Output(text.view());
    }
}

void TJGlobalObject::PrintLine(const TJValueList* args, TJValue&) {
    if (!args) return;
    for (int i = 0; i < args->Count(); ++i) {
        std::string text;
        (*args)[i].AppendString(text);
        text += "\r\n";
        if (Output) Output(text);
    }
}

void TJGlobalObject::Format(const TJValueList* args, TJValue& result) { FormatValues(args, result); }

void TJGlobalObject::Printf(const TJValueList* args, TJValue& result) {
    FormatValues(args, result);
    if (Output) Output(result.AsString().view());
}

void TJGlobalObject::PrintfLine(const TJValueList* args, TJValue& result) {
    FormatValues(args, result);
    std::string text;
    result.AppendString(text);
    text += kLineEnd;
    if (Output) Output(text);
}

std::string TJGlobalObject::ReadInput(int count, bool line) {
    std::string text;
    bool success = false;
    if (Input) Input(text, success, count, line);
    if (!success) ThrowError(kFileError, kReadError);
    return text;
}

void TJGlobalObject::Read(const TJValueList* args, TJValue& result) {
    const TJValue* n = Arg(args, 0);
    const std::int32_t count = n ? n->AsInteger() : -1;
    std::string text = ReadInput(count, false);
    if (n) text.resize(std::min<std::size_t>(text.size(), count > 0 ? static_cast<std::size_t>(count) : 0));
    result.BuildString(TJString(text));
}

void TJGlobalObject::ReadLine(const TJValueList*, TJValue& result) {
    result.BuildString(TJString(ReadInput(-1, true)));
}

// ---------------------------------------------------------------------------
// Dialogs

std::string TJGlobalObject::Title() const {
    const TJEngine* engine = ScriptEngine();
    return engine && engine->Host ? engine->Host->ApplicationTitle() : std::string();
}

int TJGlobalObject::ShowBox(std::string_view text, std::string_view caption, int flags) {
    TJEngine* engine = ScriptEngine();
    if (!engine || !engine->Host) return DismissedBoxResult(flags);
    return engine->Host->MessageBox(text, caption, flags);
}

void TJGlobalObject::Alert(const TJValueList* args, TJValue& result) {
    if (const TJValue* message = Arg(args, 0)) ShowBox(message->AsString().view(), Title(), kAlertFlags);
    result.BuildObject(this);
}

void TJGlobalObject::Confirm(const TJValueList* args, TJValue& result) {
    const TJValue* message = Arg(args, 0);
    if (!message) return;
    result.BuildBool(ShowBox(message->AsString().view(), Title(), kConfirmFlags) != kCancelResult);
}

void TJGlobalObject::MsgBox(const TJValueList* args, TJValue& result) {
    const TJValue* text = Arg(args, 0);
    if (!text) return;
    const TJValue* caption = Arg(args, 2);
    const std::string title = caption ? caption->AsString().str() : Title();
    result.BuildInteger(ShowBox(text->AsString().view(), title, AsInteger(Arg(args, 1))));
}

void TJGlobalObject::ShowInput(const TJValueList* args, bool multiLine, TJValue& result) {
    const TJValue* message = Arg(args, 0);
    if (!message) return;
    std::string text = AsString(Arg(args, 1)).str();
    TJEngine* engine = ScriptEngine();
    if (engine && engine->Host && engine->Host->InputBox(message->AsString().view(), multiLine, text))
        result.BuildString(TJString(text));
    else
        result.BuildNull();
}

void TJGlobalObject::Prompt(const TJValueList* args, TJValue& result) { ShowInput(args, false, result); }

void TJGlobalObject::TextArea(const TJValueList* args, TJValue& result) { ShowInput(args, true, result); }

// ---------------------------------------------------------------------------
// The run and the event loop

void TJGlobalObject::Exit(const TJValueList* args, TJValue&) { throw EJExit(AsInteger(Arg(args, 0))); }

void TJGlobalObject::EventLoop(const TJValueList*, TJValue&) { Terminated = false; }

void TJGlobalObject::Terminate(const TJValueList*, TJValue&) { Terminated = true; }

void TJGlobalObject::DoEvents(const TJValueList*, TJValue& result) {
    TJEngine* engine = ScriptEngine();
    result.BuildBool(engine && engine->DoEvents());
}

void TJGlobalObject::Sleep(const TJValueList* args, TJValue& result) {
    // A count of 0 or less is no sleep (never an endless one).
    const std::int32_t ms = AsInteger(Arg(args, 0));
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    result.BuildObject(this);
}

void TJGlobalObject::IsConsole(const TJValueList*, TJValue& result) {
    const TJEngine* engine = ScriptEngine();
    result.BuildBool(engine && engine->IsConsole);
}

void TJGlobalObject::Eval(const TJValueList* args, TJValue& result) {
    const TJValue* code = Arg(args, 0);
    TJEngine* engine = ScriptEngine();
    if (!code || !engine) return;
    engine->Eval(code->AsString().view(), nullptr, result);
}

}  // namespace kestrel
