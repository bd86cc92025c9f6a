// The users' registry hives of the examined machine, handed out one at a
// time, and how many of the machine's profiles they cover. On this machine
// they are the running account's own hive and every other user hive that is
// loaded; on a copy of a drive, the NTUSER.DAT of every profile its profile
// list names (or, with no readable list, of every user folder), each read
// with its transaction logs and counted as it is loaded.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/scan_results.h"
#include "machine/machine_folders.h"
#include "registry/registry.h"

namespace tidewell {

struct ExaminedMachine;

// What became of a user's classes hive (UsrClass.dat; HKEY_USERS\SID_Classes
// on this machine), which holds the shell's own per-user keys.
enum class ClassesHive : std::uint8_t {
    Opened,
    Missing,
    Unreadable,
};

// Opens the user's classes hive when a source asks for it (each visit at
// most once): its root, or null with what became of it.
using OpenClasses = std::function<const RegistryKey*(ClassesHive& outcome)>;

struct UserHive {
    std::wstring sid;         // may be empty: a user folder of a copy without a profile list
    std::wstring accountName; // the account's name; of a copy, its profile folder's name
    const RegistryKey* root = nullptr;
    // The account running the program: a source may insist on finding its
    // records there, and the shell resolves its folder ids.
    bool runningAccount = false;
    // A copy's hive: where its folder ids lead (null: ask the shell).
    const FolderTable* folders = nullptr;
    // The user's classes hive, for the sources that read it; null: none.
    const OpenClasses* openClasses = nullptr;
};

// What the visit met beside the hives it handed out.
struct UserHiveVisit {
    std::uint32_t offered = 0;    // hives handed to the visitor
    std::uint32_t unopenable = 0; // loaded hives whose key could not be opened
    bool listingStopped = false;  // the loaded hives could not all be listed
};

// Hands every user hive to visit in turn (each stays open only for its
// visit), and fills the profile-coverage facts: a profile counts as examined
// when its hive was handed out, each once; without a readable profile list
// the machine's profile total is not known (profileListUnreadable counted).
// Every source that reads the users' hives visits them; only the first
// visit counts what the hives' loading met.
UserHiveVisit visitUserHives(ExaminedMachine& machine, ScanResults& results,
                             const std::function<void(const UserHive&)>& visit);

// The account a SID names on the examined machine, without its domain: this
// machine is asked; a copy's account is named by its profile folder's name,
// as its profile list gives it. Empty when none.
std::wstring accountNameOnMachine(const ExaminedMachine& machine, const std::wstring& sid);

} // namespace tidewell
