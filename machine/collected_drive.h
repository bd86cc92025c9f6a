// Finding the copy of a Windows system drive in an evidence root: the root
// itself when it holds a Windows folder, or the one folder below it that
// does (triage collectors write ROOT\C\Windows\...). Every name is found
// without regard to the case of A to Z.
#pragma once

#include <string>

namespace tidewell {

struct EvidenceDrive {
    bool found = false;
    std::wstring folder;  // the copied drive: the folder that holds Windows
    std::wstring windows; // its Windows folder, as spelled there
    // Why nothing was found, for the one who named the root.
    std::wstring problem;
};

struct ExaminedMachine;

// Through the machine's files, so that only what they let be listed is
// looked into.
EvidenceDrive locateEvidenceDrive(ExaminedMachine& machine, const std::wstring& root);

// A root named the POSIX way (slashes, no backslash): the paths shown below
// it are continued with slashes too, as the host opens them.
bool namedPosixStyle(const std::wstring& root);

// The path with each backslash a slash, as a POSIX host opens it.
std::wstring withSlashes(std::wstring path);

} // namespace tidewell
