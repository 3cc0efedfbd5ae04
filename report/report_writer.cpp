#include "report/report_writer.h"

#include <cstdarg>
#include <cstdio>
#include <fstream>

namespace hwid {
namespace {

const char* report_path = kReportPath;

// A Windows text-mode stream turns the line feed into CR LF by itself;
// elsewhere the CR is written here, so the file's bytes are the same.
#if defined(_WIN32)
constexpr char kBeforeLineFeed[] = "";
#else
constexpr char kBeforeLineFeed[] = "\r";
#endif

}  // namespace

bool write_report_line(const char* format, ...) {
  if (format == nullptr) return false;

  char line[kReportLineBufferSize];
  std::va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof line) return false;

  // Text mode, append: a missing file is created, an existing one keeps its
  // content.
  std::ofstream report(report_path, std::ios::out | std::ios::app);
  if (!report.is_open()) return false;
  report.write(line, length);
  report << kBeforeLineFeed << std::endl;
  report.close();
  return !report.fail();
}

void set_report_path_for_testing(const char* path) {
  report_path = path != nullptr ? path : kReportPath;
}

}  // namespace hwid
