#include "prefetch/tests/prefetch_consistency.h"

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "platform/possible_date.h"
#include "platform/text_fold.h"
#include "prefetch/prefetch_details.h"
#include "support/corpus_files.h"

namespace tidewell::testing {

void expectConsistentWithFile(const LaunchRecord& record, const std::filesystem::path& file,
                              FileTime now) {
    SCOPED_TRACE(file.string());
    ASSERT_NE(prefetchDetails(record), nullptr);
    const PrefetchDetails& details = *prefetchDetails(record);
    const std::string fileName = file.filename().string();
    // The hash is the last dash-separated part. (Files such as
    // Op-MSEDGE.EXE-37D25F9A-00000001.pf hold "Op-MSEDGE.EXE-37D25F9A" as
    // their name and 1 as their hash, so the same rule holds for them.)
    const std::string stem = fileName.substr(0, fileName.size() - 3); // without ".pf"
    const std::size_t dash = stem.rfind('-');
    ASSERT_NE(dash, std::string::npos);
    const std::string namePart = stem.substr(0, dash);
    const std::string hashPart = stem.substr(dash + 1);
    char hash[16];
    std::snprintf(hash, sizeof hash, "%08X", static_cast<unsigned>(details.pathHash));
    EXPECT_EQ(std::string(hash), hashPart);

    const std::wstring wideName(namePart.begin(), namePart.end());
    if (details.nameTruncated) {
        EXPECT_TRUE(startsWithFolded(wideName, record.name)) << narrow(record.name);
    } else {
        // A copy renamed with a leading underscore still ends with the name.
        EXPECT_TRUE(endsWithFolded(wideName, record.name)) << narrow(record.name);
    }
    EXPECT_FALSE(record.runTimes.empty()) << "a real file records at least its last run";
    for (FileTime run : record.runTimes) {
        EXPECT_TRUE(isPossibleDate(run, now));
    }
    EXPECT_LE(record.runTimes.size(), 8u);
    EXPECT_FALSE(details.referencedFiles.empty());
    EXPECT_NE(details.volumeSerial, 0u);
    EXPECT_GE(details.volumeCount, 1u);
    // Every volume the file names was read, the first one agreeing with the
    // record's own fields, and each has the kernel's name for its device.
    ASSERT_EQ(details.volumes.size(), details.volumeCount);
    EXPECT_EQ(details.volumes.front().serial, details.volumeSerial);
    EXPECT_EQ(details.volumes.front().created, details.volumeCreated);
    for (const PrefetchVolume& volume : details.volumes) {
        EXPECT_TRUE(startsWithFolded(volume.devicePath, L"\\DEVICE\\") ||
                    volume.devicePath.rfind(L"\\VOLUME{", 0) == 0)
            << narrow(volume.devicePath);
    }
    // What Windows 10 and later record of the program's own path is a kernel
    // path or a package's name, and never holds the padding behind its NUL.
    for (wchar_t unit : details.recordedPath) {
        EXPECT_GE(unit, L' ') << narrow(details.recordedPath);
    }
}

} // namespace tidewell::testing
