// Reading a property file whose one node holds many children (a long player list or saved
// game): the cost per child must not grow with the number of children. Files past the reader's
// limits (too wide, too many elements and attributes) are refused before they are parsed, and
// files just within them load in bounded time and memory; "peak_MB" is the resident memory
// one load took.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include <tinyxml.h>

#include "PeakMemory.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/RefHolder.h"

namespace {

// Parses and reads the text as a store's file load does; the store's child count, or -1
// when the text was refused.
int64_t load(std::string_view text) {
    RefHolder<PropertyStore> store(new PropertyStore());
    TiXmlDocument document;
    if (!store->parseBuffer(text, document)) {
        return -1;
    }
    store->readDocument(document);
    return store->getChildCount();
}

void BM_LoadNodeOfManyChildren(benchmark::State& state) {
    std::string text = "<root><Node id=\"list\">";
    for (int64_t i = 0; i < state.range(0); ++i) {
        text += "<Integer id=\"k" + std::to_string(i) + "\" value=\"1\"/>";
    }
    text += "</Node></root>";
    const std::string_view buffer = text;
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

// An empty element of `width` attributes: " a0=\"\"" and so on.
std::string wideElement(int width) {
    std::string element = "<N";
    for (int i = 0; i < width; ++i) {
        element += " a" + std::to_string(i) + "=\"\"";
    }
    return element + "/>";
}

// Elements of `width` attributes inside the root, as many as fit in `bytes`.
std::string attributeDense(size_t bytes, int width) {
    const std::string element = wideElement(width);
    std::string text = "<root>";
    while (text.size() + element.size() + 7 <= bytes) {
        text += element;
    }
    return text + "</root>";
}

enum DenseKind { elementsPastTheCap, attributesPastTheCap, elementsAtTheCap, attributesAtTheCap };

std::string denseFile(DenseKind kind) {
    const size_t properties = PropertyStore::MAX_PROPERTIES;
    switch (kind) {
        case elementsPastTheCap: {  // 16 MB of empty elements
            std::string text = "<root>";
            while (text.size() + 11 <= PropertyStore::MAX_FILE_BYTES) {
                text += "<a/>";
            }
            return text + "</root>";
        }
        case attributesPastTheCap:  // 16 MB of elements of 256 attributes
            return attributeDense(PropertyStore::MAX_FILE_BYTES, PropertyStore::MAX_ATTRIBUTES);
        case elementsAtTheCap: {  // the root and empty elements, as many as taken
            std::string text = "<root>";
            for (size_t i = 1; i < properties; ++i) {
                text += "<a/>";
            }
            return text + "</root>";
        }
        case attributesAtTheCap: {  // elements of 255 attributes up to the cap
            const int width = PropertyStore::MAX_ATTRIBUTES - 1;
            const size_t elements = (properties - 1) / (width + 1);
            const std::string element = wideElement(width);
            std::string text = "<root>";
            for (size_t i = 0; i < elements; ++i) {
                text += element;
            }
            return text + "</root>";
        }
    }
    return {};
}

// One element of 40,000 attributes (0.58 MB); a 16 MB file of empty elements or of attributes;
// and the densest files still taken, of each kind. "taken" is 1 for a file read, 0 for one
// refused.
void BM_LoadWideOrDenseFile(benchmark::State& state) {
    std::string text;
    if (state.range(0) < 0) {
        text = "<root><Node";
        for (int i = 0; i < 40000; ++i) {
            text += " a" + std::to_string(i) + "=\"1\"";
        }
        text += "/></root>";
    } else {
        text = denseFile(static_cast<DenseKind>(state.range(0)));
    }
    const std::string_view buffer = text;
    setProblemSink([](const std::string&) {});  // a line per refusal
    int64_t children = 0;
    for (auto _ : state) {
        children = load(buffer);
        benchmark::DoNotOptimize(children);
    }
    state.counters["file_MB"] = static_cast<double>(text.size()) / (1 << 20);
    state.counters["taken"] = children >= 0 ? 1 : 0;
    state.counters["peak_MB"] = peakmemory::peakMegabytes([&] { load(buffer); });
    setProblemSink(nullptr);
}
BENCHMARK(BM_LoadWideOrDenseFile)
    ->ArgName("kind")
    ->Arg(-1)
    ->Arg(elementsPastTheCap)
    ->Arg(attributesPastTheCap)
    ->Arg(elementsAtTheCap)
    ->Arg(attributesAtTheCap)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
