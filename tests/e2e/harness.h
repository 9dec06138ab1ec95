// Runs a program as a user would: answers on standard input, its output collected,
// stopped by SIGINT and, if that does not end it, by SIGKILL. Nothing here can hang:
// every run has a deadline.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace e2e {

using std::chrono::milliseconds;

// Where the child's standard input and output go. A terminal is a pseudo-terminal in
// raw mode (no echo, no newline translation), on both standard input and output, as
// when a user types; standard error stays a pipe.
enum class Wiring { pipes, terminal };

struct Launch {
  std::string program;
  std::vector<std::string> arguments;    // after argv[0], which is `program`
  std::string directory;                 // empty: the harness's own
  std::vector<std::string> environment;  // NAME=VALUE, added to or replacing the harness's
  std::string input;                     // written to standard input (typed on a terminal)
  bool close_input = true;               // pipes only: end of input after `input`
  std::string input_path;                // pipes only: standard input opened from this file
                                         // instead of `input` (a directory gives read errors)
  Wiring wiring = Wiring::pipes;
};

struct Stop {
  // Stop once this many bytes of standard output have arrived; 0: only at the deadline
  // or when the child closes its output.
  std::size_t output_bytes = 0;
  milliseconds deadline{10000};  // from the start, for the whole reading phase
  bool interrupt = true;         // SIGINT at the stop; false: straight to SIGKILL
  milliseconds grace{3000};      // after SIGINT, before SIGKILL
};

struct Outcome {
  std::string out;  // everything read from standard output, also past output_bytes
  std::string err;
  bool exited = false;  // normal exit, with exit_code
  int exit_code = -1;
  int signal = 0;                 // the signal that ended the child, 0 if it exited
  bool reached_deadline = false;  // output_bytes (or the end of output) was not reached in time
  bool interrupted = false;       // the harness sent SIGINT
  bool killed = false;            // the harness had to send SIGKILL
};

// Starts `launch.program` in a process group of its own with SIGINT and SIGPIPE at their
// default actions and an empty signal mask, feeds it, reads until `stop`, then ends
// the group and reaps the child. Failures of the harness itself throw std::runtime_error.
Outcome run(const Launch& launch, const Stop& stop);

// Describes an outcome for failure messages: how it ended, sizes, stderr.
std::string describe(const Outcome& outcome);

// The path of `name` in PATH, or empty.
std::string find_in_path(const std::string& name);

// An empty file made from mkstemp's pattern ("/tmp/name_XXXXXX"), for a tool to write
// its log into; removed when this goes out of scope. Failing to make it throws
// std::runtime_error.
class TempFile {
 public:
  explicit TempFile(const std::string& pattern);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Environment that freezes time() at 2026-01-01 00:00:00 UTC (1767225600) through
// libfaketime, or empty when the library is missing. The monotonic clock stays real.
std::vector<std::string> frozen_time_environment();
inline constexpr unsigned frozen_seed = 1767225600;

}  // namespace e2e
