// TJGlobalObject: console output, exit, the event loop switches, sleep and the tests
// for null and undefined.
#include <chrono>
#include <thread>

#include "script/lib/ecma_object.h"

namespace kestrel {

namespace {

const TJValue* Arg(const TJValueList* args, int index) { return args ? args->Get(index) : nullptr; }

TJObject* GetArguments(TJObject& self, int) { return static_cast<TJGlobalObject&>(self).Arguments(); }

std::int64_t GetTerminated(TJObject& self, int) { return static_cast<TJGlobalObject&>(self).Terminated ? 1 : 0; }

const TJPropertyTable& GlobalProperties() {
    static const TJPropertyTable table{
        ObjectProperty("arguments", nullptr, &GetArguments, nullptr),
        BooleanProperty("terminated", &GetTerminated, nullptr),
    };
    return table;
}

}  // namespace

TJGlobalObject::TJGlobalObject(TJBaseEngine* engine, const TJValueList* param)
    : TJGlobalBase(engine, param), arguments_(TJObject::New<TJArrayObject>(engine, false)) {
    SetObjectName("Global");
    arguments_->IncRef();
}

TJGlobalObject::~TJGlobalObject() { arguments_->DecRef(); }

const TJPropertyTable* TJGlobalObject::PublishedProperties() const { return &GlobalProperties(); }

void TJGlobalObject::RegisterMethods() {
    TJObject::RegisterMethods();
    RegisterMethod<&TJGlobalObject::Print>("print");
    RegisterMethod<&TJGlobalObject::Print>("write");
    RegisterMethod<&TJGlobalObject::PrintLine>("println");
    RegisterMethod<&TJGlobalObject::PrintLine>("writeln");
    RegisterMethod<&TJGlobalObject::Exit>("exit");
    RegisterMethod<&TJGlobalObject::EventLoop>("eventLoop");
    RegisterMethod<&TJGlobalObject::Terminate>("terminate");
    RegisterMethod<&TJGlobalObject::DoEvents>("doEvents");
    RegisterMethod<&TJGlobalObject::Sleep>("sleep");
    RegisterMethod<&TJGlobalObject::IsNull>("isNull");
    RegisterMethod<&TJGlobalObject::IsUndefined>("isUndefined");
    RegisterMethod<&TJGlobalObject::Eval>("eval");
}

void TJGlobalObject::SetArguments(const TJValueList* args) {
    if (args) arguments_->Items().Assign(*args);
    else arguments_->Items().Clear();
}

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

void TJGlobalObject::Exit(const TJValueList* args, TJValue&) { throw EJExit(AsInteger(Arg(args, 0))); }

void TJGlobalObject::EventLoop(const TJValueList*, TJValue&) { Terminated = false; }

void TJGlobalObject::Terminate(const TJValueList*, TJValue&) { Terminated = true; }

void TJGlobalObject::DoEvents(const TJValueList*, TJValue& result) {
    auto* engine = dynamic_cast<TJEngine*>(Engine());
    result.BuildBool(engine && engine->DoEvents());
}

void TJGlobalObject::Sleep(const TJValueList* args, TJValue& result) {
    const std::int32_t ms = AsInteger(Arg(args, 0));
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    result.BuildObject(this);
}

void TJGlobalObject::IsNull(const TJValueList* args, TJValue& result) {
    const TJValue* v = Arg(args, 0);
    result.BuildBool(v && v->IsNull());
}

void TJGlobalObject::IsUndefined(const TJValueList* args, TJValue& result) {
    const TJValue* v = Arg(args, 0);
    result.BuildBool(v && v->IsUndefined());
}

void TJGlobalObject::Eval(const TJValueList* args, TJValue& result) {
    const TJValue* code = Arg(args, 0);
    auto* engine = dynamic_cast<TJEngine*>(Engine());
    if (!code || !engine) return;
    engine->Eval(code->AsString().view(), nullptr, result);
}

}  // namespace kestrel
