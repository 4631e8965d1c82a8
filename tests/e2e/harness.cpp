#include "e2e/harness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

extern char** environ;

namespace vox::e2e {
namespace {

namespace fs = std::filesystem;

// A pipe whose two ends close on every path.
struct Pipe {
  int fd[2] = {-1, -1};
  bool open() { return ::pipe2(fd, O_CLOEXEC) == 0; }
  void close_end(int i) {
    if (fd[i] >= 0) ::close(fd[i]);
    fd[i] = -1;
  }
  ~Pipe() {
    close_end(0);
    close_end(1);
  }
};

std::string env_or(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v && *v ? v : fallback;
}

std::vector<char*> c_strings(std::vector<std::string>& texts) {
  std::vector<char*> out;
  out.reserve(texts.size() + 1);
  for (auto& t : texts) out.push_back(t.data());
  out.push_back(nullptr);
  return out;
}

// The child side after fork: only async-signal-safe calls until execve.
[[noreturn]] void exec_child(const Command& cmd, char* const* argv, char* const* envp, int in,
                             int out, int err, int report) {
  // The harness ignores SIGPIPE for itself; ignored signals survive execve, and a
  // program under test must see the default.
  ::signal(SIGPIPE, SIG_DFL);
  if (::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
      (!cmd.cwd.empty() && ::chdir(cmd.cwd.c_str()) != 0)) {
    int e = errno;
    (void)!::write(report, &e, sizeof e);
    ::_exit(127);
  }
  ::execve(cmd.argv[0].c_str(), argv, envp);
  int e = errno;
  (void)!::write(report, &e, sizeof e);
  ::_exit(127);
}

void ignore_sigpipe_once() {
  static const bool done = [] {
    ::signal(SIGPIPE, SIG_IGN);
    return true;
  }();
  (void)done;
}

std::string win_dir() {
  std::error_code ec;
  fs::path dir = fs::absolute(env_or("VOX_E2E_WIN_DIR", VOX_BINARY_DIR "/../build-win"), ec);
  return dir.lexically_normal().string();
}

}  // namespace

RunResult run_command(const Command& cmd) {
  RunResult r;
  if (cmd.argv.empty()) {
    r.exec_error = "no program given";
    return r;
  }
  ignore_sigpipe_once();

  std::vector<std::string> args = cmd.argv;
  if (!cmd.argv0.empty()) args[0] = cmd.argv0;
  std::vector<std::string> env = cmd.env;
  std::vector<char*> argv = c_strings(args);
  std::vector<char*> envp = c_strings(env);

  Pipe in, out, err, report;
  if (!in.open() || !out.open() || !err.open() || !report.open()) {
    r.exec_error = std::string("pipe: ") + std::strerror(errno);
    return r;
  }
  const pid_t pid = ::fork();
  if (pid < 0) {
    r.exec_error = std::string("fork: ") + std::strerror(errno);
    return r;
  }
  if (pid == 0) {
    exec_child(cmd, argv.data(), envp.data(), in.fd[0], out.fd[1], err.fd[1], report.fd[1]);
  }
  in.close_end(0);
  out.close_end(1);
  err.close_end(1);
  report.close_end(1);
  ::fcntl(in.fd[1], F_SETFL, ::fcntl(in.fd[1], F_GETFL) | O_NONBLOCK);
  if (cmd.stdin_text.empty()) in.close_end(1);

  // Feed standard input and drain both outputs together, so that a child that writes
  // a lot before it reads (or the other way round) never blocks on a full pipe.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(cmd.time_limit_s);
  std::size_t fed = 0;
  std::array<char, 65536> chunk;
  while (out.fd[0] >= 0 || err.fd[0] >= 0) {
    std::array<pollfd, 3> fds{};
    nfds_t n = 0;
    auto watch = [&](int fd, short events) {
      if (fd < 0) return -1;
      fds[n] = {fd, events, 0};
      return static_cast<int>(n++);
    };
    const int out_at = watch(out.fd[0], POLLIN);
    const int err_at = watch(err.fd[0], POLLIN);
    const int in_at = watch(in.fd[1], POLLOUT);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      ::kill(pid, SIGKILL);
      r.timed_out = true;
      break;
    }
    const int ready = ::poll(fds.data(), n, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) {
      ::kill(pid, SIGKILL);
      r.exec_error = std::string("poll: ") + std::strerror(errno);
      break;
    }
    auto drain = [&](int at, Pipe& p, std::string& into) {
      if (at < 0 || !(fds[at].revents & (POLLIN | POLLHUP | POLLERR))) return;
      const ssize_t got = ::read(p.fd[0], chunk.data(), chunk.size());
      if (got > 0) {
        into.append(chunk.data(), static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        p.close_end(0);
      }
    };
    drain(out_at, out, r.out);
    drain(err_at, err, r.err);
    if (in_at >= 0 && (fds[in_at].revents & (POLLOUT | POLLERR | POLLHUP))) {
      const ssize_t put =
          ::write(in.fd[1], cmd.stdin_text.data() + fed, cmd.stdin_text.size() - fed);
      if (put > 0) fed += static_cast<std::size_t>(put);
      // A child that ends or closes its input early is no failure of the harness.
      if ((put < 0 && errno != EAGAIN && errno != EINTR) || fed == cmd.stdin_text.size()) {
        in.close_end(1);
      }
    }
  }
  in.close_end(1);

  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) {
    r.exit_code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    r.signal = WTERMSIG(status);
  }
  int child_errno = 0;
  if (::read(report.fd[0], &child_errno, sizeof child_errno) ==
      static_cast<ssize_t>(sizeof child_errno)) {
    r.exec_error = cmd.argv[0] + ": " + std::strerror(child_errno);
  }
  return r;
}

bool wine_mode() {
  const char* v = std::getenv("VOX_E2E_WINE");
  return v && std::strcmp(v, "1") == 0;
}

std::vector<std::string> base_environment() {
  static constexpr std::array<std::string_view, 13> kPassed = {
      "HOME",         "TMPDIR",     "ASAN_OPTIONS",     "UBSAN_OPTIONS",
      "LSAN_OPTIONS", "WINEPREFIX", "WINEDEBUG",        "WINESERVER",
      "WINELOADER",   "WINEARCH",   "WINEDLLOVERRIDES", "XDG_RUNTIME_DIR",
      "USER"};
  std::vector<std::string> env;
  env.push_back("PATH=" + env_or("PATH", "/usr/local/bin:/usr/bin:/bin"));
  for (char** e = environ; e && *e; ++e) {
    std::string_view entry(*e);
    const auto eq = entry.find('=');
    if (eq == std::string_view::npos) continue;
    for (auto name : kPassed) {
      if (entry.substr(0, eq) == name) env.emplace_back(entry);
    }
  }
  return env;
}

std::string program_path(std::string_view name) {
  if (wine_mode()) return win_dir() + "/" + std::string(name) + ".exe";
  return std::string(VOX_BINARY_DIR) + "/" + std::string(name);
}

std::string wine_path(std::string_view unix_path) {
  std::string out = "Z:";
  for (char c : unix_path) out += c == '/' ? '\\' : c;
  return out;
}

std::string program_shown(std::string_view name) {
  return wine_mode() ? wine_path(program_path(name)) : program_path(name);
}

std::string crlf_to_lf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

std::vector<std::string> environment_for(const Invocation& r) {
  std::vector<std::string> env = base_environment();
  for (const auto& [name, value] : r.env) {
    const std::string prefix = name + "=";
    std::erase_if(env, [&](const std::string& e) { return e.starts_with(prefix); });
    env.push_back(prefix + value);
  }
  return env;
}

RunResult run(const Invocation& r) {
  Command cmd;
  cmd.cwd = r.cwd;
  cmd.stdin_text = r.stdin_text;
  cmd.env = environment_for(r);
  if (wine_mode()) {
    cmd.argv = {"/bin/bash", std::string(VOX_SOURCE_DIR) + "/scripts/wine.sh",
                program_path(r.program)};
  } else {
    cmd.argv = {program_path(r.program)};
  }
  cmd.argv.insert(cmd.argv.end(), r.args.begin(), r.args.end());
  RunResult result = run_command(cmd);
  if (wine_mode()) {
    result.out = crlf_to_lf(result.out);
    result.err = crlf_to_lf(result.err);
  }
  return result;
}

TempDir::TempDir() {
  std::string tmpl = env_or("TMPDIR", "/tmp") + "/voxmira-e2e-XXXXXX";
  if (::mkdtemp(tmpl.data())) path_ = tmpl;
}

TempDir::~TempDir() {
  if (path_.empty()) return;
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string TempDir::file(std::string_view name) const {
  return path_ + "/" + std::string(name);
}

std::string TempDir::write(std::string_view name, std::string_view text) const {
  const std::string full = file(name);
  std::error_code ec;
  fs::create_directories(fs::path(full).parent_path(), ec);
  std::ofstream f(full, std::ios::binary | std::ios::trunc);
  f.write(text.data(), static_cast<std::streamsize>(text.size()));
  return full;
}

std::string write_host_image(const TempDir& dir, std::string_view json, std::string_view name) {
  return dir.write(name, json);
}

bool read_file(const std::string& path, std::string& content) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::ostringstream all;
  all << f.rdbuf();
  content = all.str();
  return true;
}

std::string read_output_file(const std::string& path, bool* exists) {
  std::string content;
  const bool found = read_file(path, content);
  if (exists) *exists = found;
  return wine_mode() ? crlf_to_lf(content) : content;
}

}  // namespace vox::e2e
