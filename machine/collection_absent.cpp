// This build reads no Velociraptor collection: the Linux tool does (with
// libzip and a JSON reader). Every collection is refused with that said.
#include "machine/collection.h"

namespace tidewell {

struct Collection {};

void CollectionClose::operator()(Collection* collection) const {
    delete collection;
}

bool collectionsReadable() {
    return false;
}

CollectionHandle openCollection(const std::wstring&, const EvidenceFileHandle&, FileScope&,
                                CollectionSurvey& survey) {
    survey = CollectionSurvey{};
    survey.problem = L"Velociraptor collections are read by the Linux build of tidewell-report; "
                     L"this build reads folders holding a copy of a Windows drive and this machine";
    return nullptr;
}

bool listCollectionFolder(const Collection&, std::size_t, const std::wstring&,
                          std::vector<CollectionEntry>& entries) {
    entries.clear();
    return false;
}

WholeFileRead readCollectionFile(Collection&, FileScope&, std::size_t, const std::wstring&,
                                 std::uint64_t, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    return WholeFileRead::Missing;
}

std::wstring collectionFilePlace(const Collection&, std::size_t, const std::wstring&) {
    return {};
}

std::uint32_t unreadableMembers(const Collection&) {
    return 0;
}

} // namespace tidewell
