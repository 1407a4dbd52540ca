// Many small chunks, then everything released at once: the memory pool against
// malloc/free and std::pmr::monotonic_buffer_resource. Every size passes the
// optimiser's barrier before it is asked for.
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
const std::vector<unsigned int>& chunkSizes() {
  static const std::vector<unsigned int> sizes = [] {
    std::mt19937 generator(43);
    std::uniform_int_distribution<unsigned int> size(8, 64);
    std::vector<unsigned int> drawn(kChunks);
    for (unsigned int& s : drawn) s = size(generator);
    return drawn;
  }();
  return sizes;
}

void setCounters(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kChunks);
}

void PoolAllocateB(benchmark::State& state) {
  const std::vector<unsigned int>& sizes = chunkSizes();
  QelClMemoryPool pool(kBlockSize, kBlockSize, 256);
  for (auto _ : state) {
    unsigned int blockNumber = 0;
    for (unsigned int size : sizes) {
      benchmark::DoNotOptimize(size);
      benchmark::DoNotOptimize(pool.allocateB(size, blockNumber));
    }
    pool.deleteAll();
  }
  setCounters(state);
}

void PoolAllocateUnlimited(benchmark::State& state) {
  const std::vector<unsigned int>& sizes = chunkSizes();
  QelClMemoryPool pool(kBlockSize, kBlockSize, 256);
  for (auto _ : state) {
    for (unsigned int size : sizes) {
      benchmark::DoNotOptimize(size);
      benchmark::DoNotOptimize(pool.allocateUnlimited(size));
    }
    pool.deleteAll();
  }
  setCounters(state);
}

void MallocFree(benchmark::State& state) {
  const std::vector<unsigned int>& sizes = chunkSizes();
  std::vector<void*> chunks(sizes.size());
  for (auto _ : state) {
    for (std::size_t i = 0; i < sizes.size(); ++i) {
      unsigned int size = sizes[i];
      benchmark::DoNotOptimize(size);
      chunks[i] = std::malloc(size);
      benchmark::DoNotOptimize(chunks[i]);
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
  const std::vector<unsigned int>& sizes = chunkSizes();
  std::vector<char> buffer(1024 * 1024);
  std::pmr::monotonic_buffer_resource resource(buffer.data(), buffer.size());
  for (auto _ : state) {
    for (unsigned int size : sizes) {
      benchmark::DoNotOptimize(size);
      benchmark::DoNotOptimize(resource.allocate(size, 4));
    }
    resource.release();
  }
  setCounters(state);
}

}  // namespace

BENCHMARK(PoolAllocateB);
BENCHMARK(PoolAllocateUnlimited);
BENCHMARK(MallocFree);
BENCHMARK(PmrMonotonic);
