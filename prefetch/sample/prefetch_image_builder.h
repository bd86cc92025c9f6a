// Builds plain Prefetch images field by field: for tests, every rule of the
// parser can be tried on bytes whose every value they chose; for the demo,
// sample files that look like a machine's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tidewell::sample {

// One entry of the volume block.
struct SampleVolume {
    std::wstring devicePath; // written after the entries, without a NUL
    std::uint64_t created = 0x01D2A3B4C5D6E7F8ULL;
    std::uint32_t serial = 0x1A2B3C4D;
};

struct PrefetchImageSpec {
    std::uint32_t version = 30;
    std::wstring name = L"NOTEPAD.EXE"; // 30 or more units fill the field without a NUL
    std::uint32_t pathHash = 0x1A2B3C4D;
    std::vector<std::uint64_t> runTimeSlots; // written from the first slot on
    std::uint32_t runCount = 1;
    std::uint32_t alternateRunCount = 0; // version 30 only, at 200
    std::uint32_t metricsOffset = 304;
    std::vector<std::wstring> referencedFiles;         // each written with its NUL
    std::vector<SampleVolume> volumes{SampleVolume{}}; // none: no volume block at all
    // Written after the volume block, with a NUL, and pointed to from 212
    // (version 31, and version 30 with the metrics array at 296).
    std::wstring recordedPath;
};

// A program's spec with its counts agreeing (both run counts the same), for
// the sample machines; its files and volumes are the caller's to add.
PrefetchImageSpec programSpec(std::uint32_t version, const std::wstring& name,
                              std::uint32_t pathHash, std::vector<std::uint64_t> runs,
                              std::uint32_t runCount);

// Where the builder put the variable sections, for tests that damage them.
struct PrefetchImageLayout {
    std::size_t stringsOffset = 0;
    std::size_t stringsSize = 0;
    std::size_t volumeOffset = 0;
    std::size_t volumeSize = 0;
};

// The header region is the version's minimum image size (or 220 bytes where
// a recorded path is written); the strings follow it, then the volume block
// (entries of the version's size, then their device paths), then the
// recorded path. The declared size is the image's size.
std::vector<std::uint8_t> buildPrefetchImage(const PrefetchImageSpec& spec,
                                             PrefetchImageLayout* layout = nullptr);

// The smallest image size the version allows (the end of its header region).
std::size_t minimumImageSize(std::uint32_t version);

void putU16(std::vector<std::uint8_t>& image, std::size_t offset, std::uint16_t value);
void putU32(std::vector<std::uint8_t>& image, std::size_t offset, std::uint32_t value);
void putU64(std::vector<std::uint8_t>& image, std::size_t offset, std::uint64_t value);

// Changes the image's length and keeps the declared size at offset 12 equal to it.
void resizeKeepingDeclaredSize(std::vector<std::uint8_t>& image, std::size_t size);

} // namespace tidewell::sample
