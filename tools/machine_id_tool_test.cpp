#include "tools/machine_id_tool.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace hwid {
namespace {

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

ToolRun run_tool(std::vector<std::string> args) {
  args.insert(args.begin(), "machine-id");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out, err;
  const int status =
      run_machine_id_tool(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

constexpr const char kWorkedExampleId[] = "9d95d5278cbd6ac4957bb0540dd6a07b";

TEST(ParseSerialTest, AcceptedForms) {
  const struct {
    const char* text;
    std::uint32_t value;
  } cases[] = {
      {"1A2B3C4D", 0x1A2B3C4D},
      {"1a2b3c4d", 0x1A2B3C4D},
      {"0x1A2B3C4D", 0x1A2B3C4D},
      {"0X1a2B3c4D", 0x1A2B3C4D},
      {"1A2B-3C4D", 0x1A2B3C4D},
      {"0000-0001", 1},
      {"0", 0},
      {"f", 15},
      {"FFFFFFFF", 0xFFFFFFFF},
      {"0x0", 0},
      {"00000000", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(parse_serial(c.text), c.value) << c.text;
  }
}

TEST(ParseSerialTest, RefusedForms) {
  for (const char* text : {"", "0x", "123456789", "0x123456789", "1A2B3C4G", "-1", "+1",
                           " 1A2B", "1A2B ", "1A2B-3C4", "1A2-B3C4D", "1A2B--3C4D",
                           "0x1A2B-3C4D", "1A2B_3C4D", "x1", "1e3.0"}) {
    EXPECT_EQ(parse_serial(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(MachineIdToolTest, PrintsTheIdentifierAndALineEnd) {
  for (const char* serial : {"1A2B-3C4D", "1a2b3c4d", "0x1A2B3C4D"}) {
    const ToolRun run =
        run_tool({"--user", "dev01", "--computer", "PC-4F", "--serial", serial});
    EXPECT_EQ(run.status, kToolSuccess) << serial;
    EXPECT_EQ(run.out, std::string(kWorkedExampleId) + "\n") << serial;
    EXPECT_EQ(run.err, "") << serial;
  }
  // Options in any order.
  EXPECT_EQ(
      run_tool({"--serial", "C0FFEE00", "--computer", "DESKTOP-7Q2", "--user", "Admin"})
          .out,
      "ea490c165cfc87e526fe5fb530b7a06f\n");
}

TEST(MachineIdToolTest, NamesAreTakenAsTheirBytes) {
  // Seed 0: empty names; a leading "--" is a name, not an option.
  EXPECT_EQ(run_tool({"--user", "", "--computer", "", "--serial", "0"}).out,
            "cfcd208495d565ef66e7dff9f98764da\n");
  // \xE9 t \xE9 folds to 0xFFFF8E0D; + 0x000071F3 gives seed 0.
  EXPECT_EQ(run_tool({"--user", "\xE9t\xE9", "--computer", "", "--serial", "71F3"}).out,
            "cfcd208495d565ef66e7dff9f98764da\n");
  const ToolRun dashes =
      run_tool({"--user", "--explain", "--computer", "--help", "--serial", "0"});
  EXPECT_EQ(dashes.status, kToolSuccess);
  EXPECT_EQ(dashes.out.size(), 33u);
}

TEST(MachineIdToolTest, ExplainShowsEveryStep) {
  const ToolRun run = run_tool(
      {"--explain", "--user", "dev01", "--computer", "PC-4F", "--serial", "1A2B-3C4D"});
  EXPECT_EQ(run.status, kToolSuccess);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "user name \"dev01\", 5 bytes\n"
            "  byte        contribution  fold so far\n"
            "  0x64 d               +8  0x00000008\n"
            "  0x65 e               +9  0x00000089\n"
            "  0x76 v              +26  0x000008AA\n"
            "  0x30 0               +0  0x00008AA0\n"
            "  0x31 1               +1  0x0008AA01\n"
            "  fold 0x0008AA01\n"
            "computer name \"PC-4F\", 5 bytes\n"
            "  byte        contribution  fold so far\n"
            "  0x50 P              -12  0xFFFFFFF4\n"
            "  0x43 C              +12  0xFFFFFF4C\n"
            "  0x2D -              -47  0xFFFFF491\n"
            "  0x34 4               +4  0xFFFF4914\n"
            "  0x46 F              +15  0xFFF4914F\n"
            "  fold 0xFFF4914F\n"
            "serial 0x1A2B3C4D (vol prints 1A2B-3C4D)\n"
            "sum 0x0008AA01 + 0xFFF4914F + 0x1A2B3C4D = 0x1A28779D (modulo 2^32)\n"
            "seed text \"438859677\" (the sum as signed 32-bit decimal)\n"
            "identifier 9d95d5278cbd6ac4957bb0540dd6a07b (MD5 of the seed text)\n");
}

TEST(MachineIdToolTest, ExplainShowsIgnoredAndNonAsciiBytes) {
  const std::string out = run_tool({"--explain", "--user", "", "--computer",
                                    "DESKTOP-7Q2 \xE9", "--serial", "C0FFEE00"})
                              .out;
  EXPECT_NE(out.find("user name \"\", 0 bytes\n  fold 0x00000000\n"), std::string::npos)
      << out;
  EXPECT_NE(out.find("computer name \"DESKTOP-7Q2 \\xE9\", 13 bytes\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("  bytes 9 to 13 ignored: only the first 8 count\n"
                     "  fold 0xDD5E7211\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("seed text \"-1637982191\""), std::string::npos) << out;
}

TEST(MachineIdToolTest, HelpPrintsUsage) {
  const ToolRun run = run_tool({"--help"});
  EXPECT_EQ(run.status, kToolSuccess);
  EXPECT_EQ(run.out.rfind("usage: machine-id --user NAME", 0), 0u) << run.out;
  EXPECT_EQ(run.err, "");
}

TEST(MachineIdToolTest, BadInvocationsNameTheProblem) {
  const struct {
    std::vector<std::string> args;
    const char* problem;
  } cases[] = {
      {{}, "missing option --user"},
      {{"--user", "a", "--serial", "1"}, "missing option --computer"},
      {{"--user", "a", "--computer", "b"}, "missing option --serial"},
      {{"--user", "a", "--computer", "b", "--serial", "1", "--verbose"},
       "unknown option '--verbose'"},
      {{"dev01"}, "unknown option 'dev01'"},
      {{"--user", "a", "--computer", "b", "--serial"}, "option --serial needs a value"},
      {{"--user", "a", "--user", "b"}, "option --user is given twice"},
      {{"--user", "a", "--computer", "b", "--serial", "123456789"},
       "invalid serial '123456789'"},
      {{"--user", "a", "--computer", "b", "--serial", ""}, "invalid serial ''"},
      {{"--user", "a", "--computer", "b", "--serial", "1A2B:3C4D"},
       "invalid serial '1A2B:3C4D'"},
  };
  for (const auto& c : cases) {
    const ToolRun run = run_tool(c.args);
    EXPECT_EQ(run.status, kToolUsageError) << c.problem;
    EXPECT_EQ(run.out, "") << c.problem;
    EXPECT_EQ(run.err.rfind(std::string("machine-id: ") + c.problem, 0), 0u) << run.err;
    EXPECT_NE(run.err.find("usage: machine-id"), std::string::npos) << c.problem;
  }
}

}  // namespace
}  // namespace hwid
