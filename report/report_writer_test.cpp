#include "report/report_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "report/temporary_report.h"

namespace hwid {
namespace {

namespace fs = std::filesystem;

using ReportWriterTest = TemporaryReportTest;

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
  const std::string in_missing_directory = unwritable_path();
  set_report_path_for_testing(in_missing_directory.c_str());
  EXPECT_FALSE(write_report_line("Your HWID : %s", "x"));
  EXPECT_FALSE(fs::exists(in_missing_directory));
}

}  // namespace
}  // namespace hwid
