#include "platform/hostimage/command_line.h"

#include "platform/hostimage/name_compare.h"

namespace vox::plat::hostimage {
namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

std::string quoted(const std::string& path, ShellKind shell) {
  if (shell == ShellKind::posix) {
    bool safe = !path.empty();
    for (char c : path) {
      const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                         (c >= '0' && c <= '9') ||
                         std::string_view("/._-+,:@%=").find(c) != std::string_view::npos;
      safe = safe && plain;
    }
    if (safe) return path;
    std::string q = "'";
    for (char c : path) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  }
  if (path.find_first_of(" &()[]{}^=;!'+,`~") == std::string::npos) return path;
  return "\"" + path + "\"";
}

// ">NUL", "1>NUL" or "2>NUL": returns the part before "NUL".
bool null_redirection(std::string_view word, std::string_view& head) {
  if (word.size() < 4 || !same_name(word.substr(word.size() - 3), "NUL")) return false;
  head = word.substr(0, word.size() - 3);
  return head == ">" || head == "1>" || head == "2>";
}

}  // namespace

std::string translate_command(std::string_view command, std::string_view root, ShellKind shell) {
  std::string out;
  std::size_t i = 0;
  while (i < command.size() && is_blank(command[i])) out.push_back(command[i++]);
  if (i < command.size() && command[i] == '\\' &&
      (i + 1 >= command.size() || command[i + 1] != '\\')) {
    std::size_t end = i;
    while (end < command.size() && !is_blank(command[end])) ++end;
    std::string program(root);
    while (!program.empty() && (program.back() == '/' || program.back() == '\\'))
      program.pop_back();
    program.append(command.substr(i, end - i));
    if (shell == ShellKind::posix) {
      for (char& c : program)
        if (c == '\\') c = '/';
    }
    out += quoted(program, shell);
    i = end;
  }
  while (i < command.size()) {
    if (is_blank(command[i])) {
      out.push_back(command[i++]);
      continue;
    }
    std::size_t end = i;
    while (end < command.size() && !is_blank(command[end])) ++end;
    const std::string_view word = command.substr(i, end - i);
    std::string_view head;
    if (shell == ShellKind::posix && null_redirection(word, head)) {
      out.append(head);
      out.append("/dev/null");
    } else {
      out.append(word);
    }
    i = end;
  }
  return out;
}

}  // namespace vox::plat::hostimage
