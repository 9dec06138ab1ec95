#include "harness.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace e2e {

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error("harness: " + what + ": " + std::strerror(errno));
}

// A file descriptor closed when it goes out of scope.
class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { reset(); }
  int get() const { return fd_; }
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

void make_pipe(Fd& read_end, Fd& write_end) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) fail("pipe2");
  read_end.reset(fds[0]);
  write_end.reset(fds[1]);
}

void set_nonblocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) fail("fcntl");
}

// The harness's environment with `extra` added; a NAME= in `extra` replaces NAME.
std::vector<std::string> merged_environment(const std::vector<std::string>& extra) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry != nullptr; ++entry) result.emplace_back(*entry);
  for (const std::string& item : extra) {
    const std::string name = item.substr(0, item.find('=') + 1);
    std::erase_if(result, [&](const std::string& e) { return e.starts_with(name); });
    result.push_back(item);
  }
  return result;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> result;
  for (std::string& s : strings) result.push_back(s.data());
  result.push_back(nullptr);
  return result;
}

// One read of what is there (one, so that a fast writer cannot keep us from checking
// the deadline); false once the other end is gone (EOF, or EIO on a terminal whose
// last user has closed it).
bool drain(int fd, std::string& into) {
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      into.append(buffer, static_cast<std::size_t>(n));
      return true;
    }
    if (n == 0) return false;
    if (errno == EINTR) continue;
    if (errno == EAGAIN) return true;
    if (errno == EIO) return false;
    fail("read");
  }
}

struct Streams {
  int input = -1;   // where the child's input is written; -1 once closed
  int output = -1;  // child's standard output
  int error = -1;   // child's standard error
  bool output_open = true;
  bool error_open = true;
};

// One poll round of at most `wait`: writes pending input, reads what has arrived.
void pump(Streams& streams, const std::string& input, std::size_t& written, bool close_input,
          Fd& input_fd, Outcome& outcome, milliseconds wait) {
  pollfd fds[3];
  nfds_t count = 0;
  const bool want_write = streams.input >= 0 && written < input.size();
  // On a terminal input and output share one descriptor: poll it once for both.
  const bool shared = streams.input == streams.output;
  if (streams.output_open) {
    fds[count++] = {streams.output,
                    static_cast<short>(POLLIN | (shared && want_write ? POLLOUT : 0)), 0};
  }
  if (streams.error_open) fds[count++] = {streams.error, POLLIN, 0};
  if (want_write && !shared) fds[count++] = {streams.input, POLLOUT, 0};
  if (count == 0) return;
  const int ready = ::poll(fds, count, static_cast<int>(wait.count()));
  if (ready < 0) {
    if (errno == EINTR) return;
    fail("poll");
  }
  for (nfds_t i = 0; i < count; ++i) {
    if (fds[i].revents == 0) continue;
    if ((fds[i].revents & POLLOUT) != 0) {
      const ssize_t n = ::write(streams.input, input.data() + written, input.size() - written);
      if (n > 0) written += static_cast<std::size_t>(n);
      if (n < 0 && errno != EAGAIN && errno != EINTR) written = input.size();  // child gone
      if (written == input.size() && close_input && !shared) {
        input_fd.reset();
        streams.input = -1;
      }
    }
    if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      if (fds[i].fd == streams.output && streams.output_open) {
        streams.output_open = drain(streams.output, outcome.out);
      } else if (fds[i].fd == streams.error && streams.error_open) {
        streams.error_open = drain(streams.error, outcome.err);
      }
    }
  }
}

bool reap(pid_t pid, Outcome& outcome, bool block) {
  int status = 0;
  pid_t r;
  do {
    r = ::waitpid(pid, &status, block ? 0 : WNOHANG);
  } while (r < 0 && errno == EINTR);
  if (r < 0) fail("waitpid");
  if (r == 0) return false;
  if (WIFEXITED(status)) {
    outcome.exited = true;
    outcome.exit_code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    outcome.signal = WTERMSIG(status);
  }
  return true;
}

}  // namespace

Outcome run(const Launch& launch, const Stop& stop) {
  // A child that dies while its input is still being written must not take us along.
  ::signal(SIGPIPE, SIG_IGN);

  Fd input_read, input_write, output_read, output_write, error_read, error_write;
  Fd terminal, terminal_child;
  make_pipe(error_read, error_write);
  if (launch.wiring == Wiring::pipes) {
    make_pipe(input_read, input_write);
    make_pipe(output_read, output_write);
  } else {
    int master = -1;
    int slave = -1;
    termios raw{};
    ::cfmakeraw(&raw);
    if (::openpty(&master, &slave, nullptr, &raw, nullptr) != 0) fail("openpty");
    terminal.reset(master);
    terminal_child.reset(slave);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const int child_in = launch.wiring == Wiring::pipes ? input_read.get() : terminal_child.get();
  const int child_out = launch.wiring == Wiring::pipes ? output_write.get() : terminal_child.get();
  if (launch.wiring == Wiring::pipes && !launch.input_path.empty()) {
    posix_spawn_file_actions_addopen(&actions, 0, launch.input_path.c_str(), O_RDONLY, 0);
  } else {
    posix_spawn_file_actions_adddup2(&actions, child_in, 0);
  }
  posix_spawn_file_actions_adddup2(&actions, child_out, 1);
  posix_spawn_file_actions_adddup2(&actions, error_write.get(), 2);
  if (!launch.directory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, launch.directory.c_str());
  }

  // A harness started from a background shell has SIGINT ignored; the child must not.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGPIPE);
  sigset_t empty;
  sigemptyset(&empty);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &empty);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);

  std::vector<std::string> argv_strings{launch.program};
  argv_strings.insert(argv_strings.end(), launch.arguments.begin(), launch.arguments.end());
  std::vector<std::string> env_strings = merged_environment(launch.environment);
  std::vector<char*> argv = pointers(argv_strings);
  std::vector<char*> envp = pointers(env_strings);

  pid_t pid = -1;
  const int spawned =
      ::posix_spawn(&pid, launch.program.c_str(), &actions, &attributes, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0) {
    errno = spawned;
    fail("posix_spawn " + launch.program);
  }
  const auto started = Clock::now();

  // Only the child keeps its ends, so that its death shows as the end of output.
  input_read.reset();
  output_write.reset();
  error_write.reset();
  terminal_child.reset();

  Streams streams;
  Fd* input_owner = nullptr;
  if (launch.wiring == Wiring::pipes) {
    streams.input = input_write.get();
    streams.output = output_read.get();
    input_owner = &input_write;
  } else {
    streams.input = streams.output = terminal.get();
    input_owner = &terminal;
  }
  streams.error = error_read.get();
  if (streams.input >= 0) set_nonblocking(streams.input);
  set_nonblocking(streams.output);
  set_nonblocking(streams.error);
  if (launch.wiring == Wiring::pipes && launch.input.empty() && launch.close_input) {
    input_write.reset();
    streams.input = -1;
  }

  Outcome outcome;
  std::size_t written = 0;
  const auto deadline = started + stop.deadline;
  for (;;) {
    if (stop.output_bytes > 0 && outcome.out.size() >= stop.output_bytes) break;
    if (!streams.output_open && !streams.error_open) break;
    const auto now = Clock::now();
    if (now >= deadline) {
      outcome.reached_deadline = true;
      break;
    }
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - now);
    pump(streams, launch.input, written, launch.close_input, *input_owner, outcome,
         std::min(left, milliseconds{100}) + milliseconds{1});
  }

  bool ended = reap(pid, outcome, false);
  if (!ended && !streams.output_open && !streams.error_open) {
    // Its output closed: the child is ending by itself; give it the time to.
    const auto give_up = Clock::now() + stop.grace;
    while (!(ended = reap(pid, outcome, false)) && Clock::now() < give_up) ::usleep(1000);
  }
  if (!ended && stop.interrupt) {
    ::kill(-pid, SIGINT);
    outcome.interrupted = true;
    const auto give_up = Clock::now() + stop.grace;
    while (!(ended = reap(pid, outcome, false)) && Clock::now() < give_up) {
      pump(streams, launch.input, written, false, *input_owner, outcome, milliseconds{10});
    }
  }
  if (!ended) {
    ::kill(-pid, SIGKILL);
    outcome.killed = true;
    reap(pid, outcome, true);
  }
  // Whatever the child started in its group (a tracer's tracee) ends with it.
  if (::kill(-pid, 0) == 0) ::kill(-pid, SIGKILL);

  // The rest of what was written before the end.
  const auto last = Clock::now() + milliseconds{2000};
  while ((streams.output_open || streams.error_open) && Clock::now() < last) {
    pump(streams, launch.input, written, false, *input_owner, outcome, milliseconds{50});
  }
  return outcome;
}

std::string describe(const Outcome& outcome) {
  std::string text;
  if (outcome.exited) {
    text = "exited with " + std::to_string(outcome.exit_code);
  } else if (outcome.signal != 0) {
    text = "ended by signal " + std::to_string(outcome.signal) + " (" +
           ::strsignal(outcome.signal) + ")";
  } else {
    text = "ended in an unknown way";
  }
  if (outcome.reached_deadline) text += ", stopped at the deadline";
  if (outcome.interrupted) text += ", SIGINT sent";
  if (outcome.killed) text += ", SIGKILL needed";
  text += "; " + std::to_string(outcome.out.size()) + " bytes on stdout; stderr: \"" + outcome.err +
          "\"";
  return text;
}

std::string find_in_path(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

TempFile::TempFile(const std::string& pattern) : path_(pattern) {
  const int fd = ::mkstemp(path_.data());
  if (fd < 0) fail("mkstemp " + pattern);
  ::close(fd);
}

TempFile::~TempFile() { ::unlink(path_.c_str()); }

std::vector<std::string> frozen_time_environment() {
  const std::string library = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";
  if (::access(library.c_str(), R_OK) != 0) return {};
  // Frozen rather than started at the date, so that a slow start (valgrind, sanitizers)
  // still reads the same second; sleeps are not faked.
  std::string asan = "ASAN_OPTIONS=verify_asan_link_order=0";
  if (const char* old = std::getenv("ASAN_OPTIONS"); old != nullptr && *old != '\0') {
    asan += std::string(":") + old;
  }
  return {"LD_PRELOAD=" + library, "TZ=UTC", "FAKETIME=2026-01-01 00:00:00",
          "FAKETIME_DONT_FAKE_MONOTONIC=1", asan};
}

}  // namespace e2e
