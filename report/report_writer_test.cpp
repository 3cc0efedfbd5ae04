#include "report/report_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace hwid {
namespace {

namespace fs = std::filesystem;

// Points the writer at HWID.txt in a fresh temporary directory.
class ReportWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = fs::temp_directory_path() /
                 ("hwid-report-test-" + std::to_string(std::random_device{}()));
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
  void put_report_bytes(const std::string& bytes) const {
    std::ofstream(report_, std::ios::binary) << bytes;
  }

  fs::path directory_;
  std::string report_;
};

TEST_F(ReportWriterTest, IdentifierLineIs46BytesEndingInCrLf) {
  EXPECT_TRUE(write_report_line("Your HWID : %s", "9d95d5278cbd6ac4957bb0540dd6a07b"));
  const std::string bytes = report_bytes();
  EXPECT_EQ(bytes, "Your HWID : 9d95d5278cbd6ac4957bb0540dd6a07b\r\n");
  EXPECT_EQ(bytes.size(), 46u);
}

TEST_F(ReportWriterTest, NullFormatWritesNothingAndCreatesNoFile) {
  EXPECT_FALSE(write_report_line(nullptr));
  EXPECT_FALSE(fs::exists(report_));
}

TEST_F(ReportWriterTest, LinesAreAppendedInCallOrderAfterExistingContent) {
  put_report_bytes("old line\r\n");
  EXPECT_TRUE(write_report_line("first %d", 1));
  EXPECT_TRUE(write_report_line("second %s", "two"));
  EXPECT_EQ(report_bytes(), "old line\r\nfirst 1\r\nsecond two\r\n");
}

TEST_F(ReportWriterTest, LongestLineIsWrittenAndALongerOneRefusedWhole) {
  const std::string longest(kReportLineBufferSize - 1, 'x');
  EXPECT_TRUE(write_report_line("%s", longest.c_str()));
  EXPECT_EQ(report_bytes(), longest + "\r\n");

  const std::string too_long(kReportLineBufferSize, 'y');
  EXPECT_FALSE(write_report_line("%s", too_long.c_str()));
  EXPECT_FALSE(write_report_line("%s%s", longest.c_str(), "y"));
  EXPECT_EQ(report_bytes(), longest + "\r\n");
}

TEST_F(ReportWriterTest, UnopenableFileIsAFailure) {
  const std::string in_missing_directory = (directory_ / "missing" / "HWID.txt").string();
  set_report_path_for_testing(in_missing_directory.c_str());
  EXPECT_FALSE(write_report_line("Your HWID : %s", "x"));
  EXPECT_FALSE(fs::exists(in_missing_directory));
}

}  // namespace
}  // namespace hwid
