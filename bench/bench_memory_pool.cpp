// Many small chunks, then everything released at once: the memory pool against
// malloc/free and std::pmr::monotonic_buffer_resource. The sizes are read through
// a pointer that passes the optimiser's barrier every round.
#include <vrnqel43.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory_resource>
#include <random>
#include <vector>

namespace {

constexpr int kChunks = 10000;
constexpr unsigned int kBlockSize = 64 * 1024;

// The same 10000 sizes of 8 to 64 bytes for every contender.
const std::vector<unsigned int>& chunkSizeList() {
  static const std::vector<unsigned int> sizes = [] {
    std::mt19937 generator(43);
    std::uniform_int_distribution<unsigned int> size(8, 64);
    std::vector<unsigned int> drawn(kChunks);
    for (unsigned int& s : drawn) s = size(generator);
    return drawn;
  }();
  return sizes;
}

// The sizes, opaque to the optimiser afresh on every call.
const unsigned int* chunkSizes() {
  const unsigned int* const sizes = chunkSizeList().data();
  benchmark::DoNotOptimize(sizes);
  return sizes;
}

void setCounters(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kChunks);
}

void PoolAllocateB(benchmark::State& state) {
  QelClMemoryPool pool(kBlockSize, kBlockSize, 256);
  for (auto _ : state) {
    unsigned int blockNumber = 0;
    const unsigned int* sizes = chunkSizes();
    for (int i = 0; i < kChunks; ++i) benchmark::DoNotOptimize(pool.allocateB(sizes[i], blockNumber));
    pool.deleteAll();
  }
  setCounters(state);
}

void PoolAllocateUnlimited(benchmark::State& state) {
  QelClMemoryPool pool(kBlockSize, kBlockSize, 256);
  for (auto _ : state) {
    const unsigned int* sizes = chunkSizes();
    for (int i = 0; i < kChunks; ++i) benchmark::DoNotOptimize(pool.allocateUnlimited(sizes[i]));
    pool.deleteAll();
  }
  setCounters(state);
}

void MallocFree(benchmark::State& state) {
  std::vector<void*> chunks(kChunks);
  for (auto _ : state) {
    const unsigned int* sizes = chunkSizes();
    for (int i = 0; i < kChunks; ++i) {
      void*& chunk = chunks[static_cast<std::size_t>(i)];
      chunk = std::malloc(sizes[i]);
      benchmark::DoNotOptimize(chunk);
    }
    for (void* chunk : chunks) std::free(chunk);
  }
  setCounters(state);
}

// Asked for the pool's alignment (4). Its one buffer holds a whole round, so that
// release() keeps it, as deleteAll keeps the pool's used blocks: both then carve
// without calling the allocator. (Growing from the default upstream instead, its
// time depends on whether malloc maps the released buffers afresh every round.)
void PmrMonotonic(benchmark::State& state) {
  std::vector<char> buffer(1024 * 1024);
  std::pmr::monotonic_buffer_resource resource(buffer.data(), buffer.size());
  for (auto _ : state) {
    const unsigned int* sizes = chunkSizes();
    for (int i = 0; i < kChunks; ++i) benchmark::DoNotOptimize(resource.allocate(sizes[i], 4));
    resource.release();
  }
  setCounters(state);
}

}  // namespace

BENCHMARK(PoolAllocateB);
BENCHMARK(PoolAllocateUnlimited);
BENCHMARK(MallocFree);
BENCHMARK(PmrMonotonic);
