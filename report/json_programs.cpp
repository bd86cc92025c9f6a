#include "report/json_programs.h"

#include "core/record_source.h"
#include "platform/json_text.h"
#include "programs/program_texts.h"

namespace tidewell {

namespace {

void runMember(JsonWriter& json, const char* name, std::uint64_t time, const RecordSource* source) {
    json.key(name);
    if (time == 0 || source == nullptr) {
        json.null();
        return;
    }
    json.beginObject();
    jsonMomentMembers(json, time);
    json.member("source", source->word);
    json.endObject();
}

void programRecords(JsonWriter& json, const ProgramList& list, const Program& program,
                    const RecordList& records) {
    const std::span<const std::size_t> members = list.recordsOf(program);
    const std::span<const RecordJoin> joined = list.joinsOf(program);
    json.key("records");
    json.beginArray();
    for (std::size_t index : members) {
        json.number(index);
    }
    json.endArray();
    json.key("record_joins");
    json.beginArray();
    for (std::size_t at = 0; at < members.size(); ++at) {
        const LaunchRecord& record = records[members[at]];
        json.beginObject();
        json.member("record", members[at]);
        json.member("source", record.source->word);
        json.member("proves", provesWord(provesOf(record)));
        json.member("joined", recordJoinWords(joined[at]));
        json.memberFlag("joins", joins(joined[at]));
        json.endObject();
    }
    json.endArray();
}

void program(JsonWriter& json, const ProgramList& list, const Program& program,
             const RecordList& records, const ScanOrigin& origin) {
    const ProgramTexts texts = programTexts(list, program, records, origin);
    json.beginObject();
    json.member("id", program.id);
    json.member("name", texts.name);
    jsonOptionalText(json, "path", texts.path);
    json.member("placed", texts.placed);
    programRecords(json, list, program, records);
    jsonOptionalText(json, "ran_per", texts.ranPer);
    jsonOptionalText(json, "seen_by", texts.seenBy);
    runMember(json, "first_run", program.firstRun, program.firstRunSource);
    runMember(json, "last_run", program.lastRun, program.lastRunSource);
    json.key("users");
    json.beginArray();
    for (const ProgramUser& user : texts.users) {
        json.beginObject();
        json.member("sid", user.sid);
        jsonOptionalText(json, "name", user.name);
        json.endObject();
    }
    json.endArray();
    json.key("sha1");
    json.beginArray();
    for (const ProgramHash& hash : texts.sha1) {
        json.string(hash.value);
    }
    json.endArray();
    jsonOptionalText(json, "publisher", texts.publisher);
    jsonOptionalText(json, "version", texts.version);
    json.key("copies");
    json.beginArray();
    for (CopyIndex copy : texts.copies) {
        json.number(copy);
    }
    json.endArray();
    json.key("flags");
    json.beginArray();
    for (std::size_t kind = 0; kind < contradictionKinds; ++kind) {
        if ((program.flags & (1u << kind)) != 0) {
            const char* key = contradictionKey(kind);
            json.string(std::wstring(key, key + std::char_traits<char>::length(key)));
        }
    }
    json.endArray();
    jsonOptionalText(json, "contradictions", texts.contradictions);
    json.endObject();
}

} // namespace

std::string jsonProgramMembers(const ProgramList& programs, const RecordList& records,
                               const ScanOrigin& origin) {
    // One program to a line, as the records stand.
    std::string text = ",\"programs\":[";
    bool first = true;
    for (const Program& each : programs.programs) {
        JsonWriter json;
        program(json, programs, each, records, origin);
        text += first ? "\n" : ",\n";
        text += json.text;
        first = false;
    }
    text += "\n],\"program_counts\":";
    JsonWriter counts;
    counts.beginObject();
    for (const ProgramCountLine& line : programCountLines(programs.counts)) {
        counts.member(line.key, line.value);
    }
    counts.endObject();
    return text + counts.text;
}

} // namespace tidewell
