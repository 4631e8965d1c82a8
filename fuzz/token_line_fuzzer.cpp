// Line splitting over any stream: standard input and the pipes of the two child programs
// are all read with read_token_line. The stream may fail: a byte 0xFF of the input is not
// delivered but makes that read fail with the errno that the byte after it picks, which
// drives the retry that starts a line over after a read error.
//
// Checked on every line: at most 100 entries, entry 0 the program path, every word a
// string end-terminated run of characters other than blank, tab and line feed inside the
// line's text (a string end read from the stream makes it shorter, or empty), words in
// order and apart; the reading ends.
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "driver/token_line.h"
#include "fuzz_input.h"

namespace {

constexpr unsigned char kFailMark = 0xFF;
constexpr int kErrnos[4] = {EIO, EFBIG, EINTR, EAGAIN};

struct FailingSource {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
};

// One byte per read, so that a failure falls exactly where the input puts it.
ssize_t read_one(void* cookie, char* buffer, size_t size) {
  auto* s = static_cast<FailingSource*>(cookie);
  if (size == 0 || s->at >= s->size) return 0;
  const std::uint8_t c = s->data[s->at++];
  if (c == kFailMark) {
    const std::uint8_t pick = s->at < s->size ? s->data[s->at++] : 0;
    errno = kErrnos[pick & 3];
    return -1;
  }
  buffer[0] = static_cast<char>(c);
  return 1;
}

std::FILE* failing_stream(FailingSource& source) {
  cookie_io_functions_t io{};
  io.read = read_one;
  return fopencookie(&source, "r", io);
}

void check_line(const vox::TokenLine& line, const char* program) {
  VOX_FUZZ_CHECK(line.count >= 1 && line.count <= vox::kTokenLineWords);
  VOX_FUZZ_CHECK(line.words[0] == program);
  const char* text_end = line.text + vox::kTokenLineChars;
  const char* previous_end = line.text;
  for (int i = 1; i < line.count; ++i) {
    const char* w = line.words[i];
    VOX_FUZZ_CHECK(w > previous_end && w < text_end);
    const void* nul = std::memchr(w, '\0', static_cast<std::size_t>(text_end - w));
    VOX_FUZZ_CHECK(nul != nullptr);
    const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(nul) - w);
    VOX_FUZZ_CHECK(std::strpbrk(w, " \t\n") == nullptr);
    previous_end = w + length;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char* program = "voxmira";
  // A line buffer is 26 KB: on the heap, as the program keeps it.
  static const auto line = std::make_unique<vox::TokenLine>();
  const bool failing = (data[0] & 1) != 0;
  FailingSource source{data + 1, size - 1};
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  std::FILE* stream = failing ? failing_stream(source) : vox::fuzz::stream_over(text);
  if (stream == nullptr) return 0;

  // Each line takes at least one byte or one failed read, and every byte yields at most
  // one of either: more lines than that would be a reading that does not end.
  std::size_t lines = 0;
  while (vox::read_token_line(stream, program, *line)) {
    check_line(*line, program);
    VOX_FUZZ_CHECK(++lines <= size);
  }
  // The last pass also leaves a well-formed line.
  check_line(*line, program);
  std::fclose(stream);
  return 0;
}
