// TJStringObject: the text, `length`, indexed access, and every String method:
// positions, searches, the pattern methods through RegExp, case, trimming, reverse,
// crypt, the HTML wrappers and the Japanese conversions.
#include "script/lib/ecma_string.h"

#include <locale.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "script/core/ecma_number.h"
#include "script/lib/crypt3.h"
#include "script/lib/ecma_regexp.h"
#include "script/lib/jconvert.h"
#include "util/CodePage.h"

namespace kestrel {

namespace {

using tinctor::CodePage;

// The count of substr without a length, and the end of slice without an end.
constexpr std::int64_t kWholeRest = 2147483647;
// Trimming takes away the bytes below this: space and every control character.
constexpr unsigned char kFirstPrintable = 33;

const TJValue* Arg(const TJValueList* args, int index) { return args ? args->Get(index) : nullptr; }
int ArgCount(const TJValueList* args) { return args ? args->Count() : 0; }
const TJString& Text(TJObject& self) { return static_cast<TJStringObject&>(self).Text(); }

// Whether every character of Text is one byte. The answer for the last text asked
// about is kept (with a reference, so the same bytes are still the same text): a
// loop over the characters of one text asks about it again and again.
bool SingleByte(const TJString& text) {
    thread_local TJString last;
    thread_local int lastCodePage = 0;
    thread_local bool lastAnswer = true;
    const CodePage& cp = CodePage::Current();
    if (text.size() < 64) {
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] >= 0x80 && cp.CharLength(text, i) > 1) return false;
        return true;
    }
    if (last.data() == text.data() && last.size() == text.size() && lastCodePage == cp.Id()) return lastAnswer;
    bool single = true;
    for (std::size_t i = 0; i < text.size() && single; ++i) single = text[i] < 0x80 || cp.CharLength(text, i) == 1;
    last = text;
    lastCodePage = cp.Id();
    lastAnswer = single;
    return single;
}

std::int64_t CharCount(const TJString& text) {
    return SingleByte(text) ? static_cast<std::int64_t>(text.size())
                            : static_cast<std::int64_t>(CodePage::Current().CharCount(text));
}

// Byte offset of character N (0-based); the size of Text from the end on.
std::size_t Offset(const TJString& text, std::int64_t n) {
    if (n <= 0) return 0;
    if (SingleByte(text)) return static_cast<std::size_t>(std::min<std::int64_t>(n, text.size()));
    return CodePage::Current().ByteOffset(text, static_cast<std::size_t>(std::min<std::int64_t>(n, text.size())));
}

// The character range copy: characters P ... P + N - 1 (P 1-based) that lie in the text.
std::string_view Range(const TJString& text, std::int64_t p, std::int64_t n) {
    if (n <= 0 || text.empty()) return {};
    const std::int64_t first = std::max<std::int64_t>(p - 1, 0);
    const std::int64_t end = p - 1 + n;
    if (end <= first) return {};
    const std::size_t from = Offset(text, first);
    return text.view().substr(from, Offset(text, end) - from);
}

TJString Joined(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (std::string_view p : parts) size += p.size();
    TJString::CheckLength(size);
    std::string out;
    out.reserve(size);
    for (std::string_view p : parts) out += p;
    return TJString(out);
}

// The 0-based character position of the first occurrence of Search in Text at or
// after byte From (character FromChar) that begins on a character boundary, or -1;
// its byte position goes to At.
std::int64_t FindFrom(const TJString& text, std::string_view search, std::size_t from, std::int64_t fromChar,
                      std::size_t* at = nullptr) {
    const std::string_view view = text.view();
    if (SingleByte(text)) {
        const std::size_t found = view.find(search, from);
        if (at) *at = found;
        return found == std::string_view::npos ? -1 : static_cast<std::int64_t>(found);
    }
    const CodePage& cp = CodePage::Current();
    std::size_t pos = from;
    std::int64_t chars = fromChar;
    for (std::size_t found = view.find(search, pos); found != std::string_view::npos;
         found = view.find(search, pos)) {
        while (pos < found) {
            pos += cp.CharLength(view, pos);
            ++chars;
        }
        if (pos == found) {
            if (at) *at = found;
            return chars;
        }
    }
    return -1;
}

// ---------------------------------------------------------------------------
// Positions and searches

void CharAt(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* index = Arg(args, 0);
    if (!index) return result.SetUndefined(), void();
    result.BuildString(TJString(Range(Text(self), std::int64_t(index->AsInteger()) + 1, 1)));
}

void CharCodeAt(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* index = Arg(args, 0);
    if (!index) return result.SetUndefined(), void();
    const std::string_view c = Range(Text(self), std::int64_t(index->AsInteger()) + 1, 1);
    if (c.empty()) result.BuildNaN();
    else result.BuildInteger(static_cast<unsigned char>(c[0]));
}

void FromCharCode(TJObject&, const TJValueList* args, TJValue& result) {
    if (ArgCount(args) == 0) return result.SetUndefined(), void();
    std::string bytes;
    for (int i = 0; i < args->Count(); ++i) bytes += static_cast<char>((*args)[i].AsInteger() & 0xFF);
    result.BuildString(TJString(bytes));
}

void Concat(TJObject& self, const TJValueList* args, TJValue& result) {
    if (ArgCount(args) == 0) return result.SetUndefined(), void();
    std::string out(Text(self).view());
    for (int i = 0; i < args->Count(); ++i) {
        (*args)[i].AppendString(out);
        TJString::CheckLength(out.size());
    }
    result.BuildString(TJString(out));
}

void IndexOf(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* search = Arg(args, 0);
    if (!search) return result.SetUndefined(), void();
    const TJString& text = Text(self);
    const TJString needle = search->AsString();
    const std::int64_t start = std::max<std::int64_t>(AsInteger(Arg(args, 1)), 0);
    if (needle.empty() || start > CharCount(text)) return result.BuildInteger(-1), void();
    result.BuildInteger(static_cast<std::int32_t>(FindFrom(text, needle, Offset(text, start), start)));
}

void LastIndexOf(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* search = Arg(args, 0);
    if (!search) return result.SetUndefined(), void();
    const TJString& text = Text(self);
    const TJString needle = search->AsString();
    if (needle.empty()) return result.BuildInteger(-1), void();
    // Matches that begin at or before character start: those inside its first start + a characters.
    const TJValue* start = Arg(args, 1);
    std::size_t limit = text.size();
    if (start && start->AsInteger() >= 0)
        limit = Offset(text, std::int64_t(start->AsInteger()) + CharCount(needle));
    const TJString searched(text.view().substr(0, limit));
    std::int64_t last = -1;
    std::size_t from = 0;
    std::int64_t fromChar = 0;
    const CodePage& cp = CodePage::Current();
    for (;;) {
        std::size_t at = 0;
        const std::int64_t found = FindFrom(searched, needle, from, fromChar, &at);
        if (found < 0) break;
        last = found;
        from = at + cp.CharLength(searched, at);
        fromChar = found + 1;
    }
    result.BuildInteger(static_cast<std::int32_t>(last));
}

// The user's collation order, from the environment once; the process locale is never changed.
locale_t CollationLocale() {
    static const locale_t locale = [] {
        locale_t l = newlocale(LC_COLLATE_MASK, "", static_cast<locale_t>(nullptr));
        return l ? l : newlocale(LC_COLLATE_MASK, "C", static_cast<locale_t>(nullptr));
    }();
    return locale;
}

// strcoll_l piece by piece, so that a zero byte does not end the comparison.
int Collate(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    for (;;) {
        const int order = strcoll_l(a.c_str() + i, b.c_str() + j, CollationLocale());
        if (order != 0) return order;
        i += std::strlen(a.c_str() + i) + 1;
        j += std::strlen(b.c_str() + j) + 1;
        if (i > a.size() || j > b.size()) return (i > a.size() ? 0 : 1) - (j > b.size() ? 0 : 1);
    }
}

void LocaleCompare(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* other = Arg(args, 0);
    if (!other) return result.SetUndefined(), void();
    const CodePage& cp = CodePage::Current();
    const int order = Collate(cp.ToUtf8(Text(self)), cp.ToUtf8(other->AsString()));
    result.BuildInteger(order < 0 ? -1 : order > 0 ? 1 : 0);
}

void Slice(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* start = Arg(args, 0);
    if (!start) return result.SetUndefined(), void();
    const TJString& text = Text(self);
    const std::int64_t length = CharCount(text);
    std::int64_t p = std::int64_t(start->AsInteger()) + 1;
    if (p < 1) p += length;
    std::int64_t q = length + 1;
    if (const TJValue* end = Arg(args, 1)) {
        q = std::int64_t(end->AsInteger()) + 1;
        if (q < 1) q += length;
    }
    result.BuildString(TJString(Range(text, p, q - p)));
}

void Substr(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* start = Arg(args, 0);
    if (!start) return result.SetUndefined(), void();
    const TJValue* count = Arg(args, 1);
    result.BuildString(TJString(Range(Text(self), std::int64_t(start->AsInteger()) + 1,
                                      count ? count->AsInteger() : kWholeRest)));
}

void Substring(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* start = Arg(args, 0);
    if (!start) return result.SetUndefined(), void();
    const TJString& text = Text(self);
    const TJValue* end = Arg(args, 1);
    const std::int64_t a = std::max(start->AsInteger(), 0);
    const std::int64_t b = end ? std::max(end->AsInteger(), 0) : CharCount(text);
    result.BuildString(TJString(Range(text, std::min(a, b) + 1, std::max(a, b) - std::min(a, b))));
}

// ---------------------------------------------------------------------------
// Pattern methods

// The RegExp a pattern method works with: the argument itself when it is a RegExp
// object, else a new registered one made from the whole argument list as
// `new RegExp(...)` makes it, released after the call.
class TPattern {
public:
    TPattern(TJObject& self, const TJValueList* args) {
        const TJValue* first = Arg(args, 0);
        if (first && first->IsRegExpObject()) {
            regExp_ = static_cast<TJRegExpObject*>(first->vObject());
            held_.emplace(regExp_);  // the script's object survives what a replacement function does
        } else {
            regExp_ = TJObject::New<TJRegExpObject>(self.Engine(), true, args);
            regExp_->IncRef();
            made_ = true;
        }
    }
    ~TPattern() {
        if (made_) regExp_->DecRef();
    }
    TPattern(const TPattern&) = delete;
    TPattern& operator=(const TPattern&) = delete;
    TJRegExpObject& operator*() const noexcept { return *regExp_; }
    TJRegExpObject* operator->() const noexcept { return regExp_; }
    // A RegExp object or a literal: the flags are its own, not an argument.
    static bool IsRegExp(const TJValueList* args) {
        const TJValue* first = Arg(args, 0);
        return first && (first->IsRegExpObject() || first->IsRegExpValue());
    }

private:
    TJRegExpObject* regExp_;
    std::optional<TJObjectHold> held_;
    bool made_ = false;
};

void Match(TJObject& self, const TJValueList* args, TJValue& result) {
    if (ArgCount(args) == 0) return result.SetUndefined(), void();
    TPattern pattern(self, args);
    pattern->Exec(&Text(self), result);
}

void Search(TJObject& self, const TJValueList* args, TJValue& result) {
    if (ArgCount(args) == 0) return result.SetUndefined(), void();
    TPattern pattern(self, args);
    TJValue found;
    pattern->Exec(&Text(self), found);
    if (TJObject* list = found.vObject()) list->Destroy();
    result.BuildInteger(pattern->State().Index);
}

void Replace(TJObject& self, const TJValueList* args, TJValue& result) {
    if (ArgCount(args) == 0) return result.SetUndefined(), void();
    const int at = TPattern::IsRegExp(args) || args->Count() == 2 ? 1 : 2;
    const TJValue* replacement = Arg(args, at);
    const TJValue empty = StringValue(TJString());
    TPattern pattern(self, args);
    result.BuildString(pattern->Replace(Text(self), replacement ? *replacement : empty));
}

void Split(TJObject& self, const TJValueList* args, TJValue& result) {
    if (ArgCount(args) == 0) return result.SetUndefined(), void();
    const TJValue* limit = Arg(args, 1);
    if (!TPattern::IsRegExp(args) && !(limit && limit->IsNumberLike())) limit = Arg(args, 2);
    TPattern pattern(self, args);
    result.BuildObject(pattern->Split(Text(self), limit ? limit->AsInteger() : -1));
}

// ---------------------------------------------------------------------------
// Whole-text methods

void ToLowerCase(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildString(TJString(CodePage::Current().Lower(Text(self))));
}

void ToUpperCase(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildString(TJString(CodePage::Current().Upper(Text(self))));
}

template <bool Left, bool Right>
void Trim(TJObject& self, const TJValueList*, TJValue& result) {
    std::string_view text = Text(self).view();
    if (Left)
        while (!text.empty() && static_cast<unsigned char>(text.front()) < kFirstPrintable) text.remove_prefix(1);
    if (Right)
        while (!text.empty() && static_cast<unsigned char>(text.back()) < kFirstPrintable) text.remove_suffix(1);
    result.BuildString(TJString(text));
}

void Reverse(TJObject& self, const TJValueList*, TJValue& result) {
    const std::string_view text = Text(self).view();
    const CodePage& cp = CodePage::Current();
    std::string out(text.size(), '\0');
    // Each character keeps its bytes in order; the characters go from the end back.
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = cp.CharLength(text, pos);
        text.copy(out.data() + (text.size() - pos - length), length, pos);
        pos += length;
    }
    result.BuildString(TJString(out));
}

void SizeOf(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildInteger(static_cast<std::int32_t>(Text(self).size()));
}

void Crypt(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJString salt = AsString(Arg(args, 0));
    // The first two characters of the salt: their bytes, as far as the algorithm reads them.
    result.BuildString(TJString(Crypt3(Text(self), Range(salt, 1, 2))));
}

void TextOf(TJObject& self, const TJValueList*, TJValue& result) { result.BuildString(Text(self)); }

// ---------------------------------------------------------------------------
// HTML wrappers: the text between an upper-case tag pair, inserted as it is.

template <const std::string_view* Open, const std::string_view* Close>
void Tag(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildString(Joined({*Open, Text(self), *Close}));
}

// A tag with an attribute, whose value is the argument's text; undefined without one.
template <const std::string_view* Open, const std::string_view* Close>
void AttributeTag(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* value = Arg(args, 0);
    if (!value) return result.SetUndefined(), void();
    result.BuildString(Joined({*Open, value->AsString(), "\">", Text(self), *Close}));
}

constexpr std::string_view kAnchor = "<A NAME=\"", kLink = "<A HREF=\"", kAnchorEnd = "</A>";
constexpr std::string_view kFontColor = "<FONT COLOR=\"", kFontSize = "<FONT SIZE=\"", kFontEnd = "</FONT>";
constexpr std::string_view kBig = "<BIG>", kBigEnd = "</BIG>", kBlink = "<BLINK>", kBlinkEnd = "</BLINK>";
constexpr std::string_view kBold = "<B>", kBoldEnd = "</B>", kFixed = "<TT>", kFixedEnd = "</TT>";
constexpr std::string_view kItalics = "<I>", kItalicsEnd = "</I>", kSmall = "<SMALL>", kSmallEnd = "</SMALL>";
constexpr std::string_view kStrike = "<STRIKE>", kStrikeEnd = "</STRIKE>", kSub = "<SUB>", kSubEnd = "</SUB>";
constexpr std::string_view kSup = "<SUP>", kSupEnd = "</SUP>";

// ---------------------------------------------------------------------------
// Japanese conversions: the module's functions on the text.

template <std::string (*Convert)(std::string_view)>
void Conversion(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildString(TJString(Convert(Text(self))));
}

// ---------------------------------------------------------------------------
// Properties

std::int64_t GetLength(TJObject& self, int) { return CharCount(Text(self)); }
std::string GetText(TJObject& self, int) { return Text(self).str(); }
void SetText(TJObject& self, int, std::string_view text) { static_cast<TJStringObject&>(self).SetText(TJString(text)); }

const TJPropertyTable& StringProperties() {
    static const TJPropertyTable table{
        IntegerProperty("length", TJOrdinalType::S32, &GetLength, nullptr),
        StringProperty("text", &GetText, &SetText),
        StringProperty("str", &GetText, &SetText),
    };
    return table;
}

using M = TJMethodTable;

}  // namespace

TJStringObject::TJStringObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("String");
    SetKind(TJObjectKind::String);
    if (const TJValue* value = Arg(param, 0)) text_ = value->AsString();
}

const TJPropertyTable* TJStringObject::PublishedProperties() const { return &StringProperties(); }

const TJMethodTable* TJStringObject::SharedMethods() const {
    static const TJMethodTable table{{
        M::Method("charAt", &CharAt),
        M::Method("charCodeAt", &CharCodeAt),
        M::Method("fromCharCode", &FromCharCode),
        M::Method("concat", &Concat),
        M::Method("indexOf", &IndexOf),
        M::Method("lastIndexOf", &LastIndexOf),
        M::Method("localeCompare", &LocaleCompare),
        M::Method("slice", &Slice),
        M::Method("substr", &Substr),
        M::Method("substring", &Substring),
        M::Method("split", &Split),
        M::Method("match", &Match),
        M::Method("replace", &Replace),
        M::Method("search", &Search),
        M::Method("toLowerCase", &ToLowerCase),
        M::Method("toUpperCase", &ToUpperCase),
        M::Method("trim", &Trim<true, true>),
        M::Method("trimLeft", &Trim<true, false>),
        M::Method("trimRight", &Trim<false, true>),
        M::Method("reverse", &Reverse),
        M::Method("sizeOf", &SizeOf),
        M::Method("crypt", &Crypt),
        M::Method("toString", &TextOf),
        M::Method("valueOf", &TextOf),
        M::Method("anchor", &AttributeTag<&kAnchor, &kAnchorEnd>),
        M::Method("link", &AttributeTag<&kLink, &kAnchorEnd>),
        M::Method("fontcolor", &AttributeTag<&kFontColor, &kFontEnd>),
        M::Method("fontsize", &AttributeTag<&kFontSize, &kFontEnd>),
        M::Method("big", &Tag<&kBig, &kBigEnd>),
        M::Method("blink", &Tag<&kBlink, &kBlinkEnd>),
        M::Method("bold", &Tag<&kBold, &kBoldEnd>),
        M::Method("fixed", &Tag<&kFixed, &kFixedEnd>),
        M::Method("italics", &Tag<&kItalics, &kItalicsEnd>),
        M::Method("small", &Tag<&kSmall, &kSmallEnd>),
        M::Method("strike", &Tag<&kStrike, &kStrikeEnd>),
        M::Method("sub", &Tag<&kSub, &kSubEnd>),
        M::Method("sup", &Tag<&kSup, &kSupEnd>),
        M::Method("toJIS", &Conversion<&jconvert::ToJIS>),
        M::Method("toSJIS", &Conversion<&jconvert::ToSJIS>),
        M::Method("toEUC", &Conversion<&jconvert::ToEUC>),
        M::Method("fromJIStoSJIS", &Conversion<&jconvert::FromJIStoSJIS>),
        M::Method("fromJIStoEUC", &Conversion<&jconvert::FromJIStoEUC>),
        M::Method("fromEUCtoSJIS", &Conversion<&jconvert::FromEUCtoSJIS>),
        M::Method("fromEUCtoJIS", &Conversion<&jconvert::FromEUCtoJIS>),
        M::Method("fromSJIStoEUC", &Conversion<&jconvert::FromSJIStoEUC>),
        M::Method("fromSJIStoJIS", &Conversion<&jconvert::FromSJIStoJIS>),
        M::Method("toUTF8", &Conversion<&jconvert::ToUTF8>),
        M::Method("fromUTF8toSJIS", &Conversion<&jconvert::FromUTF8toSJIS>),
        M::Method("toWide", &Conversion<&jconvert::ToWide>),
        M::Method("toZenkaku", &Conversion<&jconvert::ToZenkaku>),
        M::Method("toHankaku", &Conversion<&jconvert::ToHankaku>),
        M::Method("toHiragana", &Conversion<&jconvert::ToHiragana>),
        M::Method("toKatakana", &Conversion<&jconvert::ToKatakana>),
    }, &BaseMethods()};
    return &table;
}

int TJStringObject::GetCount() { return static_cast<int>(CharCount(text_)); }

void TJStringObject::GetItem(int index, TJValue& value) {
    value.BuildString(TJString(Range(text_, std::int64_t(index) + 1, 1)));
}

std::int64_t TJStringObject::CheckedIndex(std::string_view keyText) const {
    std::int32_t index;
    if (!TryTextToInteger(keyText, index)) ThrowError(errors::IndexError, keyText);
    const std::int64_t length = CharCount(text_);
    std::int64_t i = index < 0 ? index + length : index;
    if (i < 0 || i >= length) ThrowError(errors::IndexError, keyText);
    return i;
}

void TJStringObject::GetValue(std::string_view name, bool arrayStyle, TJValue& value, const TJValueList* param) {
    if (!arrayStyle) return TJObject::GetValue(name, arrayStyle, value, param);
    if (param && param->Count() >= 2) return Slice(*this, param, value);
    value.BuildString(TJString(Range(text_, CheckedIndex(name) + 1, 1)));
}

bool TJStringObject::GetElement(std::int32_t index, TJValue& value) {
    const std::int64_t length = CharCount(text_);
    const std::int64_t i = index < 0 ? index + length : index;
    if (i < 0 || i >= length) ThrowError(errors::IndexError, IntegerToText(index));
    value.BuildString(TJString(Range(text_, i + 1, 1)));
    return true;
}

void TJStringObject::SetValue(std::string_view name, const TJValue& value, const TJValueList* param,
                              bool arrayStyle) {
    if (!arrayStyle) return TJObject::SetValue(name, value, param, arrayStyle);
    const std::int64_t length = CharCount(text_);
    std::int64_t a, b;
    if (param && param->Count() >= 2) {
        // Positions outside the text are pulled to its ends, and a reversed pair swapped.
        a = (*param)[0].AsInteger();
        b = (*param)[1].AsInteger();
        if (a < 0) a += length;
        if (b < 0) b += length;
        a = std::clamp<std::int64_t>(a, 0, length);
        b = std::clamp<std::int64_t>(b, 0, length);
        if (a > b) std::swap(a, b);
    } else {
        a = CheckedIndex(name);
        b = a + 1;
    }
    const std::size_t from = Offset(text_, a), to = Offset(text_, b);
    text_ = Joined({text_.view().substr(0, from), value.AsString(), text_.view().substr(to)});
}

}  // namespace kestrel
