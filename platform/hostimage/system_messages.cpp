#include "platform/hostimage/system_messages.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace vox::plat::hostimage {
namespace {

struct Message {
  std::uint32_t code;
  const char* text;
};

// Sorted by code.
constexpr std::array kMessages = {
    Message{1, "Incorrect function."},
    Message{2, "The system cannot find the file specified."},
    Message{3, "The system cannot find the path specified."},
    Message{4, "The system cannot open the file."},
    Message{5, "Access is denied."},
    Message{6, "The handle is invalid."},
    Message{8, "Not enough memory resources are available to process this command."},
    Message{13, "The data is invalid."},
    Message{14, "Not enough memory resources are available to complete this operation."},
    Message{15, "The system cannot find the drive specified."},
    Message{19, "The media is write protected."},
    Message{21, "The device is not ready."},
    Message{22, "The device does not recognize the command."},
    Message{23, "Data error (cyclic redundancy check)."},
    Message{24, "The program issued a command but the command length is incorrect."},
    Message{25, "The drive cannot locate a specific area or portion on the disk."},
    Message{29, "The system cannot write to the specified device."},
    Message{30, "The system cannot read from the specified device."},
    Message{31, "A device attached to the system is not functioning."},
    Message{32, "The process cannot access the file because it is being used by another process."},
    Message{33,
            "The process cannot access the file because another process has locked a portion "
            "of the file."},
    Message{38, "Reached the end of the file."},
    Message{50, "The request is not supported."},
    Message{55, "The specified network resource or device is no longer available."},
    Message{80, "The file exists."},
    Message{87, "The parameter is incorrect."},
    Message{112, "There is not enough space on the disk."},
    Message{121, "The semaphore timeout period has expired."},
    Message{122, "The data area passed to a system call is too small."},
    Message{123, "The filename, directory name, or volume label syntax is incorrect."},
    Message{170, "The requested resource is in use."},
    Message{183, "Cannot create a file when that file already exists."},
    Message{203, "The system could not find the environment option that was entered."},
    Message{206, "The filename or extension is too long."},
    Message{234, "More data is available."},
    Message{267, "The directory name is invalid."},
    Message{995,
            "The I/O operation has been aborted because of either a thread exit or an "
            "application request."},
    Message{997, "Overlapped I/O operation is in progress."},
    Message{998, "Invalid access to memory location."},
    Message{1110, "The media in the drive may have changed."},
    Message{1112, "No media in drive."},
    Message{1117, "The request could not be performed because of an I/O device error."},
    Message{1167, "The device is not connected."},
    Message{1168, "Element not found."},
    Message{1460, "This operation returned because the timeout period expired."},
    Message{1784, "The supplied user buffer is not valid for the requested operation."},
    Message{4319, "The device is not ready for use."},
};

static_assert(std::is_sorted(kMessages.begin(), kMessages.end(),
                             [](const Message& a, const Message& b) { return a.code < b.code; }));

}  // namespace

std::string system_message(std::uint32_t code, std::string_view line_end) {
  const auto it = std::lower_bound(kMessages.begin(), kMessages.end(), code,
                                   [](const Message& m, std::uint32_t c) { return m.code < c; });
  std::string text;
  if (it != kMessages.end() && it->code == code) {
    text = it->text;
  } else {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer,
                  "The system cannot find message text for message number 0x%x in the message "
                  "file for System.",
                  static_cast<unsigned>(code));
    text = buffer;
  }
  text += line_end;
  return text;
}

}  // namespace vox::plat::hostimage
