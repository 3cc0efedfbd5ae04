// The search kernel, written once over "lanes": a vector of 32-bit words
// and the handful of operations MD5 needs on it. Each kernel file defines
// its Lanes for one instruction set and instantiates search_block with it.
//
// Everything here is in an anonymous namespace on purpose: each kernel file
// gets its own copy, compiled for its own instruction set, and none of them
// can be merged by the linker with another file's copy.
#ifndef HWID_RECOVERY_SEARCH_KERNEL_LANES_H_
#define HWID_RECOVERY_SEARCH_KERNEL_LANES_H_

#include <cstdint>

#include "identifier/md5_constants.h"
#include "recovery/search_kernel.h"

// The steps are templates nested 59 deep; they must all be inlined into
// the one loop for the constants to fold and the vectors to stay in
// registers.
#define HWID_ALWAYS_INLINE inline __attribute__((always_inline))

namespace hwid {
namespace {

// kBundle independent vectors go through each step together: a step is a
// chain of dependent instructions, and several chains keep the core busy.
template <class Lanes, int kBundle>
struct Bundle {
  typename Lanes::Vector v[kBundle];
};

template <class Lanes, int kBundle>
struct Message {
  Bundle<Lanes, kBundle> x[3];  // words 0-2, which differ from text to text
  std::uint32_t length_bits;    // word 14
};

// The auxiliary function of step i's round.
template <class Lanes, int i>
HWID_ALWAYS_INLINE typename Lanes::Vector aux(typename Lanes::Vector b, typename Lanes::Vector c,
                                              typename Lanes::Vector d) {
  if constexpr (i < 16) return Lanes::aux_f(b, c, d);
  else if constexpr (i < 32) return Lanes::aux_g(b, c, d);
  else if constexpr (i < 48) return Lanes::aux_h(b, c, d);
  else return Lanes::aux_i(b, c, d);
}

// MD5 step i on each vector: a = b + ((a + aux(b, c, d) + x[k] + t) <<< s).
// Words 3-13 and 15 are zero, so t alone is added; word 14 is the same for
// the whole block and is folded into t.
template <class Lanes, int kBundle, int i>
HWID_ALWAYS_INLINE void step(Bundle<Lanes, kBundle>& a, const Bundle<Lanes, kBundle>& b,
                             const Bundle<Lanes, kBundle>& c, const Bundle<Lanes, kBundle>& d,
                             const Message<Lanes, kBundle>& m) {
  constexpr int word = kMd5MessageIndex[i];
  constexpr std::uint32_t t = kMd5StepConstants[i];
  for (int k = 0; k < kBundle; ++k) {
    typename Lanes::Vector sum;
    if constexpr (word < 3) {
      sum = Lanes::add(a.v[k], Lanes::add(m.x[word].v[k], Lanes::broadcast(t)));
    } else if constexpr (word == 14) {
      sum = Lanes::add(a.v[k], Lanes::broadcast(t + m.length_bits));
    } else {
      sum = Lanes::add(a.v[k], Lanes::broadcast(t));
    }
    sum = Lanes::add(sum, aux<Lanes, i>(b.v[k], c.v[k], d.v[k]));
    a.v[k] = Lanes::add(b.v[k], Lanes::template rotate_left<kMd5Rotations[i]>(sum));
  }
}

// Steps i to kKeySteps - 1; returns the word the last one produced. After
// each step the roles turn: (a, b, c, d) becomes (d, a, b, c).
template <class Lanes, int kBundle, int i>
HWID_ALWAYS_INLINE const Bundle<Lanes, kBundle>& steps_from(
    Bundle<Lanes, kBundle>& a, Bundle<Lanes, kBundle>& b, Bundle<Lanes, kBundle>& c,
    Bundle<Lanes, kBundle>& d, const Message<Lanes, kBundle>& m) {
  if constexpr (i == kKeySteps) {
    return b;
  } else {
    step<Lanes, kBundle, i>(a, b, c, d, m);
    return steps_from<Lanes, kBundle, i + 1>(d, a, b, c, m);
  }
}

// Which lanes of `keys` pass the filter, as a bit mask.
template <class Lanes>
HWID_ALWAYS_INLINE std::uint32_t passing_lanes(typename Lanes::Vector keys,
                                               const KeyFilter& filter) {
  if (filter.key_count > kMaxDirectKeys) {
    return Lanes::bitmap_hits(keys, filter.bitmap, filter.bitmap_mask);
  }
  std::uint32_t lanes = 0;
  for (std::uint32_t n = 0; n < filter.key_count; ++n) {
    lanes |= Lanes::equal_lanes(keys, Lanes::broadcast(filter.keys[n]));
  }
  return lanes;
}

template <class Lanes, int kBundle>
std::uint32_t search_block(const SeedTextBlock& block, const KeyFilter& filter,
                           KernelCandidate* out) {
  using Vector = typename Lanes::Vector;
  constexpr std::uint32_t kWidth = Lanes::kWidth;
  std::uint32_t found = 0;
  Message<Lanes, kBundle> m;
  m.length_bits = block.length_bits;
  Vector prefix[3];
  for (int w = 0; w < 3; ++w) prefix[w] = Lanes::broadcast(block.prefix_words[w]);

  for (std::uint32_t first = block.first_suffix; first <= block.last_suffix;
       first += kWidth * kBundle) {
    Bundle<Lanes, kBundle> a, b, c, d;
    for (int k = 0; k < kBundle; ++k) {
      for (int w = 0; w < 3; ++w) {
        m.x[w].v[k] = Lanes::bit_or(prefix[w],
                                    Lanes::load(block.suffix_words[w] + first + k * kWidth));
      }
      a.v[k] = Lanes::broadcast(kMd5InitialState[0]);
      b.v[k] = Lanes::broadcast(kMd5InitialState[1]);
      c.v[k] = Lanes::broadcast(kMd5InitialState[2]);
      d.v[k] = Lanes::broadcast(kMd5InitialState[3]);
    }
    const Bundle<Lanes, kBundle>& last = steps_from<Lanes, kBundle, 0>(a, b, c, d, m);

    for (int k = 0; k < kBundle; ++k) {
      const Vector keys = Lanes::add(last.v[k], m.x[2].v[k]);
      std::uint32_t lanes = passing_lanes<Lanes>(keys, filter);
      if (lanes == 0) continue;
      alignas(64) std::uint32_t key_of_lane[kWidth];
      Lanes::store(key_of_lane, keys);
      for (std::uint32_t lane = 0; lane < kWidth; ++lane, lanes >>= 1) {
        const std::uint32_t suffix = first + k * kWidth + lane;
        // Lanes past the block's end hold padding, not texts of the block.
        if ((lanes & 1) != 0 && suffix <= block.last_suffix) {
          out[found++] = KernelCandidate{suffix, key_of_lane[lane]};
        }
      }
    }
  }
  return found;
}

}  // namespace
}  // namespace hwid

#endif  // HWID_RECOVERY_SEARCH_KERNEL_LANES_H_
