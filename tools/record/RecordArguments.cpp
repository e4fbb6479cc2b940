#include "RecordArguments.h"

#include "acquisition/ChannelModel.h"
#include "acquisition/ChannelText.h"
#include "acquisition/StringTexts.h"
#include "kit/Duration.h"
#include "kit/NumberText.h"
#include "kit/TextHelpers.h"
#include "link/SerialDevices.h"

#include <CLI/CLI.hpp>

#include <arpa/inet.h>
#include <netdb.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kLongestPeriodMs = 200;
// The window's smallest cache: a cut every 600 s at the fastest period, so that the files, named
// by the second, never take each other's place.
constexpr uint32_t kSmallestCache = 1'200'000;
constexpr uint32_t kLargestCache = 7'200'000;
constexpr uint32_t kModbusTcpPort = 502;

// A whole decimal number within [low, high].
bool ParseNumber(const std::string& text, uint64_t low, uint64_t high, uint64_t& value) {
    const auto number = g_ParseIntegerIn(text, static_cast<int64_t>(low), static_cast<int64_t>(high));
    value = number ? static_cast<uint64_t>(*number) : value;
    return number.has_value();
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos) {
            return parts;
        }
        start = at + 1;
    }
}

// An IPv4 address in network byte order (first octet in the lowest byte), by literal or by name.
bool ResolveIpv4(const std::string& host, uint32_t& address) {
    in_addr literal{};
    if (inet_pton(AF_INET, host.c_str(), &literal) == 1) {
        address = literal.s_addr;
        return true;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) {
        return false;
    }
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return true;
}

bool ParseSerialFormat(const std::string& text, tagSerialInfo& settings) {
    const std::string format = g_Upper(text);
    if (format.size() != 3 || (format[0] != '7' && format[0] != '8') ||
        std::string("NOE").find(format[1]) == std::string::npos || (format[2] != '1' && format[2] != '2')) {
        return false;
    }
    settings.dataBits = static_cast<uint32_t>(format[0] - '0');
    settings.parity = format[1] == 'N' ? 0 : format[1] == 'O' ? 1 : 2;
    settings.stopBits = static_cast<uint32_t>(format[2] - '0');
    return true;
}

std::string Message(int stringId) {
    const char* text = EnglishStringById(stringId);
    return text ? text : "";
}

const char* kConditions[] = {">=", "<=", ">", "=", "<"};
constexpr uint32_t kConditionCodes[] = {TRIGGER_GREATER_EQUAL, TRIGGER_LESS_EQUAL, TRIGGER_GREATER,
                                        TRIGGER_EQUAL, TRIGGER_LESS};

bool ParseLink(const std::string& text, tagLinkChoice& link, std::string& error) {
    link = tagLinkChoice();
    link.text = text;
    const size_t colon = text.find(':');
    const std::string scheme = text.substr(0, colon);
    const std::string rest = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    if (scheme == "sim" && rest.empty()) {
        link.simulator = true;
        return true;
    }
    if (scheme == "tcp" && !rest.empty()) {
        link.interfaceType = INTERFACE_ETHERNET;
        const size_t portColon = rest.rfind(':');
        const std::string host = rest.substr(0, portColon);
        uint64_t port = kModbusTcpPort;
        if (portColon != std::string::npos && !ParseNumber(rest.substr(portColon + 1), 1, 65535, port)) {
            error = "the TCP port of " + text + " is a number from 1 to 65535";
            return false;
        }
        if (!ResolveIpv4(host, link.settings.ipAddress)) {
            error = "cannot find the IPv4 address of " + host;
            return false;
        }
        link.settings.tcpPort = static_cast<uint32_t>(port);
        return true;
    }
    if (scheme == "rtu" && !rest.empty()) {
        link.interfaceType = INTERFACE_SERIAL;
        const std::vector<std::string> parts = Split(rest, ':');
        uint64_t baud = link.settings.baudRate;
        if (parts.size() > 3 || (parts.size() > 1 && !ParseNumber(parts[1], 50, 4'000'000, baud)) ||
            (parts.size() > 2 && !ParseSerialFormat(parts[2], link.settings))) {
            error = "a serial link is rtu:DEVICE[:BAUD[:FORMAT]], for example rtu:/dev/ttyUSB0:115200:8E1";
            return false;
        }
        link.settings.baudRate = static_cast<uint32_t>(baud);
        // The link reaches devices by their COM number in one folder: /dev, or the device's own.
        tagSerialDevicePlace place;
        if (!g_PlaceOfSerialDevice(parts[0], place, error)) {
            return false;
        }
        link.settings.comPort = place.comPort;
        link.serialFolder = place.folder;
        return true;
    }
    if (scheme == "usb" && !rest.empty()) {
        uint64_t index = 0;
        if (!ParseNumber(rest, 0, 255, index)) {
            error = "a USB link is usb:N with the adapter's number from 0";
            return false;
        }
        link.interfaceType = INTERFACE_USB;
        link.settings.usbPort = static_cast<uint32_t>(index);
        return true;
    }
    error = "unknown link " + text + " (sim, tcp:HOST[:PORT], rtu:DEVICE[:BAUD[:8E1]] or usb:N)";
    return false;
}

bool ParseTrigger(const std::string& text, const std::vector<tagOscilloElem>& channels,
                  tagTriggerSettings& trigger, std::string& error) {
    for (size_t c = 0; c < std::size(kConditions); ++c) {
        const size_t at = text.find(kConditions[c]);
        if (at == std::string::npos || at == 0) {
            continue;
        }
        tagOscilloElem watched;
        if (!g_ParseChannelText(text.substr(0, at), 0, watched, error)) {
            return false;
        }
        const auto same = std::find_if(channels.begin(), channels.end(), [&](const tagOscilloElem& ch) {
            return ch.name == watched.name && ch.paramCode == watched.paramCode;
        });
        if (same == channels.end()) {
            error = "the trigger watches " + text.substr(0, at) + ", which is not one of the channels";
            return false;
        }
        const std::string value = text.substr(at + std::string(kConditions[c]).size());
        const std::optional<double> number = g_ParseNumber(value);
        if (!number || !std::isfinite(*number) || value.find_first_of(" \t") != std::string::npos) {
            error = "the trigger value of " + text + " is not a number";
            return false;
        }
        trigger = {1, static_cast<uint32_t>(same - channels.begin()), kConditionCodes[c], *number};
        return true;
    }
    error = "a trigger is CHANNEL>VALUE with one of > = < >= <=, for example 'D0>=500'";
    return false;
}

// A duration of whole milliseconds within [low, high]; "0" is zero.
bool ParseMilliseconds(const std::string& text, uint32_t low, uint32_t high, uint32_t& ms) {
    const std::optional<double> seconds = text == "0" ? std::optional(0.0) : g_ParseDuration(text);
    if (!seconds) {
        return false;
    }
    const double value = std::round(*seconds * 1000.0);
    if (value < low || value > high) {
        return false;
    }
    ms = static_cast<uint32_t>(value);
    return true;
}

} // namespace

namespace {

// The options as given, checked once all are in.
struct tagGiven {
    std::string link, channels, trigger, period, duration, samples, preTrigger, postTrigger, cache;
};

// Reads the command line into parsed and given: flags, which options take a value, unknown ones.
bool ReadOptions(const std::vector<std::string>& args, tagRecordArguments& parsed, tagGiven& given,
                 CLI::App& app, std::string& error) {
    app.set_help_flag("-h,--help");
    app.allow_extras();
    app.add_option("--link", given.link);
    app.add_option("--channels", given.channels);
    app.add_option("--period", given.period);
    app.add_option("--duration", given.duration);
    app.add_option("--samples", given.samples);
    app.add_option("--trigger", given.trigger);
    app.add_option("--pre-trigger", given.preTrigger);
    app.add_option("--post-trigger", given.postTrigger);
    app.add_flag("--repeat", parsed.capture.repeat);
    app.add_option("--events-dir", parsed.eventsDir);
    app.add_option("--spill-dir", parsed.spillDir);
    app.add_option("--cache", given.cache);
    app.add_flag("--reconnect", parsed.reconnect);
    app.add_option("--out", parsed.out);
    app.add_option("--convert", parsed.convert);
    app.add_option("--to", parsed.to);
    app.add_option("--out-dir", parsed.outDir);
    app.add_option("--recover", parsed.recover);
    app.add_option("--log", parsed.logFile);
    app.add_flag("-v,--verbose", parsed.verbose);
    try {
        app.parse(std::vector<std::string>(args.rbegin(), args.rend())); // CLI11 takes them last first
    } catch (const CLI::CallForHelp&) {
        parsed.help = true;
        return true;
    } catch (const CLI::ParseError& e) {
        error = e.what();
        return false;
    }
    if (!app.remaining().empty()) {
        error = (app.remaining().front().rfind("-", 0) == 0 ? "unknown option " : "unexpected ") +
                app.remaining().front();
        return false;
    }
    return true;
}

// The numbers and times of a recording, each within its range.
bool CheckNumbers(const tagGiven& given, tagRecordArguments& parsed, std::string& error) {
    uint64_t number = 0;
    auto fail = [&](const char* why) {
        error = why;
        return false;
    };
    if (!given.period.empty()) {
        if (!ParseNumber(given.period, 1, kLongestPeriodMs, number)) {
            return fail("the period is a whole number of milliseconds from 1 to 200");
        }
        parsed.periodMs = static_cast<uint32_t>(number);
    }
    if (!given.duration.empty() && !(parsed.durationSeconds = g_ParseDuration(given.duration))) {
        return fail("a duration is a number with ms, s, m, h or d, for example 8h");
    }
    if (!given.samples.empty()) {
        if (!ParseNumber(given.samples, 1, UINT32_MAX, number)) {
            return fail("--samples wants a positive number");
        }
        parsed.samples = number;
    }
    if (!given.preTrigger.empty() &&
        !ParseMilliseconds(given.preTrigger, 0, kMaxPreTriggerMs, parsed.capture.preTriggerMs)) {
        return fail("the pre-trigger time is a duration from 0 to 60s, for example 200ms");
    }
    if (!given.postTrigger.empty() && !ParseMilliseconds(given.postTrigger, kMinPostTriggerMs,
                                                         kMaxPostTriggerMs, parsed.capture.postTriggerMs)) {
        return fail("the post-trigger time is a duration from 1ms to 600s, for example 300ms");
    }
    if (!given.cache.empty()) {
        if (!ParseNumber(given.cache, kSmallestCache, kLargestCache, number)) {
            return fail("the cache size is a number of points from 1200000 to 7200000");
        }
        parsed.cache = static_cast<uint32_t>(number);
    }
    return true;
}

// The link, the channels and the trigger of a recording, and what goes with what.
bool CheckRecording(const tagGiven& given, tagRecordArguments& parsed, std::string& error) {
    if (given.link.empty() || given.channels.empty() || parsed.out.empty()) {
        error = "a recording wants --link, --channels and --out";
        return false;
    }
    if (!ParseLink(given.link, parsed.link, error)) {
        return false;
    }
    const std::vector<std::string> names = Split(given.channels, ',');
    if (names.size() > static_cast<size_t>(kMaxChannels)) {
        error = Message(IDS_TOO_MANY_CHANNELS);
        return false;
    }
    for (size_t k = 0; k < names.size(); ++k) {
        tagOscilloElem channel;
        if (!g_ParseChannelText(names[k], k, channel, error)) {
            return false;
        }
        parsed.channels.push_back(channel);
    }
    if (!given.trigger.empty()) {
        tagTriggerSettings settings;
        if (!ParseTrigger(given.trigger, parsed.channels, settings, error)) {
            return false;
        }
        parsed.trigger = settings;
    }
    const bool captureGiven =
        !given.preTrigger.empty() || !given.postTrigger.empty() || parsed.capture.repeat;
    if (captureGiven && !parsed.trigger) {
        error = "--pre-trigger, --post-trigger and --repeat want a --trigger";
        return false;
    }
    if ((!given.postTrigger.empty() || !parsed.eventsDir.empty()) && !parsed.capture.repeat) {
        error = "--post-trigger and --events-dir go with --repeat";
        return false;
    }
    return true;
}

bool IsOutputFile(const std::string& path) {
    const std::string extension = fs::path(path).extension().string();
    return extension == ".data" || extension == ".csv" || extension == ".h5";
}

} // namespace

bool ParseRecordArguments(const std::vector<std::string>& args, tagRecordArguments& parsed,
                          std::string& error) {
    parsed = tagRecordArguments();
    tagGiven given;
    CLI::App app("chronoscope-record");
    if (!ReadOptions(args, parsed, given, app, error) || parsed.help) {
        return parsed.help;
    }
    if (app.count("--convert") && parsed.convert.empty()) {
        error = "--convert wants at least one file";
        return false;
    }
    if (!CheckNumbers(given, parsed, error)) {
        return false;
    }
    if (parsed.Converting()) {
        if (parsed.to != "csv" && parsed.to != "data" && parsed.to != "h5") {
            error = "--convert wants --to csv, --to data or --to h5";
            return false;
        }
        return true;
    }
    if (parsed.Recovering()) {
        if (!IsOutputFile(parsed.out)) {
            error = "--recover wants --out FILE.data, FILE.csv or FILE.h5";
            return false;
        }
        return true;
    }
    if (!CheckRecording(given, parsed, error)) {
        return false;
    }
    if (!IsOutputFile(parsed.out)) {
        error = "the output file ends in .data, .csv or .h5";
        return false;
    }
    return true;
}

std::string RecordUsage() {
    return R"(chronoscope-record: records a controller's elements without a window

Recording:
  chronoscope-record --link LINK --channels LIST --out FILE [options]

  --link LINK        sim                      the simulated controller
                     tcp:HOST[:PORT]          Modbus TCP (port 502 when left out)
                     rtu:DEVICE[:BAUD[:8E1]]  Modbus RTU on a serial device (19200 8N1 when left out)
                     usb:N                    the N-th USB serial adapter
  --channels LIST    up to six, separated by commas: ELEMENT[:TYPE] or AXISn.PARAMETER
                     (X17, M100, D200:DINT, D20:REAL, AXIS0.Input1-ActPosition, AXIS1.18)
  --period MS        sampling period, 1 to 200 ms (20)
  --duration TIME    how long: 1500ms, 90s, 30m, 8h, 2d
  --samples N        stop once N samples are recorded; the file holds exactly N (with --trigger
                     counted from the pre-trigger history on, with --repeat over all events)
                     (without either, until Ctrl+C, SIGTERM or SIGHUP)
  --trigger COND     record from the first sample that meets CHANNEL>VALUE, with > = < >= <=
  --pre-trigger TIME keep TIME (up to 60s) before the trigger sample as well
  --repeat           after each event re-arm once the condition is false again; each event
                     (pre-trigger, trigger sample, post-trigger) is saved as YYYYMMDD-hhmmss-mmm.data
  --post-trigger TIME how long an event runs on after its trigger (1ms to 600s, default 1s)
  --events-dir DIR   where the event files go (default: Events/ beside FILE)
  --cache N          keep at most N points (1200000 to 7200000) per channel in memory: the older half of a full
                     cache is saved beside FILE as YYYYMMDDhhmmss.data and dropped
  --reconnect        when the link stops answering, try again every second and go on in the same
                     file; the outages are listed at the end
  --out FILE         FILE.data (readable by Import Data), FILE.csv or FILE.h5 (HDF5, for analysis)
  --spill-dir DIR    where the samples go when FILE cannot be written (a full disk) after three
                     tries; without it the folder of $TMPDIR (/tmp), then the home folder. The
                     last line names every file that holds samples and the times each holds
  --log FILE         what happened on the link and to the files, a line each (-v: in more detail)

  Everything recorded is written when the time is up, on Ctrl+C, SIGTERM or SIGHUP, and when the
  link stops answering. A progress line goes to standard error when it is a terminal.
  While it records, every sample also goes into the journal FILE.journal (an SQLite database),
  committed twice a second; it goes when FILE is written. After a crash or a kill it is still
  there: --recover writes what it holds.

Recovery:
  chronoscope-record --recover JOURNAL --out FILE.data|FILE.csv|FILE.h5

  Writes the channels and samples of a journal (FILE.journal of a recording that did not end, or
  the window's Chrono*.journal) as a file.

Conversion:
  chronoscope-record --convert FILE... --to csv|data|h5 [--out-dir DIR]

  Each output goes beside its input (or into DIR) with the new extension. A damaged file is
  reported and what could be read of it is converted.

Exit codes: 0 done, 2 bad arguments, 3 link not reachable, 4 link lost (what was recorded is
written), 5 file not writable, 6 damaged input (what was read is converted or recovered),
1 anything else.

Examples:
  chronoscope-record --link sim --channels D0,D1,M0 --period 5 --duration 10s --out test.data
  chronoscope-record --link tcp:192.168.1.10:502 --channels D0,D10:DINT,D20:REAL,M3,AXIS0.Input1-ActPosition \
                     --period 5 --duration 8h --trigger 'D0>=500' --cache 1200000 --out run.data
  chronoscope-record --convert Chrono/*.data --to csv --out-dir csv/
)";
}
