// Start-up's work with the C runtime: environment entries for child processes, presence
// of an environment variable, and the redirection of a standard stream to a file.
#pragma once

namespace vox {

// Puts "name=value" into the process environment, in a heap block of
// strlen(name) + strlen(value) + 4 bytes that the environment keeps for good (it is
// never freed). Returns 0 on success, 1 when the block cannot be had or the
// environment refuses it.
int set_env(const char* name, const char* value);

// True when the variable exists in the environment, also with an empty value.
bool env_present(const char* name);

// True for the fopen modes the redirection accepts: "r", "w" or "a", followed by at
// most one each of "+", "b", "t" ("b" and "t" not together). The Windows C library stops
// the process on a mode it does not know; such a mode counts as a failed open instead.
bool redirection_mode_ok(const char* mode);

// Opens `path` with `mode` and makes descriptor `fd` (0, 1 or 2) refer to it; the
// opened stream stays open for the life of the process. What was buffered for the
// standard stream of `fd` is written out first, so text printed before the redirection
// stays where it was going. Returns false, having done nothing, when the mode is not
// accepted, the path is empty or the open fails.
bool redirect_descriptor(int fd, const char* path, const char* mode);

}  // namespace vox
