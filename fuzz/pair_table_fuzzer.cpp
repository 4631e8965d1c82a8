// The -findc pair table from whatever the pair-status tool answers: every start of the
// tool hands over the next answer of the input and ends with the exit status the input
// chose for it.
//
// Input: byte 0 options (bit 0 local copies, bit 1 quiet, bit 2 the tool cannot be
// started), bytes 1..8 the MU states (a bit per MU, local MU#0..63 or remote MU#0..3),
// bytes 9..10 the exit statuses of the starts (a bit each: 0 or 1), field the display
// name, then one field per answer.
//
// Checked: one start per MU with a state and nothing else; every start's stream closed;
// output only in whole lines, none of them past the row width, the header once.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "inquiry/dev_identity.h"
#include "report/reports.h"
#include "support/fake_backend.h"

namespace {

class PairTool : public vox::test::FakeBackend {
 public:
  std::vector<std::string> answers;  // one per start, in order
  unsigned statuses = 0;
  bool refuse = false;
  int started = 0, closed = 0;

  std::FILE* popen(const char* command, const char* mode) override {
    VOX_FUZZ_CHECK(std::string(mode) == "rt");
    VOX_FUZZ_CHECK(std::strstr(command, " -fd -CLI 2>NUL") != nullptr);
    const std::size_t k = static_cast<std::size_t>(started++);
    if (refuse) return nullptr;
    if (k >= answers.size()) answers.resize(k + 1);
    return vox::fuzz::stream_over(answers[k]);
  }
  int pclose(std::FILE* f) override {
    const int k = closed++;
    std::fclose(f);
    return (statuses >> (k % 16)) & 1;
  }
};

// Whole lines: the header first and once, then at most a row per start.
void check_output(const std::string& out, int starts) {
  if (out.empty()) return;
  VOX_FUZZ_CHECK(out.back() == '\n');
  VOX_FUZZ_CHECK(out.starts_with("DEVICE_FILE"));
  const std::size_t lines = static_cast<std::size_t>(std::count(out.begin(), out.end(), '\n'));
  VOX_FUZZ_CHECK(lines >= 2 && lines - 1 <= static_cast<std::size_t>(starts));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vox::fuzz::FuzzInput in(data, size);
  const std::uint8_t options = in.u8();
  const bool local = (options & 1) != 0;
  const std::uint32_t low = in.u32();
  const std::uint64_t states = low | static_cast<std::uint64_t>(in.u32()) << 32;
  const unsigned statuses = in.u16();
  const vox::fuzz::Bytes name_bytes = in.field();
  std::string name(name_bytes.begin(), name_bytes.end());
  // A display name: a string, no line end inside, at most 255 characters.
  name = name.substr(
      0, std::min({strnlen(name.c_str(), name.size()), name.find('\n'), std::size_t{255}}));

  auto owned = std::make_unique<PairTool>();
  PairTool& tool = *owned;
  tool.statuses = statuses;
  tool.refuse = (options & 4) != 0;
  while (!in.empty()) {
    const vox::fuzz::Bytes answer = in.field();
    tool.answers.emplace_back(answer.begin(), answer.end());
  }
  vox::plat::set_backend(std::move(owned));

  vox::DevIdentity record;
  record.serial = 64015;
  record.ldev = 1234;
  record.mu_table_valid = 1;
  int expected_starts = 0;
  if (local) {
    for (int i = 0; i < 64; ++i) {
      record.local_mu_states[i] = static_cast<std::uint8_t>((states >> i) & 1 ? 2 : 0);
      expected_starts += (states >> i) & 1 ? 1 : 0;
    }
    setenv("VEXAC_QUIL", "", 1);
  } else {
    for (int i = 0; i < 4; ++i) {
      record.remote_mu_states[i] = static_cast<std::uint8_t>((states >> i) & 1 ? 3 : 0);
      expected_starts += (states >> i) & 1 ? 1 : 0;
    }
    unsetenv("VEXAC_QUIL");
  }

  vox::TableState table;
  std::string out;
  {
    vox::fuzz::CapturedStdout captured;
    vox::find_pair_groups(name.c_str(), record, (options & 2) ? 1 : 0, table);
    out = captured.text();
  }
  check_output(out, tool.started);
  VOX_FUZZ_CHECK(tool.started == expected_starts);
  VOX_FUZZ_CHECK(tool.refuse ? tool.closed == 0 : tool.closed == tool.started);
  VOX_FUZZ_CHECK(table.header_done == (out.empty() ? 0 : 1));

  vox::plat::set_backend(nullptr);
  return 0;
}
