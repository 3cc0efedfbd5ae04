// The kernel in plain C++, one text per lane: every CPU runs it.
#include "recovery/search_kernel_lanes.h"

namespace hwid {
namespace {

struct ScalarLanes {
  using Vector = std::uint32_t;
  static constexpr std::uint32_t kWidth = 1;

  static Vector broadcast(std::uint32_t x) { return x; }
  static Vector load(const std::uint32_t* p) { return *p; }
  static void store(std::uint32_t* p, Vector x) { *p = x; }
  static Vector add(Vector x, Vector y) { return x + y; }
  template <int s>
  static Vector rotate_left(Vector x) {
    return (x << s) | (x >> (32 - s));
  }
  static Vector aux_f(Vector b, Vector c, Vector d) { return d ^ (b & (c ^ d)); }
  static Vector aux_g(Vector b, Vector c, Vector d) { return c ^ (d & (b ^ c)); }
  static Vector aux_h(Vector b, Vector c, Vector d) { return b ^ c ^ d; }
  static Vector aux_i(Vector b, Vector c, Vector d) { return c ^ (b | ~d); }
  static std::uint32_t equal_lanes(Vector x, Vector y) { return x == y ? 1 : 0; }
  static std::uint32_t bitmap_hits(Vector keys, const std::uint32_t* bitmap,
                                   std::uint32_t mask) {
    const std::uint32_t bit = keys & mask;
    return (bitmap[bit >> 5] >> (bit & 31)) & 1;
  }
};

}  // namespace

std::uint32_t search_block_portable(const SeedTextBlock& block, const KeyFilter& filter,
                                    KernelCandidate* out) {
  return search_block<ScalarLanes, 4>(block, filter, out);
}

}  // namespace hwid
