// Marvin32 against the published test vectors of its reference (the .NET
// runtime's Marvin tests: three seeds, inputs of every length up to seven
// bytes, so that every tail length is met), since a log entry's hashes are
// only as good as the function: a wrong one would refuse every real log, and
// the hive writer signs its logs with this same function.
#include "hive/marvin32.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tidewell {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t at = 0; at + 1 < hex.size(); at += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(at, 2), nullptr, 16)));
    }
    return bytes;
}

struct Vector {
    std::uint64_t seed;
    const char* data;
    std::uint64_t hash;
};

constexpr std::uint64_t seed1 = 0x004FB61A001BDBCCULL;
constexpr std::uint64_t seed2 = 0x804FB61A001BDBCCULL;
constexpr std::uint64_t seed3 = 0x804FB61A801BDBCCULL;

const Vector vectors[] = {
    {seed1, "", 0x30ED35C100CD3C7DULL},
    {seed1, "af", 0x48E73FC77D75DDC1ULL},
    {seed1, "e70f", 0xB5F6E1FC485DBFF8ULL},
    {seed1, "37f495", 0xF0B07C789B8CF7E8ULL},
    {seed1, "8642dc59", 0x7008F2E87E9CF556ULL},
    {seed1, "153fb79826", 0xE6C08C6DA2AFA997ULL},
    {seed1, "0932e6246c47", 0x6F04BF1A5EA24060ULL},
    {seed1, "ab427ea8d10fc7", 0xE11847E4F0678C41ULL},
    {seed2, "", 0x10A9D5D3996FD65DULL},
    {seed2, "af", 0x68201F91960EBF91ULL},
    {seed2, "e70f", 0x64B581631F6AB378ULL},
    {seed2, "37f495", 0xE1F2DFA6E5131408ULL},
    {seed2, "8642dc59", 0x36289D9654FB49F6ULL},
    {seed2, "153fb79826", 0x0A06114B13464DBDULL},
    {seed2, "0932e6246c47", 0xD6DD5E40AD1BC2EDULL},
    {seed2, "ab427ea8d10fc7", 0xE203987DBA252FB3ULL},
    {seed3, "00", 0xA37FB0DA2ECAE06CULL},
    {seed3, "FF", 0xFECEF370701AE054ULL},
    {seed3, "00FF", 0xA638E75700048880ULL},
    {seed3, "FF00FF", 0x9D8577C0FE0D30BFULL},
    {seed3, "00FF00FF", 0x24EAA279D9A529CAULL},
    {seed3, "FF00FF00FF", 0x920B62BBCA3E0B72ULL},
    {seed3, "00FF00FF00FF", 0xEC21276A17E821A5ULL},
    {seed3, "FF00FF00FF00FF", 0xFDFD187B1D3CE784ULL},
};

TEST(Marvin32, ThePublishedVectorsOfEveryTailLength) {
    for (const Vector& vector : vectors) {
        const std::vector<std::uint8_t> data = bytesOf(vector.data);
        EXPECT_EQ(marvin32(data.data(), data.size(), vector.seed), vector.hash)
            << std::hex << vector.seed << " " << vector.data;
    }
}

} // namespace
} // namespace tidewell
