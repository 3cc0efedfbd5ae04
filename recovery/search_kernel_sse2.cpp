// The kernel with SSE2: four texts per vector. Compiled with -msse2 and
// called only where the CPU has it (the 32-bit build's baseline lacks it).
#include <emmintrin.h>

#include "recovery/search_kernel_lanes.h"

namespace hwid {
namespace {

struct Sse2Lanes {
  using Vector = __m128i;
  static constexpr std::uint32_t kWidth = 4;

  static Vector broadcast(std::uint32_t x) { return _mm_set1_epi32(static_cast<int>(x)); }
  static Vector load(const std::uint32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  }
  static void store(std::uint32_t* p, Vector x) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), x);
  }
  static Vector add(Vector x, Vector y) { return _mm_add_epi32(x, y); }
  template <int s>
  static Vector rotate_left(Vector x) {
    return _mm_or_si128(_mm_slli_epi32(x, s), _mm_srli_epi32(x, 32 - s));
  }
  static Vector aux_f(Vector b, Vector c, Vector d) {
    return _mm_xor_si128(d, _mm_and_si128(b, _mm_xor_si128(c, d)));
  }
  static Vector aux_g(Vector b, Vector c, Vector d) {
    return _mm_xor_si128(c, _mm_and_si128(d, _mm_xor_si128(b, c)));
  }
  static Vector aux_h(Vector b, Vector c, Vector d) {
    return _mm_xor_si128(_mm_xor_si128(b, c), d);
  }
  static Vector aux_i(Vector b, Vector c, Vector d) {
    // b | ~d is ~(d & ~b).
    return _mm_xor_si128(_mm_xor_si128(c, _mm_andnot_si128(b, d)), _mm_set1_epi32(-1));
  }
  static std::uint32_t equal_lanes(Vector x, Vector y) {
    return static_cast<std::uint32_t>(
        _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(x, y))));
  }
  // No gather before AVX2: one lane at a time.
  static std::uint32_t bitmap_hits(Vector keys, const std::uint32_t* bitmap,
                                   std::uint32_t mask) {
    alignas(16) std::uint32_t key[kWidth];
    store(key, keys);
    std::uint32_t lanes = 0;
    for (std::uint32_t lane = 0; lane < kWidth; ++lane) {
      const std::uint32_t bit = key[lane] & mask;
      lanes |= ((bitmap[bit >> 5] >> (bit & 31)) & 1) << lane;
    }
    return lanes;
  }
};

}  // namespace

std::uint32_t search_block_sse2(const SeedTextBlock& block, const KeyFilter& filter,
                                KernelCandidate* out) {
  return search_block<Sse2Lanes, 6>(block, filter, out);
}

}  // namespace hwid
