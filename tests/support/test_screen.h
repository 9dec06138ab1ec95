// A Screen for one test, and its rows as strings for golden comparisons.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/screen.h"

// Creates a Screen of the given size, which becomes current_screen, and deletes it at
// the end of the test.
class TestScreen {
 public:
  TestScreen(int32_t width, int32_t height) : screen_(screen_create()) {
    screen_resize(screen_, width, height);
  }
  ~TestScreen() {
    if (current_screen == screen_) current_screen = nullptr;
    delete screen_;
  }
  TestScreen(const TestScreen&) = delete;
  TestScreen& operator=(const TestScreen&) = delete;

  Screen* get() const { return screen_; }
  Screen* operator->() const { return screen_; }

 private:
  Screen* screen_;
};

// A Screen's contents, one string a row.
using Rows = std::vector<std::string>;

// Each row of the Screen, one character per cell (its low-order byte).
inline Rows rows(const Screen& screen) {
  Rows result;
  for (int32_t y = 0; y < screen.height; ++y) {
    std::string row;
    for (int32_t x = 0; x < screen.width; ++x) {
      row += static_cast<char>(screen.cells[static_cast<std::size_t>(y * screen.width + x)] & 0xff);
    }
    result.push_back(row);
  }
  return result;
}

inline Rows rows(const Screen* screen) { return rows(*screen); }

// The rows of a Screen of spaces.
inline Rows blank_rows(int32_t width, int32_t height) {
  return Rows(static_cast<std::size_t>(height), std::string(static_cast<std::size_t>(width), ' '));
}
