#include "tools/twinlist/twinlist_main.h"

#include <cstdlib>
#include <fstream>
#include <span>
#include <string>

#include "tools/twinlist/answer.h"
#include "tools/twinlist/pair_image.h"
#include "tools/twinlist/query.h"

namespace vox::twinlist {
namespace {

constexpr int kFound = 0;
constexpr int kNotFound = 1;
constexpr int kError = 2;

int fail(std::FILE* err, const std::string& message) {
  std::fprintf(err, "twinlist: %s\n", message.c_str());
  return kError;
}

// The groups of the host image named by VOXMIRA_HOST.
bool read_groups(std::vector<PairGroup>& groups, std::string& error) {
  const char* path = std::getenv("VOXMIRA_HOST");
  if (path == nullptr || *path == '\0') {
    error = "VOXMIRA_HOST does not name a host image";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = std::string(path) + ": cannot be read";
    return false;
  }
  const nlohmann::json image = nlohmann::json::parse(in, nullptr, false);
  if (image.is_discarded()) {
    error = std::string(path) + ": not valid JSON";
    return false;
  }
  std::string what;
  if (!load_pairs(image, groups, what)) {
    error = std::string(path) + ": " + what;
    return false;
  }
  return true;
}

}  // namespace

int twinlist_main(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  const std::span<const char* const> args(argv + (argc > 0 ? 1 : 0),
                                          argc > 1 ? static_cast<std::size_t>(argc - 1) : 0);
  Query query;
  std::string error;
  if (!parse_query(args, query, error)) return fail(err, error + " (twinlist -h for help)");
  if (query.help) {
    std::fputs(kUsage, out);
    return kFound;
  }
  std::vector<PairGroup> groups;
  if (!read_groups(groups, error)) return fail(err, error);
  const CopyKind instance =
      std::getenv("VEXAC_QUIL") != nullptr ? CopyKind::local : CopyKind::remote;
  const Answer answer = answer_query(groups, query, instance);
  if (!answer.found) return kNotFound;
  std::fwrite(answer.text.data(), 1, answer.text.size(), out);
  std::fflush(out);
  return kFound;
}

}  // namespace vox::twinlist
