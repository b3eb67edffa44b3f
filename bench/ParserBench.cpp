// Parser benchmarks over in-memory files: time, heap and page faults per
// index entry and per chunk, so the growth of the cost can be read off.
//
// Counters per benchmark (heap figures from one parse outside the timing):
//   per_item     time per entry or chunk (seconds; "n" is nanoseconds)
//   items/s      entries or chunks per second
//   heapB/item   bytes the parse allocates, per entry or chunk
//   peakB/item   most bytes in use at once during the parse, per entry or chunk
//   allocs       operator new calls per parse
//   minflt       minor page faults per parse, in the timed loop
//   fileB        size of the file
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "avi/AVIFile.h"
#include "bench/BenchFiles.h"
#include "bench/HeapCounter.h"
#include "page/FileReport.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/TempDirectory.h"

using bench_files::Place;
using testing_support::Bytes;
using testing_support::MemoryStream;

namespace {

long minorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

// What the benchmarked work does with one file.
enum class Work { parse, parseExpectingError, report };

void runOnce(const Bytes& file, Work work) {
  MemoryStream stream(file.data(), file.size());
  switch (work) {
    case Work::parse: {
      const AVIFile avi(stream);
      benchmark::DoNotOptimize(avi.streamCount());
      break;
    }
    case Work::parseExpectingError:
      try {
        const AVIFile avi(stream);
        throw std::logic_error("the file was expected to fail");
      } catch (const std::runtime_error& e) {
        benchmark::DoNotOptimize(e.what());
      }
      break;
    case Work::report: {
      const FileReport report = readStreamReport("bench.avi", stream);
      if (!report.ok) throw std::logic_error("report failed: " + report.status);
      benchmark::DoNotOptimize(report.rows.size());
      break;
    }
  }
}

// Fresh: before each parse (outside the timing) malloc gives all its free
// pages back to the system, so the parse faults its memory in again, as a
// process that reads one file and exits (the tool) does. Otherwise the
// heap of earlier parses is reused, as in a long-lived process.
void measure(benchmark::State& state, const Bytes& file, Work work, std::size_t items, bool fresh = false) {
  const std::uint64_t allocationsBefore = HeapCounter::allocations();
  const std::uint64_t bytesBefore = HeapCounter::bytesAllocated();
  const std::uint64_t inUseBefore = HeapCounter::bytesInUse();
  HeapCounter::resetPeak();
  runOnce(file, work);
  const double peak = static_cast<double>(HeapCounter::peakBytesInUse() - inUseBefore);
  const double allocated = static_cast<double>(HeapCounter::bytesAllocated() - bytesBefore);
  const double allocations = static_cast<double>(HeapCounter::allocations() - allocationsBefore);

  const long faultsBefore = minorFaults();
  for (auto _ : state) {
    if (fresh) {
      state.PauseTiming();
      malloc_trim(0);
      state.ResumeTiming();
    }
    runOnce(file, work);
  }
  const double faults = static_cast<double>(minorFaults() - faultsBefore);

  const double n = static_cast<double>(items);
  using benchmark::Counter;
  state.counters["per_item"] = Counter(n, Counter::kIsIterationInvariantRate | Counter::kInvert);
  state.counters["items/s"] = Counter(n, Counter::kIsIterationInvariantRate);
  state.counters["heapB/item"] = allocated / n;
  state.counters["peakB/item"] = peak / n;
  state.counters["allocs"] = allocations;
  state.counters["minflt"] = Counter(faults, Counter::kAvgIterations);
  state.counters["fileB"] = static_cast<double>(file.size());
}

// Entries of idx1 (video and audio alternating): the cost should grow
// linearly with them.
void IndexEntries(benchmark::State& state) {
  const auto entries = static_cast<std::size_t>(state.range(0));
  measure(state, bench_files::indexed(entries), Work::parse, entries);
}

// Data chunks in movi with no idx1: the parser never walks movi, so the cost
// should not grow at all.
void MoviChunksWithoutIndex(benchmark::State& state) {
  const auto chunks = static_cast<std::size_t>(state.range(0));
  measure(state, bench_files::unindexed(chunks), Work::parse, chunks);
}

// The smallest chunks (8 bytes, no data) where the parser has to walk them.
// Past the bound of a list the parse stops with "Too many chunks in list",
// and so does a file with them before its RIFF chunk ("Not a RIFF file"
// below the bound).
Work emptyChunksWork(Place place, std::size_t chunks) {
  const bool pastBound = place != Place::movi && chunks + 4 > Chunk::maxChildrenPerList;
  return place == Place::beforeRiff || pastBound ? Work::parseExpectingError : Work::parse;
}

void EmptyChunks(benchmark::State& state) {
  const auto place = static_cast<Place>(state.range(0));
  const auto chunks = static_cast<std::size_t>(state.range(1));
  state.SetLabel(bench_files::placeName(place));
  measure(state, bench_files::emptyChunks(place, chunks), emptyChunksWork(place, chunks), chunks);
}

// Empty chunks spread over three nested lists: the whole tree's bound, not
// a list's, stops the parse ("Too many chunks in file") once the lists hold
// more than a third of it each.
void EmptyChunksInThreeLists(benchmark::State& state) {
  const auto chunks = static_cast<std::size_t>(state.range(0));
  const bool pastBound = 3 * chunks + bench_files::threeListsOwnChunks > Chunk::maxChunksPerTree;
  measure(state, bench_files::emptyChunksInThreeLists(chunks), pastBound ? Work::parseExpectingError : Work::parse,
          3 * chunks);
}

// What the tool does per file: the parse and the structure rows.
void Report(benchmark::State& state) {
  const auto entries = static_cast<std::size_t>(state.range(0));
  measure(state, bench_files::indexed(entries), Work::report, entries);
}

// What the tool does with a file on disk: open it read-only, parse through
// the platform's file calls, make the rows. The page cache is warm, so this
// prices the system calls over the in-memory parse.
void IndexEntriesFromDisk(benchmark::State& state) {
  const auto entries = static_cast<std::size_t>(state.range(0));
  const Bytes& file = bench_files::indexed(entries);
  const testing_support::TempDirectory folder;
  const std::string path = folder.file("indexed.avi");
  testing_support::writeFile(path, file.data(), file.size());
  for (auto _ : state) {
    const FileReport report = readFileReport(path);
    if (!report.ok) throw std::logic_error("report failed: " + report.status);
    benchmark::DoNotOptimize(report.rows.size());
  }
  using benchmark::Counter;
  const double n = static_cast<double>(entries);
  state.counters["per_item"] = Counter(n, Counter::kIsIterationInvariantRate | Counter::kInvert);
  state.counters["items/s"] = Counter(n, Counter::kIsIterationInvariantRate);
  state.counters["fileB"] = static_cast<double>(file.size());
}

// The same two, with memory fresh from the system for every parse.
void IndexEntriesFreshMemory(benchmark::State& state) {
  const auto entries = static_cast<std::size_t>(state.range(0));
  measure(state, bench_files::indexed(entries), Work::parse, entries, true);
}

void EmptyChunksFreshMemory(benchmark::State& state) {
  const auto place = static_cast<Place>(state.range(0));
  const auto chunks = static_cast<std::size_t>(state.range(1));
  state.SetLabel(bench_files::placeName(place));
  measure(state, bench_files::emptyChunks(place, chunks), emptyChunksWork(place, chunks), chunks, true);
}

void growth(benchmark::internal::Benchmark* b) {
  for (long n : {1000, 3000, 10000, 30000, 100000, 300000, 1000000}) b->Arg(n);
}

void placesAndCounts(benchmark::internal::Benchmark* b) {
  for (int place = 0; place <= static_cast<int>(Place::movi); ++place) {
    for (long n : {1000, 10000, 60000, 1000000}) b->Args({place, n});
  }
}

}  // namespace

BENCHMARK(IndexEntries)->Apply(growth)->Unit(benchmark::kMicrosecond);
BENCHMARK(MoviChunksWithoutIndex)->Apply(growth)->Unit(benchmark::kMicrosecond);
BENCHMARK(EmptyChunks)->Apply(placesAndCounts)->Unit(benchmark::kMicrosecond);
BENCHMARK(EmptyChunksInThreeLists)->Arg(10000)->Arg(40000)->Arg(60000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Report)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(IndexEntriesFromDisk)->Apply(growth)->Unit(benchmark::kMicrosecond);
BENCHMARK(IndexEntriesFreshMemory)->Apply(growth)->Unit(benchmark::kMicrosecond);
BENCHMARK(EmptyChunksFreshMemory)
    ->Args({static_cast<int>(Place::afterRiff), 1000})
    ->Args({static_cast<int>(Place::afterRiff), 10000})
    ->Args({static_cast<int>(Place::afterRiff), 60000})
    ->Args({static_cast<int>(Place::afterRiff), 1000000})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
