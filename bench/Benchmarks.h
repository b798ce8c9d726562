// Owns the list of benchmarks: each figure of the plug-in registered beside its baseline.
#pragma once

namespace heraldix::bench {

// Registers every benchmark with Google Benchmark. Names are "Figure/side[/players]".
void RegisterBenchmarks();

}  // namespace heraldix::bench
