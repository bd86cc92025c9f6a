// The plain Prefetch format, rule by rule, on images whose every field the
// test chose.
#include "prefetch/prefetch_parser.h"

#include <gtest/gtest.h>

#include "support/record_details.h"

#include "core/record_source.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_details.h"
#include "prefetch/prefetch_source.h"
#include "prefetch/sample/prefetch_image_builder.h"
#include "support/tally_checks.h"

namespace tidewell {
namespace {

using sample::buildPrefetchImage;
using sample::PrefetchImageLayout;
using sample::PrefetchImageSpec;
using sample::putU32;
using sample::putU64;
using sample::resizeKeepingDeclaredSize;

// 2024-06-01 00:00:00 UTC.
constexpr FileTime testNow = 133616736000000000ULL;
constexpr FileTime aRunTime = 133500000000000000ULL; // early 2024
constexpr FileTime oneDay = 864000000000ULL;

struct Outcome {
    bool accepted = false;
    LaunchRecord record;
    ScanTally tally;
};

Outcome parse(const std::vector<std::uint8_t>& image, FileTime now = testNow) {
    Outcome outcome;
    outcome.accepted = parsePrefetchAt(image.data(), image.size(), L"C:\\Windows\\Prefetch\\X.pf",
                                       outcome.record, outcome.tally, now);
    return outcome;
}

PrefetchImageSpec specWithOneRun(std::uint32_t version = 30) {
    PrefetchImageSpec spec;
    spec.version = version;
    spec.runTimeSlots = {aRunTime};
    spec.runCount = 1;
    spec.alternateRunCount = 1;
    return spec;
}

// A rejection counts its reason once and nothing else.
void expectRejectedAs(const Outcome& outcome, const ScanCounter& counter) {
    EXPECT_FALSE(outcome.accepted);
    EXPECT_EQ(outcome.tally[counter], 1u);
    EXPECT_EQ(testing::sumOfAllCounters(outcome.tally), 1u);
}

TEST(PrefetchSignatureAndSize, AbsentOrShortOrUnsignedImagesAreMalformed) {
    ScanTally tally;
    LaunchRecord record;
    EXPECT_FALSE(parsePrefetchAt(nullptr, 500, L"x", record, tally, testNow));
    EXPECT_EQ(tally[prefetchMalformed], 1u);

    std::vector<std::uint8_t> image = buildPrefetchImage(specWithOneRun());
    std::vector<std::uint8_t> short83(image.begin(), image.begin() + 83);
    expectRejectedAs(parse(short83), prefetchMalformed);

    std::vector<std::uint8_t> wrongSignature = image;
    wrongSignature[7] = 'B'; // "SCCB"
    expectRejectedAs(parse(wrongSignature), prefetchMalformed);

    // An 84-byte image passes the first check but not the version's minimum.
    std::vector<std::uint8_t> only84(image.begin(), image.begin() + 84);
    putU32(only84, 12, 84);
    expectRejectedAs(parse(only84), prefetchMalformed);
}

TEST(PrefetchSignatureAndSize, DeclaredSizeMustEqualTheImageSize) {
    std::vector<std::uint8_t> image = buildPrefetchImage(specWithOneRun());
    ASSERT_TRUE(parse(image).accepted);

    std::vector<std::uint8_t> oneShort = image;
    oneShort.pop_back();
    expectRejectedAs(parse(oneShort), prefetchMalformed);

    std::vector<std::uint8_t> oneLonger = image;
    oneLonger.push_back(0);
    expectRejectedAs(parse(oneLonger), prefetchMalformed);
}

TEST(PrefetchVersions, OnlyTheFiveKnownVersionsAreRead) {
    for (std::uint32_t version : {17u, 23u, 26u, 30u, 31u}) {
        EXPECT_TRUE(parse(buildPrefetchImage(specWithOneRun(version))).accepted) << version;
    }
    for (std::uint32_t version : {0u, 16u, 22u, 24u, 29u, 32u, 0x1Eu + 0x100u}) {
        std::vector<std::uint8_t> image = buildPrefetchImage(specWithOneRun(30));
        putU32(image, 0, version);
        expectRejectedAs(parse(image), prefetchUnknownVersion);
    }
}

TEST(PrefetchVersions, AVersion26ImageOneByteShortOfItsRunCountIsMalformed) {
    PrefetchImageSpec spec = specWithOneRun(26);
    spec.volumes.clear();
    std::vector<std::uint8_t> image = buildPrefetchImage(spec);
    resizeKeepingDeclaredSize(image, 212); // the run count at 208 ends the header
    EXPECT_TRUE(parse(image).accepted);
    resizeKeepingDeclaredSize(image, 211);
    expectRejectedAs(parse(image), prefetchMalformed);
}

TEST(PrefetchRunTimeSlots, Version17KeepsItsOneSlotAt120) {
    PrefetchImageSpec spec = specWithOneRun(17);
    std::vector<std::uint8_t> image = buildPrefetchImage(spec);
    putU64(image, 128, aRunTime + 5); // the later versions' first slot is ignored here
    Outcome outcome = parse(image);
    ASSERT_TRUE(outcome.accepted);
    EXPECT_EQ(outcome.record.runTimes, std::vector<FileTime>{aRunTime});

    putU64(image, 120, 0);
    outcome = parse(image);
    ASSERT_TRUE(outcome.accepted);
    EXPECT_TRUE(outcome.record.runTimes.empty());
}

TEST(PrefetchRunTimeSlots, Version23HasOneSlotAt128) {
    std::vector<std::uint8_t> image = buildPrefetchImage(specWithOneRun(23));
    putU64(image, 136, aRunTime + 7); // a second slot does not exist in version 23
    Outcome outcome = parse(image);
    ASSERT_TRUE(outcome.accepted);
    EXPECT_EQ(outcome.record.runTimes, std::vector<FileTime>{aRunTime});
}

TEST(PrefetchRunTimeSlots, EightSlotsFrom128KeepFileOrderAndSkipEmptyOnes) {
    for (std::uint32_t version : {26u, 30u, 31u}) {
        PrefetchImageSpec spec = specWithOneRun(version);
        spec.runTimeSlots = {aRunTime + 8, 0, aRunTime + 6, aRunTime + 5, 0, 0, 0, aRunTime + 1};
        spec.runCount = 4;
        spec.alternateRunCount = 4;
        Outcome outcome = parse(buildPrefetchImage(spec));
        ASSERT_TRUE(outcome.accepted) << version;
        EXPECT_EQ(outcome.record.runTimes,
                  (std::vector<FileTime>{aRunTime + 8, aRunTime + 6, aRunTime + 5, aRunTime + 1}));
    }
}

TEST(PrefetchRunTimeSlots, TimesNotNewestFirstAreKeptAsRecordedAndMarked) {
    struct Case {
        std::vector<FileTime> slots;
        bool outOfOrder;
    };
    const Case cases[] = {
        {{aRunTime + 8, aRunTime + 6, aRunTime + 1}, false},
        {{aRunTime + 8, aRunTime + 8, 0, aRunTime + 1}, false},   // equal times are in order
        {{aRunTime + 6, aRunTime + 8, aRunTime + 1}, true},       // slot 0 older than slot 1
        {{aRunTime + 8, 0, aRunTime + 1, 0, aRunTime + 2}, true}, // empty slots between
        {{aRunTime + 1}, false},
    };
    for (const Case& c : cases) {
        PrefetchImageSpec spec = specWithOneRun(30);
        spec.runTimeSlots = c.slots;
        spec.runCount = 8;
        spec.alternateRunCount = 8;
        const Outcome outcome = parse(buildPrefetchImage(spec));
        ASSERT_TRUE(outcome.accepted);
        EXPECT_EQ(testing::prefetchOf(outcome.record).runTimesOutOfOrder != 0, c.outOfOrder)
            << c.slots.size();
        EXPECT_EQ(outcome.tally[prefetchRunTimesOutOfOrder], c.outOfOrder ? 1u : 0u);
        EXPECT_EQ(outcome.tally[prefetchParsed], 1u) << "a doubt beside the record, not instead";
        // The last run stays the first slot, as Windows recorded it.
        EXPECT_EQ(outcome.record.runTimes.front(), c.slots.front());
    }
}

TEST(PrefetchRunTimeSlots, EightEmptySlotsAreAcceptedAndAnyCountBelowTheLimitIsBelieved) {
    PrefetchImageSpec spec = specWithOneRun(26);
    spec.runTimeSlots.clear();
    for (std::uint32_t count : {0u, 1u, 99999999u}) {
        spec.runCount = count;
        Outcome outcome = parse(buildPrefetchImage(spec));
        ASSERT_TRUE(outcome.accepted);
        EXPECT_TRUE(outcome.record.runTimes.empty());
        EXPECT_TRUE(outcome.record.runCountKnown) << count;
        EXPECT_EQ(outcome.record.runCount, count);
    }
}

TEST(PrefetchRunTimeBounds, BothBoundsAreIncludedAndOneTickBeyondRejectsTheFile) {
    const FileTime earliest = 122756256000000000ULL; // 1990-01-01 00:00:00 UTC
    struct Case {
        FileTime value;
        bool accepted;
    };
    const Case cases[] = {
        {earliest, true},
        {earliest - 1, false},
        {testNow + oneDay, true},
        {testNow + oneDay + 1, false},
        {1, false},
        {0xFFFFFFFFFFFFFFFFULL, false},
    };
    for (const Case& c : cases) {
        PrefetchImageSpec spec = specWithOneRun(26);
        // A good run first: one bad slot anywhere rejects the whole file.
        spec.runTimeSlots = {aRunTime, c.value};
        spec.runCount = 2;
        Outcome outcome = parse(buildPrefetchImage(spec));
        EXPECT_EQ(outcome.accepted, c.accepted) << c.value;
        if (!c.accepted) {
            expectRejectedAs(outcome, prefetchMalformed);
        }
    }
}

TEST(PrefetchReferencedFiles, StringsAreSplitAtNulsAndEmptyOnesDropped) {
    PrefetchImageSpec spec = specWithOneRun();
    spec.referencedFiles = {L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\WINDOWS\\SYSTEM32\\NTDLL.DLL",
                            L"", L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\WINDOWS\\NOTEPAD.EXE",
                            L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\WINDOWS\\NOTEPAD.EXE"};
    Outcome outcome = parse(buildPrefetchImage(spec));
    ASSERT_TRUE(outcome.accepted);
    // The empty string vanished; the duplicate stays.
    EXPECT_EQ(testing::prefetchOf(outcome.record).referencedFiles,
              (std::vector<std::wstring>{spec.referencedFiles[0], spec.referencedFiles[2],
                                         spec.referencedFiles[3]}));
    EXPECT_EQ(outcome.tally[prefetchListOutside], 0u);
}

TEST(PrefetchReferencedFiles, ALastStringWithoutItsNulIsKept) {
    PrefetchImageSpec spec = specWithOneRun();
    spec.referencedFiles = {L"A.DLL", L"B.DLL"};
    PrefetchImageLayout layout;
    std::vector<std::uint8_t> image = buildPrefetchImage(spec, &layout);
    putU32(image, 104, static_cast<std::uint32_t>(layout.stringsSize - 2)); // drop the final NUL
    Outcome outcome = parse(image);
    ASSERT_TRUE(outcome.accepted);
    EXPECT_EQ(testing::prefetchOf(outcome.record).referencedFiles,
              (std::vector<std::wstring>{L"A.DLL", L"B.DLL"}));
}

TEST(PrefetchReferencedFiles, AnAbsentSectionIsNoProblem) {
    PrefetchImageSpec spec = specWithOneRun();
    Outcome outcome = parse(buildPrefetchImage(spec));
    ASSERT_TRUE(outcome.accepted);
    EXPECT_TRUE(testing::prefetchOf(outcome.record).referencedFiles.empty());
    EXPECT_EQ(outcome.tally[prefetchListOutside], 0u);
}

TEST(PrefetchReferencedFiles, AHalfDeclaredOddOrOverlongSectionIsCountedAndNotRead) {
    PrefetchImageSpec spec = specWithOneRun();
    spec.referencedFiles = {L"A.DLL", L"B.DLL"};
    PrefetchImageLayout layout;
    const std::vector<std::uint8_t> good = buildPrefetchImage(spec, &layout);
    const auto offset = static_cast<std::uint32_t>(layout.stringsOffset);
    const auto size = static_cast<std::uint32_t>(layout.stringsSize);
    const auto imageSize = static_cast<std::uint32_t>(good.size());

    const std::pair<std::uint32_t, std::uint32_t> damaged[] = {
        {0, size},                        // offset 0, size given
        {offset, 0},                      // offset given, size 0
        {offset, size - 1},               // odd size, inside the file
        {offset, imageSize - offset + 2}, // reaches past the end
        {0xFFFFFFF0u, 0x20u},             // would wrap in 32 bits
    };
    for (const auto& [o, s] : damaged) {
        std::vector<std::uint8_t> image = good;
        putU32(image, 100, o);
        putU32(image, 104, s);
        Outcome outcome = parse(image);
        ASSERT_TRUE(outcome.accepted) << o << "/" << s;
        EXPECT_TRUE(testing::prefetchOf(outcome.record).referencedFiles.empty()) << o << "/" << s;
        EXPECT_EQ(outcome.tally[prefetchListOutside], 1u) << o << "/" << s;
        EXPECT_EQ(outcome.tally[prefetchParsed], 1u);
    }
}

bool operator==(const PrefetchVolume& a, const sample::SampleVolume& b) {
    return a.devicePath == b.devicePath && a.created == b.created && a.serial == b.serial;
}

TEST(PrefetchVolumeBlock, EveryEntryOfEveryVersionIsRead) {
    const std::vector<sample::SampleVolume> volumes = {
        {L"\\DEVICE\\HARDDISKVOLUME1", 0x01D0000000000001ULL, 0xAC036525},
        {L"\\DEVICE\\HARDDISKVOLUMESHADOWCOPY2", 0, 0xAC036525},
        {L"\\VOLUME{01d5f51ea48267ca-96a49c74}", 0x01D5F51EA48267CAULL, 0x96A49C74},
    };
    for (std::uint32_t version : {17u, 23u, 26u, 30u, 31u}) {
        PrefetchImageSpec spec = specWithOneRun(version);
        spec.volumes = volumes;
        Outcome outcome = parse(buildPrefetchImage(spec));
        ASSERT_TRUE(outcome.accepted) << version;
        ASSERT_EQ(testing::prefetchOf(outcome.record).volumes.size(), 3u) << version;
        for (std::size_t i = 0; i < volumes.size(); ++i) {
            EXPECT_TRUE(testing::prefetchOf(outcome.record).volumes[i] == volumes[i])
                << version << " entry " << i;
        }
        // The first entry also stands in the record's own fields.
        EXPECT_EQ(testing::prefetchOf(outcome.record).volumeCreated, volumes[0].created);
        EXPECT_EQ(testing::prefetchOf(outcome.record).volumeSerial, volumes[0].serial);
        EXPECT_EQ(testing::prefetchOf(outcome.record).volumeCount, 3u);
        EXPECT_EQ(outcome.tally[prefetchListOutside], 0u);
    }
}

TEST(PrefetchVolumeBlock, ABlockCutShortKeepsTheEntriesBeforeTheCut) {
    PrefetchImageSpec spec = specWithOneRun(30);
    spec.volumes.clear();
    std::vector<std::uint8_t> image = buildPrefetchImage(spec);
    // The first 96-byte entry carries its own device path in its unused
    // tail; the file ends 30 bytes into the second.
    const std::size_t block = image.size();
    image.resize(block + 96 + 30, 0);
    putU32(image, block, 40);
    putU32(image, block + 4, 4);
    putU64(image, block + 8, aRunTime);
    putU32(image, block + 16, 0x0BADF00D);
    for (std::size_t i = 0; i < 4; ++i) {
        sample::putU16(image, block + 40 + 2 * i, static_cast<std::uint16_t>(L"\\D:1"[i]));
    }
    putU32(image, 108, static_cast<std::uint32_t>(block));
    putU32(image, 112, 2);
    putU32(image, 116, 96 + 30);
    resizeKeepingDeclaredSize(image, image.size());
    Outcome outcome = parse(image);
    ASSERT_TRUE(outcome.accepted);
    ASSERT_EQ(testing::prefetchOf(outcome.record).volumes.size(), 1u);
    EXPECT_EQ(testing::prefetchOf(outcome.record).volumes[0].devicePath, L"\\D:1");
    EXPECT_EQ(testing::prefetchOf(outcome.record).volumes[0].serial, 0x0BADF00Du);
    EXPECT_EQ(testing::prefetchOf(outcome.record).volumeCount, 2u);
    EXPECT_EQ(outcome.tally[prefetchListOutside], 1u);

    // A device path that lies outside: the entry keeps its serial and time.
    putU32(image, block, 0xFFFFFF00u);
    outcome = parse(image);
    ASSERT_EQ(testing::prefetchOf(outcome.record).volumes.size(), 1u);
    EXPECT_TRUE(testing::prefetchOf(outcome.record).volumes[0].devicePath.empty());
    EXPECT_EQ(testing::prefetchOf(outcome.record).volumes[0].created, aRunTime);
    EXPECT_EQ(outcome.tally[prefetchListOutside], 1u);
}

TEST(PrefetchRecordedPath, OnlyTheLayoutsThatRecordItAreRead) {
    const std::wstring edge = L"\\DEVICE\\HARDDISKVOLUME5\\PROGRAM FILES (X86)\\MSEDGE.EXE";
    struct Case {
        std::uint32_t version;
        std::uint32_t metricsOffset;
        bool read;
    };
    for (const Case& c :
         {Case{31, 296, true}, Case{30, 296, true}, Case{30, 304, false}, Case{26, 304, false}}) {
        PrefetchImageSpec spec = specWithOneRun(c.version);
        spec.metricsOffset = c.metricsOffset;
        spec.recordedPath = edge;
        Outcome outcome = parse(buildPrefetchImage(spec));
        ASSERT_TRUE(outcome.accepted);
        EXPECT_EQ(testing::prefetchOf(outcome.record).recordedPath, c.read ? edge : L"")
            << c.version;
    }
}

TEST(PrefetchRecordedPath, AnUnreadablePathIsNoneAndCountsNothing) {
    PrefetchImageSpec spec = specWithOneRun(31);
    spec.recordedPath = L"Microsoft.WindowsNotepad_11.2312.18.0_x64__8wekyb3d8bbwe";
    const std::vector<std::uint8_t> good = buildPrefetchImage(spec);
    ASSERT_EQ(testing::prefetchOf(parse(good).record).recordedPath, spec.recordedPath);
    const std::pair<std::uint32_t, std::uint32_t> damaged[] = {
        {0, 120},                                           // no offset
        {static_cast<std::uint32_t>(good.size()) - 4, 120}, // runs past the end
        {0xFFFFFFF0u, 120},                                 // would wrap in 32 bits
    };
    for (const auto& [offset, size] : damaged) {
        std::vector<std::uint8_t> image = good;
        putU32(image, 212, offset);
        putU32(image, 216, size);
        Outcome outcome = parse(image);
        ASSERT_TRUE(outcome.accepted);
        EXPECT_TRUE(testing::prefetchOf(outcome.record).recordedPath.empty()) << offset;
        EXPECT_EQ(outcome.tally[prefetchListOutside], 0u);
    }
}

TEST(PrefetchVolumeBlock, ACountOrOffsetOfZeroMeansNoBlock) {
    PrefetchImageSpec spec = specWithOneRun();
    std::vector<std::uint8_t> image = buildPrefetchImage(spec);
    std::vector<std::uint8_t> zeroCount = image;
    putU32(zeroCount, 112, 0);
    std::vector<std::uint8_t> zeroOffset = image;
    putU32(zeroOffset, 108, 0);
    for (const auto& variant : {zeroCount, zeroOffset}) {
        Outcome outcome = parse(variant);
        ASSERT_TRUE(outcome.accepted);
        EXPECT_EQ(testing::prefetchOf(outcome.record).volumeSerial, 0u);
        EXPECT_EQ(testing::prefetchOf(outcome.record).volumeCreated, 0u);
        EXPECT_EQ(testing::prefetchOf(outcome.record).volumeCount, 0u);
        EXPECT_EQ(outcome.tally[prefetchListOutside], 0u);
    }
}

TEST(PrefetchVolumeBlock, ABlockTooSmallForItsCountOrOutsideTheImageIsCounted) {
    PrefetchImageSpec spec = specWithOneRun();
    PrefetchImageLayout layout;
    const std::vector<std::uint8_t> good = buildPrefetchImage(spec, &layout);
    const auto offset = static_cast<std::uint32_t>(layout.volumeOffset);
    const auto imageSize = static_cast<std::uint32_t>(good.size());
    struct Damage {
        std::uint32_t offset, count, size;
    };
    const Damage damaged[] = {
        {offset, 1, 23},                     // smaller than one entry
        {offset, 2, 40},                     // two entries need 48 bytes
        {offset, 1, imageSize - offset + 1}, // reaches past the end
        {imageSize - 10, 1, 24},             // entry outside the file
        {0xFFFFFFF0u, 1, 24},                // would wrap in 32 bits
        {offset, 0x20000000u, 0xFFFFFFF0u},  // count × 24 overflows 32 bits
    };
    for (const Damage& d : damaged) {
        std::vector<std::uint8_t> image = good;
        putU32(image, 108, d.offset);
        putU32(image, 112, d.count);
        putU32(image, 116, d.size);
        Outcome outcome = parse(image);
        ASSERT_TRUE(outcome.accepted);
        EXPECT_EQ(testing::prefetchOf(outcome.record).volumeSerial, 0u)
            << d.offset << "/" << d.count << "/" << d.size;
        EXPECT_EQ(testing::prefetchOf(outcome.record).volumeCreated, 0u);
        EXPECT_EQ(testing::prefetchOf(outcome.record).volumeCount, 0u);
        EXPECT_EQ(outcome.tally[prefetchListOutside], 1u);
    }
}

TEST(PrefetchVolumeBlock, TwoProblemsInOneFileCountOnce) {
    PrefetchImageSpec spec = specWithOneRun();
    spec.referencedFiles = {L"A.DLL"};
    std::vector<std::uint8_t> image = buildPrefetchImage(spec);
    putU32(image, 104, 3);  // odd strings size
    putU32(image, 116, 10); // volume block too small
    Outcome outcome = parse(image);
    ASSERT_TRUE(outcome.accepted);
    EXPECT_EQ(outcome.tally[prefetchListOutside], 1u);
    EXPECT_EQ(outcome.tally[prefetchParsed], 1u);
}

TEST(PrefetchHeaderFields, NameHashVersionAndFileAreCopied) {
    PrefetchImageSpec spec = specWithOneRun(26);
    spec.name = L"CALC.EXE";
    spec.pathHash = 0x77FDF17F;
    Outcome outcome = parse(buildPrefetchImage(spec));
    ASSERT_TRUE(outcome.accepted);
    EXPECT_EQ(outcome.record.source, &prefetchSource);
    EXPECT_EQ(outcome.record.name, L"CALC.EXE");
    EXPECT_FALSE(testing::prefetchOf(outcome.record).nameTruncated);
    EXPECT_EQ(testing::prefetchOf(outcome.record).pathHash, 0x77FDF17Fu);
    EXPECT_EQ(testing::prefetchOf(outcome.record).formatVersion, 26u);
    EXPECT_EQ(outcome.record.recordFile, L"C:\\Windows\\Prefetch\\X.pf");
    EXPECT_TRUE(outcome.record.path.empty());
    EXPECT_EQ(outcome.record.pathStatus, PathStatus::NoPathRecorded);
    EXPECT_NE(prefetchDetails(outcome.record), nullptr) << "details of its own source only";
    EXPECT_TRUE(outcome.record.userSid.empty());
}

TEST(PrefetchHeaderFields, NamesOf29OrMoreUnitsMayBeCutAndAreMarked) {
    const std::wstring thirty = L"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
    struct Case {
        std::wstring written;
        std::wstring expected;
        bool truncated;
    };
    const Case cases[] = {
        {thirty, thirty, true}, // fills all 60 bytes, no NUL
        {thirty.substr(0, 29), thirty.substr(0, 29), true},
        {thirty.substr(0, 28), thirty.substr(0, 28), false},
        {thirty + L"XYZ", thirty, true}, // the field holds 30 units at most
    };
    for (const Case& c : cases) {
        PrefetchImageSpec spec = specWithOneRun();
        spec.name = c.written;
        Outcome outcome = parse(buildPrefetchImage(spec));
        ASSERT_TRUE(outcome.accepted);
        EXPECT_EQ(outcome.record.name, c.expected);
        EXPECT_EQ(testing::prefetchOf(outcome.record).nameTruncated != 0, c.truncated)
            << c.expected.size();
    }
}

TEST(PrefetchHeaderFields, NameUnitsAreTakenAsStoredEvenOutsideAscii) {
    PrefetchImageSpec spec = specWithOneRun();
    spec.name = std::wstring{L'\x00C9', L'\xD800', L'.', L'E'}; // É and a lone surrogate
    Outcome outcome = parse(buildPrefetchImage(spec));
    ASSERT_TRUE(outcome.accepted);
    EXPECT_EQ(outcome.record.name, spec.name);
}

TEST(PrefetchCounting, AnAcceptedImageCountsParsedOnceAndAtMostOneOfEachDoubt) {
    PrefetchImageSpec spec = specWithOneRun();
    spec.referencedFiles = {L"A.DLL"};
    spec.runCount = 0; // fewer than the one recorded run: withheld
    spec.alternateRunCount = 0;
    std::vector<std::uint8_t> image = buildPrefetchImage(spec);
    putU32(image, 104, 1);
    Outcome outcome = parse(image);
    ASSERT_TRUE(outcome.accepted);
    EXPECT_EQ(outcome.tally[prefetchParsed], 1u);
    EXPECT_EQ(outcome.tally[prefetchRunCountUnverified], 1u);
    EXPECT_EQ(outcome.tally[prefetchListOutside], 1u);
    EXPECT_EQ(testing::sumOfAllCounters(outcome.tally), 3u);
    EXPECT_FALSE(outcome.record.runCountKnown);
    EXPECT_EQ(outcome.record.runCount, 0u);
}

TEST(PrefetchCounting, ARecordReusedFromAnEarlierParseStartsFresh) {
    Outcome first = parse(buildPrefetchImage([] {
        PrefetchImageSpec spec = specWithOneRun();
        spec.referencedFiles = {L"A.DLL"};
        return spec;
    }()));
    ASSERT_TRUE(first.accepted);
    LaunchRecord reused = first.record;
    reused.userSid = L"S-1-5-21-1";
    reused.path = L"C:\\stale";
    ScanTally tally;
    PrefetchImageSpec bare = specWithOneRun();
    bare.volumes.clear();
    const std::vector<std::uint8_t> image = buildPrefetchImage(bare);
    ASSERT_TRUE(parsePrefetchAt(image.data(), image.size(), L"y", reused, tally, testNow));
    EXPECT_TRUE(testing::prefetchOf(reused).referencedFiles.empty());
    EXPECT_TRUE(reused.userSid.empty());
    EXPECT_TRUE(reused.path.empty());
    EXPECT_EQ(testing::prefetchOf(reused).volumeSerial, 0u);
}

} // namespace
} // namespace tidewell
