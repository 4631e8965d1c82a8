#include "tools/capture/serial_fields.h"

#include <algorithm>

#include "inquiry/byte_view.h"
#include "inquiry/family.h"
#include "inquiry/page83.h"
#include "inquiry/std_identity.h"
#include "inquiry/std_layout.h"
#include "inquiry/text_numbers.h"
#include "platform/win_defs.h"

namespace vox::capture {
namespace {

namespace hi = plat::hostimage;
using Bytes = hi::Bytes;

constexpr std::size_t kStdImageSize = 256;
constexpr std::size_t kE2Serial = 28;  // the real volume's serial text and LDEV, 12 bytes
constexpr std::size_t kE2Shift = std_byte::kSerialText - kE2Serial;
constexpr std::size_t kIdText = 8;  // page 0x83: the first identifier's text
constexpr std::size_t kModelText = 16;
constexpr std::size_t kShortRunAt = 20;  // four-digit page 0x83 notations
constexpr std::uint8_t kVendorPage = 0xE2;
constexpr std::uint8_t kIdPage = 0x83;

int digit_value(std::uint8_t c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < base ? v : -1;
}

// The digits read_decimal / read_hex take from `count` bytes at `at`.
void find_run(ByteView v, std::size_t at, std::size_t count, int base, SerialField& f) {
  std::size_t i = at;
  while (i < at + count && v[i] == ' ') ++i;
  f.run_at = i;
  while (i < at + count && digit_value(v[i], base) >= 0) ++i;
  f.run_len = i - f.run_at;
  f.base = base;
}

// The standard image the transport makes from raw device properties.
Bytes property_view(const Bytes& raw) {
  if (raw.size() < 36) return {};
  Bytes v = raw;
  v[std_byte::kAdditionalLength] = static_cast<std::uint8_t>(raw.size() - 5);
  return v;
}

const Bytes* page_data(const hi::Disk& d, std::uint8_t code) {
  const auto it = d.pages.find(code);
  return it == d.pages.end() ? nullptr : &it->second.data;
}

bool maker_e2(const hi::Disk& d) {
  const Bytes* e2 = page_data(d, kVendorPage);
  return e2 != nullptr && e2->size() > 2 && (*e2)[1] == kVendorPage && (*e2)[2] == 0x02;
}

// The standard data the probe works with: the inquiry, or the property image when the
// pass-through answered "not ready".
Bytes probe_std_image(const hi::Disk& d) {
  if (d.inquiry_error == win::ERROR_NOT_READY && d.device_property)
    return property_view(*d.device_property);
  return d.inquiry;
}

// The probe's image with the vendor page's serial and LDEV text laid over bytes 36..47.
Bytes substituted_image(const hi::Disk& d) {
  Bytes v = probe_std_image(d);
  v.resize(std::max(v.size(), kStdImageSize), 0);
  const Bytes& e2 = *page_data(d, kVendorPage);
  for (std::size_t k = 0; k < 12; ++k) {
    const std::size_t from = kE2Serial + k;
    v[std_byte::kSerialText + k] = from < e2.size() ? e2[from] : 0;
  }
  return v;
}

std::string std_notation(ByteView v) {
  std::string n = "std";
  n += family_gate(v) ? 'g' : '-';
  n += in_group_a(v) ? 'A' : '-';
  n += in_group_q(v) ? 'Q' : '-';
  n += in_group_p(v) ? 'P' : '-';
  n += v[std_byte::kSerialText + 2] == ' ' ? 'b' : '-';
  return n;
}

bool std_field(ByteView v, SerialSource source, SerialField& f) {
  using namespace std_byte;
  const std::uint8_t first = v[kSerialText];
  const std::uint8_t second = v[kSerialText + 1];
  const bool seven =
      first == '7' && (second == '1' || second == '3' || second == '5' || second == '7');
  const bool marker = v[kAdditionalLength] >= 139 && v.matches(kPlMarker, "PL00");
  f = SerialField{};
  f.source = source;
  if (marker || seven) {
    find_run(v, kSerialText, 8, 10, f);
    f.keep = seven ? 2 : 0;  // "7" and its second digit name group P
  } else if (first == '5' && (second == '0' || second == '1')) {
    find_run(v, kSerialText + 3, 5, 16, f);
    if (v[kSerialText + 2] != ' ') f.add = (read_decimal(v, kSerialText, 3) - 500) * 100000LL;
  } else {
    find_run(v, kSerialText + 4, 4, 16, f);
  }
  if (f.run_len == 0) return false;
  f.keep = std::min(f.keep, f.run_len);
  f.value = std_serial(v);
  f.notation = std_notation(v);
  return true;
}

bool page83_field(ByteView v, SerialSource source, std::size_t index, SerialField& f) {
  const std::optional<Page83Row> row = find_page83_row(v);
  if (!row) return false;
  f = SerialField{};
  f.source = source;
  f.index = index;
  find_run(v, row->serial_at, row->serial_len, row->serial_base, f);
  if (f.run_len == 0) return false;
  if (row->model_offset) f.add = (read_decimal(v, kModelText, 3) - 500) * 100000LL;
  const std::size_t key_end = kIdText + row->key.size();
  f.keep = f.run_at < key_end ? std::min(key_end - f.run_at, f.run_len) : 0;
  const std::int32_t digits = row->serial_base == 16
                                  ? read_hex(v, row->serial_at, row->serial_len)
                                  : read_decimal(v, row->serial_at, row->serial_len);
  f.value = f.add + digits;
  f.notation = "p83 " + std::string(row->key);
  return true;
}

// The byte of the answer that stands at `pos` of the text voxmira reads, or null.
std::uint8_t* text_byte(hi::Disk& d, const SerialField& f, std::size_t pos) {
  Bytes* bytes = nullptr;
  std::size_t shift = 0;
  switch (f.source) {
    case SerialSource::std_inquiry:
      bytes = &d.inquiry;
      break;
    case SerialSource::device_property:
      if (d.device_property) bytes = &*d.device_property;
      break;
    case SerialSource::page_e2:
      bytes = &d.pages[kVendorPage].data;
      shift = kE2Shift;
      break;
    case SerialSource::page_83:
      bytes = &d.pages[kIdPage].data;
      break;
    case SerialSource::id_property:
      if (d.id_property && f.index < d.id_property->size()) bytes = &(*d.id_property)[f.index].id;
      shift = kIdText;
      break;
  }
  if (bytes == nullptr || pos < shift || pos - shift >= bytes->size()) return nullptr;
  return &(*bytes)[pos - shift];
}

std::int64_t power(int base, std::size_t n) {
  std::int64_t p = 1;
  while (n-- > 0) p *= base;
  return p;
}

}  // namespace

std::int64_t SerialField::low() const {
  const std::int64_t span = power(base, run_len - keep);
  return add + (value - add) / span * span;
}

std::int64_t SerialField::high() const {
  return low() + power(base, run_len - keep) - 1;
}

std::vector<SerialField> find_serial_fields(const hi::Disk& d) {
  std::vector<SerialField> out;
  SerialField f;
  const bool vendor_page = maker_e2(d);
  if (family_gate(ByteView(d.inquiry)) || vendor_page) {
    if (std_field(ByteView(d.inquiry), SerialSource::std_inquiry, f)) out.push_back(f);
  }
  if (d.device_property) {
    const Bytes view = property_view(*d.device_property);
    if ((family_gate(ByteView(view)) || vendor_page) &&
        std_field(ByteView(view), SerialSource::device_property, f)) {
      out.push_back(f);
    }
  }
  if (vendor_page) {
    const Bytes view = substituted_image(d);
    if (std_field(ByteView(view), SerialSource::page_e2, f)) out.push_back(f);
  }
  if (const Bytes* p83 = page_data(d, kIdPage)) {
    if (page83_field(ByteView(*p83), SerialSource::page_83, 0, f)) out.push_back(f);
  }
  if (d.id_property) {
    for (std::size_t i = 0; i < d.id_property->size(); ++i) {
      const Bytes& id = (*d.id_property)[i].id;
      Bytes view(kIdText + id.size(), 0);
      std::copy(id.begin(), id.end(), view.begin() + kIdText);
      if (page83_field(ByteView(view), SerialSource::id_property, i, f)) out.push_back(f);
    }
  }
  return out;
}

void write_serial(hi::Disk& d, const SerialField& f, std::int64_t value) {
  bool lower = false;
  for (std::size_t k = 0; k < f.run_len; ++k) {
    const std::uint8_t* b = text_byte(d, f, f.run_at + k);
    lower = lower || (b != nullptr && *b >= 'a' && *b <= 'f');
  }
  std::int64_t digits = value - f.add;
  for (std::size_t k = f.run_len; k-- > 0;) {
    const auto digit = static_cast<int>(digits % f.base);
    digits /= f.base;
    if (std::uint8_t* b = text_byte(d, f, f.run_at + k)) {
      *b = static_cast<std::uint8_t>(digit < 10 ? '0' + digit : (lower ? 'a' : 'A') + digit - 10);
    }
  }
  const bool page = f.source == SerialSource::page_83 || f.source == SerialSource::id_property;
  if (page && f.run_at == kShortRunAt) {
    std::uint8_t* before = text_byte(d, f, f.run_at - 1);
    if (before != nullptr && digit_value(*before, f.base) >= 0) *before = '0';
  }
}

}  // namespace vox::capture
