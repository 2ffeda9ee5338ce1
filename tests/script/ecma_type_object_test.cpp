// Objects: members, published properties, prototypes, the factory, value lists,
// member tables, and the lifetime rules (counting, notification, the live list).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>

#include "script/core/ecma_type_object.h"
#include "util/CodePage.h"

using namespace kestrel;

namespace {

// The array class the built-in methods make their name lists with.
class TestArray : public TJObject {
public:
    TestArray(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
        SetObjectName("Array");
        if (param) items.Assign(*param);
    }
    bool IsArray() const override { return true; }
    int GetCount() override { return items.Count(); }
    void GetItem(int index, TJValue& value) override { value = items.GetItem(index); }
    TJValueList items;
};

// An object without the built-in methods that counts how many of its kind live.
class Node : public TJObject {
public:
    Node(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) { ++live; }
    ~Node() override { --live; }
    void RegisterMethods() override {}
    static constexpr bool MakesGlobalInstance() { return false; }
    static inline long live = 0;
};

class TestEngine : public TJBaseEngine {
public:
    TestEngine() { ImportObject("Array", ClassOf<TestArray>()); }
    ~TestEngine() override { Factory().Clear(); }
    bool IsRunning() const override { return running; }
    bool FindVariable(std::string_view name, TJValue& value) override {
        auto it = variables.find(std::string(name));
        if (it == variables.end()) return false;
        value = it->second;
        return true;
    }
    void Invoke(const TJValue& callable, const TJValueList* args, TJValue& result, TJObject* self) override {
        invoked = callable.AsString().str();
        invokedThis = self;
        result = IntegerValue(args ? args->Count() : -1);
    }
    bool running = false;
    std::map<std::string, TJValue> variables;
    std::string invoked;
    TJObject* invokedThis = nullptr;
};

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EJThrow& e) {
        return e.ErrorName() + ":" + e.Message();
    }
    return "none";
}

// Calls a built-in method through its function value, as the evaluator does.
TJValue Call(TJObject* self, std::string_view method, std::initializer_list<TJValue> args = {}) {
    TJValue fn;
    self->GetValue(method, false, fn);
    EXPECT_TRUE(fn.IsFunction()) << method;
    TJValueList list;
    for (const TJValue& a : args) list.Add(a);
    TJValue result;
    TJNativeMethod m = fn.vFunction()->GetMethod();
    m.Proc(*m.Object, args.size() ? &list : nullptr, result);
    return result;
}

std::vector<std::string> Names(const TJValue& array) {
    std::vector<std::string> out;
    TJObject* o = array.vObject();
    EXPECT_TRUE(o && o->IsArray());
    for (int i = 0; o && i < o->GetCount(); ++i) {
        TJValue v;
        o->GetItem(i, v);
        out.push_back(v.AsString().str());
    }
    return out;
}

// "k" followed by a number (built by appending: GCC 12 warns wrongly about "k" + text).
std::string Key(int n) {
    std::string key = "k";
    key += std::to_string(n);
    return key;
}

TJValue Get(TJObject* o, std::string_view name) {
    TJValue v;
    o->GetValue(name, false, v);
    return v;
}

}  // namespace

// ---------------------------------------------------------------------------

TEST(Object, MembersAreCaseSensitiveAndMissingOnesRaise) {
    TestEngine engine;
    TJObject* o = TJObject::New<TJObject>(&engine, true);
    EXPECT_EQ(o->RefCount(), 0);
    EXPECT_EQ(o->ObjectName(), "Object");
    EXPECT_EQ(ErrorOf([&] { Get(o, "x"); }), "ENameError:x");
    EXPECT_EQ(ErrorOf([&] {
                  TJValue v;
                  o->GetValue("x", true, v);
              }),
              "EKeyError:x");
    o->SetValue("x", IntegerValue(1));
    o->SetValue("x", IntegerValue(2));
    o->SetValue("X", IntegerValue(3));
    EXPECT_EQ(Get(o, "x").vInteger(), 2);
    EXPECT_EQ(Get(o, "X").vInteger(), 3);
    EXPECT_TRUE(Call(o, "removeKey", {StringValue("x")}).vBool());
    EXPECT_FALSE(Call(o, "removeKey", {StringValue("x")}).vBool());
    EXPECT_FALSE(Call(o, "hasKey").vBool()) << "false without an argument";
    EXPECT_TRUE(Call(o, "hasOwnProperty", {StringValue("X")}).vBool());
    EXPECT_EQ(Call(o, "toString").AsString().str(), "[object Object]");
    EXPECT_EQ(Call(o, "valueOf").vObject(), o);
}

TEST(Object, EveryObjectHasTheBuiltInMethodsAndListsItsKeys) {
    TestEngine engine;
    TJObject* o = TJObject::New<TJObject>(&engine, true);
    o->SetValue("b", IntegerValue(1));
    o->SetValue("a", StringValue("t"));
    // The built-in methods are shared by the class: until one is read, the object's
    // own table holds its members only.
    EXPECT_EQ(o->Members().Count(), 2u);
    std::vector<std::string> keys = Names(Call(o, "getKeys"));
    std::vector<std::string> members;
    o->MemberKeys(members);
    EXPECT_EQ(keys, members);
    EXPECT_EQ(keys.size(), 11u);
    // Key-list order: bucket by bucket (23 buckets), sorted within a bucket.
    for (std::size_t i = 1; i < keys.size(); ++i) {
        std::size_t b0 = HashBucket(keys[i - 1], 23, false), b1 = HashBucket(keys[i], 23, false);
        EXPECT_TRUE(b0 < b1 || (b0 == b1 && keys[i - 1] < keys[i])) << keys[i - 1] << " " << keys[i];
    }
    std::vector<std::string> props = Names(Call(o, "getProperties"));
    std::sort(props.begin(), props.end());
    EXPECT_EQ(props, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Names(Call(o, "getMethods")).size(), 9u);
    EXPECT_TRUE(Names(Call(o, "getEvents")).empty());
    o->RegisterEvent("onb");
    o->RegisterEvent("OnA");
    o->RegisterEvent("ONB");
    EXPECT_EQ(Names(Call(o, "getEvents")), (std::vector<std::string>{"OnA", "onb"}));

    o->ClearProperties();
    EXPECT_FALSE(o->HasKey("a"));
    EXPECT_TRUE(o->HasKey("toString"));
    o->RemoveKey("toString");
    o->ResetMembers();
    EXPECT_TRUE(o->HasKey("toString")) << "reset registers the methods again";
}

TEST(Object, WithoutAnArrayClassTheNameListsRaise) {
    TJBaseEngine bare;
    TJObject* o = TJObject::New<TJObject>(&bare, true);
    EXPECT_EQ(ErrorOf([&] { Call(o, "getKeys"); }), "ENameError:create object error Array");
    EXPECT_EQ(ErrorOf([&] { bare.CreateObject("Foo", nullptr); }), "ENameError:create object error Foo");
}

// ---------------------------------------------------------------------------
// Published properties

namespace {

constexpr std::string_view kModes[] = {"mdOne", "mdTwo", "True"};
constexpr std::string_view kStyles[] = {"fsBold", "fsItalic", "fsUnderline"};

class Widget : public TJObject {
public:
    Widget(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) { SetObjectName("Widget"); }
    const TJPropertyTable* PublishedProperties() const override {
        static const TJPropertyTable table{
            IntegerProperty("Red", TJOrdinalType::U16, &GetChannel, &SetChannel, 0),
            IntegerProperty("Green", TJOrdinalType::U16, &GetChannel, &SetChannel, 1),
            IntegerProperty("Small", TJOrdinalType::S8, &GetChannel, &SetChannel, 2),
            StringProperty(
                "Caption", [](TJObject& o, int) { return Self(o).caption; },
                [](TJObject& o, int, std::string_view v) { Self(o).caption = v; }),
            BooleanProperty(
                "Enabled", [](TJObject& o, int) -> std::int64_t { return Self(o).enabled; },
                [](TJObject& o, int, std::int64_t v) { Self(o).enabled = v != 0; }),
            EnumProperty(
                "Mode", kModes, [](TJObject& o, int) { return Self(o).mode; },
                [](TJObject& o, int, std::int64_t v) { Self(o).mode = v; }),
            SetProperty(
                "Style", kStyles, [](TJObject& o, int) { return Self(o).style; },
                [](TJObject& o, int, std::int64_t v) { Self(o).style = v; }),
            FloatProperty(
                "Ratio", [](TJObject& o, int) { return Self(o).ratio; },
                [](TJObject& o, int, double v) { Self(o).ratio = v; }),
            Int64Property(
                "Big", [](TJObject& o, int) { return Self(o).big; },
                [](TJObject& o, int, std::int64_t v) { Self(o).big = v; }),
            StringProperty(
                "Version", [](TJObject&, int) { return std::string("1.0"); }, nullptr),
            EventProperty(
                "OnClick", [](TJObject& o, int) { return Self(o).click; },
                [](TJObject& o, int, TJEvent e) { Self(o).click = e; }),
            ObjectProperty(
                "Partner", [](const TJObject& o) { return o.ObjectName() == "Widget"; },
                [](TJObject& o, int) { return Self(o).partner; },
                [](TJObject& o, int, TJObject* p) { Self(o).partner = p; }),
        };
        return &table;
    }
    static Widget& Self(TJObject& o) { return static_cast<Widget&>(o); }
    static std::int64_t GetChannel(TJObject& o, int i) { return Self(o).channels[i]; }
    static void SetChannel(TJObject& o, int i, std::int64_t v) { Self(o).channels[i] = v; }

    std::int64_t channels[3] = {10, 20, 30};
    std::string caption = "c";
    bool enabled = true;
    std::int64_t mode = 1, style = 0, big = 0;
    double ratio = 0.5;
    TJEvent click{reinterpret_cast<void*>(8), nullptr};
    TJObject* partner = nullptr;
};

}  // namespace

TEST(Property, NamesMatchInAnyCaseAndValuesConvertByKind) {
    TestEngine engine;
    Widget* w = TJObject::New<Widget>(&engine, true);
    EXPECT_EQ(Get(w, "red").vInteger(), 10);
    EXPECT_EQ(Get(w, "GREEN").vInteger(), 20);
    w->SetValue("RED", DoubleValue(70000.4));
    EXPECT_EQ(w->channels[0], 4464) << "70000 cut to 16 unsigned bits";
    w->SetValue("small", IntegerValue(200));
    EXPECT_EQ(Get(w, "Small").vInteger(), -56);
    w->SetValue("caption", IntegerValue(5));
    EXPECT_EQ(w->caption, "5");
    TJValue enabled = Get(w, "enabled");
    EXPECT_TRUE(enabled.IsBool() && enabled.vBool()) << "the names True and False read as booleans";
    w->SetValue("Enabled", StringValue("FALSE"));
    EXPECT_FALSE(w->enabled);
    w->SetValue("Enabled", BoolValue(true));
    EXPECT_TRUE(w->enabled);
    EXPECT_EQ(Get(w, "mode").AsString().str(), "mdTwo");
    w->SetValue("mode", StringValue("MDONE"));
    EXPECT_EQ(w->mode, 0);
    w->SetValue("mode", StringValue("2"));
    EXPECT_TRUE(Get(w, "Mode").IsBool()) << "a number-like value gives the ordinal";
    EXPECT_EQ(Get(w, "ratio").vDouble(), 0.5);
    w->SetValue("Big", DoubleValue(-1e12 - 0.7));
    EXPECT_EQ(w->big, -1000000000000);
    EXPECT_TRUE(Get(w, "big").IsDouble());
    w->SetValue("Big", DoubleValue(1e30));
    EXPECT_EQ(w->big, std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(Get(w, "OnClick").vEvent().Code, reinterpret_cast<void*>(8));
    w->SetValue("OnClick", NullValue());
    EXPECT_EQ(w->click.Code, nullptr) << "null clears a handler";
}

TEST(Property, SetsReadAsNamesAndTakeTextsOrFlagObjects) {
    TestEngine engine;
    Widget* w = TJObject::New<Widget>(&engine, true);
    w->SetValue("Style", StringValue(" [fsUnderline, FSBOLD] "));
    EXPECT_EQ(w->style, 5);
    EXPECT_EQ(Get(w, "style").AsString().str(), "fsBold,fsUnderline");
    TJObject* flags = TJObject::New<TJObject>(&engine, true);
    flags->SetValue("fsItalic", BoolValue(true));
    flags->SetValue("fsBold", IntegerValue(0));
    w->SetValue("Style", ObjectValue(flags));
    EXPECT_EQ(w->style, 2);
    w->SetValue("Style", StringValue(""));
    EXPECT_EQ(w->style, 2) << "an empty set is not written";
    EXPECT_FALSE(w->Members().HasKey("Style"));
}

TEST(Property, WritesThatFitNoRuleBecomeMembers) {
    TestEngine engine;
    Widget* w = TJObject::New<Widget>(&engine, true);
    auto member = [&](const char* name) {
        const TJValue* v = w->Members().Find(name);
        return v ? v->AsString().str() : std::string("(none)");
    };
    w->SetValue("Mode", IntegerValue(7));
    EXPECT_EQ(w->mode, 1);
    EXPECT_EQ(member("Mode"), "7") << "an ordinal without a name";
    w->SetValue("Enabled", StringValue("yes"));
    EXPECT_TRUE(w->enabled);
    EXPECT_EQ(member("Enabled"), "yes");
    w->SetValue("Style", StringValue("fsBold fsShadow"));
    EXPECT_EQ(member("Style"), "fsBold fsShadow");
    w->SetValue("Version", StringValue("2"));
    EXPECT_EQ(Get(w, "version").AsString().str(), "1.0") << "no setter: the property still reads";
    EXPECT_EQ(member("Version"), "2");
    TJObject* plain = TJObject::New<TJObject>(&engine, true);
    w->SetValue("Partner", ObjectValue(plain));
    EXPECT_EQ(w->partner, nullptr) << "an object of another class";
    Widget* other = TJObject::New<Widget>(&engine, true);
    w->SetValue("Partner", ObjectValue(other));
    EXPECT_EQ(Get(w, "partner").vObject(), other);
    w->SetValue("Partner", NullValue());
    EXPECT_TRUE(Get(w, "partner").IsNull());
    TJValue event;
    event.BuildEvent(nullptr, nullptr);
    w->SetValue("OnClick", event);
    EXPECT_EQ(member("OnClick"), "") << "scripts cannot set a handler";
}

TEST(Property, KeysListPropertiesOnceAndSorted) {
    TestEngine engine;
    Widget* w = TJObject::New<Widget>(&engine, true);
    EXPECT_TRUE(w->HasKey("ratio"));
    EXPECT_TRUE(w->HasPublishedProperty("VERSION"));
    EXPECT_FALSE(w->HasPublishedProperty("OnClick")) << "events are not among the property names";
    w->SetValue("zz", IntegerValue(1));
    std::vector<std::string> props = Names(Call(w, "getProperties"));
    EXPECT_EQ(props, (std::vector<std::string>{"zz", "Big", "Caption", "Enabled", "Green", "Mode", "Partner",
                                               "Ratio", "Red", "Small", "Style", "Version"}));
    std::vector<std::string> keys = Names(Call(w, "getKeys"));
    EXPECT_EQ(keys.size(), 10u + 11u);
    EXPECT_EQ(keys[10], "Big");
}

// ---------------------------------------------------------------------------
// Prototypes

TEST(Prototype, ObjectsFindTheMembersOfTheirNamesPrototype) {
    TestEngine engine;
    TJObjectFactory& f = engine.Factory();
    TJObject* proto = f.GetPrototype("F");
    EXPECT_EQ(proto->ObjectName(), "Prototype");
    EXPECT_EQ(f.GetPrototype("F"), proto);
    EXPECT_FALSE(proto->HasKey("toString")) << "a prototype has no methods of its own";
    proto->SetValue("x", IntegerValue(1));
    TJObject* o = TJObject::New<TJObject>(&engine, true);
    o->SetObjectName("F");
    EXPECT_EQ(Get(o, "x").vInteger(), 1);
    o->SetValue("x", IntegerValue(2));
    EXPECT_EQ(Get(o, "x").vInteger(), 2);
    EXPECT_EQ(Get(proto, "x").vInteger(), 1) << "assignment never writes into the prototype";
    EXPECT_FALSE(o->HasKey("y"));
    proto->SetValue("y", IntegerValue(3));
    EXPECT_FALSE(o->HasKey("y")) << "HasKey does not look at prototypes";
    TJObject* array = TJObject::New<TestArray>(&engine, true);
    f.GetPrototype("Object")->SetValue("shared", IntegerValue(1));
    EXPECT_EQ(ErrorOf([&] { Get(array, "shared"); }), "ENameError:shared") << "no chain to Object's prototype";
}

TEST(Prototype, ReplacementsAreFollowedAndCyclesRefused) {
    TestEngine engine;
    TJObjectFactory& f = engine.Factory();
    TJObject* a = TJObject::New<TJObject>(&engine, true);
    a->SetObjectName("A");
    TJObject* b = TJObject::New<TJObject>(&engine, true);
    b->SetObjectName("B");
    b->SetValue("fromB", IntegerValue(1));
    TJValueList keep;
    keep.AddObject(b);
    f.GetPrototype("B")->SetValue("fromBProto", IntegerValue(2));

    EXPECT_FALSE(f.SetPrototype("A", a)) << "F.prototype = new F()";
    EXPECT_TRUE(f.SetPrototype("A", b));
    EXPECT_EQ(f.GetPrototype("A"), b);
    EXPECT_EQ(b->RefCount(), 2) << "the replacement link counts";
    TJObject* a2 = TJObject::New<TJObject>(&engine, true);
    a2->SetObjectName("A");
    EXPECT_EQ(Get(a2, "fromB").vInteger(), 1);
    EXPECT_EQ(Get(a2, "fromBProto").vInteger(), 2) << "a replacement continues with its own name";
    EXPECT_FALSE(f.SetPrototype("B", a)) << "B -> a (A) -> b (B) would go round";
    TJObject* c = TJObject::New<TJObject>(&engine, true);
    c->SetObjectName("C");
    EXPECT_TRUE(f.SetPrototype("C", a));
    EXPECT_FALSE(f.SetPrototype("B", c)) << "B -> c (C) -> a (A) -> b (B)";

    // A renamed object could still close a loop; lookups and checks stay bounded.
    b->SetObjectName("C");
    EXPECT_EQ(ErrorOf([&] { Get(a2, "nothing"); }), "ENameError:nothing");
    EXPECT_FALSE(f.SetPrototype("D", a));

    EXPECT_TRUE(f.SetPrototype("A", nullptr));
    EXPECT_EQ(b->RefCount(), 1);
    EXPECT_EQ(f.GetPrototype("A")->ObjectName(), "Prototype");
}

TEST(Prototype, AReplacementThatDiesIsForgotten) {
    TestEngine engine;
    TJObjectFactory& f = engine.Factory();
    TJObject* r = TJObject::New<TJObject>(&engine, true);
    r->SetObjectName("R");
    ASSERT_TRUE(f.SetPrototype("F", r));
    r->Destroy();
    EXPECT_EQ(f.GetPrototype("F")->ObjectName(), "Prototype");
}

// ---------------------------------------------------------------------------
// Factory and engine

TEST(Factory, ClassesByNameAndTheLiveList) {
    TestEngine engine;
    TJObjectFactory& f = engine.Factory();
    int created = 0;
    f.OnNewObject = [&](TJObject* o) {
        ++created;
        EXPECT_EQ(o->RefCount(), 1) << "still constructing";
    };
    f.RegisterClass("Node", ClassOf<Node>());
    EXPECT_TRUE(f.HasClass("Node"));
    EXPECT_FALSE(f.HasClass("node"));
    EXPECT_FALSE(f.GetClass("Node")->MakesGlobalInstance);
    EXPECT_TRUE(f.GetClass("Array")->MakesGlobalInstance);
    f.RegisterClass("Node", ClassOf<TestArray>());
    EXPECT_TRUE(engine.CreateObject("Node", nullptr)->IsArray()) << "a later registration replaces";
    std::vector<std::string> names = f.ClassNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Array", "Node"}));

    std::size_t before = f.ObjectCount();
    TJObject* unlisted = TJObject::New<Node>(&engine, false);
    EXPECT_EQ(f.ObjectCount(), before);
    TJObject* listed = TJObject::New<Node>(&engine, true);
    EXPECT_EQ(f.ObjectCount(), before + 1);
    EXPECT_EQ(created, 2);
    f.Clear();
    EXPECT_EQ(f.ObjectCount(), 0u);
    EXPECT_EQ(f.FirstObject(), nullptr);
    EXPECT_EQ(Node::live, 1) << "only the unregistered object is left";
    (void)listed;
    unlisted->Destroy();
    EXPECT_EQ(Node::live, 0);
}

TEST(Factory, EventsFireOnlyWhileRunning) {
    TestEngine engine;
    TJObject* o = TJObject::New<TJObject>(&engine, true);
    o->SetValue("onTick", StringValue("tick()"));
    EXPECT_FALSE(o->HasEventHandler("onTick"));
    engine.running = true;
    EXPECT_TRUE(o->HasEventHandler("onTick"));
    EXPECT_FALSE(o->HasEventHandler(""));
    EXPECT_FALSE(o->HasEventHandler("onTock"));

    TJValueList args;
    args.AddInteger(1);
    TJValue result;
    o->CallEvent("", "onTick", result, &args);
    EXPECT_EQ(engine.invoked, "tick()");
    EXPECT_EQ(engine.invokedThis, o);
    EXPECT_EQ(result.vInteger(), 1);
    EXPECT_EQ(ErrorOf([&] { o->CallEvent("", "onTock", result, nullptr); }), "EKeyError:onTock");

    engine.variables["Form1_onTick"] = StringValue("handler");
    o->CallEvent("Form1_", "onTick", result, nullptr);
    EXPECT_EQ(engine.invoked, "handler");
    engine.invoked.clear();
    o->CallEvent("Other_", "onTick", result, nullptr);
    EXPECT_EQ(engine.invoked, "") << "no such variable: nothing is invoked";
    EXPECT_TRUE(result.IsUndefined());
}

// ---------------------------------------------------------------------------
// Lifetime

TEST(Lifetime, ContainersCountAndTheLastReferenceDestroys) {
    TestEngine engine;
    TJObject* o = TJObject::New<Node>(&engine, true);
    TJValueList list;
    TJHash members;
    list.AddObject(o);
    members.SetValue("m", ObjectValue(o));
    EXPECT_EQ(o->RefCount(), 2);
    members.Remove("m");
    EXPECT_EQ(Node::live, 1);
    list.Clear();
    EXPECT_EQ(Node::live, 0);
    EXPECT_EQ(engine.Factory().ObjectCount(), 0u) << "the live list forgot it";

    // Storing and dropping references while the object is being made cannot end it.
    class SelfStoring : public Node {
    public:
        using Node::Node;
        void RegisterMethods() override {
            TJValueList temp;
            temp.AddObject(this);
        }
    };
    TJObject* s = TJObject::New<SelfStoring>(&engine, true);
    EXPECT_EQ(s->RefCount(), 0);
    EXPECT_EQ(Node::live, 1);
    engine.Factory().Clear();
    EXPECT_EQ(Node::live, 0);
}

TEST(Lifetime, HoldersForgetAnObjectThatDies) {
    TestEngine engine;
    TJObject* o = TJObject::New<Node>(&engine, true);
    TJValueList list;
    TJHash members;
    list.AddObject(o);
    list.AddObject(o);
    list.AddInteger(5);
    members.SetValue("a", ObjectValue(o));
    members.SetValue("b", ObjectValue(o));
    // Overwriting one slot keeps the link for the others.
    list.SetItem(0, IntegerValue(1));
    members.SetValue("a", NullValue());
    EXPECT_EQ(o->RefCount(), 2);
    TJValue fn = Get(TJObject::New<TJObject>(&engine, true), "toString");
    o->Destroy();
    EXPECT_EQ(Node::live, 0);
    EXPECT_TRUE(list[1].IsUndefined());
    EXPECT_EQ(list[2].vInteger(), 5);
    EXPECT_TRUE(members.Find("b")->IsUndefined());
    list.Clear();  // must not touch the dead object (ASan)
    members.Clear();

    // A method that outlives its object forgets it.
    TJObject* owner = fn.vFunction()->GetOwner();
    ASSERT_NE(owner, nullptr);
    owner->Destroy();
    EXPECT_EQ(fn.vFunction()->GetOwner(), nullptr);
    EXPECT_EQ(fn.vFunction()->GetMethod().Object, nullptr);
}

TEST(Lifetime, HoldersAreToldFromADetachedList) {
    TestEngine engine;
    TJObject* o = TJObject::New<Node>(&engine, true);
    auto first = std::make_unique<TJValueList>();
    auto second = std::make_unique<TJValueList>();
    first->AddObject(o);
    second->AddObject(o);
    int told = 0;
    // Each holder, when told, throws the other one away.
    first->SetOnNotification([&](TJNotify*) {
        ++told;
        second.reset();
    });
    second->SetOnNotification([&](TJNotify*) {
        ++told;
        first.reset();
    });
    o->Destroy();
    EXPECT_EQ(told, 1);
    EXPECT_EQ(Node::live, 0);
}

// Containers are told of an object's end through the object's list of holders only.
TEST(Lifetime, AContainerThatLetsGoOfOneSlotWhileAnObjectDiesIsStillTold) {
    TestEngine engine;
    TJObject* o = TJObject::New<Node>(&engine, true);
    TJValueList a, b;
    for (TJValueList* list : {&a, &b}) {
        list->AddObject(o);
        list->AddObject(o);
    }
    // Whichever is told first drops one slot of the other, which still holds o.
    bool dropped = false;
    auto dropOne = [&dropped](TJValueList& other) {
        if (!std::exchange(dropped, true)) other.Delete(0);
    };
    a.SetOnNotification([&](TJNotify*) { dropOne(b); });
    b.SetOnNotification([&](TJNotify*) { dropOne(a); });
    o->Destroy();
    EXPECT_EQ(a.Count() + b.Count(), 3);
    for (TJValueList* list : {&a, &b})
        for (int i = 0; i < list->Count(); ++i) EXPECT_TRUE((*list)[i].IsUndefined());
    EXPECT_EQ(a.LinkCount() + b.LinkCount(), 0u);
}

TEST(Lifetime, UnlinkingAPartyKeepsTheSlotsItHolds) {
    TestEngine engine;
    TJObject* o = TJObject::New<Node>(&engine, true);
    TJValueList list;
    list.FreeNotification(o);
    list.AddObject(o);
    list.RemoveFreeNotification(o);
    o->RemoveFreeNotification(&list);
    EXPECT_TRUE(list.IsLinkedTo(o));
    o->Destroy();
    EXPECT_TRUE(list[0].IsUndefined());
    EXPECT_EQ(list.LinkCount(), 0u);
}

// An object's member table holds through the object's own links, which may link the
// same party in other ways too: a prototype's replacement, a link both ways.
TEST(Lifetime, AnObjectsMembersShareItsLinksWithItsOtherHolds) {
    struct Case {
        const char* name;
        void (*otherHold)(TJPrototypeObject& holder, TJObject& held);
        void (*dropOtherHold)(TJPrototypeObject& holder, TJObject& held);
    };
    const Case cases[] = {
        {"replacement", [](TJPrototypeObject& p, TJObject& x) { p.SetReplacement(&x); },
         [](TJPrototypeObject& p, TJObject&) { p.SetReplacement(nullptr); }},
        {"linked both ways", [](TJPrototypeObject& p, TJObject& x) { p.FreeNotification(&x); },
         [](TJPrototypeObject& p, TJObject& x) {
             p.RemoveFreeNotification(&x);
             x.RemoveFreeNotification(&p);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestEngine engine;
        auto* holder = TJObject::New<TJPrototypeObject>(&engine, true);
        TJObject* x = TJObject::New<Node>(&engine, true);
        TJValueList keep;
        keep.AddObject(x);
        keep.AddObject(holder);
        // Member first, other hold second, member dropped: the other hold remains.
        holder->SetValue("m", ObjectValue(x));
        c.otherHold(*holder, *x);
        EXPECT_TRUE(holder->RemoveKey("m"));
        EXPECT_TRUE(holder->IsLinkedTo(x));
        EXPECT_EQ(Node::live, 1);
        // Other hold first, two members, other hold dropped: the members remain.
        holder->SetValue("a", ObjectValue(x));
        holder->SetValue("b", ObjectValue(x));
        c.dropOtherHold(*holder, *x);
        EXPECT_TRUE(holder->IsLinkedTo(x));
        c.otherHold(*holder, *x);
        // The object dies: every member holding it reads undefined, nothing is left linked.
        x->Destroy();
        EXPECT_EQ(Node::live, 0);
        EXPECT_TRUE(Get(holder, "a").IsUndefined());
        EXPECT_TRUE(Get(holder, "b").IsUndefined());
        EXPECT_EQ(holder->Replacement(), nullptr);
        EXPECT_EQ(holder->LinkCount(), 1u) << "only the list keeping the holder";
        keep.Clear();
    }
}

TEST(Lifetime, CyclesEndWithTheEngineAndNothingDiesTwice) {
    TestEngine engine;
    TJObject* a = TJObject::New<Node>(&engine, true);
    TJObject* b = TJObject::New<Node>(&engine, true);
    a->DefineMember("peer", ObjectValue(b));
    b->DefineMember("peer", ObjectValue(a));
    a->DefineMember("self", ObjectValue(a));
    EXPECT_EQ(a->RefCount(), 2);
    engine.Factory().Clear();
    EXPECT_EQ(Node::live, 0);
}

TEST(Lifetime, AMillionNodeChainIsDestroyedWithoutRecursion) {
#if defined(__SANITIZE_ADDRESS__)
    const int n = 200000;  // far beyond what a recursive destruction survives under ASan
#else
    const int n = 1000000;
#endif
    TestEngine engine;
    TJHash root;
    TJObject* head = TJObject::New<Node>(&engine, false);
    root.SetValue("head", ObjectValue(head));
    TJObject* tail = head;
    for (int i = 1; i < n; ++i) {
        TJObject* next = TJObject::New<Node>(&engine, false);
        tail->DefineMember("next", ObjectValue(next));
        tail = next;
    }
    EXPECT_EQ(Node::live, n);
    root.Remove("head");
    EXPECT_EQ(Node::live, 0);
}

// ---------------------------------------------------------------------------
// Value lists and member tables

TEST(ValueList, EditsAndIndexErrors) {
    TJValueList list;
    EXPECT_EQ(list.Add(IntegerValue(1)), 0);
    list.AddString("two");
    list.Insert(0, IntegerValue(0));
    list.Insert(3, BoolValue(true));
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.GetItem(1).vInteger(), 1);
    EXPECT_EQ(list.Get(4), nullptr);
    try {
        list.GetItem(5);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (5)");
    }
    EXPECT_THROW(list.Insert(6, TJValue()), EListError);
    EXPECT_THROW(list.Delete(-1), EListError);
    list.Delete(0);
    EXPECT_EQ(list[0].vInteger(), 1);
    list.SetCount(5);
    EXPECT_TRUE(list[4].IsUndefined());
    list.SetCount(1);
    EXPECT_EQ(list.Count(), 1);
    TJValueList other;
    other.Assign(list);
    other.Assign(other);
    EXPECT_EQ(other.Count(), 1);
}

TEST(ValueList, AssignKeepsObjectsBothListsShare) {
    TestEngine engine;
    TJObject* o = TJObject::New<Node>(&engine, true);
    TJValueList a, b;
    a.AddObject(o);
    b.AddObject(o);
    a.Assign(b);
    EXPECT_EQ(Node::live, 1);
    EXPECT_EQ(o->RefCount(), 2);
    b.Clear();
    a.Clear();
    EXPECT_EQ(Node::live, 0);
}

TEST(ValueList, SortIsAStableMergeAndSurvivesBadComparisons) {
    TJValueList list;
    for (int v : {3, 1, 2, 1, 3}) list.AddInteger(v);
    for (int i = 0; i < list.Count(); ++i) list.SetItem(i, StringValue(std::to_string(list[i].vInteger()) + char('a' + i)));
    list.Sort([](const TJValue& a, const TJValue& b) { return a.AsString()[0] - b.AsString()[0]; });
    std::string order;
    for (int i = 0; i < list.Count(); ++i) order += list[i].AsString().str() + " ";
    EXPECT_EQ(order, "1b 1d 2c 3a 3e ");

    // A comparison that raises leaves every element in the list.
    int calls = 0;
    EXPECT_THROW(list.Sort([&](const TJValue&, const TJValue&) -> int {
        if (++calls == 3) throw EJThrow("EThrow", "");
        return 1;
    }),
                 EJThrow);
    EXPECT_EQ(list.Count(), 5);
    // A comparison that changes the list stops the sort and keeps the change.
    list.Sort([&](const TJValue&, const TJValue&) {
        if (list.Count() == 5) list.Delete(0);
        return -1;
    });
    EXPECT_EQ(list.Count(), 4);
}

TEST(HashTable, MembersStayInKeyListOrderAtAnySize) {
    TJHash members;
    std::vector<std::string> expected;
    for (int i = 0; i < 200; ++i) {
        std::string key = Key(i * 7919 % 1000);
        members.SetValue(key, IntegerValue(i));
        expected.push_back(key);
        if (i == 20 || i == 199) {
            std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
                std::size_t ba = HashBucket(a, 23, false), bb = HashBucket(b, 23, false);
                return ba != bb ? ba < bb : CompareKeys(a, b, false) < 0;
            });
            EXPECT_EQ(members.Keys(), expected) << "after " << i + 1 << " keys";
        }
    }
    for (int i = 0; i < 200; i += 2) EXPECT_TRUE(members.Remove(Key(i * 7919 % 1000)));
    EXPECT_EQ(members.Count(), 100u);
    TJValue v;
    EXPECT_TRUE(members.GetValue("k919", v));
    EXPECT_FALSE(members.GetValue("k0", v));
    EXPECT_TRUE(v.IsUndefined());
}

TEST(HashTable, SelectionsByKind) {
    TJHash members;
    members.SetValue("f", FunctionValue(new TJFunctionImpl()));
    members.SetValue("i", IntegerValue(1));
    members.SetValue("s", StringValue("x"));
    std::vector<std::string> keys;
    members.GetKeyList(keys, {vtFunction}, {});
    EXPECT_EQ(keys, std::vector<std::string>{"f"});
    members.GetKeyList(keys, {}, {vtFunction, vtString});
    EXPECT_EQ(keys, std::vector<std::string>{"i"});
    members.ClearValues({vtInteger}, {});
    EXPECT_EQ(members.Count(), 2u);
    members.ClearValues({}, {vtFunction});
    EXPECT_EQ(members.Keys(), std::vector<std::string>{"f"});
}

TEST(HashTable, TablesThatIgnoreCaseOrRaise) {
    TStringHashTable folded(7, true);
    folded.Put("Name", "a");
    folded.Put("NAME", "b");
    EXPECT_EQ(folded.Count(), 1u);
    EXPECT_EQ(folded.Get("name"), "b");
    EXPECT_EQ(HashBucket("\xE3\x81\x82" "A", 1000, true), HashBucket("\xE3\x81\x82" "a", 1000, false));
    TIntegerHashTable strict(5);
    EXPECT_EQ(strict.Get("x"), 0);
    strict.RaiseOnMissing = true;
    try {
        strict.Get("x");
        ADD_FAILURE();
    } catch (const EHashTableError& e) {
        EXPECT_STREQ(e.what(), "dont has key");
    }
    TObjectHashTable<std::string> owning(3);
    owning.Put("a", std::make_unique<std::string>("owned"));
    EXPECT_EQ(**owning.Find("a"), "owned");
}

// ---------------------------------------------------------------------------
// Function objects

namespace {
class TestScope : public TJSymbolTableBase {
public:
    TJSymbolTableBase* CreateWithoutParent() const override { return new TestScope(); }
    void CopyFrom(const TJSymbolTableBase& other) override {
        for (const auto& [k, v] : static_cast<const TestScope&>(other).vars) vars.emplace(k, v);
    }
    std::map<std::string, int> vars;
};
}  // namespace

TEST(Function, AssignCopiesTheRecordAndMergesTheCapturedScope) {
    TestEngine engine;
    TJObject* owner = TJObject::New<TJObject>(&engine, true);
    auto* source = new TJFunctionImpl();
    TJValue keepSource = FunctionValue(source);
    source->SetFuncName("f");
    source->SetCallMode(cmApply);
    source->SetOwner(owner);
    auto* scope = new TestScope();
    scope->vars = {{"a", 1}, {"b", 2}};
    source->SetLocalTable(scope);

    auto* copy = new TJFunctionImpl();
    TJValue keepCopy = FunctionValue(copy);
    auto* own = new TestScope();
    own->vars = {{"a", 9}};
    copy->SetLocalTable(own);
    copy->Assign(*source);
    EXPECT_EQ(copy->GetFuncName(), "f");
    EXPECT_EQ(copy->GetCallMode(), cmApply);
    EXPECT_EQ(copy->GetOwner(), owner);
    EXPECT_EQ(copy->GetLocalTable(), own);
    EXPECT_EQ(own->vars, (std::map<std::string, int>{{"a", 9}, {"b", 2}}));

    auto* fresh = new TJFunctionImpl();
    TJValue keepFresh = FunctionValue(fresh);
    fresh->Assign(*source);
    ASSERT_NE(fresh->GetLocalTable(), nullptr);
    EXPECT_NE(fresh->GetLocalTable(), scope);
    owner->Destroy();
    EXPECT_EQ(copy->GetOwner(), nullptr);
    EXPECT_EQ(fresh->GetOwner(), nullptr);
}

TEST(Function, MethodsAreFunctionsOwnedByTheirObject) {
    TestEngine engine;
    TJObject* o = TJObject::New<TJObject>(&engine, true);
    TJValue first = Get(o, "toString"), second = Get(o, "toString");
    ASSERT_TRUE(first.IsFunction());
    EXPECT_TRUE(SameFunction(&first, &second)) << "every read gives the same function object";
    EXPECT_EQ(first.vFunction()->GetFuncType(), fkMethod);
    EXPECT_EQ(first.vFunction()->GetFuncName(), "toString");
    EXPECT_EQ(first.vFunction()->GetOwner(), o);
    std::vector<std::string> methods;
    o->GetMethodList(methods);
    EXPECT_EQ(methods.size(), 9u);
    for (const std::string& name : methods) {
        const TJValue v = Get(o, name);
        ASSERT_TRUE(v.IsFunction()) << name;
        EXPECT_EQ(v.vFunction()->GetFuncName(), name);
        EXPECT_EQ(v.vFunction()->GetMethod().Object, o);
        EXPECT_EQ(v.vFunction()->GetOwner(), o);
    }
}

// ---------------------------------------------------------------------------
// String-like objects

namespace {
class TextObject : public TJObject {
public:
    TextObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
        SetObjectName("String");
        SetKind(TJObjectKind::String);
        if (param && param->Count()) text = param->GetItem(0).AsString();
    }
    TJString ToString(const TJValue*) override { return text; }
    double ToNumber() override { return StringValue(text).AsDouble(); }
    TJString text;
};
}  // namespace

TEST(StringObject, ComparesByIdentityWithItsKindAndByTextWithTexts) {
    TestEngine engine;
    TJValueList args;
    args.AddString("12");
    TJValue a = ObjectValue(TJObject::New<TextObject>(&engine, true, &args));
    TJValue b = ObjectValue(TJObject::New<TextObject>(&engine, true, &args));
    EXPECT_TRUE(a.IsStringLike());
    EXPECT_TRUE(a.IsStringObject());
    EXPECT_TRUE(a.IsNumberLike()) << "its text reads as a number";
    EXPECT_FALSE(CompareOperator(52, a, b)) << "two String objects are equal only when they are one";
    EXPECT_TRUE(CompareOperator(54, a, a));
    EXPECT_TRUE(CompareOperator(52, a, StringValue("12")));
    EXPECT_TRUE(CompareOperator(52, a, IntegerValue(12)));
    EXPECT_FALSE(CompareOperator(54, a, StringValue("12")));
    EXPECT_EQ(ApplyOperator(2, a, IntegerValue(3)).AsString().str(), "123");
    EXPECT_EQ(a.AsInteger(), 12);
    EXPECT_EQ(ApplyOperator(5, a, IntegerValue(2)).vDouble(), 24);
    EXPECT_EQ(a.TypeOfValue(), "object");
    TJValue plain = ObjectValue(TJObject::New<TJObject>(&engine, true));
    EXPECT_FALSE(plain.IsStringLike());
    EXPECT_EQ(ApplyOperator(2, plain, IntegerValue(3)).vDouble(), 3) << "a plain object adds as 0";
    EXPECT_EQ(plain.AsString().str(), "[object Object]");
}

TEST(HashTable, KeyOrderIsTheCodePageOrder) {
    const char* samples[] = {"", "a", "A", "ab", "aB", "Ab", "b", "_x", "a\xE3\x81\x82", "A\xE3\x81\x82", "\x83\x41",
                             "\x83\x61", "\x83", "z\x80", "Z", "\xFF", "abc", "ABC"};
    for (int id : {tinctor::CodePage::Utf8, tinctor::CodePage::ShiftJis}) {
        tinctor::CodePage::Select(id);
        const tinctor::CodePage& cp = tinctor::CodePage::Current();
        for (const char* a : samples)
            for (const char* b : samples) {
                EXPECT_EQ(CompareKeys(a, b, false), cp.Compare(a, b)) << id << " " << a << " " << b;
                EXPECT_EQ(CompareKeys(a, b, true), cp.CompareIgnoreCase(a, b)) << id << " " << a << " " << b;
            }
    }
    tinctor::CodePage::Select(tinctor::CodePage::FromEnvironment());
}

TEST(Lifetime, AListLinksToThousandsOfObjectsAndForgetsThemOneByOne) {
    TestEngine engine;
    TJValueList list;
    std::vector<TJObject*> objects;
    for (int i = 0; i < 2000; ++i) {
        objects.push_back(TJObject::New<Node>(&engine, true));
        list.AddObject(objects.back());
    }
    EXPECT_EQ(list.LinkCount(), 2000u);
    for (int i = list.Count() - 1; i >= 0; i -= 2) list.Delete(i);  // every other one dies
    EXPECT_EQ(Node::live, 1000);
    EXPECT_EQ(list.LinkCount(), 1000u);
    for (int i = 0; i < 2000; i += 2) EXPECT_TRUE(list.IsLinkedTo(objects[i])) << i;
    engine.Factory().Clear();
    EXPECT_EQ(Node::live, 0);
    EXPECT_EQ(list.LinkCount(), 0u);
    for (int i = 0; i < list.Count(); ++i) EXPECT_TRUE(list[i].IsUndefined());
}

namespace {

void Twice(TJObject&, const TJValueList*, TJValue& result) { result = IntegerValue(2); }

const TJMethodTable& SharedTable() {
    static const TJMethodTable table(
        {TJMethodTable::Method("twice", &Twice), TJMethodTable::Constant("LIMIT", IntegerValue(7))},
        &TJObject::BaseMethods());
    return table;
}

// The same class twice: once with its members in every object, once shared.
class OwnMembers : public TJObject {
public:
    using TJObject::TJObject;
    void RegisterMethods() override {
        TJObject::RegisterMethods();
        RegisterMethod("twice", &Twice);
        DefineMember("LIMIT", IntegerValue(7));
    }
};
class SharedMembers : public TJObject {
public:
    using TJObject::TJObject;
    const TJMethodTable* SharedMethods() const override { return &SharedTable(); }
};

std::vector<std::string> Names(TJObject& o, std::string_view method) {
    std::vector<std::string> names;
    TJValue array = Call(&o, method);
    auto* items = static_cast<TestArray*>(array.vObject());
    for (int i = 0; i < items->GetCount(); ++i) names.push_back(items->items[i].AsString().str());
    return names;
}

}  // namespace

TEST(SharedMethods, ObjectsBehaveAsIfEachHeldItsOwnMembers) {
    TestEngine engine;
    auto* own = TJObject::New<OwnMembers>(&engine, true);
    auto* shared = TJObject::New<SharedMembers>(&engine, true);
    EXPECT_EQ(shared->Members().Count(), 0u);  // nothing registered per object
    // Each step is done to both objects; what scripts see must stay the same.
    const std::vector<std::function<void(TJObject&)>> steps = {
        [](TJObject&) {},
        [](TJObject& o) { o.SetValue("zeta", IntegerValue(1)); },
        [](TJObject& o) { o.SetValue("twice", StringValue("mine")); },   // an own member hides it
        [](TJObject& o) { EXPECT_TRUE(o.RemoveKey("twice")); },           // and both go
        [](TJObject& o) { EXPECT_FALSE(o.RemoveKey("twice")); },
        [](TJObject& o) { EXPECT_TRUE(o.RemoveKey("LIMIT")); },
        [](TJObject& o) { o.ClearProperties(); },
        [](TJObject& o) { o.ResetMembers(); },
        [](TJObject& o) { o.ClearMembers(); o.SetValue("a", IntegerValue(1)); },
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        steps[i](*own);
        steps[i](*shared);
        if (own->HasKey("getKeys")) {
            EXPECT_EQ(Names(*own, "getKeys"), Names(*shared, "getKeys"));
            EXPECT_EQ(Names(*own, "getMethods"), Names(*shared, "getMethods"));
            EXPECT_EQ(Names(*own, "getProperties"), Names(*shared, "getProperties"));
        }
        for (std::string_view name : {"twice", "LIMIT", "toString", "zeta", "a"}) {
            EXPECT_EQ(own->HasKey(name), shared->HasKey(name)) << name;
            EXPECT_EQ(ErrorOf([&] { TJValue v; own->GetValue(name, false, v); }),
                      ErrorOf([&] { TJValue v; shared->GetValue(name, false, v); }))
                << name;
        }
    }
    shared->ResetMembers();
    EXPECT_EQ(Call(shared, "twice").vInteger(), 2);
    EXPECT_EQ(Call(shared, "toString").AsString().str(), "[object Object]");
}
