// A cyclic cursor over a table of fixed-size elements that it does not own.
#pragma once

#include <cstddef>
#include <cstdint>

struct TableCursor {
  int32_t elem_size;         // bytes per element: 1 for a text, 4 for 32-bit integers
  int32_t count;             // elements in the table, at least 1
  int32_t pos;               // current element, kept in 0 .. count - 1 by cursor_step
  int32_t step;              // elements moved by one cursor_step, any sign and size
  const std::byte* table;    // element 0
};

// A cursor over two 4-byte zero elements (count 1, step 1), so that an unbound cursor
// yields a 32-bit zero.
TableCursor* cursor_create();
void cursor_free(TableCursor* cursor);

// Binds the cursor to another table and restarts it at element 0.
void cursor_init(TableCursor* cursor, const void* table, int32_t elem_size, int32_t count,
                 int32_t step);

// Moves pos by step with wrap-around in both directions. A count below 1 leaves pos alone.
void cursor_step(TableCursor* cursor);

// The address of the current element; read it with std::memcpy as its type.
const std::byte* cursor_current(const TableCursor* cursor);
