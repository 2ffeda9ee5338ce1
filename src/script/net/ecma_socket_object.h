// TJBaseSocketObject: what every script object that wraps a TgSocket shares (TCPSocket,
// HTTP, HTTPS and the mail clients): the connection's events turned into calls of the
// script's handlers, the properties `timeout`, `debug` and the byte counters, the
// connection methods (connect, read, readln, write, ...), and the one error a method
// raises for any failure of its connection: "ESocketError" "<Class>.<method> error".
//
// A subclass passes its connection to the constructor, registers its event names,
// chains its property and method tables to the ones here and runs each of its
// operations through Guard.
#pragma once

#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "script/core/ecma_engine.h"
#include "script/net/net_socket.h"

namespace kestrel {

// The transfer buffer of every script connection.
inline constexpr int kScriptSocketBufferSize = 65536;
// The error name of every failed network method.
inline constexpr std::string_view kSocketErrorName = "ESocketError";

class TJBaseSocketObject : public TJObject {
public:
    // ErrorPrefix names the class in error messages ("TCPSocket", "HTTP", ...);
    // ErrorSuffix ends them (the mail objects' messages have none).
    TJBaseSocketObject(TJBaseEngine* engine, const TJValueList* param, std::string_view errorPrefix,
                       std::unique_ptr<TgSocket> socket, std::string_view errorSuffix = " error");
    ~TJBaseSocketObject() override;

    const TJPropertyTable* PublishedProperties() const override { return &BaseProperties(); }
    const TJMethodTable* SharedMethods() const override { return &ConnectionMethods(); }

    TgSocket& Socket() noexcept { return *socket_; }
    // What the script's connect/open does: a plain connection to the socket's host
    // and port unless the object's protocol needs more.
    virtual void OpenConnection() { socket_->Connect(); }
    // When set, every status text is printed with the global println before onStatus.
    bool Debug = false;

    // Runs Work. A failure of the connection or client becomes the script error
    // "<prefix>.<method> error"; script errors, exit and abort raised by the script's
    // handlers pass unchanged, also when the connection swallowed them, and so does
    // the abort of a stop the host asked for while the connection waited.
    template <class F>
    void Guard(std::string_view method, F&& work) {
        ForgetDataHandlers();
        try {
            work();
        } catch (const EJException&) {
            pending_ = nullptr;
            throw;
        } catch (const std::exception&) {
            if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
            Fail(method);
        }
        if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
    }
    // Raises "ESocketError" "<prefix>.<method><suffix>".
    [[noreturn]] void Fail(std::string_view method) const;

    // The properties and methods every socket object has, as parents of a subclass's tables.
    static const TJPropertyTable& BaseProperties();
    // connect/open, disconnect/close, read, readln, write, writeln, capture.
    static const TJMethodTable& ConnectionMethods();

protected:
    // The events every socket object lists: "onStatus", "onConnect", "onDisconnect",
    // "onError", "onPacketRecvd", "onPacketSend".
    void RegisterEvents() override;
    // Calls the handler Name with this object and Extra arguments when the script set
    // one (and a script runs). Whether one was called.
    bool FireEvent(std::string_view name, std::initializer_list<TJValue> extra = {});

private:
    // The handler a data event calls, looked up once until script code may have run:
    // looking up a member the script never set costs more than handing over a line
    // read ahead, and a data event comes once per line.
    struct TDataHandler {
        std::string_view name, fallback;
        bool known = false;
        std::string_view chosen;  // empty: the script set neither
    };
    // A data event: the handler Name (else Fallback) gets this object, Count and a
    // Boolean object; its value afterwards is the answer (true: cancel).
    bool FireCancellable(TDataHandler& handler, std::int64_t count);
    // At the start of an operation and after any script code ran (a handler may set
    // or remove another).
    void ForgetDataHandlers() noexcept { readHandler_.known = writeHandler_.known = false; }

    void BindSocketEvents();
    // Whether the host asked the script to stop; the abort is then pending.
    bool StopRequested();
    void ReportStatus(const std::string& text);

    std::string errorPrefix_;
    std::string errorSuffix_;
    std::unique_ptr<TgSocket> socket_;
    // An exit or abort raised by a handler whose exceptions the connection swallows
    // (onStatus), or the host's stop: raised once the connection's operation returns.
    std::exception_ptr pending_;
    TDataHandler readHandler_{"onRead", "onPacketRecvd", false, {}};
    TDataHandler writeHandler_{"onWrite", "onPacketSend", false, {}};
};

}  // namespace kestrel
