// The Program Compatibility Assistant's text files of Windows 11 22H2 and
// later (Windows\appcompat\pca): the launch dictionary, one line per
// program with the last launch the assistant saw, and the general
// databases, one line per event of a program it watched (an abnormal exit,
// a compatibility event). Lines end in LF; fields are split by '|'; times
// are UTC. Windows writes the dictionary as single-byte text and the
// databases as UTF-16LE without a byte-order mark; either form is read
// from either file, as its bytes show it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/filetime.h"

namespace tidewell {

enum class PcaFileKind : std::uint8_t {
    LaunchDictionary, // PcaAppLaunchDic.txt
    GeneralDatabase,  // PcaGeneralDb0.txt, PcaGeneralDb1.txt (the older)
};

enum class PcaEncoding : std::uint8_t {
    Empty,
    SingleByte, // UTF-8 where a line is valid UTF-8, else Windows-1252
    Utf8WithMark,
    Utf16le,
    Utf16leWithMark,
};

// One line with its fields. Time is 0 where the recorded time is not a
// time, and the text is kept to be shown.
struct PcaLine {
    std::uint32_t lineNumber = 0; // from 1
    FileTime time = 0;
    std::wstring recordedTime;
    std::wstring path; // as recorded
    // The general databases' further fields; empty in the dictionary.
    std::wstring recordType;
    std::wstring product;
    std::wstring company;
    std::wstring version;
    std::wstring programId;
    std::wstring exitText;
};

struct PcaFileRead {
    PcaEncoding encoding = PcaEncoding::Empty;
    std::vector<PcaLine> lines;       // every line that held its fields
    std::uint32_t linesRead = 0;      // every line that was not blank
    std::uint32_t linesMalformed = 0; // without the fields of its kind: left out
    std::uint32_t timesMalformed = 0; // a line kept, its time withheld
};

// Reads every line of a file's bytes as the kind says; a time before 1990
// or past now (one day's slack) is withheld as no time at all.
PcaFileRead readPcaFile(PcaFileKind kind, std::span<const std::uint8_t> bytes, FileTime now);

// The encoding's name in a note ("UTF-16LE without a byte-order mark").
const wchar_t* pcaEncodingWords(PcaEncoding encoding);

} // namespace tidewell
