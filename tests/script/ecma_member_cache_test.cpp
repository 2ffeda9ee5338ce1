// Member accesses that remember what they found: each script reaches the same
// place in the tree again after the object, its prototype or the kind of object
// changed, and must find what an uncached lookup finds.
#include <gtest/gtest.h>

#include "script_runner.h"

using namespace kestrel;
using kestrel::testing::ScriptRunner;

namespace {

// A host object with one published property, read and written through accessors
// that count their calls.
class Gauge : public TJObject {
public:
    Gauge(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) { SetObjectName("Gauge"); }
    const TJPropertyTable* PublishedProperties() const override {
        static const TJPropertyTable table{IntegerProperty("Level", TJOrdinalType::S32, &GetLevel, &SetLevel)};
        return &table;
    }
    static std::int64_t GetLevel(TJObject& o, int) {
        ++reads;
        return static_cast<Gauge&>(o).level;
    }
    static void SetLevel(TJObject& o, int, std::int64_t v) {
        ++writes;
        static_cast<Gauge&>(o).level = v * 10;
    }
    std::int64_t level = 4;
    static inline int reads = 0;
    static inline int writes = 0;
};

// get(o) and put(o, v) are the cached places; the rest of each script changes
// what they must find between two visits.
constexpr std::string_view kPlaces =
    "function get(o){ return o.m(); } function read(o){ return o.x; } function put(o, v){ o.x = v; }"
    "function F(){} F.prototype.m = function(){ return 'proto'; };"
    "function G(){} G.prototype.m = function(){ return 'G'; };";

TEST(MemberCache, FindsWhatAnUncachedLookupFinds) {
    const struct {
        const char* what;
        const char* script;
        const char* output;
    } cases[] = {
        {"an own member added after the place found the prototype's",
         "var a = new F(); print(get(a)); a.m = function(){ return 'own'; }; println(get(a));", "protoown\n"},
        {"the own member removed again",
         "var a = new F(); a.m = function(){ return 'own'; }; print(get(a)); a.removeKey('m'); println(get(a));",
         "ownproto\n"},
        {"the method replaced on the prototype",
         "var a = new F(); print(get(a)); F.prototype.m = function(){ return 'new'; }; println(get(a));",
         "protonew\n"},
        {"the method deleted from the prototype",
         "var a = new F(); println(get(a)); delete F.prototype.m; get(a);", "proto\n!Exception: ENameError(1) => m"},
        {"the prototype's table growing past its first room after the place found a slot in it",
         "var a = new F(); print(get(a));"
         "for (var i = 0; i < 40; i++) F.prototype['k' + i] = i; println(get(a), F.prototype.k39);",
         "protoproto\n39\n"},
        {"the prototype replaced, then cleared",
         "var a = new F(); print(get(a)); F.prototype = {m: function(){ return 'repl'; }}; print(get(a));"
         "F.prototype = null; println(get(a));",
         "proto" "repl" "proto\n"},
        {"a replacement prototype that dies",
         "var a = new F(); var r = {m: function(){ return 'repl'; }}; F.prototype = r; print(get(a));"
         "r = null; F.prototype = {}; F.prototype = null; println(get(a));",
         "replproto\n"},
        {"one place over objects of two names, by turns",
         "var a = new F(); var b = new G(); for (var i = 0; i < 3; i++) print(get(a), get(b));",
         "protoGprotoGprotoG"},
        {"an own member shadowing the prototype's, object by object",
         "F.prototype.x = 1; var a = new F(); var b = new F(); b.x = 2;"
         "for (var i = 0; i < 2; i++) print(read(a), read(b)); put(a, 3); println(read(a), F.prototype.x);",
         "12123\n1\n"},
        {"objects whose own tables differ in layout at one place",
         "var list = [{x: 1}, {a: 0, x: 2}, {b: 0, c: 0, x: 3}, {x: 4, y: 0}]; var s = 0;"
         "for (var k = 0; k < 2; k++) for (var i = 0; i < 4; i++) s = s * 10 + read(list[i]); println(s);",
         "12341234\n"},
        {"with over an object the place has read",
         "var o = {x: 1}; print(read(o)); with (o) { x = 5; } println(read(o));", "15\n"},
        {"a method every object has, shadowed on one object only",
         "function ts(o){ return o.toString(); } var a = new F(); var b = new F(); b.toString = function(){ return 'b'; };"
         "println(ts(a), ts(b), ts(a));",
         "[object F]\nb\n[object F]\n"},
    };
    for (const auto& c : cases) {
        ScriptRunner runner;
        EXPECT_EQ(runner.Output(std::string(kPlaces) + c.script), c.output) << c.what;
    }
}

TEST(MemberCache, HostPropertiesGoThroughTheirAccessorsAtACachedPlace) {
    ScriptRunner runner;
    runner.engine.ImportObject("Gauge", ClassOf<Gauge>());
    Gauge::reads = Gauge::writes = 0;
    // The same places first serve plain objects, then a host object whose property
    // of the same name has a getter and a setter, then plain objects again.
    EXPECT_EQ(runner.Output(std::string(kPlaces) +
                            "var p = {x: 1, Level: 2}; var g = new Gauge();"
                            "function level(o){ return o.Level; } function setLevel(o, v){ o.Level = v; }"
                            "print(level(p), level(p), level(g)); setLevel(p, 3); setLevel(g, 5);"
                            "println(level(p), level(g), g.hasKey('Level'), g.getKeys().length);"),
              "2243\n50\ntrue\n10\n");
    EXPECT_EQ(Gauge::writes, 1) << "the write reached the setter, not a new member";
    EXPECT_EQ(Gauge::reads, 2);
}

}  // namespace
