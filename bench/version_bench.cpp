// What a version test costs: our scanner against the C library's wide "%d.%d.%d.%d" scan
// of the same texts, the baseline a reader of the version rules would reach for.
#include <benchmark/benchmark.h>

#include <cwchar>

#include "frame/versions.h"

namespace {

const char16_t* const kTexts[] = {u"4.0.30319", u"1.2.3.4", u"10.0.19041.1288", u"5", u"v4.0"};
const wchar_t* const kWideTexts[] = {L"4.0.30319", L"1.2.3.4", L"10.0.19041.1288", L"5", L"v4.0"};

void ParseVersionTexts(benchmark::State& state)
{
    for (auto _ : state)
        for (const char16_t* text : kTexts) benchmark::DoNotOptimize(zarvo::ParseVersion(text));
    state.SetItemsProcessed(state.iterations() * 5);
}

void ScanfVersionTexts(benchmark::State& state)
{
    for (auto _ : state)
        for (const wchar_t* text : kWideTexts) {
            int parts[4] = {0, 0, 0, 0};
            std::swscanf(text, L"%d.%d.%d.%d", &parts[0], &parts[1], &parts[2], &parts[3]);
            benchmark::DoNotOptimize(parts);
        }
    state.SetItemsProcessed(state.iterations() * 5);
}

void CompareVersions(benchmark::State& state)
{
    const zarvo::FourPartVersion found = zarvo::ParseVersion(u"4.0.30319.42");
    const zarvo::FourPartVersion required = zarvo::ParseVersion(u"4.0.30319.17929");
    for (auto _ : state) benchmark::DoNotOptimize(zarvo::VersionLess(found, required));
}

BENCHMARK(ParseVersionTexts);
BENCHMARK(ScanfVersionTexts);
BENCHMARK(CompareVersions);

}  // namespace


