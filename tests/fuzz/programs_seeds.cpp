// seeds_programs: records in the programs target's form, as a machine
// holds them: a Prefetch file whose own device path proves its volume, a
// BAM value on that volume and one hashing to a Windows XP file, cache and
// Amcache entries of one path written differently, and packaged
// applications in each source's form.
#include "fuzz/seed_writer.h"
#include "programs/prefetch_hash.h"

namespace {

using namespace tidewell;
using namespace tidewell::fuzz;

void record(Bytes& bytes, std::uint8_t kind, std::uint8_t status, std::uint32_t hash,
            std::uint8_t version, std::uint8_t flags, const std::wstring& text) {
    bytes.push_back(kind);
    bytes.push_back(status);
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>(hash >> shift));
    }
    bytes.push_back(version);
    bytes.push_back(flags);
    bytes.push_back(3);  // time
    bytes.push_back(12); // run count
    bytes.push_back(static_cast<std::uint8_t>(text.size()));
    for (wchar_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
    }
}

void programSeeds(SeedFolder& seeds) {
    const std::wstring shell = L"\\DEVICE\\HARDDISKVOLUME3\\WINDOWS\\POWERSHELL.EXE";
    const std::wstring xpTool = L"\\DEVICE\\HARDDISKVOLUME1\\TOOLS\\NC.EXE";
    Bytes machine;
    // Resolved (0), volume not identified (1), folder id unresolved (2),
    // several possible paths (3), no path recorded (4); versions by index:
    // 17, 23, 26, 30, 31.
    record(machine, 0, 0, prefetchHash(PrefetchHashFunction::WindowsVista, shell), 3, 1,
           L"C:\\WINDOWS\\POWERSHELL.EXE");
    record(machine, 2, 1, 0, 0, 0, L"\\Device\\HarddiskVolume3\\Users\\bob\\tool.exe");
    record(machine, 3, 0, 0, 0, 2, L"\\??\\C:\\Users\\bob\\tool.exe");
    record(machine, 4, 0, 0, 0, 3, L"c:\\users\\bob\\tool.exe");
    record(machine, 4, 0, 0, 0, 0, L"C:\\Users\\bob\\tool.exe");
    record(machine, 0, 1, prefetchHash(PrefetchHashFunction::WindowsXp, xpTool), 0, 2,
           L"\\VOLUME{01d5f51ea48267ca-96a49c74}\\TOOLS\\NC.EXE");
    record(machine, 2, 1, 0, 0, 0, L"\\Device\\HarddiskVolume1\\Tools\\nc.exe");
    record(machine, 2, 4, 0, 0, 1, L"Microsoft.WindowsCalculator_8wekyb3d8bbwe");
    record(machine, 1, 4, 0, 0, 1, L"Microsoft.WindowsCalculator_8wekyb3d8bbwe!App");
    record(machine, 1, 2, 0, 0, 1, L"{6D809377-6AF0-444B-8957-A3773F02200E}\\x.exe");
    record(machine, 1, 0, 0, 0, 1, L"%SystemRoot%\\notepad.exe");
    seeds.write("machine", machine);
    Bytes alone;
    record(alone, 3, 4, 0, 0, 1,
           L"0000000b\t0006000200000000\t8664\tMicrosoft.WindowsCalculator\t8wekyb3d8bbwe");
    seeds.write("cache-package", alone);
}

} // namespace

int main(int argc, char** argv) {
    return seedsMain(argc, argv, programSeeds);
}
