// The command line of chronoscope-record: a recording (link, channels, period, how long, trigger,
// cache, output) or a conversion of files, checked with the channel dialog's rules.
#pragma once

#include "acquisition/Trigger.h"
#include "acquisition/TriggerCapture.h"
#include "link/OscilloTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the exit code says.
enum EnumRecordExit {
    RECORD_OK = 0,
    RECORD_FAILED = 1,
    RECORD_BAD_ARGUMENTS = 2,
    RECORD_LINK_UNREACHABLE = 3,
    RECORD_LINK_LOST = 4, // the samples so far are written
    RECORD_NOT_WRITABLE = 5,
    RECORD_DAMAGED_INPUT = 6, // what was read is converted
};

struct tagLinkChoice {
    bool simulator = false;
    uint32_t interfaceType = INTERFACE_SERIAL;
    tagSerialInfo settings;
    std::string serialFolder; // the folder of an RTU device, which the link takes its devices from
    std::string text;         // as given, for messages
};

struct tagRecordArguments {
    bool help = false;

    tagLinkChoice link;
    std::vector<tagOscilloElem> channels;
    uint32_t periodMs = 20;
    std::optional<double> durationSeconds;
    std::optional<uint64_t> samples;
    std::optional<tagTriggerSettings> trigger;
    tagCaptureSettings capture; // pre-trigger history and repeat, with a trigger only
    std::string eventsDir;      // where repeat's event files go; beside the output when empty
    std::string spillDir;       // where the samples go when the output cannot be written
    uint32_t cache = 0;         // 0: no trimming
    bool reconnect = false;     // go on across outages of the link
    std::string out;

    std::vector<std::string> convert;
    std::string to; // "csv" or "data"
    std::string outDir;

    std::string recover; // a journal to write out

    std::string logFile; // the link's events and the files' failures, a line each
    bool verbose = false;

    bool Converting() const { return !convert.empty(); }
    bool Recovering() const { return !recover.empty(); }
};

// False with the reason when the command line cannot be used.
bool ParseRecordArguments(const std::vector<std::string>& args, tagRecordArguments& parsed,
                          std::string& error);
std::string RecordUsage();
