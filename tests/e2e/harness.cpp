#include "e2e/harness.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

extern char** environ;

namespace vox::e2e {
namespace {

namespace fs = std::filesystem;
using File = std::unique_ptr<FILE, int (*)(FILE*)>;

std::string env_or(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v && *v ? v : fallback;
}

std::vector<char*> c_strings(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (auto& t : texts) out.push_back(t.data());
  out.push_back(nullptr);
  return out;
}

// Every run of "\r" before a "\n" dropped; other "\r" stay.
std::string fold_line_ends(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t end = text.find_first_not_of('\r', i);
    if (text[i] == '\r' && end != std::string_view::npos && text[end] == '\n') i = end;
    out += text[i];
  }
  return out;
}

std::string rest_of(FILE* f) {
  std::string text;
  std::array<char, 65536> chunk;
  std::rewind(f);
  for (std::size_t got; (got = std::fread(chunk.data(), 1, chunk.size(), f)) > 0;)
    text.append(chunk.data(), got);
  return text;
}

// The three streams are unnamed temporary files: a child that writes a lot before it reads
// never blocks, and no pipe needs feeding. A two-minute alarm, which survives execve, is
// the safety net against a hung child.
RunResult run_argv(std::vector<std::string> args, const Invocation& r) {
  RunResult result;
  std::vector<std::string> env = {"PATH=" + env_or("PATH", "/usr/local/bin:/usr/bin:/bin")};
  for (char** e = environ; *e; ++e) {
    const std::string_view entry(*e);
    for (std::string_view name : {"HOME", "TMPDIR", "USER", "XDG_RUNTIME_DIR", "ASAN_OPTIONS",
                                  "UBSAN_OPTIONS", "LSAN_OPTIONS", "WINEPREFIX", "WINEDEBUG",
                                  "WINESERVER", "WINELOADER", "WINEARCH", "WINEDLLOVERRIDES"})
      if (entry.starts_with(name) && entry.substr(name.size()).starts_with('=')) env.push_back(*e);
  }
  for (const auto& [name, value] : r.env) {
    std::erase_if(env, [&](const std::string& e) { return e.starts_with(name + "="); });
    env.push_back(name + "=" + value);
  }
  if (::access(args[0].c_str(), X_OK) != 0 || (!r.cwd.empty() && ::access(r.cwd.c_str(), X_OK))) {
    result.exec_error = args[0] + " in '" + r.cwd + "': " + std::strerror(errno);
    return result;
  }
  args.insert(args.end(), r.args.begin(), r.args.end());
  std::vector<char*> argv = c_strings(args), envp = c_strings(env);
  const File in(std::tmpfile(), &std::fclose), out(std::tmpfile(), &std::fclose),
      err(std::tmpfile(), &std::fclose);
  if (!in || !out || !err) {
    result.exec_error = std::string("tmpfile: ") + std::strerror(errno);
    return result;
  }
  std::fwrite(r.stdin_text.data(), 1, r.stdin_text.size(), in.get());
  std::fflush(in.get());
  std::rewind(in.get());
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::dup2(fileno(in.get()), 0) < 0 || ::dup2(fileno(out.get()), 1) < 0 ||
        ::dup2(fileno(err.get()), 2) < 0 || (!r.cwd.empty() && ::chdir(r.cwd.c_str()) != 0))
      ::_exit(127);
    ::alarm(120);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) < 0) {
    result.exec_error = std::string("fork/wait: ") + std::strerror(errno);
    return result;
  }
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  result.timed_out = result.signal == SIGALRM;
  result.out = rest_of(out.get());
  result.err = rest_of(err.get());
  return result;
}

}  // namespace

bool wine_mode() {
  const char* v = std::getenv("VOX_E2E_WINE");
  return v && std::strcmp(v, "1") == 0;
}

std::string program_path(std::string_view name) {
  if (!wine_mode()) return std::string(VOX_BINARY_DIR) + "/" + std::string(name);
  std::error_code ec;
  const fs::path dir = fs::absolute(env_or("VOX_E2E_WIN_DIR", VOX_BINARY_DIR "/../build-win"), ec);
  return dir.lexically_normal().string() + "/" + std::string(name) + ".exe";
}

std::string program_shown(std::string_view name) {
  std::string path = program_path(name);
  if (!wine_mode()) return path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
}

RunResult run(const Invocation& r) {
  if (!wine_mode()) return run_native(r);
  RunResult result = run_argv(
      {"/bin/bash", std::string(VOX_SOURCE_DIR) + "/scripts/wine.sh", program_path(r.program)}, r);
  result.out = fold_line_ends(result.out);
  result.err = fold_line_ends(result.err);
  return result;
}

RunResult run_native(const Invocation& r) {
  return run_argv({std::string(VOX_BINARY_DIR) + "/" + r.program}, r);
}

TempDir::TempDir() {
  std::string tmpl = env_or("TMPDIR", "/tmp") + "/voxmira-e2e-XXXXXX";
  if (::mkdtemp(tmpl.data())) path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  if (!path_.empty()) fs::remove_all(path_, ec);
}

std::string TempDir::write(std::string_view name, std::string_view text) const {
  const std::string full = file(name);
  std::error_code ec;
  fs::create_directories(fs::path(full).parent_path(), ec);
  std::ofstream(full, std::ios::binary)
      .write(text.data(), static_cast<std::streamsize>(text.size()));
  return full;
}

std::string read_file(const std::string& path) {
  std::ostringstream all;
  all << std::ifstream(path, std::ios::binary).rdbuf();
  return all.str();
}

std::string read_output_file(const std::string& path) {
  return wine_mode() ? fold_line_ends(read_file(path)) : read_file(path);
}

}  // namespace vox::e2e
