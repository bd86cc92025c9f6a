#include "machine/collection_zip.h"

#include <zip.h>

#include <algorithm>
#include <unordered_set>

#include "machine/zip_directory.h"
#include "platform/utf8_codec.h"

namespace tidewell {

struct ZipArchive {
    zip_t* zip = nullptr;
    std::vector<ZipMember> members;
};

namespace {

// The zip as libzip reads it: the file the scan opened, never opened again.
struct ZipFileSource {
    EvidenceFileHandle file;
    std::uint64_t position = 0;
    zip_error_t error;
};

zip_int64_t failed(ZipFileSource& source, int code) {
    zip_error_set(&source.error, code, 0);
    return -1;
}

zip_int64_t readZipSource(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto& source = *static_cast<ZipFileSource*>(state);
    const std::uint64_t size = source.file->size;
    switch (command) {
    case ZIP_SOURCE_OPEN:
        source.position = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        std::size_t got = 0;
        const std::uint64_t left = source.position < size ? size - source.position : 0;
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(length, left));
        if (!readEvidenceAt(*source.file, source.position, static_cast<std::uint8_t*>(data), wanted,
                            got)) {
            return failed(source, ZIP_ER_READ);
        }
        source.position += got;
        return static_cast<zip_int64_t>(got);
    }
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* stat = static_cast<zip_stat_t*>(data);
        zip_stat_init(stat);
        stat->size = size;
        stat->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_SEEK: {
        const zip_int64_t target =
            zip_source_seek_compute_offset(source.position, size, data, length, &source.error);
        if (target < 0) {
            return -1;
        }
        source.position = static_cast<std::uint64_t>(target);
        return 0;
    }
    case ZIP_SOURCE_TELL:
        return static_cast<zip_int64_t>(source.position);
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&source.error, data, length);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&source.error);
        delete &source;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(
            ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
            ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS, -1);
    default:
        return failed(source, ZIP_ER_OPNOTSUPP);
    }
}

// Members whose central directory entries name the same local header.
void markSharedData(const EvidenceFile& file, std::vector<ZipMember>& members) {
    const BytesAt read = [&file](std::uint64_t offset, std::uint8_t* buffer, std::size_t length) {
        std::size_t got = 0;
        return readEvidenceAt(file, offset, buffer, length, got) && got == length;
    };
    std::vector<std::uint64_t> offsets;
    if (!memberDataOffsets(read, file.size, offsets) || offsets.size() != members.size()) {
        return;
    }
    std::unordered_set<std::uint64_t> seen;
    for (std::size_t index = 0; index < members.size(); ++index) {
        members[index].sharesData = !seen.insert(offsets[index]).second;
    }
}

} // namespace

void ZipArchiveClose::operator()(ZipArchive* archive) const {
    if (archive != nullptr && archive->zip != nullptr) {
        zip_discard(archive->zip); // read-only: nothing is ever written back
    }
    delete archive;
}

namespace {

constexpr std::uint64_t readPiece = 4u * 1024 * 1024;

struct ZipFileClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

std::wstring openProblem(int code) {
    switch (code) {
    case ZIP_ER_NOZIP:
        return L"it is not a zip file, or it is cut short (its central directory, at the end of "
               L"the file, is missing)";
    case ZIP_ER_INCONS:
        return L"it is a damaged zip file (its central directory does not agree with itself)";
    case ZIP_ER_NOENT:
        return L"there is no such file";
    case ZIP_ER_OPEN:
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
        return L"it could not be opened or read";
    case ZIP_ER_MEMORY:
        return L"there was not enough memory to list it";
    default:
        break;
    }
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::wstring text =
        L"it could not be read as a zip file (" + fromUtf8(zip_error_strerror(&error)) + L")";
    zip_error_fini(&error);
    return text;
}

} // namespace

ZipArchiveHandle openZipArchive(const EvidenceFileHandle& file, std::vector<ZipMember>& members,
                                std::wstring& problem) {
    members.clear();
    if (file == nullptr || !evidenceOpen(*file)) {
        problem = openProblem(ZIP_ER_OPEN);
        return nullptr;
    }
    auto* state = new ZipFileSource{file, 0, {}};
    zip_error_init(&state->error);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_function_create(readZipSource, state, &error);
    if (source == nullptr) {
        zip_error_fini(&state->error);
        delete state;
        problem = openProblem(zip_error_code_zip(&error));
        zip_error_fini(&error);
        return nullptr;
    }
    zip_t* zip = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (zip == nullptr) {
        zip_source_free(source); // and with it the state
        problem = openProblem(zip_error_code_zip(&error));
        zip_error_fini(&error);
        return nullptr;
    }
    zip_error_fini(&error);
    ZipArchiveHandle archive(new ZipArchive{zip, {}});
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        ZipMember member;
        if (zip_stat_index(zip, static_cast<zip_uint64_t>(index), ZIP_FL_ENC_RAW, &stat) == 0) {
            if ((stat.valid & ZIP_STAT_NAME) != 0 && stat.name != nullptr) {
                member.name = stat.name;
            }
            member.size = (stat.valid & ZIP_STAT_SIZE) != 0 ? stat.size : 0;
            member.encrypted = (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 &&
                               stat.encryption_method != ZIP_EM_NONE;
        }
        members.push_back(std::move(member));
    }
    markSharedData(*file, members);
    archive->members = members;
    return archive;
}

bool memberEncrypted(const ZipArchive& archive, std::uint64_t index) {
    return index < archive.members.size() && archive.members[index].encrypted;
}

WholeFileRead readZipMember(ZipArchive& archive, std::uint64_t index, std::uint64_t limit,
                            std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    if (index >= archive.members.size()) {
        return WholeFileRead::Missing;
    }
    const ZipMember& member = archive.members[index];
    if (member.size > limit) {
        return WholeFileRead::TooLarge;
    }
    if (member.encrypted) {
        return WholeFileRead::Unreadable;
    }
    const std::unique_ptr<zip_file_t, ZipFileClose> file(zip_fopen_index(archive.zip, index, 0));
    if (file == nullptr) {
        return WholeFileRead::Unreadable;
    }
    // The buffer grows with what the stream really gives: a member's stated
    // size is only a claim, and a few bytes of zip may claim gigabytes.
    std::uint64_t done = 0;
    while (done < member.size) {
        const std::uint64_t piece = std::min<std::uint64_t>(readPiece, member.size - done);
        bytes.resize(static_cast<std::size_t>(done + piece));
        const zip_int64_t got = zip_fread(file.get(), bytes.data() + done, piece);
        if (got <= 0) {
            break;
        }
        done += static_cast<std::uint64_t>(got);
    }
    bytes.resize(static_cast<std::size_t>(done));
    // Reading past the last byte is what makes libzip compare the checksum.
    std::uint8_t past = 0;
    const zip_int64_t after = zip_fread(file.get(), &past, 1);
    if (done != member.size || after != 0) {
        bytes.clear();
        return WholeFileRead::Unreadable;
    }
    return WholeFileRead::Read;
}

} // namespace tidewell
