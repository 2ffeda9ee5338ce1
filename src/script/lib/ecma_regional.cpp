// The regional-settings reader: a C locale object per category, made from the
// environment with newlocale and read with nl_langinfo_l, so the process locale (which
// Qt sets at start-up) is neither used nor changed.
#include "script/lib/ecma_regional.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "util/CodePage.h"

namespace kestrel {

namespace {

using tinctor::CodePage;

// No locale has more eras than this; a larger count read from the data is not believed.
constexpr std::uint32_t kMaxEras = 64;
// Nested %r, %c and similar forms are expanded this deep at most.
constexpr int kMaxFormNesting = 4;

constexpr std::array<std::string_view, 7> kHomeDayShort = {"日", "月", "火", "水", "木", "金", "土"};
constexpr std::array<std::string_view, 7> kHomeDayLong = {"日曜日", "月曜日", "火曜日", "水曜日",
                                                          "木曜日", "金曜日", "土曜日"};

// A locale object for one category, freed with its holder.
class TLocale {
public:
    // The category's texts are in the code set of the same locale's LC_CTYPE.
    TLocale(int mask, const std::string& name)
        : loc_(newlocale(mask | LC_CTYPE_MASK, name.c_str(), static_cast<locale_t>(nullptr))) {}
    ~TLocale() {
        if (loc_) freelocale(loc_);
    }
    TLocale(const TLocale&) = delete;
    TLocale& operator=(const TLocale&) = delete;
    explicit operator bool() const { return loc_ != nullptr; }
    const char* Item(nl_item item) const { return nl_langinfo_l(item, loc_); }
    // A one-byte numeric item of LC_MONETARY (CHAR_MAX when the locale leaves it open).
    int Byte(nl_item item) const {
        const char* p = Item(item);
        return p ? static_cast<unsigned char>(*p) : CHAR_MAX;
    }
    // Text in the process code page.
    std::string Text(nl_item item) const {
        const char* p = Item(item);
        return p ? ToCodePage(p) : std::string();
    }

    std::string ToCodePage(std::string_view text) const {
        if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            return std::string(text);
        std::string_view codeset = Item(CODESET);
        if (codeset == "UTF-8" || codeset == "utf8") return CodePage::Current().FromUtf8(text);
        return CodePage::Current().FromUtf8(Utf8FromCodeset(text, std::string(codeset)));
    }

private:
    static std::string Utf8FromCodeset(std::string_view text, const std::string& codeset) {
        iconv_t cd = iconv_open("UTF-8", codeset.c_str());
        if (cd == reinterpret_cast<iconv_t>(-1)) return {};
        std::string in(text), out(text.size() * 4 + 4, '\0');
        char* inp = in.data();
        char* outp = out.data();
        std::size_t inLeft = in.size(), outLeft = out.size();
        std::size_t rc = iconv(cd, &inp, &inLeft, &outp, &outLeft);
        iconv_close(cd);
        if (rc == static_cast<std::size_t>(-1)) return {};
        out.resize(out.size() - outLeft);
        return out;
    }

    locale_t loc_;
};

// The locale name setlocale("") would pick for a category: LC_ALL, then the
// category's variable, then LANG, then "C".
std::string EnvironmentLocale(const char* categoryVariable) {
    for (const char* name : {"LC_ALL", categoryVariable, "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value;
    }
    return "C";
}

bool IsPosixLocale(std::string_view name) {
    return name == "C" || name == "POSIX" || name.starts_with("C.") || name.starts_with("C@");
}

void SetIfGiven(std::string& field, std::string value) {
    if (!value.empty()) field = std::move(value);
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Literal text of a POSIX form, quoted when the date-time language would read it.
void AppendLiteral(std::string& out, std::string_view text) {
    bool needsQuotes = std::any_of(text.begin(), text.end(), [](char c) {
        return IsAsciiLetter(c) || c == '\'' || c == '"' || static_cast<unsigned char>(c) >= 0x80;
    });
    if (!needsQuotes) {
        out += text;
        return;
    }
    char quote = text.find('\'') == std::string_view::npos ? '\'' : '"';
    out += quote;
    for (char c : text)
        if (c != quote) out += c;
    out += quote;
}

// The conversions a POSIX form may contain, in the date-time language.
struct TConversion {
    char Letter;
    std::string_view Form;
};
constexpr TConversion kConversions[] = {
    {'Y', "yyyy"}, {'y', "yy"},   {'m', "mm"},    {'d', "dd"},       {'e', "d"},       {'b', "mmm"},
    {'h', "mmm"},  {'B', "mmmm"}, {'a', "ddd"},   {'A', "dddd"},     {'H', "hh"},      {'k', "h"},
    {'I', "hh"},   {'l', "h"},    {'M', "nn"},    {'S', "ss"},       {'p', "ampm"},    {'P', "ampm"},
    {'T', "hh:nn:ss"}, {'R', "hh:nn"}, {'D', "mm/dd/yy"}, {'F', "yyyy-mm-dd"},
    {'n', " "},    {'t', " "},
};

void Translate(std::string& out, std::string_view form, std::string_view ampmForm, int depth) {
    std::size_t i = 0;
    while (i < form.size()) {
        std::size_t percent = form.find('%', i);
        if (percent == std::string_view::npos) percent = form.size();
        if (percent > i) AppendLiteral(out, form.substr(i, percent - i));
        i = percent;
        if (i >= form.size()) break;
        ++i;
        // Flags, widths and the E and O modifiers change nothing here.
        while (i < form.size() && (form[i] == '-' || form[i] == '_' || form[i] == '0' || form[i] == '^' ||
                                   form[i] == '#' || (form[i] >= '1' && form[i] <= '9')))
            ++i;
        bool era = false;
        if (i < form.size() && (form[i] == 'E' || form[i] == 'O')) era = form[i++] == 'E';
        if (i >= form.size()) break;
        char letter = form[i++];
        if (letter == '%') {
            out += "'%'";
        } else if (letter == 'r') {
            if (depth < kMaxFormNesting && !ampmForm.empty()) Translate(out, ampmForm, {}, depth + 1);
            else out += "h:nn:ss ampm";
        } else if (era && letter == 'y') {
            out += 'e';
        } else if (era && letter == 'C') {
            out += "gg";
        } else if (era && letter == 'Y') {
            out += "gge";
        } else {
            for (const TConversion& c : kConversions)
                if (c.Letter == letter) out += c.Form;
        }
        // %Z, %z, the century %C and anything unknown have no counterpart and are left out.
    }
}

// The form without its seconds: "%H:%M:%S" gives "%H:%M", "%H時%M分%S秒" "%H時%M分".
std::string WithoutSeconds(std::string_view form) {
    std::size_t s = form.find("%S");
    if (s == std::string_view::npos) return std::string(form);
    std::size_t before = form.rfind('%', s == 0 ? 0 : s - 1);
    std::size_t literalStart = before == std::string_view::npos ? 0 : before + 2;
    std::string_view literalBefore = form.substr(literalStart, s - literalStart);
    std::size_t after = form.find('%', s + 2);
    std::size_t literalEnd = after == std::string_view::npos ? form.size() : after;
    std::string out;
    if (literalBefore == ":" || literalBefore == ".") {
        out.assign(form.substr(0, literalStart));
        out.append(form.substr(s + 2));
    } else {
        out.assign(form.substr(0, s));
        // Keep a separating space before a following conversion (" %p").
        std::string_view literalAfter = form.substr(s + 2, literalEnd - s - 2);
        if (!literalAfter.empty() && literalAfter.back() == ' ' && after != std::string_view::npos) out += ' ';
        if (after != std::string_view::npos) out.append(form.substr(after));
    }
    return out;
}

// A time form with its shorthands written out, so the seconds can be found in it.
std::string ExpandTimeShorthands(std::string_view form, std::string_view ampmForm) {
    std::string out;
    for (std::size_t i = 0; i < form.size(); ++i) {
        char next = i + 1 < form.size() ? form[i + 1] : '\0';
        std::string_view expansion = next == 'T' ? "%H:%M:%S" : next == 'R' ? "%H:%M" : next == 'r' ? ampmForm : "";
        if (form[i] == '%' && !expansion.empty()) {
            out += expansion;
            ++i;
        } else if (form[i] == '%' && next) {  // a conversion stays whole ("%%" too)
            out += form.substr(i, 2);
            ++i;
        } else {
            out += form[i];
        }
    }
    return out;
}

// The date part of a date-and-time form: up to its first time conversion.
std::string DatePart(std::string_view form) {
    static constexpr std::string_view kTimeLetters = "HIklMSrTRXpPc";
    for (std::size_t i = 0; i + 1 < form.size(); ++i) {
        if (form[i] != '%') continue;
        std::size_t j = i + 1;
        if (j < form.size() && (form[j] == 'E' || form[j] == 'O')) ++j;
        if (j < form.size() && kTimeLetters.find(form[j]) != std::string_view::npos) {
            std::string_view date = form.substr(0, i);
            while (!date.empty() && (date.back() == ' ' || date.back() == ',')) date.remove_suffix(1);
            return std::string(date);
        }
        i = j;
    }
    return std::string(form);
}

// The first separator between two conversions of a form ("/" of "%Y/%m/%d").
std::string SeparatorOf(std::string_view form) {
    for (std::size_t i = 0; i < form.size(); ++i) {
        if (form[i] == '%') {
            ++i;
            continue;
        }
        unsigned char c = static_cast<unsigned char>(form[i]);
        if (c < 0x80 && !IsAsciiLetter(form[i]) && c != ' ' && !(c >= '0' && c <= '9')) return std::string(1, form[i]);
    }
    return {};
}

void ReadNumeric(TFormatSettings& s, const std::string& name) {
    TLocale loc(LC_NUMERIC_MASK, name);
    if (!loc || IsPosixLocale(name)) return;
    SetIfGiven(s.DecimalSeparator, loc.Text(RADIXCHAR));
    SetIfGiven(s.ThousandSeparator, loc.Text(THOUSEP));
}

void ReadMonetary(TFormatSettings& s, const std::string& name) {
    TLocale loc(LC_MONETARY_MASK, name);
    if (!loc || IsPosixLocale(name)) return;
    SetIfGiven(s.CurrencyString, loc.Text(CURRENCY_SYMBOL));
    int digits = loc.Byte(FRAC_DIGITS);
    if (digits != CHAR_MAX) s.CurrencyDecimals = digits;
    int pPrecedes = loc.Byte(P_CS_PRECEDES), pSep = loc.Byte(P_SEP_BY_SPACE);
    if (pPrecedes != CHAR_MAX && pSep != CHAR_MAX) s.CurrencyFormat = CurrencyPattern(pPrecedes, pSep);
    int nPrecedes = loc.Byte(N_CS_PRECEDES), nSep = loc.Byte(N_SEP_BY_SPACE), nPosn = loc.Byte(N_SIGN_POSN);
    if (nPrecedes != CHAR_MAX && nSep != CHAR_MAX && nPosn != CHAR_MAX)
        s.NegCurrFormat = NegCurrencyPattern(nPrecedes, nSep, nPosn);
}

void ReadTime(TFormatSettings& s, const std::string& name) {
    TLocale loc(LC_TIME_MASK, name);
    if (!loc || IsPosixLocale(name)) return;
    std::string ampm = loc.Item(T_FMT_AMPM);
    std::string dateForm = loc.Item(D_FMT);
    std::string timeForm = ExpandTimeShorthands(loc.Item(T_FMT), ampm);
    if (!dateForm.empty()) {
        SetIfGiven(s.DateSeparator, SeparatorOf(dateForm));
        SetIfGiven(s.ShortDateFormat, TranslateTimeForm(dateForm, ampm));
    }
    std::string longDate = DatePart(loc.Item(D_T_FMT));
    SetIfGiven(s.LongDateFormat, TranslateTimeForm(longDate.empty() ? dateForm : longDate, ampm));
    if (!timeForm.empty()) {
        SetIfGiven(s.TimeSeparator, SeparatorOf(timeForm));
        SetIfGiven(s.LongTimeFormat, TranslateTimeForm(timeForm, ampm));
        SetIfGiven(s.ShortTimeFormat, TranslateTimeForm(WithoutSeconds(timeForm), ampm));
    }
    SetIfGiven(s.TimeAMString, loc.Text(AM_STR));
    SetIfGiven(s.TimePMString, loc.Text(PM_STR));
    for (int i = 0; i < 12; ++i) {
        SetIfGiven(s.ShortMonthNames[i], loc.Text(static_cast<nl_item>(ABMON_1 + i)));
        SetIfGiven(s.LongMonthNames[i], loc.Text(static_cast<nl_item>(MON_1 + i)));
    }
    for (int i = 0; i < 7; ++i) {
        SetIfGiven(s.ShortDayNames[i], loc.Text(static_cast<nl_item>(ABDAY_1 + i)));
        SetIfGiven(s.LongDayNames[i], loc.Text(static_cast<nl_item>(DAY_1 + i)));
    }
    // ERA holds its entries one after another, each ending in a zero byte; the entry
    // count is a word item, which nl_langinfo hands back in the pointer's low bits.
    auto count = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(loc.Item(_NL_TIME_ERA_NUM_ENTRIES)));
    const char* era = loc.Item(ERA);
    if (count > 0 && count <= kMaxEras && era && *era) {
        std::vector<std::string> texts;
        for (std::uint32_t i = 0; i < count && *era; ++i, era += std::strlen(era) + 1) texts.push_back(era);
        std::vector<std::string_view> views(texts.begin(), texts.end());
        s.Eras = ParseEraEntries(views);
        for (TEra& e : s.Eras) {
            e.Name = loc.ToCodePage(e.Name);
            std::size_t first = CodePage::Current().CharLength(e.Name, 0);
            e.ShortName = e.Name.substr(0, first);
        }
    }
}

bool ReadInt(std::string_view text, int& value) {
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && p == text.data() + text.size();
}

}  // namespace

int CurrencyPattern(int csPrecedes, int sepBySpace) {
    bool space = sepBySpace != 0;
    return csPrecedes ? (space ? 2 : 0) : (space ? 3 : 1);
}

int NegCurrencyPattern(int csPrecedes, int sepBySpace, int signPosn) {
    // [sign position 0..4][symbol first][space] → pattern
    static constexpr int kPatterns[5][2][2] = {
        {{4, 15}, {0, 14}},   // brackets around amount and symbol
        {{5, 8}, {1, 9}},     // sign before both
        {{7, 10}, {3, 11}},   // sign after both
        {{6, 13}, {1, 9}},    // sign just before the symbol
        {{7, 10}, {2, 12}},   // sign just after the symbol
    };
    int posn = signPosn >= 0 && signPosn <= 4 ? signPosn : 1;
    return kPatterns[posn][csPrecedes ? 1 : 0][sepBySpace ? 1 : 0];
}

std::string TranslateTimeForm(std::string_view posixForm, std::string_view ampmForm) {
    std::string out;
    Translate(out, posixForm, ampmForm, 0);
    return out;
}

std::vector<TEra> ParseEraEntries(const std::vector<std::string_view>& entries) {
    std::vector<TEra> eras;
    for (std::string_view entry : entries) {
        // direction:offset:start_date:end_date:era_name:era_format
        std::string_view fields[6];
        std::size_t n = 0, start = 0;
        while (n < 5) {
            std::size_t colon = entry.find(':', start);
            if (colon == std::string_view::npos) break;
            fields[n++] = entry.substr(start, colon - start);
            start = colon + 1;
        }
        if (n < 5) continue;
        fields[5] = entry.substr(start);
        // Eras counted backwards (before the common era) have no use for years 1-9999.
        if (fields[0] != "+" || fields[3].starts_with("-")) continue;
        TEra era;
        std::string_view date = fields[2];
        std::size_t s1 = date.find('/'), s2 = date.rfind('/');
        if (s1 == std::string_view::npos || s2 == s1) continue;
        if (!ReadInt(fields[1], era.FirstYear) || !ReadInt(date.substr(0, s1), era.StartYear) ||
            !ReadInt(date.substr(s1 + 1, s2 - s1 - 1), era.StartMonth) || !ReadInt(date.substr(s2 + 1), era.StartDay))
            continue;
        era.Name = std::string(fields[4]);
        eras.push_back(std::move(era));
    }
    std::sort(eras.begin(), eras.end(), [](const TEra& a, const TEra& b) {
        return std::tie(a.StartYear, a.StartMonth, a.StartDay) < std::tie(b.StartYear, b.StartMonth, b.StartDay);
    });
    return eras;
}

TFormatSettings DefaultFormatSettings() {
    const CodePage& cp = CodePage::Current();
    TFormatSettings s;
    // Shift-JIS writes the yen as the byte 0x5C.
    s.CurrencyString = cp.Id() == CodePage::ShiftJis ? std::string("\\") : cp.FromUtf8("¥");
    s.CurrencyFormat = 0;
    s.NegCurrFormat = 1;
    s.CurrencyDecimals = 0;
    s.LongDateFormat = cp.FromUtf8("yyyy'年'm'月'd'日'");
    s.TimeAMString = cp.FromUtf8("午前");
    s.TimePMString = cp.FromUtf8("午後");
    for (int i = 0; i < 12; ++i) {
        s.ShortMonthNames[i] = cp.FromUtf8(std::to_string(i + 1) + "月");
        s.LongMonthNames[i] = s.ShortMonthNames[i];
    }
    for (int i = 0; i < 7; ++i) {
        s.ShortDayNames[i] = cp.FromUtf8(kHomeDayShort[i]);
        s.LongDayNames[i] = cp.FromUtf8(kHomeDayLong[i]);
    }
    return s;
}

TFormatSettings ReadFormatSettings(const char* localeName) {
    TFormatSettings s = DefaultFormatSettings();
    auto nameFor = [&](const char* variable) {
        return localeName && *localeName ? std::string(localeName) : EnvironmentLocale(variable);
    };
    ReadNumeric(s, nameFor("LC_NUMERIC"));
    ReadMonetary(s, nameFor("LC_MONETARY"));
    ReadTime(s, nameFor("LC_TIME"));
    return s;
}

const TFormatSettings& RegionalSettings() {
    // The variables setlocale("") reads; the settings are read again when one of them
    // or the code page differs from the last call (compared without allocating).
    static constexpr const char* kVariables[] = {"LC_ALL", "LC_NUMERIC", "LC_MONETARY", "LC_TIME", "LANG"};
    struct TCache {
        bool Valid = false;
        int CodePageId = 0;
        std::array<std::string, std::size(kVariables)> Values;
        std::array<bool, std::size(kVariables)> Set{};
        TFormatSettings Settings;
    };
    thread_local TCache cache;
    bool same = cache.Valid && cache.CodePageId == CodePage::Current().Id();
    for (std::size_t i = 0; same && i < std::size(kVariables); ++i) {
        const char* value = std::getenv(kVariables[i]);
        same = value ? cache.Set[i] && cache.Values[i] == value : !cache.Set[i];
    }
    if (!same) {
        cache.Settings = ReadFormatSettings("");
        cache.CodePageId = CodePage::Current().Id();
        for (std::size_t i = 0; i < std::size(kVariables); ++i) {
            const char* value = std::getenv(kVariables[i]);
            cache.Set[i] = value != nullptr;
            cache.Values[i] = value ? value : "";
        }
        cache.Valid = true;
    }
    return cache.Settings;
}

}  // namespace kestrel
