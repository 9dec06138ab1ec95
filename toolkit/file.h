// Whole-file helpers. None of them reports an error: a file that cannot be opened or
// measured counts as empty.
#pragma once

#include <cstdint>

// The file's size in bytes; 0 when it cannot be opened, is a directory, is not
// seekable, or is 2 GiB or larger (its size would not fit the result).
int32_t file_size(const char* path);

// A new buffer (release it with std::free) holding the file's bytes and a NUL after
// them; a file that file_size counts as empty, or one too large for the memory at
// hand, gives a buffer of one NUL (null only when not even that byte can be had).
char* file_read(const char* path);

// Replaces the file's content by the text's bytes (no NUL, nothing added). Writes
// nothing when the file cannot be opened for writing.
void file_write(const char* text, const char* path);
