// The header tables of the web client: what a request sends and what a response said.
#pragma once

#include <string>
#include <string_view>

#include "script/core/hashtable.h"
#include "script/net/net_cookie.h"

namespace kestrel {

// Names compared without regard to case; written in the table's key-list order with
// the name as first stored.
class THeaderTable {
public:
    THeaderTable();
    THeaderTable(const THeaderTable& other);
    THeaderTable& operator=(const THeaderTable& other);

    std::string Get(std::string_view name) const { return values_.Get(name); }
    bool Has(std::string_view name) const { return values_.HasKey(name); }
    void Set(std::string_view name, std::string value) { values_.Put(name, std::move(value)); }
    bool Remove(std::string_view name) { return values_.Remove(name); }
    std::size_t Count() const { return values_.Count(); }
    const std::vector<std::string>& Names() const { return values_.Keys(); }
    template <class F>
    void ForEach(F&& f) const { values_.ForEach(std::forward<F>(f)); }
    void ClearAll() { values_.Clear(); }

private:
    TCustomHashTable<std::string> values_;
};

class TRequestHeaders : public THeaderTable {
public:
    TRequestHeaders() { Clear(); }
    // Leaves "Accept: */*" and "Connection: close".
    void Clear();
    // "name: value" CR LF for every header with a value.
    std::string Text() const;

    // The credentials last used for authentication.
    std::string Username, Password;
};

class TResponseHeaders : public THeaderTable {
public:
    void Clear() {
        ClearAll();
        Cookies.Clear();
        Version.clear();
    }
    TCookie Cookies;
    std::string Version;  // "1.0" of "HTTP/1.0 200 OK"
};

}  // namespace kestrel
