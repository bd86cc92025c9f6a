#include "bam/sample/bam_values.h"

#include "sample/evidence_tree.h"
#include "sample/little_endian.h"

namespace tidewell::sample {

std::vector<std::uint8_t> bamData(std::uint64_t lastRun) {
    std::vector<std::uint8_t> data;
    put64(data, lastRun);
    put64(data, 0);
    put32(data, 0);
    put32(data, 2);
    return data;
}

HiveKeySpec& bamUserKey(HiveSpec& system, const std::wstring& controlSet,
                        const std::wstring& moderator, const std::wstring& sid, bool oldLayout) {
    return keyAt(system.root, controlSet + L"\\Services\\" + moderator +
                                  (oldLayout ? L"\\UserSettings\\" : L"\\State\\UserSettings\\") +
                                  sid);
}

} // namespace tidewell::sample
