// Reading a property file whose one node holds many children (a long player list or saved
// game): the cost per child must not grow with the number of children.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include <tinyxml.h>

#include "framework/core/PropertyStore.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/MemoryBuffer.h"

namespace {

void BM_LoadNodeOfManyChildren(benchmark::State& state) {
    std::string text = "<root><Node id=\"list\">";
    for (int64_t i = 0; i < state.range(0); ++i) {
        text += "<Integer id=\"k" + std::to_string(i) + "\" value=\"1\"/>";
    }
    text += "</Node></root>";
    MemoryBuffer buffer;
    buffer.assign(std::vector<uint8_t>(text.begin(), text.end()));
    for (auto _ : state) {
        RefHolder<PropertyStore> store(new PropertyStore());
        TiXmlDocument document;
        store->parseBuffer(buffer, document);
        store->readDocument(document);
        benchmark::DoNotOptimize(store->getChildNode("list")->getChildCount());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_LoadNodeOfManyChildren)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
