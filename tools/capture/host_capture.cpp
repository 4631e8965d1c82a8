#include "tools/capture/host_capture.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hostimage/utf_text.h"
#include "platform/platform.h"
#include "platform/win_defs.h"
#include "tools/capture/disk_capture.h"
#include "tools/capture/host_answers.h"

namespace vox::capture {
namespace {

constexpr std::uint32_t kListFirstUnits = 16384;
constexpr std::uint32_t kListMostUnits = 1u << 24;
constexpr std::uint32_t kTargetFirstSize = 1024;
constexpr std::uint32_t kTargetMostSize = 1u << 20;
constexpr std::size_t kMountvolMostBytes = std::size_t{16} << 20;

constexpr std::uint32_t kShareReadWrite = win::FILE_SHARE_READ | win::FILE_SHARE_WRITE;

std::string fold(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

class Recorder {
 public:
  explicit Recorder(std::FILE* progress) : progress_(progress) {}

  Capture run() {
    read_mountvol();
    read_dos_names();
    read_volumes();
    read_disks();
    return std::move(cap_);
  }

 private:
  void note(std::string text) { cap_.notes.push_back(std::move(text)); }

  void read_mountvol() {
    std::string& text = cap_.image.mountvol_output.emplace();
    std::FILE* pipe = plat::popen("mountvol.exe 2>NUL", "rt");
    if (pipe == nullptr) {
      note("mountvol.exe could not be started: the image answers it with no output");
      ++cap_.errors;
      return;
    }
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
      if (text.size() + got > kMountvolMostBytes) {
        note("the output of mountvol.exe is cut at 16 MiB");
        break;
      }
      text.append(chunk, got);
    }
    plat::pclose(pipe);
    text = valid_utf8(text);
  }

  void read_dos_names() {
    std::vector<char16_t> units;
    for (std::uint32_t size = kListFirstUnits;; size *= 2) {
      units.assign(size, u'\0');
      const std::uint32_t n = plat::QueryDosDeviceListW(units.data(), size);
      if (n != 0) {
        for (const std::u16string& name :
             split_name_list(std::span(units.data(), std::min(n, size)))) {
          add_name(name, true);
        }
        return;
      }
      const std::uint32_t error = plat::GetLastError();
      if (error == 0) return;  // no names at all
      if (error == win::ERROR_INSUFFICIENT_BUFFER && size < kListMostUnits) continue;
      if (error == win::ERROR_INSUFFICIENT_BUFFER) {
        note("the DOS name list is longer than 16777216 units: only single names are recorded");
      } else {
        cap_.image.dos_list_error = error;
        ++cap_.errors;
      }
      break;
    }
    // Single names still resolve: the drive letters and the volumes mountvol lists.
    for (char letter = 'A'; letter <= 'Z'; ++letter) add_name({char16_t(letter), u':'}, false);
    const std::string& text = *cap_.image.mountvol_output;
    for (std::size_t at = text.find("\\\\?\\Volume{"); at != std::string::npos;
         at = text.find("\\\\?\\Volume{", at + 1)) {
      const std::size_t end = text.find('}', at);
      if (end == std::string::npos) break;
      add_name(hi::utf8_to_utf16(text.substr(at + 4, end + 1 - (at + 4))), false);
    }
  }

  // Records one DOS name with its targets. `listed`: the name came from the list, so a
  // failure to resolve it is worth a note.
  void add_name(const std::u16string& wide, bool listed) {
    const std::string name = hi::utf16_to_utf8(wide);
    const std::string narrow = narrow_name(wide);
    if (name.empty()) return;
    if (name.find('\\') != std::string::npos) {
      note("DOS name '" + name + "' holds a backslash and is left out");
      return;
    }
    if (!seen_names_.insert(fold(name)).second) {
      if (listed) note("DOS name '" + name + "' is listed more than once; the image lists it once");
      return;
    }
    std::vector<std::string> targets;
    std::uint32_t error = 0;
    for (std::uint32_t size = kTargetFirstSize;; size *= 2) {
      std::vector<char> buffer(size, '\0');
      const std::uint32_t n = plat::QueryDosDeviceA(narrow.c_str(), buffer.data(), size);
      if (n != 0) {
        targets = split_targets(std::span(buffer.data(), std::min(n, size)));
        error = 0;
        break;
      }
      error = last_error();
      if (error != win::ERROR_INSUFFICIENT_BUFFER || size >= kTargetMostSize) break;
    }
    std::erase_if(targets, [](const std::string& t) { return t.empty(); });
    if (targets.empty()) {
      // voxmira passes over such a name as it passes over a missing one.
      if (listed && error != 0) {
        note("QueryDosDevice of '" + name + "' fails with " + std::to_string(error) +
             ": the name is left out");
        ++cap_.errors;
      } else if (listed) {
        note("DOS name '" + name + "' has no target: the name is left out");
      }
      return;
    }
    for (std::string& t : targets) t = valid_utf8(t);
    cap_.image.dos_devices.push_back(hi::DosDevice{name, std::move(targets)});
    narrow_names_.push_back(narrow);
  }

  // The volume behind "\\.\NAME" as voxmira opens it: access 0, then its disk extents
  // into a buffer of 1024 records.
  static hi::Volume read_volume(const std::string& narrow) {
    hi::Volume volume;
    const std::string path = "\\\\.\\" + narrow;
    plat::UniqueHandle h(plat::CreateFileA(path.c_str(), 0, kShareReadWrite, win::OPEN_EXISTING,
                                           win::FILE_ATTRIBUTE_NORMAL));
    if (!h.valid()) {
      volume.open_error = last_error();
      return volume;
    }
    Bytes out(win::kDiskExtentsBufferSize, 0);
    std::uint32_t returned = 0;
    if (!plat::DeviceIoControl(h.get(), win::IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0,
                               out.data(), static_cast<std::uint32_t>(out.size()), &returned)) {
      volume.extents_error = last_error();
    } else {
      volume.disks =
          extent_disks(std::span(out).first(std::min<std::size_t>(returned, out.size())));
    }
    return volume;
  }

  static bool same_answer(const hi::Volume& a, const hi::Volume& b) {
    return a.open_error == b.open_error && a.extents_error == b.extents_error && a.disks == b.disks;
  }

  static bool is_drive_name(const std::string& name) {
    return name.size() == 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]));
  }

  // Every volume through each of its names. A host image answers for a volume alike
  // through all of them; where the host does not, the drive letter's answer is kept,
  // the one voxmira's most common words meet.
  void read_volumes() {
    const auto& names = cap_.image.dos_devices;
    std::vector<std::string> targets;
    std::map<std::string, std::vector<std::size_t>> names_of;  // folded target -> names
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::string& target = names[i].targets.front();
      if (!is_volume_target(target)) continue;
      auto& list = names_of[fold(target)];
      if (list.empty()) targets.push_back(target);
      list.push_back(i);
    }
    for (const std::string& target : targets) {
      const std::vector<std::size_t>& list = names_of[fold(target)];
      std::vector<hi::Volume> answers;
      std::size_t chosen = 0;
      for (std::size_t k = 0; k < list.size(); ++k) {
        answers.push_back(read_volume(narrow_names_[list[k]]));
        if (is_drive_name(names[list[k]].name) && !is_drive_name(names[list[chosen]].name))
          chosen = k;
      }
      for (std::size_t k = 0; k < list.size(); ++k) {
        if (!same_answer(answers[k], answers[chosen])) {
          note("volume " + target + " answers through '" + names[list[k]].name +
               "' otherwise than through '" + names[list[chosen]].name +
               "': the image answers as through '" + names[list[chosen]].name + "'");
        }
      }
      hi::Volume volume = std::move(answers[chosen]);
      volume.target = target;
      if (volume.open_error != 0 || volume.extents_error != 0) ++cap_.errors;
      for (std::uint32_t d : volume.disks) known_drives_.insert(d);
      cap_.image.volumes.push_back(std::move(volume));
    }
    for (const hi::DosDevice& d : names) {
      if (const auto n = physical_drive_number(d.name)) known_drives_.insert(*n);
    }
  }

  void read_disks() {
    std::set<std::uint32_t> todo;
    for (std::uint32_t n = 0; n < kFirstDrivesTried; ++n) todo.insert(n);
    for (std::uint32_t n : known_drives_) {
      if (n <= kMaxDiskNumber) todo.insert(n);
      add_following(todo, n);
    }
    while (!todo.empty()) {
      const std::uint32_t n = *todo.begin();
      todo.erase(todo.begin());
      // Only a drive that opens widens the search: a host that refuses every number
      // with some other code must not make it endless.
      if (read_disk(n)) add_following(todo, n);
    }
  }

  static void add_following(std::set<std::uint32_t>& todo, std::uint32_t n) {
    for (std::uint32_t k = 1; k <= kDrivesTriedPastOne && n <= kMaxDiskNumber - k; ++k)
      todo.insert(n + k);
  }

  // True when the drive opened.
  bool read_disk(std::uint32_t number) {
    const std::string path = "\\\\.\\PhysicalDrive" + std::to_string(number);
    plat::UniqueHandle h(plat::CreateFileA(path.c_str(), win::GENERIC_READ | win::GENERIC_WRITE,
                                           kShareReadWrite, win::OPEN_EXISTING,
                                           win::FILE_ATTRIBUTE_NORMAL));
    hi::Disk disk;
    disk.number = number;
    if (!h.valid()) {
      const std::uint32_t error = last_error();
      if (error == win::ERROR_FILE_NOT_FOUND) return false;  // what an unlisted drive gives
      disk.open_error = error;
      ++cap_.errors;
      add_disk(std::move(disk));
      return false;
    }
    std::vector<std::string> notes;
    cap_.errors += capture_disk(h.get(), disk, notes);
    if (!notes.empty()) cap_.disk_notes[number] = std::move(notes);
    add_disk(std::move(disk));
    return true;
  }

  void add_disk(hi::Disk disk) {
    cap_.image.disks.push_back(std::move(disk));
    if (progress_ != nullptr && cap_.image.disks.size() % kProgressEvery == 0) {
      std::fprintf(progress_, "captured %zu drives so far\n", cap_.image.disks.size());
      std::fflush(progress_);
    }
  }

  std::FILE* progress_;
  Capture cap_;
  std::set<std::string> seen_names_;
  std::vector<std::string> narrow_names_;  // beside image.dos_devices
  std::set<std::uint32_t> known_drives_;
};

}  // namespace

Capture capture_host(std::FILE* progress) {
  Capture cap = Recorder(progress).run();
  std::sort(cap.image.disks.begin(), cap.image.disks.end(),
            [](const hi::Disk& a, const hi::Disk& b) { return a.number < b.number; });
  return cap;
}

}  // namespace vox::capture
