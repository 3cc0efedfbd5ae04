#include "identifier/machine_id.h"

#include <gtest/gtest.h>

#include <string>

namespace hwid {
namespace {

TEST(FoldContributionTest, DigitsUpperHexAndEverythingElse) {
  const struct {
    unsigned char byte;
    int contribution;
  } cases[] = {
      {'0', 0},   {'9', 9},   {'A', 10},    {'F', 15},    {'/', -45},  {':', -34},
      {'@', -28}, {'G', -21},  // just outside
      {'a', 5},   {'f', 10},  {'z', 30},    {'Z', -2},    {'-', -47},  {'_', 3},
      {'.', -46}, {' ', -60}, {0x80, -220}, {0xE9, -115}, {0xFF, -93}, {0x00, -92},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fold_contribution(c.byte), c.contribution)
        << "byte 0x" << std::hex << int{c.byte};
  }
}

TEST(FoldNameTest, WorkedFolds) {
  const struct {
    std::string text;
    std::uint32_t fold;
  } cases[] = {
      {"ABCDEF12", 0xABCDEF12},    {"12345678XYZ", 0x12345678}, {"ABCDEF", 0x00ABCDEF},
      {"abcdef", 0x0056789A},      {"dev01", 0x0008AA01},       {"PC-4F", 0xFFF4914F},
      {"DESKTOP-7Q2", 0xDD5E7211}, {"Admin", 0x000A91E2},       {"", 0x00000000},
      {"\xE9t\xE9", 0xFFFF8E0D},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fold_name(c.text), c.fold) << '"' << c.text << '"';
  }
}

TEST(FoldNameTest, OnlyTheFirstEightBytesCount) {
  EXPECT_EQ(fold_name("WORKSTAT"), fold_name("WORKSTATION-1"));
  EXPECT_EQ(fold_name("WORKSTAT"),
            fold_name(std::string(254, 'x').replace(0, 8, "WORKSTAT")));
  EXPECT_NE(fold_name("WORKSTA"), fold_name("WORKSTAT"));
}

TEST(DeriveMachineIdTest, SeedsAndIdentifiers) {
  // Identifiers computed independently: printf SEED | md5sum.
  const struct {
    MachineProperties properties;
    std::uint32_t seed;
    const char* seed_text;
    const char* identifier;
  } cases[] = {
      {{"dev01", 0x1A2B3C4D, "PC-4F"},
       0x1A28779D,
       "438859677",
       "9d95d5278cbd6ac4957bb0540dd6a07b"},
      {{"Admin", 0xC0FFEE00, "DESKTOP-7Q2"},
       0x9E68F1F3,
       "-1637289485",
       "ea490c165cfc87e526fe5fb530b7a06f"},
      {{"", 0, ""}, 0, "0", "cfcd208495d565ef66e7dff9f98764da"},
      {{"", 0x80000000, ""},
       0x80000000,
       "-2147483648",
       "034ff5946105f089278eea60c488a90b"},
      {{"", 0xFFFFFFFF, ""}, 0xFFFFFFFF, "-1", "6bb61e3b7bce0931da574d19d1d82c88"},
      // The sum wraps modulo 2^32: 0xFFFFFFFF + 1 + 0.
      {{"FFFFFFFF", 0, "1"}, 0, "0", "cfcd208495d565ef66e7dff9f98764da"},
  };
  for (const auto& c : cases) {
    const MachineProperties& p = c.properties;
    SCOPED_TRACE("user \"" + p.user_name + "\" computer \"" + p.computer_name +
                 "\" serial " + std::to_string(p.volume_serial_number));
    EXPECT_EQ(seed_value(p), c.seed);
    EXPECT_EQ(seed_text(p), c.seed_text);
    EXPECT_EQ(derive_machine_id(p), c.identifier);
  }
  EXPECT_EQ(seed_text({"", 0x7FFFFFFF, ""}), "2147483647");
}

}  // namespace
}  // namespace hwid
