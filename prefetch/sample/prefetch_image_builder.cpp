#include "prefetch/sample/prefetch_image_builder.h"

#include <stdexcept>

namespace tidewell::sample {

namespace {

struct VersionFacts {
    std::uint32_t version;
    std::size_t firstSlot;
    std::size_t slots;
    std::size_t runCount;
    std::size_t minimum;
    std::size_t volumeEntry;
};

// Written down from the format description, independently of the parser's
// own table, so that a mistake in one is caught by the other.
constexpr VersionFacts versionFacts[] = {
    {17, 120, 1, 144, 148, 40}, {23, 128, 1, 152, 156, 104}, {26, 128, 8, 208, 212, 104},
    {30, 128, 8, 208, 212, 96}, {31, 128, 8, 200, 204, 96},
};

constexpr std::size_t recordedPathField = 212;

void appendText(std::vector<std::uint8_t>& image, const std::wstring& text) {
    for (wchar_t unit : text) {
        image.push_back(static_cast<std::uint8_t>(unit));
        image.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(unit) >> 8));
    }
}

const VersionFacts& factsFor(std::uint32_t version) {
    for (const VersionFacts& facts : versionFacts) {
        if (facts.version == version) {
            return facts;
        }
    }
    // Unknown versions get the largest layout, so any field can still be set.
    return versionFacts[3];
}

} // namespace

PrefetchImageSpec programSpec(std::uint32_t version, const std::wstring& name,
                              std::uint32_t pathHash, std::vector<std::uint64_t> runs,
                              std::uint32_t runCount) {
    PrefetchImageSpec spec;
    spec.version = version;
    spec.name = name;
    spec.pathHash = pathHash;
    spec.runTimeSlots = std::move(runs);
    spec.runCount = runCount;
    spec.alternateRunCount = runCount;
    return spec;
}

std::size_t minimumImageSize(std::uint32_t version) {
    return factsFor(version).minimum;
}

void putU16(std::vector<std::uint8_t>& image, std::size_t offset, std::uint16_t value) {
    if (offset + 2 > image.size()) {
        throw std::out_of_range("putU16 outside the test image");
    }
    image[offset] = static_cast<std::uint8_t>(value);
    image[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putU32(std::vector<std::uint8_t>& image, std::size_t offset, std::uint32_t value) {
    putU16(image, offset, static_cast<std::uint16_t>(value));
    putU16(image, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

void putU64(std::vector<std::uint8_t>& image, std::size_t offset, std::uint64_t value) {
    putU32(image, offset, static_cast<std::uint32_t>(value));
    putU32(image, offset + 4, static_cast<std::uint32_t>(value >> 32));
}

void resizeKeepingDeclaredSize(std::vector<std::uint8_t>& image, std::size_t size) {
    image.resize(size);
    if (size >= 16) {
        putU32(image, 12, static_cast<std::uint32_t>(size));
    }
}

std::vector<std::uint8_t> buildPrefetchImage(const PrefetchImageSpec& spec,
                                             PrefetchImageLayout* layout) {
    const VersionFacts& facts = factsFor(spec.version);
    const bool recordsPath = !spec.recordedPath.empty();
    std::vector<std::uint8_t> image(recordsPath ? recordedPathField + 8 : facts.minimum, 0);

    putU32(image, 0, spec.version);
    image[4] = 'S';
    image[5] = 'C';
    image[6] = 'C';
    image[7] = 'A';
    for (std::size_t i = 0; i < spec.name.size() && i < 30; ++i) {
        putU16(image, 16 + 2 * i, static_cast<std::uint16_t>(spec.name[i]));
    }
    putU32(image, 76, spec.pathHash);
    putU32(image, 84, spec.metricsOffset);
    for (std::size_t slot = 0; slot < spec.runTimeSlots.size(); ++slot) {
        putU64(image, facts.firstSlot + 8 * slot, spec.runTimeSlots[slot]);
    }
    putU32(image, facts.runCount, spec.runCount);
    if (spec.version == 30) {
        putU32(image, 200, spec.alternateRunCount);
    }

    PrefetchImageLayout placed;
    if (!spec.referencedFiles.empty()) {
        placed.stringsOffset = image.size();
        for (const std::wstring& file : spec.referencedFiles) {
            appendText(image, file);
            image.push_back(0);
            image.push_back(0);
        }
        placed.stringsSize = image.size() - placed.stringsOffset;
        putU32(image, 100, static_cast<std::uint32_t>(placed.stringsOffset));
        putU32(image, 104, static_cast<std::uint32_t>(placed.stringsSize));
    }
    if (!spec.volumes.empty()) {
        placed.volumeOffset = image.size();
        image.resize(image.size() + facts.volumeEntry * spec.volumes.size(), 0);
        for (std::size_t i = 0; i < spec.volumes.size(); ++i) {
            const SampleVolume& volume = spec.volumes[i];
            const std::size_t entry = placed.volumeOffset + facts.volumeEntry * i;
            putU32(image, entry, static_cast<std::uint32_t>(image.size() - placed.volumeOffset));
            putU32(image, entry + 4, static_cast<std::uint32_t>(volume.devicePath.size()));
            putU64(image, entry + 8, volume.created);
            putU32(image, entry + 16, volume.serial);
            appendText(image, volume.devicePath);
            image.push_back(0);
            image.push_back(0);
        }
        placed.volumeSize = image.size() - placed.volumeOffset;
        putU32(image, 108, static_cast<std::uint32_t>(placed.volumeOffset));
        putU32(image, 112, static_cast<std::uint32_t>(spec.volumes.size()));
        putU32(image, 116, static_cast<std::uint32_t>(placed.volumeSize));
    }
    if (recordsPath) {
        const std::size_t offset = image.size();
        appendText(image, spec.recordedPath);
        image.resize(image.size() + 4, 0); // the NUL and two bytes of padding, as Windows writes
        putU32(image, recordedPathField, static_cast<std::uint32_t>(offset));
        putU32(image, recordedPathField + 4, static_cast<std::uint32_t>(image.size() - offset));
    }
    putU32(image, 12, static_cast<std::uint32_t>(image.size()));
    if (layout != nullptr) {
        *layout = placed;
    }
    return image;
}

} // namespace tidewell::sample
