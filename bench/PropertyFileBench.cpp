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

enum DenseKind { emptyElements, shortestElementsTaken, attributesAtTheCap };

// `piece` inside the root, as many times as fit in `bytes`.
std::string repeatedIn(size_t bytes, const std::string& piece) {
    std::string text = "<root>";
    while (text.size() + piece.size() + 7 <= bytes) {
        text += piece;
    }
    return text + "</root>";
}

std::string denseFile(DenseKind kind) {
    switch (kind) {
        case emptyElements:  // 8 MB of "<a/>": refused, it would take 56 times its size
            return repeatedIn(8u << 20, "<a/>");
        case shortestElementsTaken:  // 8 MB of "<ab/>": read, taking 45 times its size
            return repeatedIn(8u << 20, "<ab/>");
        case attributesAtTheCap:  // 16 MB of elements of 256 attributes
            return attributeDense(PropertyStore::MAX_FILE_BYTES, PropertyStore::MAX_ATTRIBUTES);
    }
    return {};
}

// One element of 40,000 attributes (0.58 MB); 8 MB of empty elements, of the shortest elements
// read, and 16 MB of attributes. "taken" is 1 for a file read, 0 for one refused; "peak_MB"
// stays within 64 times "file_MB".
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
    ->Arg(emptyElements)
    ->Arg(shortestElementsTaken)
    ->Arg(attributesAtTheCap)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
