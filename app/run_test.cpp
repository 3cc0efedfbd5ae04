#include "app/run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/platform_stand_in.h"
#include "report/report_writer.h"

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

// The report goes to a fresh temporary directory; the platform is the
// stand-in.
class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = fs::temp_directory_path() /
                 ("hwid-run-test-" + std::to_string(std::random_device{}()));
    fs::create_directories(directory_);
    report_ = (directory_ / "HWID.txt").string();
    set_report_path_for_testing(report_.c_str());
  }
  void TearDown() override {
    set_report_path_for_testing(nullptr);
    fs::remove_all(directory_);
  }

  std::string report_bytes() const {
    std::ifstream in(report_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path directory_;
  std::string report_;
};

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
  const std::string unwritable = (directory_ / "missing" / "HWID.txt").string();
  set_report_path_for_testing(unwritable.c_str());
  stand_in::reset(kWorkedExample);
  run();
  EXPECT_EQ(stand_in::calls(),
            (std::vector<std::string>{kDelete, kGetUserName, kGetVolumeInformation,
                                      kGetComputerName}));
}

}  // namespace
}  // namespace hwid
