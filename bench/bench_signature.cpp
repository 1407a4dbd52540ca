// MD5 signatures: QelClSignature against OpenSSL's one-shot MD5() and EVP_Digest.
// The input passes the optimiser's barrier every round.
#include <vrnqel43.h>

#include <benchmark/benchmark.h>
// MD5() is deprecated in OpenSSL 3 but remains its leanest MD5 path.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/evp.h>
#include <openssl/md5.h>

#include <vector>

namespace {

std::vector<unsigned char> block(std::size_t length) {
  std::vector<unsigned char> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(i * 131 + 7);
  return bytes;
}

void setBytes(benchmark::State& state, std::size_t length) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(length));
}

void BM_QelSignature(benchmark::State& state) {
  const auto bytes = block(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    const unsigned char* const data = bytes.data();
    benchmark::DoNotOptimize(data);
    QelClSignature signature(data, bytes.size());
    benchmark::DoNotOptimize(signature.getDigest()[0]);
  }
  setBytes(state, bytes.size());
}

void BM_OpenSslMD5(benchmark::State& state) {
  const auto bytes = block(static_cast<std::size_t>(state.range(0)));
  unsigned char digest[MD5_DIGEST_LENGTH];
  for (auto _ : state) {
    const unsigned char* const data = bytes.data();
    benchmark::DoNotOptimize(data);
    MD5(data, bytes.size(), digest);
    benchmark::DoNotOptimize(digest[0]);
  }
  setBytes(state, bytes.size());
}

void BM_OpenSslEvpMD5(benchmark::State& state) {
  const auto bytes = block(static_cast<std::size_t>(state.range(0)));
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  for (auto _ : state) {
    const unsigned char* const data = bytes.data();
    benchmark::DoNotOptimize(data);
    EVP_Digest(data, bytes.size(), digest, &length, EVP_md5(), nullptr);
    benchmark::DoNotOptimize(digest[0]);
  }
  setBytes(state, bytes.size());
}

}  // namespace

BENCHMARK(BM_QelSignature)->Arg(64)->Arg(4 << 10)->Arg(1 << 20);
BENCHMARK(BM_OpenSslMD5)->Arg(64)->Arg(4 << 10)->Arg(1 << 20);
BENCHMARK(BM_OpenSslEvpMD5)->Arg(64)->Arg(4 << 10)->Arg(1 << 20);
