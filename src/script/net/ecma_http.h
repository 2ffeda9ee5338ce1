// The HTTP and HTTPS objects: the web client for scripts. Complete requests (get,
// getFile, post, head) with the request headers taken from `requestHeader` and the
// answer's status, cookies and headers put into `responseHeader`; the single steps
// (request, response) and the connection methods for scripts that speak HTTP themselves.
#pragma once

#include "script/net/ecma_socket_object.h"
#include "script/net/net_http.h"

namespace kestrel {

class TJRequestObject;
class TJResponseObject;

class TJHTTPObject : public TJBaseSocketObject {
public:
    TJHTTPObject(TJBaseEngine* engine, const TJValueList* param);
    ~TJHTTPObject() override;

    const TJPropertyTable* PublishedProperties() const override;
    const TJMethodTable* SharedMethods() const override;

    TgHTTP& Client() noexcept { return static_cast<TgHTTP&>(Socket()); }
    TJRequestObject* RequestHeader() const noexcept { return request_; }
    TJResponseObject* ResponseHeader() const noexcept { return response_; }

    // Before a request: the client's headers from `requestHeader`.
    void SendHeaders();
    // After a response was read: `responseHeader` from the client.
    void TakeResponse();

protected:
    // A subclass's client in place of the plain one.
    TJHTTPObject(TJBaseEngine* engine, const TJValueList* param, std::unique_ptr<TgHTTP> client);
    // The socket events and "onRequest", "onResponse", "onFailure", "onSuccess".
    void RegisterEvents() override;

private:
    TJRequestObject* request_;
    TJResponseObject* response_;
};

// The same over TLS for "https" addresses (plain HTTP for others).
class TJHTTPSObject : public TJHTTPObject {
public:
    TJHTTPSObject(TJBaseEngine* engine, const TJValueList* param);

    // connect/open speak TLS, as every request to an https address does.
    void OpenConnection() override;
};

}  // namespace kestrel
