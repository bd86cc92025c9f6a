#include "report/programs_csv.h"

#include "core/record_source.h"
#include "platform/decimal_text.h"
#include "programs/program_texts.h"
#include "report/csv_report.h"

namespace tidewell {

namespace {

constexpr wchar_t lineEnd[] = L"\r\n";
constexpr wchar_t programColumns[] =
    L"\"Program\",\"Name\",\"Path\",\"Placed\",\"Ran per\",\"Seen by\",\"First run\","
    L"\"First run source\",\"Last run\",\"Last run source\",\"Users\",\"SHA-1\",\"Publisher\","
    L"\"Version\",\"Machine states\",\"Contradictions\",\"Records\"";

std::wstring joined(const std::vector<std::wstring>& parts) {
    std::wstring text;
    for (const std::wstring& part : parts) {
        text += text.empty() ? L"" : L" | ";
        text += part;
    }
    return text;
}

std::wstring sha1Text(const ProgramTexts& texts) {
    std::vector<std::wstring> values;
    for (const ProgramHash& hash : texts.sha1) {
        values.push_back(hash.value);
    }
    return joined(values);
}

std::wstring usersText(const ProgramTexts& texts) {
    std::vector<std::wstring> users;
    for (const ProgramUser& user : texts.users) {
        users.push_back(user.name.empty() ? user.sid : user.name + L" (" + user.sid + L")");
    }
    return joined(users);
}

std::wstring statesText(const ProgramTexts& texts, const ScanOrigin& origin) {
    std::vector<std::wstring> states;
    for (CopyIndex copy : texts.copies) {
        states.push_back(copy < origin.copies.size() ? origin.copies[copy].label
                                                     : L"state " + decimalText(copy));
    }
    return joined(states);
}

std::wstring flagsText(const Program& program) {
    std::wstring text;
    for (std::size_t kind = 0; kind < contradictionKinds; ++kind) {
        if ((program.flags & (1u << kind)) != 0) {
            text += text.empty() ? L"" : L" | ";
            text += contradictionWords(kind);
        }
    }
    return text;
}

// Each record by its row among the records of the records report, from 1.
std::wstring recordsText(const ProgramList& list, const Program& program) {
    std::wstring text;
    for (std::size_t index : list.recordsOf(program)) {
        text += text.empty() ? L"" : L" ";
        text += decimalText(index + 1);
    }
    return text;
}

} // namespace

std::wstring buildProgramsHeader(const ScanTally& tally, const ScanFacts& facts,
                                 const ScanOrigin& origin, const ProgramList& programs,
                                 TimeBasis times) {
    std::wstring text = buildHeaderBlock(tally, facts, origin, times, &programs.counts);
    text += lineEnd;
    text += programColumns;
    text += lineEnd;
    return text;
}

std::wstring buildProgramLine(const ProgramList& list, const Program& program,
                              const RecordList& records, const ScanOrigin& origin,
                              TimeBasis times) {
    const ProgramTexts texts = programTexts(list, program, records, origin);
    const auto timeOf = [times](std::uint64_t time) {
        return time == 0 ? std::wstring() : formatTimestamp(time, times);
    };
    const auto wordOf = [](const RecordSource* source) {
        return source == nullptr ? std::wstring() : std::wstring(source->word);
    };
    std::wstring line = csvQuote(decimalText(program.id));
    for (const std::wstring& field : {
             texts.name,
             texts.path,
             texts.placed,
             texts.ranPer,
             texts.seenBy,
             timeOf(program.firstRun),
             wordOf(program.firstRunSource),
             timeOf(program.lastRun),
             wordOf(program.lastRunSource),
             usersText(texts),
             sha1Text(texts),
             texts.publisher,
             texts.version,
             statesText(texts, origin),
             flagsText(program),
             recordsText(list, program),
         }) {
        line.push_back(L',');
        line += csvCell(field);
    }
    line += lineEnd;
    return line;
}

} // namespace tidewell
