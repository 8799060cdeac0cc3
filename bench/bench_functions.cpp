// ns per call of each script function through WILExtender2, against the
// floor (copy + strlen + upper-case of each name, no library call), over the
// shipped list of proper names; of the host's own side of a call alone (the
// "host" row); and of the peer beside ovLevenshtein (a plain bit-parallel
// edit distance, bench/peer_levenshtein.h) over the same pairs, called the
// way the host calls ovLevenshtein.
// Prints the median of the repetitions and the ratio to the floor for each.
//   bench_functions [NAMES_FILE] [benchmark flags]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "../extender/exports.h"
#include "../extender/function_ids.h"
#include "bench_calls.h"
#include "peer_levenshtein.h"

namespace {

std::vector<std::string> names;

void benchFunction(benchmark::State& state, const BenchFunction* function) {
    for (auto _ : state) benchmark::DoNotOptimize(runBenchPass(WILExtender2, *function, names));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(names.size()));
    state.counters["ns_per_call"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * static_cast<double>(names.size()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

const char kPeerLevenshtein[] = "peerLevenshtein";

// The peer behind an entry point of its own that does nothing but call it:
// the two names and the result pass as ovLevenshtein's do, so that both
// passes pay the same host's side of a call (the fresh copies, the typed
// arguments, the callback) and differ only in what the call does.
int32_t OV_STDCALL peerEntry(uintptr_t, uintptr_t, uintptr_t hostContext, int32_t, HostReturnCallback returnCallback,
                             uintptr_t hostRecord, uintptr_t, void* args, int32_t, HostValue* resultValue) {
    HostValue* values = static_cast<HostValue*>(args);
    resultValue->type = TYPE_INTEGER;
    resultValue->intValue = peerLevenshtein(values[0].stringValue, values[1].stringValue);
    return returnCallback(0, hostContext, hostRecord, resultValue);
}

void benchPeerLevenshtein(benchmark::State& state, const BenchFunction* levenshtein) {
    for (auto _ : state) benchmark::DoNotOptimize(runBenchPass(peerEntry, *levenshtein, names));
    state.counters["ns_per_call"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * static_cast<double>(names.size()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Keeps the median ns per call of each function for the closing table.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.counters.at("ns_per_call") * 1e9;
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const char* path = OVRIN_NAMES_FILE;
    if (argc > 1 && argv[1][0] != '-') {
        path = argv[1];
        --argc;
        ++argv;
    }
    names = loadNameFile(path);
    if (names.size() < 2) {
        std::fprintf(stderr, "bench_functions: no names in %s\n", path);
        return 1;
    }
    for (size_t i = 0; i < kBenchFunctionCount; ++i) {
        benchmark::RegisterBenchmark(kBenchFunctions[i].name, benchFunction, &kBenchFunctions[i]);
        if (kBenchFunctions[i].number == FN_LEVENSHTEIN)
            benchmark::RegisterBenchmark(kPeerLevenshtein, benchPeerLevenshtein, &kBenchFunctions[i]);
    }

    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=5";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    // The repetitions of all functions in a random order, so that a spell
    // of other work on the machine falls on several functions, not on one:
    // the ratios of one run, to the floor and to the peer, stay fair.
    std::string interleaving = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, &repetitions[0]);
    args.insert(args.begin() + 2, &aggregates[0]);
    args.insert(args.begin() + 3, &interleaving[0]);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    double floor = reporter.medians.count("floor") ? reporter.medians["floor"] : 0;
    std::printf("\n%zu names from %s\n%-20s %12s %10s\n", names.size(), path, "function", "ns/call", "x floor");
    std::vector<const char*> rows;
    for (size_t i = 0; i < kBenchFunctionCount; ++i) rows.push_back(kBenchFunctions[i].name);
    rows.push_back(kPeerLevenshtein);
    for (const char* row : rows) {
        auto found = reporter.medians.find(row);
        if (found == reporter.medians.end()) continue;
        std::printf("%-20s %12.1f %10.2f\n", found->first.c_str(), found->second,
                    floor > 0 ? found->second / floor : 0.0);
    }
    return 0;
}
