#include "tools/recover_command.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "identifier/machine_id.h"
#include "tools/machine_id_tool.h"

namespace hwid {
namespace {

constexpr const char kRecoverUsage[] =
    "usage: machine-id recover [--user NAME --computer NAME] [--threads N] "
    "IDENTIFIER...\n"
    "       machine-id recover [--user NAME --computer NAME] [--threads N] -\n"
    "\n"
    "Finds the seed behind each identifier by trying all 2^32 seeds, in one\n"
    "pass however many identifiers are given, and prints one line for each,\n"
    "in order: the identifier and its seed text, or the identifier and - when\n"
    "no seed gives it. With the user and computer names, a found line also\n"
    "shows the volume serial number of C: those names imply, as vol prints it.\n"
    "\n"
    "  IDENTIFIER        32 hex digits, either case\n"
    "  -                 read the identifiers from standard input, one a line\n"
    "                    (blank lines are ignored)\n"
    "  --user NAME       logon name of the user (with --computer)\n"
    "  --computer NAME   NetBIOS name of the computer (with --user)\n"
    "  --threads N       search threads, 1 to 1024 (default: one per core)\n"
    "\n"
    "Exit status: 0 every identifier found, 1 some not found, 2 usage error,\n"
    "3 the output could not be written.\n";

constexpr unsigned kMaxThreads = 1024;
constexpr int kProgressBarWidth = 30;

int recover_usage_error(const std::string& problem, std::ostream& err) {
  err << "machine-id recover: " << problem << "\n\n" << kRecoverUsage;
  return kToolUsageError;
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

std::optional<unsigned> parse_threads(std::string_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  unsigned value = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(ch - '0');
  }
  if (value == 0 || value > kMaxThreads) return std::nullopt;
  return value;
}

// "[#####.....]  42%  1.02 G seeds/s  3 s left", redrawn in place.
class ProgressBar {
 public:
  explicit ProgressBar(std::ostream& err) : err_(err), start_(Clock::now()) {}

  void show(std::uint64_t done, std::uint64_t total) {
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    const double share =
        total == 0 ? 1.0 : static_cast<double>(done) / static_cast<double>(total);
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    const int filled = static_cast<int>(share * kProgressBarWidth);
    char line[128];
    std::snprintf(line, sizeof line, "\r[%-*s] %3d%%  %.2f G seeds/s  %.0f s left ",
                  kProgressBarWidth,
                  std::string(static_cast<std::size_t>(filled), '#').c_str(),
                  static_cast<int>(share * 100), rate / 1e9,
                  rate > 0 ? static_cast<double>(total - done) / rate : 0.0);
    err_ << line << std::flush;
    shown_length_ = std::string_view(line).size();
  }

  void erase() {
    if (shown_length_ == 0) return;
    err_ << '\r' << std::string(shown_length_, ' ') << '\r' << std::flush;
  }

 private:
  using Clock = std::chrono::steady_clock;
  std::ostream& err_;
  Clock::time_point start_;
  std::size_t shown_length_ = 0;
};

}  // namespace

int run_recover_command(int argc, const char* const* argv, std::istream& in,
                        std::ostream& out, std::ostream& err,
                        const RecoverEnvironment& environment) {
  std::optional<std::string> user, computer, threads_text;
  const ValueOption value_options[] = {
      {"--user", &user}, {"--computer", &computer}, {"--threads", &threads_text}};
  std::vector<std::string> texts;
  bool from_input = false;

  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help") {
      out << kRecoverUsage;
      return kToolSuccess;
    }
    if (arg == "-") {
      from_input = true;
      continue;
    }
    if (arg.size() < 2 || arg.substr(0, 2) != "--") {
      texts.emplace_back(arg);
      continue;
    }
    const std::optional<std::string> problem =
        take_value_option(value_options, argc, argv, i);
    if (!problem) {
      return recover_usage_error("unknown option '" + std::string(arg) + "'", err);
    }
    if (!problem->empty()) return recover_usage_error(*problem, err);
  }

  if (user.has_value() != computer.has_value()) {
    return recover_usage_error("--user and --computer go together", err);
  }
  SearchOptions options;
  options.range = environment.range;
  if (threads_text) {
    const std::optional<unsigned> threads = parse_threads(*threads_text);
    if (!threads) {
      return recover_usage_error(
          "invalid thread count '" + *threads_text + "': expected 1 to 1024", err);
    }
    options.threads = *threads;
  }
  if (from_input && !texts.empty()) {
    return recover_usage_error(
        "'-' reads the identifiers from standard input; give no others", err);
  }
  std::vector<IdentifierDigest> targets;
  const auto add_target = [&](std::string_view text) {
    const std::optional<IdentifierDigest> digest = parse_identifier(text);
    if (digest) targets.push_back(*digest);
    return digest.has_value();
  };
  const auto invalid = [&](std::string_view text) {
    return recover_usage_error(
        "invalid identifier '" + std::string(text) + "': expected 32 hex digits", err);
  };
  if (from_input) {
    for (std::string line; std::getline(in, line);) {
      const std::string_view text = trimmed(line);
      if (!text.empty() && !add_target(text)) return invalid(text);
    }
  } else {
    for (const std::string& text : texts) {
      if (!add_target(text)) return invalid(text);
    }
  }
  if (targets.empty()) return recover_usage_error("no identifiers given", err);

  std::optional<ProgressBar> bar;
  if (environment.show_progress) {
    bar.emplace(err);
    options.progress = [&](std::uint64_t done, std::uint64_t total) {
      bar->show(done, total);
    };
  }
  const std::vector<std::optional<std::int32_t>> seeds = recover_seeds(targets, options);
  if (bar) bar->erase();

  int status = kToolSuccess;
  for (std::size_t n = 0; n < targets.size(); ++n) {
    out << identifier_text(targets[n]);
    if (!seeds[n]) {
      out << " -\n";
      status = kToolNotFound;
      continue;
    }
    const auto seed = static_cast<std::uint32_t>(*seeds[n]);
    out << ' ' << seed_text({"", seed, ""});
    if (user) {
      // serial = seed - fold(user) - fold(computer), modulo 2^32.
      out << ' ' << vol_form(seed - fold_name(*user) - fold_name(*computer));
    }
    out << '\n';
  }
  return status;
}

}  // namespace hwid
