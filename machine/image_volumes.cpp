// Opening an image and finding its volumes: its format, its partition
// table (GPT first), the file system of each volume, whether it holds
// Windows and how many shadow copies it has; then a volume, or one of its
// shadow copies, opened as a state of its file system.
#include <algorithm>
#include <cstdio>

#include "machine/image_internals.h"
#include "machine/ntfs_system_records.h"
#include "machine/partition_tables.h"
#include "machine/windows_drive.h"
#include "platform/text_fold.h"
#include "platform/utf8_codec.h"

namespace tidewell {

namespace {

using disk::ImageFormat;

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
    volume.shadowCatalogUnreadable = !problem.empty();
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

BytesAt imageBytes(TSK_IMG_INFO* image) {
    return [image](std::uint64_t offset, std::uint8_t* buffer, std::size_t length) {
        tsk_error_reset();
        return tsk_img_read(image, static_cast<TSK_OFF_T>(offset), reinterpret_cast<char*>(buffer),
                            length) == static_cast<ssize_t>(length);
    };
}

// A GPT header that fails its checks is not handed to The Sleuth Kit: the
// partitions are read from the backup header at the disk's end where that
// one is sound, and the damage is said. True when the table was settled
// here; false when the library may read it.
bool checkPartitionTables(TSK_IMG_INFO* image, ImageSurvey& survey,
                          std::vector<FoundPartition>& found) {
    const auto size = static_cast<std::uint64_t>(image->size);
    const BytesAt read = imageBytes(image);
    for (const std::uint32_t sectorSize : {512u, 4096u}) {
        GptHeader primary;
        std::wstring why;
        if (checkGptHeader(read, size, sectorSize, 1, primary, why) != TableState::Damaged) {
            continue;
        }
        survey.partitionTable = L"GPT";
        GptHeader backup;
        std::wstring backupWhy;
        const std::uint64_t lastLba = size / sectorSize - 1;
        if (checkGptHeader(read, size, sectorSize, lastLba, backup, backupWhy) ==
                TableState::Sound &&
            readGptEntries(read, size, sectorSize, backup, found)) {
            survey.tableDamage = why + L"; its backup header, at the disk's end, was read instead";
        } else {
            survey.tableDamage = why + L", and it has no sound backup header";
        }
        return true;
    }
    return false;
}

// A volume's damaged system file records, mended before its file system is
// opened (see ntfs_system_records.h), and counted.
std::uint32_t mendVolume(TSK_IMG_INFO* image, std::uint64_t offset, std::uint64_t length) {
    const BytesAt volume = [image, offset](std::uint64_t at, std::uint8_t* buffer,
                                           std::size_t size) {
        return disk::readMediaUncached(image, offset + at, buffer, size);
    };
    std::uint32_t mended = 0;
    for (MendedRecord& record : mendSystemRecords(volume, length)) {
        disk::overlayMedia(image, offset + record.offset, std::move(record.bytes));
        ++mended;
    }
    return mended;
}

bool fileSystemAtStart(TSK_IMG_INFO* image) {
    TSK_FS_INFO* fileSystem = openKnownFileSystem(image, 0);
    if (fileSystem == nullptr) {
        return false;
    }
    tsk_fs_close(fileSystem);
    return true;
}

// An MBR the library would not read (one entry past the image's end makes
// it drop the whole table): the entries that lie inside the image.
void mendedMbr(TSK_IMG_INFO* image, ImageSurvey& survey, std::vector<FoundPartition>& found) {
    std::wstring why;
    if (readMbrEntries(imageBytes(image), static_cast<std::uint64_t>(image->size), found, why) ==
        TableState::Damaged) {
        survey.partitionTable = L"MBR";
        survey.tableDamage = why;
    } else {
        found.clear();
    }
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

DiskImageHandle openDiskImage(const EvidenceFileHandle& evidence, ImageSurvey& survey) {
    survey = ImageSurvey{};
    DiskImageHandle image(new DiskImage);
    image->evidence = evidence;
    tsk_error_reset();
    const ImageFormat format = disk::imageFormatOf(*evidence);
    std::wstring why;
    image->image = disk::openImageMedia(evidence, format, why);
    if (image->image == nullptr) {
        survey.problem = format != ImageFormat::Raw
                             ? L"it looks like a " + disk::formatName(format) +
                                   L" image, but it could not be opened (" + why + L")"
                             : L"it could not be opened (" + why + L")";
        return nullptr;
    }
    survey.opened = true;
    survey.format = disk::formatName(format);
    survey.damage = disk::mediaDamage(image->image);

    std::vector<FoundPartition> found;
    TSK_VS_INFO* table = nullptr;
    // A volume that is the whole image is mended before anything opens it.
    const std::uint32_t mendedAtStart =
        mendVolume(image->image, 0, static_cast<std::uint64_t>(image->image->size));
    if (!checkPartitionTables(image->image, survey, found)) {
        table = openPartitionTable(image->image);
        if (table == nullptr && !fileSystemAtStart(image->image)) {
            mendedMbr(image->image, survey, found);
        }
    }
    if (table == nullptr && survey.partitionTable.empty()) {
        ImageVolume whole;
        whole.length = static_cast<std::uint64_t>(image->image->size);
        whole.description = L"the whole image (no partition table)";
        survey.volumes.push_back(whole);
    } else if (table == nullptr) {
        std::uint32_t number = 0;
        for (const FoundPartition& partition : found) {
            ImageVolume volume;
            volume.partition = ++number;
            volume.offset = partition.offset;
            volume.length = partition.length;
            volume.description = partition.description;
            survey.volumes.push_back(volume);
        }
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
        volume.recordsMended = volume.offset == 0
                                   ? mendedAtStart
                                   : mendVolume(image->image, volume.offset, volume.length);
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
    ShadowVolume* shadow = disk::shadowVolume(image, volume);
    if (shadow == nullptr) {
        if (disk::shadowCatalogUnreadable(image, volume)) {
            problem = L"the volume's shadow copy catalog could not be read";
        }
        return copies; // no shadow copies, or none that can be read
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
    ShadowVolume* shadow = disk::shadowVolume(image, volume);
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
    TSK_IMG_INFO* info = disk::openStoreImage(opened, size);
    if (info == nullptr) {
        return nullptr;
    }
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

} // namespace tidewell
