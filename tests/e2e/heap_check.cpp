// Nothing is allocated in the frame loop: under valgrind, intro_silent makes as many
// heap allocations in a run of 10 frames as in one of 1000. Exit 77 without valgrind.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"

namespace {

struct Heap {
  bool found = false;
  long allocs = 0, frees = 0;
  std::string bytes;
  long errors = -1;
};

long number(std::string text) {
  std::erase(text, ',');
  return std::stol(text);
}

Heap read_log(const std::string& path) {
  std::ifstream in(path);
  std::stringstream all;
  all << in.rdbuf();
  const std::string text = all.str();
  Heap heap;
  std::smatch m;
  if (std::regex_search(
          text, m,
          std::regex(R"(total heap usage: ([\d,]+) allocs, ([\d,]+) frees, ([\d,]+) bytes)"))) {
    heap.found = true;
    heap.allocs = number(m[1]);
    heap.frees = number(m[2]);
    heap.bytes = m[3];
  }
  if (std::regex_search(text, m, std::regex(R"(ERROR SUMMARY: ([\d,]+) errors)"))) {
    heap.errors = number(m[1]);
  }
  return heap;
}

}  // namespace

int main() {
  const std::string valgrind = e2e::find_in_path("valgrind");
  if (valgrind.empty()) {
    std::puts("SKIPPED: valgrind is not installed (tools/install-deps.sh test installs it)");
    return 77;
  }
  // 80 x 25, custom rate above 1000000 fps: no pause between frames.
  const std::string input = "1\n5\n2000000\n";
  const std::size_t dialogue =
      std::string(
          "\x1b[34mQUOX3185 Tarvel Lines.\n"
          "Lines, letters and logos, drawn in nothing but text.\x1b[0m\n\n"
          "\x1b[35mTo end intro press Ctrl-c.\x1b[0m\n\n"
          "\nSelect your screen:\n[1] 80x25 Linux, MS-DOS\n[2] 80x50 little font\n"
          "[3] 80x24 xterm, rxvt\n[4] 40x24 low res\n[5] other resolution\n?"
          "Select frames per second:\n[1] 10 fps\n[2] 20 fps\n[3] 25 fps\n"
          "[4] 50 fps\n[5] other fps\n?Frames per second (fps) ?")
          .size();
  int failed = 0;
  std::vector<Heap> heaps;
  for (const long frames : {10L, 1000L}) {
    char log[] = "/tmp/heap_check_XXXXXX";
    const int fd = ::mkstemp(log);
    if (fd < 0) {
      std::perror("mkstemp");
      return 1;
    }
    ::close(fd);
    e2e::Launch launch;
    launch.program = valgrind;
    launch.arguments = {"--log-file=" + std::string(log), INTRO_SILENT_PATH};
    launch.input = input;
    e2e::Stop stop;
    stop.output_bytes = dialogue + static_cast<std::size_t>(frames) * 2000;
    stop.deadline = e2e::milliseconds{120000};
    stop.grace = e2e::milliseconds{20000};  // valgrind writes its summary on the way out
    const e2e::Outcome outcome = e2e::run(launch, stop);
    const Heap heap = read_log(log);
    ::unlink(log);
    std::printf("%ld frames (%zu bytes read): %s; %ld allocs, %ld frees, %s bytes; %ld errors\n",
                frames, outcome.out.size(), e2e::describe(outcome).c_str(), heap.allocs, heap.frees,
                heap.bytes.c_str(), heap.errors);
    if (!heap.found || outcome.reached_deadline || outcome.out.size() < stop.output_bytes) {
      std::puts("FAILED: the run did not reach its frames or valgrind gave no heap summary");
      ++failed;
    }
    if (heap.errors != 0) {
      std::puts("FAILED: valgrind reports errors");
      ++failed;
    }
    heaps.push_back(heap);
  }
  if (heaps[0].allocs != heaps[1].allocs) {
    std::printf("FAILED: %ld allocations with 10 frames, %ld with 1000\n", heaps[0].allocs,
                heaps[1].allocs);
    ++failed;
  }
  std::printf("%d passed, %d failed\n", failed == 0 ? 1 : 0, failed == 0 ? 0 : 1);
  return failed == 0 ? 0 : 1;
}
