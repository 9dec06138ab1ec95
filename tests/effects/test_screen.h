// A Screen for one test, and its rows as strings for golden comparisons.
#pragma once

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

// Each row of the Screen, one character per cell (its low-order byte).
inline std::vector<std::string> rows(const Screen* screen) {
  std::vector<std::string> result;
  for (int32_t y = 0; y < screen->height; ++y) {
    std::string row;
    for (int32_t x = 0; x < screen->width; ++x) {
      row += static_cast<char>(screen->cells[static_cast<std::size_t>(y * screen->width + x)]);
    }
    result.push_back(row);
  }
  return result;
}

// The rows of a Screen of spaces.
inline std::vector<std::string> blank_rows(int32_t width, int32_t height) {
  return std::vector<std::string>(static_cast<std::size_t>(height),
                                  std::string(static_cast<std::size_t>(width), ' '));
}
