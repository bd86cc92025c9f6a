// What the files that read disk images share: the image, its shadow copies
// and the states of a volume's file system as The Sleuth Kit, libvshadow and
// libbfio hold them, and the few helpers more than one of them needs. Only
// the reader's own files include it; the rest of the program sees
// disk_image.h.
#pragma once

#include <libbfio.h>
#include <libvshadow.h>
#include <tsk/libtsk.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "machine/disk_image.h"

// Exported by The Sleuth Kit for images it does not open itself, though its
// headers leave them out: they allocate the image structure it later closes.
extern "C" {
void* tsk_img_malloc(size_t length);
void tsk_img_free(void* pointer);
}

namespace tidewell {

// A volume's shadow copies, opened once and kept for as long as the image.
struct ShadowVolume {
    std::uint64_t offset = 0;
    libbfio_handle_t* handle = nullptr;
    libvshadow_volume_t* volume = nullptr;
    bool signature = false; // the volume says it keeps shadow copies
    bool opened = false;    // and its catalog could be read
};

struct DiskImage {
    EvidenceFileHandle evidence; // the file the scan opened, read through for as long as the image
    TSK_IMG_INFO* image = nullptr;
    std::vector<ShadowVolume> shadows;
    std::uint32_t readErrors = 0;
    // The files whose data a failed read fell in, to be named (the first
    // thousand; the count says the rest).
    std::vector<std::wstring> filesReadFailed;
};

struct FileRecordName {
    TSK_INUM_T address = 0;
    std::uint32_t sequence = 0;
};

struct ImageFileSystem {
    DiskImage* image = nullptr;
    TSK_IMG_INFO* storeImage = nullptr; // a shadow copy's own image, closed with it
    TSK_FS_INFO* fileSystem = nullptr;
    // A shadow copy: its store, and the blocks of the volume where what it
    // holds may differ from the volume as it is (sorted, found on first use).
    std::uint32_t store = 0;
    std::uint64_t volumeOffset = 0;
    bool blocksSurveyed = false;
    bool blocksKnown = false;
    std::vector<std::uint64_t> heldApart;
    // NTFS: the size of a file record and the file table itself, found on
    // first use.
    bool fileTableSought = false;
    std::uint64_t recordSize = 0;
    TSK_FS_FILE* fileTable = nullptr;
    // The file record of every allocated name of the folders listed so far,
    // by path: The Sleuth Kit finds a path by reading every folder along it
    // whole, which for each file of a folder of a thousand is a thousand
    // names read again.
    std::unordered_map<std::string, FileRecordName> listedNames;
};

namespace disk {

inline constexpr unsigned sectorSize = 512;

// --- the adapters (image_adapters.cpp) ---

// Up to size bytes at offset of what a handle of ours reads, fewer only where
// it ends; false when the read failed.
using ByteReader = bool (*)(void* from, std::uint64_t offset, std::uint8_t* buffer,
                            std::size_t size, std::size_t& got);

// A libbfio handle over size bytes of what read reads from `from`, starting
// at start: how the libraries read a file the scan opened, and libvshadow a
// volume inside the image. Null when libbfio cannot make one.
libbfio_handle_t* bytesHandle(ByteReader read, void* from, std::uint64_t start, std::uint64_t size);

// A handle over the whole of a file the scan opened, which must outlive it.
libbfio_handle_t* evidenceHandle(EvidenceFile& evidence);

// Says to The Sleuth Kit that a read of the image failed, as its own readers
// say it, so that whatever read through it counts the failure alike.
void sayImageReadFailed(const char* what);

// A shadow copy's store as an image; takes the store, which it frees.
TSK_IMG_INFO* openStoreImage(libvshadow_store_t* store, std::uint64_t size);

// The volume's shadow copies (libvshadow over a libbfio handle that reads
// the volume out of the image), opened on first use and kept with the image;
// null when the volume has none that can be read.
ShadowVolume* shadowVolume(DiskImage& image, const ImageVolume& volume);
// The volume says it keeps shadow copies, but their catalog cannot be read.
bool shadowCatalogUnreadable(DiskImage& image, const ImageVolume& volume);

// --- the image's format (image_format.cpp) ---

// Told from the file's own signatures, read through the scan's opening.
enum class ImageFormat {
    Raw,
    Ewf,
    Vhd,
    Vhdx,
    Vmdk,
    Qcow,
};

ImageFormat imageFormatOf(const EvidenceFile& evidence);
std::wstring formatName(ImageFormat format); // "raw", "E01", "VHD", ...

// --- the image's content (image_media.cpp) ---

// What the image's own library found wrong with its container (an E01 cut
// short); empty when nothing.
std::wstring mediaDamage(TSK_IMG_INFO* image);

// Read past The Sleuth Kit's cache of the image, so that what is read before
// an overlay is put in place is not kept from the reads after it.
bool readMediaUncached(TSK_IMG_INFO* image, std::uint64_t offset, std::uint8_t* buffer,
                       std::size_t length);

// Bytes every later read of the image gives at offset in place of its own.
void overlayMedia(TSK_IMG_INFO* image, std::uint64_t offset, std::vector<std::uint8_t> bytes);

// The image, in its format, as the field's library for that format reads it
// through the file the scan opened (each of its other segments or extents
// opened once), given to The Sleuth Kit as an image it reads through us.
// Null, with the library's own words for why, when it cannot be opened.
TSK_IMG_INFO* openImageMedia(const EvidenceFileHandle& evidence, ImageFormat format,
                             std::wstring& why);

// --- files (image_files.cpp) ---

// A backslash path from the volume's root as The Sleuth Kit names it.
std::string hostPathOf(const std::wstring& path);

// Whether the last error of The Sleuth Kit was a read that failed inside the
// image (as opposed to a name that is not there).
bool failedReading();

struct OpenFile {
    TSK_FS_FILE* file = nullptr;
    OpenFile() = default;
    explicit OpenFile(TSK_FS_FILE* opened) : file(opened) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() {
        if (file != nullptr) {
            tsk_fs_file_close(file);
        }
    }
};

// The file at a path, by its file record where a listing named it (and the
// record still holds that file), else found along the path.
TSK_FS_FILE* openFile(ImageFileSystem& fileSystem, const std::wstring& path);

} // namespace disk

} // namespace tidewell
