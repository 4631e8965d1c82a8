// The records and constants of win_defs.h checked against the Windows headers at
// compile time. win_defs.h has to be read first: the Windows headers define most of
// its names as macros, so its values are copied into differently named constants
// before <windows.h> comes in.
#include <cstddef>
#include <cstdint>

#include "platform/win_defs.h"

namespace vox::win::ours {

constexpr std::uint32_t generic_read = GENERIC_READ;
constexpr std::uint32_t generic_write = GENERIC_WRITE;
constexpr std::uint32_t file_share_read = FILE_SHARE_READ;
constexpr std::uint32_t file_share_write = FILE_SHARE_WRITE;
constexpr std::uint32_t create_always = CREATE_ALWAYS;
constexpr std::uint32_t open_existing = OPEN_EXISTING;
constexpr std::uint32_t file_attribute_normal = FILE_ATTRIBUTE_NORMAL;
constexpr unsigned sem_failcriticalerrors = SEM_FAILCRITICALERRORS;
constexpr unsigned sem_noopenfileerrorbox = SEM_NOOPENFILEERRORBOX;

constexpr std::uint32_t error_file_not_found = ERROR_FILE_NOT_FOUND;
constexpr std::uint32_t error_path_not_found = ERROR_PATH_NOT_FOUND;
constexpr std::uint32_t error_access_denied = ERROR_ACCESS_DENIED;
constexpr std::uint32_t error_invalid_handle = ERROR_INVALID_HANDLE;
constexpr std::uint32_t error_not_enough_memory = ERROR_NOT_ENOUGH_MEMORY;
constexpr std::uint32_t error_not_ready = ERROR_NOT_READY;
constexpr std::uint32_t error_not_supported = ERROR_NOT_SUPPORTED;
constexpr std::uint32_t error_invalid_parameter = ERROR_INVALID_PARAMETER;
constexpr std::uint32_t error_insufficient_buffer = ERROR_INSUFFICIENT_BUFFER;
constexpr std::uint32_t error_envvar_not_found = ERROR_ENVVAR_NOT_FOUND;
constexpr std::uint32_t error_io_device = ERROR_IO_DEVICE;

constexpr std::uint32_t ioctl_scsi_pass_through_direct = IOCTL_SCSI_PASS_THROUGH_DIRECT;
constexpr std::uint32_t ioctl_storage_query_property = IOCTL_STORAGE_QUERY_PROPERTY;
constexpr std::uint32_t ioctl_volume_get_volume_disk_extents = IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS;
constexpr std::uint32_t ioctl_disk_get_drive_layout = IOCTL_DISK_GET_DRIVE_LAYOUT;
constexpr std::uint32_t ioctl_disk_get_drive_layout_ex = IOCTL_DISK_GET_DRIVE_LAYOUT_EX;
constexpr std::uint32_t ioctl_disk_set_drive_layout = IOCTL_DISK_SET_DRIVE_LAYOUT;
constexpr std::uint32_t ioctl_disk_set_drive_layout_ex = IOCTL_DISK_SET_DRIVE_LAYOUT_EX;

constexpr std::uint8_t scsi_ioctl_data_out = SCSI_IOCTL_DATA_OUT;
constexpr std::uint8_t scsi_ioctl_data_in = SCSI_IOCTL_DATA_IN;

}  // namespace vox::win::ours

#include <windows.h>
// The two below need the types of <windows.h>.
#include <ntddscsi.h>
#include <winioctl.h>

namespace ours = vox::win::ours;
using vox::win::ScsiPassThroughBlock;
using vox::win::ScsiPassThroughDirect;
using vox::win::StoragePropertyQuery;

static_assert(ours::generic_read == GENERIC_READ);
static_assert(ours::generic_write == GENERIC_WRITE);
static_assert(ours::file_share_read == FILE_SHARE_READ);
static_assert(ours::file_share_write == FILE_SHARE_WRITE);
static_assert(ours::create_always == CREATE_ALWAYS);
static_assert(ours::open_existing == OPEN_EXISTING);
static_assert(ours::file_attribute_normal == FILE_ATTRIBUTE_NORMAL);
static_assert(ours::sem_failcriticalerrors == SEM_FAILCRITICALERRORS);
static_assert(ours::sem_noopenfileerrorbox == SEM_NOOPENFILEERRORBOX);
static_assert((ours::sem_failcriticalerrors | ours::sem_noopenfileerrorbox) == 0x8001);

static_assert(ours::error_file_not_found == ERROR_FILE_NOT_FOUND);
static_assert(ours::error_path_not_found == ERROR_PATH_NOT_FOUND);
static_assert(ours::error_access_denied == ERROR_ACCESS_DENIED);
static_assert(ours::error_invalid_handle == ERROR_INVALID_HANDLE);
static_assert(ours::error_not_enough_memory == ERROR_NOT_ENOUGH_MEMORY);
static_assert(ours::error_not_ready == ERROR_NOT_READY);
static_assert(ours::error_not_supported == ERROR_NOT_SUPPORTED);
static_assert(ours::error_invalid_parameter == ERROR_INVALID_PARAMETER);
static_assert(ours::error_insufficient_buffer == ERROR_INSUFFICIENT_BUFFER);
static_assert(ours::error_envvar_not_found == ERROR_ENVVAR_NOT_FOUND);
static_assert(ours::error_io_device == ERROR_IO_DEVICE);

static_assert(ours::ioctl_scsi_pass_through_direct == IOCTL_SCSI_PASS_THROUGH_DIRECT);
static_assert(ours::ioctl_storage_query_property == IOCTL_STORAGE_QUERY_PROPERTY);
static_assert(ours::ioctl_volume_get_volume_disk_extents == IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS);
static_assert(ours::ioctl_disk_get_drive_layout == IOCTL_DISK_GET_DRIVE_LAYOUT);
static_assert(ours::ioctl_disk_get_drive_layout_ex == IOCTL_DISK_GET_DRIVE_LAYOUT_EX);
static_assert(ours::ioctl_disk_set_drive_layout == IOCTL_DISK_SET_DRIVE_LAYOUT);
static_assert(ours::ioctl_disk_set_drive_layout_ex == IOCTL_DISK_SET_DRIVE_LAYOUT_EX);
static_assert(ours::scsi_ioctl_data_out == SCSI_IOCTL_DATA_OUT);
static_assert(ours::scsi_ioctl_data_in == SCSI_IOCTL_DATA_IN);

// The pass-through record: same size and the same place for every field, and the
// sense area right behind it.
static_assert(sizeof(SCSI_PASS_THROUGH_DIRECT) == sizeof(ScsiPassThroughDirect));
static_assert(alignof(SCSI_PASS_THROUGH_DIRECT) == alignof(ScsiPassThroughDirect));
#define VOX_SAME_PLACE(field) \
  static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, field) == offsetof(ScsiPassThroughDirect, field))
VOX_SAME_PLACE(Length);
VOX_SAME_PLACE(ScsiStatus);
VOX_SAME_PLACE(PathId);
VOX_SAME_PLACE(TargetId);
VOX_SAME_PLACE(Lun);
VOX_SAME_PLACE(CdbLength);
VOX_SAME_PLACE(SenseInfoLength);
VOX_SAME_PLACE(DataIn);
VOX_SAME_PLACE(DataTransferLength);
VOX_SAME_PLACE(TimeOutValue);
VOX_SAME_PLACE(DataBuffer);
VOX_SAME_PLACE(SenseInfoOffset);
VOX_SAME_PLACE(Cdb);
#undef VOX_SAME_PLACE
static_assert(sizeof(SCSI_PASS_THROUGH_DIRECT::Cdb) == sizeof(ScsiPassThroughDirect::Cdb));
static_assert(offsetof(ScsiPassThroughBlock, sense) == sizeof(SCSI_PASS_THROUGH_DIRECT));
static_assert(sizeof(ScsiPassThroughBlock) == 312);

// Storage property queries.
static_assert(sizeof(STORAGE_PROPERTY_QUERY) == sizeof(StoragePropertyQuery));
static_assert(offsetof(STORAGE_PROPERTY_QUERY, PropertyId) ==
              offsetof(StoragePropertyQuery, PropertyId));
static_assert(offsetof(STORAGE_PROPERTY_QUERY, QueryType) ==
              offsetof(StoragePropertyQuery, QueryType));
static_assert(offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters) ==
              offsetof(StoragePropertyQuery, AdditionalParameters));
static_assert(vox::win::StorageDeviceProperty == StorageDeviceProperty);
static_assert(vox::win::StorageDeviceIdProperty == StorageDeviceIdProperty);
static_assert(vox::win::PropertyStandardQuery == PropertyStandardQuery);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, RawPropertiesLength) ==
              vox::win::kDeviceDescriptorRawLengthOffset);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, RawDeviceProperties) ==
              vox::win::kDeviceDescriptorRawOffset);
static_assert(offsetof(STORAGE_DEVICE_ID_DESCRIPTOR, NumberOfIdentifiers) ==
              vox::win::kIdDescriptorCountOffset);
static_assert(offsetof(STORAGE_DEVICE_ID_DESCRIPTOR, Identifiers) ==
              vox::win::kIdDescriptorFirstOffset);
static_assert(offsetof(STORAGE_IDENTIFIER, CodeSet) == 0);
static_assert(offsetof(STORAGE_IDENTIFIER, Type) == 4);
static_assert(offsetof(STORAGE_IDENTIFIER, IdentifierSize) == 8);
static_assert(offsetof(STORAGE_IDENTIFIER, NextOffset) == 10);
static_assert(offsetof(STORAGE_IDENTIFIER, Association) == 12);
static_assert(offsetof(STORAGE_IDENTIFIER, Identifier) == vox::win::kIdentifierHeaderSize);

// Volume extents.
static_assert(sizeof(DISK_EXTENT) == vox::win::kDiskExtentSize);
static_assert(sizeof(DISK_EXTENT) == 24);
static_assert(offsetof(DISK_EXTENT, DiskNumber) == 0);
static_assert(offsetof(DISK_EXTENT, StartingOffset) == 8);
static_assert(offsetof(DISK_EXTENT, ExtentLength) == 16);
static_assert(offsetof(VOLUME_DISK_EXTENTS, Extents) == vox::win::kDiskExtentsHeaderSize);

// Drive layouts, both forms.
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION, PartitionEntry) == vox::win::kLayoutHeaderSize);
static_assert(sizeof(PARTITION_INFORMATION) == vox::win::kLayoutEntrySize);
static_assert(sizeof(PARTITION_INFORMATION) == 32);
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry) ==
              vox::win::kLayoutExHeaderSize);
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry) == 48);
static_assert(sizeof(PARTITION_INFORMATION_EX) == vox::win::kLayoutExEntrySize);
static_assert(sizeof(PARTITION_INFORMATION_EX) == 144);
