#include "script/lib/ecma_percent.h"

#include <array>

#include "script/core/ecma_type.h"

namespace kestrel {

namespace {

constexpr std::string_view kUnreserved =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!'()*-._";
constexpr std::string_view kUriDelimiters = ";/?:@&=+,#";
constexpr std::size_t kCodedByteLength = 3;  // "%XX"

// Which bytes each form copies as they are.
using TByteSet = std::array<bool, 256>;

TByteSet MakeSet(std::string_view a, std::string_view b = {}) {
    TByteSet set{};
    for (std::string_view part : {a, b})
        for (char c : part) set[static_cast<unsigned char>(c)] = true;
    return set;
}

const TByteSet& KeptBytes(TPercentForm form) {
    static const TByteSet unreserved = MakeSet(kUnreserved);
    static const TByteSet uri = MakeSet(kUnreserved, kUriDelimiters);
    return form == TPercentForm::Uri ? uri : unreserved;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool HasCodedByte(std::string_view text) {
    for (std::size_t i = 0; i + 2 < text.size(); ++i)
        if (text[i] == '%' && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) return true;
    return false;
}

}  // namespace

std::string PercentEncode(std::string_view text, TPercentForm form) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const TByteSet& kept = KeptBytes(form);
    const std::size_t end = std::min(text.find('\0'), text.size());
    // The exact length first, so that a text too long to code is refused before
    // anything is allocated.
    std::size_t length = end;
    for (std::size_t i = 0; i < end; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (!kept[b] && !(form == TPercentForm::Escape && b == ' ')) length += kCodedByteLength - 1;
    }
    TJString::CheckLength(length);
    std::string out;
    out.reserve(length);
    for (std::size_t i = 0; i < end; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (kept[b]) {
            out += static_cast<char>(b);
        } else if (form == TPercentForm::Escape && b == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kDigits[b >> 4];
            out += kDigits[b & 0xF];
        }
    }
    return out;
}

std::string PercentDecode(std::string_view text, bool plusIsSpace) {
    if (!HasCodedByte(text)) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 1 < text.size() && text[i + 1] == '%') {
            out += '%';
            ++i;
        } else if (c == '%' && i + kCodedByteLength <= text.size()) {
            const int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
            out += hi >= 0 && lo >= 0 ? static_cast<char>(hi * 16 + lo) : '\0';
            i += 2;
        } else if (c == '+' && plusIsSpace) {
            out += ' ';
        } else {
            out += c;  // also a "%" too near the end for two characters
        }
    }
    return out;
}

}  // namespace kestrel
