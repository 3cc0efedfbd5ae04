// The boundary between the seed search and its kernels, one per instruction
// set. Plain data and plain function declarations only: the kernels are
// compiled for wider instruction sets than the rest of the program, and any
// inline code they shared with it could be linked into a caller on a CPU
// without those instructions.
#ifndef HWID_RECOVERY_SEARCH_KERNEL_H_
#define HWID_RECOVERY_SEARCH_KERNEL_H_

#include <cstdint>

namespace hwid {

// A block's seed texts share all but their last kSuffixDigits characters,
// which are the digits of a suffix, zero-padded ("%04u").
inline constexpr std::uint32_t kSuffixDigits = 4;
inline constexpr std::uint32_t kSuffixCount = 10000;
// Suffix table rows run this far past the last suffix (as zeros), so that a
// kernel always loads whole vectors.
inline constexpr std::uint32_t kSuffixRowPadding = 256;

// The seed texts prefix + suffix for every suffix from first_suffix to
// last_suffix, as MD5 message words: a text has at most 11 bytes, so it is
// one block whose only words that differ within a block are 0 to 2.
struct SeedTextBlock {
  // Words 0-2 with the prefix's bytes, zeros elsewhere.
  std::uint32_t prefix_words[3];
  // suffix_words[w][s]: word w with suffix s's digits and the 0x80 that
  // ends the message, at this prefix length; zeros elsewhere.
  const std::uint32_t* suffix_words[3];
  // Word 14: the text's length in bits. Every other word is zero.
  std::uint32_t length_bits;
  std::uint32_t first_suffix;
  std::uint32_t last_suffix;  // inclusive
};

// A kernel computes the first kKeySteps MD5 steps of each text and takes
// the search key: the last word computed plus message word 2. For a target
// digest the same key follows from undoing the last steps (search_key), so
// the last steps need not be computed at all.
inline constexpr int kKeySteps = 59;

// Which keys are candidates: up to kMaxDirectKeys keys are compared one by
// one; more are looked up as bit (key & bitmap_mask) of a bitmap.
inline constexpr std::uint32_t kMaxDirectKeys = 4;
struct KeyFilter {
  const std::uint32_t* keys;
  std::uint32_t key_count;
  const std::uint32_t* bitmap;
  std::uint32_t bitmap_mask;
};

struct KernelCandidate {
  std::uint32_t suffix;
  std::uint32_t key;
};

// Writes a candidate for each text of the block whose key passes the
// filter, in no particular order, and returns how many (at most
// last_suffix - first_suffix + 1).
using SearchKernel = std::uint32_t (*)(const SeedTextBlock& block,
                                       const KeyFilter& filter, KernelCandidate* out);

std::uint32_t search_block_portable(const SeedTextBlock& block, const KeyFilter& filter,
                                    KernelCandidate* out);
#ifdef HWID_RECOVERY_X86_KERNELS
std::uint32_t search_block_sse2(const SeedTextBlock& block, const KeyFilter& filter,
                                KernelCandidate* out);
std::uint32_t search_block_avx2(const SeedTextBlock& block, const KeyFilter& filter,
                                KernelCandidate* out);
std::uint32_t search_block_avx512(const SeedTextBlock& block, const KeyFilter& filter,
                                  KernelCandidate* out);
#endif

}  // namespace hwid

#endif  // HWID_RECOVERY_SEARCH_KERNEL_H_
