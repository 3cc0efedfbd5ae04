// The kernel with AVX2: eight texts per vector. Compiled with -mavx2 and
// called only where the CPU and the operating system support it.
#include <immintrin.h>

#include "recovery/search_kernel_lanes.h"

namespace hwid {
namespace {

struct Avx2Lanes {
  using Vector = __m256i;
  static constexpr std::uint32_t kWidth = 8;

  static Vector broadcast(std::uint32_t x) {
    return _mm256_set1_epi32(static_cast<int>(x));
  }
  static Vector load(const std::uint32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  }
  static void store(std::uint32_t* p, Vector x) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), x);
  }
  static Vector add(Vector x, Vector y) { return _mm256_add_epi32(x, y); }
  template <int s>
  static Vector rotate_left(Vector x) {
    return _mm256_or_si256(_mm256_slli_epi32(x, s), _mm256_srli_epi32(x, 32 - s));
  }
  static Vector aux_f(Vector b, Vector c, Vector d) {
    return _mm256_xor_si256(d, _mm256_and_si256(b, _mm256_xor_si256(c, d)));
  }
  static Vector aux_g(Vector b, Vector c, Vector d) {
    return _mm256_xor_si256(c, _mm256_and_si256(d, _mm256_xor_si256(b, c)));
  }
  static Vector aux_h(Vector b, Vector c, Vector d) {
    return _mm256_xor_si256(_mm256_xor_si256(b, c), d);
  }
  static Vector aux_i(Vector b, Vector c, Vector d) {
    // b | ~d is ~(d & ~b).
    return _mm256_xor_si256(_mm256_xor_si256(c, _mm256_andnot_si256(b, d)),
                            _mm256_set1_epi32(-1));
  }
  static std::uint32_t equal_lanes(Vector x, Vector y) {
    return static_cast<std::uint32_t>(
        _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(x, y))));
  }
  static std::uint32_t bitmap_hits(Vector keys, const std::uint32_t* bitmap,
                                   std::uint32_t mask) {
    const Vector bits = _mm256_and_si256(keys, _mm256_set1_epi32(static_cast<int>(mask)));
    const Vector words = _mm256_i32gather_epi32(reinterpret_cast<const int*>(bitmap),
                                                _mm256_srli_epi32(bits, 5), 4);
    const Vector shifted =
        _mm256_srlv_epi32(words, _mm256_and_si256(bits, _mm256_set1_epi32(31)));
    return static_cast<std::uint32_t>(
        _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_slli_epi32(shifted, 31))));
  }
};

}  // namespace

std::uint32_t search_block_avx2(const SeedTextBlock& block, const KeyFilter& filter,
                                KernelCandidate* out) {
  return search_block<Avx2Lanes, 6>(block, filter, out);
}

}  // namespace hwid
