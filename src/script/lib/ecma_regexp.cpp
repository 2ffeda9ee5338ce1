// TJRegExp and TJRegExpObject: construction, the published properties, the "$"
// members, the match loop, exec/test/replace/split, replacement templates and the
// hooks that feed the engine's shared RegExp object.
#include "script/lib/ecma_regexp.h"

#include <algorithm>
#include <string>
#include <vector>

#include "util/CodePage.h"

namespace kestrel {

namespace {

constexpr std::string_view kDollarNames[TJMatcher::kMaxGroup + 1] = {
    "$0", "$1", "$2", "$3", "$4", "$5", "$6", "$7", "$8", "$9", "$10", "$11", "$12", "$13", "$14"};
// A flag text longer than this many characters sets no flag at all.
constexpr std::size_t kMaxFlagText = 3;

// Appends Piece to Out unless the result would pass the string limit.
void Append(std::string& out, std::string_view piece) {
    TJString::CheckLength(out.size() + piece.size());
    out.append(piece);
}

std::string_view GroupText(const TJMatcher& matcher, std::string_view subject, int n) {
    const std::size_t start = matcher.GroupStart(n);
    if (start == std::string_view::npos) return {};
    return subject.substr(start, matcher.GroupLength(n));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The replacement text of one match: "$n", "$&", "${n}" and "${&}" stand for a group
// (0 and "&" the whole match; a group that did not take part, or 15 and above,
// for nothing); "\" gives the character after it; everything else is copied.
void ExpandTemplate(std::string_view text, const TJMatcher& matcher, std::string_view subject, std::string& out) {
    constexpr int kNoGroup = TJMatcher::kMaxGroup + 1;
    const tinctor::CodePage& cp = tinctor::CodePage::Current();
    std::size_t i = 0;
    auto group = [&](int n) {
        if (n <= TJMatcher::kMaxGroup) Append(out, GroupText(matcher, subject, n));
    };
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            const std::size_t length = cp.CharLength(text, i + 1);
            Append(out, text.substr(i + 1, length));
            i += 1 + length;
            continue;
        }
        if (c == '$' && i + 1 < text.size()) {
            const char d = text[i + 1];
            if (d == '&') {
                group(0);
                i += 2;
                continue;
            }
            if (IsDigit(d)) {
                int n = 0;
                for (i += 1; i < text.size() && IsDigit(text[i]); ++i) n = std::min(n * 10 + (text[i] - '0'), kNoGroup);
                group(n);
                continue;
            }
            if (d == '{') {
                std::size_t j = i + 2;
                int n = 0;
                if (j < text.size() && text[j] == '&') {
                    ++j;
                } else {
                    const std::size_t digits = j;
                    for (; j < text.size() && IsDigit(text[j]); ++j) n = std::min(n * 10 + (text[j] - '0'), kNoGroup);
                    if (j == digits) j = text.size();  // "${" without digits or "&": no form
                }
                if (j < text.size() && text[j] == '}') {
                    group(n);
                    i = j + 1;
                    continue;
                }
            }
        }
        // Whole characters, so that a trail byte that looks like "\" stays where it is.
        const std::size_t length = cp.CharLength(text, i);
        Append(out, text.substr(i, length));
        i += length;
    }
}

TJRegExpObject& Self(TJObject& object) { return static_cast<TJRegExpObject&>(object); }

enum TextProperty { tpSource, tpInput, tpLastMatch, tpLastParen, tpLeftContext, tpRightContext };
enum FlagProperty { fpGlobal, fpIgnoreCase, fpMultiline };
enum PositionProperty { ppIndex, ppLastIndex };

std::string GetText(TJObject& object, int which) {
    const TJRegExp& s = Self(object).State();
    switch (which) {
    case tpSource: return s.Source().str();
    case tpInput: return s.Input.str();
    case tpLastMatch: return s.LastMatch().str();
    case tpLastParen: return s.LastParen().str();
    case tpLeftContext: return s.LeftContext().str();
    default: return s.RightContext().str();
    }
}

void SetText(TJObject& object, int which, std::string_view text) {
    TJRegExp& s = Self(object).State();
    if (which == tpSource) s.SetSource(TJString(text));
    else s.Input = TJString(text);
}

std::int64_t GetFlag(TJObject& object, int which) {
    const TJRegExp& s = Self(object).State();
    switch (which) {
    case fpGlobal: return s.Global;
    case fpIgnoreCase: return s.IgnoreCase();
    default: return s.Multiline();
    }
}

void SetFlag(TJObject& object, int which, std::int64_t on) {
    TJRegExp& s = Self(object).State();
    switch (which) {
    case fpGlobal: s.Global = on != 0; break;
    case fpIgnoreCase: s.SetIgnoreCase(on != 0); break;
    default: s.SetMultiline(on != 0); break;
    }
}

std::int64_t GetPosition(TJObject& object, int which) {
    const TJRegExp& s = Self(object).State();
    return which == ppIndex ? s.Index : s.LastIndex;
}

const TJPropertyTable& RegExpProperties() {
    static const TJPropertyTable table{
        StringProperty("source", &GetText, &SetText, tpSource),
        BooleanProperty("global", &GetFlag, &SetFlag, fpGlobal),
        BooleanProperty("ignoreCase", &GetFlag, &SetFlag, fpIgnoreCase),
        BooleanProperty("multiline", &GetFlag, &SetFlag, fpMultiline),
        StringProperty("input", &GetText, &SetText, tpInput),
        IntegerProperty("index", TJOrdinalType::S32, &GetPosition, nullptr, ppIndex),
        IntegerProperty("lastIndex", TJOrdinalType::S32, &GetPosition, nullptr, ppLastIndex),
        StringProperty("lastMatch", &GetText, nullptr, tpLastMatch),
        StringProperty("lastParen", &GetText, nullptr, tpLastParen),
        StringProperty("leftContext", &GetText, nullptr, tpLeftContext),
        StringProperty("rightContext", &GetText, nullptr, tpRightContext),
    };
    return table;
}

}  // namespace

// ---------------------------------------------------------------------------
// TJRegExp

void TJRegExp::SetSource(TJString source) {
    source_ = std::move(source);
    compiledCurrent_ = false;
}

void TJRegExp::SetFlag(unsigned flag, bool on) {
    const unsigned flags = on ? flags_ | flag : flags_ & ~flag;
    if (flags != flags_) compiledCurrent_ = false;
    flags_ = flags;
}

std::shared_ptr<const TJPattern> TJRegExp::Pattern(TJPatternCache* cache) {
    if (!compiledCurrent_) {
        compiled_ = cache ? cache->Get(source_, flags_) : TJPattern::Compile(source_, flags_);
        compiledCurrent_ = true;
    }
    return compiled_;
}

void TJRegExp::ClearState() {
    Index = LastIndex = -1;
    subject_ = TJString();
    count_ = -1;
}

void TJRegExp::Record(const TJMatcher& matcher, const TJString& subject) {
    subject_ = subject;
    count_ = matcher.GroupCount();
    for (int n = 0; n <= count_; ++n) groups_[n] = {matcher.GroupStart(n), matcher.GroupLength(n)};
    Index = static_cast<std::int32_t>(groups_[0].Start);
    LastIndex = static_cast<std::int32_t>(groups_[0].Start + groups_[0].Length);
}

void TJRegExp::CopyFrom(const TJRegExp& other) {
    if (this != &other) *this = other;
}

TJString TJRegExp::Group(int n) const {
    if (n < 0 || n > count_ || groups_[n].Start == std::string_view::npos) return {};
    return TJString(subject_.view().substr(groups_[n].Start, groups_[n].Length));
}

TJString TJRegExp::LeftContext() const {
    if (count_ < 0) return {};
    return TJString(subject_.view().substr(0, groups_[0].Start));
}

TJString TJRegExp::RightContext() const {
    if (count_ < 0) return {};
    return TJString(subject_.view().substr(groups_[0].Start + groups_[0].Length));
}

// ---------------------------------------------------------------------------
// Construction and members

TJRegExpObject::TJRegExpObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("RegExp");
    SetKind(TJObjectKind::RegExp);
    const TJValue* pattern = param ? param->Get(0) : nullptr;
    if (!pattern) return;
    std::string_view letters;
    TJString flagText;
    if (pattern->IsRegExpValue()) {
        state_.SetSource(pattern->vString());
        letters = pattern->vRegExpFlags();
    } else {
        try {
            state_.SetSource(pattern->AsString());
        } catch (const EJThrow&) {
            // a pattern whose text cannot be taken stays empty
        }
        if (const TJValue* flags = param->Get(1)) {
            flagText = flags->AsString();
            if (tinctor::CodePage::Current().CharCount(flagText) <= kMaxFlagText) letters = flagText;
        }
    }
    state_.SetIgnoreCase(letters.find('i') != std::string_view::npos);
    state_.Global = letters.find('g') != std::string_view::npos;
    state_.SetMultiline(letters.find('m') != std::string_view::npos);
}

TJRegExpObject::~TJRegExpObject() = default;

const TJMethodTable* TJRegExpObject::SharedMethods() const {
    static const TJMethodTable table{{
        TJMethodTable::Method<&TJRegExpObject::ExecMethod>("exec"),
        TJMethodTable::Method<&TJRegExpObject::TestMethod>("test"),
        TJMethodTable::Method<&TJRegExpObject::ReplaceMethod>("replace"),
        TJMethodTable::Method<&TJRegExpObject::SplitMethod>("split"),
        // "$0" ... "$9" start empty on every object; a match gives the object its own.
        TJMethodTable::Constant(kDollarNames[0], StringValue(TJString())),
        TJMethodTable::Constant(kDollarNames[1], StringValue(TJString())),
        TJMethodTable::Constant(kDollarNames[2], StringValue(TJString())),
        TJMethodTable::Constant(kDollarNames[3], StringValue(TJString())),
        TJMethodTable::Constant(kDollarNames[4], StringValue(TJString())),
        TJMethodTable::Constant(kDollarNames[5], StringValue(TJString())),
        TJMethodTable::Constant(kDollarNames[6], StringValue(TJString())),
        TJMethodTable::Constant(kDollarNames[7], StringValue(TJString())),
        TJMethodTable::Constant(kDollarNames[8], StringValue(TJString())),
        TJMethodTable::Constant(kDollarNames[9], StringValue(TJString())),
    }, &BaseMethods()};
    return &table;
}

void TJRegExpObject::ResetMembers() {
    TJObject::ResetMembers();
    state_.ClearState();
    dollars_ = kBasicDollars;
}

const TJPropertyTable* TJRegExpObject::PublishedProperties() const { return &RegExpProperties(); }

TJString TJRegExpObject::ToString(const TJValue*) { return TJString("[object RegExp]"); }

void TJRegExpObject::BecomeShared() {
    hooks_ = {};
    ownCache_ = std::make_unique<TJPatternCache>();
    cache_ = ownCache_.get();
}

void TJRegExpObject::Attach(TJRegExpObject& registered) {
    // The shared object outlives every registered object: the engine clears those first.
    registered.cache_ = cache_;
    registered.hooks_.BeforeMatch = [this] {
        state_.ClearState();
        ClearDollars();
    };
    registered.hooks_.AfterMatch = [this](const TJRegExpObject& from) {
        state_.CopyFrom(from.state_);
        SetDollars();
    };
    registered.hooks_.InputSource = [this] { return state_.Input; };
}

void TJRegExpObject::ClearDollars() {
    const TJValue empty = StringValue(TJString());
    for (int n = 0; n < kBasicDollars; ++n) {
        // The empty shared entry shows again once the object's own text is gone.
        const std::string_view name = kDollarNames[n];
        if (Members().Remove(name) && !HasKey(name)) DefineMember(name, empty);
    }
    for (int n = kBasicDollars; n < dollars_; ++n)
        if (Members().HasKey(kDollarNames[n])) DefineMember(kDollarNames[n], empty);
}

void TJRegExpObject::SetDollars() {
    for (int n = 0; n <= state_.GroupCount(); ++n) DefineMember(kDollarNames[n], StringValue(state_.Group(n)));
    dollars_ = std::max(dollars_, state_.GroupCount() + 1);
}

// ---------------------------------------------------------------------------
// Matching

void TJRegExpObject::StartMatch() {
    state_.ClearState();
    ClearDollars();
    if (hooks_.BeforeMatch) hooks_.BeforeMatch();
}

template <class F>
bool TJRegExpObject::MatchLoop(const TJString& text, F&& onMatch) {
    state_.Input = text;
    std::shared_ptr<const TJPattern> pattern = state_.Pattern(cache_);
    if (!pattern) return false;
    TJMatcher matcher(std::move(pattern));
    bool matched = false;
    // A failure of the engine (a resource limit) ends the loop like "no further match".
    for (std::size_t start = 0; start <= text.size() && matcher.Find(text, start) == TJMatchStatus::Found;
         start = matcher.NextStart()) {
        matched = true;
        state_.Record(matcher, text);
        onMatch(static_cast<const TJMatcher&>(matcher));
        if (!state_.Global) break;
    }
    return matched;
}

void TJRegExpObject::Exec(const TJString* text, TJValue& result) {
    result.BuildNull();
    StartMatch();
    const TJString input = text ? *text : hooks_.InputSource ? hooks_.InputSource() : TJString();
    TJArrayObject* list = nullptr;
    const bool matched = MatchLoop(input, [&](const TJMatcher&) {
        if (!list) list = TJObject::New<TJArrayObject>(Engine(), true);
        list->Items().AddString(state_.LastMatch());
    });
    if (!matched) return;
    SetDollars();
    if (hooks_.AfterMatch) hooks_.AfterMatch(*this);
    result.BuildObject(list);
}

bool TJRegExpObject::Test(const TJString& text) {
    StartMatch();
    const bool matched = MatchLoop(text, [](const TJMatcher&) {});
    if (matched) SetDollars();
    if (hooks_.AfterMatch) hooks_.AfterMatch(*this);
    return matched;
}

TJString TJRegExpObject::Replace(const TJString& text, const TJValue& replacement) {
    if (replacement.IsFunction() && dynamic_cast<TJEngine*>(Engine())) return ReplaceByFunction(text, replacement);
    // No script runs while a template is expanded, so the matches that `test` would
    // find first are the ones replaced here: one pass records them and leaves the
    // state, the "$" members and the shared object exactly as test-then-replace does.
    StartMatch();
    const TJString templateText = replacement.AsString();
    const std::string_view subject = text.view();
    std::string out;
    std::size_t copied = 0;
    const bool matched = MatchLoop(text, [&](const TJMatcher& matcher) {
        const std::size_t start = matcher.GroupStart(0);
        if (start > copied) Append(out, subject.substr(copied, start - copied));
        ExpandTemplate(templateText, matcher, subject, out);
        copied = std::max(copied, start + matcher.GroupLength(0));
    });
    if (matched) SetDollars();
    if (hooks_.AfterMatch) hooks_.AfterMatch(*this);
    if (!state_.Pattern(cache_)) return TJString();  // a pattern that does not compile
    Append(out, subject.substr(copied));
    return TJString(out);
}

TJString TJRegExpObject::ReplaceByFunction(const TJString& text, const TJValue& function) {
    auto& engine = static_cast<TJEngine&>(*Engine());
    Test(text);
    std::shared_ptr<const TJPattern> pattern = state_.Pattern(cache_);
    if (!pattern) return TJString();
    // The loop's own matcher and argument list: the function may use this object again.
    const TJValue callee = function;
    TJMatcher matcher(std::move(pattern));
    std::vector<TJValue> args;  // the groups, the position and the text; room kept from match to match
    TJValue result;
    const std::string_view subject = text.view();
    std::string out;
    std::size_t copied = 0;
    for (std::size_t start = 0; start <= text.size() && matcher.Find(text, start) == TJMatchStatus::Found;
         start = matcher.NextStart()) {
        const std::size_t matchStart = matcher.GroupStart(0);
        if (matchStart > copied) Append(out, subject.substr(copied, matchStart - copied));
        copied = std::max(copied, matchStart + matcher.GroupLength(0));
        state_.Record(matcher, text);
        for (int n = 0; n <= matcher.GroupCount(); ++n) args.push_back(StringValue(TJString(GroupText(matcher, subject, n))));
        args.push_back(IntegerValue(static_cast<std::int32_t>(matchStart)));
        args.push_back(StringValue(text));
        engine.CallBack(callee, args, result, this);
        args.clear();
        result.AppendString(out);
        TJString::CheckLength(out.size());
        if (!state_.Global) break;
    }
    Append(out, subject.substr(copied));
    return TJString(out);
}

TJArrayObject* TJRegExpObject::Split(const TJString& text, std::int32_t limit) {
    TJArrayObject* pieces = TJObject::New<TJArrayObject>(Engine(), true);
    state_.Input = text;
    std::shared_ptr<const TJPattern> pattern = state_.Pattern(cache_);
    if (!pattern || limit == 0) return pieces;
    TJValueList& items = pieces->Items();
    const std::string_view subject = text.view();
    TJMatcher matcher(std::move(pattern));
    std::size_t copied = 0;
    // A failure of the engine (a resource limit) ends the loop like "no further match",
    // so the rest of the input still becomes the last piece.
    for (std::size_t start = 0; start <= text.size() && matcher.Find(text, start) == TJMatchStatus::Found;
         start = matcher.NextStart()) {
        const std::size_t matchStart = std::max(matcher.GroupStart(0), copied);
        items.AddString(TJString(subject.substr(copied, matchStart - copied)));
        copied = std::max(copied, matcher.GroupStart(0) + matcher.GroupLength(0));
        if (limit > 0 && items.Count() >= limit) return pieces;
    }
    items.AddString(TJString(subject.substr(copied)));
    return pieces;
}

// ---------------------------------------------------------------------------
// The script's methods

void TJRegExpObject::ExecMethod(const TJValueList* args, TJValue& result) {
    const TJValue* text = args ? args->Get(0) : nullptr;
    if (!text) return Exec(nullptr, result);
    const TJString input = text->AsString();
    Exec(&input, result);
}

void TJRegExpObject::TestMethod(const TJValueList* args, TJValue& result) {
    const TJValue* text = args ? args->Get(0) : nullptr;
    result.BuildBool(text && Test(text->AsString()));
}

void TJRegExpObject::ReplaceMethod(const TJValueList* args, TJValue& result) {
    const TJValue* text = args ? args->Get(0) : nullptr;
    if (!text) {
        result.BuildString(TJString());
        return;
    }
    const TJValue* replacement = args->Get(1);
    result.BuildString(Replace(text->AsString(), replacement ? *replacement : StringValue(TJString())));
}

void TJRegExpObject::SplitMethod(const TJValueList* args, TJValue& result) {
    const TJValue* text = args ? args->Get(0) : nullptr;
    const TJValue* limit = args ? args->Get(1) : nullptr;
    if (!text) {
        result.BuildObject(TJObject::New<TJArrayObject>(Engine(), true));
        return;
    }
    result.BuildObject(Split(text->AsString(), limit ? limit->AsInteger() : -1));
}

}  // namespace kestrel
