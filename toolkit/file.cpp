#include "toolkit/file.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <limits>

#include "toolkit/text.h"

int32_t file_size(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return 0;
  long size = -1;
  // A directory opens and, on some file systems, seeks to an "end" that is no size
  // (ext4's hash end 0x7fffffff, btrfs' entry total), so it is ruled out first.
  struct stat info{};
  const bool directory = fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode);
  if (!directory && std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  std::fclose(file);
  if (size < 0 || size > std::numeric_limits<int32_t>::max()) return 0;
  return static_cast<int32_t>(size);
}

char* file_read(const char* path) {
  const int32_t size = file_size(path);
  auto* buffer = static_cast<char*>(std::calloc(static_cast<std::size_t>(size) + 1, 1));
  // Without room for the file the caller still gets a text: the empty one.
  if (buffer == nullptr) return static_cast<char*>(std::calloc(1, 1));
  if (size == 0) return buffer;
  if (std::FILE* file = std::fopen(path, "rb")) {
    // A file that shrank since it was measured leaves the rest of the buffer zero.
    std::fread(buffer, 1, static_cast<std::size_t>(size), file);
    std::fclose(file);
  }
  return buffer;
}

void file_write(const char* text, const char* path) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return;
  std::fwrite(text, 1, static_cast<std::size_t>(text_length(text)), file);
  std::fclose(file);
}
