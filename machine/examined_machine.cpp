#include "machine/examined_machine.h"

#include "machine/collection.h"
#include "machine/evidence_file.h"
#include "machine/machine_kinds.h"
#include "machine/user_hives.h"
#include "platform/error_codes.h"
#include "platform/file_place.h"

namespace tidewell {

EvidenceCheck openExaminedMachine(const ScanTarget& target, ExaminedMachine& machine,
                                  ScanResults& results) {
    machine.recoverDeletedEvents = target.recoverDeletedEvents;
    if (target.subject == ScanSubject::ThisMachine) {
        return openThisMachine(machine, results);
    }
    const std::wstring& root = target.evidenceRoot;
    if (resolvePlace(root).type == PlaceType::File) {
        // Opened once: told apart by its first bytes, then read through the
        // same opening.
        EvidenceFileHandle evidence = openEvidenceFile(root);
        if (startsAsZip(*evidence)) {
            return openCollectionMachine(target, evidence, machine, results);
        }
        return openImageMachine(target, evidence, machine, results);
    }
    if (looksLikeCollectionFolder(root)) {
        return openCollectionMachine(target, nullptr, machine, results);
    }
    return openFolderMachine(root, machine, results);
}

bool openOlderState(ExaminedMachine& current, std::size_t index, ExaminedMachine& older,
                    ScanResults& results) {
    if (current.kind->openOlderState == nullptr) {
        return false;
    }
    older.currentState = &current;
    older.recoverDeletedEvents = current.recoverDeletedEvents;
    return current.kind->openOlderState(current, index, older, results);
}

void closeExaminedMachine(ExaminedMachine& machine, ScanResults& results) {
    if (machine.kind->close != nullptr) {
        machine.kind->close(machine, results);
    }
    for (const ScopeRefusal& refusal : machine.scope.refused) {
        results.origin.refused.push_back(
            {shownPath(machine, refusal.path), refusalText(refusal.why)});
    }
    for (ExaminedHive& hive : results.origin.hives) {
        if (!hive.path.empty()) {
            hive.path = shownPath(machine, hive.path);
        }
    }
}

std::wstring windowsEntryOf(ExaminedMachine& machine, std::wstring_view relative, EntryKind kind) {
    return machine.kind->windowsEntry(machine, relative, kind);
}

bool systemKeysOpen(const ExaminedMachine& machine) {
    return machine.systemOpen;
}

std::uint32_t openControlSetKey(const ExaminedMachine& machine, const std::wstring& below,
                                std::uint32_t access, RegistryKey& key) {
    if (!machine.systemOpen || machine.controlSet.empty()) {
        return ERROR_FILE_NOT_FOUND;
    }
    return regOpenKey(machine.system,
                      below.empty() ? machine.controlSet : machine.controlSet + L"\\" + below,
                      access, key);
}

const RegistryKey* softwareKeyOf(const ExaminedMachine& machine) {
    return machine.softwareOpen ? &machine.software : nullptr;
}

void sayWithoutSystemKeys(const ExaminedMachine& machine, SourceReading& reading, ScanTally& tally,
                          const ScanCounter& unreadable) {
    machine.kind->withoutSystemKeys(machine, reading, tally, unreadable);
}

PathNaming pathNamingOf(const ExaminedMachine& machine) {
    return machine.kind->pathNaming(machine);
}

std::wstring systemDriveOf(const ExaminedMachine& machine) {
    return machine.kind->systemDrive(machine);
}

bool windowsVersionOf(const ExaminedMachine& machine, std::uint32_t& major, std::uint32_t& minor) {
    return machine.kind->windowsVersion(machine, major, minor);
}

bool factsTakeDefaults(const ExaminedMachine& machine) {
    return machine.kind->factsTakeDefaults;
}

std::wstring shownPath(const ExaminedMachine& machine, const std::wstring& path) {
    return machine.kind->shownPath(machine, path);
}

UserHiveVisit visitUserHives(ExaminedMachine& machine, ScanResults& results,
                             const std::function<void(const UserHive&)>& visit) {
    if (!machine.userHivesVisited) {
        machine.userHivesVisited = true;
        return machine.kind->visitUserHives(machine, results, visit);
    }
    // The hives are read again for this source; their outcomes, the
    // profiles they cover and what replaying their logs met stand counted.
    ScanResults again;
    again.origin = results.origin;
    again.tally = results.tally;
    again.facts = results.facts;
    return machine.kind->visitUserHives(machine, again, visit);
}

std::wstring accountNameOnMachine(const ExaminedMachine& machine, const std::wstring& sid) {
    return machine.kind->accountName(machine, sid);
}

} // namespace tidewell
