// seeds_event_xml: a Security 4688 of version 2 and a Sysmon 1 as the
// event-log API and libevtx render them, and a clear.
#include <string>

#include "fuzz/seed_writer.h"

namespace {

tidewell::fuzz::Bytes bytesOf(const std::string& text) {
    return tidewell::fuzz::Bytes(text.begin(), text.end());
}

} // namespace

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        seeds.write("security-4688",
                    bytesOf("<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'>"
                            "<System><Provider Name='Microsoft-Windows-Security-Auditing'/>"
                            "<EventID>4688</EventID><Version>2</Version>"
                            "<TimeCreated SystemTime='2021-11-03T08:34:27.9783762Z'/>"
                            "<EventRecordID>293884</EventRecordID><Computer>FS03</Computer>"
                            "<Security/></System><EventData>"
                            "<Data Name='SubjectUserSid'>S-1-5-18</Data>"
                            "<Data Name='SubjectUserName'>FS03$</Data>"
                            "<Data Name='SubjectDomainName'>OFFSEC</Data>"
                            "<Data Name='NewProcessId'>0xef4</Data>"
                            "<Data Name='NewProcessName'>C:\\Windows\\System32\\cmd.exe</Data>"
                            "<Data Name='TokenElevationType'>%%1936</Data>"
                            "<Data Name='ProcessId'>0x1e4</Data>"
                            "<Data Name='CommandLine'>cmd.exe /c &quot;x&quot;</Data>"
                            "<Data Name='TargetUserSid'>S-1-0-0</Data>"
                            "<Data Name='ParentProcessName'>C:\\Windows\\services.exe</Data>"
                            "<Data Name='MandatoryLabel'>S-1-16-16384</Data>"
                            "</EventData></Event>"));
        seeds.write("sysmon-1",
                    bytesOf("<?xml version=\"1.0\"?>\n<Event><System><EventID>1</EventID>"
                            "<Version>5</Version><TimeCreated SystemTime=\"2017-12-26T13:10:"
                            "29.136879200Z\"/><EventRecordID>1742</EventRecordID><Security "
                            "UserID=\"S-1-5-18\"/></System><EventData><Data Name=\"UtcTime\">"
                            "2017-12-26 13:10:29.134</Data><Data Name=\"Image\">C:\\x.exe</Data>"
                            "<Data Name=\"User\">NT AUTHORITY\\SYSTEM</Data><Data Name=\"Hashes\">"
                            "SHA1=CE8E487CB76704FE5FBB821A78A1E969EFBE71F9</Data><Data "
                            "Name=\"ParentImage\"><![CDATA[C:\\p.exe]]></Data></EventData>"
                            "</Event>"));
        seeds.write("clear", bytesOf("<Event><System><EventID>1102</EventID><TimeCreated "
                                     "SystemTime='2021-11-04T00:00:00Z'/></System></Event>"));
    });
}
