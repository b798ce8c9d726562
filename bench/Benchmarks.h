// Owns the list of benchmarks: each figure of the plug-in registered beside its baseline.
#pragma once

#include <benchmark/benchmark.h>

namespace heraldix::bench {

// Registers every benchmark with Google Benchmark. Names are "Figure/side[/players]". With repetitions,
// each also reports the fastest of them under this aggregate name.
void RegisterBenchmarks();
void RegisterPlayerBenchmarks();
// Registers one benchmark with the fastest-of-repetitions statistic.
benchmark::internal::Benchmark* Register(const char* name, void (*run)(benchmark::State&));
inline constexpr const char* FastestStatistic = "min";

}  // namespace heraldix::bench
