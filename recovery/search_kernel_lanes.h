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

// What the steps add besides the state: message words 0-2 of each text
// are the block's prefix words plus the suffix's words (their bytes do not
// overlap), so the suffix words are added straight from the table, where
// they need no register, and the prefix words are folded into the step
// constants with word 14.
struct Message {
  const std::uint32_t* suffix_words[3];  // at the bundle's first text
  std::uint32_t step_constants[64];
};

// The auxiliary function of step i's round.
template <class Lanes, int i>
HWID_ALWAYS_INLINE typename Lanes::Vector aux(typename Lanes::Vector b,
                                              typename Lanes::Vector c,
                                              typename Lanes::Vector d) {
  if constexpr (i < 16)
    return Lanes::aux_f(b, c, d);
  else if constexpr (i < 32)
    return Lanes::aux_g(b, c, d);
  else if constexpr (i < 48)
    return Lanes::aux_h(b, c, d);
  else
    return Lanes::aux_i(b, c, d);
}

// The word step i replaces (`a`) plus what the step adds to it besides the
// auxiliary function: its constant t and its message word x[k]. Words 3-13
// and 15 are zero, so t alone is added.
template <class Lanes, int kBundle, int i>
HWID_ALWAYS_INLINE typename Lanes::Vector plus_message(typename Lanes::Vector a,
                                                       const Message& m, int k) {
  constexpr int word = kMd5MessageIndex[i];
  if constexpr (word < 3) {
    return Lanes::add(Lanes::add(a, Lanes::broadcast(m.step_constants[i])),
                      Lanes::load(m.suffix_words[word] + k * Lanes::kWidth));
  } else {
    return Lanes::add(a, Lanes::broadcast(m.step_constants[i]));
  }
}

// MD5 step i on each vector: a = b + ((a + aux(b, c, d) + x[k] + t) <<< s),
// where `a` arrives with x[k] + t already added. d is the next step's a:
// it takes its own x[k] + t here, so that the auxiliary function may
// overwrite the old d rather than a copy of it.
template <class Lanes, int kBundle, int i>
HWID_ALWAYS_INLINE void step(Bundle<Lanes, kBundle>& a, const Bundle<Lanes, kBundle>& b,
                             const Bundle<Lanes, kBundle>& c, Bundle<Lanes, kBundle>& d,
                             const Message& m) {
  // Unrolled whatever the optimisation level, so that the bundle's vectors
  // stay in registers.
#pragma GCC unroll 16
  for (int k = 0; k < kBundle; ++k) {
    typename Lanes::Vector next_a = d.v[k];
    if constexpr (i + 1 < kKeySteps)
      next_a = plus_message<Lanes, kBundle, i + 1>(next_a, m, k);
    if constexpr (requires { Lanes::keep_as_computed(next_a); }) {
      Lanes::keep_as_computed(next_a);
    }
    const typename Lanes::Vector sum =
        Lanes::add(a.v[k], aux<Lanes, i>(b.v[k], c.v[k], d.v[k]));
    a.v[k] = Lanes::add(b.v[k], Lanes::template rotate_left<kMd5Rotations[i]>(sum));
    d.v[k] = next_a;
  }
}

// Steps i to kKeySteps - 1; returns the word the last one produced. After
// each step the roles turn: (a, b, c, d) becomes (d, a, b, c).
template <class Lanes, int kBundle, int i>
HWID_ALWAYS_INLINE const Bundle<Lanes, kBundle>& steps_from(Bundle<Lanes, kBundle>& a,
                                                            Bundle<Lanes, kBundle>& b,
                                                            Bundle<Lanes, kBundle>& c,
                                                            Bundle<Lanes, kBundle>& d,
                                                            const Message& m) {
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
  Message m;
  for (int i = 0; i < 64; ++i) {
    const int word = kMd5MessageIndex[i];
    m.step_constants[i] = kMd5StepConstants[i] + (word < 3     ? block.prefix_words[word]
                                                  : word == 14 ? block.length_bits
                                                               : 0);
  }
  const Vector prefix_word_2 = Lanes::broadcast(block.prefix_words[2]);

  for (std::uint32_t first = block.first_suffix; first <= block.last_suffix;
       first += kWidth * kBundle) {
    for (int w = 0; w < 3; ++w) m.suffix_words[w] = block.suffix_words[w] + first;
    Bundle<Lanes, kBundle> a, b, c, d;
#pragma GCC unroll 16
    for (int k = 0; k < kBundle; ++k) {
      a.v[k] =
          plus_message<Lanes, kBundle, 0>(Lanes::broadcast(kMd5InitialState[0]), m, k);
      b.v[k] = Lanes::broadcast(kMd5InitialState[1]);
      c.v[k] = Lanes::broadcast(kMd5InitialState[2]);
      d.v[k] = Lanes::broadcast(kMd5InitialState[3]);
    }
    const Bundle<Lanes, kBundle>& last = steps_from<Lanes, kBundle, 0>(a, b, c, d, m);

    for (int k = 0; k < kBundle; ++k) {
      const Vector keys =
          Lanes::add(Lanes::add(last.v[k], Lanes::load(m.suffix_words[2] + k * kWidth)),
                     prefix_word_2);
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
