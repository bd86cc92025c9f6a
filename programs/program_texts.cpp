#include "programs/program_texts.h"

#include <algorithm>

#include "core/record_source.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"
#include "platform/timestamp_format.h"
#include "programs/program_path.h"

namespace tidewell {

namespace {

// The path on its device of a record that gives a device path.
std::wstring_view devicePathRest(const LaunchRecord& record) {
    JoinFacts facts;
    if (record.source->joinFacts != nullptr) {
        record.source->joinFacts(record, facts);
    }
    std::wstring_view device;
    std::wstring_view rest;
    splitDevicePath(facts.devicePath.empty() ? std::wstring_view(record.path) : facts.devicePath,
                    device, rest);
    return rest;
}

std::wstring placedWords(const ProgramList& list, std::size_t index, const RecordList& records) {
    if (index >= list.placements.size()) {
        return {};
    }
    const RecordPlacement& placement = list.placements[index];
    const auto placedText = [&]() -> std::wstring {
        return placement.text < list.placedTexts.size() ? list.placedTexts[placement.text]
                                                        : std::wstring();
    };
    switch (placement.placement) {
    case Placement::AsRecorded:
        return L"as recorded";
    case Placement::Package:
        return L"packaged application " + placedText();
    case Placement::PrefetchHash: {
        const LaunchRecord& record = records[index];
        JoinFacts facts;
        if (record.source->joinFacts != nullptr) {
            record.source->joinFacts(record, facts);
        }
        const std::wstring devicePath =
            facts.devicePath.empty() ? record.path : std::wstring(facts.devicePath);
        return L"joined by hash: its device path " + devicePath + L" hashes to the name of " +
               (placement.via < records.size() ? records[placement.via].name : std::wstring()) +
               L"'s Prefetch file";
    }
    case Placement::ProvenVolume: {
        if (placement.via >= list.volumes.size()) {
            return {};
        }
        const VolumeProof& proof = list.volumes[placement.via];
        return L"placed on " + proof.drive + L" (" + proof.device + L" is " + proof.drive +
               L", proven by the hash in the name of " + records[proof.prefetchRecord].name +
               L"'s Prefetch file)";
    }
    case Placement::None:
        break;
    }
    return {};
}

// "Prefetch: 11 runs; UserAssist: 5 runs, 2 runs", the sources in the order
// of the table, each record under its own source's count.
void countPerSource(ProgramTexts& texts, std::span<const std::size_t> members,
                    const RecordList& records) {
    std::vector<std::size_t> ordered(members.begin(), members.end());
    std::stable_sort(ordered.begin(), ordered.end(), [&](std::size_t a, std::size_t b) {
        return records[a].source->number < records[b].source->number;
    });
    const RecordSource* current = nullptr;
    for (std::size_t at = 0; at < ordered.size(); ++at) {
        const LaunchRecord& record = records[ordered[at]];
        const RecordSource& source = *record.source;
        // Using a program proves it ran as well as a start does.
        std::wstring& text = provesOf(record) != Proves::Present ? texts.ranPer : texts.seenBy;
        if (&source != current) {
            text += text.empty() ? L"" : L"; ";
            text += source.word;
            text += L": ";
            current = &source;
            if (source.countTogether != nullptr) {
                std::size_t together = 1;
                while (at + 1 < ordered.size() && records[ordered[at + 1]].source == &source) {
                    ++together;
                    ++at;
                }
                source.countTogether(together, text);
                continue;
            }
        } else {
            text += L", ";
        }
        if (source.countWords != nullptr) {
            source.countWords(record, text);
        } else {
            text += L"recorded";
        }
    }
}

std::wstring utcText(std::uint64_t time) {
    return formatTimestamp(time, TimeBasis::Utc) + L" UTC";
}

void explainContradictions(ProgramTexts& texts, const Program& program,
                           std::span<const std::size_t> members, const RecordList& records,
                           const std::vector<JoinFacts>& facts, const ScanOrigin& origin) {
    std::wstring& text = texts.contradictions;
    if ((program.flags & contradictionSha1) != 0) {
        std::wstring values;
        for (const ProgramHash& hash : texts.sha1) {
            values += (values.empty() ? L"" : L", ") + hash.value;
        }
        text += L"Two SHA-1 values for one path (" + values +
                L"): the file was replaced at some time.\r\n";
    }
    if ((program.flags & contradictionModified) != 0) {
        // The first two sources that hold the file's modification time apart.
        std::size_t first = members.size();
        for (std::size_t at = 0; at < members.size(); ++at) {
            if (facts[at].fileModified == 0) {
                continue;
            }
            if (first == members.size()) {
                first = at;
            } else if (records[members[first]].source != records[members[at]].source &&
                       facts[first].fileModified != facts[at].fileModified) {
                text += std::wstring(records[members[first]].source->word) +
                        L" holds the file's modification time as " +
                        utcText(facts[first].fileModified) + L", " +
                        records[members[at]].source->word + L" as " +
                        utcText(facts[at].fileModified) +
                        L": the file changed between them, or a record was altered.\r\n";
                break;
            }
        }
    }
    if ((program.flags & contradictionPresentOnly) != 0) {
        text += L"Seen by Windows, never recorded running: its records show that the file was "
                L"there, not that it ran.\r\n";
    }
    if ((program.flags & contradictionAfterCollection) != 0) {
        text += L"A run recorded at " + utcText(program.lastRun) +
                L", later than the collection was made (" +
                utcText(origin.collectionRead.collectedAt) +
                L"): the clock was set wrong, or the record was altered.\r\n";
    }
    if ((program.flags & contradictionBeforeVolume) != 0) {
        std::uint64_t created = 0;
        for (const JoinFacts& each : facts) {
            if (each.volumeCreated != 0 && (created == 0 || each.volumeCreated < created)) {
                created = each.volumeCreated;
            }
        }
        text += L"A run recorded at " + utcText(program.firstRun) +
                L", earlier than the volume it lies on was created (" + utcText(created) +
                L"): the clock was set wrong, or the record was altered.\r\n";
    }
}

} // namespace

std::wstring programPath(const ProgramList& list, const Program& program,
                         const RecordList& records) {
    if (program.pathRecord >= records.size()) {
        return {};
    }
    const RecordPlacement& placement = list.placements[program.pathRecord];
    if (placement.placement == Placement::ProvenVolume && placement.via < list.volumes.size()) {
        // Its device path on the drive proven for the device.
        return list.volumes[placement.via].drive +
               std::wstring(devicePathRest(records[program.pathRecord]));
    }
    return records[program.pathRecord].path;
}

std::wstring programName(const ProgramList& list, const Program& program,
                         const RecordList& records) {
    if (program.pathRecord < records.size()) {
        return lastPart(programPath(list, program, records));
    }
    const std::span<const std::size_t> members = list.recordsOf(program);
    return members.empty() ? std::wstring() : records[members.front()].name;
}

ProgramTexts programTexts(const ProgramList& list, const Program& program,
                          const RecordList& records, const ScanOrigin& origin) {
    ProgramTexts texts;
    const std::span<const std::size_t> members = list.recordsOf(program);
    if (members.empty()) {
        return texts;
    }
    texts.path = programPath(list, program, records);
    texts.name = programName(list, program, records);
    if (program.placedRecord < records.size()) {
        texts.placed = placedWords(list, program.placedRecord, records);
    } else {
        texts.placed =
            std::wstring(L"not placed: ") + recordJoinWords(list.joinsOf(program).front());
    }
    countPerSource(texts, members, records);
    std::vector<JoinFacts> facts(members.size());
    for (std::size_t at = 0; at < members.size(); ++at) {
        const LaunchRecord& record = records[members[at]];
        if (record.source->joinFacts != nullptr) {
            record.source->joinFacts(record, facts[at]);
        }
        if (provesOf(record) != Proves::Present && !record.userSid.empty() &&
            std::none_of(texts.users.begin(), texts.users.end(),
                         [&](const ProgramUser& user) { return user.sid == record.userSid; })) {
            texts.users.push_back({record.userSid, record.userName});
        }
        const JoinFacts& own = facts[at];
        const auto sameHash = [&](const ProgramHash& known) {
            return equalsFolded(known.value, own.sha1);
        };
        if (!own.sha1.empty() && std::none_of(texts.sha1.begin(), texts.sha1.end(), sameHash)) {
            texts.sha1.push_back({std::wstring(own.sha1), record.source, own.sha1Covers});
        }
        if (texts.publisher.empty()) {
            texts.publisher = own.publisher;
        }
        if (texts.version.empty()) {
            texts.version = own.version;
        }
        for (CopyIndex copy : record.copies) {
            if (std::find(texts.copies.begin(), texts.copies.end(), copy) == texts.copies.end()) {
                texts.copies.push_back(copy);
            }
        }
    }
    std::sort(texts.copies.begin(), texts.copies.end());
    explainContradictions(texts, program, members, records, facts, origin);
    return texts;
}

} // namespace tidewell
