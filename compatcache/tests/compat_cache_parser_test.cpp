// The application compatibility cache, layout by layout: values written as
// Windows writes them, the damaged and the odd ones, and the real values of
// Windows 7, 8.1 and 10.
#include "compatcache/compat_cache_parser.h"

#include <gtest/gtest.h>

#include "compatcache/sample/compat_cache_values.h"
#include "support/corpus_files.h"

namespace tidewell {
namespace {

using sample::CacheEntrySpec;
using sample::CacheLayoutSpec;

CompatCacheParse parse(const std::vector<std::uint8_t>& value) {
    return parseCompatCache(value.data(), value.size());
}

std::vector<CacheEntrySpec> twoEntries() {
    return {{L"\\??\\C:\\Windows\\system32\\cmd.exe",
             0x01D5F51EA48267CAULL,
             0x2,
             0x100,
             {1, 2, 3, 4},
             L""},
            {L"SYSVOL\\Tools\\x.exe", 0x01CF6F90E174D8D4ULL, 0x7, 0x0, {}, L"Contoso.Tool"}};
}

struct LayoutCase {
    CacheLayoutSpec written;
    CompatCacheLayout read;
    bool flags;
    bool package;
    bool headerCount;
};

TEST(CompatCacheParser, EveryLayoutReadGivesEachEntryItsFields) {
    const LayoutCase cases[] = {
        {CacheLayoutSpec::Windows7x86, CompatCacheLayout::Windows7x86, true, false, true},
        {CacheLayoutSpec::Windows7x64, CompatCacheLayout::Windows7x64, true, false, true},
        {CacheLayoutSpec::Windows80, CompatCacheLayout::Windows80, true, true, false},
        {CacheLayoutSpec::Windows81, CompatCacheLayout::Windows81, true, true, false},
        {CacheLayoutSpec::Windows10, CompatCacheLayout::Windows10, false, false, true},
        {CacheLayoutSpec::Windows10Creators, CompatCacheLayout::Windows10Creators, false, false,
         true},
    };
    for (const LayoutCase& layout : cases) {
        SCOPED_TRACE(static_cast<int>(layout.written));
        const std::vector<CacheEntrySpec> written = twoEntries();
        const CompatCacheParse read = parse(sample::compatCacheValue(layout.written, written));
        EXPECT_EQ(read.layout, layout.read);
        EXPECT_FALSE(isEarlierLayout(read.layout));
        EXPECT_EQ(read.malformedEntries, 0u);
        EXPECT_FALSE(read.walkStopped);
        EXPECT_EQ(read.headerCountStated, layout.headerCount);
        ASSERT_EQ(read.entries.size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
            const CompatCacheEntry& entry = read.entries[i];
            EXPECT_EQ(entry.position, i + 1) << "newest first, as stored";
            EXPECT_EQ(entry.path, written[i].path);
            EXPECT_EQ(entry.modified, written[i].modified);
            EXPECT_EQ(entry.data, written[i].data);
            EXPECT_EQ(entry.hasFlags, layout.flags);
            EXPECT_EQ(entry.insertionFlags, layout.flags ? written[i].insertionFlags : 0u);
            EXPECT_EQ(entry.shimFlags, layout.flags ? written[i].shimFlags : 0u);
            EXPECT_EQ(entry.package, layout.package ? written[i].package : L"");
        }
    }
}

TEST(CompatCacheParser, LayoutsBeforeWindows7AreRecognisedAndNotRead) {
    const std::vector<std::uint8_t> xp = {0xEF, 0xBE, 0xAD, 0xDE, 3, 0, 0, 0};
    const std::vector<std::uint8_t> vista = {0xFE, 0x0F, 0xDC, 0xBA, 9, 0, 0, 0, 1, 2};
    EXPECT_EQ(parse(xp).layout, CompatCacheLayout::WindowsXP);
    EXPECT_EQ(parse(vista).layout, CompatCacheLayout::Windows2003);
    EXPECT_TRUE(isEarlierLayout(parse(xp).layout));
    EXPECT_TRUE(isEarlierLayout(parse(vista).layout));
    EXPECT_TRUE(parse(xp).entries.empty());
    EXPECT_TRUE(parse(vista).entries.empty());
}

TEST(CompatCacheParser, AnUnknownSignatureOrTooShortAValueIsNoLayout) {
    for (const std::vector<std::uint8_t>& value :
         {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{0xEE, 0x0F},
          std::vector<std::uint8_t>{'A', 'B', 'C', 'D', 0, 0, 0, 0}}) {
        const CompatCacheParse read = parse(value);
        EXPECT_EQ(read.layout, CompatCacheLayout::Unknown);
        EXPECT_TRUE(read.entries.empty());
    }
    // A Windows 10 header whose first entry is not signed.
    std::vector<std::uint8_t> unsigned10 =
        sample::compatCacheValue(CacheLayoutSpec::Windows10, twoEntries());
    unsigned10[0x30] = 'X';
    EXPECT_EQ(parse(unsigned10).layout, CompatCacheLayout::Unknown);
}

TEST(CompatCacheParser, EmptyCachesHaveTheirLayoutAndNoEntry) {
    const CompatCacheParse seven =
        parse(sample::compatCacheValue(CacheLayoutSpec::Windows7x64, {}));
    EXPECT_EQ(seven.layout, CompatCacheLayout::Windows7) << "no entry tells its width";
    const CompatCacheParse eight = parse(sample::compatCacheValue(CacheLayoutSpec::Windows81, {}));
    EXPECT_EQ(eight.layout, CompatCacheLayout::Windows8) << "no entry tells 8.0 from 8.1";
    const CompatCacheParse ten = parse(sample::compatCacheValue(CacheLayoutSpec::Windows10, {}));
    EXPECT_EQ(ten.layout, CompatCacheLayout::Windows10);
    for (const CompatCacheParse* read : {&seven, &eight, &ten}) {
        EXPECT_TRUE(read->entries.empty());
        EXPECT_EQ(read->malformedEntries, 0u);
        EXPECT_FALSE(read->walkStopped);
    }
}

TEST(CompatCacheParser, ATruncatedEntryEndsTheWalkAndKeepsTheEntriesBeforeIt) {
    for (CacheLayoutSpec layout : {CacheLayoutSpec::Windows81, CacheLayoutSpec::Windows10}) {
        std::vector<std::uint8_t> value = sample::compatCacheValue(layout, twoEntries());
        const std::vector<std::size_t> starts = sample::compatCacheEntryOffsets(value);
        ASSERT_EQ(starts.size(), 2u);
        value.resize(starts[1] + 20); // the second entry cut short
        const CompatCacheParse read = parse(value);
        ASSERT_EQ(read.entries.size(), 1u);
        EXPECT_EQ(read.entries[0].path, twoEntries()[0].path);
        EXPECT_EQ(read.malformedEntries, 1u);
        EXPECT_TRUE(read.walkStopped);
    }
    // Windows 7: a count promising more entries than the value has room for.
    const std::vector<std::uint8_t> seven =
        sample::compatCacheValue(CacheLayoutSpec::Windows7x64, twoEntries(), 40000);
    const CompatCacheParse read = parse(seven);
    EXPECT_TRUE(read.walkStopped);
    EXPECT_EQ(read.malformedEntries + read.entries.size(), 40000u)
        << "every entry the header promised ends as read or counted";
    EXPECT_GE(read.entries.size(), 2u);
    EXPECT_EQ(read.headerCount, 40000u);
}

TEST(CompatCacheParser, AnEntryWhoseFieldsDoNotAddUpIsCountedAndTheWalkGoesOn) {
    for (CacheLayoutSpec layout : {CacheLayoutSpec::Windows80, CacheLayoutSpec::Windows10}) {
        std::vector<std::uint8_t> value = sample::compatCacheValue(layout, twoEntries());
        const std::size_t first = sample::compatCacheEntryOffsets(value)[0];
        // The path's size runs past the entry's own size.
        value[first + 12] = 0xF0;
        value[first + 13] = 0x7F;
        const CompatCacheParse read = parse(value);
        EXPECT_EQ(read.malformedEntries, 1u);
        EXPECT_FALSE(read.walkStopped) << "the entry's size still leads to the next";
        ASSERT_EQ(read.entries.size(), 1u);
        EXPECT_EQ(read.entries[0].position, 2u) << "the damaged entry keeps its place";
    }
    // Windows 8.0's package size left out (as one description has it): the
    // sizes no longer add up, and nothing is shown wrongly.
    CacheEntrySpec entry = twoEntries()[0];
    std::vector<std::uint8_t> value = sample::compatCacheValue(CacheLayoutSpec::Windows80, {entry});
    const std::size_t pathEnd = 128 + 12 + 2 + entry.path.size() * 2;
    value.erase(value.begin() + static_cast<long>(pathEnd),
                value.begin() + static_cast<long>(pathEnd) + 2);
    value[128 + 8] -= 2;
    EXPECT_EQ(parse(value).malformedEntries, 1u);
}

TEST(CompatCacheParser, ZerosAfterTheLastEntryAreSlackAndAnythingElseIsSaid) {
    std::vector<std::uint8_t> value =
        sample::compatCacheValue(CacheLayoutSpec::Windows10Creators, twoEntries());
    value.resize(value.size() + 300, 0);
    EXPECT_FALSE(parse(value).walkStopped);
    EXPECT_EQ(parse(value).entries.size(), 2u);
    value[value.size() - 7] = 0x41;
    EXPECT_TRUE(parse(value).walkStopped);
    EXPECT_EQ(parse(value).entries.size(), 2u);
}

TEST(CompatCacheParser, AWindows7EntryPointingOutsideTheValueIsMalformed) {
    std::vector<std::uint8_t> value =
        sample::compatCacheValue(CacheLayoutSpec::Windows7x86, twoEntries());
    // The first entry's path offset, past the value's end.
    value[128 + 4] = 0xFF;
    value[128 + 5] = 0xFF;
    value[128 + 6] = 0xFF;
    const CompatCacheParse read = parse(value);
    EXPECT_EQ(read.layout, CompatCacheLayout::Windows7x86);
    EXPECT_EQ(read.malformedEntries, 1u);
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries[0].position, 2u);
}

// --- real values ---

CompatCacheParse corpusValue(const char* name) {
    return parse(testing::readWholeFile(testing::corpusRoot() /
                                        "sources/appcompatcache/EZ-AppCompatCacheParser" / name));
}

void expectSoundEntries(const CompatCacheParse& read) {
    EXPECT_EQ(read.malformedEntries, 0u);
    EXPECT_FALSE(read.walkStopped);
    for (std::size_t i = 0; i < read.entries.size(); ++i) {
        EXPECT_EQ(read.entries[i].position, i + 1);
        EXPECT_FALSE(read.entries[i].path.empty());
    }
}

TEST(CompatCacheCorpus, Windows7x64) {
    TIDEWELL_REQUIRE_CORPUS("sources");
    const CompatCacheParse read = corpusValue("win7x64.bin");
    EXPECT_EQ(read.layout, CompatCacheLayout::Windows7x64);
    EXPECT_EQ(read.headerCount, 304u);
    EXPECT_EQ(read.entries.size(), 304u);
    expectSoundEntries(read);
    EXPECT_EQ(read.entries[0].path.rfind(L"\\??\\", 0), 0u) << "paths as \\??\\C:\\...";
    EXPECT_TRUE(read.entries[0].hasFlags);
}

TEST(CompatCacheCorpus, Windows81) {
    TIDEWELL_REQUIRE_CORPUS("sources");
    const CompatCacheParse read = corpusValue("Win81.bin");
    EXPECT_EQ(read.layout, CompatCacheLayout::Windows81);
    EXPECT_GT(read.entries.size(), 100u);
    expectSoundEntries(read);
    EXPECT_EQ(read.entries[0].path, L"SYSVOL\\Program Files\\CrashPlan\\jre\\bin\\java.exe");
    EXPECT_EQ(read.entries[0].modified, 0x01CEF14B2DBB5A2BULL);
    EXPECT_EQ(read.entries[0].insertionFlags, 0x5Fu);
    EXPECT_EQ(read.entries[0].data.size(), 0x1C8u);
}

TEST(CompatCacheCorpus, Windows10) {
    TIDEWELL_REQUIRE_CORPUS("sources");
    const CompatCacheParse read = corpusValue("Win10.bin");
    EXPECT_EQ(read.layout, CompatCacheLayout::Windows10);
    EXPECT_EQ(read.entries.size(), 350u);
    EXPECT_EQ(read.headerCount, 350u);
    expectSoundEntries(read);
    EXPECT_EQ(read.entries[0].path, L"C:\\WINDOWS\\System32\\vds.exe");
    std::size_t packaged = 0;
    for (const CompatCacheEntry& entry : read.entries) {
        if (entry.path.find(L'\t') != std::wstring::npos) {
            ++packaged;
            EXPECT_EQ(entry.modified, 0u) << "a packaged application's entry has no time";
        }
    }
    EXPECT_GT(packaged, 5u);
}

} // namespace
} // namespace tidewell
