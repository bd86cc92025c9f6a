#include "ui/program_detail_text.h"

#include "core/path_status_word.h"
#include "platform/decimal_text.h"
#include "platform/timestamp_format.h"
#include "programs/program_texts.h"

namespace tidewell {

namespace {

std::wstring momentText(std::uint64_t value, TimeBasis times) {
    std::wstring text = formatTimestamp(value, times);
    if (times == TimeBasis::Utc && !text.empty()) {
        text += L" UTC";
    }
    return text;
}

void line(std::wstring& text, const wchar_t* label, const std::wstring& value) {
    text += label;
    text += value;
    text += detailLineEnd;
}

void recordLines(std::wstring& text, const LaunchRecord& record, RecordJoin join,
                 const DetailContext& context) {
    const RecordSource& source = *record.source;
    text += L"\r\n";
    const Proves proves = provesOf(record);
    text += std::wstring(source.word) + L" \u2014 proves: " + provesWord(proves) +
            (proves == Proves::Ran          ? L" (a recorded start)"
             : proves == Proves::Interacted ? L" (the user used it while it ran)"
                                            : L" (Windows saw the file; not that it ran)") +
            detailLineEnd;
    line(text, L"    Path:          ",
         (record.path.empty() ? std::wstring(L"(none recorded)") : record.path) + L"  (" +
             pathStatusWord(record.pathStatus) + L")");
    line(text, L"    Joined by:     ",
         std::wstring(recordJoinWords(join)) + (joins(join) ? L"" : L" \u2014 not joined"));
    if (source.countWords != nullptr) {
        std::wstring count;
        source.countWords(record, count);
        line(text, L"    Count:         ", count);
    }
    if (!record.userSid.empty()) {
        line(text, L"    User:          ",
             record.userName.empty() ? record.userSid
                                     : record.userName + L" (" + record.userSid + L")");
    }
    for (std::uint64_t run : record.runTimes) {
        line(text, source.timesAreRuns ? L"    Run:           " : L"    Time:          ",
             momentText(run, context.times) + L"  (" + source.runTimeMeaning + L")");
    }
    std::vector<NamedTime> times;
    if (source.namedTimes != nullptr) {
        source.namedTimes(record, times);
    }
    for (const NamedTime& named : times) {
        if (named.time != 0) {
            line(text, L"    Time:          ",
                 momentText(named.time, context.times) + L"  (" + named.meaning + L")");
        }
    }
    if (!record.recordFile.empty()) {
        line(text, L"    Read from:     ", record.recordFile);
    }
}

} // namespace

std::wstring buildProgramDetailText(const ProgramList& list, const Program& program,
                                    const RecordList& records, const DetailContext& context,
                                    const ScanOrigin& origin) {
    const ProgramTexts texts = programTexts(list, program, records, origin);
    std::wstring text = texts.name + L"\r\n\r\n";
    line(text, L"Path:              ", texts.path.empty() ? L"(none)" : texts.path);
    line(text, L"Placed:            ", texts.placed);
    line(text, L"Ran per:           ",
         texts.ranPer.empty() ? std::wstring(L"no record of a run") : texts.ranPer);
    line(text, L"Seen by:           ",
         texts.seenBy.empty() ? std::wstring(L"(none)") : texts.seenBy);
    if (program.firstRun != 0) {
        line(text, L"First run:         ",
             momentText(program.firstRun, context.times) + L"  (" + program.firstRunSource->word +
                 L")");
        line(text, L"Last run:          ",
             momentText(program.lastRun, context.times) + L"  (" + program.lastRunSource->word +
                 L")");
    } else {
        line(text, L"Runs:              ",
             L"none recorded \u2014 only records that prove a start give runs");
    }
    for (const ProgramUser& user : texts.users) {
        line(text, L"Ran as:            ",
             user.name.empty() ? user.sid : user.name + L" (" + user.sid + L")");
    }
    for (const ProgramHash& hash : texts.sha1) {
        std::wstring said = hash.value + L"  (as " + hash.source->word + L" records it";
        if (hash.covers != 0) {
            said += L", over at most the first " + groupedDecimalText(hash.covers) + L" bytes";
        }
        line(text, L"SHA-1:             ", said + L")");
    }
    if (!texts.publisher.empty()) {
        line(text, L"Publisher:         ", texts.publisher);
    }
    if (!texts.version.empty()) {
        line(text, L"Version:           ", texts.version);
    }
    if (!texts.copies.empty() && context.copies != nullptr) {
        std::wstring states;
        for (CopyIndex copy : texts.copies) {
            states += (states.empty() ? L"" : L"; ") + (copy < context.copies->size()
                                                            ? (*context.copies)[copy].label
                                                            : L"state " + decimalText(copy));
        }
        line(text, L"Found in:          ", states);
    }
    if (!texts.contradictions.empty()) {
        text += L"\r\nContradictions (said, not resolved):\r\n";
        std::size_t start = 0;
        while (start < texts.contradictions.size()) {
            const std::size_t end = texts.contradictions.find(L"\r\n", start);
            text += L"    " + texts.contradictions.substr(start, end - start) + detailLineEnd;
            if (end == std::wstring::npos) {
                break;
            }
            start = end + 2;
        }
    }
    const std::span<const std::size_t> members = list.recordsOf(program);
    const std::span<const RecordJoin> joined = list.joinsOf(program);
    text += L"\r\nRecords (" + decimalText(members.size()) + L"):\r\n";
    for (std::size_t at = 0; at < members.size(); ++at) {
        if (members[at] < records.size()) {
            recordLines(text, records[members[at]], joined[at], context);
        }
    }
    return text;
}

} // namespace tidewell
