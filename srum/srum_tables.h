// The rows of a SRUM database (Windows\System32\sru\SRUDB.dat) that say
// which programs used the machine: its id map and two of its tables, as
// plain values read once through the ESE library, so that what is made of
// them is tested and fuzzed apart from the library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace tidewell {

// SruDbIdMapTable: what an id of the other tables stands for.
enum class SrumIdType : std::uint8_t {
    Application = 0, // a program's path, or a name such as !!svchost.exe!...
    Service = 1,
    Package = 2, // a packaged application
    User = 3,    // a SID, in its binary form
};

struct SrumIdEntry {
    std::uint32_t index = 0;
    std::uint8_t type = 0;
    std::vector<std::uint8_t> blob; // UTF-16LE text, or a SID for a user
};

// What SRUM records of a program's use in an hour, summed per record.
struct SrumFigures {
    std::uint64_t foregroundCycles = 0;
    std::uint64_t backgroundCycles = 0;
    std::uint64_t faceTime = 0;
    std::uint64_t foregroundBytesRead = 0;
    std::uint64_t foregroundBytesWritten = 0;
    std::uint64_t foregroundReads = 0;
    std::uint64_t foregroundWrites = 0;
    std::uint64_t backgroundBytesRead = 0;
    std::uint64_t backgroundBytesWritten = 0;
    std::uint64_t backgroundReads = 0;
    std::uint64_t backgroundWrites = 0;
    std::uint64_t bytesSent = 0;
    std::uint64_t bytesReceived = 0;
};

// Each figure: its column, the table that holds it (the application usage
// table, else the network usage table), its name in the JSON document and
// its label in the detail window.
struct SrumFigure {
    const char* column;
    bool usageTable;
    const char* key;
    const wchar_t* label;
    std::uint64_t SrumFigures::*member;
};
inline constexpr SrumFigure srumFigures[] = {
    {"ForegroundCycleTime", true, "foreground_cycles", L"Foreground cycles: ",
     &SrumFigures::foregroundCycles},
    {"BackgroundCycleTime", true, "background_cycles", L"Background cycles: ",
     &SrumFigures::backgroundCycles},
    {"FaceTime", true, "face_time", L"Face time:         ", &SrumFigures::faceTime},
    {"ForegroundBytesRead", true, "foreground_bytes_read", L"Fg bytes read:     ",
     &SrumFigures::foregroundBytesRead},
    {"ForegroundBytesWritten", true, "foreground_bytes_written", L"Fg bytes written:  ",
     &SrumFigures::foregroundBytesWritten},
    {"ForegroundNumReadOperations", true, "foreground_read_operations", L"Fg reads:          ",
     &SrumFigures::foregroundReads},
    {"ForegroundNumWriteOperations", true, "foreground_write_operations", L"Fg writes:         ",
     &SrumFigures::foregroundWrites},
    {"BackgroundBytesRead", true, "background_bytes_read", L"Bg bytes read:     ",
     &SrumFigures::backgroundBytesRead},
    {"BackgroundBytesWritten", true, "background_bytes_written", L"Bg bytes written:  ",
     &SrumFigures::backgroundBytesWritten},
    {"BackgroundNumReadOperations", true, "background_read_operations", L"Bg reads:          ",
     &SrumFigures::backgroundReads},
    {"BackgroundNumWriteOperations", true, "background_write_operations", L"Bg writes:         ",
     &SrumFigures::backgroundWrites},
    {"BytesSent", false, "bytes_sent", L"Bytes sent:        ", &SrumFigures::bytesSent},
    {"BytesRecvd", false, "bytes_received", L"Bytes received:    ", &SrumFigures::bytesReceived},
};

// Every figure of one table, as bits of a figures-recorded mask.
constexpr std::uint16_t srumTableFigures(bool usageTable) {
    std::uint16_t bits = 0;
    for (std::size_t figure = 0; figure < std::size(srumFigures); ++figure) {
        if (srumFigures[figure].usageTable == usageTable) {
            bits = static_cast<std::uint16_t>(bits | (1u << figure));
        }
    }
    return bits;
}

// One row of either table: a program, a user and an hour; a network row
// also names its interface.
struct SrumRow {
    double timeStamp = 0; // the end of its hour, an OLE date (UTC)
    std::uint32_t appId = 0;
    std::uint32_t userId = 0;
    std::uint64_t interfaceLuid = 0;
    SrumFigures figures;
};

enum class SrumOpen : std::uint8_t {
    Opened,
    Refused,      // the library could not open it as a database
    NotThisBuild, // this build reads no ESE database
};

struct SrumTables {
    SrumOpen open = SrumOpen::Refused;
    std::wstring why; // why it was refused
    // Its header was summed over the whole page (as Windows 11 does) and was
    // handed to the library with the older sum in its place.
    bool headerSumMatched = false;
    bool idMapPresent = false;
    bool usagePresent = false;
    bool networkPresent = false;
    std::vector<SrumIdEntry> ids;
    // The figures each table read has columns for: a bit per figure, by its
    // place in srumFigures.
    std::uint16_t usageFiguresRecorded = 0;
    std::uint16_t networkFiguresRecorded = 0;
    std::vector<SrumRow> usage;   // the application resource usage table
    std::vector<SrumRow> network; // the network usage table
    // Rows the library could not hand over, or whose fields were not of the
    // table's shape; and tables whose columns are not SRUM's.
    std::uint64_t rowsUnreadable = 0;
    std::uint64_t tablesMalformed = 0;
};

inline constexpr char srumIdMapTable[] = "SruDbIdMapTable";
inline constexpr char srumUsageTable[] = "{D10CA2FE-6FCF-4F6D-848E-B2E99266FA89}";
inline constexpr char srumNetworkTable[] = "{973F5D5C-1D90-4944-BE8E-24B94231A174}";

// Reads the database whose whole file the bytes hold, in a process of its
// own. Where the header is summed over its whole page, the library is handed
// a copy with that one field made to agree (and the tables say so).
SrumTables readSrumTables(const std::vector<std::uint8_t>& bytes);

} // namespace tidewell
