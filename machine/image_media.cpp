// An image's content as the field's library for its format reads it: split
// raw through our own reads, E01 through libewf, VHD and VHDX through
// libvhdi, VMDK through libvmdk, QCOW2 through libqcow. Each reads through
// the file the scan opened; a segment or extent in a file of its own is
// opened once, here. The Sleuth Kit then reads the content through us, so
// that it never opens the evidence again.
#define HAVE_LIBBFIO 1 // libewf declares its pool functions only where this is said
#include <libewf.h>
#include <libqcow.h>
#include <libvhdi.h>
#include <libvmdk.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "machine/image_internals.h"
#include "platform/utf8_codec.h"

// The Sleuth Kit's own search for a split raw image's segments (.001, .002,
// ...; .aa, .ab, ...), exported but left out of its headers. It looks at
// names only and opens nothing.
extern "C" char** tsk_img_findFiles(const char* startingName, int* found);

namespace tidewell::disk {

namespace {

struct ImageMedia {
    ImageFormat format = ImageFormat::Raw;
    // Every file it reads, the scan's own first, each opened once; kept open
    // for as long as the image.
    std::vector<EvidenceFileHandle> files;
    std::vector<std::uint64_t> starts;  // split raw: where each file begins
    libbfio_handle_t* handle = nullptr; // the scan's file, for a library reading one file
    libbfio_pool_t* pool = nullptr;     // E01's segments or VMDK's extents, with their handles
    libewf_handle_t* ewf = nullptr;
    libvhdi_file_t* vhdi = nullptr;
    libvmdk_handle_t* vmdk = nullptr;
    libqcow_file_t* qcow = nullptr;
    std::uint64_t size = 0;
    unsigned sectorBytes = sectorSize;
    // E01 chunks whose data failed its checksum, as byte ranges of the media:
    // a read that touches one gave damaged data, never to be parsed as whole.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> damaged;
    std::uint32_t checksumErrorsKnown = 0;
    // Bytes read in place of the media's own (mended file records).
    std::vector<std::pair<std::uint64_t, std::vector<std::uint8_t>>> overlays;
};

void closeMedia(ImageMedia* media) {
    if (media->ewf != nullptr) {
        libewf_handle_close(media->ewf, nullptr);
        libewf_handle_free(&media->ewf, nullptr);
    }
    if (media->vhdi != nullptr) {
        libvhdi_file_close(media->vhdi, nullptr);
        libvhdi_file_free(&media->vhdi, nullptr);
    }
    if (media->vmdk != nullptr) {
        libvmdk_handle_close(media->vmdk, nullptr);
        libvmdk_handle_free(&media->vmdk, nullptr);
    }
    if (media->qcow != nullptr) {
        libqcow_file_close(media->qcow, nullptr);
        libqcow_file_free(&media->qcow, nullptr);
    }
    if (media->pool != nullptr) {
        libbfio_pool_free(&media->pool, nullptr); // and the handles it holds
    }
    if (media->handle != nullptr) {
        libbfio_handle_free(&media->handle, nullptr);
    }
    delete media;
}

// The library's last words for what failed, freeing them.
template <typename Error, typename Print, typename Free>
std::wstring libraryWords(Error*& error, Print print, Free release) {
    std::wstring words = L"the library gave no reason";
    if (error != nullptr) {
        char text[512] = {};
        if (print(error, text, sizeof text) > 0) {
            words = fromUtf8(text);
            while (!words.empty() && (words.back() == L'\n' || words.back() == L'.')) {
                words.pop_back();
            }
        }
        release(&error);
    }
    return words;
}

// A file the image is made of besides the scan's own, by the rule of the
// evidence folder: a regular file beside the first, never a link; false,
// with why, when it cannot be opened.
bool openPart(ImageMedia& media, const std::string& name, std::wstring& why) {
    EvidenceFileHandle part = openEvidenceFileBeside(*media.files.front(), fromUtf8(name));
    if (!evidenceOpen(*part)) {
        why = fromUtf8(name) + L" could not be opened (" + openFailureText(part->openError) + L")";
        return false;
    }
    media.files.push_back(std::move(part));
    return true;
}

// A pool whose entry index reads file (a new handle over it).
bool poolHandle(libbfio_pool_t* pool, int index, EvidenceFile& file) {
    libbfio_handle_t* handle = evidenceHandle(file);
    if (handle == nullptr) {
        return false;
    }
    if (libbfio_pool_set_handle(pool, index, handle, LIBBFIO_OPEN_READ, nullptr) != 1) {
        libbfio_handle_free(&handle, nullptr);
        return false;
    }
    return true;
}

// --- raw, whole or split ---

bool openRaw(ImageMedia& media, std::wstring& why) {
    const std::string first = hostPathOf(media.files.front()->path);
    int found = 0;
    char** names = tsk_img_findFiles(first.c_str(), &found);
    bool opened = true;
    for (int index = 1; names != nullptr && index < found && opened; ++index) {
        opened = openPart(media, names[index], why);
    }
    for (int index = 0; names != nullptr && index < found; ++index) {
        std::free(names[index]);
    }
    std::free(names);
    for (const EvidenceFileHandle& file : media.files) {
        media.starts.push_back(media.size);
        media.size += file->size;
    }
    return opened;
}

ssize_t readRaw(ImageMedia& media, std::uint64_t offset, std::uint8_t* buffer, std::size_t length) {
    std::size_t done = 0;
    while (done < length && offset + done < media.size) {
        const std::uint64_t at = offset + done;
        // The last file that begins at or before the offset holds it.
        const auto next = std::upper_bound(media.starts.begin(), media.starts.end(), at);
        const auto index = static_cast<std::size_t>(next - media.starts.begin()) - 1;
        const EvidenceFile& file = *media.files[index];
        const std::uint64_t within = at - media.starts[index];
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(length - done, file.size - within));
        std::size_t got = 0;
        if (wanted == 0 || !readEvidenceAt(file, within, buffer + done, wanted, got) ||
            got != wanted) {
            return -1; // a segment read short of the size it had when opened
        }
        done += got;
    }
    return static_cast<ssize_t>(done);
}

// --- E01 ---

bool openEwf(ImageMedia& media, std::wstring& why) {
    EvidenceFile& given = *media.files.front();
    const std::string first = hostPathOf(given.path);
    libewf_error_t* error = nullptr;
    char** names = nullptr;
    int count = 0;
    // The set's other segments, found by name (E01, E02, ...); where the name
    // is not a segment's, the file is read as the one segment.
    if (libewf_glob(first.c_str(), first.size(), LIBEWF_FORMAT_UNKNOWN, &names, &count, &error) !=
        1) {
        libewf_error_free(&error);
        names = nullptr;
        count = 0;
    }
    const int segments = std::max(count, 1);
    bool opened =
        libbfio_pool_initialize(&media.pool, segments,
                                LIBBFIO_POOL_UNLIMITED_NUMBER_OF_OPEN_HANDLES, nullptr) == 1;
    for (int index = 0; index < segments && opened; ++index) {
        if (count == 0 || first == names[index]) {
            opened = poolHandle(media.pool, index, given);
        } else {
            opened = openPart(media, names[index], why) &&
                     poolHandle(media.pool, index, *media.files.back());
        }
    }
    if (names != nullptr) {
        libewf_glob_free(names, count, nullptr);
    }
    if (!opened) {
        if (why.empty()) {
            why = L"its segments could not be gathered";
        }
        return false;
    }
    size64_t size = 0;
    uint32_t sectorBytes = 0;
    if (libewf_handle_initialize(&media.ewf, &error) != 1 ||
        libewf_handle_open_file_io_pool(media.ewf, media.pool, LIBEWF_OPEN_READ, &error) != 1 ||
        libewf_handle_get_media_size(media.ewf, &size, &error) != 1) {
        why = libraryWords(error, libewf_error_sprint, libewf_error_free);
        return false;
    }
    media.size = size;
    if (libewf_handle_get_bytes_per_sector(media.ewf, &sectorBytes, nullptr) == 1 &&
        sectorBytes >= sectorSize) {
        media.sectorBytes = sectorBytes;
    }
    return true;
}

// --- VHD and VHDX ---

bool openVhdi(ImageMedia& media, std::wstring& why) {
    libvhdi_error_t* error = nullptr;
    size64_t size = 0;
    media.handle = evidenceHandle(*media.files.front());
    if (media.handle == nullptr || libvhdi_file_initialize(&media.vhdi, &error) != 1 ||
        libvhdi_file_open_file_io_handle(media.vhdi, media.handle, LIBVHDI_OPEN_READ, &error) !=
            1 ||
        libvhdi_file_get_media_size(media.vhdi, &size, &error) != 1) {
        why = libraryWords(error, libvhdi_error_sprint, libvhdi_error_free);
        return false;
    }
    media.size = size;
    return true;
}

// --- VMDK ---

// Where an extent's file lies: its name (a plain file name) beside the
// descriptor's file.
std::wstring extentPath(const std::wstring& descriptor, const std::string& name) {
    const std::wstring base = fromUtf8(name);
    const std::size_t folder = descriptor.find_last_of(L"/\\");
    return folder == std::wstring::npos ? base : descriptor.substr(0, folder + 1) + base;
}

bool openVmdkExtents(ImageMedia& media, std::wstring& why) {
    libvmdk_error_t* error = nullptr;
    int extents = 0;
    if (libvmdk_handle_get_number_of_extents(media.vmdk, &extents, &error) != 1 || extents <= 0 ||
        libbfio_pool_initialize(&media.pool, extents, LIBBFIO_POOL_UNLIMITED_NUMBER_OF_OPEN_HANDLES,
                                &error) != 1) {
        why = libraryWords(error, libvmdk_error_sprint, libvmdk_error_free);
        return false;
    }
    EvidenceFile& given = *media.files.front();
    for (int index = 0; index < extents; ++index) {
        libvmdk_extent_descriptor_t* extent = nullptr;
        int type = 0;
        std::size_t nameSize = 0;
        std::string name;
        if (libvmdk_handle_get_extent_descriptor(media.vmdk, index, &extent, &error) != 1) {
            why = libraryWords(error, libvmdk_error_sprint, libvmdk_error_free);
            return false;
        }
        const bool described =
            libvmdk_extent_descriptor_get_type(extent, &type, nullptr) == 1 &&
            (type == LIBVMDK_EXTENT_TYPE_ZERO ||
             (libvmdk_extent_descriptor_get_utf8_filename_size(extent, &nameSize, nullptr) == 1 &&
              nameSize > 1));
        if (described && type != LIBVMDK_EXTENT_TYPE_ZERO) {
            name.resize(nameSize);
            if (libvmdk_extent_descriptor_get_utf8_filename(
                    extent, reinterpret_cast<uint8_t*>(name.data()), nameSize, nullptr) != 1) {
                name.clear();
            }
            name.resize(std::strlen(name.c_str()));
        }
        libvmdk_extent_descriptor_free(&extent, nullptr);
        if (!described || (type != LIBVMDK_EXTENT_TYPE_ZERO && name.empty())) {
            why = L"extent " + std::to_wstring(index + 1) + L" is not described";
            return false;
        }
        if (type == LIBVMDK_EXTENT_TYPE_ZERO) {
            continue; // reads as zeros, from no file
        }
        // An extent is a file beside its descriptor: a name that leads
        // anywhere else (a folder part, a drive) is refused, not followed.
        if (name.find_first_of("/\\:") != std::string::npos || name == "." || name == "..") {
            why = L"extent " + std::to_wstring(index + 1) + L" is named with a folder part (" +
                  fromUtf8(name) + L"); only a file beside the descriptor is read";
            return false;
        }
        // A monolithic image's one extent is the file itself.
        const std::wstring path = extentPath(given.path, name);
        const bool itself = path == given.path;
        if (!itself && !openPart(media, hostPathOf(path), why)) {
            return false;
        }
        if (!poolHandle(media.pool, index, itself ? given : *media.files.back())) {
            why = L"extent " + std::to_wstring(index + 1) + L" could not be read";
            return false;
        }
    }
    if (libvmdk_handle_open_extent_data_files_file_io_pool(media.vmdk, media.pool, &error) != 1) {
        why = libraryWords(error, libvmdk_error_sprint, libvmdk_error_free);
        return false;
    }
    return true;
}

bool openVmdk(ImageMedia& media, std::wstring& why) {
    libvmdk_error_t* error = nullptr;
    size64_t size = 0;
    media.handle = evidenceHandle(*media.files.front());
    if (media.handle == nullptr || libvmdk_handle_initialize(&media.vmdk, &error) != 1 ||
        libvmdk_handle_open_file_io_handle(media.vmdk, media.handle, LIBVMDK_OPEN_READ, &error) !=
            1) {
        why = libraryWords(error, libvmdk_error_sprint, libvmdk_error_free);
        return false;
    }
    if (!openVmdkExtents(media, why)) {
        return false;
    }
    if (libvmdk_handle_get_media_size(media.vmdk, &size, &error) != 1) {
        why = libraryWords(error, libvmdk_error_sprint, libvmdk_error_free);
        return false;
    }
    media.size = size;
    return true;
}

// --- QCOW2 ---

bool openQcow(ImageMedia& media, std::wstring& why) {
    libqcow_error_t* error = nullptr;
    size64_t size = 0;
    media.handle = evidenceHandle(*media.files.front());
    if (media.handle == nullptr || libqcow_file_initialize(&media.qcow, &error) != 1 ||
        libqcow_file_open_file_io_handle(media.qcow, media.handle, LIBQCOW_OPEN_READ, &error) !=
            1 ||
        libqcow_file_get_media_size(media.qcow, &size, &error) != 1) {
        why = libraryWords(error, libqcow_error_sprint, libqcow_error_free);
        return false;
    }
    // A differential image holds only what changed since its backing file:
    // read alone, the rest would read as zeros and pass for the disk.
    std::size_t backingSize = 0;
    if (libqcow_file_get_utf8_backing_filename_size(media.qcow, &backingSize, nullptr) == 1 &&
        backingSize > 1) {
        std::string backing(std::min<std::size_t>(backingSize, 4096), '\0');
        if (libqcow_file_get_utf8_backing_filename(media.qcow,
                                                   reinterpret_cast<uint8_t*>(backing.data()),
                                                   backing.size(), nullptr) != 1) {
            backing.clear();
        }
        backing.resize(std::strlen(backing.c_str()));
        why = L"it is a differential image whose other data lies in its backing file" +
              (backing.empty() ? std::wstring() : L" " + fromUtf8(backing)) +
              L", which is not read; make it a whole image first (qemu-img convert)";
        return false;
    }
    media.size = size;
    return true;
}

// Whether [offset, offset + length) touches a chunk libewf has found to
// fail its checksum: the library hands the data on all the same and only
// lists the chunk, so the list is asked after every read.
bool touchesDamage(ImageMedia& media, std::uint64_t offset, std::size_t length) {
    std::uint32_t errors = 0;
    if (libewf_handle_get_number_of_checksum_errors(media.ewf, &errors, nullptr) == 1 &&
        errors != media.checksumErrorsKnown) {
        media.damaged.clear();
        for (std::uint32_t index = 0; index < errors; ++index) {
            std::uint64_t first = 0;
            std::uint64_t sectors = 0;
            if (libewf_handle_get_checksum_error(media.ewf, index, &first, &sectors, nullptr) ==
                1) {
                media.damaged.emplace_back(first * media.sectorBytes, sectors * media.sectorBytes);
            }
        }
        media.checksumErrorsKnown = errors;
    }
    return std::any_of(media.damaged.begin(), media.damaged.end(), [&](const auto& range) {
        return offset < range.first + range.second && range.first < offset + length;
    });
}

// --- as an image The Sleuth Kit reads ---

struct MediaImage {
    TSK_IMG_INFO info; // first: The Sleuth Kit sees only this
    ImageMedia* media;
};

ssize_t readMedia(TSK_IMG_INFO* info, TSK_OFF_T offset, char* buffer, size_t length) {
    ImageMedia& media = *reinterpret_cast<MediaImage*>(info)->media;
    auto* bytes = reinterpret_cast<std::uint8_t*>(buffer);
    ssize_t read = -1;
    switch (media.format) {
    case ImageFormat::Raw:
        read = readRaw(media, static_cast<std::uint64_t>(offset), bytes, length);
        break;
    case ImageFormat::Ewf:
        read = libewf_handle_read_random(media.ewf, bytes, length, offset, nullptr);
        if (read >= 0 && touchesDamage(media, static_cast<std::uint64_t>(offset), length)) {
            read = -1;
        }
        break;
    case ImageFormat::Vhd:
    case ImageFormat::Vhdx:
        read = libvhdi_file_read_buffer_at_offset(media.vhdi, bytes, length, offset, nullptr);
        break;
    case ImageFormat::Vmdk:
        read = libvmdk_handle_read_buffer_at_offset(media.vmdk, bytes, length, offset, nullptr);
        break;
    case ImageFormat::Qcow:
        read = libqcow_file_read_buffer_at_offset(media.qcow, bytes, length, offset, nullptr);
        break;
    }
    if (read < 0) {
        sayImageReadFailed("the image");
        return read;
    }
    const auto start = static_cast<std::uint64_t>(offset);
    const auto end = start + static_cast<std::uint64_t>(read);
    for (const auto& [at, overlay] : media.overlays) {
        const std::uint64_t from = std::max(start, at);
        const std::uint64_t to = std::min(end, at + overlay.size());
        if (from < to) {
            std::memcpy(bytes + (from - start), overlay.data() + (from - at),
                        static_cast<std::size_t>(to - from));
        }
    }
    return read;
}

void closeMediaImage(TSK_IMG_INFO* info) {
    closeMedia(reinterpret_cast<MediaImage*>(info)->media);
    tsk_img_free(info);
}

void statMedia(TSK_IMG_INFO*, FILE*) {}

} // namespace

bool readMediaUncached(TSK_IMG_INFO* info, std::uint64_t offset, std::uint8_t* buffer,
                       std::size_t length) {
    return readMedia(info, static_cast<TSK_OFF_T>(offset), reinterpret_cast<char*>(buffer),
                     length) == static_cast<ssize_t>(length);
}

void overlayMedia(TSK_IMG_INFO* info, std::uint64_t offset, std::vector<std::uint8_t> bytes) {
    reinterpret_cast<MediaImage*>(info)->media->overlays.emplace_back(offset, std::move(bytes));
}

std::wstring mediaDamage(TSK_IMG_INFO* info) {
    const ImageMedia& media = *reinterpret_cast<MediaImage*>(info)->media;
    if (media.ewf != nullptr && libewf_handle_segment_files_corrupted(media.ewf, nullptr) == 1) {
        return L"its segment files are cut short or damaged";
    }
    return {};
}

TSK_IMG_INFO* openImageMedia(const EvidenceFileHandle& evidence, ImageFormat format,
                             std::wstring& why) {
    why.clear();
    if (!evidenceOpen(*evidence)) {
        why = openFailureText(evidence->openError);
        return nullptr;
    }
    auto* media = new ImageMedia;
    media->format = format;
    media->files.push_back(evidence);
    bool opened = false;
    switch (format) {
    case ImageFormat::Raw:
        opened = openRaw(*media, why);
        break;
    case ImageFormat::Ewf:
        opened = openEwf(*media, why);
        break;
    case ImageFormat::Vhd:
    case ImageFormat::Vhdx:
        opened = openVhdi(*media, why);
        break;
    case ImageFormat::Vmdk:
        opened = openVmdk(*media, why);
        break;
    case ImageFormat::Qcow:
        opened = openQcow(*media, why);
        break;
    }
    if (opened && media->size == 0) {
        why = L"it holds nothing";
        opened = false;
    }
    auto* image = opened ? static_cast<MediaImage*>(tsk_img_malloc(sizeof(MediaImage))) : nullptr;
    if (image == nullptr) {
        closeMedia(media);
        return nullptr;
    }
    image->media = media;
    TSK_IMG_INFO* info =
        tsk_img_open_external(image, static_cast<TSK_OFF_T>(media->size), media->sectorBytes,
                              readMedia, closeMediaImage, statMedia);
    if (info == nullptr) {
        why = L"The Sleuth Kit could not take it";
        closeMedia(media);
        tsk_img_free(image);
    }
    return info;
}

} // namespace tidewell::disk
