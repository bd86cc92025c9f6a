// The adapters through which the libraries read what they cannot open
// themselves: libbfio handles over a file the scan opened or a volume inside
// the image, and a shadow copy's store as an image The Sleuth Kit reads
// through libvshadow. Every handle is freed by whatever closes what it
// serves.
#include <algorithm>
#include <cstdio>

#include "machine/image_internals.h"

namespace tidewell::disk {

namespace {

// --- a range of bytes, as libbfio reads it ---

struct ByteRange {
    ByteReader read;
    void* from;
    std::uint64_t start;
    std::uint64_t size;
    std::uint64_t position;
};

ByteRange* rangeOf(intptr_t* handle) {
    return reinterpret_cast<ByteRange*>(handle);
}

int freeRange(intptr_t** handle, libbfio_error_t**) {
    delete rangeOf(*handle);
    *handle = nullptr;
    return 1;
}

int cloneRange(intptr_t** destination, intptr_t* source, libbfio_error_t**) {
    *destination = reinterpret_cast<intptr_t*>(new ByteRange(*rangeOf(source)));
    return 1;
}

int openRange(intptr_t*, int, libbfio_error_t**) {
    return 1;
}

int closeRange(intptr_t*, libbfio_error_t**) {
    return 0;
}

ssize_t readRange(intptr_t* handle, uint8_t* buffer, size_t size, libbfio_error_t**) {
    ByteRange* range = rangeOf(handle);
    if (range->position >= range->size) {
        return 0;
    }
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(size, range->size - range->position));
    std::size_t got = 0;
    if (!range->read(range->from, range->start + range->position, buffer, wanted, got)) {
        return -1;
    }
    range->position += got;
    return static_cast<ssize_t>(got);
}

ssize_t writeRange(intptr_t*, const uint8_t*, size_t, libbfio_error_t**) {
    return -1; // read-only, always
}

off64_t seekRange(intptr_t* handle, off64_t offset, int whence, libbfio_error_t**) {
    ByteRange* range = rangeOf(handle);
    const std::uint64_t base = whence == SEEK_CUR   ? range->position
                               : whence == SEEK_END ? range->size
                                                    : 0;
    // 64-bit and signed: a seek before the start, or past what an offset
    // holds, is refused rather than wrapped.
    if ((offset < 0 && static_cast<std::uint64_t>(-(offset + 1)) >= base) ||
        (offset > 0 && base > static_cast<std::uint64_t>(INT64_MAX - offset))) {
        return -1;
    }
    range->position = offset < 0 ? base - static_cast<std::uint64_t>(-(offset + 1)) - 1
                                 : base + static_cast<std::uint64_t>(offset);
    return static_cast<off64_t>(range->position);
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

bool readEvidence(void* from, std::uint64_t offset, std::uint8_t* buffer, std::size_t size,
                  std::size_t& got) {
    return readEvidenceAt(*static_cast<EvidenceFile*>(from), offset, buffer, size, got);
}

// A volume of the image, read through The Sleuth Kit (and its cache); a
// failed read is counted against the image.
bool readVolume(void* from, std::uint64_t offset, std::uint8_t* buffer, std::size_t size,
                std::size_t& got) {
    auto* image = static_cast<DiskImage*>(from);
    const ssize_t read = tsk_img_read(image->image, static_cast<TSK_OFF_T>(offset),
                                      reinterpret_cast<char*>(buffer), size);
    if (read < 0) {
        ++image->readErrors;
        got = 0;
        return false;
    }
    got = static_cast<std::size_t>(read);
    return true;
}

// --- a shadow copy's store as an image ---

struct StoreImage {
    TSK_IMG_INFO info; // first: The Sleuth Kit sees only this
    libvshadow_store_t* store;
};

ssize_t readStore(TSK_IMG_INFO* info, TSK_OFF_T offset, char* buffer, size_t length) {
    auto* image = reinterpret_cast<StoreImage*>(info);
    const ssize_t read =
        libvshadow_store_read_buffer_at_offset(image->store, buffer, length, offset, nullptr);
    if (read < 0) {
        sayImageReadFailed("a shadow copy's store");
    }
    return read;
}

void closeStore(TSK_IMG_INFO* info) {
    auto* image = reinterpret_cast<StoreImage*>(info);
    libvshadow_store_free(&image->store, nullptr);
    tsk_img_free(info);
}

void statImage(TSK_IMG_INFO*, FILE*) {}

} // namespace

libbfio_handle_t* bytesHandle(ByteReader read, void* from, std::uint64_t start,
                              std::uint64_t size) {
    auto* range = new ByteRange{read, from, start, size, 0};
    libbfio_handle_t* handle = nullptr;
    if (libbfio_handle_initialize(
            &handle, reinterpret_cast<intptr_t*>(range), freeRange, cloneRange, openRange,
            closeRange, readRange, writeRange, seekRange, rangeExists, rangeIsOpen, rangeSize,
            LIBBFIO_FLAG_IO_HANDLE_MANAGED | LIBBFIO_FLAG_IO_HANDLE_CLONE_BY_FUNCTION,
            nullptr) != 1) {
        delete range;
        return nullptr;
    }
    return handle;
}

libbfio_handle_t* evidenceHandle(EvidenceFile& evidence) {
    return bytesHandle(readEvidence, &evidence, 0, evidence.size);
}

void sayImageReadFailed(const char* what) {
    tsk_error_reset();
    tsk_error_set_errno(TSK_ERR_IMG_READ);
    tsk_error_set_errstr("%s could not be read", what);
}

TSK_IMG_INFO* openStoreImage(libvshadow_store_t* store, std::uint64_t size) {
    auto* image = static_cast<StoreImage*>(tsk_img_malloc(sizeof(StoreImage)));
    if (image == nullptr) {
        libvshadow_store_free(&store, nullptr);
        return nullptr;
    }
    image->store = store;
    return tsk_img_open_external(image, static_cast<TSK_OFF_T>(size), sectorSize, readStore,
                                 closeStore, statImage);
}

ShadowVolume* shadowVolume(DiskImage& image, const ImageVolume& volume) {
    for (ShadowVolume& known : image.shadows) {
        if (known.offset == volume.offset) {
            return known.opened ? &known : nullptr;
        }
    }
    ShadowVolume shadow;
    shadow.offset = volume.offset;
    shadow.handle = bytesHandle(readVolume, &image, volume.offset, volume.length);
    shadow.signature =
        shadow.handle != nullptr && libvshadow_volume_initialize(&shadow.volume, nullptr) == 1 &&
        libvshadow_check_volume_signature_file_io_handle(shadow.handle, nullptr) == 1;
    shadow.opened = shadow.signature &&
                    libvshadow_volume_open_file_io_handle(shadow.volume, shadow.handle,
                                                          LIBVSHADOW_OPEN_READ, nullptr) == 1;
    image.shadows.push_back(shadow);
    return shadow.opened ? &image.shadows.back() : nullptr;
}

bool shadowCatalogUnreadable(DiskImage& image, const ImageVolume& volume) {
    if (shadowVolume(image, volume) != nullptr) {
        return false;
    }
    for (const ShadowVolume& known : image.shadows) {
        if (known.offset == volume.offset) {
            return known.signature;
        }
    }
    return false;
}

} // namespace tidewell::disk
