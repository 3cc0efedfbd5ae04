#include "app/run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/platform_stand_in.h"
#include "report/report_writer.h"
#include "report/temporary_report.h"

namespace hwid {
namespace {

namespace fs = std::filesystem;

const char kDelete[] = R"(DeleteFileA("C:\HWID.txt"))";
const char kGetUserName[] = "GetUserNameA(buffer, 255)";
const char kGetVolumeInformation[] =
    R"(GetVolumeInformationA("C:\", null, 0, &serial, null, null, null, 0))";
const char kGetComputerName[] = "GetComputerNameA(buffer, 255)";
const char kShellOpen[] = R"(ShellExecuteA(null, "open", "C:\HWID.txt", null, null, 1))";

const stand_in::Machine kWorkedExample{"dev01", 0x1A2B3C4D, "PC-4F"};
const char kWorkedExampleLine[] = "Your HWID : 9d95d5278cbd6ac4957bb0540dd6a07b\r\n";

// The report goes to a temporary directory; the platform is the stand-in.
using RunTest = TemporaryReportTest;

TEST_F(RunTest, CompleteRunWritesOneLineThenOpensIt) {
  stand_in::reset(kWorkedExample);
  run();
  EXPECT_EQ(stand_in::calls(),
            (std::vector<std::string>{kDelete, kGetUserName, kGetVolumeInformation,
                                      kGetComputerName, kShellOpen}));
  EXPECT_EQ(report_bytes(), kWorkedExampleLine);
}

TEST_F(RunTest, NamesArePassedOnWithoutTerminators) {
  // The second worked seed; a terminator counted into either name would
  // change its fold (and the longer name shows only eight bytes count).
  stand_in::reset({"Admin", 0xC0FFEE00, "DESKTOP-7Q2"});
  run();
  EXPECT_EQ(report_bytes(), "Your HWID : ea490c165cfc87e526fe5fb530b7a06f\r\n");
}

TEST_F(RunTest, FailingQueryStopsTheRunWithNoReportAndNoShell) {
  const struct {
    const char* failing;
    stand_in::Machine machine;
    std::vector<std::string> calls;
  } cases[] = {
      {"user name", {std::nullopt, 0x1A2B3C4D, "PC-4F"}, {kDelete, kGetUserName}},
      {"serial",
       {"dev01", std::nullopt, "PC-4F"},
       {kDelete, kGetUserName, kGetVolumeInformation}},
      {"computer name",
       {"dev01", 0x1A2B3C4D, std::nullopt},
       {kDelete, kGetUserName, kGetVolumeInformation, kGetComputerName}},
      {"user name of 255 characters",
       {std::string(255, 'u'), 0x1A2B3C4D, "PC-4F"},
       {kDelete, kGetUserName}},
  };
  for (const auto& c : cases) {
    stand_in::reset(c.machine);
    run();
    EXPECT_EQ(stand_in::calls(), c.calls) << c.failing;
    EXPECT_FALSE(fs::exists(report_)) << c.failing;
  }
}

TEST_F(RunTest, LongestNamesFit) {
  stand_in::reset({std::string(254, 'u'), 0, std::string(254, 'c')});
  run();
  EXPECT_EQ(stand_in::calls().back(), kShellOpen);
  EXPECT_EQ(report_bytes().size(), 46u);
}

TEST_F(RunTest, NoShellCallWhenTheReportCannotBeWritten) {
  const std::string unwritable = unwritable_path();
  set_report_path_for_testing(unwritable.c_str());
  stand_in::reset(kWorkedExample);
  run();
  EXPECT_EQ(stand_in::calls(),
            (std::vector<std::string>{kDelete, kGetUserName, kGetVolumeInformation,
                                      kGetComputerName}));
}

}  // namespace
}  // namespace hwid
