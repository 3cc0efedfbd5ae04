// Tests only: points the report writer at HWID.txt in a fresh temporary
// directory for the fixture's lifetime, so that no test writes C:\HWID.txt.
#ifndef HWID_REPORT_TEMPORARY_REPORT_H_
#define HWID_REPORT_TEMPORARY_REPORT_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "report/report_writer.h"

namespace hwid {

class TemporaryReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("hwid-test-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(directory_);
    report_ = (directory_ / "HWID.txt").string();
    set_report_path_for_testing(report_.c_str());
  }
  void TearDown() override {
    set_report_path_for_testing(nullptr);
    std::filesystem::remove_all(directory_);
  }

  std::string report_bytes() const {
    std::ifstream in(report_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void put_report_bytes(const std::string& bytes) const {
    std::ofstream(report_, std::ios::binary) << bytes;
  }
  // A path whose directory does not exist: no file can be made there.
  std::string unwritable_path() const {
    return (directory_ / "missing" / "HWID.txt").string();
  }

  std::filesystem::path directory_;
  std::string report_;
};

}  // namespace hwid

#endif  // HWID_REPORT_TEMPORARY_REPORT_H_
