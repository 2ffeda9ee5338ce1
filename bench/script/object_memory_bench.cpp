// What a script object costs in memory: the heap bytes (allocator overhead included)
// of objects alive at once, empty and with a few members, beside the size of the
// object itself. The peak memory of whole scripts, beside duk and mujs, is in
// bench/scripts/memory.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <string>
#include <vector>

#include "script/core/ecma_type_object.h"

using namespace kestrel;

namespace {

constexpr int kObjects = 100000;

std::size_t HeapInUse() { return mallinfo2().uordblks; }

// Arg: the members each object gets, named as a script names them.
void BM_ObjectBytes(benchmark::State& state) {
    const auto members = static_cast<int>(state.range(0));
    std::vector<std::string> names;
    for (int m = 0; m < members; ++m) names.push_back("member" + std::to_string(m));
    TJBaseEngine engine;
    std::vector<TJObject*> objects;
    objects.reserve(kObjects);
    double bytesPerObject = 0;
    for (auto _ : state) {
        const std::size_t before = HeapInUse();
        for (int i = 0; i < kObjects; ++i) {
            TJObject* o = TJObject::New<TJObject>(&engine, true);
            for (const std::string& name : names) o->SetValue(name, IntegerValue(i));
            objects.push_back(o);
        }
        bytesPerObject = static_cast<double>(HeapInUse() - before) / kObjects;
        state.PauseTiming();
        objects.clear();
        engine.Factory().Clear();
        state.ResumeTiming();
    }
    state.counters["heap_bytes_per_object"] = bytesPerObject;
    state.counters["sizeof_TJObject"] = sizeof(TJObject);
}
BENCHMARK(BM_ObjectBytes)->ArgName("members")->Arg(0)->Arg(1)->Arg(2)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
