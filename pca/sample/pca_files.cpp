#include "pca/sample/pca_files.h"

namespace tidewell::sample {

std::vector<std::uint8_t> pcaLaunchDictionary(const std::vector<PcaLaunchLine>& lines) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t at = 0; at < lines.size(); ++at) {
        if (at > 0) {
            bytes.push_back('\n');
        }
        for (wchar_t unit : lines[at].path + L"|" + lines[at].time) {
            bytes.push_back(static_cast<std::uint8_t>(unit));
        }
    }
    return bytes;
}

std::vector<std::uint8_t> pcaGeneralDatabase(const std::vector<PcaEventLine>& lines) {
    std::vector<std::uint8_t> bytes;
    const auto unit = [&bytes](wchar_t value) {
        bytes.push_back(static_cast<std::uint8_t>(value));
        bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) >> 8));
    };
    for (std::size_t at = 0; at < lines.size(); ++at) {
        if (at > 0) {
            unit(L'\n');
        }
        const PcaEventLine& line = lines[at];
        for (wchar_t value : line.time + L"|" + line.recordType + L"|" + line.path + L"|" +
                                 line.product + L"|" + line.company + L"|" + line.version + L"|" +
                                 line.programId + L"|" + line.exitText) {
            unit(value);
        }
    }
    return bytes;
}

} // namespace tidewell::sample
