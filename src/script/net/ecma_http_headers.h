// The header objects an HTTP object carries: Request, whose text members are the
// headers of the next request, and Response, which holds the status, the cookies and
// the headers of the last answer that succeeded. Neither is a registered class.
#pragma once

#include "script/core/ecma_engine.h"
#include "script/net/net_http.h"

namespace kestrel {

class TJCookieObject;

class TJRequestObject : public TJObject {
public:
    TJRequestObject(TJBaseEngine* engine, const TJValueList* param);

    // "name: value" for every text member, joined by CR LF.
    TJString ToString(const TJValue* = nullptr) override;
    // Headers back at their defaults, then every text member added as a header.
    void FillHeaders(TRequestHeaders& headers);
};

class TJResponseObject : public TJObject {
public:
    TJResponseObject(TJBaseEngine* engine, const TJValueList* param);
    ~TJResponseObject() override;

    const TJPropertyTable* PublishedProperties() const override;
    // "HTTP/" version " " code " " text, then the header lines.
    TJString ToString(const TJValue* = nullptr) override;

    // The members removed, then the status, the cookies and every header (a member
    // named by the header's lower-case name) taken from Client's last response.
    void Refill(const TgHTTP& client);

    TJCookieObject* Cookie() const noexcept { return cookie_; }
    int Code() const noexcept { return code_; }
    const std::string& Text() const noexcept { return text_; }
    const std::string& Version() const noexcept { return version_; }

private:
    TJCookieObject* cookie_;
    int code_ = kStatusNotANumber;  // until the first response
    std::string text_;
    std::string version_;
};

}  // namespace kestrel
