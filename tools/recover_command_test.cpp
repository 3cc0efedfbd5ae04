#include "tools/recover_command.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "identifier/machine_id.h"
#include "tools/machine_id_tool.h"

namespace hwid {
namespace {

struct RecoverRun {
  int status;
  std::string out;
  std::string err;
};

RecoverRun run_recover(std::vector<std::string> args, SeedRange range,
                       const std::string& input = "") {
  args.insert(args.begin(), "recover");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::istringstream in(input);
  std::ostringstream out, err;
  RecoverEnvironment environment;
  environment.range = range;
  const int status = run_recover_command(static_cast<int>(argv.size()), argv.data(), in,
                                         out, err, environment);
  return {status, out.str(), err.str()};
}

// dev01 / PC-4F / 1A2B-3C4D: seed 438859677.
constexpr const char kWorkedExampleId[] = "9d95d5278cbd6ac4957bb0540dd6a07b";
constexpr SeedRange kAroundWorkedExample{438850000, 438869999};
// A seed outside that range.
const std::string kOutsideId = derive_machine_id({"", 7, ""});

TEST(RecoverCommandTest, PrintsSeedAndImpliedSerial) {
  RecoverRun run = run_recover({kWorkedExampleId}, kAroundWorkedExample);
  EXPECT_EQ(run.status, kToolSuccess);
  EXPECT_EQ(run.out, std::string(kWorkedExampleId) + " 438859677\n");
  EXPECT_EQ(run.err, "");

  run = run_recover(
      {"--user", "dev01", "--computer", "PC-4F", "9D95D5278CBD6AC4957BB0540DD6A07B"},
      kAroundWorkedExample);
  EXPECT_EQ(run.status, kToolSuccess);
  EXPECT_EQ(run.out, std::string(kWorkedExampleId) + " 438859677 1A2B-3C4D\n");

  // Admin / DESKTOP-7Q2 / C0FFEE00: seed -1637289485.
  const std::string admin_id = derive_machine_id({"Admin", 0xC0FFEE00, "DESKTOP-7Q2"});
  run = run_recover({"--computer", "DESKTOP-7Q2", "--user", "Admin", admin_id},
                    {-1637290000, -1637280000});
  EXPECT_EQ(run.out, admin_id + " -1637289485 C0FF-EE00\n");
}

TEST(RecoverCommandTest, OneLineAnIdentifierInOrderAndStatusOneWhenSomeAreMissing) {
  const RecoverRun run = run_recover(
      {"--threads", "2", kOutsideId, kWorkedExampleId, kOutsideId}, kAroundWorkedExample);
  EXPECT_EQ(run.status, kToolNotFound);
  EXPECT_EQ(run.out, kOutsideId + " -\n" + kWorkedExampleId + " 438859677\n" +
                         kOutsideId + " -\n");
}

TEST(RecoverCommandTest, ReadsStandardInputSkippingBlankLines) {
  std::string input = "\n";
  input.append(kWorkedExampleId).append("\r\n  \n").append(kOutsideId).append("\n\n");
  const RecoverRun run = run_recover({"-"}, kAroundWorkedExample, input);
  EXPECT_EQ(run.status, kToolNotFound);
  EXPECT_EQ(run.out,
            std::string(kWorkedExampleId) + " 438859677\n" + kOutsideId + " -\n");
}

TEST(RecoverCommandTest, UsageErrorsComeBeforeAnySearch) {
  const std::string bad = "9d95d5278cbd6ac4957bb0540dd6a07";
  const struct {
    std::vector<std::string> args;
    std::string input;
    const char* problem;
  } cases[] = {
      {{kWorkedExampleId, bad},
       "",
       "invalid identifier '9d95d5278cbd6ac4957bb0540dd6a07'"},
      {{"-"},
       std::string(kWorkedExampleId) + "\nnot-hex\n",
       "invalid identifier 'not-hex'"},
      {{}, "", "no identifiers given"},
      {{"-"}, "\n\n", "no identifiers given"},
      {{"-", kWorkedExampleId}, "", "'-' reads the identifiers from standard input"},
      {{"--user", "dev01", kWorkedExampleId}, "", "--user and --computer go together"},
      {{"--computer", "PC-4F", kWorkedExampleId},
       "",
       "--user and --computer go together"},
      {{"--threads", "0", kWorkedExampleId}, "", "invalid thread count '0'"},
      {{"--threads", "1025", kWorkedExampleId}, "", "invalid thread count '1025'"},
      {{"--threads", "two", kWorkedExampleId}, "", "invalid thread count 'two'"},
      {{kWorkedExampleId, "--threads"}, "", "option --threads needs a value"},
      {{"--user", "a", "--user", "b", kWorkedExampleId},
       "",
       "option --user is given twice"},
      {{"--serial", "1", kWorkedExampleId}, "", "unknown option '--serial'"},
  };
  for (const auto& c : cases) {
    const RecoverRun run = run_recover(c.args, kAroundWorkedExample, c.input);
    EXPECT_EQ(run.status, kToolUsageError) << c.problem;
    EXPECT_EQ(run.out, "") << c.problem;
    EXPECT_EQ(run.err.find(std::string("machine-id recover: ") + c.problem), 0U)
        << run.err;
    EXPECT_NE(run.err.find("usage: machine-id recover"), std::string::npos) << c.problem;
  }
}

TEST(RecoverCommandTest, HelpGoesToStandardOutput) {
  const RecoverRun run = run_recover({"--help"}, kAroundWorkedExample);
  EXPECT_EQ(run.status, kToolSuccess);
  EXPECT_EQ(run.out.rfind("usage: machine-id recover", 0), 0U);
  EXPECT_NE(run.out.find("3 the output could not be written"), std::string::npos);
}

}  // namespace
}  // namespace hwid
