#include "recovery/seed_search.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

#include "identifier/machine_id.h"
#include "identifier/md5.h"
#include "identifier/md5_constants.h"
#include "recovery/search_kernel.h"

namespace hwid {
namespace {

// Blocks a worker takes at a time: enough to make taking them cheap, few
// enough that progress and the early end stay prompt.
constexpr std::uint64_t kBlocksPerTake = 8;
constexpr auto kProgressInterval = std::chrono::milliseconds(200);
// Bitmap bits per target (rounded up to a power of two), and its bounds.
// Fewer bits mean more false candidates to rule out; more mean a bitmap
// that outgrows the cache. The cap (16 MiB) keeps a million targets well
// under 100 MB.
constexpr std::uint64_t kBitmapBitsPerTarget = 128;
constexpr std::uint64_t kMinBitmapBits = std::uint64_t{1} << 16;
constexpr std::uint64_t kMaxBitmapBits = std::uint64_t{1} << 27;

std::uint32_t load_le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint32_t rotate_right(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

std::uint32_t aux_i(std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return c ^ (b | ~d);
}

// The key a kernel would compute for the text with this digest: undo the
// final addition of the initial state, then steps 63 and 62. Step 63 adds
// message word 9, which is zero for every seed text; step 62 adds word 2,
// which differs from text to text, so the key is the word before it plus
// word 2.
std::uint32_t search_key(const IdentifierDigest& digest) {
  static_assert(kKeySteps == 59 && kMd5MessageIndex[62] == 2 &&
                kMd5MessageIndex[63] == 9);
  // After step i the state holds the words of steps i - 3 to i: a is the
  // word of step 60, d of 61, c of 62 and b of 63.
  const std::uint32_t q60 = load_le32(&digest[0]) - kMd5InitialState[0];
  const std::uint32_t q63 = load_le32(&digest[4]) - kMd5InitialState[1];
  const std::uint32_t q62 = load_le32(&digest[8]) - kMd5InitialState[2];
  const std::uint32_t q61 = load_le32(&digest[12]) - kMd5InitialState[3];
  const std::uint32_t q59 = rotate_right(q63 - q62, kMd5Rotations[63]) -
                            aux_i(q62, q61, q60) - kMd5StepConstants[63];
  return rotate_right(q62 - q61, kMd5Rotations[62]) - aux_i(q61, q60, q59) -
         kMd5StepConstants[62];
}

SearchKernel kernel_of(SearchEngine engine) {
  switch (engine) {
    case SearchEngine::kPortable:
      return search_block_portable;
#ifdef HWID_RECOVERY_X86_KERNELS
    case SearchEngine::kSse2:
      return search_block_sse2;
    case SearchEngine::kAvx2:
      return search_block_avx2;
    case SearchEngine::kAvx512:
      return search_block_avx512;
#else
    default:
      break;
#endif
  }
  return nullptr;
}

// suffix_words of SeedTextBlock for every offset of the suffix in the text:
// row (offset, w) holds message word w for each suffix. A block's prefix
// has at least one digit and the text at most 11 bytes, so the suffix
// starts at byte 1 to 7.
class SuffixTables {
 public:
  static constexpr std::uint32_t kMaxOffset = 7;
  static constexpr std::uint32_t kRowLength = kSuffixCount + kSuffixRowPadding;

  SuffixTables() : words_((kMaxOffset + 1) * 3 * kRowLength) {
    for (std::uint32_t offset = 1; offset <= kMaxOffset; ++offset) {
      for (std::uint32_t suffix = 0; suffix < kSuffixCount; ++suffix) {
        std::uint8_t bytes[12] = {};
        std::uint32_t rest = suffix;
        for (std::uint32_t k = kSuffixDigits; k-- > 0; rest /= 10) {
          bytes[offset + k] = static_cast<std::uint8_t>('0' + rest % 10);
        }
        bytes[offset + kSuffixDigits] = 0x80;
        for (std::uint32_t w = 0; w < 3; ++w) {
          words_[index(offset, w) + suffix] = load_le32(&bytes[4 * w]);
        }
      }
    }
  }
  const std::uint32_t* row(std::uint32_t offset, std::uint32_t w) const {
    return &words_[index(offset, w)];
  }

 private:
  static std::size_t index(std::uint32_t offset, std::uint32_t w) {
    return (offset * 3 + w) * std::size_t{kRowLength};
  }
  std::vector<std::uint32_t> words_;
};

const SuffixTables& suffix_tables() {
  static const SuffixTables tables;
  return tables;
}

// Seeds of one sign whose magnitudes run from low to high (both at least
// kSuffixCount): the seeds of block j share the prefix first_prefix + j.
struct BlockSpan {
  bool negative;
  std::uint32_t low;
  std::uint32_t high;
  std::uint64_t block_count() const {
    return high / kSuffixCount - low / kSuffixCount + 1;
  }
};

// The targets' keys and the filter the kernels use. Targets are not copied:
// a million of them must stay well under 100 MB in all.
struct TargetIndex {
  const std::vector<IdentifierDigest>& targets;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> by_key;  // (key, target), sorted
  // by_key[bucket_start[h] ..] are the entries whose key's top 16 bits are
  // h, so that a lookup searches a few entries rather than all of them.
  std::vector<std::uint32_t> bucket_start;
  std::vector<std::uint32_t> bitmap;
  std::vector<std::uint32_t> direct_keys;
  KeyFilter filter{};

  explicit TargetIndex(const std::vector<IdentifierDigest>& searched)
      : targets(searched) {
    by_key.reserve(targets.size());
    for (std::uint32_t n = 0; n < targets.size(); ++n) {
      by_key.emplace_back(search_key(targets[n]), n);
    }
    std::sort(by_key.begin(), by_key.end());
    bucket_start.assign((1U << 16) + 1, 0);
    for (const auto& entry : by_key) ++bucket_start[(entry.first >> 16) + 1];
    for (std::size_t h = 1; h < bucket_start.size(); ++h) {
      bucket_start[h] += bucket_start[h - 1];
    }
    std::vector<std::uint32_t> keys;
    for (const auto& entry : by_key) {
      if (keys.empty() || keys.back() != entry.first) keys.push_back(entry.first);
      if (keys.size() > kMaxDirectKeys) break;
    }
    if (keys.size() <= kMaxDirectKeys) {
      direct_keys = keys;
      filter.keys = direct_keys.data();
      filter.key_count = static_cast<std::uint32_t>(direct_keys.size());
      return;
    }
    std::uint64_t bits = kMinBitmapBits;
    while (bits < kMaxBitmapBits && bits < targets.size() * kBitmapBitsPerTarget) {
      bits *= 2;
    }
    bitmap.assign(bits / 32, 0);
    const auto mask = static_cast<std::uint32_t>(bits - 1);
    for (const auto& entry : by_key) {
      const std::uint32_t bit = entry.first & mask;
      bitmap[bit >> 5] |= std::uint32_t{1} << (bit & 31);
    }
    filter.key_count = static_cast<std::uint32_t>(targets.size());
    filter.bitmap = bitmap.data();
    filter.bitmap_mask = mask;
  }

  // The entries whose key is `key`.
  auto with_key(std::uint32_t key) const {
    return std::equal_range(
        by_key.begin(), by_key.end(), std::make_pair(key, 0U),
        [](const auto& x, const auto& y) { return x.first < y.first; });
  }
};

// One search: the work shared by its threads and what they have found.
class Search {
 public:
  Search(const TargetIndex& targets, const SearchOptions& options)
      : targets_(targets),
        kernel_(kernel_of(options.engine)),
        found_(targets.targets.size()) {
    const std::int64_t first = options.range.first;
    const std::int64_t last = options.range.last;
    const std::int64_t small = kSuffixCount - 1;
    small_first_ = std::max(first, -small);
    small_last_ = std::min(last, small);
    if (last > small) {
      spans_.push_back({false, static_cast<std::uint32_t>(std::max(first, small + 1)),
                        static_cast<std::uint32_t>(last)});
    }
    if (first < -small) {
      spans_.push_back({true, static_cast<std::uint32_t>(std::max(-last, small + 1)),
                        static_cast<std::uint32_t>(-first)});
    }
    for (const BlockSpan& span : spans_) block_count_ += span.block_count();
  }

  // Tries the seeds that have no four-digit suffix one by one.
  void search_small_seeds() {
    for (std::int64_t seed = small_first_; seed <= small_last_ && !stopped(); ++seed) {
      confirm(static_cast<std::int32_t>(seed), nullptr);
      done_.fetch_add(1, std::memory_order_relaxed);
    }
  }

  // A worker: takes blocks until none is left or every target is found.
  void search_blocks() {
    std::vector<KernelCandidate> candidates(kSuffixCount + kSuffixRowPadding);
    while (!stopped()) {
      const std::uint64_t begin = next_block_.fetch_add(kBlocksPerTake);
      if (begin >= block_count_) return;
      const std::uint64_t end = std::min(begin + kBlocksPerTake, block_count_);
      std::uint64_t seeds = 0;
      for (std::uint64_t j = begin; j < end; ++j)
        seeds += search_block(j, candidates.data());
      done_.fetch_add(seeds, std::memory_order_relaxed);
    }
  }

  bool stopped() const { return stopped_.load(std::memory_order_relaxed); }
  std::uint64_t done() const { return done_.load(std::memory_order_relaxed); }
  // What was found, for each target in order; once the threads are done.
  std::vector<std::optional<std::int32_t>> take_found() { return std::move(found_); }

 private:
  // Searches block j of all spans; returns the number of seeds it holds.
  std::uint64_t search_block(std::uint64_t j, KernelCandidate* candidates) {
    const BlockSpan* span = &spans_[0];
    if (j >= span->block_count()) {
      j -= span->block_count();
      span = &spans_[1];
    }
    const std::uint32_t prefix = span->low / kSuffixCount + static_cast<std::uint32_t>(j);
    SeedTextBlock block{};
    block.first_suffix =
        prefix == span->low / kSuffixCount ? span->low % kSuffixCount : 0;
    block.last_suffix = prefix == span->high / kSuffixCount ? span->high % kSuffixCount
                                                            : kSuffixCount - 1;

    char text[16] = {};
    const int prefix_length =
        std::snprintf(text, sizeof text, "%s%u", span->negative ? "-" : "", prefix);
    const auto offset = static_cast<std::uint32_t>(prefix_length);
    for (std::uint32_t w = 0; w < 3; ++w) {
      block.prefix_words[w] =
          load_le32(reinterpret_cast<const std::uint8_t*>(&text[4 * w]));
      block.suffix_words[w] = suffix_tables().row(offset, w);
    }
    block.length_bits = (offset + kSuffixDigits) * 8;

    const std::uint32_t count = kernel_(block, targets_.filter, candidates);
    for (std::uint32_t n = 0; n < count; ++n) {
      const std::int64_t magnitude =
          std::int64_t{prefix} * kSuffixCount + candidates[n].suffix;
      confirm(static_cast<std::int32_t>(span->negative ? -magnitude : magnitude),
              &candidates[n].key);
    }
    return block.last_suffix - block.first_suffix + 1;
  }

  // Records `seed` for every target its identifier matches. A kernel's
  // candidate comes with its key, which rules most out before any MD5.
  // Without one (a seed tried one by one), the key follows from the digest.
  void confirm(std::int32_t seed, const std::uint32_t* key) {
    std::optional<decltype(targets_.with_key(0))> entries;
    if (key != nullptr) {
      entries = targets_.with_key(*key);
      if (entries->first == entries->second) return;
    }
    const MachineProperties seed_only{"", static_cast<std::uint32_t>(seed), ""};
    const IdentifierDigest digest = *parse_identifier(md5_hex(seed_text(seed_only)));
    if (!entries) entries = targets_.with_key(search_key(digest));
    for (auto entry = entries->first; entry != entries->second; ++entry) {
      if (targets_.targets[entry->second] != digest) continue;
      std::lock_guard lock(found_mutex_);
      auto& slot = found_[entry->second];
      if (slot) continue;
      slot = seed;
      if (++found_count_ == found_.size())
        stopped_.store(true, std::memory_order_relaxed);
    }
  }

  const TargetIndex& targets_;
  const SearchKernel kernel_;
  std::int64_t small_first_ = 0;
  std::int64_t small_last_ = -1;
  std::vector<BlockSpan> spans_;
  std::uint64_t block_count_ = 0;
  std::atomic<std::uint64_t> next_block_{0};
  std::atomic<std::uint64_t> done_{0};
  std::atomic<bool> stopped_{false};
  std::mutex found_mutex_;
  std::vector<std::optional<std::int32_t>> found_;
  std::size_t found_count_ = 0;
};

}  // namespace

std::optional<IdentifierDigest> parse_identifier(std::string_view text) {
  IdentifierDigest digest{};
  if (text.size() != 2 * digest.size()) return std::nullopt;
  for (std::size_t k = 0; k < digest.size(); ++k) {
    const int high = hex_digit_value(text[2 * k]);
    const int low = hex_digit_value(text[2 * k + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    digest[k] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return digest;
}

std::string identifier_text(const IdentifierDigest& digest) {
  static constexpr char kHexDigits[] = "0123456789abcdef";
  std::string text;
  for (std::uint8_t byte : digest) {
    text += kHexDigits[byte >> 4];
    text += kHexDigits[byte & 15];
  }
  return text;
}

const char* engine_name(SearchEngine engine) {
  switch (engine) {
    case SearchEngine::kPortable:
      return "portable";
    case SearchEngine::kSse2:
      return "sse2";
    case SearchEngine::kAvx2:
      return "avx2";
    case SearchEngine::kAvx512:
      return "avx512";
  }
  return "unknown";
}

std::vector<SearchEngine> supported_engines() {
  std::vector<SearchEngine> engines;
#ifdef HWID_RECOVERY_X86_KERNELS
  // These also check that the operating system saves the wider registers.
  __builtin_cpu_init();
  // The AVX-512 kernel gathers with AVX2.
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx2")) {
    engines.push_back(SearchEngine::kAvx512);
  }
  if (__builtin_cpu_supports("avx2")) engines.push_back(SearchEngine::kAvx2);
  if (__builtin_cpu_supports("sse2")) engines.push_back(SearchEngine::kSse2);
#endif
  engines.push_back(SearchEngine::kPortable);
  return engines;
}

std::vector<std::optional<std::int32_t>> recover_seeds(
    const std::vector<IdentifierDigest>& targets, const SearchOptions& options) {
  const std::vector<SearchEngine> engines = supported_engines();
  if (std::find(engines.begin(), engines.end(), options.engine) == engines.end()) {
    throw std::invalid_argument(std::string("search engine not supported here: ") +
                                engine_name(options.engine));
  }
  if (options.range.first > options.range.last) {
    throw std::invalid_argument("empty seed range");
  }
  if (targets.empty()) return {};

  const TargetIndex index(targets);
  Search search(index, options);
  const std::uint64_t total = static_cast<std::uint64_t>(
      std::int64_t{options.range.last} - options.range.first + 1);
  unsigned threads =
      options.threads != 0 ? options.threads : std::thread::hardware_concurrency();
  threads = std::max(threads, 1U);

  std::mutex mutex;
  std::condition_variable all_done;
  unsigned running = threads;
  std::vector<std::thread> workers;
  for (unsigned n = 0; n < threads; ++n) {
    workers.emplace_back([&] {
      search.search_blocks();
      std::lock_guard lock(mutex);
      if (--running == 0) all_done.notify_one();
    });
  }
  search.search_small_seeds();
  {
    std::unique_lock lock(mutex);
    while (!all_done.wait_for(lock, kProgressInterval, [&] { return running == 0; })) {
      if (options.progress) {
        lock.unlock();
        options.progress(search.done(), total);
        lock.lock();
      }
    }
  }
  for (std::thread& worker : workers) worker.join();

  return search.take_found();
}

}  // namespace hwid
