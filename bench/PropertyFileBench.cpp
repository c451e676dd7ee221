// Reading a property file whose one node holds many children (a long player list or saved
// game): the cost per child must not grow with the number of children. Files past the reader's
// limits (too wide, too many elements and attributes) are refused, and files just within them
// load in bounded time and memory; "peak_MB" is the resident memory one load took.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include <tinyxml.h>

#include "BenchSize.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/RefHolder.h"
#include "testsupport/PeakMemory.h"

namespace {

// Parses and reads the text as a store's file load does; the store's child count, or -1
// when the text was refused.
int64_t load(std::string_view text) {
    RefHolder<PropertyStore> store(new PropertyStore());
    TiXmlDocument document;
    size_t treeMemory = 0;
    if (!store->parseBuffer(text, document, "property text", &treeMemory) ||
        !store->readDocument(document, treeMemory)) {
        return -1;
    }
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
        benchmark::DoNotOptimize(load(buffer));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_LoadNodeOfManyChildren)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The densest forms of each kind of node, each kept in the tree: elements of one to three
// letters, elements of as many one-letter attributes as there are, elements with a text, and
// the shortest elements read.
enum DenseKind { ONE_LETTER, TWO_LETTERS, THREE_LETTERS, ATTRIBUTES, TEXTS, SHORTEST_TAKEN };

std::string denseElement(DenseKind kind) {
    switch (kind) {
        case ONE_LETTER:
            return "<a/>";
        case TWO_LETTERS:
            return "<ab/>";
        case THREE_LETTERS:
            return "<abc/>";
        case ATTRIBUTES: {
            std::string element = "<a";
            for (const char* letters :
                 {"abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJKLMNOPQRSTUVWXYZ_"}) {
                for (const char* c = letters; *c; ++c) {
                    element += std::string(" ") + *c + "=1";
                }
            }
            return element + "/>";
        }
        case TEXTS:
            return "<a>x</a>";
        case SHORTEST_TAKEN:
            return "<abcdefg/>";
    }
    return {};
}

// The file's largest size (at the smallest setting a 64th of it) of the element repeated in a
// vector, which holds every one of them.
std::string denseFile(DenseKind kind) {
    const std::string element = denseElement(kind);
    std::string text = "<root><Vector>";
    const std::string end = "</Vector></root>";
    const auto size = static_cast<size_t>(
        benchCount(PropertyStore::MAX_FILE_BYTES, PropertyStore::MAX_FILE_BYTES / 64));
    while (text.size() + element.size() + end.size() <= size) {
        text += element;
    }
    return text + end;
}

// One element of 40,000 attributes (0.58 MB), and 16 MB of each dense form. "taken" is 1 for a
// file read, 0 for one refused; "peak_MB" is the most memory a load took (the document and the
// tree held together), within 64 times "file_MB" (given as "times").
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
    const double fileMegabytes = static_cast<double>(text.size()) / (1 << 20);
    const double peak = peakmemory::peakMegabytes([&] { load(buffer); });
    state.counters["file_MB"] = fileMegabytes;
    state.counters["taken"] = children >= 0 ? 1 : 0;
    state.counters["peak_MB"] = peak;
    state.counters["times"] = peak / fileMegabytes;
    if (state.range(0) >= 0) {
        state.SetLabel(denseElement(static_cast<DenseKind>(state.range(0))).substr(0, 12));
    }
    setProblemSink(nullptr);
}
BENCHMARK(BM_LoadWideOrDenseFile)
    ->ArgName("kind")
    ->Arg(-1)
    ->DenseRange(ONE_LETTER, SHORTEST_TAKEN)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
