#include <vector>

#include "bam/bam_counters.h"
#include "bam/bam_source.h"
#include "bam/bam_value.h"
#include "machine/examined_machine.h"
#include "machine/user_hives.h"
#include "machine/volume_devices.h"
#include "platform/error_codes.h"
#include "platform/system_clock.h"
#include "registry/registry.h"

namespace tidewell {

namespace {

constexpr std::uint32_t subkeyNameChars = 256;
// A value is named after a full path, which may be as long as the kernel allows.
constexpr std::uint32_t valueNameChars = 32768;
constexpr std::uint32_t valueReadLimit = 4096; // the data is 24 bytes

struct ModeratorKey {
    Moderator moderator;
    const wchar_t* service;
};

constexpr ModeratorKey moderators[] = {
    {Moderator::Background, L"bam"},
    {Moderator::Desktop, L"dam"},
};

// Where the users' keys stand below a moderator's service key, newest first.
constexpr const wchar_t* userSettingsPaths[] = {L"State\\UserSettings", L"UserSettings"};

struct BamReading {
    ExaminedMachine& machine;
    ScanResults& results;
    std::vector<DeviceDrive> drives;
    FileTime now = 0;
    std::vector<std::wstring> layoutsRead; // for the coverage's note

    void placePath(LaunchRecord& record) const {
        std::wstring placed;
        if (!record.path.empty() && placeOnDrive(drives, record.path, placed)) {
            record.path = placed;
            record.pathStatus = PathStatus::Resolved;
        }
    }

    // Every value of one user's key: read once for its name, type and size,
    // and, when it may be an entry, again for its data.
    void readUserKey(const RegistryKey& key, const BamContext& context) {
        for (std::uint32_t index = 0;; ++index) {
            std::wstring name;
            std::uint32_t type = 0;
            std::uint32_t size = 0;
            const std::uint32_t first =
                regEnumValue(key, index, valueNameChars, name, type, nullptr, size);
            if (first == ERROR_NO_MORE_ITEMS) {
                return;
            }
            if (first != ERROR_SUCCESS) {
                ++results.tally[bamKeysUnreadable];
                return;
            }
            ++results.tally[bamSeen];
            if (isBamBookkeepingName(name)) {
                ++results.tally[bamBookkeepingSkipped];
                continue;
            }
            if (size > valueReadLimit) {
                ++results.tally[bamUnknownShape];
                continue;
            }
            std::vector<std::uint8_t> data(size, 0);
            std::uint32_t dataSize = size;
            if (regEnumValue(key, index, valueNameChars, name, type,
                             data.empty() ? nullptr : data.data(), dataSize) != ERROR_SUCCESS) {
                ++results.tally[bamKeysUnreadable];
                continue;
            }
            LaunchRecord record;
            if (makeBamRecord(name, type, data.empty() ? nullptr : data.data(), dataSize, context,
                              results.tally, record)) {
                placePath(record);
                results.records.push_back(std::move(record));
            }
        }
    }

    // Every user's key below one UserSettings key.
    void readUserSettings(const RegistryKey& settings, Moderator moderator) {
        for (std::uint32_t index = 0;; ++index) {
            std::wstring sid;
            const std::uint32_t status = regEnumKey(settings, index, subkeyNameChars, sid);
            if (status == ERROR_NO_MORE_ITEMS) {
                return;
            }
            if (status != ERROR_SUCCESS) {
                ++results.tally[bamKeysUnreadable];
                return;
            }
            RegistryKey user;
            if (regOpenKey(settings, sid, registryKeyRead, user) != ERROR_SUCCESS) {
                ++results.tally[bamKeysUnreadable];
                continue;
            }
            const BamContext context{moderator, sid, accountNameOnMachine(machine, sid), now};
            readUserKey(user, context);
        }
    }

    // One moderator: false when the machine has no such service.
    bool readModerator(const ModeratorKey& which) {
        RegistryKey service;
        const std::uint32_t opened = openControlSetKey(
            machine, std::wstring(L"Services\\") + which.service, registryKeyRead, service);
        if (opened == ERROR_FILE_NOT_FOUND) {
            return false;
        }
        if (opened != ERROR_SUCCESS) {
            ++results.tally[bamKeysUnreadable];
            return true;
        }
        for (const wchar_t* path : userSettingsPaths) {
            RegistryKey settings;
            const std::uint32_t found = regOpenKey(service, path, registryKeyRead, settings);
            if (found == ERROR_FILE_NOT_FOUND) {
                continue;
            }
            if (found != ERROR_SUCCESS) {
                ++results.tally[bamKeysUnreadable];
                continue;
            }
            layoutsRead.push_back(std::wstring(which.service) + L"\\" + path);
            readUserSettings(settings, which.moderator);
        }
        return true;
    }
};

} // namespace

void scanBam(ExaminedMachine& machine, ScanResults& results) {
    SourceReading& reading = readingOf(results.origin, bamSource);
    if (!systemKeysOpen(machine)) {
        sayWithoutSystemKeys(machine, reading, results.tally, bamKeysUnreadable);
        return;
    }
    BamReading bam{machine, results, deviceDrives(machine), currentSystemFileTime(), {}};
    bool present = false;
    for (const ModeratorKey& which : moderators) {
        present = bam.readModerator(which) || present;
    }
    reading.presence = present ? SourcePresence::Read : SourcePresence::NotPresent;
    for (const std::wstring& layout : bam.layoutsRead) {
        reading.note += (reading.note.empty() ? L"" : L"; ") + layout;
    }
}

} // namespace tidewell
