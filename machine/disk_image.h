// Disk images read in place, never mounted and never written: raw and split
// raw, E01 (one segment or several), VHD and VHDX, VMDK and QCOW2; their
// partition tables (MBR, GPT), their NTFS volumes, and every shadow copy
// (Volume Shadow Copy store) of a volume. The field's own libraries do the
// reading: libewf, libvhdi, libvmdk and libqcow each its format, The Sleuth
// Kit the partitions and NTFS through them, libvshadow (over libbfio) the
// shadow copies. Only the Linux build reads images; the Windows build says so
// instead.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "machine/evidence_file.h"
#include "platform/whole_file.h"

namespace tidewell {

// Whether this build reads disk images at all.
bool diskImagesReadable();

struct DiskImage;
struct DiskImageClose {
    void operator()(DiskImage* image) const;
};
using DiskImageHandle = std::unique_ptr<DiskImage, DiskImageClose>;

// One volume of an image: a partition, or the whole image when it has no
// partition table.
struct ImageVolume {
    std::uint32_t partition = 0; // as the table numbers it, from 1; 0: the whole image
    std::uint64_t offset = 0;    // bytes from the start of the image
    std::uint64_t length = 0;
    std::wstring description;  // the table's own words for it
    std::wstring fileSystem;   // "NTFS", "FAT32"; empty: none recognised
    bool holdsWindows = false; // it is a Windows drive (machine/windows_drive.h)
    std::uint32_t shadowCopies = 0;
    bool shadowCatalogUnreadable = false; // it keeps shadow copies that cannot be listed
    // Its system file records that failed their check and were mended to
    // open it (ntfs_system_records.h).
    std::uint32_t recordsMended = 0;
};

struct ImageSurvey {
    bool opened = false;
    std::wstring problem;        // why it could not be opened
    std::wstring format;         // "raw", "E01", "VHD", "VHDX", "VMDK", "QCOW2"
    std::wstring partitionTable; // "GPT", "MBR"; empty: none recognised
    std::vector<ImageVolume> volumes;
    std::wstring damage;      // what is wrong with the container itself; empty: nothing found
    std::wstring tableDamage; // what is wrong with its partition table; empty: nothing found
};

// Reads the image through the file the scan opened (the first of its
// segments), read-only, and surveys its volumes. Its other segments or
// extents are each opened once, as it is.
DiskImageHandle openDiskImage(const EvidenceFileHandle& evidence, ImageSurvey& survey);

// One state of a volume's file system: as it is, or as a shadow copy holds it.
struct ImageFileSystem;
struct ImageFileSystemClose {
    void operator()(ImageFileSystem* fileSystem) const;
};
using ImageFileSystemHandle = std::unique_ptr<ImageFileSystem, ImageFileSystemClose>;

struct ShadowCopy {
    std::uint32_t store = 0;   // from 1, oldest first, as Windows numbers them
    std::uint64_t created = 0; // FILETIME
    std::wstring identifier;   // the store's GUID
};

ImageFileSystemHandle openImageVolume(DiskImage& image, const ImageVolume& volume);

// The volume's shadow copies, oldest first; problem says why none could be
// listed where the volume has them but they cannot be read.
std::vector<ShadowCopy> listShadowCopies(DiskImage& image, const ImageVolume& volume,
                                         std::wstring& problem);

// The file system as the shadow copy holds it; null when it cannot be read.
ImageFileSystemHandle openShadowCopy(DiskImage& image, const ImageVolume& volume,
                                     std::uint32_t store);

// Paths are backslash-separated from the volume's root, such as
// \Windows\System32\config; names compare as NTFS compares them.
struct ImageEntry {
    std::wstring name;
    bool isDirectory = false;
    bool deleted = false;      // listed, but no longer allocated
    std::uint64_t address = 0; // its file record, to read a deleted file by
};

// False when the folder cannot be listed. Deleted entries are listed only
// when asked for, and only where they still name a file record.
bool listImageFolder(ImageFileSystem& fileSystem, const std::wstring& folder,
                     std::vector<ImageEntry>& entries, bool withDeleted = false);

WholeFileRead readImageFile(ImageFileSystem& fileSystem, const std::wstring& path,
                            std::uint64_t limit, std::vector<std::uint8_t>& bytes);

// A deleted file by its file record: what of its data is still there.
WholeFileRead readDeletedImageFile(ImageFileSystem& fileSystem, std::uint64_t address,
                                   std::uint64_t limit, std::vector<std::uint8_t>& bytes);

// Whether the file at path in a shadow copy is, byte for byte, the file at
// that path on the volume as it is: the same file record, and neither it nor
// any of the file's data lies in a block the copy holds apart. False
// whenever that cannot be shown.
bool sameFileInCopy(ImageFileSystem& copy, ImageFileSystem& current, const std::wstring& path);

// Reads that failed inside the image since it was opened (a damaged or cut
// short image, a segment missing).
std::uint32_t failedImageReads(const DiskImage& image);
// The files such reads fell in (an E01 chunk that fails its checksum among
// them), as the file system names them.
const std::vector<std::wstring>& filesReadFailed(const DiskImage& image);

} // namespace tidewell
