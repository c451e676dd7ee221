// Text conversion runs for every displayed text and every property value read from a file.
#include <benchmark/benchmark.h>

#include "framework/core/StringUtils.h"

namespace {

const std::string MIXED_TEXT =
    "Player Zo\xC3\xAB scored 12,345 points on the fourth floor \xE6\x97\xA5\xE6\x9C\xAC ";

void BM_StringToWString(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < state.range(0); ++i) {
        text += MIXED_TEXT;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(stringToWString(text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_StringToWString)->Arg(1)->Arg(64);

void BM_WStringToString(benchmark::State& state) {
    std::wstring text;
    for (int i = 0; i < state.range(0); ++i) {
        text += stringToWString(MIXED_TEXT);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(wstringToString(text));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_WStringToString)->Arg(1)->Arg(64);

}  // namespace
