#include "script/core/ecma_type_scope.h"

#include <gtest/gtest.h>

#include "script/core/ecma_stmt.h"

using namespace kestrel;

namespace {

// An object with one published property "Size" (any case).
class TBox : public TJObject {
public:
    using TJObject::TJObject;
    const TJPropertyTable* PublishedProperties() const override {
        static const TJPropertyTable table{IntegerProperty("Size", TJOrdinalType::S32, &GetSize, &SetSize)};
        return &table;
    }
    std::int64_t size = 3;

private:
    static std::int64_t GetSize(TJObject& o, int) { return static_cast<TBox&>(o).size; }
    static void SetSize(TJObject& o, int, std::int64_t v) { static_cast<TBox&>(o).size = v; }
};

// Counts its own destruction.
class TTracked : public TJObject {
public:
    TTracked(TJBaseEngine* engine, const TJValueList* param, int* deaths) : TJObject(engine, param), deaths_(deaths) {}
    ~TTracked() override { ++*deaths_; }

private:
    int* deaths_;
};

std::string Read(TJLocalSymbolTable& table, std::string_view name) {
    TJValue value;
    if (!table.GetValue(name, value)) return "<none>";
    return value.AsString().str();
}

}  // namespace

TEST(SymbolTables, LookupFollowsTheChainAndThisMembers) {
    TJGlobalSymbolTable ns;
    TJLocalSymbolTable* call = ns.NewChild(nullptr, nullptr);
    ns.SetLocal("g", IntegerValue(1));
    call->SetLocal("l", IntegerValue(2));
    EXPECT_EQ(Read(*call, "g"), "1");
    EXPECT_EQ(Read(*call, "l"), "2");
    // Asked directly, a function table (a namespace is one) asks its most recent child first.
    EXPECT_EQ(Read(ns, "l"), "2");
    EXPECT_EQ(Read(*call, "G"), "<none>");  // names are case-sensitive

    TBox* box = TJObject::New<TBox>(nullptr, false);
    box->Members().SetValue("m", IntegerValue(7));
    TJLocalSymbolTable* with = call->NewChild(nullptr, box);
    EXPECT_EQ(Read(*with, "m"), "7");
    EXPECT_EQ(Read(*with, "size"), "3");    // published properties match in any case
    EXPECT_EQ(Read(*with, "hasKey"), "function hasKey");
    EXPECT_EQ(Read(*with, "l"), "2");
    EXPECT_EQ(with->FindThis(), box);
    EXPECT_EQ(call->FindThis(), nullptr);

    // Assignment writes the member of `this` unless a variable of that name is nearer.
    with->Assign("m", IntegerValue(8));
    EXPECT_EQ(Read(*with, "m"), "8");
    with->Assign("SIZE", IntegerValue(9));
    EXPECT_EQ(box->size, 9);
    with->SetLocal("m", IntegerValue(10));
    with->Assign("m", IntegerValue(11));
    TJValue member;
    box->GetValue("m", false, member);
    EXPECT_EQ(member.AsInteger(), 8);
    EXPECT_EQ(Read(*with, "m"), "11");

    call->RemoveFirstChild();
    EXPECT_EQ(call->ChildCount(), 0u);
    box->Destroy();
}

TEST(SymbolTables, UndeclaredAssignmentLandsInTheNearestNamespace) {
    TJRootSymbolTable root;
    TJStatement program, function;
    TJGlobalSymbolTable* ns = root.CreateNamespace("__MAIN__", &program);
    TJFunctionSymbolTable* table = root.GetFunctionTable(&program, &function);
    EXPECT_EQ(table->Parent(), ns);
    TJLocalSymbolTable* call = table->NewChild(nullptr, nullptr);
    TJLocalSymbolTable* with = call->NewChild(nullptr, nullptr);
    with->Assign("x", IntegerValue(1));
    EXPECT_EQ(Read(*ns, "x"), "1");
    EXPECT_FALSE(call->Symbols().HasKey("x"));
    // Modes 1 and 2 declare locally and statically.
    with->Assign("y", IntegerValue(2), 1);
    EXPECT_TRUE(with->Symbols().HasKey("y"));
    with->Assign("z", IntegerValue(3), 2);
    EXPECT_TRUE(table->Symbols().HasKey("z"));
    // An existing variable is replaced where it is.
    with->Assign("x", IntegerValue(4), 1);
    EXPECT_EQ(Read(*ns, "x"), "4");
    EXPECT_FALSE(with->Symbols().HasKey("x"));

    with->SetGlobal("gl", IntegerValue(5));
    EXPECT_TRUE(ns->Symbols().HasKey("gl"));
    EXPECT_EQ(with->NearestGlobal(), ns);
    EXPECT_EQ(with->NearestFunction(), table);
    EXPECT_EQ(ns->NearestFunction(), ns);    // a namespace counts as a function table
    EXPECT_EQ(root.NearestGlobal(), &root);  // and the root as a namespace
}

TEST(SymbolTables, StaticsKeepTheirFirstValue) {
    TJGlobalSymbolTable ns;
    TJFunctionSymbolTable function(&ns);
    // static n = 0; n = n + 1; return n;  -- three calls
    for (int expected = 1; expected <= 3; ++expected) {
        TJLocalSymbolTable* call = function.NewChild(nullptr, nullptr);
        call->SetStatic("n", IntegerValue(0));
        TJValue n;
        ASSERT_TRUE(call->GetValue("n", n));
        call->Assign("n", IntegerValue(n.AsInteger() + 1));
        EXPECT_EQ(Read(*call, "n"), std::to_string(expected));
        function.RemoveFirstChild();
    }
    EXPECT_FALSE(ns.Symbols().HasKey("n"));
}

TEST(SymbolTables, NestedFunctionsSeeTheMostRecentCallOfTheirEncloser) {
    TJGlobalSymbolTable ns;
    TJFunctionSymbolTable outer(&ns);
    TJFunctionSymbolTable inner(&outer);
    outer.SetLocal("s", IntegerValue(0));  // a static of outer

    TJLocalSymbolTable* first = outer.NewChild(nullptr, nullptr);
    first->SetLocal("v", IntegerValue(1));
    TJLocalSymbolTable* innerCall = inner.NewChild(nullptr, nullptr);
    EXPECT_EQ(Read(*innerCall, "v"), "1");
    EXPECT_EQ(Read(*innerCall, "s"), "0");
    inner.RemoveFirstChild();

    // A recursive call hides the earlier one.
    TJLocalSymbolTable* second = outer.NewChild(nullptr, nullptr);
    second->SetLocal("v", IntegerValue(2));
    innerCall = inner.NewChild(nullptr, nullptr);
    EXPECT_EQ(Read(*innerCall, "v"), "2");
    innerCall->Assign("v", IntegerValue(20));
    EXPECT_EQ(Read(*second, "v"), "20");
    inner.RemoveFirstChild();
    outer.RemoveFirstChild();
    EXPECT_EQ(outer.Child(0), first);
    innerCall = inner.NewChild(nullptr, nullptr);
    EXPECT_EQ(Read(*innerCall, "v"), "1");
    inner.RemoveFirstChild();

    // A call asks its own function table without being sent back to itself.
    EXPECT_EQ(Read(*first, "s"), "0");
    EXPECT_EQ(Read(*first, "nothing"), "<none>");
    outer.RemoveFirstChild();
    innerCall = inner.NewChild(nullptr, nullptr);
    EXPECT_EQ(Read(*innerCall, "v"), "<none>");
    EXPECT_EQ(Read(*innerCall, "s"), "0");
    inner.RemoveFirstChild();
}

TEST(SymbolTables, AWithBlockAtNamespaceLevelReachesFunctionsCalledInside) {
    TJGlobalSymbolTable ns;
    TJFunctionSymbolTable function(&ns);
    TBox* box = TJObject::New<TBox>(nullptr, false);
    box->Members().SetValue("w", IntegerValue(5));
    ns.NewChild(nullptr, box);
    TJLocalSymbolTable* call = function.NewChild(nullptr, nullptr);
    EXPECT_EQ(Read(*call, "w"), "5");
    function.RemoveFirstChild();
    ns.RemoveFirstChild();
    call = function.NewChild(nullptr, nullptr);
    EXPECT_EQ(Read(*call, "w"), "<none>");
    box->Destroy();
}

TEST(SymbolTables, CallsCopyTheirClosureWithoutOverwriting) {
    TJFunctionSymbolTable function;
    TJLocalSymbolTable closure;
    closure.SetLocal("a", IntegerValue(1));
    closure.SetLocal("b", IntegerValue(2));
    TJLocalSymbolTable* call = function.NewChild(&closure, nullptr);
    EXPECT_EQ(Read(*call, "a"), "1");
    call->SetLocal("b", IntegerValue(3));
    call->CopyFrom(closure);
    EXPECT_EQ(Read(*call, "b"), "3");

    std::unique_ptr<TJSymbolTableBase> copy(closure.CreateWithoutParent());
    auto* local = dynamic_cast<TJLocalSymbolTable*>(copy.get());
    ASSERT_NE(local, nullptr);
    EXPECT_FALSE(local->IsFunctionTable());
    std::unique_ptr<TJSymbolTableBase> functionCopy(function.CreateWithoutParent());
    ASSERT_NE(dynamic_cast<TJFunctionSymbolTable*>(functionCopy.get()), nullptr);
    EXPECT_FALSE(dynamic_cast<TJFunctionSymbolTable*>(functionCopy.get())->IsGlobalTable());
}

TEST(SymbolTables, TablesCountTheirObjectsAndForgetDeadOnes) {
    int deaths = 0;
    TJGlobalSymbolTable ns;
    TJObject* kept = TJObject::New<TTracked>(nullptr, false, nullptr, &deaths);
    TJObject* temporary = TJObject::New<TTracked>(nullptr, false, nullptr, &deaths);
    TJObject* stored = TJObject::New<TTracked>(nullptr, false, nullptr, &deaths);

    // The end of a statement destroys what nothing else holds.
    ns.AddTemp(temporary);
    ns.AddTemp(stored);
    ns.SetLocal("o", ObjectValue(stored));
    ns.ClearTemp();
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(stored->RefCount(), 1);

    // A call's variables die with the call.
    TJLocalSymbolTable* call = ns.NewChild(nullptr, kept);
    call->SetLocal("k", ObjectValue(kept));
    EXPECT_EQ(call->FindThis(), kept);
    ns.RemoveFirstChild();
    EXPECT_EQ(deaths, 2);

    // A `this` that dies is forgotten.
    TJObject* self = TJObject::New<TTracked>(nullptr, false, nullptr, &deaths);
    call = ns.NewChild(nullptr, self);
    self->Destroy();
    EXPECT_EQ(deaths, 3);
    EXPECT_EQ(call->This(), nullptr);
    EXPECT_EQ(Read(*call, "o"), "[object Object]");

    // A variable holding an object that dies reads undefined.
    stored->Destroy();
    EXPECT_EQ(deaths, 4);
    EXPECT_EQ(Read(ns, "o"), "undefined");
}

TEST(SymbolTables, ClearingEmptiesEverything) {
    int deaths = 0;
    TJGlobalSymbolTable ns;
    TJObject* self = TJObject::New<TTracked>(nullptr, false, nullptr, &deaths);
    TJObject* held = TJObject::New<TTracked>(nullptr, false, nullptr, &deaths);
    ns.SetThis(self);
    ns.SetLocal("x", ObjectValue(held));
    ns.NewChild(nullptr, nullptr)->SetLocal("y", ObjectValue(held));
    ns.Clear();
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(ns.This(), nullptr);
    EXPECT_EQ(ns.ChildCount(), 0u);
    EXPECT_EQ(ns.Symbols().Count(), 0u);
    self->Destroy();
    EXPECT_EQ(deaths, 2);
}

TEST(SymbolTables, TheRootHoldsNamespacesAndDeclarationTables) {
    TJRootSymbolTable root;
    TJStatement mainProgram, lib, libAgain, f, g, orphan;
    TJGlobalSymbolTable* main = root.CreateNamespace("__MAIN__", &mainProgram);
    TJGlobalSymbolTable* ns = root.CreateNamespace("lib", &lib);
    EXPECT_EQ(main->Parent(), &root);
    EXPECT_EQ(root.GetNamespace("lib"), ns);
    // An earlier namespace of the same name stays the one found by name.
    TJGlobalSymbolTable* second = root.CreateNamespace("lib", &libAgain);
    EXPECT_NE(second, ns);
    EXPECT_EQ(root.GetNamespace("lib"), ns);
    EXPECT_EQ(root.CreateNamespace("other", &lib), ns);  // a program keeps its table
    try {
        root.GetNamespace("LIB");
        FAIL() << "no error";
    } catch (const EJThrow& e) {
        EXPECT_EQ(e.ErrorName(), "ENameError");
        EXPECT_EQ(e.Message(), "namespace not found: LIB");
    }

    TJFunctionSymbolTable* ft = root.GetFunctionTable(&lib, &f);
    EXPECT_EQ(ft->Parent(), ns);
    EXPECT_EQ(root.GetFunctionTable(nullptr, &f), ft);  // made once
    EXPECT_EQ(root.GetFunctionTable(&f, &g)->Parent(), ft);
    EXPECT_EQ(root.GetFunctionTable(&orphan, &orphan)->Parent(), nullptr);
    EXPECT_EQ(root.DeclTableCount(), 6u);

    root.SetLocal("__MAIN__", IntegerValue(1));
    root.Clear();
    EXPECT_EQ(root.DeclTableCount(), 0u);
    EXPECT_EQ(root.NamespaceCount(), 0u);
    EXPECT_EQ(root.FindNamespace("lib"), nullptr);
    EXPECT_EQ(root.FindFunctionTable(&f), nullptr);
    EXPECT_EQ(root.Symbols().Count(), 0u);
}

TEST(SymbolTables, AParentThatLeadsBackIsRefused) {
    TJFunctionSymbolTable a, b;
    b.SetParent(&a);
    a.SetParent(&b);
    EXPECT_EQ(a.Parent(), nullptr);
    a.SetParent(&a);
    EXPECT_EQ(a.Parent(), nullptr);
    TJValue value;
    EXPECT_FALSE(b.GetValue("x", value));
}
