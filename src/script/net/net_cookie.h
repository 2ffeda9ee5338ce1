// TCookie: the cookies of one response or one script object, with the attributes of
// the Set-Cookie text they came from, and the cookie date form.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "script/core/hashtable.h"

namespace kestrel {

// Day number of 1970-01-01 counted from 1899-12-30, the origin of cookie and mail dates.
inline constexpr double kUnixEpochDay = 25569;

class TCookie {
public:
    TCookie();
    TCookie(const TCookie& other);
    TCookie& operator=(const TCookie& other);

    std::string Domain;
    std::string Path = "/";
    double Expires = 0;  // a day number since 1899-12-30 (UTC); 0 for none
    bool Secure = false;

    void Clear();
    void Assign(const TCookie& other) { *this = other; }
    std::string Get(std::string_view name) const { return values_.Get(name); }
    bool Has(std::string_view name) const { return values_.HasKey(name); }
    void Set(std::string_view name, std::string value) { values_.Put(name, std::move(value)); }
    bool Remove(std::string_view name) { return values_.Remove(name); }
    std::size_t Count() const { return values_.Count(); }
    // The names in the table's key-list order.
    const std::vector<std::string>& Names() const { return values_.Keys(); }

    // Domain and Path from Address, then every "name=value" piece of Text: expires,
    // domain and path set the attributes, any other name is stored as a cookie.
    void Parse(std::string_view address, std::string_view text);
    // "name=value;" for every cookie with a value.
    std::string RequestText() const;
    // The attributes, then every cookie.
    std::string SetCookieText() const;

private:
    TCustomHashTable<std::string> values_;
};

// "Wed, 09 Jun 2021 10:18:14 GMT" of a day number.
std::string FormatCookieDate(double days);
// RFC 1123, RFC 850, "Wed, 09-Jun-2021 10:18:14 GMT" and asctime forms; 0 when the
// text is none of them.
double ParseCookieDate(std::string_view text);

}  // namespace kestrel
