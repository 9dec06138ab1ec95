// One pass of the frame loop without its pause: clear, draw the scene, print, advance.
// The print goes to /dev/null through a stream buffer of one whole frame, as in the
// program, so the cost is that of composing the frame's bytes and one write(2).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "intro/scene.h"
#include "toolkit/screen.h"

namespace {

void frame(benchmark::State& state) {
  const auto width = static_cast<int32_t>(state.range(0));
  const auto height = static_cast<int32_t>(state.range(1));
  static Screen* screen = screen_create();  // one Screen, as in the program; never freed
  screen_resize(screen, width, height);
  scene_setup();

  std::FILE* sink = std::fopen("/dev/null", "w");
  std::vector<char> buffer(screen_frame_size(screen));
  std::setvbuf(sink, buffer.data(), _IOFBF, buffer.size());

  for (auto _ : state) {
    screen_clear(screen, 32);
    scene_draw();
    screen_print(screen, sink);
    scene_advance();
  }
  benchmark::DoNotOptimize(screen->cells.data());

  const auto cells = static_cast<double>(width) * height;
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(cells));
  state.counters["cells"] = cells;
  // Time per cell: the inverse of the cell rate.
  state.counters["per_cell"] = benchmark::Counter(
      cells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  std::fclose(sink);
  scene_free();
}

BENCHMARK(frame)->Args({80, 25})->Args({80, 50})->Args({200, 60})->Args({1000, 500});

}  // namespace

BENCHMARK_MAIN();
