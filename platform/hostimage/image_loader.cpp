#include "platform/hostimage/image_loader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <map>
#include <set>

#include "platform/hostimage/hex_text.h"
#include "platform/hostimage/name_compare.h"
#include "platform/hostimage/utf_text.h"

namespace vox::plat::hostimage {
namespace {

constexpr std::size_t kGptNameUnits = 36;
// NextOffset of a STORAGE_IDENTIFIER is 16 bits: 16 header bytes + id, 8-byte aligned.
constexpr std::size_t kMaxIdentifierBytes = 65512;
constexpr std::int64_t kMaxDiskNumber = std::numeric_limits<std::int32_t>::max();

std::string at_key(const std::string& where, std::string_view key) {
  return where.empty() ? std::string(key) : where + "." + std::string(key);
}
std::string at_index(const std::string& where, std::size_t i) {
  return where + "[" + std::to_string(i) + "]";
}

// Reads and checks values; keeps the first problem. Every reader returns false once
// something is wrong, so that loaders chain them with &&.
class Checker {
 public:
  std::string problem;

  bool fail(const std::string& where, const std::string& what) {
    if (problem.empty()) problem = (where.empty() ? std::string("top level") : where) + ": " + what;
    return false;
  }

  // An object whose keys are all among `known` (keys that begin with "_" are notes).
  bool object(const Json& v, const std::string& where,
              std::initializer_list<std::string_view> known) {
    if (!v.is_object()) return fail(where, "expected an object");
    for (const auto& item : v.items()) {
      const std::string& key = item.key();
      if (!key.empty() && key[0] == '_') continue;
      bool found = false;
      for (std::string_view k : known) found = found || key == k;
      if (!found) return fail(where, "unknown key '" + key + "'");
    }
    return true;
  }

  bool array(const Json& v, const std::string& where) {
    return v.is_array() || fail(where, "expected an array");
  }

  static const Json* find(const Json& obj, const char* key) {
    auto it = obj.find(key);
    return it == obj.end() ? nullptr : &*it;
  }

  // The value of `key`, read into `out`; false when it is missing or wrong.
  template <typename T>
  bool required(const Json& obj, const std::string& where, const char* key, T& out) {
    const Json* v = find(obj, key);
    if (v == nullptr) return fail(where, std::string("missing key '") + key + "'");
    return read(*v, at_key(where, key), out);
  }
  // The value of `key` when present; `out` keeps its default otherwise.
  template <typename T>
  bool optional(const Json& obj, const std::string& where, const char* key, T& out) {
    const Json* v = find(obj, key);
    return v == nullptr || read(*v, at_key(where, key), out);
  }

  bool read(const Json& v, const std::string& where, std::string& out) {
    if (!v.is_string()) return fail(where, "expected a text");
    out = v.get<std::string>();
    return true;
  }
  bool read(const Json& v, const std::string& where, std::uint8_t& out) {
    return read_unsigned(v, where, out);
  }
  bool read(const Json& v, const std::string& where, std::uint32_t& out) {
    return read_unsigned(v, where, out);
  }
  bool read(const Json& v, const std::string& where, std::uint64_t& out) {
    return read_unsigned(v, where, out);
  }
  bool read(const Json& v, const std::string& where, std::int64_t& out) {
    if (v.is_number_unsigned()) {
      if (v.get<std::uint64_t>() >
          static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        return fail(where, "must be from -9223372036854775808 to 9223372036854775807");
      }
      out = static_cast<std::int64_t>(v.get<std::uint64_t>());
      return true;
    }
    if (!v.is_number_integer()) return fail(where, "expected an integer");
    out = v.get<std::int64_t>();
    return true;
  }
  bool read(const Json& v, const std::string& where, bool& out) {
    if (!v.is_boolean()) return fail(where, "expected true or false");
    out = v.get<bool>();
    return true;
  }
  bool read(const Json& v, const std::string& where, Bytes& out) {
    if (!v.is_string()) return fail(where, "expected hex text");
    const std::string trouble = parse_hex_text(v.get_ref<const std::string&>(), out);
    return trouble.empty() || fail(where, trouble);
  }
  bool read(const Json& v, const std::string& where, Guid& out) {
    if (!v.is_string() || !parse_guid_text(v.get_ref<const std::string&>(), out)) {
      return fail(where, "expected a GUID text like \"01234567-89AB-CDEF-0123-456789ABCDEF\"");
    }
    return true;
  }
  template <typename T>
  bool read(const Json& v, const std::string& where, std::optional<T>& out) {
    T value{};
    if (!read(v, where, value)) return false;
    out = std::move(value);
    return true;
  }

  // A name: a text, not empty, without NUL characters.
  bool name(const Json& v, const std::string& where, std::string& out) {
    if (!read(v, where, out)) return false;
    if (out.empty()) return fail(where, "must not be empty");
    if (out.find('\0') != std::string::npos) return fail(where, "must not contain a NUL character");
    return true;
  }

  // An array of names.
  bool names(const Json& v, const std::string& where, std::vector<std::string>& out) {
    if (!array(v, where)) return false;
    out.resize(v.size());
    for (std::size_t i = 0; i < v.size(); ++i)
      if (!name(v[i], at_index(where, i), out[i])) return false;
    return true;
  }

 private:
  // An unsigned number: a JSON integer, or a text "0x" followed by 1 to 16 hex digits.
  template <typename T>
  bool read_unsigned(const Json& v, const std::string& where, T& out) {
    constexpr std::uint64_t max = std::numeric_limits<T>::max();
    std::uint64_t value = 0;
    if (v.is_number_unsigned()) {
      value = v.get<std::uint64_t>();
    } else if (v.is_number_integer()) {
      return fail(where, "must be from 0 to " + std::to_string(max));  // negative
    } else if (v.is_string()) {
      if (!hex_number(v.get_ref<const std::string&>(), value)) {
        return fail(where, "expected an integer or a text \"0x...\"");
      }
    } else {
      return fail(where, "expected an integer");
    }
    if (value > max) return fail(where, "must be from 0 to " + std::to_string(max));
    out = static_cast<T>(value);
    return true;
  }

  static bool hex_number(const std::string& s, std::uint64_t& value) {
    if (s.size() < 3 || s.size() > 18 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) return false;
    value = 0;
    for (std::size_t i = 2; i < s.size(); ++i) {
      const char c = s[i];
      int d = -1;
      if (c >= '0' && c <= '9') d = c - '0';
      if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      if (d < 0) return false;
      value = value * 16 + static_cast<std::uint64_t>(d);
    }
    return true;
  }
};

bool page_key(std::string_view key, std::uint8_t& page) {
  auto digit = [](char ch) -> int {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
  };
  if (key.size() != 2 || digit(key[0]) < 0 || digit(key[1]) < 0) return false;
  page = static_cast<std::uint8_t>(digit(key[0]) * 16 + digit(key[1]));
  return true;
}

bool load_pages(Checker& c, const Json& v, const std::string& where, Disk& disk) {
  if (!v.is_object()) return c.fail(where, "expected an object");
  for (const auto& item : v.items()) {
    const std::string w = at_key(where, item.key());
    std::uint8_t code = 0;
    if (!page_key(item.key(), code)) {
      return c.fail(w, "a page key is two upper-case hex digits, like \"83\" or \"E2\"");
    }
    PageAnswer& page = disk.pages[code];
    const Json& e = item.value();
    if (!c.object(e, w, {"data", "status", "sense", "error"}) ||
        !c.optional(e, w, "data", page.data) || !c.optional(e, w, "status", page.status) ||
        !c.optional(e, w, "sense", page.sense) || !c.optional(e, w, "error", page.error)) {
      return false;
    }
  }
  return true;
}

bool load_id_property(Checker& c, const Json& v, const std::string& where, Disk& disk) {
  if (!c.array(v, where)) return false;
  std::vector<StorageIdentifier> ids(v.size());
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string w = at_index(where, i);
    StorageIdentifier& id = ids[i];
    if (!c.object(v[i], w, {"code_set", "type", "id", "association"}) ||
        !c.required(v[i], w, "code_set", id.code_set) || !c.required(v[i], w, "type", id.type) ||
        !c.required(v[i], w, "id", id.id) || !c.optional(v[i], w, "association", id.association)) {
      return false;
    }
    if (id.id.size() > kMaxIdentifierBytes) {
      return c.fail(at_key(w, "id"),
                    "longer than " + std::to_string(kMaxIdentifierBytes) + " bytes");
    }
  }
  disk.id_property = std::move(ids);
  return true;
}

bool load_partition(Checker& c, const Json& e, const std::string& w, LayoutStyle style,
                    Partition& p) {
  std::string name;
  const bool ok = c.object(e, w,
                           {"number", "offset", "length", "type", "id", "attributes", "boot",
                            "hidden_sectors", "name"}) &&
                  c.required(e, w, "offset", p.offset) && c.required(e, w, "length", p.length) &&
                  c.optional(e, w, "number", p.number) &&
                  (style == LayoutStyle::gpt ? c.optional(e, w, "type", p.gpt_type)
                                             : c.optional(e, w, "type", p.mbr_type)) &&
                  c.optional(e, w, "id", p.id) && c.optional(e, w, "attributes", p.attributes) &&
                  c.optional(e, w, "boot", p.boot) &&
                  c.optional(e, w, "hidden_sectors", p.hidden_sectors) &&
                  c.optional(e, w, "name", name);
  if (!ok) return false;
  p.name = utf8_to_utf16(name);
  if (p.name.size() > kGptNameUnits)
    return c.fail(at_key(w, "name"), "longer than 36 UTF-16 units");
  return true;
}

bool load_layout(Checker& c, const Json& v, const std::string& where, DiskLayout& layout) {
  std::string style = "mbr";
  if (!c.object(
          v, where,
          {"style", "signature", "disk_id", "usable_offset", "usable_length", "partitions"}) ||
      !c.optional(v, where, "style", style)) {
    return false;
  }
  if (style == "mbr") {
    layout.style = LayoutStyle::mbr;
  } else if (style == "gpt") {
    layout.style = LayoutStyle::gpt;
  } else if (style == "raw") {
    layout.style = LayoutStyle::raw;
  } else {
    return c.fail(at_key(where, "style"), "must be \"mbr\", \"gpt\" or \"raw\"");
  }
  if (!c.optional(v, where, "signature", layout.signature) ||
      !c.optional(v, where, "disk_id", layout.disk_id) ||
      !c.optional(v, where, "usable_offset", layout.usable_offset) ||
      !c.optional(v, where, "usable_length", layout.usable_length)) {
    return false;
  }
  const Json* parts = Checker::find(v, "partitions");
  if (parts == nullptr) return true;
  const std::string w = at_key(where, "partitions");
  if (!c.array(*parts, w)) return false;
  layout.partitions.resize(parts->size());
  for (std::size_t i = 0; i < parts->size(); ++i) {
    layout.partitions[i].number = static_cast<std::uint32_t>(i + 1);
    if (!load_partition(c, (*parts)[i], at_index(w, i), layout.style, layout.partitions[i])) {
      return false;
    }
  }
  return true;
}

bool load_disk(Checker& c, const Json& v, const std::string& w, Disk& disk) {
  std::int64_t number = 0;
  if (!c.object(v, w,
                {"number", "open_error", "inquiry", "inquiry_status", "inquiry_sense",
                 "inquiry_error", "pages", "device_property", "id_property", "layout",
                 "layout_error", "set_layout_error"}) ||
      !c.required(v, w, "number", number)) {
    return false;
  }
  if (number < 0 || number > kMaxDiskNumber) {
    return c.fail(at_key(w, "number"), "must be from 0 to " + std::to_string(kMaxDiskNumber));
  }
  disk.number = static_cast<std::uint32_t>(number);
  if (!c.optional(v, w, "open_error", disk.open_error) ||
      !c.optional(v, w, "inquiry", disk.inquiry) ||
      !c.optional(v, w, "inquiry_status", disk.inquiry_status) ||
      !c.optional(v, w, "inquiry_sense", disk.inquiry_sense) ||
      !c.optional(v, w, "inquiry_error", disk.inquiry_error) ||
      !c.optional(v, w, "device_property", disk.device_property) ||
      !c.optional(v, w, "layout_error", disk.layout_error) ||
      !c.optional(v, w, "set_layout_error", disk.set_layout_error)) {
    return false;
  }
  const Json* x = nullptr;
  if ((x = Checker::find(v, "pages")) && !load_pages(c, *x, at_key(w, "pages"), disk)) return false;
  if ((x = Checker::find(v, "id_property")) &&
      !load_id_property(c, *x, at_key(w, "id_property"), disk)) {
    return false;
  }
  if ((x = Checker::find(v, "layout")) && !load_layout(c, *x, at_key(w, "layout"), disk.layout)) {
    return false;
  }
  return true;
}

// Each key of `seen` once: the place where it was first seen, or the duplicate message.
bool first_time(Checker& c, std::map<std::string, std::string>& seen, const std::string& key,
                const std::string& shown, const std::string& owner, const std::string& where) {
  auto [it, fresh] = seen.emplace(key, owner);
  return fresh || c.fail(where, shown + " is already listed at " + it->second);
}

bool load_disks(Checker& c, const Json& v, HostImage& image) {
  if (!c.array(v, "disks")) return false;
  image.disks.resize(v.size());
  image.disk_places.reserve(v.size());
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string w = at_index("disks", i);
    Disk& disk = image.disks[i];
    disk.json_index = i;
    if (!load_disk(c, v[i], w, disk)) return false;
    const auto [it, fresh] = image.disk_places.emplace(disk.number, i);
    if (!fresh) {
      return c.fail(at_key(w, "number"), "disk " + std::to_string(disk.number) +
                                             " is already listed at " +
                                             at_index("disks", it->second));
    }
  }
  return true;
}

bool load_dos_devices(Checker& c, const Json& v, HostImage& image) {
  if (!c.array(v, "dos_devices")) return false;
  std::map<std::string, std::string> seen;
  image.dos_devices.resize(v.size());
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string w = at_index("dos_devices", i);
    DosDevice& dev = image.dos_devices[i];
    const Json* target = Checker::find(v[i], "target");
    if (!c.object(v[i], w, {"name", "target"})) return false;
    const Json* name = Checker::find(v[i], "name");
    if (name == nullptr) return c.fail(w, "missing key 'name'");
    if (!c.name(*name, at_key(w, "name"), dev.name)) return false;
    if (dev.name.find('\\') != std::string::npos) {
      return c.fail(at_key(w, "name"), "a DOS name holds no '\\'");
    }
    if (target == nullptr) return c.fail(w, "missing key 'target'");
    const std::string tw = at_key(w, "target");
    if (target->is_array()) {
      if (!c.names(*target, tw, dev.targets)) return false;
      if (dev.targets.empty()) return c.fail(tw, "must name at least one target");
    } else {
      if (!target->is_string()) return c.fail(tw, "expected a text or an array of texts");
      dev.targets.resize(1);
      if (!c.name(*target, tw, dev.targets[0])) return false;
    }
    if (!first_time(c, seen, fold_case(dev.name), "'" + dev.name + "'", w, at_key(w, "name"))) {
      return false;
    }
  }
  return true;
}

bool load_volumes(Checker& c, const Json& v, HostImage& image) {
  if (!c.array(v, "volumes")) return false;
  std::map<std::string, std::string> seen;
  image.volumes.resize(v.size());
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string w = at_index("volumes", i);
    Volume& vol = image.volumes[i];
    const Json* target = Checker::find(v[i], "target");
    if (!c.object(v[i], w, {"target", "disks", "open_error", "extents_error"})) return false;
    if (target == nullptr) return c.fail(w, "missing key 'target'");
    if (!c.name(*target, at_key(w, "target"), vol.target) ||
        !c.optional(v[i], w, "open_error", vol.open_error) ||
        !c.optional(v[i], w, "extents_error", vol.extents_error)) {
      return false;
    }
    if (const Json* disks = Checker::find(v[i], "disks")) {
      const std::string dw = at_key(w, "disks");
      if (!c.array(*disks, dw)) return false;
      vol.disks.resize(disks->size());
      for (std::size_t k = 0; k < disks->size(); ++k)
        if (!c.read((*disks)[k], at_index(dw, k), vol.disks[k])) return false;
    }
    if (!first_time(c, seen, fold_case(vol.target), "'" + vol.target + "'", w,
                    at_key(w, "target"))) {
      return false;
    }
  }
  return true;
}

bool load_mount_points(Checker& c, const Json& v, HostImage& image) {
  if (!c.array(v, "mount_points")) return false;
  image.mount_points.resize(v.size());
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string w = at_index("mount_points", i);
    MountPoints& mp = image.mount_points[i];
    if (!c.object(v[i], w, {"volume", "paths"})) return false;
    const Json* volume = Checker::find(v[i], "volume");
    if (volume == nullptr) return c.fail(w, "missing key 'volume'");
    if (!c.name(*volume, at_key(w, "volume"), mp.volume)) return false;
    const Json* paths = Checker::find(v[i], "paths");
    if (paths != nullptr && !c.names(*paths, at_key(w, "paths"), mp.paths)) return false;
  }
  return true;
}

bool load_document(Checker& c, const Json& doc, const std::filesystem::path& base,
                   HostImage& image) {
  std::optional<std::string> root;
  if (!c.object(doc, "",
                {"root", "disks", "dos_devices", "volumes", "mount_points", "mountvol_output",
                 "dos_list_error", "pairs"}) ||
      !c.optional(doc, "", "root", root) ||
      !c.optional(doc, "", "mountvol_output", image.mountvol_output) ||
      !c.optional(doc, "", "dos_list_error", image.dos_list_error)) {
    return false;
  }
  image.root = base;
  if (root) {
#ifndef _WIN32
    for (char& ch : *root)
      if (ch == '\\') ch = '/';
#endif
    image.root = (base / std::filesystem::path(*root)).lexically_normal();
  }
  const Json* x = nullptr;
  return (!(x = Checker::find(doc, "disks")) || load_disks(c, *x, image)) &&
         (!(x = Checker::find(doc, "dos_devices")) || load_dos_devices(c, *x, image)) &&
         (!(x = Checker::find(doc, "volumes")) || load_volumes(c, *x, image)) &&
         (!(x = Checker::find(doc, "mount_points")) || load_mount_points(c, *x, image));
}

// Containers nested deeper than this are refused: the document is copied and written
// back recursively, and an image's own structure is a few levels deep.
constexpr std::size_t kMaxNesting = 512;

// Builds the document as the plain parser does and names, on the way, the place of a
// key that an object holds twice (the parser itself would silently keep one of them).
// It rides on the SAX interface: the parser's callback form scans the whole parent
// container again each time an element closes, which makes a load host of many
// thousand disks cost quadratic time.
class CheckedDocumentBuilder : public nlohmann::detail::json_sax_dom_parser<Json> {
  using Base = nlohmann::detail::json_sax_dom_parser<Json>;

 public:
  std::string problem;

  explicit CheckedDocumentBuilder(Json& root) : Base(root, true) {}

  bool null() { return element_done(Base::null()); }
  bool boolean(bool value) { return element_done(Base::boolean(value)); }
  bool number_integer(Json::number_integer_t value) {
    return element_done(Base::number_integer(value));
  }
  bool number_unsigned(Json::number_unsigned_t value) {
    return element_done(Base::number_unsigned(value));
  }
  bool number_float(Json::number_float_t value, const Json::string_t& text) {
    return element_done(Base::number_float(value, text));
  }
  bool string(Json::string_t& value) { return element_done(Base::string(value)); }
  bool binary(Json::binary_t& value) { return element_done(Base::binary(value)); }

  bool start_object(std::size_t size) { return enter(false) && Base::start_object(size); }
  bool start_array(std::size_t size) { return enter(true) && Base::start_array(size); }
  bool key(Json::string_t& value) {
    if (!frames_.empty()) {
      Frame& f = frames_.back();
      f.key = value;
      if (!f.keys.insert(value).second && problem.empty()) {
        const std::string where = path();
        problem = (where.empty() ? std::string("top level") : where) + ": key '" + value +
                  "' appears twice";
      }
    }
    return Base::key(value);
  }
  bool end_object() { return close(Base::end_object()); }
  bool end_array() { return close(Base::end_array()); }

 private:
  struct Frame {
    bool array;
    std::size_t index;
    std::string key;
    std::set<std::string> keys;
  };
  std::vector<Frame> frames_;

  // Opens a container; past kMaxNesting levels the parse stops, naming the member of
  // the top level that holds it.
  bool enter(bool array) {
    if (frames_.size() >= kMaxNesting) {
      const Frame& top = frames_.front();
      problem = (top.array ? at_index("", top.index) : at_key("", top.key)) +
                ": nested deeper than " + std::to_string(kMaxNesting) + " levels";
      return false;
    }
    frames_.push_back(Frame{array, 0, {}, {}});
    return true;
  }
  bool close(bool ok) {
    if (!frames_.empty()) frames_.pop_back();
    return element_done(ok);
  }
  bool element_done(bool ok) {
    if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
    return ok;
  }
  // The path of the innermost container.
  std::string path() const {
    std::string where;
    for (std::size_t i = 0; i + 1 < frames_.size(); ++i) {
      const Frame& f = frames_[i];
      where = f.array ? at_index(where, f.index) : at_key(where, f.key);
    }
    return where;
  }
};

// The problem line quotes keys, names and the file name as the image spells them; a
// control character among them (a key holding "\n", say) would break the one line in
// two or move the cursor. Such bytes are shown escaped.
std::string printable(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte >= 0x20 && byte != 0x7F) {
      out += ch;
    } else if (ch == '\n') {
      out += "\\n";
    } else if (ch == '\r') {
      out += "\\r";
    } else if (ch == '\t') {
      out += "\\t";
    } else {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

// "[json.exception.parse_error.101] parse error at line 1, column 5: syntax error ..."
// becomes "line 1, column 5: syntax error ...".
std::string parse_error_text(const char* what) {
  std::string text = what;
  const std::string marker = "parse error at ";
  if (auto pos = text.find(marker); pos != std::string::npos) {
    return text.substr(pos + marker.size());
  }
  if (auto pos = text.find("] "); pos != std::string::npos) text = text.substr(pos + 2);
  return text;
}

}  // namespace

bool load_host_image_text(std::string_view text, const std::filesystem::path& base,
                          HostImage& image, std::string& problem) {
  // The parser reads a NUL byte as the end of the text and would pass over whatever
  // follows it; a JSON text holds none.
  if (const std::size_t at = text.find('\0'); at != std::string_view::npos) {
    const std::string_view before = text.substr(0, at);
    const std::size_t line_start = before.rfind('\n') + 1;  // 0 on the first line
    problem = "line " + std::to_string(1 + std::count(before.begin(), before.end(), '\n')) +
              ", column " + std::to_string(at - line_start + 1) + ": NUL byte in the text";
    return false;
  }
  Json doc;
  CheckedDocumentBuilder builder(doc);
  try {
    // The builder throws every syntax error, and a number past the range of a double
    // ends the parse with an exception of its own; a stop of the builder leaves its
    // problem.
    static_cast<void>(Json::sax_parse(text.begin(), text.end(), &builder));
  } catch (const nlohmann::json::exception& e) {
    problem = printable(parse_error_text(e.what()));
    return false;
  }
  if (!builder.problem.empty()) {
    problem = printable(builder.problem);
    return false;
  }
  HostImage loaded;
  Checker checker;
  if (!load_document(checker, doc, base, loaded)) {
    problem = printable(checker.problem);
    return false;
  }
  loaded.document = std::move(doc);
  image = std::move(loaded);
  return true;
}

bool load_host_image_file(const std::string& path, HostImage& image, std::string& error) {
  const std::string head = "voxmira: host image '" + printable(path) + "': ";
  std::string text;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    error = head + "cannot be read (" + std::strerror(errno) + ")";
    return false;
  }
  char chunk[65536];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, got);
  const bool failed = std::ferror(f) != 0;
  const int err = errno;
  std::fclose(f);
  if (failed) {
    error = head + "cannot be read (" + std::strerror(err) + ")";
    return false;
  }
  std::error_code ec;
  std::filesystem::path file = std::filesystem::absolute(std::filesystem::path(path), ec);
  if (ec) file = std::filesystem::path(path);
  std::string problem;
  if (!load_host_image_text(text, file.parent_path(), image, problem)) {
    error = head + problem;
    return false;
  }
  image.file = file;
  return true;
}

}  // namespace vox::plat::hostimage
