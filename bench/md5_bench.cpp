// Our MD5 and the derivation, each beside OpenSSL's MD5 where it is found.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "identifier/machine_id.h"
#include "identifier/md5.h"

#ifdef HWID_BENCH_OPENSSL
#include <openssl/evp.h>
#endif

namespace {

// The longest seed text there is: eleven characters.
constexpr const char kLongestSeedText[] = "-2147483648";
constexpr std::size_t kMebibyte = 1 << 20;

const hwid::MachineProperties kWorkedExample{"dev01", 0x1A2B3C4D, "PC-4F"};

std::vector<unsigned char> mebibyte_of_data() {
  std::vector<unsigned char> data(kMebibyte);
  for (std::size_t k = 0; k < data.size(); ++k) {
    data[k] = static_cast<unsigned char>(k * 131 + 7);
  }
  return data;
}

void BM_Md5Hex_SeedText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(hwid::md5_hex(kLongestSeedText));
}
BENCHMARK(BM_Md5Hex_SeedText);

void BM_Md5Digest_1MiB(benchmark::State& state) {
  const std::vector<unsigned char> data = mebibyte_of_data();
  for (auto _ : state) {
    hwid::Md5Digest digest;
    digest.update(data.data(), static_cast<std::uint32_t>(data.size()));
    digest.finalize();
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_Md5Digest_1MiB);

void BM_DeriveMachineId(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(hwid::derive_machine_id(kWorkedExample));
}
BENCHMARK(BM_DeriveMachineId);

#ifdef HWID_BENCH_OPENSSL

// OpenSSL's digest rendered the way ours is, so that the small-input
// figures compare like with like.
std::string openssl_md5_hex(EVP_MD_CTX* context, const EVP_MD* md5, const void* data,
                            std::size_t size) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int digest_size = 0;
  EVP_DigestInit_ex(context, md5, nullptr);
  EVP_DigestUpdate(context, data, size);
  EVP_DigestFinal_ex(context, digest, &digest_size);
  char text[33];
  for (unsigned int k = 0; k < digest_size && k < 16; ++k) {
    std::snprintf(&text[2 * k], sizeof text - 2 * k, "%02x", digest[k]);
  }
  return std::string(text, 32);
}

// One fetched MD5 and one context per benchmark, as a caller that cares
// about speed would hold them.
struct OpenSsl {
  EVP_MD* md5 = EVP_MD_fetch(nullptr, "MD5", nullptr);
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  ~OpenSsl() {
    EVP_MD_CTX_free(context);
    EVP_MD_free(md5);
  }
};

void BM_OpenSsl_Md5Hex_SeedText(benchmark::State& state) {
  OpenSsl openssl;
  for (auto _ : state) {
    benchmark::DoNotOptimize(openssl_md5_hex(
        openssl.context, openssl.md5, kLongestSeedText, sizeof kLongestSeedText - 1));
  }
}
BENCHMARK(BM_OpenSsl_Md5Hex_SeedText);

void BM_OpenSsl_Md5_1MiB(benchmark::State& state) {
  OpenSsl openssl;
  const std::vector<unsigned char> data = mebibyte_of_data();
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int digest_size = 0;
  for (auto _ : state) {
    EVP_DigestInit_ex(openssl.context, openssl.md5, nullptr);
    EVP_DigestUpdate(openssl.context, data.data(), data.size());
    EVP_DigestFinal_ex(openssl.context, digest, &digest_size);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_OpenSsl_Md5_1MiB);

void BM_OpenSsl_DeriveMachineId(benchmark::State& state) {
  OpenSsl openssl;
  for (auto _ : state) {
    const std::string seed = hwid::seed_text(kWorkedExample);
    benchmark::DoNotOptimize(
        openssl_md5_hex(openssl.context, openssl.md5, seed.data(), seed.size()));
  }
}
BENCHMARK(BM_OpenSsl_DeriveMachineId);

#endif  // HWID_BENCH_OPENSSL

}  // namespace

BENCHMARK_MAIN();
