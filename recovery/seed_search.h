// Recovery of the seed behind identifiers: an exhaustive search over all
// 2^32 seeds that finds the seeds of any number of identifiers in one pass.
// An identifier is a label, not a secret: this is the proof.
#ifndef HWID_RECOVERY_SEED_SEARCH_H_
#define HWID_RECOVERY_SEED_SEARCH_H_

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hwid {

// The 16 digest bytes an identifier renders.
using IdentifierDigest = std::array<std::uint8_t, 16>;

// 32 hex digits of either case; nullopt for anything else.
std::optional<IdentifierDigest> parse_identifier(std::string_view text);
// The identifier's text: 32 lower-case hex digits.
std::string identifier_text(const IdentifierDigest& digest);

// Implementations of the search, one per instruction set.
enum class SearchEngine { kPortable, kSse2, kAvx2, kAvx512 };
const char* engine_name(SearchEngine engine);
// The engines this CPU (and operating system) can run, fastest first; the
// portable one is always last.
std::vector<SearchEngine> supported_engines();

// The seeds from first to last, inclusive, as signed values: the seed text
// of a seed is its "%d".
struct SeedRange {
  std::int32_t first = std::numeric_limits<std::int32_t>::min();
  std::int32_t last = std::numeric_limits<std::int32_t>::max();
};

struct SearchOptions {
  SearchEngine engine = supported_engines().front();
  unsigned threads = 0;  // 0: one per core
  SeedRange range;
  // Called on the calling thread a few times a second while the search
  // runs, with the number of seeds tried and the number in the range.
  std::function<void(std::uint64_t done, std::uint64_t total)> progress;
};

// For each target, in order, the seed whose seed text has that digest, or
// nullopt when no seed in the range has it. Every seed of the range is tried
// once at most; the search ends early once every target is found. Each
// result is confirmed with md5_hex of its seed text.
std::vector<std::optional<std::int32_t>> recover_seeds(
    const std::vector<IdentifierDigest>& targets, const SearchOptions& options = {});

}  // namespace hwid

#endif  // HWID_RECOVERY_SEED_SEARCH_H_
