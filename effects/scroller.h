// A Screen-wide window onto a text scrolling to the left, each character shifted by a
// column and a row offset read from two wave tables.
#pragma once

#include "effects/effect_header.h"
#include "effects/scroller_tables.h"
#include "toolkit/cursor.h"

// x and y place the window's first column. scroller_free releases only the text cursor;
// the wave cursors it created, and every table, stay.
struct WaveScroller : EffectHeader {
  TableCursor* text;   // characters, element size 1
  TableCursor* xwave;  // column offsets, 32-bit, element size 4
  TableCursor* ywave;  // row offsets, 32-bit, element size 4
};

// A scroller on current_screen at (0, 0) over default_text with the default waves,
// each cursor with step 1 at position 0.
WaveScroller* scroller_create();

// Column i of the window shows the i-th character from the text cursor, moved by the
// i-th column and row offsets, on the Screen's width at this call. Characters off the
// Screen are dropped; the cursors end where they started.
void scroller_draw(const WaveScroller* scroller);

// Steps the cursors by the Screen's frame counter n: the text and the row wave when
// n mod 3 is 0, the column wave when n is even.
void scroller_advance(WaveScroller* scroller);

// Frees the text cursor and the record, not the wave cursors.
void scroller_free(WaveScroller* scroller);
