// Nothing is allocated in the frame loop: under valgrind, intro_silent makes as many
// heap allocations in a run of 10 frames as in one of 1000. Exit 77 without valgrind.
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"
#include "tests/support/dialogue_texts.h"

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
  using namespace dialogue_texts;
  const std::size_t dialogue = (banner + screen_menu + rate_menu + rate_prompt).size();
  int failed = 0;
  std::vector<Heap> heaps;
  for (const long frames : {10L, 1000L}) {
    const e2e::TempFile log("/tmp/heap_check_XXXXXX");
    e2e::Launch launch;
    launch.program = valgrind;
    launch.arguments = {"--log-file=" + log.path(), INTRO_SILENT_PATH};
    launch.input = input;
    e2e::Stop stop;
    stop.output_bytes = dialogue + static_cast<std::size_t>(frames) * 2000;
    stop.deadline = e2e::milliseconds{120000};
    stop.grace = e2e::milliseconds{20000};  // valgrind writes its summary on the way out
    const e2e::Outcome outcome = e2e::run(launch, stop);
    const Heap heap = read_log(log.path());
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
