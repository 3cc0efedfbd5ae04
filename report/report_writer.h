// The report file: one printf-formatted line appended per call.
#ifndef HWID_REPORT_REPORT_WRITER_H_
#define HWID_REPORT_REPORT_WRITER_H_

#include <cstddef>

namespace hwid {

// Where the identifier is reported; the run deletes and opens it too.
inline constexpr char kReportPath[] = "C:\\HWID.txt";

// A formatted line holds at most kReportLineBufferSize - 1 characters.
inline constexpr std::size_t kReportLineBufferSize = 4096;

// Formats the arguments printf-style and appends the result and CR LF to
// the report file, opening and closing it. True when the line was formatted,
// written, flushed and the file closed without failure. A null format, or a
// line too long for the buffer, writes nothing (a long line is refused
// whole, never truncated) and returns false.
bool write_report_line(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Tests only: makes write_report_line use `path` instead of kReportPath;
// null goes back to kReportPath. The program never calls it.
void set_report_path_for_testing(const char* path);

}  // namespace hwid

#endif  // HWID_REPORT_REPORT_WRITER_H_
