#include "recovery/seed_search.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "identifier/machine_id.h"
#include "identifier/md5.h"

namespace hwid {
namespace {

constexpr std::int32_t kMinSeed = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMaxSeed = std::numeric_limits<std::int32_t>::max();

// The identifier hwid.exe gives a machine whose seed is `seed`.
IdentifierDigest identifier_of_seed(std::int32_t seed) {
  const MachineProperties properties{"", static_cast<std::uint32_t>(seed), ""};
  return *parse_identifier(derive_machine_id(properties));
}

TEST(ParseIdentifierTest, AcceptsThirtyTwoHexDigitsOfEitherCase) {
  const std::string lower = "9d95d5278cbd6ac4957bb0540dd6a07b";
  const auto digest = parse_identifier("9D95D5278CBD6AC4957bb0540dd6a07b");
  ASSERT_TRUE(digest.has_value());
  EXPECT_EQ(identifier_text(*digest), lower);
  EXPECT_EQ((*digest)[0], 0x9d);
  EXPECT_EQ((*digest)[15], 0x7b);
}

TEST(ParseIdentifierTest, RefusesEverythingElse) {
  for (const char* text :
       {"", "9d95d5278cbd6ac4957bb0540dd6a07", "9d95d5278cbd6ac4957bb0540dd6a07b0",
        "9d95d5278cbd6ac4957bb0540dd6a07g", " 9d95d5278cbd6ac4957bb0540dd6a07b",
        "0x9d95d5278cbd6ac4957bb0540dd6a0", "9d95d5278cbd6ac4-57bb0540dd6a07b"}) {
    EXPECT_FALSE(parse_identifier(text).has_value()) << '"' << text << '"';
  }
}

struct RangeCase {
  const char* name;
  SeedRange range;
  std::vector<std::int32_t> planted;  // seeds whose identifiers are searched for
};

// Sub-ranges around every place where the seed text changes length or sign,
// starting and ending inside a block of 10000 seeds.
const RangeCase kRangeCases[] = {
    {"lowest seeds",
     {kMinSeed, kMinSeed + 23456},
     {kMinSeed, kMinSeed + 1, kMinSeed + 3648, kMinSeed + 3649, kMinSeed + 23456}},
    {"ten digits to nine, negative",
     {-1000012345, -999987654},
     {-1000012345, -1000000001, -1000000000, -999999999, -999990000, -999987654}},
    {"around zero", {-20003, 20005}, {-20003, -10000, -9999, -1000, -999,  -100, -10,
                                      -9,     -1,     0,     1,     9,     10,   99,
                                      100,    9999,   10000, 10001, 19999, 20005}},
    {"nine digits to ten",
     {999980001, 1000017777},
     {999980001, 999989999, 999990000, 999999999, 1000000000, 1000000001, 1000017777}},
    {"highest seeds",
     {kMaxSeed - 25000, kMaxSeed},
     {kMaxSeed - 25000, 2147479999, 2147480000, kMaxSeed - 1, kMaxSeed}},
};

class EngineTest : public ::testing::TestWithParam<SearchEngine> {};

TEST_P(EngineTest, FindsEveryPlantedSeedAtTheBoundaries) {
  for (const RangeCase& c : kRangeCases) {
    std::vector<IdentifierDigest> targets;
    for (std::int32_t seed : c.planted) targets.push_back(identifier_of_seed(seed));
    // One that no seed gives, and a duplicate.
    targets.push_back(*parse_identifier(md5_hex("not a seed text")));
    targets.push_back(targets.front());

    SearchOptions options;
    options.engine = GetParam();
    options.threads = 3;
    options.range = c.range;
    const auto found = recover_seeds(targets, options);
    ASSERT_EQ(found.size(), targets.size());
    for (std::size_t n = 0; n < c.planted.size(); ++n) {
      EXPECT_EQ(found[n], c.planted[n]) << c.name;
    }
    EXPECT_EQ(found[c.planted.size()], std::nullopt) << c.name;
    EXPECT_EQ(found.back(), c.planted.front()) << c.name;
  }
}

// Up to four targets are compared one by one rather than through the
// bitmap; one seed outside the range is not found.
TEST_P(EngineTest, FewTargetsAreComparedDirectly) {
  SearchOptions options;
  options.engine = GetParam();
  options.threads = 1;
  options.range = {-123456789, -123406789};
  const std::vector<IdentifierDigest> targets = {identifier_of_seed(-123456789),
                                                 identifier_of_seed(-123430000),
                                                 identifier_of_seed(-123406788)};
  const auto found = recover_seeds(targets, options);
  EXPECT_EQ(found, (std::vector<std::optional<std::int32_t>>{-123456789, -123430000,
                                                             std::nullopt}));
  const auto one = recover_seeds({identifier_of_seed(-123406789)}, options);
  EXPECT_EQ(one, (std::vector<std::optional<std::int32_t>>{-123406789}));
}

std::string engine_test_name(const ::testing::TestParamInfo<SearchEngine>& info) {
  return engine_name(info.param);
}

INSTANTIATE_TEST_SUITE_P(EverySupportedEngine, EngineTest,
                         ::testing::ValuesIn(supported_engines()), engine_test_name);

TEST(RecoverSeedsTest, WorkedExamplesGiveTheirSeeds) {
  // dev01 / PC-4F / 1A2B3C4D and Admin / DESKTOP-7Q2 / C0FFEE00.
  const std::vector<IdentifierDigest> targets = {
      *parse_identifier("9d95d5278cbd6ac4957bb0540dd6a07b"),
      *parse_identifier(derive_machine_id({"Admin", 0xC0FFEE00, "DESKTOP-7Q2"}))};
  SearchOptions options;
  options.range = {-1637290000, -1637280000};
  EXPECT_EQ(recover_seeds(targets, options)[1], -1637289485);
  options.range = {438850000, 438860000};
  EXPECT_EQ(recover_seeds(targets, options)[0], 438859677);
}

TEST(RecoverSeedsTest, NoTargetsAndEmptyRanges) {
  SearchOptions options;
  options.range = {0, 0};
  EXPECT_EQ(recover_seeds({}, options).size(), 0U);
  options.range = {1, 0};
  EXPECT_THROW(recover_seeds({identifier_of_seed(0)}, options), std::invalid_argument);
}

}  // namespace
}  // namespace hwid
