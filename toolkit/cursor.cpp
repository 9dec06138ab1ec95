#include "toolkit/cursor.h"

#include <array>

namespace {

// Read-only zeros shared by every unbound cursor: room for two 4-byte elements.
constexpr std::array<std::byte, 8> zero_elements{};

}  // namespace

TableCursor* cursor_create() {
  return new TableCursor{4, 1, 0, 1, zero_elements.data()};
}

void cursor_free(TableCursor* cursor) { delete cursor; }

void cursor_init(TableCursor* cursor, const void* table, int32_t elem_size, int32_t count,
                 int32_t step) {
  cursor->table = static_cast<const std::byte*>(table);
  cursor->elem_size = elem_size;
  cursor->count = count;
  cursor->step = step;
  cursor->pos = 0;
}

void cursor_step(TableCursor* cursor) {
  const int64_t count = cursor->count;
  if (count < 1) return;
  // In 64 bits the sum cannot overflow. Within one count of the range a single
  // correction suffices; only a position further out needs the remainder.
  int64_t pos = int64_t{cursor->pos} + cursor->step;
  if (pos >= count) {
    pos -= count;
    if (pos >= count) pos %= count;
  } else if (pos < 0) {
    pos += count;
    if (pos < 0) {
      pos %= count;
      if (pos < 0) pos += count;
    }
  }
  cursor->pos = static_cast<int32_t>(pos);
}

const std::byte* cursor_current(const TableCursor* cursor) {
  return cursor->table + static_cast<std::ptrdiff_t>(cursor->pos) * cursor->elem_size;
}
