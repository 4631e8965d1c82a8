// Windows constants and the records of the control codes the tool uses, laid out as a
// 64-bit Windows lays them out. Both backends and the logic above them share these
// definitions, so a record built here is byte for byte what Windows reads or writes.
// Records that reach files (the drive layouts) are never read through these structs:
// layout/ reads them at fixed little-endian offsets (see layout/layout_records.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vox::win {

// CreateFile access, share mode, disposition and attributes.
inline constexpr std::uint32_t GENERIC_READ = 0x80000000u;
inline constexpr std::uint32_t GENERIC_WRITE = 0x40000000u;
inline constexpr std::uint32_t FILE_SHARE_READ = 0x1;
inline constexpr std::uint32_t FILE_SHARE_WRITE = 0x2;
inline constexpr std::uint32_t CREATE_ALWAYS = 2;
inline constexpr std::uint32_t OPEN_EXISTING = 3;
inline constexpr std::uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;

// SetErrorMode.
inline constexpr unsigned SEM_FAILCRITICALERRORS = 0x0001;
inline constexpr unsigned SEM_NOOPENFILEERRORBOX = 0x8000;

// Error codes.
inline constexpr std::uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::uint32_t ERROR_PATH_NOT_FOUND = 3;
inline constexpr std::uint32_t ERROR_ACCESS_DENIED = 5;
inline constexpr std::uint32_t ERROR_INVALID_HANDLE = 6;
inline constexpr std::uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr std::uint32_t ERROR_NOT_READY = 21;
inline constexpr std::uint32_t ERROR_NOT_SUPPORTED = 50;
inline constexpr std::uint32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr std::uint32_t ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr std::uint32_t ERROR_ENVVAR_NOT_FOUND = 203;
inline constexpr std::uint32_t ERROR_IO_DEVICE = 1117;

// Control codes.
inline constexpr std::uint32_t IOCTL_SCSI_PASS_THROUGH_DIRECT = 0x0004D014;
inline constexpr std::uint32_t IOCTL_STORAGE_QUERY_PROPERTY = 0x002D1400;
inline constexpr std::uint32_t IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS = 0x00560000;
inline constexpr std::uint32_t IOCTL_DISK_GET_DRIVE_LAYOUT = 0x0007400C;
inline constexpr std::uint32_t IOCTL_DISK_GET_DRIVE_LAYOUT_EX = 0x00070050;
inline constexpr std::uint32_t IOCTL_DISK_SET_DRIVE_LAYOUT = 0x0007C010;
inline constexpr std::uint32_t IOCTL_DISK_SET_DRIVE_LAYOUT_EX = 0x0007C054;

// SCSI_PASS_THROUGH_DIRECT.
inline constexpr std::uint8_t SCSI_IOCTL_DATA_OUT = 0;
inline constexpr std::uint8_t SCSI_IOCTL_DATA_IN = 1;

struct ScsiPassThroughDirect {
  std::uint16_t Length;
  std::uint8_t ScsiStatus;
  std::uint8_t PathId;
  std::uint8_t TargetId;
  std::uint8_t Lun;
  std::uint8_t CdbLength;
  std::uint8_t SenseInfoLength;
  std::uint8_t DataIn;
  std::uint32_t DataTransferLength;
  std::uint32_t TimeOutValue;
  void* DataBuffer;
  std::uint32_t SenseInfoOffset;
  std::uint8_t Cdb[16];
};

// The pass-through block: the record followed directly by a 256-byte sense area.
struct ScsiPassThroughBlock {
  ScsiPassThroughDirect sptd;
  std::uint8_t sense[256];
};

// STORAGE_PROPERTY_QUERY.
inline constexpr std::uint32_t StorageDeviceProperty = 0;
inline constexpr std::uint32_t StorageDeviceIdProperty = 2;
inline constexpr std::uint32_t PropertyStandardQuery = 0;

struct StoragePropertyQuery {
  std::uint32_t PropertyId;
  std::uint32_t QueryType;
  std::uint8_t AdditionalParameters[4];
};

// STORAGE_DEVICE_DESCRIPTOR: fixed part; RawDeviceProperties follow at offset 36.
inline constexpr std::size_t kDeviceDescriptorRawOffset = 36;
inline constexpr std::size_t kDeviceDescriptorRawLengthOffset = 32;
// STORAGE_DEVICE_ID_DESCRIPTOR: NumberOfIdentifiers at 8, identifiers from 12.
inline constexpr std::size_t kIdDescriptorCountOffset = 8;
inline constexpr std::size_t kIdDescriptorFirstOffset = 12;
// STORAGE_IDENTIFIER: CodeSet u32 @0, Type u32 @4, IdentifierSize u16 @8,
// NextOffset u16 @10, Association u32 @12, Identifier bytes from 16.
inline constexpr std::size_t kIdentifierHeaderSize = 16;

// VOLUME_DISK_EXTENTS: NumberOfDiskExtents u32 @0, DISK_EXTENT records from 8, each
// DiskNumber u32 @0, StartingOffset i64 @8, ExtentLength i64 @16.
inline constexpr std::size_t kDiskExtentsHeaderSize = 8;
inline constexpr std::size_t kDiskExtentSize = 24;
inline constexpr std::size_t kMaxDiskExtents = 1024;
inline constexpr std::size_t kDiskExtentsBufferSize =
    kDiskExtentsHeaderSize + kMaxDiskExtents * kDiskExtentSize;  // 24584

// Drive layouts (header and entry sizes of the two forms).
inline constexpr std::size_t kLayoutHeaderSize = 8;     // DRIVE_LAYOUT_INFORMATION
inline constexpr std::size_t kLayoutEntrySize = 32;     // PARTITION_INFORMATION
inline constexpr std::size_t kLayoutExHeaderSize = 48;  // DRIVE_LAYOUT_INFORMATION_EX
inline constexpr std::size_t kLayoutExEntrySize = 144;  // PARTITION_INFORMATION_EX
inline constexpr std::size_t kMaxLayoutEntries = 1024;
inline constexpr std::size_t kLayoutBufferSize =
    kLayoutHeaderSize + kMaxLayoutEntries * kLayoutEntrySize;  // 32776
inline constexpr std::size_t kLayoutExBufferSize =
    kLayoutExHeaderSize + kMaxLayoutEntries * kLayoutExEntrySize;  // 147504

}  // namespace vox::win

#if UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
static_assert(sizeof(vox::win::ScsiPassThroughDirect) == 56);
static_assert(sizeof(vox::win::ScsiPassThroughBlock) == 312);
static_assert(offsetof(vox::win::ScsiPassThroughDirect, DataBuffer) == 24);
static_assert(offsetof(vox::win::ScsiPassThroughDirect, Cdb) == 36);
#endif
static_assert(vox::win::kLayoutBufferSize == 32776);
static_assert(vox::win::kLayoutExBufferSize == 147504);
static_assert(vox::win::kDiskExtentsBufferSize == 24584);
