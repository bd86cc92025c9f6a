// What a shadow copy holds unchanged: the blocks of the volume a copy's
// stores describe are the only ones where it may differ from the volume as
// it is, so a file whose record and data lie elsewhere (and whose record is
// the same bytes in both) is the file as it is, and need not be read again.
#include <algorithm>

#include "machine/image_internals.h"

namespace tidewell {

namespace {

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

bool sameFileInCopy(ImageFileSystem& copy, ImageFileSystem& current, const std::wstring& path) {
    if (copy.store == 0 || current.store != 0 || copy.image != current.image ||
        !TSK_FS_TYPE_ISNTFS(copy.fileSystem->ftype) ||
        (!copy.blocksSurveyed && !surveyHeldApart(copy)) || !copy.blocksKnown) {
        return false;
    }
    tsk_error_reset();
    disk::OpenFile held{disk::openFile(copy, path)};
    disk::OpenFile now{disk::openFile(current, path)};
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
