// TJBaseSocketObject: events, properties, connection methods and the error mapping.
#include "script/net/ecma_socket_object.h"

#include <algorithm>
#include <cmath>

#include "script/ext/ext_common.h"
#include "script/lib/ecma_number_object.h"

namespace kestrel {

using ext::Arg;

namespace {

constexpr std::string_view kLineEnd = "\r\n";

TJBaseSocketObject& Base(TJObject& self) { return static_cast<TJBaseSocketObject&>(self); }

// The byte count a read asks for: -1 (until the connection closes) without one or for
// a negative one.
std::int64_t ReadCount(const TJValue* arg) {
    if (!arg) return -1;
    const double count = std::trunc(arg->AsDouble());
    if (!(count >= 0)) return -1;
    return static_cast<std::int64_t>(std::min(count, static_cast<double>(TJString::kMaxLength) + 1));
}

// Count bytes, or everything until the peer closes, never more than a script text holds.
std::string ReadText(TgSocket& socket, std::int64_t count) {
    std::string text;
    const std::size_t block = static_cast<std::size_t>(socket.BufferSize());
    for (;;) {
        std::size_t want = block;
        if (count >= 0) want = std::min<std::uint64_t>(want, static_cast<std::uint64_t>(count) - text.size());
        if (want == 0) return text;
        if (text.size() + want > TJString::kMaxLength) {
            // At the limit: more is an error only when the peer has more.
            want = TJString::kMaxLength - text.size();
            if (want == 0) {
                char probe;
                if (socket.Receive(&probe, 1) != 0) throw ELocalError("text too long");
                return text;
            }
        }
        const std::size_t have = text.size();
        text.resize(have + want);
        const std::size_t got = socket.Receive(text.data() + have, want);
        text.resize(have + got);
        if (got == 0) return text;
    }
}

// Connection methods. Methods with aliases are made once per name, so that an error
// names the method the script called.
template <const char* Name>
void Connect(TJObject& self, const TJValueList*, TJValue& result) {
    TJBaseSocketObject& object = Base(self);
    object.Guard(Name, [&] { object.OpenConnection(); });
    result.BuildObject(&self);
}

template <const char* Name>
void Disconnect(TJObject& self, const TJValueList*, TJValue& result) {
    TJBaseSocketObject& object = Base(self);
    object.Guard(Name, [&] { object.Socket().Disconnect(); });
    result.BuildObject(&self);
}

void Read(TJObject& self, const TJValueList* args, TJValue& result) {
    TJBaseSocketObject& object = Base(self);
    const std::int64_t count = ReadCount(Arg(args, 0));
    std::string text;
    object.Guard("read", [&] { text = ReadText(object.Socket(), count); });
    result.BuildString(TJString(text));
}

void ReadLine(TJObject& self, const TJValueList*, TJValue& result) {
    TJBaseSocketObject& object = Base(self);
    std::string line;
    object.Guard("readln", [&] { line = object.Socket().ReadLine(TJString::kMaxLength); });
    result.BuildString(TJString(line));
}

void Write(TJObject& self, const TJValueList* args, TJValue& result) {
    TJBaseSocketObject& object = Base(self);
    result.BuildObject(&self);
    const TJValue* text = Arg(args, 0);
    if (!text) return;
    const TJString bytes = text->AsString();
    object.Guard("write", [&] { object.Socket().SendText(std::string(bytes.view())); });
}

void WriteLine(TJObject& self, const TJValueList* args, TJValue& result) {
    TJBaseSocketObject& object = Base(self);
    result.BuildObject(&self);
    std::string line;
    if (const TJValue* text = Arg(args, 0)) text->AppendString(line);
    line += kLineEnd;
    object.Guard("writeln", [&] { object.Socket().SendText(line); });
}

void Capture(TJObject& self, const TJValueList* args, TJValue& result) {
    TJBaseSocketObject& object = Base(self);
    result.BuildObject(&self);
    const TJValue* name = Arg(args, 0);
    if (!name) return;
    const std::string file(name->AsString().view());
    object.Guard("capture", [&] { object.Socket().ReceiveFile(file); });
}

constexpr char kConnect[] = "connect";
constexpr char kOpen[] = "open";
constexpr char kDisconnect[] = "disconnect";
constexpr char kClose[] = "close";

// Properties.
std::int64_t GetTimeout(TJObject& self, int) { return Base(self).Socket().Timeout; }
void SetTimeout(TJObject& self, int, std::int64_t value) { Base(self).Socket().Timeout = static_cast<int>(value); }
std::int64_t GetDebug(TJObject& self, int) { return Base(self).Debug ? 1 : 0; }
void SetDebug(TJObject& self, int, std::int64_t value) { Base(self).Debug = value != 0; }

enum TCounter { kTotal, kRead, kWrote };
// Scripts see the low 32 bits of the 64-bit counters.
std::int64_t GetCounter(TJObject& self, int which) {
    const TgSocket& socket = Base(self).Socket();
    const std::uint64_t value = which == kTotal ? socket.BytesTotal : which == kRead ? socket.BytesRead : socket.BytesWrote;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// Holds a count on an object for a handler's call and gives it back without ending the
// object, so that a handler of an object no variable holds cannot free it mid-call.
class TCallHold {
public:
    explicit TCallHold(TJObject& object) : object_(object) { object_.IncRef(); }
    ~TCallHold() { object_.ReleaseToCaller(); }
    TCallHold(const TCallHold&) = delete;
    TCallHold& operator=(const TCallHold&) = delete;

private:
    TJObject& object_;
};

}  // namespace

TJBaseSocketObject::TJBaseSocketObject(TJBaseEngine* engine, const TJValueList* param, std::string_view errorPrefix,
                                       std::unique_ptr<TgSocket> socket, std::string_view errorSuffix)
    : TJObject(engine, param), errorPrefix_(errorPrefix), errorSuffix_(errorSuffix), socket_(std::move(socket)) {
    socket_->StatusLevel = kStatusNormal;
    BindSocketEvents();
}

TJBaseSocketObject::~TJBaseSocketObject() {
    // The connection closes after the object is gone: no handler may run then.
    socket_->OnStatus = nullptr;
    socket_->OnConnect = nullptr;
    socket_->OnDisconnect = nullptr;
    socket_->OnError = nullptr;
    socket_->OnPacketRecvd = nullptr;
    socket_->OnPacketSent = nullptr;
    socket_->OnIdle = nullptr;
}

void TJBaseSocketObject::Fail(std::string_view method) const {
    std::string message = errorPrefix_;
    message += '.';
    message += method;
    message += errorSuffix_;
    ThrowError(kSocketErrorName, message);
}

void TJBaseSocketObject::RegisterEvents() {
    for (std::string_view name : {"onStatus", "onConnect", "onDisconnect", "onError", "onPacketRecvd", "onPacketSend"})
        RegisterEvent(name);
}

void TJBaseSocketObject::BindSocketEvents() {
    socket_->OnStatus = [this](TgSocket&, const std::string& text) {
        try {
            ReportStatus(text);
        } catch (const EJStatement&) {
            pending_ = std::current_exception();
            throw;
        } catch (const EJAbort&) {
            pending_ = std::current_exception();
            throw;
        }
    };
    socket_->OnConnect = [this](TgSocket&) { FireEvent("onConnect"); };
    socket_->OnDisconnect = [this](TgSocket&) { FireEvent("onDisconnect"); };
    socket_->OnError = [this](TgSocket&, int code, const std::string& text) {
        FireEvent("onError", {IntegerValue(code), StringValue(TJString(text))});
    };
    socket_->OnPacketRecvd = [this](TgSocket&, std::int64_t count, bool& cancel) {
        cancel = StopRequested() || FireCancellable(readHandler_, count);
    };
    socket_->OnPacketSent = [this](TgSocket&, std::int64_t count, bool& cancel) {
        cancel = StopRequested() || FireCancellable(writeHandler_, count);
    };
    // Once per second of waiting: a stop the host asked for (Ctrl-C in kestrel) ends
    // the wait instead of the time-out.
    socket_->OnIdle = [this](TgSocket&, bool& abort) { abort = StopRequested(); };
}

bool TJBaseSocketObject::StopRequested() {
    auto* engine = dynamic_cast<TJEngine*>(Engine());
    if (!engine || !engine->AbortFlag || !*engine->AbortFlag) return false;
    // The method ends with the abort itself, not with its own error.
    if (!pending_) pending_ = std::make_exception_ptr(EJAbort());
    return true;
}

void TJBaseSocketObject::ReportStatus(const std::string& text) {
    if (pending_) return;
    if (Debug) {
        if (auto* engine = dynamic_cast<TJEngine*>(Engine()); engine && engine->Global()) {
            TJGlobalBase* global = engine->Global();
            TJValue println;
            if (global->GetValueImpl("println", println, nullptr)) {
                TJValueList args;
                args.AddString(TJString(text));
                TJValue ignored;
                engine->Invoke(println, &args, ignored, global);
                ForgetDataHandlers();  // println may be the script's own function
            }
        }
    }
    FireEvent("onStatus", {StringValue(TJString(text))});
}

bool TJBaseSocketObject::FireEvent(std::string_view name, std::initializer_list<TJValue> extra) {
    // After an exit or abort nothing more of the script runs.
    if (pending_ || IsDying() || !HasEventHandler(name)) return false;
    TCallHold hold(*this);
    TJValueList args;
    args.AddObject(this);
    for (const TJValue& value : extra) args.Add(value);
    TJValue result;
    ForgetDataHandlers();
    CallEvent({}, name, result, &args);
    return true;
}

bool TJBaseSocketObject::FireCancellable(TDataHandler& handler, std::int64_t count) {
    if (pending_) return true;
    if (!handler.known) {
        handler.chosen = HasEventHandler(handler.name)       ? handler.name
                         : HasEventHandler(handler.fallback) ? handler.fallback
                                                             : std::string_view();
        handler.known = true;
    }
    if (IsDying() || handler.chosen.empty()) return false;
    TCallHold hold(*this);
    auto* answer = TJObject::New<TJBooleanObject>(Engine(), false);
    TJValueList args;
    args.AddObject(this);
    args.Add(ext::SizeValue(count));
    args.AddObject(answer);  // the list's count keeps it for the call
    TJValue result;
    ForgetDataHandlers();
    CallEvent({}, handler.chosen, result, &args);
    const bool cancel = answer->Value();  // read while the list still holds the object
    return cancel;
}

const TJPropertyTable& TJBaseSocketObject::BaseProperties() {
    static const TJPropertyTable table{
        IntegerProperty("timeout", TJOrdinalType::S32, &GetTimeout, &SetTimeout),
        BooleanProperty("debug", &GetDebug, &SetDebug),
        IntegerProperty("bytesTotal", TJOrdinalType::S32, &GetCounter, nullptr, kTotal),
        IntegerProperty("bytesRead", TJOrdinalType::S32, &GetCounter, nullptr, kRead),
        IntegerProperty("bytesWrote", TJOrdinalType::S32, &GetCounter, nullptr, kWrote),
    };
    return table;
}

const TJMethodTable& TJBaseSocketObject::ConnectionMethods() {
    using M = TJMethodTable;
    static const TJMethodTable table{{
                                         M::Method("connect", &Connect<kConnect>),
                                         M::Method("open", &Connect<kOpen>),
                                         M::Method("disconnect", &Disconnect<kDisconnect>),
                                         M::Method("close", &Disconnect<kClose>),
                                         M::Method("read", &Read),
                                         M::Method("readln", &ReadLine),
                                         M::Method("write", &Write),
                                         M::Method("writeln", &WriteLine),
                                         M::Method("capture", &Capture),
                                     },
                                     &BaseMethods()};
    return table;
}

}  // namespace kestrel
