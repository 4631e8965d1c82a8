// End-to-end harness: runs a built program the way a user or a script would (arguments,
// environment, working folder, standard input) and captures standard output, standard
// error and the exit status exactly.
//
// Programs come from the native build (VOX_BINARY_DIR). With VOX_E2E_WINE=1 the same tests
// run the Windows build instead: VOX_E2E_WIN_DIR names the MinGW build folder and each
// program runs as <name>.exe through scripts/wine.sh. The Windows C runtime writes "\r\n"
// for every "\n" of a text-mode stream (and "\r\r\n" for a system message's own "\r\n"),
// so in that mode, and only there, every run of "\r" before a "\n" of the captured streams
// and of output files is dropped; the native mode hands over the bytes unchanged.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vox::e2e {

using Env = std::vector<std::pair<std::string, std::string>>;

// What one run left behind.
struct RunResult {
  std::string out, err;
  int exit_code = -1;      // -1 when the program did not end by itself
  int signal = 0;          // the signal that ended it, 0 when it exited
  bool timed_out = false;  // stopped by the harness's two-minute safety net
  std::string exec_error;  // why the program could not be started; empty when it ran
};

// A run of one of the project's programs ("voxmira", "twinlist", "voxmira-capture").
struct Invocation {
  std::string program = "voxmira";
  std::vector<std::string> args;
  // Laid over PATH, HOME and the sanitizer and Wine settings of the harness's environment;
  // nothing else is inherited.
  Env env = {};
  std::string cwd = {};  // empty: the harness's own
  std::string stdin_text = {};
};

RunResult run(const Invocation& r);
// The native build of the program, in Wine mode too.
RunResult run_native(const Invocation& r);

// True when the programs under test are the Windows build run through Wine.
bool wine_mode();
// The path a program runs from: <VOX_BINARY_DIR>/<name>, or <VOX_E2E_WIN_DIR>/<name>.exe.
std::string program_path(std::string_view name);
// The name the program sees as its argument 0: the native path, or the Windows form of the
// .exe path that Wine hands over ("Z:\...\name.exe").
std::string program_shown(std::string_view name);

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }
  // Writes `text` to <folder>/<name> byte for byte (sub-folders are created); the full path.
  std::string write(std::string_view name, std::string_view text) const;

 private:
  std::string path_;
};

// The bytes of a file; empty when it cannot be read.
std::string read_file(const std::string& path);
// A file a program under test wrote, with the Wine line ends folded as in the streams.
std::string read_output_file(const std::string& path);

}  // namespace vox::e2e
