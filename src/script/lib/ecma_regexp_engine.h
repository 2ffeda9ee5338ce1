// The regular-expression engine behind the RegExp object: PCRE2's 8-bit library in
// byte mode. Patterns are compiled on demand and kept in a small per-engine cache;
// a search reports the whole match and groups 1..14 as byte ranges of the subject.
//
// Every failure of the library (a pattern that does not compile, a match, depth or
// heap limit, a JIT stack that is too small even for the interpreter) is one kind
// of result, which the RegExp object reads as "no match". Bytes are bytes in every
// code page: a multi-byte character is matched as its bytes, \w, \d and \s are the
// ASCII classes (\s without the vertical tab) and case folding is ASCII only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct pcre2_real_code_8;
struct pcre2_real_match_data_8;

namespace kestrel {

// Modifiers of a pattern besides its text.
enum TJRegExpFlags : unsigned { rfNone = 0, rfIgnoreCase = 1, rfMultiline = 2 };

// A compiled pattern; immutable, shared by the cache and the RegExp objects.
class TJPattern {
public:
    // The compiled pattern, or null when Text does not compile or is empty.
    static std::shared_ptr<const TJPattern> Compile(std::string_view text, unsigned flags);
    ~TJPattern();
    TJPattern(const TJPattern&) = delete;
    TJPattern& operator=(const TJPattern&) = delete;

    pcre2_real_code_8* Code() const noexcept { return code_; }

private:
    explicit TJPattern(pcre2_real_code_8* code) : code_(code) {}
    pcre2_real_code_8* code_;
};

// The few patterns an engine used last, by text and modifiers (every String pattern
// call makes a new RegExp object, so a loop would otherwise compile every time).
class TJPatternCache {
public:
    // The compiled pattern (null when it does not compile), from the cache when it is there.
    std::shared_ptr<const TJPattern> Get(std::string_view text, unsigned flags);

private:
    struct Entry {
        std::string Text;
        unsigned Flags;
        std::shared_ptr<const TJPattern> Pattern;
    };
    static constexpr std::size_t kEntries = 16;
    // Longer patterns are compiled each time rather than kept.
    static constexpr std::size_t kMaxCachedText = 4096;
    std::vector<Entry> entries_;  // most recently used first
};

enum class TJMatchStatus : std::uint8_t { Found, NotFound, Failed };

// The search of one pattern: its own match data, so that a search inside a
// replacement function never disturbs the loop that called it.
class TJMatcher {
public:
    // The highest group number reported.
    static constexpr int kMaxGroup = 14;

    explicit TJMatcher(std::shared_ptr<const TJPattern> pattern);
    ~TJMatcher();
    TJMatcher(const TJMatcher&) = delete;
    TJMatcher& operator=(const TJMatcher&) = delete;

    // Searches Subject from byte Start (at most its size).
    TJMatchStatus Find(std::string_view subject, std::size_t start);
    // Where the next search starts: the end of this match, one byte later when it was empty.
    std::size_t NextStart() const noexcept { return next_; }
    // The highest group that took part in the match (0: only the whole match).
    int GroupCount() const noexcept { return count_; }
    // Byte range of group N (0 = whole match); Start is npos when it did not take part.
    std::size_t GroupStart(int n) const noexcept;
    std::size_t GroupLength(int n) const noexcept;

private:
    std::shared_ptr<const TJPattern> pattern_;
    pcre2_real_match_data_8* data_;
    int count_ = 0;
    std::size_t next_ = 0;
};

}  // namespace kestrel
