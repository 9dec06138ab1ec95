#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "toolkit/file.h"
#include "toolkit/text.h"

namespace {

namespace fs = std::filesystem;

TEST(Text, Measures) {
  struct Case {
    const char* name;
    const char* text;
    int32_t width;
    int32_t height;
    int32_t length;
  };
  const Case cases[] = {
      {"empty", "", 0, 1, 0},
      {"no newline", "abc", 0, 1, 3},
      {"lines of 3 and 5, both ended", "abc\nabcde\n", 5, 3, 10},
      {"longest first", "abcde\nab\n", 5, 3, 9},
      {"final unended line does not count", "abc\nabcdefghi", 3, 2, 13},
      {"two newlines only", "\n\n", 0, 3, 2},
      {"empty line between", "a\n\nabcd\n", 4, 4, 8},
      {"three ended lines", "a\nb\nc\n", 1, 4, 6},
      {"spaces and tabs count", " \t \n", 3, 2, 4},
      {"stops at the first NUL", "ab\n\0cdefgh\n\n", 2, 2, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text_width(c.text), c.width) << "case " << c.name;
    EXPECT_EQ(text_height(c.text), c.height) << "case " << c.name;
    EXPECT_EQ(text_length(c.text), c.length) << "case " << c.name;
  }
}

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "toolkit-file-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir_.empty()) fs::remove_all(dir_, ignored);
  }
  std::string path(const char* name) const { return (dir_ / name).string(); }

  static void put_bytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  static std::string get_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path dir_;
};

TEST_F(FileTest, WriteThenReadGivesTheTextBack) {
  const std::string texts[] = {
      "hello\n",
      "two\nlines",
      std::string("high \xc8\xff bytes\n"),
      std::string(10000, 'q'),
  };
  for (const std::string& text : texts) {
    const std::string file = path("round.txt");
    file_write(text.c_str(), file.c_str());
    EXPECT_EQ(get_bytes(file), text) << "case " << text.substr(0, 12);
    EXPECT_EQ(file_size(file.c_str()), text_length(text.c_str())) << "case " << text.substr(0, 12);
    char* back = file_read(file.c_str());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(std::string(back), text) << "case " << text.substr(0, 12);
    std::free(back);
  }
}

TEST_F(FileTest, WriteReplacesTheWholeContent) {
  const std::string file = path("replace.txt");
  put_bytes(file, "a much longer earlier content\n");
  file_write("xy", file.c_str());
  EXPECT_EQ(get_bytes(file), "xy");
  file_write("", file.c_str());
  EXPECT_TRUE(fs::exists(file));
  EXPECT_EQ(fs::file_size(file), 0u);
  EXPECT_EQ(file_size(file.c_str()), 0);
}

TEST_F(FileTest, WriteStopsAtTheTextsNul) {
  const std::string file = path("nul.txt");
  file_write("abc\0def", file.c_str());
  EXPECT_EQ(get_bytes(file), "abc");
}

TEST_F(FileTest, WriteToAnUncreatablePathWritesNothing) {
  const std::string in_missing = path("missing/out.txt");
  file_write("text", in_missing.c_str());
  EXPECT_FALSE(fs::exists(path("missing")));
  const std::string plain = path("plain.txt");
  put_bytes(plain, "keep");
  const std::string under_file = plain + "/child.txt";
  file_write("text", under_file.c_str());
  EXPECT_EQ(get_bytes(plain), "keep");
}

TEST_F(FileTest, ReadKeepsNulBytesAndEndsWithOne) {
  const std::string file = path("bytes.bin");
  const std::string bytes("a\0b\0\0c", 6);
  put_bytes(file, bytes);
  EXPECT_EQ(file_size(file.c_str()), 6);
  char* back = file_read(file.c_str());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(std::string(back, 6), bytes);
  EXPECT_EQ(back[6], '\0');
  EXPECT_EQ(text_length(back), 1);
  std::free(back);
}

TEST_F(FileTest, ReadOfAnEmptyFileIsOneNul) {
  const std::string file = path("empty.txt");
  put_bytes(file, "");
  EXPECT_EQ(file_size(file.c_str()), 0);
  char* back = file_read(file.c_str());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back[0], '\0');
  std::free(back);
}

// Paths that cannot be measured count as empty, and reading them gives one NUL.
TEST_F(FileTest, UnmeasurablePathsCountAsEmpty) {
  const std::string plain = path("plain.txt");
  put_bytes(plain, "abc");
  const std::string under_file = plain + "/child";
  const std::string missing = path("missing.txt");
  const std::string dir = dir_.string();
  struct Case {
    const char* name;
    const char* path;
  };
  const Case cases[] = {
      {"missing file", missing.c_str()},
      {"empty path", ""},
      {"below a plain file", under_file.c_str()},
      {"temp directory", dir.c_str()},
      {"root directory", "/"},
      {"proc directory", "/proc/self"},
      {"proc file whose end is not its size", "/proc/self/status"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(file_size(c.path), 0) << "case " << c.name;
    char* back = file_read(c.path);
    ASSERT_NE(back, nullptr) << "case " << c.name;
    EXPECT_EQ(back[0], '\0') << "case " << c.name;
    std::free(back);
  }
}

// Opening a FIFO for reading waits for a writer, so the test holds both ends itself; the
// alarm turns a hang into a failure.
TEST_F(FileTest, NonSeekableFilesCountAsEmpty) {
  const std::string fifo = path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int fifo_fd = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(fifo_fd, 0);
  ASSERT_EQ(write(fifo_fd, "data", 4), 4);

  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  ASSERT_EQ(write(pipe_fds[1], "data", 4), 4);
  const std::string pipe_path = "/dev/fd/" + std::to_string(pipe_fds[0]);

  alarm(20);
  for (const std::string& p : {fifo, pipe_path}) {
    EXPECT_EQ(file_size(p.c_str()), 0) << "case " << p;
    char* back = file_read(p.c_str());
    ASSERT_NE(back, nullptr) << "case " << p;
    EXPECT_EQ(back[0], '\0') << "case " << p;
    std::free(back);
  }
  alarm(0);
  close(fifo_fd);
  close(pipe_fds[0]);
  close(pipe_fds[1]);
}

// Sparse files cost no disk: 2^31 - 1 bytes is the largest size, 2^31 counts as empty.
TEST_F(FileTest, SizesAtTheTwoGibibyteLimit) {
  struct Case {
    const char* name;
    std::uintmax_t bytes;
    int32_t expected;
  };
  const Case cases[] = {
      {"largest size", 2147483647u, std::numeric_limits<int32_t>::max()},
      {"2 GiB", 2147483648u, 0},
      {"5 GiB", 5368709120u, 0},
  };
  for (const Case& c : cases) {
    const std::string file = path("sparse.bin");
    put_bytes(file, "");
    std::error_code error;
    fs::resize_file(file, c.bytes, error);
    ASSERT_FALSE(error) << "case " << c.name << ": " << error.message();
    EXPECT_EQ(file_size(file.c_str()), c.expected) << "case " << c.name;
    if (c.expected == 0) {
      char* back = file_read(file.c_str());
      ASSERT_NE(back, nullptr) << "case " << c.name;
      EXPECT_EQ(back[0], '\0') << "case " << c.name;
      std::free(back);
    }
    fs::remove(file);
  }
}

#if !defined(__SANITIZE_ADDRESS__)
// With an address space too small for a 2 GiB buffer the read still yields a text, the
// empty one. (AddressSanitizer cannot run under such a limit.)
TEST_F(FileTest, ReadWithoutRoomForTheFileIsOneNul) {
  const std::string file = path("sparse.bin");
  put_bytes(file, "");
  std::error_code error;
  fs::resize_file(file, 2147483647u, error);
  ASSERT_FALSE(error) << error.message();
  const auto read_under_a_small_limit = [&file] {
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = rlim_t{1} << 30;
    setrlimit(RLIMIT_AS, &limit);
    char* back = file_read(file.c_str());
    std::_Exit(back != nullptr && back[0] == '\0' ? 0 : 1);
  };
  EXPECT_EXIT(read_under_a_small_limit(),
      ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
