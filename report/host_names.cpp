#include "report/host_names.h"

#include "platform/text_fold.h"

namespace tidewell {

NamesAgree hostNamesAgree(const std::wstring& recorded, const std::wstring& registry) {
    if (recorded.empty() || registry.empty()) {
        return NamesAgree::NotKnown;
    }
    const std::wstring firstLabel = recorded.substr(0, recorded.find(L'.'));
    return equalsFolded(recorded, registry) || equalsFolded(firstLabel, registry)
               ? NamesAgree::Agree
               : NamesAgree::Disagree;
}

} // namespace tidewell
