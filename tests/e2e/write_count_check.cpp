// Every frame of intro_silent reaches standard output in exactly one write(2), on a
// pipe and on a terminal, as strace sees it. Exit 77 (skipped) without strace.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "harness.h"
#include "tests/support/dialogue_texts.h"

namespace {

struct Case {
  int width, height;
  e2e::Wiring wiring;
};

struct Write {
  long count;   // bytes asked for
  long result;  // bytes written; -1 when the call never returned (the process died in it)
};

// The write(2) calls on descriptor 1 in an `strace -o` log.
std::vector<Write> writes_to_stdout(const std::string& log) {
  std::ifstream in(log);
  const std::regex complete(R"(^(?:\d+ +)?write\(1, .*, (\d+)\) += (-?\d+))");
  const std::regex started(R"(^(?:\d+ +)?write\(1, .*, (\d+) <unfinished)");
  std::vector<Write> writes;
  std::string line;
  std::smatch m;
  while (std::getline(in, line)) {
    if (std::regex_search(line, m, complete)) {
      writes.push_back({std::stol(m[1]), std::stol(m[2])});
    } else if (std::regex_search(line, m, started)) {
      writes.push_back({std::stol(m[1]), -1});
    }
  }
  return writes;
}

// Empty when the dialogue's writes add up to exactly its text and every later write is
// one whole frame; else what went wrong.
std::string check(const std::vector<Write>& writes, long dialogue, long frame,
                  std::size_t& dialogue_writes, long& frames) {
  long sum = 0;
  std::size_t i = 0;
  while (i < writes.size() && sum < dialogue) sum += writes[i++].result;
  dialogue_writes = i;
  if (sum != dialogue) {
    return "the dialogue's writes add up to " + std::to_string(sum) + ", not " +
           std::to_string(dialogue);
  }
  frames = 0;
  for (; i < writes.size(); ++i) {
    const bool last = i + 1 == writes.size();
    // The interrupt may catch the last write before it returns, or (on a terminal)
    // return what it had written of the frame so far.
    if (last && writes[i].count == frame && writes[i].result < frame) break;
    if (writes[i].count != frame || writes[i].result != frame) {
      return "write " + std::to_string(i) +
             " after the dialogue: " + std::to_string(writes[i].count) + " bytes asked, " +
             std::to_string(writes[i].result) + " written, a frame is " + std::to_string(frame);
    }
    ++frames;
  }
  return {};
}

}  // namespace

int main() {
  const std::string strace = e2e::find_in_path("strace");
  if (strace.empty()) {
    std::puts("SKIPPED: strace is not installed (tools/install-deps.sh test installs it)");
    return 77;
  }
  using namespace dialogue_texts;
  const std::string dialogue =
      banner + screen_menu + width_prompt + height_prompt + rate_menu + rate_prompt;
  constexpr long wanted_frames = 50;
  const std::vector<Case> cases = {
      {80, 25, e2e::Wiring::pipes},    {200, 60, e2e::Wiring::pipes},
      {80, 25, e2e::Wiring::terminal}, {200, 60, e2e::Wiring::terminal},
      {1000, 500, e2e::Wiring::pipes}, {1000, 500, e2e::Wiring::terminal}};
  int passed = 0;
  int failed = 0;
  for (const Case& c : cases) {
    const std::string name = std::to_string(c.width) + " x " + std::to_string(c.height) + " on a " +
                             (c.wiring == e2e::Wiring::pipes ? "pipe" : "terminal");
    const e2e::TempFile log("/tmp/write_count_XXXXXX");
    e2e::Launch launch;
    launch.program = strace;
    launch.arguments = {"-f", "-qq", "-e", "trace=write", "-e", "signal=none",
                        "-o", log.path(), INTRO_SILENT_PATH};
    launch.input =
        "5\n" + std::to_string(c.width) + "\n" + std::to_string(c.height) + "\n5\n2000000\n";
    launch.wiring = c.wiring;
    const long frame = long{c.width} * c.height;
    e2e::Stop stop;
    stop.output_bytes = dialogue.size() + static_cast<std::size_t>(wanted_frames * frame);
    stop.deadline = e2e::milliseconds{30000};
    const e2e::Outcome outcome = e2e::run(launch, stop);
    const std::vector<Write> writes = writes_to_stdout(log.path());

    long frames = 0;
    std::size_t dialogue_writes = 0;
    std::string fault =
        check(writes, static_cast<long>(dialogue.size()), frame, dialogue_writes, frames);
    if (fault.empty() && outcome.out.compare(0, dialogue.size(), dialogue) != 0) {
      fault = "the dialogue's text differs";
    }
    if (fault.empty() && frames < wanted_frames) {
      fault = "only " + std::to_string(frames) + " frames written";
    }
    if (fault.empty()) {
      ++passed;
      std::printf(
          "ok: %s: %zu writes: the dialogue's %zu, then %ld frames of %ld bytes, one write each\n",
          name.c_str(), writes.size(), dialogue_writes, frames, frame);
    } else {
      ++failed;
      std::printf("FAILED: %s: %s (%s)\n", name.c_str(), fault.c_str(),
                  e2e::describe(outcome).c_str());
    }
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
