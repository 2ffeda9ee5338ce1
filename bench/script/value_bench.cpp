// Value operations, member access and object lifetime (time per operation).
#include <benchmark/benchmark.h>

#include "script/core/ecma_type.h"
#include "script/core/ecma_type_object.h"

using namespace kestrel;

namespace {

constexpr int kAdd = 2, kMul = 5, kMod = 6, kShr = 46, kLess = 48, kEq = 52;

void BM_AddIntegers(benchmark::State& state) {
    TJValue a = IntegerValue(12345), b = IntegerValue(678);
    for (auto _ : state) benchmark::DoNotOptimize(ApplyOperator(kAdd, a, b));
}
BENCHMARK(BM_AddIntegers);

void BM_MultiplyDoubles(benchmark::State& state) {
    TJValue a = DoubleValue(1.5), b = DoubleValue(2.25);
    for (auto _ : state) benchmark::DoNotOptimize(ApplyOperator(kMul, a, b));
}
BENCHMARK(BM_MultiplyDoubles);

void BM_RemainderAndShift(benchmark::State& state) {
    TJValue a = IntegerValue(-100003), b = IntegerValue(7);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ApplyOperator(kMod, a, b));
        benchmark::DoNotOptimize(ApplyOperator(kShr, a, b));
    }
}
BENCHMARK(BM_RemainderAndShift);

void BM_ConcatenateTexts(benchmark::State& state) {
    TJValue a = StringValue("hello, "), b = StringValue("world");
    for (auto _ : state) benchmark::DoNotOptimize(ApplyOperator(kAdd, a, b));
}
BENCHMARK(BM_ConcatenateTexts);

void BM_ConcatenateTextAndInteger(benchmark::State& state) {
    TJValue a = StringValue("item "), b = IntegerValue(42);
    for (auto _ : state) benchmark::DoNotOptimize(ApplyOperator(kAdd, a, b));
}
BENCHMARK(BM_ConcatenateTextAndInteger);

void BM_CompareIntegers(benchmark::State& state) {
    TJValue a = IntegerValue(1), b = IntegerValue(2);
    for (auto _ : state) benchmark::DoNotOptimize(CompareOperator(kLess, a, b));
}
BENCHMARK(BM_CompareIntegers);

void BM_EqualIntegerAndText(benchmark::State& state) {
    TJValue a = IntegerValue(12), b = StringValue("12");
    for (auto _ : state) benchmark::DoNotOptimize(CompareOperator(kEq, a, b));
}
BENCHMARK(BM_EqualIntegerAndText);

void BM_DoubleToText(benchmark::State& state) {
    TJValue a = DoubleValue(3.14159);
    for (auto _ : state) benchmark::DoNotOptimize(a.AsString());
}
BENCHMARK(BM_DoubleToText);

void BM_TextToInteger(benchmark::State& state) {
    TJValue a = StringValue("0x1F");
    for (auto _ : state) benchmark::DoNotOptimize(a.AsInteger());
}
BENCHMARK(BM_TextToInteger);

void BM_CopyTextValue(benchmark::State& state) {
    TJValue a = StringValue("a text value that is shared, not copied");
    for (auto _ : state) {
        TJValue b = a;
        benchmark::DoNotOptimize(b);
    }
}
BENCHMARK(BM_CopyTextValue);

void BM_MemberRead(benchmark::State& state) {
    TJBaseEngine engine;
    TJObject* o = TJObject::New<TJObject>(&engine, true);
    o->SetValue("width", IntegerValue(640));
    TJValue v;
    for (auto _ : state) {
        o->GetValue("width", false, v);
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_MemberRead);

void BM_MemberWrite(benchmark::State& state) {
    TJBaseEngine engine;
    TJObject* o = TJObject::New<TJObject>(&engine, true);
    TJValue v = IntegerValue(1);
    for (auto _ : state) o->SetValue("count", v);
}
BENCHMARK(BM_MemberWrite);

void BM_ObjectMemberStore(benchmark::State& state) {
    TJBaseEngine engine;
    TJObject* o = TJObject::New<TJObject>(&engine, true);
    TJObject* p = TJObject::New<TJObject>(&engine, true);
    TJValue a = ObjectValue(p), none = NullValue();
    for (auto _ : state) {
        o->SetValue("peer", a);
        o->SetValue("peer", none);
    }
}
BENCHMARK(BM_ObjectMemberStore);

void BM_CreateAndDestroyObject(benchmark::State& state) {
    TJBaseEngine engine;
    for (auto _ : state) TJObject::New<TJObject>(&engine, true)->Destroy();
}
BENCHMARK(BM_CreateAndDestroyObject);

void BM_ValueListAddAndClear(benchmark::State& state) {
    TJValueList list;
    for (auto _ : state) {
        for (int i = 0; i < 16; ++i) list.AddInteger(i);
        list.Clear();
    }
    state.SetItemsProcessed(state.iterations() * 16);
}
BENCHMARK(BM_ValueListAddAndClear);

}  // namespace
