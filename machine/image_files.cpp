// Reading a state of a volume's file system through The Sleuth Kit: a
// folder listed (deleted names with it, where asked), a file found by its
// path (by the record a listing named, where one did) and read whole up to a
// limit, a deleted file by its record. Every read that fails inside the
// image is counted against the image.
#include <algorithm>
#include <cstring>

#include "machine/image_internals.h"
#include "platform/path_join.h"
#include "platform/utf8_codec.h"

namespace tidewell {

namespace disk {

std::string hostPathOf(const std::wstring& path) {
    std::wstring slashed = path.empty() ? std::wstring(L"/") : path;
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    return toUtf8(slashed);
}

bool failedReading() {
    const std::uint32_t error = tsk_error_get_errno();
    return error == TSK_ERR_IMG_READ || error == TSK_ERR_IMG_READ_OFF ||
           error == TSK_ERR_IMG_SEEK || error == TSK_ERR_FS_READ;
}

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

} // namespace disk

namespace {

constexpr std::size_t readPiece = 4u * 1024 * 1024;

constexpr std::size_t failedFilesNamed = 1000;

WholeFileRead readWhole(ImageFileSystem& fileSystem, TSK_FS_FILE* file, std::uint64_t limit,
                        std::vector<std::uint8_t>& bytes, const std::wstring& name) {
    bytes.clear();
    if (file == nullptr || file->meta == nullptr || file->meta->type != TSK_FS_META_TYPE_REG ||
        file->meta->size < 0) {
        return WholeFileRead::Unreadable;
    }
    const auto size = static_cast<std::uint64_t>(file->meta->size);
    if (size > limit) {
        return WholeFileRead::TooLarge;
    }
    // Grown piece by piece: a damaged file record may claim a size the
    // volume does not hold.
    for (std::uint64_t done = 0; done < size;) {
        const auto wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(readPiece, size - done));
        bytes.resize(static_cast<std::size_t>(done + wanted));
        tsk_error_reset();
        const ssize_t got = tsk_fs_file_read(file, static_cast<TSK_OFF_T>(done),
                                             reinterpret_cast<char*>(bytes.data() + done), wanted,
                                             TSK_FS_FILE_READ_FLAG_NONE);
        if (got <= 0 || static_cast<std::size_t>(got) != wanted) {
            ++fileSystem.image->readErrors;
            std::vector<std::wstring>& named = fileSystem.image->filesReadFailed;
            if (named.size() < failedFilesNamed) {
                named.push_back(name);
            }
            bytes.clear();
            return WholeFileRead::Unreadable;
        }
        done += wanted;
    }
    return WholeFileRead::Read;
}

} // namespace

bool listImageFolder(ImageFileSystem& fileSystem, const std::wstring& folder,
                     std::vector<ImageEntry>& entries, bool withDeleted) {
    entries.clear();
    tsk_error_reset();
    TSK_FS_DIR* directory =
        tsk_fs_dir_open(fileSystem.fileSystem, disk::hostPathOf(folder).c_str());
    if (directory == nullptr) {
        if (disk::failedReading()) {
            ++fileSystem.image->readErrors;
        }
        return false;
    }
    const std::size_t count = tsk_fs_dir_getsize(directory);
    for (std::size_t index = 0; index < count; ++index) {
        disk::OpenFile file{tsk_fs_dir_get(directory, index)};
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
            fileSystem.listedNames[disk::hostPathOf(joinPath(folder, fromUtf8(name->name)))] = {
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
    disk::OpenFile file{disk::openFile(fileSystem, path)};
    if (file.file == nullptr) {
        bytes.clear();
        if (disk::failedReading()) {
            ++fileSystem.image->readErrors;
            return WholeFileRead::Unreadable;
        }
        return WholeFileRead::Missing;
    }
    return readWhole(fileSystem, file.file, limit, bytes, path);
}

WholeFileRead readDeletedImageFile(ImageFileSystem& fileSystem, std::uint64_t address,
                                   std::uint64_t limit, std::vector<std::uint8_t>& bytes) {
    tsk_error_reset();
    disk::OpenFile file{tsk_fs_file_open_meta(fileSystem.fileSystem, nullptr, address)};
    return readWhole(fileSystem, file.file, limit, bytes,
                     L"the deleted file of file record " + std::to_wstring(address));
}

std::uint32_t failedImageReads(const DiskImage& image) {
    return image.readErrors;
}

const std::vector<std::wstring>& filesReadFailed(const DiskImage& image) {
    return image.filesReadFailed;
}

} // namespace tidewell
