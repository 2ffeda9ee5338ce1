// The request and response header tables.
#include "script/net/net_headers.h"

namespace kestrel {

namespace {
constexpr std::size_t kHeaderBuckets = 13;
}

THeaderTable::THeaderTable() : values_(kHeaderBuckets, true) {}

THeaderTable::THeaderTable(const THeaderTable& other) : THeaderTable() { *this = other; }

THeaderTable& THeaderTable::operator=(const THeaderTable& other) {
    if (this == &other) return *this;
    values_.Clear();
    other.values_.ForEach([this](const std::string& key, const std::string& value) { values_.Put(key, value); });
    return *this;
}

void TRequestHeaders::Clear() {
    ClearAll();
    Set("Accept", "*/*");
    Set("Connection", "close");
}

std::string TRequestHeaders::Text() const {
    std::string text;
    ForEach([&](const std::string& name, const std::string& value) {
        if (!value.empty()) text += name + ": " + value + "\r\n";
    });
    return text;
}

}  // namespace kestrel
