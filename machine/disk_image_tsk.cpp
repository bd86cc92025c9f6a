// Disk images through The Sleuth Kit (images, partition tables, NTFS),
// libqcow (QCOW2, which The Sleuth Kit does not read) and libvshadow (shadow
// copies, reached through a libbfio handle that reads the volume out of the
// image). Every handle these libraries give is closed by the structure that
// owns it; every read is checked, and a failed one is counted.
#include "machine/disk_image.h"
#include "machine/windows_drive.h"

#include <libbfio.h>
#include <libqcow.h>
#include <libvshadow.h>
#include <tsk/libtsk.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "platform/path_join.h"
#include "platform/text_fold.h"
#include "platform/utf8_codec.h"

// Exported by The Sleuth Kit for images it does not open itself, though its
// headers leave them out: they allocate the image structure it later closes.
extern "C" {
void* tsk_img_malloc(size_t length);
void tsk_img_free(void* pointer);
}

namespace tidewell {

namespace {

constexpr unsigned sectorSize = 512;
constexpr std::size_t readPiece = 4u * 1024 * 1024;

// A volume's shadow copies, opened once and kept for as long as the image.
struct ShadowVolume {
    std::uint64_t offset = 0;
    libbfio_handle_t* handle = nullptr;
    libvshadow_volume_t* volume = nullptr;
    bool opened = false;
};

} // namespace

struct DiskImage {
    TSK_IMG_INFO* image = nullptr;
    std::vector<ShadowVolume> shadows;
    std::uint32_t readErrors = 0;
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

namespace {

// --- QCOW2 as an image The Sleuth Kit reads through us ---

struct QcowImage {
    TSK_IMG_INFO info; // first: The Sleuth Kit sees only this
    libqcow_file_t* file;
};

ssize_t readQcow(TSK_IMG_INFO* info, TSK_OFF_T offset, char* buffer, size_t length) {
    auto* image = reinterpret_cast<QcowImage*>(info);
    return libqcow_file_read_buffer_at_offset(image->file, buffer, length, offset, nullptr);
}

void closeQcow(TSK_IMG_INFO* info) {
    auto* image = reinterpret_cast<QcowImage*>(info);
    libqcow_file_close(image->file, nullptr);
    libqcow_file_free(&image->file, nullptr);
    tsk_img_free(info);
}

void statImage(TSK_IMG_INFO*, FILE*) {}

TSK_IMG_INFO* openQcow(const std::string& path) {
    libqcow_file_t* file = nullptr;
    if (libqcow_file_initialize(&file, nullptr) != 1) {
        return nullptr;
    }
    size64_t size = 0;
    if (libqcow_file_open(file, path.c_str(), LIBQCOW_OPEN_READ, nullptr) != 1 ||
        libqcow_file_get_media_size(file, &size, nullptr) != 1) {
        libqcow_file_free(&file, nullptr);
        return nullptr;
    }
    auto* image = static_cast<QcowImage*>(tsk_img_malloc(sizeof(QcowImage)));
    if (image == nullptr) {
        libqcow_file_close(file, nullptr);
        libqcow_file_free(&file, nullptr);
        return nullptr;
    }
    image->file = file;
    return tsk_img_open_external(image, static_cast<TSK_OFF_T>(size), sectorSize, readQcow,
                                 closeQcow, statImage);
}

// --- a shadow copy's store as an image ---

struct StoreImage {
    TSK_IMG_INFO info;
    libvshadow_store_t* store;
};

ssize_t readStore(TSK_IMG_INFO* info, TSK_OFF_T offset, char* buffer, size_t length) {
    auto* image = reinterpret_cast<StoreImage*>(info);
    return libvshadow_store_read_buffer_at_offset(image->store, buffer, length, offset, nullptr);
}

void closeStore(TSK_IMG_INFO* info) {
    auto* image = reinterpret_cast<StoreImage*>(info);
    libvshadow_store_free(&image->store, nullptr);
    tsk_img_free(info);
}

// --- a volume inside the image, as libbfio reads it for libvshadow ---

struct VolumeRange {
    DiskImage* image;
    TSK_OFF_T start;
    TSK_OFF_T size;
    TSK_OFF_T position;
};

VolumeRange* rangeOf(intptr_t* handle) {
    return reinterpret_cast<VolumeRange*>(handle);
}

int freeRange(intptr_t** handle, libbfio_error_t**) {
    delete rangeOf(*handle);
    *handle = nullptr;
    return 1;
}

int cloneRange(intptr_t** destination, intptr_t* source, libbfio_error_t**) {
    *destination = reinterpret_cast<intptr_t*>(new VolumeRange(*rangeOf(source)));
    return 1;
}

int openRange(intptr_t*, int, libbfio_error_t**) {
    return 1;
}

int closeRange(intptr_t*, libbfio_error_t**) {
    return 0;
}

ssize_t readRange(intptr_t* handle, uint8_t* buffer, size_t size, libbfio_error_t**) {
    VolumeRange* range = rangeOf(handle);
    if (range->position >= range->size) {
        return 0;
    }
    const auto wanted = static_cast<size_t>(
        std::min<TSK_OFF_T>(static_cast<TSK_OFF_T>(size), range->size - range->position));
    const ssize_t got = tsk_img_read(range->image->image, range->start + range->position,
                                     reinterpret_cast<char*>(buffer), wanted);
    if (got < 0) {
        ++range->image->readErrors;
        return -1;
    }
    range->position += got;
    return got;
}

ssize_t writeRange(intptr_t*, const uint8_t*, size_t, libbfio_error_t**) {
    return -1; // read-only, always
}

off64_t seekRange(intptr_t* handle, off64_t offset, int whence, libbfio_error_t**) {
    VolumeRange* range = rangeOf(handle);
    const TSK_OFF_T base = whence == SEEK_CUR   ? range->position
                           : whence == SEEK_END ? range->size
                                                : 0;
    if (offset < -base) {
        return -1;
    }
    range->position = base + offset;
    return range->position;
}

int rangeExists(intptr_t*, libbfio_error_t**) {
    return 1;
}

int rangeIsOpen(intptr_t*, libbfio_error_t**) {
    return 1;
}

int rangeSize(intptr_t* handle, size64_t* size, libbfio_error_t**) {
    *size = static_cast<size64_t>(rangeOf(handle)->size);
    return 1;
}

// The volume's shadow copies, opened on first use.
ShadowVolume* shadowVolume(DiskImage& image, const ImageVolume& volume) {
    for (ShadowVolume& known : image.shadows) {
        if (known.offset == volume.offset) {
            return known.opened ? &known : nullptr;
        }
    }
    ShadowVolume shadow;
    shadow.offset = volume.offset;
    auto* range = new VolumeRange{&image, static_cast<TSK_OFF_T>(volume.offset),
                                  static_cast<TSK_OFF_T>(volume.length), 0};
    if (libbfio_handle_initialize(
            &shadow.handle, reinterpret_cast<intptr_t*>(range), freeRange, cloneRange, openRange,
            closeRange, readRange, writeRange, seekRange, rangeExists, rangeIsOpen, rangeSize,
            LIBBFIO_FLAG_IO_HANDLE_MANAGED | LIBBFIO_FLAG_IO_HANDLE_CLONE_BY_FUNCTION,
            nullptr) != 1) {
        delete range;
        image.shadows.push_back(shadow);
        return nullptr;
    }
    shadow.opened = libvshadow_volume_initialize(&shadow.volume, nullptr) == 1 &&
                    libvshadow_check_volume_signature_file_io_handle(shadow.handle, nullptr) == 1 &&
                    libvshadow_volume_open_file_io_handle(shadow.volume, shadow.handle,
                                                          LIBVSHADOW_OPEN_READ, nullptr) == 1;
    image.shadows.push_back(shadow);
    return shadow.opened ? &image.shadows.back() : nullptr;
}

// --- names and paths ---

std::string hostPathOf(const std::wstring& path) {
    std::wstring slashed = path.empty() ? std::wstring(L"/") : path;
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    return toUtf8(slashed);
}

std::wstring fileSystemName(TSK_FS_TYPE_ENUM type) {
    if (TSK_FS_TYPE_ISNTFS(type)) {
        return L"NTFS";
    }
    std::wstring name = fromUtf8(tsk_fs_type_toname(type));
    for (wchar_t& unit : name) {
        unit = (unit >= L'a' && unit <= L'z') ? unit - L'a' + L'A' : unit;
    }
    return name;
}

// Whether the last error of The Sleuth Kit was a read that failed inside the
// image (as opposed to a name that is not there).
bool failedReading() {
    const std::uint32_t error = tsk_error_get_errno();
    return error == TSK_ERR_IMG_READ || error == TSK_ERR_IMG_READ_OFF ||
           error == TSK_ERR_IMG_SEEK || error == TSK_ERR_FS_READ;
}

struct OpenFile {
    TSK_FS_FILE* file = nullptr;
    ~OpenFile() {
        if (file != nullptr) {
            tsk_fs_file_close(file);
        }
    }
};

// The file at a path, by its file record where a listing named it (and the
// record still holds that file), else found along the path.
TSK_FS_FILE* openFile(ImageFileSystem& fileSystem, const std::wstring& path) {
    const std::string host = hostPathOf(path);
    const auto listed = fileSystem.listedNames.find(host);
    if (listed != fileSystem.listedNames.end()) {
        TSK_FS_FILE* file =
            tsk_fs_file_open_meta(fileSystem.fileSystem, nullptr, listed->second.address);
        if (file != nullptr && file->meta != nullptr &&
            file->meta->seq == listed->second.sequence) {
            return file;
        }
        if (file != nullptr) {
            tsk_fs_file_close(file);
        }
        tsk_error_reset();
    }
    return tsk_fs_file_open(fileSystem.fileSystem, nullptr, host.c_str());
}

WholeFileRead readWhole(ImageFileSystem& fileSystem, TSK_FS_FILE* file, std::uint64_t limit,
                        std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    if (file == nullptr || file->meta == nullptr || file->meta->type != TSK_FS_META_TYPE_REG ||
        file->meta->size < 0) {
        return WholeFileRead::Unreadable;
    }
    const auto size = static_cast<std::uint64_t>(file->meta->size);
    if (size > limit) {
        return WholeFileRead::TooLarge;
    }
    bytes.resize(static_cast<std::size_t>(size));
    for (std::uint64_t done = 0; done < size;) {
        const auto wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(readPiece, size - done));
        tsk_error_reset();
        const ssize_t got = tsk_fs_file_read(file, static_cast<TSK_OFF_T>(done),
                                             reinterpret_cast<char*>(bytes.data() + done), wanted,
                                             TSK_FS_FILE_READ_FLAG_NONE);
        if (got <= 0 || static_cast<std::size_t>(got) != wanted) {
            ++fileSystem.image->readErrors;
            bytes.clear();
            return WholeFileRead::Unreadable;
        }
        done += wanted;
    }
    return WholeFileRead::Read;
}

// The folder at a backslash-separated path below folder, each part found
// whatever its case of A to Z.
bool findFoldedPath(ImageFileSystem& fileSystem, std::wstring folder, std::wstring_view relative) {
    while (!relative.empty()) {
        const std::size_t end = std::min(relative.find(L'\\'), relative.size());
        std::vector<ImageEntry> entries;
        if (!listImageFolder(fileSystem, folder, entries)) {
            return false;
        }
        const auto found =
            std::find_if(entries.begin(), entries.end(), [&](const ImageEntry& entry) {
                return entry.isDirectory && equalsFolded(entry.name, relative.substr(0, end));
            });
        if (found == entries.end()) {
            return false;
        }
        folder += L"\\" + found->name;
        relative = relative.substr(std::min(end + 1, relative.size()));
    }
    return true;
}

bool holdsWindows(ImageFileSystem& fileSystem) {
    std::vector<ImageEntry> root;
    if (!listImageFolder(fileSystem, L"\\", root)) {
        return false;
    }
    for (const ImageEntry& entry : root) {
        if (!entry.isDirectory || !equalsFolded(entry.name, L"Windows")) {
            continue;
        }
        for (const wchar_t* marker : windowsDriveMarkers) {
            if (findFoldedPath(fileSystem, L"\\" + entry.name, marker)) {
                return true;
            }
        }
    }
    return false;
}

// The file system of a volume, tried kind by kind, NTFS first. The Sleuth
// Kit's own detection also tries YAFFS2, whose test reads the whole volume
// (tens of megabytes out of a compressed image for every partition); flash
// file systems have no place on a disk a Windows machine boots from.
TSK_FS_INFO* openKnownFileSystem(TSK_IMG_INFO* image, std::uint64_t offset) {
    constexpr TSK_FS_TYPE_ENUM kinds[] = {TSK_FS_TYPE_NTFS_DETECT, TSK_FS_TYPE_FAT_DETECT,
                                          TSK_FS_TYPE_EXT_DETECT,  TSK_FS_TYPE_HFS_DETECT,
                                          TSK_FS_TYPE_APFS_DETECT, TSK_FS_TYPE_ISO9660_DETECT,
                                          TSK_FS_TYPE_FFS_DETECT};
    for (const TSK_FS_TYPE_ENUM kind : kinds) {
        tsk_error_reset();
        if (TSK_FS_INFO* fileSystem =
                tsk_fs_open_img(image, static_cast<TSK_OFF_T>(offset), kind)) {
            return fileSystem;
        }
    }
    return nullptr;
}

void surveyVolume(DiskImage& image, ImageVolume& volume) {
    ImageFileSystemHandle fileSystem = openImageVolume(image, volume);
    if (fileSystem == nullptr) {
        return;
    }
    volume.fileSystem = fileSystemName(fileSystem->fileSystem->ftype);
    if (!TSK_FS_TYPE_ISNTFS(fileSystem->fileSystem->ftype)) {
        return;
    }
    volume.holdsWindows = holdsWindows(*fileSystem);
    std::wstring problem;
    volume.shadowCopies =
        static_cast<std::uint32_t>(listShadowCopies(image, volume, problem).size());
}

// The image's format, told from its own signatures rather than by letting
// The Sleuth Kit try each format in turn (a failed try leaves its handles
// behind).
enum class ImageFormat {
    Raw,
    Ewf,
    Vhd,
    Vhdx,
    Vmdk,
    Qcow,
};

ImageFormat imageFormatOf(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return ImageFormat::Raw; // its opening then says why
    }
    char head[512] = {};
    char tail[512] = {};
    const std::size_t headRead = std::fread(head, 1, sizeof head, file);
    std::size_t tailRead = 0;
    if (std::fseek(file, -static_cast<long>(sizeof tail), SEEK_END) == 0) {
        tailRead = std::fread(tail, 1, sizeof tail, file);
    }
    std::fclose(file);
    const auto startsWith = [&](const char* text, std::size_t length) {
        return headRead >= length && std::memcmp(head, text, length) == 0;
    };
    if (startsWith("EVF\x09\x0d\x0a\xff\x00", 8) || startsWith("EVF2\x0d\x0a\x81\x00", 8)) {
        return ImageFormat::Ewf;
    }
    if (startsWith("vhdxfile", 8)) {
        return ImageFormat::Vhdx;
    }
    // A fixed VHD has its footer at the end only; a dynamic one a copy of it
    // at the start too.
    if (startsWith("conectix", 8) ||
        (tailRead == sizeof tail && std::memcmp(tail, "conectix", 8) == 0)) {
        return ImageFormat::Vhd;
    }
    if (startsWith("KDMV", 4) || startsWith("# Disk DescriptorFile", 21)) {
        return ImageFormat::Vmdk;
    }
    if (startsWith("QFI\xfb", 4)) {
        return ImageFormat::Qcow;
    }
    return ImageFormat::Raw;
}

TSK_IMG_TYPE_ENUM sleuthKitType(ImageFormat format) {
    switch (format) {
    case ImageFormat::Ewf:
        return TSK_IMG_TYPE_EWF_EWF;
    case ImageFormat::Vhd:
    case ImageFormat::Vhdx:
        return TSK_IMG_TYPE_VHD_VHD;
    case ImageFormat::Vmdk:
        return TSK_IMG_TYPE_VMDK_VMDK;
    default:
        return TSK_IMG_TYPE_RAW;
    }
}

std::wstring formatName(ImageFormat format) {
    switch (format) {
    case ImageFormat::Ewf:
        return L"E01";
    case ImageFormat::Vhd:
        return L"VHD";
    case ImageFormat::Vhdx:
        return L"VHDX";
    case ImageFormat::Vmdk:
        return L"VMDK";
    case ImageFormat::Qcow:
        return L"QCOW2";
    case ImageFormat::Raw:
        break;
    }
    return L"raw";
}

// The partition table, GPT tried first: a GPT disk also carries a
// protective MBR, and The Sleuth Kit's own detection reads both and leaves
// the one it drops behind.
TSK_VS_INFO* openPartitionTable(TSK_IMG_INFO* image) {
    for (const TSK_VS_TYPE_ENUM kind : {TSK_VS_TYPE_GPT, TSK_VS_TYPE_DOS}) {
        tsk_error_reset();
        if (TSK_VS_INFO* table = tsk_vs_open(image, 0, kind)) {
            return table;
        }
    }
    return nullptr;
}

// A GUID as Windows writes it: its first three fields little-endian.
std::wstring guidText(const std::uint8_t (&guid)[16]) {
    const auto field = [&](int at, int length) {
        unsigned value = 0;
        for (int i = length - 1; i >= 0; --i) {
            value = value << 8 | guid[at + i];
        }
        return value;
    };
    wchar_t text[40];
    std::swprintf(text, 40, L"%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", field(0, 4),
                  field(4, 2), field(6, 2), unsigned{guid[8]}, unsigned{guid[9]},
                  unsigned{guid[10]}, unsigned{guid[11]}, unsigned{guid[12]}, unsigned{guid[13]},
                  unsigned{guid[14]}, unsigned{guid[15]});
    return text;
}

// --- what a shadow copy holds apart from the volume as it is ---

constexpr std::uint64_t storeBlockSize = 0x4000;

// A block of a shadow copy's view comes from the store's own data when that
// store, or any later one, describes it; every other block is read from the
// volume as it is. The blocks described are the ones that may differ.
bool surveyHeldApart(ImageFileSystem& copy) {
    copy.blocksSurveyed = true;
    ShadowVolume* shadow = nullptr;
    for (ShadowVolume& known : copy.image->shadows) {
        if (known.offset == copy.volumeOffset && known.opened) {
            shadow = &known;
        }
    }
    int stores = 0;
    if (shadow == nullptr || copy.store == 0 ||
        libvshadow_volume_get_number_of_stores(shadow->volume, &stores, nullptr) != 1) {
        return false;
    }
    for (int index = static_cast<int>(copy.store) - 1; index < stores; ++index) {
        libvshadow_store_t* store = nullptr;
        int blocks = 0;
        if (libvshadow_volume_get_store(shadow->volume, index, &store, nullptr) != 1) {
            return false;
        }
        const bool counted = libvshadow_store_get_number_of_blocks(store, &blocks, nullptr) == 1;
        for (int at = 0; counted && at < blocks; ++at) {
            libvshadow_block_t* block = nullptr;
            off64_t original = 0;
            off64_t relative = 0;
            off64_t offset = 0;
            std::uint32_t flags = 0;
            std::uint32_t bitmap = 0;
            if (libvshadow_store_get_block_by_index(store, at, &block, nullptr) != 1 ||
                libvshadow_block_get_values(block, &original, &relative, &offset, &flags, &bitmap,
                                            nullptr) != 1) {
                libvshadow_block_free(&block, nullptr);
                libvshadow_store_free(&store, nullptr);
                return false;
            }
            libvshadow_block_free(&block, nullptr);
            // A forwarder also stands for the block it forwards to.
            copy.heldApart.push_back(static_cast<std::uint64_t>(original) & ~(storeBlockSize - 1));
            copy.heldApart.push_back(static_cast<std::uint64_t>(relative) & ~(storeBlockSize - 1));
        }
        libvshadow_store_free(&store, nullptr);
        if (!counted) {
            return false;
        }
    }
    std::sort(copy.heldApart.begin(), copy.heldApart.end());
    copy.heldApart.erase(std::unique(copy.heldApart.begin(), copy.heldApart.end()),
                         copy.heldApart.end());
    copy.blocksKnown = true;
    return true;
}

constexpr std::uint64_t noPlace = ~std::uint64_t{0};

// Blocks from first for count, in bytes, or noPlace where that cannot be
// said in 64 bits (a damaged run).
std::uint64_t bytesOf(std::uint64_t blocks, std::uint64_t blockSize) {
    return blockSize != 0 && blocks > noPlace / blockSize ? noPlace : blocks * blockSize;
}

// Whether bytes [start, start + length) of the volume may differ in the copy.
bool touchesHeldApart(const ImageFileSystem& copy, std::uint64_t start, std::uint64_t length) {
    if (start == noPlace || length == noPlace || length > noPlace - start) {
        return true;
    }
    const auto first = std::lower_bound(copy.heldApart.begin(), copy.heldApart.end(),
                                        start & ~(storeBlockSize - 1));
    return first != copy.heldApart.end() && *first < start + length;
}

bool usableRun(const TSK_FS_ATTR_RUN* run) {
    return run->len != 0 &&
           (run->flags & (TSK_FS_ATTR_RUN_FLAG_SPARSE | TSK_FS_ATTR_RUN_FLAG_FILLER)) == 0;
}

// Whether any run of a non-resident attribute lies where the copy may differ.
bool runsTouchHeldApart(const ImageFileSystem& copy, const TSK_FS_ATTR* attribute) {
    const std::uint64_t blockSize = copy.fileSystem->block_size;
    for (const TSK_FS_ATTR_RUN* run = attribute->nrd.run; run != nullptr; run = run->next) {
        if (usableRun(run) &&
            touchesHeldApart(copy, bytesOf(run->addr, blockSize), bytesOf(run->len, blockSize))) {
            return true;
        }
    }
    return false;
}

// The size of a file record, from the NTFS boot sector (clusters when the
// byte at 0x40 is positive, else 2 to the power of its negation), and the
// file table's own runs: both found once for each state.
bool knowFileTable(ImageFileSystem& fileSystem) {
    if (fileSystem.fileTableSought) {
        return fileSystem.fileTable != nullptr && fileSystem.recordSize != 0;
    }
    fileSystem.fileTableSought = true;
    std::uint8_t boot[512] = {};
    if (tsk_fs_read(fileSystem.fileSystem, 0, reinterpret_cast<char*>(boot), sizeof boot) !=
        static_cast<ssize_t>(sizeof boot)) {
        return false;
    }
    const auto stated = static_cast<std::int8_t>(boot[0x40]);
    fileSystem.recordSize =
        stated > 0 ? bytesOf(static_cast<std::uint64_t>(stated), fileSystem.fileSystem->block_size)
        : stated < -16 ? 0
                       : std::uint64_t{1} << -stated;
    if (fileSystem.recordSize == 0 || fileSystem.recordSize > 65536) {
        fileSystem.recordSize = 0;
        return false;
    }
    fileSystem.fileTable = tsk_fs_file_open_meta(fileSystem.fileSystem, nullptr, 0);
    return fileSystem.fileTable != nullptr;
}

// Where file record number lies in the volume: found along $MFT's own runs.
bool fileRecordPlace(ImageFileSystem& fileSystem, std::uint64_t number, std::uint64_t& place) {
    if (!knowFileTable(fileSystem)) {
        return false;
    }
    const TSK_FS_ATTR* data = tsk_fs_file_attr_get(fileSystem.fileTable);
    if (data == nullptr || (data->flags & TSK_FS_ATTR_NONRES) == 0) {
        return false;
    }
    const std::uint64_t blockSize = fileSystem.fileSystem->block_size;
    const std::uint64_t within = bytesOf(number, fileSystem.recordSize);
    for (const TSK_FS_ATTR_RUN* run = data->nrd.run; run != nullptr; run = run->next) {
        const std::uint64_t runStart = bytesOf(run->offset, blockSize);
        const std::uint64_t runLength = bytesOf(run->len, blockSize);
        const std::uint64_t runPlace = bytesOf(run->addr, blockSize);
        if (usableRun(run) && within != noPlace && runStart != noPlace && within >= runStart &&
            within - runStart < runLength && runPlace != noPlace &&
            within - runStart <= noPlace - runPlace) {
            place = runPlace + (within - runStart);
            return true;
        }
    }
    return false;
}

bool readFileRecord(ImageFileSystem& fileSystem, std::uint64_t number, std::vector<char>& record) {
    std::uint64_t place = 0;
    if (!fileRecordPlace(fileSystem, number, place)) {
        return false;
    }
    record.assign(static_cast<std::size_t>(fileSystem.recordSize), 0);
    return tsk_fs_read(fileSystem.fileSystem, static_cast<TSK_OFF_T>(place), record.data(),
                       record.size()) == static_cast<ssize_t>(record.size());
}

bool sameFileRecord(ImageFileSystem& copy, ImageFileSystem& current, std::uint64_t number) {
    std::vector<char> held;
    std::vector<char> now;
    return readFileRecord(copy, number, held) && readFileRecord(current, number, now) &&
           held == now;
}

bool hasAttributeList(TSK_FS_FILE* file) {
    const int count = tsk_fs_file_attr_getsize(file);
    for (int index = 0; index < count; ++index) {
        const TSK_FS_ATTR* attribute = tsk_fs_file_attr_get_idx(file, index);
        if (attribute != nullptr && attribute->type == TSK_FS_ATTR_TYPE_NTFS_ATTRLIST) {
            return true;
        }
    }
    return false;
}

} // namespace

bool diskImagesReadable() {
    return true;
}

void DiskImageClose::operator()(DiskImage* image) const {
    if (image == nullptr) {
        return;
    }
    for (ShadowVolume& shadow : image->shadows) {
        if (shadow.volume != nullptr) {
            if (shadow.opened) {
                libvshadow_volume_close(shadow.volume, nullptr);
            }
            libvshadow_volume_free(&shadow.volume, nullptr);
        }
        if (shadow.handle != nullptr) {
            libbfio_handle_free(&shadow.handle, nullptr);
        }
    }
    if (image->image != nullptr) {
        tsk_img_close(image->image);
    }
    delete image;
}

void ImageFileSystemClose::operator()(ImageFileSystem* fileSystem) const {
    if (fileSystem == nullptr) {
        return;
    }
    if (fileSystem->fileTable != nullptr) {
        tsk_fs_file_close(fileSystem->fileTable);
    }
    if (fileSystem->fileSystem != nullptr) {
        tsk_fs_close(fileSystem->fileSystem);
    }
    if (fileSystem->storeImage != nullptr) {
        tsk_img_close(fileSystem->storeImage);
    }
    delete fileSystem;
}

DiskImageHandle openDiskImage(const std::wstring& path, ImageSurvey& survey) {
    survey = ImageSurvey{};
    const std::string host = hostPathOf(path);
    DiskImageHandle image(new DiskImage);
    tsk_error_reset();
    const ImageFormat format = imageFormatOf(host);
    image->image = format == ImageFormat::Qcow
                       ? openQcow(host)
                       : tsk_img_open_utf8_sing(host.c_str(), sleuthKitType(format), sectorSize);
    if (image->image == nullptr) {
        survey.problem =
            format != ImageFormat::Raw
                ? L"it looks like a " + formatName(format) +
                      L" image, but it could not be opened (" +
                      fromUtf8(tsk_error_get() != nullptr ? tsk_error_get() : "") + L")"
                : L"it could not be opened (" +
                      fromUtf8(tsk_error_get() != nullptr ? tsk_error_get() : "") + L")";
        return nullptr;
    }
    survey.opened = true;
    survey.format = formatName(format);

    TSK_VS_INFO* table = openPartitionTable(image->image);
    if (table == nullptr) {
        ImageVolume whole;
        whole.length = static_cast<std::uint64_t>(image->image->size);
        whole.description = L"the whole image (no partition table)";
        survey.volumes.push_back(whole);
    } else {
        survey.partitionTable = table->vstype == TSK_VS_TYPE_GPT ? L"GPT"
                                : table->vstype == TSK_VS_TYPE_DOS
                                    ? L"MBR"
                                    : fromUtf8(tsk_vs_type_toname(table->vstype));
        std::uint32_t number = 0;
        for (TSK_PNUM_T index = 0; index < table->part_count; ++index) {
            const TSK_VS_PART_INFO* part = tsk_vs_part_get(table, index);
            if (part == nullptr || (part->flags & TSK_VS_PART_FLAG_ALLOC) == 0) {
                continue;
            }
            ImageVolume volume;
            volume.partition = ++number;
            volume.offset = static_cast<std::uint64_t>(part->start) * table->block_size;
            volume.length = static_cast<std::uint64_t>(part->len) * table->block_size;
            volume.description = fromUtf8(part->desc != nullptr ? part->desc : "");
            survey.volumes.push_back(volume);
        }
        tsk_vs_close(table);
    }
    for (ImageVolume& volume : survey.volumes) {
        surveyVolume(*image, volume);
    }
    return image;
}

ImageFileSystemHandle openImageVolume(DiskImage& image, const ImageVolume& volume) {
    TSK_FS_INFO* fileSystem = openKnownFileSystem(image.image, volume.offset);
    if (fileSystem == nullptr) {
        return nullptr;
    }
    ImageFileSystemHandle opened(new ImageFileSystem);
    opened->image = &image;
    opened->fileSystem = fileSystem;
    return opened;
}

std::vector<ShadowCopy> listShadowCopies(DiskImage& image, const ImageVolume& volume,
                                         std::wstring& problem) {
    problem.clear();
    std::vector<ShadowCopy> copies;
    ShadowVolume* shadow = shadowVolume(image, volume);
    if (shadow == nullptr) {
        return copies; // no shadow copies (or none that can be read as such)
    }
    int stores = 0;
    if (libvshadow_volume_get_number_of_stores(shadow->volume, &stores, nullptr) != 1) {
        problem = L"the volume's shadow copy catalog could not be read";
        return copies;
    }
    for (int index = 0; index < stores; ++index) {
        libvshadow_store_t* store = nullptr;
        ShadowCopy copy;
        copy.store = static_cast<std::uint32_t>(index + 1);
        if (libvshadow_volume_get_store(shadow->volume, index, &store, nullptr) == 1) {
            libvshadow_store_get_creation_time(store, &copy.created, nullptr);
            std::uint8_t guid[16] = {};
            if (libvshadow_store_get_identifier(store, guid, sizeof guid, nullptr) == 1) {
                copy.identifier = guidText(guid);
            }
            libvshadow_store_free(&store, nullptr);
        }
        copies.push_back(copy);
    }
    return copies;
}

ImageFileSystemHandle openShadowCopy(DiskImage& image, const ImageVolume& volume,
                                     std::uint32_t store) {
    ShadowVolume* shadow = shadowVolume(image, volume);
    libvshadow_store_t* opened = nullptr;
    size64_t size = 0;
    if (shadow == nullptr || store == 0 ||
        libvshadow_volume_get_store(shadow->volume, static_cast<int>(store - 1), &opened,
                                    nullptr) != 1) {
        return nullptr;
    }
    if (libvshadow_store_get_volume_size(opened, &size, nullptr) != 1) {
        libvshadow_store_free(&opened, nullptr);
        return nullptr;
    }
    auto* storeImage = static_cast<StoreImage*>(tsk_img_malloc(sizeof(StoreImage)));
    if (storeImage == nullptr) {
        libvshadow_store_free(&opened, nullptr);
        return nullptr;
    }
    storeImage->store = opened;
    TSK_IMG_INFO* info = tsk_img_open_external(storeImage, static_cast<TSK_OFF_T>(size), sectorSize,
                                               readStore, closeStore, statImage);
    ImageFileSystemHandle fileSystem(new ImageFileSystem);
    fileSystem->image = &image;
    fileSystem->storeImage = info;
    fileSystem->store = store;
    fileSystem->volumeOffset = volume.offset;
    tsk_error_reset();
    fileSystem->fileSystem = tsk_fs_open_img(info, 0, TSK_FS_TYPE_NTFS_DETECT);
    if (fileSystem->fileSystem == nullptr) {
        return nullptr;
    }
    return fileSystem;
}

bool listImageFolder(ImageFileSystem& fileSystem, const std::wstring& folder,
                     std::vector<ImageEntry>& entries, bool withDeleted) {
    entries.clear();
    tsk_error_reset();
    TSK_FS_DIR* directory = tsk_fs_dir_open(fileSystem.fileSystem, hostPathOf(folder).c_str());
    if (directory == nullptr) {
        if (failedReading()) {
            ++fileSystem.image->readErrors;
        }
        return false;
    }
    const std::size_t count = tsk_fs_dir_getsize(directory);
    for (std::size_t index = 0; index < count; ++index) {
        OpenFile file{tsk_fs_dir_get(directory, index)};
        if (file.file == nullptr || file.file->name == nullptr ||
            file.file->name->name == nullptr) {
            continue;
        }
        const TSK_FS_NAME* name = file.file->name;
        if (std::strcmp(name->name, ".") == 0 || std::strcmp(name->name, "..") == 0 ||
            name->type == TSK_FS_NAME_TYPE_VIRT || name->type == TSK_FS_NAME_TYPE_VIRT_DIR) {
            continue;
        }
        // A deleted name comes without its file record loaded; whether the
        // record still holds the file is for the reading to find out.
        const bool deleted = (name->flags & TSK_FS_NAME_FLAG_UNALLOC) != 0;
        if (deleted && (!withDeleted || name->meta_addr == 0)) {
            continue;
        }
        if (!deleted) {
            fileSystem.listedNames[hostPathOf(joinPath(folder, fromUtf8(name->name)))] = {
                name->meta_addr, name->meta_seq};
        }
        ImageEntry entry;
        entry.name = fromUtf8(name->name);
        entry.isDirectory = name->type == TSK_FS_NAME_TYPE_DIR;
        entry.deleted = deleted;
        entry.address = name->meta_addr;
        entries.push_back(std::move(entry));
    }
    tsk_fs_dir_close(directory);
    return true;
}

WholeFileRead readImageFile(ImageFileSystem& fileSystem, const std::wstring& path,
                            std::uint64_t limit, std::vector<std::uint8_t>& bytes) {
    tsk_error_reset();
    OpenFile file{openFile(fileSystem, path)};
    if (file.file == nullptr) {
        bytes.clear();
        if (failedReading()) {
            ++fileSystem.image->readErrors;
            return WholeFileRead::Unreadable;
        }
        return WholeFileRead::Missing;
    }
    return readWhole(fileSystem, file.file, limit, bytes);
}

WholeFileRead readDeletedImageFile(ImageFileSystem& fileSystem, std::uint64_t address,
                                   std::uint64_t limit, std::vector<std::uint8_t>& bytes) {
    tsk_error_reset();
    OpenFile file{tsk_fs_file_open_meta(fileSystem.fileSystem, nullptr, address)};
    return readWhole(fileSystem, file.file, limit, bytes);
}

std::uint32_t failedImageReads(const DiskImage& image) {
    return image.readErrors;
}

bool sameFileInCopy(ImageFileSystem& copy, ImageFileSystem& current, const std::wstring& path) {
    if (copy.store == 0 || current.store != 0 || copy.image != current.image ||
        !TSK_FS_TYPE_ISNTFS(copy.fileSystem->ftype) ||
        (!copy.blocksSurveyed && !surveyHeldApart(copy)) || !copy.blocksKnown) {
        return false;
    }
    tsk_error_reset();
    OpenFile held{openFile(copy, path)};
    OpenFile now{openFile(current, path)};
    if (held.file == nullptr || now.file == nullptr || held.file->meta == nullptr ||
        now.file->meta == nullptr || held.file->meta->addr != now.file->meta->addr ||
        held.file->meta->seq != now.file->meta->seq || hasAttributeList(held.file)) {
        return false;
    }
    // The file record (where a small file's data also stands, and its runs)
    // must be the same bytes in both, and every run of its data lie where
    // the copy reads the volume as it is. A block of records is held apart
    // whenever any record in it changed, so the record itself is compared.
    if (!sameFileRecord(copy, current, held.file->meta->addr)) {
        return false;
    }
    const TSK_FS_ATTR* data = tsk_fs_file_attr_get(held.file);
    if (data == nullptr) {
        return false;
    }
    return (data->flags & TSK_FS_ATTR_NONRES) == 0 || !runsTouchHeldApart(copy, data);
}

} // namespace tidewell
