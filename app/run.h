// One run of the program: clear the old report, read the machine's
// properties, report its identifier and show the report.
#ifndef HWID_APP_RUN_H_
#define HWID_APP_RUN_H_

namespace hwid {

// Any failed query ends the run quietly, with no report.
void run();

}  // namespace hwid

#endif  // HWID_APP_RUN_H_
