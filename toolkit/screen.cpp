#include "toolkit/screen.h"

#include <algorithm>
#include <array>
#include <limits>
#include <new>

Screen* current_screen = nullptr;

Screen* screen_create() {
  auto* screen = new Screen{};
  screen_resize(screen, 80, 25);
  current_screen = screen;
  return screen;
}

void screen_resize(Screen* screen, int32_t width, int32_t height) {
  std::vector<int32_t>().swap(screen->cells);
  screen->width = 0;
  screen->height = 0;
  if (width < 1 || height < 1) return;
  const int64_t count = int64_t{width} * height;
  if (count > std::numeric_limits<int32_t>::max()) return;
  try {
    screen->cells.assign(static_cast<std::size_t>(count), 32);
  } catch (const std::bad_alloc&) {
    return;
  }
  screen->width = width;
  screen->height = height;
}

void screen_clear(Screen* screen, int32_t value) {
  for (int32_t& cell : screen->cells) cell = value;
}

void screen_put(Screen* screen, int32_t x, int32_t y, int32_t value) {
  if (x < 0 || x >= screen->width || y < 0 || y >= screen->height) return;
  screen->cells[static_cast<std::size_t>(y) * static_cast<std::size_t>(screen->width) +
                static_cast<std::size_t>(x)] = value;
}

std::size_t screen_frame_size(const Screen* screen) {
  if (screen->width < 1 || screen->height < 1) return 1;
  // 1 leading newline + height * (width - 1) characters + (height - 1) newlines.
  return static_cast<std::size_t>(screen->width) * static_cast<std::size_t>(screen->height);
}

namespace {

// Collects bytes in a small fixed block and hands them to the stream in large pieces;
// with a stream buffer of one frame or more the whole frame leaves in one write.
class ChunkWriter {
 public:
  explicit ChunkWriter(std::FILE* stream) : stream_(stream) {}
  void put(char byte) {
    if (used_ == chunk_.size()) drain();
    chunk_[used_++] = byte;
  }
  // Each cell as its low-order byte, copied a block at a time.
  void put_cells(const int32_t* cells, std::size_t count) {
    while (count > 0) {
      if (used_ == chunk_.size()) drain();
      const std::size_t n = std::min(count, chunk_.size() - used_);
      // Through locals: a char store may alias any member, which would reload them all.
      char* out = chunk_.data() + used_;
      for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<char>(cells[i] & 0xff);
      used_ += n;
      cells += n;
      count -= n;
    }
  }
  void drain() {
    std::fwrite(chunk_.data(), 1, used_, stream_);
    used_ = 0;
  }

 private:
  std::FILE* stream_;
  std::array<char, 4096> chunk_;  // filled before it is read; no need to clear it
  std::size_t used_ = 0;
};

}  // namespace

void screen_print(Screen* screen, std::FILE* stream) {
  ChunkWriter out(stream);
  out.put('\n');
  const std::size_t width = static_cast<std::size_t>(screen->width);
  for (int32_t y = 0; y < screen->height; ++y) {
    // The last column is never printed, so a row as wide as the terminal never wraps.
    out.put_cells(screen->cells.data() + static_cast<std::size_t>(y) * width, width - 1);
    if (y + 1 < screen->height) out.put('\n');
  }
  out.drain();
  std::fflush(stream);
  // Past 2147483647 the count goes on at 2, the value of 2^31 modulo 6, so that readers
  // pacing themselves every second or third frame keep their rhythm without overflow.
  if (screen->frame_count == std::numeric_limits<int32_t>::max()) {
    screen->frame_count = static_cast<int32_t>((int64_t{1} << 31) % 6);
  } else {
    ++screen->frame_count;
  }
}
