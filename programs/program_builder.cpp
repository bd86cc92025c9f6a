#include "programs/program_builder.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/record_source.h"
#include "platform/text_fold.h"
#include "programs/join_tables.h"
#include "programs/prefetch_hash.h"
#include "programs/program_path.h"

namespace tidewell {

namespace {

// Records without join facts of their own share this empty one.
const JoinFacts noFacts;
constexpr std::uint32_t noFactsIndex = 0xFFFFFFFFu;

struct RecordPlace {
    std::uint32_t facts = noFactsIndex; // into the builder's facts
    std::uint64_t firstRun = 0;         // its earliest and latest run times; 0: none
    std::uint64_t lastRun = 0;
    const RecordSource* source = nullptr;
    // A device path's hashes by the XP function and by the later ones,
    // taken while the record is read; a Prefetch file whose own device
    // path gives its name's hash.
    std::uint32_t xpHash = 0;
    std::uint32_t laterHash = 0;
    bool ownPathHashed = false;
    bool smallLetters = false; // the path it gives has small letters (not Prefetch's capitals)
    RecordJoin join = RecordJoin::NoPathRecorded;
    std::wstring_view device; // a kernel device path's device and path on it
    std::wstring_view rest;
};

class Builder {
public:
    Builder(const RecordList& all, const ScanOrigin& scanned)
        : records(all), origin(scanned), places(all.size()), sets(all.size()), keys(all.size()) {
        list.placements.resize(all.size());
    }

    ProgramList build() {
        placeEachRecord();
        joinPending();
        joinByPrefetchHash();
        placeOnProvenVolumes();
        joinPending();
        gatherPrograms();
        describePrograms();
        return std::move(list);
    }

private:
    const RecordList& records;
    const ScanOrigin& origin;
    std::vector<RecordPlace> places;
    std::vector<JoinFacts> facts; // only of the records that have any
    JoinedSets sets;
    KeyTable keys;
    ProgramList list;
    std::vector<std::wstring> conflictingDevices;

    const JoinFacts& factsOf(std::size_t index) const {
        const std::uint32_t at = places[index].facts;
        return at == noFactsIndex ? noFacts : facts[at];
    }

    static bool hasAny(const JoinFacts& found) {
        return found.prefetchFile || !found.devicePath.empty() || !found.package.empty() ||
               !found.sha1.empty() || !found.publisher.empty() || !found.version.empty() ||
               found.fileModified != 0 || found.volumeCreated != 0;
    }

    // The key now at the end of the key text is the record's: it joins the
    // first record with the same key.
    // The key now at the end of the key text is the record's: it joins the
    // first record with the same key once the key's slot has been fetched,
    // a few records later (joinPending does the rest).
    void keyed(std::size_t index, std::size_t keyStart, RecordJoin join, Placement placement) {
        keys.keys[index] = {static_cast<std::uint32_t>(keyStart),
                            static_cast<std::uint32_t>(keys.text.size() - keyStart)};
        places[index].join = join;
        list.placements[index].placement = placement;
        const std::size_t hash = keys.hashOf(index);
        keys.prefetch(hash);
        if (pendingCount == pending.size()) {
            joinFirstPending();
        }
        pending[(pendingFirst + pendingCount) % pending.size()] = {index, hash};
        ++pendingCount;
    }

    void joinFirstPending() {
        const auto [index, hash] = pending[pendingFirst];
        pendingFirst = (pendingFirst + 1) % pending.size();
        --pendingCount;
        const std::size_t first = keys.firstWith(index, hash);
        if (first != index) {
            sets.join(first, index);
        }
    }

    void joinPending() {
        while (pendingCount != 0) {
            joinFirstPending();
        }
    }

    std::array<std::pair<std::size_t, std::size_t>, 16> pending{};
    std::size_t pendingFirst = 0;
    std::size_t pendingCount = 0;

    // The record's first and last run, read now with the rest; a source's
    // times that are not runs are not either.
    static void summarize(const LaunchRecord& record, RecordPlace& place) {
        place.source = record.source;
        if (!record.source->timesAreRuns) {
            return;
        }
        for (std::uint64_t run : record.runTimes) {
            if (run != 0 && (place.firstRun == 0 || run < place.firstRun)) {
                place.firstRun = run;
            }
            place.lastRun = std::max(place.lastRun, run);
        }
    }

    void placeEachRecord() {
        facts.reserve(records.size());
        for (std::size_t index = 0; index < records.size(); ++index) {
            const LaunchRecord& record = records[index];
            RecordPlace& place = places[index];
            summarize(record, place);
            if (record.source != nullptr && record.source->joinFacts != nullptr) {
                JoinFacts found;
                record.source->joinFacts(record, found);
                if (hasAny(found)) {
                    place.facts = static_cast<std::uint32_t>(facts.size());
                    facts.push_back(found);
                }
            }
            const JoinFacts& own = factsOf(index);
            if (own.prefetchFile) {
                prefetchByHash.emplace_back(own.prefetchHash, static_cast<std::uint32_t>(index));
                if (splitDevicePath(own.devicePath, place.device, place.rest)) {
                    place.ownPathHashed = hashMatches(index, own.devicePath);
                }
            }
            const std::size_t keyStart = keys.text.size();
            if (record.pathStatus == PathStatus::Resolved &&
                appendJoinKey(record.path, origin.pathVariables, keys.text)) {
                keyed(index, keyStart, RecordJoin::ByPath, Placement::AsRecorded);
                place.smallLetters = hasSmallLetters(record.path);
                // A Prefetch file's own device path proves its volume where
                // its name's hash is that path's.
                if (place.ownPathHashed) {
                    proveVolume(place.device, place.rest, index);
                }
                continue;
            }
            const std::wstring_view devicePath =
                !own.devicePath.empty() ? own.devicePath : std::wstring_view(record.path);
            if (record.pathStatus != PathStatus::SeveralPossiblePaths &&
                splitDevicePath(devicePath, place.device, place.rest)) {
                place.join = RecordJoin::VolumeNotIdentified; // until its volume is proven
                if (!own.prefetchFile) {
                    place.xpHash = prefetchHash(PrefetchHashFunction::WindowsXp, devicePath);
                    place.laterHash = prefetchHash(PrefetchHashFunction::WindowsVista, devicePath);
                }
            } else {
                place.join = record.pathStatus == PathStatus::FolderIdUnresolved
                                 ? RecordJoin::FolderNotPlaced
                             : record.pathStatus == PathStatus::SeveralPossiblePaths
                                 ? RecordJoin::SeveralCandidates
                             : record.pathStatus == PathStatus::VolumeNotIdentified
                                 ? RecordJoin::VolumeNotIdentified
                                 : RecordJoin::NoPathRecorded;
            }
            if (!own.package.empty() && record.pathStatus != PathStatus::Resolved) {
                std::wstring family = packageFamilyOf(own.package);
                if (!family.empty()) {
                    list.placements[index].text =
                        static_cast<std::uint32_t>(list.placedTexts.size());
                    keys.text += L"PACKAGE ";
                    keys.text += capitalsOf(family);
                    list.placedTexts.push_back(std::move(family));
                    keyed(index, keyStart, RecordJoin::ByPackage, Placement::Package);
                }
            }
        }
    }

    bool hashMatches(std::size_t prefetch, std::wstring_view path) const {
        const JoinFacts& file = factsOf(prefetch);
        const HashFunctions functions = hashFunctionsFor(file.prefetchVersion);
        for (std::size_t at = 0; at < functions.count; ++at) {
            if (at > 0 && sameSums(functions.functions[at], functions.functions[at - 1])) {
                continue;
            }
            if (prefetchHash(functions.functions[at], path) == file.prefetchHash) {
                return true;
            }
        }
        return false;
    }

    // The device is the drive of the Prefetch file's path, where that path
    // is the device path's on a drive.
    void proveVolume(std::wstring_view device, std::wstring_view rest, std::size_t prefetch) {
        if (places[prefetch].join != RecordJoin::ByPath) {
            return;
        }
        const std::wstring_view key = keys.keyOf(prefetch);
        if (key.size() < 3 || key[1] != L':' || !equalsFolded(key.substr(2), rest)) {
            return;
        }
        const std::wstring_view drive = key.substr(0, 2);
        const auto sameDevice = [device](const std::wstring& known) {
            return equalsFolded(known, device);
        };
        if (std::any_of(conflictingDevices.begin(), conflictingDevices.end(), sameDevice)) {
            return;
        }
        const auto found =
            std::find_if(list.volumes.begin(), list.volumes.end(),
                         [&](const VolumeProof& proof) { return sameDevice(proof.device); });
        if (found == list.volumes.end()) {
            list.volumes.push_back({capitalsOf(device), std::wstring(drive), prefetch});
        } else if (found->drive != drive) {
            // Two drives for one device: neither is proven.
            conflictingDevices.push_back(found->device);
            list.volumes.erase(found);
        }
    }

    // A Prefetch file names at most 29 characters of the program's name.
    static bool nameFits(std::wstring_view prefetchName, std::wstring_view fileName) {
        if (fileName.size() > 29 && prefetchName.size() == 29) {
            fileName = fileName.substr(0, 29);
        }
        return equalsFolded(prefetchName, fileName);
    }

    // Each record that gives a device path and is not joined by its path
    // joins the one program whose Prefetch file its path hashes to.
    void joinByPrefetchHash() {
        if (prefetchByHash.empty()) {
            return;
        }
        std::sort(prefetchByHash.begin(), prefetchByHash.end());
        std::vector<std::uint32_t> waiting;
        for (std::size_t index = 0; index < records.size(); ++index) {
            const RecordPlace& place = places[index];
            if (!factsOf(index).prefetchFile && !place.device.empty() &&
                place.join == RecordJoin::VolumeNotIdentified) {
                waiting.push_back(static_cast<std::uint32_t>(index));
            }
        }
        // Each path lies where its record put it: those a few ahead are
        // asked for while this one is joined.
        constexpr std::size_t ahead = 8;
        for (std::size_t at = 0; at < waiting.size(); ++at) {
#if defined(__GNUC__)
            if (at + ahead < waiting.size()) {
                __builtin_prefetch(places[waiting[at + ahead]].device.data());
            }
#endif
            joinOneByHash(waiting[at], places[waiting[at]]);
        }
    }

    void joinOneByHash(std::size_t index, RecordPlace& place) {
        // The path as one text: the device and the path on it are parts of one view.
        const std::wstring_view path(place.device.data(), place.device.size() + place.rest.size());
        const std::wstring_view fileName = path.substr(path.rfind(L'\\') + 1);
        // A Prefetch file matches where the function its version names gives its hash.
        const auto madeBy = [&](const JoinFacts& file) {
            return file.prefetchHash ==
                   (file.prefetchVersion <= 17 ? place.xpHash : place.laterHash);
        };
        const std::array<std::uint32_t, 2> hashes = {place.xpHash, place.laterHash};
        std::array<std::size_t, 8> candidates{};
        std::size_t found = 0;
        bool tooMany = false;
        for (std::size_t at = 0; at < hashes.size(); ++at) {
            if (at > 0 && hashes[at] == hashes[at - 1]) {
                continue; // the same value looked up once
            }
            const auto [first, last] = std::equal_range(
                prefetchByHash.begin(), prefetchByHash.end(), std::pair{hashes[at], 0u},
                [](const auto& a, const auto& b) { return a.first < b.first; });
            for (auto entry = first; entry != last; ++entry) {
                const std::size_t prefetch = entry->second;
                const JoinFacts& file = factsOf(prefetch);
                // A file that records its device path names the program in it.
                const bool fits = madeBy(file) && (file.devicePath.empty()
                                                       ? nameFits(records[prefetch].name, fileName)
                                                       : equalsFolded(file.devicePath, path));
                const bool listed = std::find(candidates.begin(), candidates.begin() + found,
                                              prefetch) != candidates.begin() + found;
                if (fits && !listed) {
                    if (found == candidates.size()) {
                        tooMany = true;
                    } else {
                        candidates[found++] = prefetch;
                    }
                }
            }
        }
        if (found == 0) {
            return;
        }
        const std::size_t program = sets.rootOf(candidates[0]);
        for (std::size_t at = 1; at < found; ++at) {
            tooMany = tooMany || sets.rootOf(candidates[at]) != program;
        }
        if (tooMany) {
            place.join = RecordJoin::SeveralCandidates;
            return;
        }
        const std::size_t prefetch = candidates[0];
        sets.join(prefetch, index);
        place.join = RecordJoin::ByPrefetchHash;
        list.placements[index] = {Placement::PrefetchHash, static_cast<std::uint32_t>(prefetch), 0};
        if (places[prefetch].join != RecordJoin::ByPath) {
            places[prefetch].join = RecordJoin::ByPrefetchHash;
        }
        // A file whose own path hashed proved its volume already.
        if (!places[prefetch].ownPathHashed) {
            proveVolume(place.device, place.rest, prefetch);
        }
    }

    // Every Prefetch record by its name's hash, in order of the hash.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> prefetchByHash;

    // Device paths on a proven volume are placed on its drive.
    void placeOnProvenVolumes() {
        if (list.volumes.empty()) {
            return;
        }
        for (std::size_t index = 0; index < records.size(); ++index) {
            RecordPlace& place = places[index];
            if (place.device.empty() || place.join == RecordJoin::ByPath ||
                (place.join == RecordJoin::ByPrefetchHash && !factsOf(index).prefetchFile)) {
                continue;
            }
            const auto proof =
                std::find_if(list.volumes.begin(), list.volumes.end(), [&](const VolumeProof& p) {
                    return equalsFolded(p.device, place.device);
                });
            if (proof == list.volumes.end()) {
                continue;
            }
            list.placements[index].via = static_cast<std::uint32_t>(proof - list.volumes.begin());
            const std::size_t keyStart = keys.text.size();
            keys.text += proof->drive;
            keys.text += place.rest;
            capitalizeFrom(keys.text, keyStart);
            keyed(index, keyStart, RecordJoin::ByPath, Placement::ProvenVolume);
            place.smallLetters = hasSmallLetters(place.rest);
        }
    }

    // Each program's members stand together in the list, in record order.
    void gatherPrograms() {
        const std::size_t count = records.size();
        list.programOfRecord.assign(count, 0);
        std::vector<std::uint32_t> programOfRoot(count, 0);
        std::vector<std::uint32_t> sizes;
        for (std::size_t index = 0; index < count; ++index) {
            const std::size_t root = sets.rootOf(index);
            if (root == index) {
                programOfRoot[root] = static_cast<std::uint32_t>(sizes.size());
                sizes.push_back(0);
            }
            const std::uint32_t program = programOfRoot[root];
            list.programOfRecord[index] = program;
            ++sizes[program];
        }
        list.programs.resize(sizes.size());
        std::uint32_t first = 0;
        for (std::size_t at = 0; at < sizes.size(); ++at) {
            list.programs[at].id = static_cast<std::uint32_t>(at + 1);
            list.programs[at].records = {first, 0};
            first += sizes[at];
        }
        list.memberRecords.resize(count);
        list.memberJoins.resize(count);
        for (std::size_t index = 0; index < count; ++index) {
            ItemRange& members = list.programs[list.programOfRecord[index]].records;
            const std::size_t at = members.first + members.count++;
            list.memberRecords[at] = index;
            list.memberJoins[at] = places[index].join;
        }
    }

    void prefetchPlace(std::size_t index) const {
#if defined(__GNUC__)
        __builtin_prefetch(&places[index]);
        __builtin_prefetch(&list.placements[index]);
#else
        (void)index;
#endif
    }

    bool hasPath(std::size_t index) const {
        const Placement placement = list.placements[index].placement;
        return placement == Placement::AsRecorded || placement == Placement::ProvenVolume;
    }

    static bool hasSmallLetters(std::wstring_view path) {
        return std::any_of(path.begin(), path.end(),
                           [](wchar_t unit) { return unit >= L'a' && unit <= L'z'; });
    }

    // Which record's path it shows and says how it was placed, its runs,
    // and where its records disagree.
    void describe(Program& program) {
        const std::span<const std::size_t> members = list.recordsOf(program);
        bool ran = false;
        bool chosenSmall = false; // the chosen path has small letters
        for (std::size_t index : members) {
            const RecordPlace& place = places[index];
            // A path written in capitals only (Prefetch's) gives way to the
            // same path as another record wrote it.
            if (hasPath(index) && (program.pathRecord == noRecord || !chosenSmall)) {
                const bool small = place.smallLetters;
                if (program.pathRecord == noRecord || small) {
                    program.pathRecord = static_cast<std::uint32_t>(index);
                    chosenSmall = small;
                }
            }
            if (program.placedRecord == noRecord &&
                list.placements[index].placement != Placement::None) {
                program.placedRecord = static_cast<std::uint32_t>(index);
            }
            if (provesOf(records[index]) == Proves::Present) {
                continue;
            }
            ran = true;
            if (place.firstRun != 0 &&
                (program.firstRun == 0 || place.firstRun < program.firstRun)) {
                program.firstRun = place.firstRun;
                program.firstRunSource = place.source;
            }
            if (place.lastRun > program.lastRun) {
                program.lastRun = place.lastRun;
                program.lastRunSource = place.source;
            }
        }
        if (program.pathRecord != noRecord) {
            program.placedRecord = program.pathRecord;
        }
        findContradictions(program, members, ran);
    }

    void findContradictions(Program& program, std::span<const std::size_t> members, bool ran) {
        std::wstring_view sha1;
        const JoinFacts* modified = nullptr;
        const RecordSource* modifiedSource = nullptr;
        std::uint64_t volumeCreated = 0;
        for (std::size_t index : members) {
            if (places[index].facts == noFactsIndex) {
                continue;
            }
            const JoinFacts& own = facts[places[index].facts];
            if (!own.sha1.empty()) {
                if (sha1.empty()) {
                    sha1 = own.sha1;
                } else if (!equalsFolded(sha1, own.sha1)) {
                    program.flags |= contradictionSha1;
                }
            }
            if (own.fileModified != 0) {
                if (modified == nullptr) {
                    modified = &own;
                    modifiedSource = places[index].source;
                } else if (modifiedSource != places[index].source &&
                           modified->fileModified != own.fileModified) {
                    program.flags |= contradictionModified;
                }
            }
            if (own.volumeCreated != 0 &&
                (volumeCreated == 0 || own.volumeCreated < volumeCreated)) {
                volumeCreated = own.volumeCreated;
            }
        }
        if (!ran) {
            program.flags |= contradictionPresentOnly;
        }
        const std::uint64_t collected = origin.collection ? origin.collectionRead.collectedAt : 0;
        if (collected != 0 && program.lastRun > collected) {
            program.flags |= contradictionAfterCollection;
        }
        if (volumeCreated != 0 && program.firstRun != 0 && program.firstRun < volumeCreated) {
            program.flags |= contradictionBeforeVolume;
        }
    }

    void describePrograms() {
        // A program's records lie far apart: those of a program a few ahead
        // are asked for while this one is described.
        constexpr std::size_t ahead = 8;
        for (std::size_t at = 0; at < list.programs.size(); ++at) {
            if (at + ahead < list.programs.size()) {
                for (std::size_t index : list.recordsOf(list.programs[at + ahead])) {
                    prefetchPlace(index);
                }
            }
            Program& program = list.programs[at];
            describe(program);
            const std::span<const RecordJoin> joined = list.joinsOf(program);
            if (joined.size() > 1) {
                list.counts.recordsJoined += joined.size();
            } else if (!joins(joined.front())) {
                const auto reason = static_cast<std::size_t>(joined.front()) -
                                    static_cast<std::size_t>(RecordJoin::NoPathRecorded);
                ++list.counts.notJoined[reason];
            }
            for (std::size_t kind = 0; kind < contradictionKinds; ++kind) {
                if ((program.flags & (1u << kind)) != 0) {
                    ++list.counts.contradictions[kind];
                }
            }
        }
        list.counts.programs = list.programs.size();
        list.counts.volumesProven = list.volumes.size();
    }
};

} // namespace

ProgramList buildPrograms(const RecordList& records, const ScanOrigin& origin) {
    return Builder(records, origin).build();
}

} // namespace tidewell
