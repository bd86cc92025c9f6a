// tidewell-report's logic as a collection script meets it: the usage, every
// exit status, what it prints and what it leaves on disk.
#include "cli/report_command.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "machine/profile_list.h"
#include "platform/error_codes.h"
#include "platform/utf16_text.h"
#include "prefetch/sample/prefetch_image_builder.h"
#include "sample/evidence_tree.h"
#include "support/corpus_files.h"
#include "support/temp_folder.h"
#include "userassist/sample/userassist_values.h"
#include "userassist/userassist_reader.h"

namespace tidewell {
namespace {

using testing::narrow;

const std::wstring ownSid = L"S-1-5-21-7-8-9-1001";
const std::wstring usageLine =
    L"usage: tidewell-report [--evidence ROOT|IMAGE|COLLECTION [--partition N] [--drive D:] "
    L"[--no-shadow-copies]] [--recover-deleted-events] [--format csv|json|timeline|programs] "
    L"[--utc] FILE|-\r\n";

std::string fileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ReportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetAll();
        fake::setFixedNow(133616736000000000ULL);
        fake::setOwnSid(ownSid);
        windows.makeFolder("Prefetch");
        fake::setWindowsDirectory(windows.text());
        fake::createRegistryKey(RegistryRoot::LocalMachine,
                                (L"SOFTWARE\\" + std::wstring(profileListKeyPath)) + L"\\" +
                                    ownSid);
        fake::setRegistryValue(RegistryRoot::CurrentUser,
                               std::wstring(userAssistKeyPath) +
                                   L"\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count",
                               sample::rot13(L"C:\\Tools\\tool.exe"), registryTypeBinary,
                               sample::userAssistData(2, 1, 1500, 133500000000000000ULL));
        sample::PrefetchImageSpec spec;
        spec.name = L"TOOL.EXE";
        spec.runTimeSlots = {133500000000000000ULL};
        windows.writeFile("Prefetch/TOOL.EXE-1A2B3C4D.pf", sample::buildPrefetchImage(spec));
    }
    void TearDown() override { fake::resetAll(); }

    int run(std::vector<std::wstring> arguments) {
        output.clear();
        errors.clear();
        return runReportCommand(arguments, output, errors);
    }
    std::wstring destination() const { return out.text() + L"\\host.csv"; }
    bool written() const { return std::filesystem::exists(out.path / "host.csv"); }

    testing::TempFolder windows;
    testing::TempFolder out;
    std::wstring output;
    std::wstring errors;
};

TEST_F(ReportCommand, HelpInAnyOfItsSpellingsPrintsTheUsage) {
    for (const wchar_t* help : {L"--help", L"-h", L"/?"}) {
        EXPECT_EQ(run({help}), reportComplete);
        EXPECT_EQ(output.rfind(usageLine, 0), 0u);
        EXPECT_TRUE(errors.empty());
    }
}

TEST_F(ReportCommand, AnythingElseThatIsNotOneFileIsAUsageError) {
    const std::vector<std::vector<std::wstring>> wrong = {
        {},
        {L"a.csv", L"b.csv"},
        {L"-x"},
        {L"--verbose"},
        {L""},
        {L"--help", L"a.csv"},
        {L"--evidence", L"root"},
        {L"--evidence", L"root", L"a.csv", L"b.csv"},
        {L"root", L"--evidence", L"a.csv"},
        {L"--evidence", L"--help", L"a.csv"},
        {L"--recover-deleted-events", L"--recover-deleted-events", L"a.csv"}};
    for (const auto& arguments : wrong) {
        EXPECT_EQ(run(arguments), reportUsageError) << arguments.size();
        EXPECT_TRUE(output.empty());
        EXPECT_EQ(errors.rfind(usageLine, 0), 0u);
    }
    EXPECT_TRUE(std::filesystem::is_empty(out.path)) << "no scan ran, nothing was written";
}

TEST_F(ReportCommand, TheOptionsInAnyOrderChooseTheFormAndTheTime) {
    EXPECT_EQ(run({L"--format", L"json", destination()}), reportComplete);
    EXPECT_EQ(fileText(out.path / "host.csv").rfind("{\"tool\":{\"name\":\"Tidewell\"", 0), 0u);
    EXPECT_EQ(run({L"--format", L"timeline", destination()}), reportComplete);
    const std::string timeline = fileText(out.path / "host.csv");
    EXPECT_EQ(std::count(timeline.begin(), timeline.end(), '\n'), 2) << "one event per run time";

    EXPECT_EQ(run({L"--utc", L"--format", L"csv", destination()}), reportComplete);
    const std::string utc = fileText(out.path / "host.csv");
    const std::string line = "# Times are in,UTC\r\n";
    std::string wide;
    for (char c : line) {
        wide += c;
        wide += '\0';
    }
    EXPECT_NE(utc.find(wide), std::string::npos) << "the UTF-16 report says so";
    EXPECT_EQ(run({L"--format", L"csv", L"--utc", destination()}), reportComplete);
    EXPECT_EQ(fileText(out.path / "host.csv"), utc);
    EXPECT_EQ(run({destination()}), reportComplete);
    EXPECT_EQ(fileText(out.path / "host.csv").find(wide), std::string::npos);
    EXPECT_EQ(run({L"--recover-deleted-events", L"--utc", destination()}), reportComplete);
    EXPECT_EQ(fileText(out.path / "host.csv"), utc);
}

TEST_F(ReportCommand, VersionNamesTheToolAndItsVersionAlone) {
    EXPECT_EQ(run({L"--version"}), reportComplete);
    EXPECT_EQ(output, versionText() + L"\r\n");
    EXPECT_EQ(output.rfind(L"tidewell-report 0.", 0), 0u) << narrow(output);
    EXPECT_TRUE(errors.empty());
    for (const std::vector<std::wstring>& wrong :
         {std::vector<std::wstring>{L"--version", destination()},
          std::vector<std::wstring>{destination(), L"--version"}}) {
        EXPECT_EQ(run(wrong), reportUsageError);
        EXPECT_TRUE(output.empty());
        EXPECT_EQ(errors.rfind(usageLine, 0), 0u);
    }
    EXPECT_FALSE(written());
}

TEST_F(ReportCommand, ADashWritesEveryFormToStandardOutputAndTheSummaryToStandardError) {
    const std::vector<std::vector<std::wstring>> forms = {
        {}, {L"--utc"}, {L"--format", L"json"}, {L"--format", L"timeline"}};
    for (const auto& form : forms) {
        std::vector<std::wstring> toFile = form;
        toFile.push_back(destination());
        ASSERT_EQ(run(toFile), reportComplete);
        const std::string inFile = fileText(out.path / "host.csv");
        std::filesystem::remove(out.path / "host.csv");

        fake::resetStandardOutput();
        std::vector<std::wstring> toPipe = form;
        toPipe.push_back(L"-");
        EXPECT_EQ(run(toPipe), reportComplete);
        const auto& piped = fake::standardOutputBytes();
        EXPECT_EQ(std::string(piped.begin(), piped.end()), inFile)
            << "the same bytes as the file of that form, " << form.size();
        EXPECT_TRUE(output.empty()) << "nothing but the report on standard output";
        EXPECT_EQ(narrow(errors),
                  "tidewell-report: 2 records written to standard output; complete picture: "
                  "yes\r\n");
    }
    EXPECT_TRUE(std::filesystem::is_empty(out.path)) << "no file named - either";
}

TEST_F(ReportCommand, ADashKeepsTheExitStatusesOfAFile) {
    windows.writeFile("Prefetch/JUNK.EXE-00000000.pf", {'n', 'o', 't', ' ', 'o', 'n', 'e', '!'});
    EXPECT_EQ(run({L"-"}), reportIncomplete);
    EXPECT_NE(errors.find(L"written to standard output; complete picture: no (prefetch not a "
                          L"prefetch file 1)"),
              std::wstring::npos)
        << narrow(errors);
    EXPECT_FALSE(fake::standardOutputBytes().empty());

    fake::resetStandardOutput();
    fake::setWriteFailures({0, 1}); // a pipe whose reader went away
    EXPECT_EQ(run({L"-"}), reportNotWritten);
    EXPECT_EQ(errors, L"tidewell-report: the report could not be written whole to standard "
                      L"output\r\n");
    EXPECT_TRUE(output.empty());

    fake::setWriteFailures({});
    fake::resetStandardOutput();
    fake::setNoStandardOutput();
    EXPECT_EQ(run({L"--format", L"json", L"-"}), reportNotWritten);
    EXPECT_TRUE(fake::standardOutputBytes().empty());

    EXPECT_EQ(run({L"--format", L"-", L"-"}), reportUsageError) << "not a format";
    EXPECT_EQ(run({L"-", L"-"}), reportUsageError);
    EXPECT_TRUE(output.empty());
}

TEST_F(ReportCommand, AFormatThatIsNotOneOrUtcWhereItDoesNotApplyIsRefused) {
    EXPECT_EQ(run({L"--format", L"xml", destination()}), reportUsageError);
    EXPECT_EQ(errors.rfind(L"tidewell-report: there is no format \"xml\"; the formats are csv, "
                           L"json, timeline and programs\r\n" +
                               usageLine,
                           0),
              0u)
        << narrow(errors);
    for (const wchar_t* format : {L"json", L"timeline"}) {
        EXPECT_EQ(run({L"--utc", L"--format", format, destination()}), reportUsageError);
        EXPECT_EQ(
            errors.rfind(L"tidewell-report: --utc applies to the csv and programs formats only; "
                         L"the json and timeline formats always give their times in UTC\r\n" +
                             usageLine,
                         0),
            0u)
            << narrow(errors);
    }
    EXPECT_EQ(run({L"--format", L"json", L"--format", L"csv", destination()}), reportUsageError);
    EXPECT_EQ(errors.rfind(usageLine, 0), 0u) << "an option given twice";
    EXPECT_FALSE(written());
}

TEST_F(ReportCommand, ACompleteMachineExitsZeroAndSaysSo) {
    EXPECT_EQ(run({destination()}), reportComplete);
    EXPECT_EQ(narrow(output), "tidewell-report: 2 records written to " + narrow(destination()) +
                                  "; complete picture: yes\r\n");
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(written());
}

TEST_F(ReportCommand, AnIncompletePictureIsWrittenAndNamesEveryReason) {
    windows.writeFile("Prefetch/JUNK.EXE-00000000.pf", {'n', 'o', 't', ' ', 'o', 'n', 'e', '!'});
    fake::createRegistryKey(RegistryRoot::LocalMachine,
                            (L"SOFTWARE\\" + std::wstring(profileListKeyPath)) +
                                L"\\S-1-5-21-7-8-9-1002");
    EXPECT_EQ(run({destination()}), reportIncomplete);
    EXPECT_EQ(narrow(output), "tidewell-report: 2 records written to " + narrow(destination()) +
                                  "; complete picture: no (prefetch not a prefetch file 1; "
                                  "UserAssist examined in 1 of 2 profiles)\r\n");
    EXPECT_TRUE(written());

    fake::failRegistryOpen(RegistryRoot::LocalMachine,
                           L"SOFTWARE\\" + std::wstring(profileListKeyPath), ERROR_ACCESS_DENIED);
    EXPECT_EQ(run({destination()}), reportIncomplete);
    EXPECT_NE(output.find(L"user profile list unreadable - the machine's profile total is not "
                          L"known 1; UserAssist profile coverage could not be determined)"),
              std::wstring::npos)
        << narrow(output);
}

TEST_F(ReportCommand, AReportThatCannotBeWrittenLeavesNothingAndExitsOne) {
    const std::wstring missing = out.text() + L"\\absent\\host.csv";
    EXPECT_EQ(run({missing}), reportNotWritten);
    EXPECT_TRUE(output.empty());
    EXPECT_EQ(errors, L"tidewell-report: the report could not be written to " + missing +
                          L" and no partial file was left behind\r\n");
    EXPECT_TRUE(std::filesystem::is_empty(out.path));

    fake::setWriteFailures({0, 1}); // the report's one write fails
    EXPECT_EQ(run({destination()}), reportNotWritten);
    EXPECT_TRUE(std::filesystem::is_empty(out.path));
}

TEST_F(ReportCommand, WithoutAWindowsMachineThereIsNothingToScan) {
    fake::setRunsOnWindows(false);
    EXPECT_EQ(run({destination()}), reportUsageError);
    EXPECT_NE(errors.find(L"not a Windows machine"), std::wstring::npos);
    EXPECT_FALSE(written());
}

TEST_F(ReportCommand, AnEvidenceRootIsScannedEvenWhereThereIsNoWindows) {
    fake::setRunsOnWindows(false);
    testing::TempFolder evidence;
    sample::writeEvidenceFile(evidence.path, "c/Windows/System32/config/SYSTEM",
                              sample::writeHive(sample::systemHive(3)));
    sample::PrefetchImageSpec spec;
    spec.name = L"TOOL.EXE";
    spec.runTimeSlots = {133500000000000000ULL};
    sample::writeEvidenceFile(evidence.path, "c/Windows/Prefetch/TOOL.EXE-1A2B3C4D.pf",
                              sample::buildPrefetchImage(spec));
    EXPECT_EQ(run({L"--evidence", evidence.text(), destination()}), reportIncomplete);
    EXPECT_EQ(output.rfind(L"tidewell-report: 1 record from the evidence folder " +
                               evidence.text() + L"/c written to " + destination() +
                               L"; complete picture: no (",
                           0),
              0u)
        << narrow(output);
    EXPECT_NE(output.find(L"system hives unreadable"), std::wstring::npos) << "SOFTWARE is absent";
    EXPECT_TRUE(written());
}

TEST_F(ReportCommand, ARootThatHoldsNoWindowsDriveIsAUsageError) {
    testing::TempFolder evidence;
    sample::writeEvidenceFile(evidence.path, "notes/readme.txt", {'x'});
    EXPECT_EQ(run({L"--evidence", evidence.text(), destination()}), reportUsageError);
    EXPECT_EQ(errors, L"tidewell-report: " + evidence.text() +
                          L" is not a copy of a Windows system drive: it holds no Windows "
                          L"folder, neither itself nor one folder down\r\n");
    EXPECT_FALSE(written());
}

// Whether any unit of the text is a control character other than the line
// ends the writer itself puts there.
bool holdsControlBeyondLineEnds(const std::wstring& text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        const wchar_t unit = text[at];
        const bool lineEnd = (unit == L'\r' && at + 1 < text.size() && text[at + 1] == L'\n') ||
                             (unit == L'\n' && at > 0 && text[at - 1] == L'\r');
        if (!lineEnd && (unit < 0x20 || (unit >= 0x7F && unit <= 0x9F))) {
            return true;
        }
    }
    return false;
}

TEST_F(ReportCommand, TextFromTheEvidenceNeitherEndsALineNorStartsAFormula) {
    // A collection whose client says its name is a line break, a forged row
    // and a formula, whose drive is named with terminal escapes, and whose
    // one program's name starts like a formula.
    testing::TempFolder collection;
    const std::string drive = "uploads/auto/%1B%5B2J%1B%5D0%3BOWNED%07C%3A";
    {
        const std::string info =
            "{\"Hostname\":\"WKS\\r\\n\\\"Prefetch\\\",\\\"INJECTED.EXE\\\"\\r\\n"
            "=HYPERLINK(\\\"http://x\\\"),@SUM(1)\"}";
        sample::writeEvidenceFile(collection.path, "client_info.json",
                                  std::vector<std::uint8_t>(info.begin(), info.end()));
    }
    sample::writeEvidenceFile(collection.path, drive + "/Windows/System32/config/SYSTEM",
                              sample::writeHive(sample::systemHive(3, L"WKS")));
    sample::PrefetchImageSpec spec;
    spec.name = L"=CMD|' /C CALC'!A0";
    spec.runTimeSlots = {133500000000000000ULL};
    sample::writeEvidenceFile(collection.path, drive + "/Windows/Prefetch/CMD.EXE-1A2B3C4D.pf",
                              sample::buildPrefetchImage(spec));

    EXPECT_EQ(run({L"--evidence", collection.text(), destination()}), reportIncomplete);
    EXPECT_FALSE(holdsControlBeyondLineEnds(output)) << narrow(output);
    const std::string bytes = fileText(out.path / "host.csv");
    const std::wstring report =
        utf16leText(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    EXPECT_FALSE(holdsControlBeyondLineEnds(report));
    EXPECT_EQ(report.find(L"\r\n\"Prefetch\",\"INJECTED.EXE\""), std::wstring::npos);
    // Every cell, of the header and of the rows alike, is text.
    for (const wchar_t* start : {L"\r\n=", L",=", L",@", L",\"=", L",\"@", L",+", L",-"}) {
        EXPECT_EQ(report.find(start), std::wstring::npos) << narrow(start);
    }
    EXPECT_NE(report.find(L"# Host name recorded by the collection,WKS<U+000D><U+000A>"),
              std::wstring::npos);
    EXPECT_NE(report.find(L",'@SUM(1)"), std::wstring::npos);
    EXPECT_NE(report.find(L"<U+001B>[2J<U+001B>]0;OWNED<U+0007>C:"), std::wstring::npos);
    EXPECT_NE(report.find(L"\"'=CMD|' /C CALC'!A0\""), std::wstring::npos);

    // Refused, the same names are shown in the message, never obeyed.
    std::filesystem::remove_all(collection.path / drive / "Windows");
    sample::writeEvidenceFile(collection.path, drive + "/notes.txt", {'x'});
    EXPECT_EQ(run({L"--evidence", collection.text(), destination()}), reportUsageError);
    EXPECT_NE(errors.find(L"<U+001B>[2J"), std::wstring::npos) << narrow(errors);
    EXPECT_FALSE(holdsControlBeyondLineEnds(errors)) << narrow(errors);
}

} // namespace
} // namespace tidewell
