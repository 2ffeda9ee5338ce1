// The RegExp object: a pattern with its modifiers, the state of its last match, the
// members "$0" ... "$14" and the four operations exec, test, replace and split.
//
// Every search starts at the beginning of the input; positions are byte positions.
// Registered RegExp objects report to the engine's own shared RegExp object through
// three hooks, so that `RegExp.lastMatch` and `RegExp.$1` describe the last match
// made by any of them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "script/lib/ecma_object.h"
#include "script/lib/ecma_regexp_engine.h"

namespace kestrel {

// The pattern, its modifiers and the state of the last match. The texts of the last
// match are taken from its subject only when they are read, so that a loop over a
// long input records every match in constant time.
class TJRegExp {
public:
    bool Global = false;
    std::int32_t Index = -1;      // 0-based start of the last match
    std::int32_t LastIndex = -1;  // just after the last match
    TJString Input;               // the last input

    const TJString& Source() const noexcept { return source_; }
    void SetSource(TJString source);
    bool IgnoreCase() const noexcept { return flags_ & rfIgnoreCase; }
    bool Multiline() const noexcept { return flags_ & rfMultiline; }
    void SetIgnoreCase(bool on) { SetFlag(rfIgnoreCase, on); }
    void SetMultiline(bool on) { SetFlag(rfMultiline, on); }

    // The compiled pattern, compiled now when the source or a modifier changed since
    // the last match; null when it does not compile. Cache may be none.
    std::shared_ptr<const TJPattern> Pattern(TJPatternCache* cache);

    // Index and LastIndex -1, no match texts, no groups; the input and flags stay.
    void ClearState();
    // The match Matcher found in Subject becomes the last match.
    void Record(const TJMatcher& matcher, const TJString& subject);
    // Everything: state, pattern, modifiers and input (the shared object's copy).
    void CopyFrom(const TJRegExp& other);

    // The highest group of the last match (0: the whole match only; -1: no match).
    int GroupCount() const noexcept { return count_; }
    TJString Group(int n) const;
    TJString LastMatch() const { return Group(0); }
    TJString LastParen() const { return count_ > 0 ? Group(count_) : TJString(); }
    TJString LeftContext() const;
    TJString RightContext() const;

private:
    struct TSpan {
        std::size_t Start = 0;  // npos: the group did not take part
        std::size_t Length = 0;
    };
    void SetFlag(unsigned flag, bool on);

    TJString source_;
    unsigned flags_ = rfNone;
    std::shared_ptr<const TJPattern> compiled_;
    bool compiledCurrent_ = false;
    TJString subject_;
    std::array<TSpan, TJMatcher::kMaxGroup + 1> groups_{};
    int count_ = -1;
};

class TJRegExpObject;

// What the engine's new-object hook sets on every registered RegExp object.
struct TJRegExpHooks {
    std::function<void()> BeforeMatch;
    std::function<void(const TJRegExpObject&)> AfterMatch;
    std::function<TJString()> InputSource;
};

class TJRegExpObject : public TJObject {
public:
    // No arguments; a regular-expression literal; or pattern text and flag letters.
    TJRegExpObject(TJBaseEngine* engine, const TJValueList* param);
    ~TJRegExpObject() override;
    // Every namespace names the engine's shared object "RegExp" instead.
    static constexpr bool MakesGlobalInstance() { return false; }

    void ResetMembers() override;
    const TJPropertyTable* PublishedProperties() const override;
    const TJMethodTable* SharedMethods() const override;
    TJString ToString(const TJValue* arg = nullptr) override;

    TJRegExp& State() noexcept { return state_; }
    const TJRegExp& State() const noexcept { return state_; }

    // The engine's shared object: holds the engine's pattern cache and sets the
    // hooks of a registered object so that it reports its matches here.
    void BecomeShared();
    void Attach(TJRegExpObject& registered);

    // The operations, also for the String object's pattern methods.
    // exec: an array of the whole-match texts, or null. Text none: the input-source hook.
    void Exec(const TJString* text, TJValue& result);
    bool Test(const TJString& text);
    TJString Replace(const TJString& text, const TJValue& replacement);
    // Limit below 0: no limit.
    TJArrayObject* Split(const TJString& text, std::int32_t limit);

private:
    void ExecMethod(const TJValueList* args, TJValue& result);
    void TestMethod(const TJValueList* args, TJValue& result);
    void ReplaceMethod(const TJValueList* args, TJValue& result);
    void SplitMethod(const TJValueList* args, TJValue& result);

    // Clears the state and the "$" members and runs the before-match hook.
    void StartMatch();
    // Input := Text; the first match from byte 0, then with `global` every next one.
    // Each is recorded and passed to OnMatch. True when anything matched.
    template <class F>
    bool MatchLoop(const TJString& text, F&& onMatch);
    TJString ReplaceByFunction(const TJString& text, const TJValue& function);
    // "$0" ... "$9" empty, and "$10" ... "$14" as well where they exist.
    void ClearDollars();
    // "$0" ... "$k" from the groups of the last match.
    void SetDollars();

    TJRegExp state_;
    TJRegExpHooks hooks_;
    TJPatternCache* cache_ = nullptr;
    std::unique_ptr<TJPatternCache> ownCache_;  // the shared object's
    // "$0" ... "$9" exist on every object; higher ones appear with a match that has them.
    static constexpr int kBasicDollars = 10;
    int dollars_ = kBasicDollars;  // "$" members there may be
};

}  // namespace kestrel
