#include "prefetch/prefetch_setup.h"

#include "machine/examined_machine.h"
#include "platform/error_codes.h"
#include "registry/registry_text.h"

namespace tidewell {

namespace {

constexpr wchar_t prefetchParametersKey[] =
    L"Control\\Session Manager\\Memory Management\\PrefetchParameters";

// Windows 8 (6.2) raised the number of Prefetch files kept from 128 to 1024.
constexpr std::uint32_t retentionBefore8 = 128;
constexpr std::uint32_t retentionFrom8 = 1024;

std::uint32_t retentionLimit(std::uint32_t major, std::uint32_t minor) {
    return major > 6 || (major == 6 && minor >= 2) ? retentionFrom8 : retentionBefore8;
}

// Whether the control set can be opened at all: only then does a missing
// value say that the setting is absent.
bool controlSetReadable(const ExaminedMachine& machine) {
    RegistryKey control;
    return systemKeysOpen(machine) &&
           openControlSetKey(machine, L"", registryKeyQueryValue, control) == ERROR_SUCCESS;
}

// EnablePrefetcher from the current control set, where it is there.
bool readPrefetcherSetting(const ExaminedMachine& machine, std::uint32_t& value) {
    RegistryKey parameters;
    return systemKeysOpen(machine) &&
           openControlSetKey(machine, prefetchParametersKey, registryKeyQueryValue, parameters) ==
               ERROR_SUCCESS &&
           regQueryDword(parameters, L"EnablePrefetcher", value);
}

} // namespace

void statePrefetchSetup(const ExaminedMachine& machine, bool folderListable, ScanFacts& facts) {
    const bool defaults = factsTakeDefaults(machine);
    std::uint32_t setting = 0;
    const bool settingKnown = defaults || controlSetReadable(machine);
    const bool present = settingKnown && readPrefetcherSetting(machine, setting);
    if (settingKnown) {
        facts[enablePrefetcherPresent] = knownFact(present ? 1 : 0);
        // A copy known to lack the value has no raw value to give.
        facts[enablePrefetcherValue] =
            present || defaults ? knownFact(setting) : FactValue{FactState::NotApplicable, 0};
    }
    // Bit 0 is application-launch prefetching (1 and 3 on, 0 and 2 off); an
    // absent setting is on by Windows' default, which is no fact of a copy.
    if (present) {
        facts[prefetchEnabled] = knownFact(setting & 1);
    } else if (defaults) {
        facts[prefetchEnabled] = knownFact(1);
    }
    facts[prefetchDirReadable] = knownFact(folderListable ? 1 : 0);
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    if (windowsVersionOf(machine, major, minor)) {
        facts[prefetchRetentionLimit] = knownFact(retentionLimit(major, minor));
    } else if (defaults) {
        facts[prefetchRetentionLimit] = knownFact(retentionBefore8);
    }
}

} // namespace tidewell
