#include "machine/collection.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <unordered_map>

#include "machine/collected_drive.h"
#include "machine/collection_metadata.h"
#include "machine/collection_names.h"
#include "machine/collection_zip.h"
#include "machine/windows_drive.h"
#include "platform/error_codes.h"
#include "platform/file_place.h"
#include "platform/files.h"
#include "platform/folded_paths.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"
#include "platform/utf8_codec.h"

namespace tidewell {

namespace {

constexpr std::uint32_t noNode = 0xFFFFFFFFU;
constexpr std::uint64_t noMember = ~0ULL;
constexpr int deepestFolder = 256;

// One name of a device's tree: a folder, or a file with where its bytes lie.
struct CollectionNode {
    std::wstring name;
    bool isDirectory = true;
    std::vector<std::uint32_t> children;
    std::uint64_t member = noMember; // the zip's member
    std::wstring hostPath;           // the extracted file
    std::string stored;              // the stored name, from uploads/ on
    std::uint64_t size = 0;
};

} // namespace

struct Collection {
    std::wstring path;
    ZipArchiveHandle zip;
    std::vector<CollectionNode> nodes;
    std::unordered_map<std::wstring, std::uint32_t> childByName; // parent and folded name
    std::vector<std::uint32_t> deviceRoots;
    std::unordered_map<std::wstring, std::size_t> deviceByKey;
    std::vector<CollectionDevice> devices;
    std::uint32_t membersUnreadable = 0;
};

void CollectionClose::operator()(Collection* collection) const {
    delete collection;
}

namespace {

std::wstring childKey(std::uint32_t parent, std::wstring_view name) {
    std::wstring key = std::to_wstring(parent);
    key += L'/';
    key += name;
    return key;
}

std::uint32_t newNode(Collection& collection, std::wstring name, bool isDirectory) {
    collection.nodes.push_back(CollectionNode{});
    collection.nodes.back().name = std::move(name);
    collection.nodes.back().isDirectory = isDirectory;
    return static_cast<std::uint32_t>(collection.nodes.size() - 1);
}

// Names that differ only in the case of A to Z are one name, as on Windows:
// a collection may spell a folder two ways (windows/ and Windows/).
std::uint32_t childNamed(const Collection& collection, std::uint32_t parent,
                         std::wstring_view name) {
    const auto found = collection.childByName.find(childKey(parent, foldText(name)));
    return found != collection.childByName.end() ? found->second : noNode;
}

// The accessor part of a stored name ("uploads/auto/C%3A/..." gives "auto").
std::string_view accessorOf(std::string_view stored) {
    stored.remove_prefix(std::min<std::size_t>(stored.size(), 8)); // "uploads/"
    return stored.substr(0, stored.find('/'));
}

// The device the stored part names: one for every part naming the same
// drive or shadow copy, whatever accessor read it and however it is spelled.
std::size_t deviceFor(Collection& collection, const std::wstring& name,
                      const std::string& storedPlace) {
    const CollectedDevice parsed = parseDeviceName(name);
    const std::wstring key = !parsed.drive.empty() ? L"drive " + parsed.drive
                             : parsed.shadowCopy != 0
                                 ? L"copy " + std::to_wstring(parsed.shadowCopy)
                                 : L"device " + foldText(name);
    const std::wstring place = fromUtf8(storedPlace);
    const auto found = collection.deviceByKey.find(key);
    if (found != collection.deviceByKey.end()) {
        CollectionDevice& device = collection.devices[found->second];
        if (device.stored.find(place) == std::wstring::npos) {
            device.stored += L", " + place;
        }
        return found->second;
    }
    CollectionDevice device;
    device.name = name;
    device.stored = place;
    device.drive = parsed.drive;
    device.shadowCopy = parsed.shadowCopy;
    collection.devices.push_back(device);
    collection.deviceRoots.push_back(newNode(collection, L"", true));
    collection.deviceByKey.emplace(key, collection.devices.size() - 1);
    return collection.devices.size() - 1;
}

struct StoredFile {
    std::vector<std::string> parts; // below uploads/: accessor, device, then the path
    std::uint64_t member = noMember;
    std::wstring hostPath;
    std::uint64_t size = 0;
};

std::wstring decodedPart(const std::string& part, CollectionSurvey& survey) {
    std::wstring name;
    if (!decodeStoredName(part, name)) {
        ++survey.namesUndecodable;
    }
    return name;
}

void addStoredFile(Collection& collection, const StoredFile& file, CollectionSurvey& survey) {
    if (file.parts.size() < 3) {
        return; // not below a device: nothing of a machine
    }
    ++survey.members;
    const std::size_t device = deviceFor(collection, decodedPart(file.parts[1], survey),
                                         "uploads/" + file.parts[0] + "/" + file.parts[1]);
    ++collection.devices[device].files;
    std::uint32_t node = collection.deviceRoots[device];
    std::string stored = "uploads/" + file.parts[0] + "/" + file.parts[1];
    for (std::size_t at = 2; at < file.parts.size(); ++at) {
        const bool last = at + 1 == file.parts.size();
        const std::wstring name = decodedPart(file.parts[at], survey);
        stored += "/" + file.parts[at];
        std::uint32_t child = childNamed(collection, node, name);
        if (child == noNode) {
            child = newNode(collection, name, !last);
            collection.nodes[node].children.push_back(child);
            collection.childByName.emplace(childKey(node, foldText(name)), child);
        } else if (last) {
            CollectionNode& existing = collection.nodes[child];
            if (existing.isDirectory) {
                ++survey.membersPassedOver; // a file named as a folder is
                return;
            }
            // The same file read through a second accessor is expected: the
            // whole one is kept (a copy cut short is the smaller), else the
            // first read. The same name twice through one accessor is not:
            // one of the two is read the same way, and the other counted.
            if (accessorOf(existing.stored) == file.parts[0]) {
                ++survey.membersPassedOver;
            }
            if (existing.size >= file.size) {
                return;
            }
        } else if (!collection.nodes[child].isDirectory) {
            ++survey.membersPassedOver; // a file stands where this path needs a folder
            return;
        }
        node = child;
    }
    CollectionNode& leaf = collection.nodes[node];
    leaf.member = file.member;
    leaf.hostPath = file.hostPath;
    leaf.stored = stored;
    leaf.size = file.size;
}

std::vector<std::string> splitStored(std::string_view name) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= name.size()) {
        std::size_t end = name.find('/', at);
        if (end == std::string_view::npos) {
            end = name.size();
        }
        if (end > at && name.substr(at, end - at) != ".") {
            parts.emplace_back(name.substr(at, end - at));
        }
        at = end + 1;
    }
    return parts;
}

bool findNode(const Collection& collection, std::size_t device, const std::wstring& path,
              std::uint32_t& node) {
    if (device >= collection.deviceRoots.size()) {
        return false;
    }
    node = collection.deviceRoots[device];
    std::size_t at = 0;
    while (at <= path.size()) {
        std::size_t end = path.find_first_of(L"\\/", at);
        if (end == std::wstring::npos) {
            end = path.size();
        }
        if (end > at) {
            node = childNamed(collection, node, std::wstring_view(path).substr(at, end - at));
            if (node == noNode) {
                return false;
            }
        }
        at = end + 1;
    }
    return true;
}

void markWindowsDevices(Collection& collection) {
    for (std::size_t device = 0; device < collection.devices.size(); ++device) {
        for (const wchar_t* marker : windowsDriveMarkers) {
            std::uint32_t node = 0;
            collection.devices[device].holdsWindows |=
                findNode(collection, device, std::wstring(L"\\Windows\\") + marker, node) &&
                collection.nodes[node].isDirectory;
        }
    }
}

// --- the collection's own files ---

void keepMetadata(const CollectionMetadata& metadata, CollectionSurvey& survey) {
    survey.hostName = metadata.hostName;
    survey.collectedAt = metadata.collectedAt;
    survey.filesNotCollected = metadata.filesNotCollected;
}

// --- the zip ---

CollectionHandle openZip(const std::wstring& path, const EvidenceFileHandle& zip,
                         CollectionSurvey& survey) {
    survey.zip = true;
    auto collection = CollectionHandle(new Collection);
    collection->path = path;
    std::vector<ZipMember> members;
    std::wstring problem;
    collection->zip = openZipArchive(zip, members, problem);
    if (collection->zip == nullptr) {
        survey.problem = problem;
        return nullptr;
    }
    // Secured: encrypted, and nothing of the uploads left to read in the
    // clear (the collector's secured form keeps everything in one encrypted
    // member). One encrypted member among readable ones is counted instead.
    const auto clearUpload = [](const ZipMember& member) {
        return !member.encrypted && member.name.rfind("uploads/", 0) == 0 &&
               member.name.back() != '/'; // a folder's entry holds nothing to encrypt
    };
    if (std::any_of(members.begin(), members.end(),
                    [](const ZipMember& member) { return member.encrypted; }) &&
        std::none_of(members.begin(), members.end(), clearUpload)) {
        survey.secured = true;
        survey.problem = L"it is a secured collection: its members are encrypted (a password or "
                         L"a certificate protects it); decrypt it first, with the collector's "
                         L"password or the server's key, and name what that gives";
        return nullptr;
    }
    std::vector<std::size_t> order(members.size());
    for (std::size_t index = 0; index < order.size(); ++index) {
        order[index] = index;
    }
    // In name order, so that a file read through two accessors is settled as
    // it is for the extracted folder.
    std::sort(order.begin(), order.end(), [&members](std::size_t a, std::size_t b) {
        return members[a].name < members[b].name;
    });
    CollectionMetadata metadata;
    for (const std::size_t index : order) {
        const ZipMember& member = members[index];
        std::vector<std::string> parts = splitStored(member.name);
        if (parts.empty() || member.name.back() == '/') {
            continue; // a folder's own entry
        }
        if (parts.size() == 1) {
            for (const MetadataFile& file : metadataFiles()) {
                if (parts.front() == file.name) {
                    std::vector<std::uint8_t> bytes;
                    readMetadataFile(file,
                                     readZipMember(*collection->zip, index, file.limit, bytes),
                                     bytes, metadata, survey.metadataUnreadable);
                }
            }
            continue;
        }
        if (parts.front() != "uploads") {
            continue;
        }
        parts.erase(parts.begin());
        if (member.sharesData) {
            ++survey.membersPassedOver; // its stream is read once, for the member that owns it
            continue;
        }
        if (member.encrypted) {
            ++collection->membersUnreadable; // counted once, here; never opened
        }
        addStoredFile(*collection, StoredFile{std::move(parts), index, L"", member.size}, survey);
    }
    keepMetadata(metadata, survey);
    if (survey.members == 0) {
        survey.problem = L"it is a zip file, but not a Velociraptor collection: no file lies in "
                         L"an uploads folder below an accessor and a device";
        return nullptr;
    }
    return collection;
}

// --- the extracted folder ---

struct FolderWalk {
    Collection& collection;
    FileScope& scope;
    CollectionSurvey& survey;
    std::set<std::wstring> seen; // folders by their real place: links never loop the walk
};

void walkFolder(FolderWalk& walk, const std::wstring& folder, std::vector<std::string>& parts,
                int depth) {
    Refusal why = Refusal::None;
    const FilePlace place = resolvePlace(folder);
    if (depth > deepestFolder || !mayListFolder(walk.scope, folder, why) ||
        !walk.seen.insert(place.realPath).second) {
        return;
    }
    DirectoryListing listing;
    DirectoryEntry entry;
    std::uint32_t error = 0;
    if (!findFirstFile(joinPath(folder, L"*"), listing, entry, error)) {
        return;
    }
    std::vector<DirectoryEntry> entries;
    do {
        if (entry.name != L"." && entry.name != L"..") {
            entries.push_back(entry);
        }
    } while (findNextFile(listing, entry, error));
    std::sort(entries.begin(), entries.end(), [](const DirectoryEntry& a, const DirectoryEntry& b) {
        return toUtf8(a.name) < toUtf8(b.name);
    });
    for (const DirectoryEntry& found : entries) {
        const std::wstring path = joinPath(folder, found.name);
        parts.push_back(toUtf8(found.name));
        if (found.isDirectory) {
            walkFolder(walk, path, parts, depth + 1);
        } else {
            addStoredFile(walk.collection, StoredFile{parts, noMember, path, 0}, walk.survey);
        }
        parts.pop_back();
    }
}

CollectionHandle openFolder(const std::wstring& path, FileScope& scope, CollectionSurvey& survey) {
    auto collection = CollectionHandle(new Collection);
    collection->path = path;
    std::wstring uploads;
    if (!findEntryFolded(scope, path, L"uploads", EntryKind::Folder, uploads)) {
        survey.problem = L"it holds no uploads folder";
        return nullptr;
    }
    FolderWalk walk{*collection, scope, survey, {}};
    std::vector<std::string> parts;
    walkFolder(walk, uploads, parts, 0);
    CollectionMetadata metadata;
    for (const MetadataFile& file : metadataFiles()) {
        std::vector<std::uint8_t> bytes;
        const WholeFileRead outcome =
            readWholeFileUpTo(scope, joinPath(path, fromUtf8(file.name)), file.limit, bytes);
        readMetadataFile(file, outcome, bytes, metadata, survey.metadataUnreadable);
    }
    keepMetadata(metadata, survey);
    return collection;
}

} // namespace

bool collectionsReadable() {
    return true;
}

CollectionHandle openCollection(const std::wstring& path, const EvidenceFileHandle& zip,
                                FileScope& scope, CollectionSurvey& survey) {
    survey = CollectionSurvey{};
    CollectionHandle collection =
        zip != nullptr ? openZip(path, zip, survey) : openFolder(path, scope, survey);
    if (collection == nullptr) {
        return nullptr;
    }
    markWindowsDevices(*collection);
    survey.devices = collection->devices;
    survey.opened = true;
    return collection;
}

bool listCollectionFolder(const Collection& collection, std::size_t device,
                          const std::wstring& folder, std::vector<CollectionEntry>& entries) {
    entries.clear();
    std::uint32_t node = 0;
    if (!findNode(collection, device, folder, node) || !collection.nodes[node].isDirectory) {
        return false;
    }
    for (const std::uint32_t child : collection.nodes[node].children) {
        entries.push_back({collection.nodes[child].name, collection.nodes[child].isDirectory});
    }
    return true;
}

WholeFileRead readCollectionFile(Collection& collection, FileScope& scope, std::size_t device,
                                 const std::wstring& path, std::uint64_t limit,
                                 std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    std::uint32_t node = 0;
    if (!findNode(collection, device, path, node) || collection.nodes[node].isDirectory) {
        return WholeFileRead::Missing;
    }
    const CollectionNode& file = collection.nodes[node];
    const WholeFileRead outcome = file.member != noMember
                                      ? readZipMember(*collection.zip, file.member, limit, bytes)
                                      : readWholeFileUpTo(scope, file.hostPath, limit, bytes);
    const bool encrypted = file.member != noMember && memberEncrypted(*collection.zip, file.member);
    if (outcome == WholeFileRead::Unreadable && !encrypted) {
        ++collection.membersUnreadable;
    }
    return outcome;
}

std::wstring collectionFilePlace(const Collection& collection, std::size_t device,
                                 const std::wstring& path) {
    std::uint32_t node = 0;
    if (!findNode(collection, device, path, node) || collection.nodes[node].isDirectory) {
        return {};
    }
    const CollectionNode& file = collection.nodes[node];
    if (file.member != noMember) {
        return collection.path + L" :: " + fromUtf8(file.stored);
    }
    return namedPosixStyle(collection.path) ? withSlashes(file.hostPath) : file.hostPath;
}

std::uint32_t unreadableMembers(const Collection& collection) {
    return collection.membersUnreadable;
}

} // namespace tidewell
