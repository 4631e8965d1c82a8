#include "platform/hostimage/image_loader.h"

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

std::string at_key(const std::string& where, std::string_view key) {
  return where.empty() ? std::string(key) : where + "." + std::string(key);
}
std::string at_index(const std::string& where, std::size_t i) {
  return where + "[" + std::to_string(i) + "]";
}

// Collects the first problem; every check returns false once something is wrong.
class Checker {
 public:
  std::string problem;

  bool fail(const std::string& where, const std::string& what) {
    if (problem.empty()) problem = (where.empty() ? std::string("top level") : where) + ": " + what;
    return false;
  }

  bool object(const Json& v, const std::string& where) {
    return v.is_object() || fail(where, "expected an object");
  }
  bool array(const Json& v, const std::string& where) {
    return v.is_array() || fail(where, "expected an array");
  }

  // Every key of `obj` must be one of `known` (keys that begin with "_" are notes).
  bool only_keys(const Json& obj, const std::string& where,
                 std::initializer_list<std::string_view> known) {
    for (const auto& item : obj.items()) {
      const std::string& key = item.key();
      if (!key.empty() && key[0] == '_') continue;
      bool found = false;
      for (std::string_view k : known) found = found || key == k;
      if (!found) return fail(where, "unknown key '" + key + "'");
    }
    return true;
  }

  const Json* find(const Json& obj, const char* key) {
    auto it = obj.find(key);
    return it == obj.end() ? nullptr : &*it;
  }

  const Json* require(const Json& obj, const std::string& where, const char* key) {
    const Json* v = find(obj, key);
    if (v == nullptr) fail(where, std::string("missing key '") + key + "'");
    return v;
  }

  bool text(const Json& v, const std::string& where, std::string& out) {
    if (!v.is_string()) return fail(where, "expected a text");
    out = v.get<std::string>();
    return true;
  }

  // A name-like text: not empty, no NUL character.
  bool name_text(const Json& v, const std::string& where, std::string& out) {
    if (!text(v, where, out)) return false;
    if (out.empty()) return fail(where, "must not be empty");
    if (out.find('\0') != std::string::npos) return fail(where, "must not contain a NUL character");
    return true;
  }

  bool unsigned_value(const Json& v, const std::string& where, std::uint64_t max,
                      std::uint64_t& out) {
    std::uint64_t value = 0;
    if (v.is_number_unsigned()) {
      value = v.get<std::uint64_t>();
    } else if (v.is_number_integer()) {
      if (v.get<std::int64_t>() < 0) return fail(where, range_text(max));
      value = static_cast<std::uint64_t>(v.get<std::int64_t>());
    } else if (v.is_string()) {
      const std::string& s = v.get_ref<const std::string&>();
      if (s.size() < 3 || s.size() > 18 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) {
        return fail(where, "expected an integer or a text \"0x...\"");
      }
      for (std::size_t i = 2; i < s.size(); ++i) {
        const char c = s[i];
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0) return fail(where, "expected an integer or a text \"0x...\"");
        value = value * 16 + static_cast<std::uint64_t>(d);
      }
    } else {
      return fail(where, "expected an integer");
    }
    if (value > max) return fail(where, range_text(max));
    out = value;
    return true;
  }

  template <typename T>
  bool uint(const Json& v, const std::string& where, T& out,
            std::uint64_t max = std::numeric_limits<T>::max()) {
    std::uint64_t value = 0;
    if (!unsigned_value(v, where, max, value)) return false;
    out = static_cast<T>(value);
    return true;
  }

  bool int64(const Json& v, const std::string& where, std::int64_t& out) {
    if (v.is_number_integer() && !v.is_number_unsigned()) {
      out = v.get<std::int64_t>();
      return true;
    }
    if (v.is_number_unsigned()) {
      const auto u = v.get<std::uint64_t>();
      if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        return fail(where, "must be from -9223372036854775808 to 9223372036854775807");
      }
      out = static_cast<std::int64_t>(u);
      return true;
    }
    return fail(where, "expected an integer");
  }

  bool boolean(const Json& v, const std::string& where, bool& out) {
    if (!v.is_boolean()) return fail(where, "expected true or false");
    out = v.get<bool>();
    return true;
  }

  bool hex(const Json& v, const std::string& where, Bytes& out) {
    if (!v.is_string()) return fail(where, "expected hex text");
    const std::string trouble = parse_hex_text(v.get_ref<const std::string&>(), out);
    return trouble.empty() || fail(where, trouble);
  }

  bool guid(const Json& v, const std::string& where, Guid& out) {
    if (!v.is_string() || !parse_guid_text(v.get_ref<const std::string&>(), out)) {
      return fail(where, "expected a GUID text like \"01234567-89AB-CDEF-0123-456789ABCDEF\"");
    }
    return true;
  }

 private:
  static std::string range_text(std::uint64_t max) {
    return "must be from 0 to " + std::to_string(max);
  }
};

bool load_page(Checker& c, const Json& v, const std::string& where, PageAnswer& page) {
  if (!c.object(v, where) || !c.only_keys(v, where, {"data", "status", "sense", "error"})) {
    return false;
  }
  if (const Json* x = c.find(v, "data"); x && !c.hex(*x, at_key(where, "data"), page.data)) {
    return false;
  }
  if (const Json* x = c.find(v, "status"); x && !c.uint(*x, at_key(where, "status"), page.status)) {
    return false;
  }
  if (const Json* x = c.find(v, "sense"); x && !c.hex(*x, at_key(where, "sense"), page.sense)) {
    return false;
  }
  if (const Json* x = c.find(v, "error"); x && !c.uint(*x, at_key(where, "error"), page.error)) {
    return false;
  }
  return true;
}

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
  if (!c.object(v, where)) return false;
  for (const auto& item : v.items()) {
    const std::string key_where = at_key(where, item.key());
    std::uint8_t page = 0;
    if (!page_key(item.key(), page)) {
      return c.fail(key_where, "a page key is two upper-case hex digits, like \"83\" or \"E2\"");
    }
    if (!load_page(c, item.value(), key_where, disk.pages[page])) return false;
  }
  return true;
}

bool load_id_property(Checker& c, const Json& v, const std::string& where, Disk& disk) {
  if (!c.array(v, where)) return false;
  std::vector<StorageIdentifier> ids;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string w = at_index(where, i);
    const Json& e = v[i];
    if (!c.object(e, w) || !c.only_keys(e, w, {"code_set", "type", "id", "association"})) {
      return false;
    }
    StorageIdentifier id;
    const Json* code_set = c.require(e, w, "code_set");
    const Json* type = code_set ? c.require(e, w, "type") : nullptr;
    const Json* bytes = type ? c.require(e, w, "id") : nullptr;
    if (!bytes || !c.uint(*code_set, at_key(w, "code_set"), id.code_set) ||
        !c.uint(*type, at_key(w, "type"), id.type) || !c.hex(*bytes, at_key(w, "id"), id.id)) {
      return false;
    }
    if (id.id.size() > kMaxIdentifierBytes) {
      return c.fail(at_key(w, "id"),
                    "longer than " + std::to_string(kMaxIdentifierBytes) + " bytes");
    }
    if (const Json* x = c.find(e, "association");
        x && !c.uint(*x, at_key(w, "association"), id.association)) {
      return false;
    }
    ids.push_back(std::move(id));
  }
  disk.id_property = std::move(ids);
  return true;
}

bool load_partition(Checker& c, const Json& e, const std::string& w, LayoutStyle style,
                    std::size_t index, Partition& p) {
  if (!c.object(e, w) || !c.only_keys(e, w,
                                      {"number", "offset", "length", "type", "id", "attributes",
                                       "boot", "hidden_sectors", "name"})) {
    return false;
  }
  p.number = static_cast<std::uint32_t>(index + 1);
  const Json* offset = c.require(e, w, "offset");
  const Json* length = offset ? c.require(e, w, "length") : nullptr;
  if (!length || !c.int64(*offset, at_key(w, "offset"), p.offset) ||
      !c.int64(*length, at_key(w, "length"), p.length)) {
    return false;
  }
  if (const Json* x = c.find(e, "number"); x && !c.uint(*x, at_key(w, "number"), p.number)) {
    return false;
  }
  if (const Json* x = c.find(e, "type")) {
    const bool ok = style == LayoutStyle::gpt ? c.guid(*x, at_key(w, "type"), p.gpt_type)
                                              : c.uint(*x, at_key(w, "type"), p.mbr_type);
    if (!ok) return false;
  }
  if (const Json* x = c.find(e, "id"); x && !c.guid(*x, at_key(w, "id"), p.id)) return false;
  if (const Json* x = c.find(e, "attributes");
      x && !c.uint(*x, at_key(w, "attributes"), p.attributes)) {
    return false;
  }
  if (const Json* x = c.find(e, "boot"); x && !c.boolean(*x, at_key(w, "boot"), p.boot)) {
    return false;
  }
  if (const Json* x = c.find(e, "hidden_sectors")) {
    std::uint32_t hidden = 0;
    if (!c.uint(*x, at_key(w, "hidden_sectors"), hidden)) return false;
    p.hidden_sectors = hidden;
  }
  if (const Json* x = c.find(e, "name")) {
    std::string name;
    if (!c.text(*x, at_key(w, "name"), name)) return false;
    p.name = utf8_to_utf16(name);
    if (p.name.size() > kGptNameUnits) {
      return c.fail(at_key(w, "name"), "longer than 36 UTF-16 units");
    }
  }
  return true;
}

bool load_layout(Checker& c, const Json& v, const std::string& where, DiskLayout& layout) {
  if (!c.object(v, where) || !c.only_keys(v, where,
                                          {"style", "signature", "disk_id", "usable_offset",
                                           "usable_length", "partitions"})) {
    return false;
  }
  if (const Json* x = c.find(v, "style")) {
    std::string style;
    if (!c.text(*x, at_key(where, "style"), style)) return false;
    if (style == "mbr") {
      layout.style = LayoutStyle::mbr;
    } else if (style == "gpt") {
      layout.style = LayoutStyle::gpt;
    } else if (style == "raw") {
      layout.style = LayoutStyle::raw;
    } else {
      return c.fail(at_key(where, "style"), "must be \"mbr\", \"gpt\" or \"raw\"");
    }
  }
  if (const Json* x = c.find(v, "signature");
      x && !c.uint(*x, at_key(where, "signature"), layout.signature)) {
    return false;
  }
  if (const Json* x = c.find(v, "disk_id");
      x && !c.guid(*x, at_key(where, "disk_id"), layout.disk_id)) {
    return false;
  }
  if (const Json* x = c.find(v, "usable_offset")) {
    std::int64_t value = 0;
    if (!c.int64(*x, at_key(where, "usable_offset"), value)) return false;
    layout.usable_offset = value;
  }
  if (const Json* x = c.find(v, "usable_length")) {
    std::int64_t value = 0;
    if (!c.int64(*x, at_key(where, "usable_length"), value)) return false;
    layout.usable_length = value;
  }
  if (const Json* x = c.find(v, "partitions")) {
    const std::string w = at_key(where, "partitions");
    if (!c.array(*x, w)) return false;
    layout.partitions.resize(x->size());
    for (std::size_t i = 0; i < x->size(); ++i) {
      if (!load_partition(c, (*x)[i], at_index(w, i), layout.style, i, layout.partitions[i])) {
        return false;
      }
    }
  }
  return true;
}

bool load_disk(Checker& c, const Json& v, const std::string& w, Disk& disk) {
  if (!c.object(v, w) ||
      !c.only_keys(v, w,
                   {"number", "open_error", "inquiry", "inquiry_status", "inquiry_sense",
                    "inquiry_error", "pages", "device_property", "id_property", "layout",
                    "layout_error", "set_layout_error"})) {
    return false;
  }
  const Json* number = c.require(v, w, "number");
  if (!number || !c.uint(*number, at_key(w, "number"), disk.number,
                         static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))) {
    return false;
  }
  struct ErrorKey {
    const char* key;
    std::uint32_t* field;
  };
  for (const ErrorKey& k :
       {ErrorKey{"open_error", &disk.open_error}, ErrorKey{"inquiry_error", &disk.inquiry_error},
        ErrorKey{"layout_error", &disk.layout_error},
        ErrorKey{"set_layout_error", &disk.set_layout_error}}) {
    if (const Json* x = c.find(v, k.key); x && !c.uint(*x, at_key(w, k.key), *k.field))
      return false;
  }
  if (const Json* x = c.find(v, "inquiry"); x && !c.hex(*x, at_key(w, "inquiry"), disk.inquiry)) {
    return false;
  }
  if (const Json* x = c.find(v, "inquiry_status");
      x && !c.uint(*x, at_key(w, "inquiry_status"), disk.inquiry_status)) {
    return false;
  }
  if (const Json* x = c.find(v, "inquiry_sense");
      x && !c.hex(*x, at_key(w, "inquiry_sense"), disk.inquiry_sense)) {
    return false;
  }
  if (const Json* x = c.find(v, "pages"); x && !load_pages(c, *x, at_key(w, "pages"), disk)) {
    return false;
  }
  if (const Json* x = c.find(v, "device_property")) {
    Bytes raw;
    if (!c.hex(*x, at_key(w, "device_property"), raw)) return false;
    disk.device_property = std::move(raw);
  }
  if (const Json* x = c.find(v, "id_property");
      x && !load_id_property(c, *x, at_key(w, "id_property"), disk)) {
    return false;
  }
  if (const Json* x = c.find(v, "layout");
      x && !load_layout(c, *x, at_key(w, "layout"), disk.layout)) {
    return false;
  }
  return true;
}

bool load_disks(Checker& c, const Json& v, HostImage& image) {
  if (!c.array(v, "disks")) return false;
  std::map<std::uint32_t, std::size_t> seen;
  image.disks.resize(v.size());
  for (std::size_t i = 0; i < v.size(); ++i) {
    Disk& disk = image.disks[i];
    disk.json_index = i;
    if (!load_disk(c, v[i], at_index("disks", i), disk)) return false;
    auto [it, fresh] = seen.emplace(disk.number, i);
    if (!fresh) {
      return c.fail(at_key(at_index("disks", i), "number"), "disk " + std::to_string(disk.number) +
                                                                " is already listed at " +
                                                                at_index("disks", it->second));
    }
  }
  return true;
}

bool load_dos_devices(Checker& c, const Json& v, HostImage& image) {
  if (!c.array(v, "dos_devices")) return false;
  std::map<std::string, std::size_t> seen;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string w = at_index("dos_devices", i);
    const Json& e = v[i];
    if (!c.object(e, w) || !c.only_keys(e, w, {"name", "target"})) return false;
    DosDevice dev;
    const Json* name = c.require(e, w, "name");
    const Json* target = name ? c.require(e, w, "target") : nullptr;
    if (!target || !c.name_text(*name, at_key(w, "name"), dev.name)) return false;
    if (dev.name.find('\\') != std::string::npos) {
      return c.fail(at_key(w, "name"), "a DOS name holds no '\\'");
    }
    const std::string tw = at_key(w, "target");
    if (target->is_array()) {
      if (target->empty()) return c.fail(tw, "must name at least one target");
      for (std::size_t k = 0; k < target->size(); ++k) {
        std::string t;
        if (!c.name_text((*target)[k], at_index(tw, k), t)) return false;
        dev.targets.push_back(std::move(t));
      }
    } else {
      std::string t;
      if (!target->is_string()) return c.fail(tw, "expected a text or an array of texts");
      if (!c.name_text(*target, tw, t)) return false;
      dev.targets.push_back(std::move(t));
    }
    auto [it, fresh] = seen.emplace(fold_case(dev.name), i);
    if (!fresh) {
      return c.fail(at_key(w, "name"), "'" + dev.name + "' is already listed at " +
                                           at_index("dos_devices", it->second));
    }
    image.dos_devices.push_back(std::move(dev));
  }
  return true;
}

bool load_volumes(Checker& c, const Json& v, HostImage& image) {
  if (!c.array(v, "volumes")) return false;
  std::map<std::string, std::size_t> seen;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string w = at_index("volumes", i);
    const Json& e = v[i];
    if (!c.object(e, w) || !c.only_keys(e, w, {"target", "disks", "open_error", "extents_error"})) {
      return false;
    }
    Volume vol;
    const Json* target = c.require(e, w, "target");
    if (!target || !c.name_text(*target, at_key(w, "target"), vol.target)) return false;
    if (const Json* x = c.find(e, "disks")) {
      const std::string dw = at_key(w, "disks");
      if (!c.array(*x, dw)) return false;
      vol.disks.resize(x->size());
      for (std::size_t k = 0; k < x->size(); ++k) {
        if (!c.uint((*x)[k], at_index(dw, k), vol.disks[k])) return false;
      }
    }
    if (const Json* x = c.find(e, "open_error");
        x && !c.uint(*x, at_key(w, "open_error"), vol.open_error)) {
      return false;
    }
    if (const Json* x = c.find(e, "extents_error");
        x && !c.uint(*x, at_key(w, "extents_error"), vol.extents_error)) {
      return false;
    }
    auto [it, fresh] = seen.emplace(fold_case(vol.target), i);
    if (!fresh) {
      return c.fail(at_key(w, "target"),
                    "'" + vol.target + "' is already listed at " + at_index("volumes", it->second));
    }
    image.volumes.push_back(std::move(vol));
  }
  return true;
}

bool load_mount_points(Checker& c, const Json& v, HostImage& image) {
  if (!c.array(v, "mount_points")) return false;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string w = at_index("mount_points", i);
    const Json& e = v[i];
    if (!c.object(e, w) || !c.only_keys(e, w, {"volume", "paths"})) return false;
    MountPoints mp;
    const Json* volume = c.require(e, w, "volume");
    if (!volume || !c.name_text(*volume, at_key(w, "volume"), mp.volume)) return false;
    if (const Json* x = c.find(e, "paths")) {
      const std::string pw = at_key(w, "paths");
      if (!c.array(*x, pw)) return false;
      for (std::size_t k = 0; k < x->size(); ++k) {
        std::string path;
        if (!c.name_text((*x)[k], at_index(pw, k), path)) return false;
        mp.paths.push_back(std::move(path));
      }
    }
    image.mount_points.push_back(std::move(mp));
  }
  return true;
}

bool load_document(Checker& c, const Json& doc, const std::filesystem::path& base,
                   HostImage& image) {
  if (!c.object(doc, "") || !c.only_keys(doc, "",
                                         {"root", "disks", "dos_devices", "volumes", "mount_points",
                                          "mountvol_output", "dos_list_error", "pairs"})) {
    return false;
  }
  image.root = base;
  if (const Json* x = c.find(doc, "root")) {
    std::string root;
    if (!c.text(*x, "root", root)) return false;
    std::string native = root;
#ifndef _WIN32
    for (char& ch : native)
      if (ch == '\\') ch = '/';
#endif
    image.root = (base / std::filesystem::path(native)).lexically_normal();
  }
  if (const Json* x = c.find(doc, "disks"); x && !load_disks(c, *x, image)) return false;
  if (const Json* x = c.find(doc, "dos_devices"); x && !load_dos_devices(c, *x, image)) {
    return false;
  }
  if (const Json* x = c.find(doc, "volumes"); x && !load_volumes(c, *x, image)) return false;
  if (const Json* x = c.find(doc, "mount_points"); x && !load_mount_points(c, *x, image)) {
    return false;
  }
  if (const Json* x = c.find(doc, "mountvol_output")) {
    std::string text;
    if (!c.text(*x, "mountvol_output", text)) return false;
    image.mountvol_output = std::move(text);
  }
  if (const Json* x = c.find(doc, "dos_list_error");
      x && !c.uint(*x, "dos_list_error", image.dos_list_error)) {
    return false;
  }
  return true;
}

// Follows the parser through the document to name the place of a key that an object
// holds twice (the parser itself would silently keep one of them).
class DuplicateKeyFinder {
 public:
  std::string problem;

  bool on_event(nlohmann::detail::parse_event_t event, const Json& parsed) {
    using E = nlohmann::detail::parse_event_t;
    switch (event) {
      case E::object_start:
        frames_.push_back(Frame{false, 0, {}, {}});
        break;
      case E::array_start:
        frames_.push_back(Frame{true, 0, {}, {}});
        break;
      case E::key:
        if (!frames_.empty() && parsed.is_string()) {
          Frame& f = frames_.back();
          f.key = parsed.get<std::string>();
          if (!f.keys.insert(f.key).second && problem.empty()) {
            const std::string where = path();
            problem = (where.empty() ? std::string("top level") : where) + ": key '" + f.key +
                      "' appears twice";
          }
        }
        break;
      case E::object_end:
      case E::array_end:
        if (!frames_.empty()) frames_.pop_back();
        element_done();
        break;
      case E::value:
        element_done();
        break;
    }
    return true;
  }

 private:
  struct Frame {
    bool array;
    std::size_t index;
    std::string key;
    std::set<std::string> keys;
  };
  std::vector<Frame> frames_;

  void element_done() {
    if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
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
  DuplicateKeyFinder duplicates;
  Json doc;
  try {
    doc = Json::parse(text.begin(), text.end(),
                      [&duplicates](int, nlohmann::detail::parse_event_t event, Json& parsed) {
                        return duplicates.on_event(event, parsed);
                      });
  } catch (const nlohmann::json::parse_error& e) {
    problem = parse_error_text(e.what());
    return false;
  }
  if (!duplicates.problem.empty()) {
    problem = duplicates.problem;
    return false;
  }
  HostImage loaded;
  Checker checker;
  if (!load_document(checker, doc, base, loaded)) {
    problem = checker.problem;
    return false;
  }
  loaded.document = std::move(doc);
  image = std::move(loaded);
  return true;
}

bool load_host_image_file(const std::string& path, HostImage& image, std::string& error) {
  const std::string head = "voxmira: host image '" + path + "': ";
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
