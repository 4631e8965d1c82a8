// End-to-end harness: runs a built program the way a user or a script would (arguments,
// environment, working folder, standard input) and captures standard output, standard
// error and the exit status exactly.
//
// Programs are taken from the native build (VOX_BINARY_DIR). With VOX_E2E_WINE=1 the
// same tests run the Windows build instead: VOX_E2E_WIN_DIR names the MinGW build folder
// and each program runs as <name>.exe through Wine (scripts/wine.sh prepares the Wine
// prefix). The Windows C runtime writes "\r\n" for every "\n" on a text-mode stream, so
// in that mode, and only there, every "\r\n" of the captured streams (and of files read
// with read_output_file) becomes "\n" before a test sees it; the native mode hands over
// the bytes unchanged.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vox::e2e {

// What one run left behind.
struct RunResult {
  std::string out;         // standard output
  std::string err;         // standard error
  int exit_code = -1;      // the exit status; -1 when the program did not end by itself
  int signal = 0;          // the signal that ended it, 0 when it exited
  bool timed_out = false;  // killed by the harness after the time limit
  std::string exec_error;  // why the program could not be started; empty when it ran
};

// One command to run. `argv[0]` is the path of the program; it is also what the program
// sees as its name unless `argv0` is given.
struct Command {
  std::vector<std::string> argv;
  std::string argv0;
  // The child's whole environment as NAME=VALUE texts (nothing is inherited).
  std::vector<std::string> env;
  std::string cwd;         // working folder; empty: the harness's own
  std::string stdin_text;  // written to the child's standard input, which then closes
  int time_limit_s = 120;  // a safety net against a hung child, not a measurement
};

// Runs `cmd` to its end with fork/exec and pipes.
RunResult run_command(const Command& cmd);

// True when the programs under test are the Windows build run through Wine.
bool wine_mode();

// The environment a program under test starts with: PATH, HOME, the sanitizer and Wine
// settings of the harness's own environment, and nothing the tool itself reads.
std::vector<std::string> base_environment();

// A run of one of the project's programs ("voxmira", "twinlist").
struct Invocation {
  std::string program = "voxmira";
  std::vector<std::string> args;
  // Added to base_environment(), replacing a variable of the same name.
  std::vector<std::pair<std::string, std::string>> env;
  std::string cwd;
  std::string stdin_text;
};

// Runs a project program natively or through Wine; in Wine mode "\r\n" becomes "\n"
// in both captured streams.
RunResult run(const Invocation& r);
// The environment `r` runs with: base_environment() with `r.env` laid over it.
std::vector<std::string> environment_for(const Invocation& r);

// The path a program runs from: <VOX_BINARY_DIR>/<name>, or <VOX_E2E_WIN_DIR>/<name>.exe.
std::string program_path(std::string_view name);
// The name the program sees as its argument 0 (the usage text shows it): the native
// path, or the Windows form of the .exe path that Wine hands over ("Z:\...\name.exe").
std::string program_shown(std::string_view name);
// "/a/b" as Windows under Wine sees it: "Z:\a\b".
std::string wine_path(std::string_view unix_path);

// "\r\n" -> "\n"; a lone "\r" stays.
std::string crlf_to_lf(std::string_view text);

// A fresh folder under the system's temporary folder, removed with everything in it
// when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // <folder>/<name>
  std::string file(std::string_view name) const;
  // Writes `text` to <folder>/<name> byte for byte (sub-folders are created) and returns
  // the full path.
  std::string write(std::string_view name, std::string_view text) const;

 private:
  std::string path_;
};

// Writes a host image (JSON text) as <folder>/<name> and returns its path, ready for
// VOXMIRA_HOST.
std::string write_host_image(const TempDir& dir, std::string_view json,
                             std::string_view name = "host.json");

// The whole content of a file; false when it cannot be read.
bool read_file(const std::string& path, std::string& content);
// A file a program under test wrote: its content with "\r\n" made "\n" in Wine mode.
// Empty when the file is missing (`exists` tells the two apart).
std::string read_output_file(const std::string& path, bool* exists = nullptr);

}  // namespace vox::e2e
