// The regular-expression engine on PCRE2: compile options, the byte tables, the
// limits that keep a runaway pattern from hanging, the pattern cache and the search.
#include "script/lib/ecma_regexp_engine.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <locale.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace kestrel {

namespace {

// The layout of PCRE2's character tables (pcre2_maketables): lower case, case flip,
// the class bitmaps (the space class first), then one type byte per character.
constexpr std::size_t kTablesLength = 1088;
constexpr std::size_t kClassBitsOffset = 512;
constexpr std::size_t kSpaceClassBits = kClassBitsOffset + 0;
constexpr std::size_t kTypesOffset = kClassBitsOffset + 320;
constexpr unsigned char kVerticalTab = 0x0B;

// Resource limits of one search: far beyond any ordinary pattern, and low enough that
// catastrophic backtracking ends in a fraction of a second as a failure.
constexpr std::uint32_t kMatchLimit = 10'000'000;
constexpr std::uint32_t kDepthLimit = 10'000'000;
constexpr std::uint32_t kHeapLimitKiB = 256 * 1024;
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 16 * 1024 * 1024;

// Always on: the dot takes line breaks, "$" without m is the end of the input only,
// and a pattern may not switch to UTF or Unicode properties itself.
constexpr std::uint32_t kCompileOptions =
    PCRE2_DOTALL | PCRE2_DOLLAR_ENDONLY | PCRE2_NEVER_UTF | PCRE2_NEVER_UCP;

// The C locale's tables (ASCII classes and case folding, whatever the process locale
// is) with the vertical tab taken out of \s: space, tab, LF, CR and form feed stay.
const unsigned char* ByteTables() {
    static const std::array<unsigned char, kTablesLength> tables = [] {
        std::array<unsigned char, kTablesLength> t{};
        locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        locale_t previous = c ? uselocale(c) : static_cast<locale_t>(nullptr);
        const std::uint8_t* made = pcre2_maketables(nullptr);
        if (c) {
            uselocale(previous);
            freelocale(c);
        }
        if (made) {
            std::memcpy(t.data(), made, kTablesLength);
            pcre2_maketables_free(nullptr, made);
        }
        t[kSpaceClassBits + kVerticalTab / 8] &= static_cast<unsigned char>(~(1u << (kVerticalTab % 8)));
        // The space character has no type but "space", so its type byte is that bit.
        t[kTypesOffset + kVerticalTab] &= static_cast<unsigned char>(~t[kTypesOffset + ' ']);
        return t;
    }();
    return tables.data();
}

pcre2_compile_context* CompileContext() {
    static pcre2_compile_context* context = [] {
        pcre2_compile_context* c = pcre2_compile_context_create(nullptr);
        pcre2_set_character_tables(c, ByteTables());
        // "^" and "$" in multi-line mode also stop at CR, LF and CR LF (a script's "\n" is CR LF).
        pcre2_set_newline(c, PCRE2_NEWLINE_ANYCRLF);
        return c;
    }();
    return context;
}

// The limits and the JIT stack, one set per thread (an engine runs on one thread).
class TMatchContext {
public:
    TMatchContext() : context_(pcre2_match_context_create(nullptr)) {
        pcre2_set_match_limit(context_, kMatchLimit);
        pcre2_set_depth_limit(context_, kDepthLimit);
        pcre2_set_heap_limit(context_, kHeapLimitKiB);
        stack_ = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
        if (stack_) pcre2_jit_stack_assign(context_, nullptr, stack_);
    }
    ~TMatchContext() {
        pcre2_match_context_free(context_);
        pcre2_jit_stack_free(stack_);
    }
    TMatchContext(const TMatchContext&) = delete;
    TMatchContext& operator=(const TMatchContext&) = delete;
    pcre2_match_context* Get() const noexcept { return context_; }

private:
    pcre2_match_context* context_;
    pcre2_jit_stack* stack_ = nullptr;
};

pcre2_match_context* MatchContext() {
    thread_local TMatchContext context;
    return context.Get();
}

}  // namespace

// ---------------------------------------------------------------------------
// Patterns

std::shared_ptr<const TJPattern> TJPattern::Compile(std::string_view text, unsigned flags) {
    // PCRE2 compiles the empty pattern, but it would match everywhere: "abc".split("")
    // is refused like a pattern that does not compile.
    if (text.empty()) return nullptr;
    std::uint32_t options = kCompileOptions;
    if (flags & rfIgnoreCase) options |= PCRE2_CASELESS;
    if (flags & rfMultiline) options |= PCRE2_MULTILINE;
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), options, &error,
                                     &offset, CompileContext());
    if (!code) return nullptr;
    // Without JIT (not built in, or out of executable memory) the interpreter runs.
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    return std::shared_ptr<const TJPattern>(new TJPattern(code));
}

TJPattern::~TJPattern() { pcre2_code_free(code_); }

std::shared_ptr<const TJPattern> TJPatternCache::Get(std::string_view text, unsigned flags) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& e) { return e.Flags == flags && e.Text == text; });
    if (it != entries_.end()) {
        std::rotate(entries_.begin(), it, it + 1);
        return entries_.front().Pattern;
    }
    std::shared_ptr<const TJPattern> pattern = TJPattern::Compile(text, flags);
    if (text.size() > kMaxCachedText) return pattern;
    if (entries_.size() == kEntries) entries_.pop_back();
    entries_.insert(entries_.begin(), Entry{std::string(text), flags, pattern});
    return pattern;
}

// ---------------------------------------------------------------------------
// Searching

TJMatcher::TJMatcher(std::shared_ptr<const TJPattern> pattern)
    : pattern_(std::move(pattern)), data_(pcre2_match_data_create_from_pattern(pattern_->Code(), nullptr)) {
    if (!data_) throw std::bad_alloc();
}

TJMatcher::~TJMatcher() { pcre2_match_data_free(data_); }

TJMatchStatus TJMatcher::Find(std::string_view subject, std::size_t start) {
    const auto* bytes = reinterpret_cast<PCRE2_SPTR>(subject.data() ? subject.data() : "");
    int rc = pcre2_match(pattern_->Code(), bytes, subject.size(), start, 0, data_, MatchContext());
    // A pattern too deep for the JIT stack still has the interpreter, with its own limits.
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT)
        rc = pcre2_match(pattern_->Code(), bytes, subject.size(), start, PCRE2_NO_JIT, data_, MatchContext());
    if (rc == PCRE2_ERROR_NOMATCH) return TJMatchStatus::NotFound;
    if (rc <= 0) return TJMatchStatus::Failed;
    count_ = std::min(rc - 1, kMaxGroup);
    const std::size_t matchStart = GroupStart(0);
    const std::size_t matchEnd = matchStart + GroupLength(0);
    // Every search moves on, even past an empty match in the middle of a character.
    next_ = std::max(matchEnd == matchStart ? matchEnd + 1 : matchEnd, start + 1);
    return TJMatchStatus::Found;
}

std::size_t TJMatcher::GroupStart(int n) const noexcept {
    if (n < 0 || n > count_) return std::string_view::npos;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data_);
    return ovector[2 * n] == PCRE2_UNSET ? std::string_view::npos : ovector[2 * n];
}

std::size_t TJMatcher::GroupLength(int n) const noexcept {
    if (n < 0 || n > count_) return 0;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data_);
    const PCRE2_SIZE start = ovector[2 * n], end = ovector[2 * n + 1];
    return start == PCRE2_UNSET || end < start ? 0 : end - start;
}

}  // namespace kestrel
