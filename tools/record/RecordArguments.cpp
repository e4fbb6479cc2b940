#include "RecordArguments.h"

#include "acquisition/ChannelModel.h"
#include "acquisition/ChannelText.h"
#include "acquisition/StringTexts.h"
#include "kit/Duration.h"
#include "kit/NumberText.h"
#include "kit/TextHelpers.h"
#include "link/SerialDevices.h"

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
        // A link such as /dev/serial/by-id/... is followed to the device it names.
        std::error_code ec;
        fs::path device = fs::absolute(parts[0], ec);
        if (!fs::exists(device, ec)) {
            error = "no serial device " + parts[0];
            return false;
        }
        uint32_t com = g_ComPortOfDevice(device.filename().string());
        if (com == 0) {
            device = fs::canonical(device, ec);
            com = ec ? 0 : g_ComPortOfDevice(device.filename().string());
        }
        if (com == 0) {
            error = parts[0] + " is not a serial device the link knows (ttyS*, ttyUSB*, ttyACM*)";
            return false;
        }
        link.settings.comPort = com;
        link.serialFolder = device.parent_path().string();
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

bool ParseRecordArguments(const std::vector<std::string>& args, tagRecordArguments& parsed,
                          std::string& error) {
    parsed = tagRecordArguments();
    std::string link, channels, trigger;
    bool captureGiven = false, postGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h") {
            parsed.help = true;
            return true;
        }
        if (option == "--reconnect") {
            parsed.reconnect = true;
            continue;
        }
        if (option == "--repeat") {
            parsed.capture.repeat = true;
            captureGiven = true;
            continue;
        }
        if (option == "--convert") {
            while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
                parsed.convert.push_back(args[++i]);
            }
            if (parsed.convert.empty()) {
                error = "--convert wants at least one file";
                return false;
            }
            continue;
        }
        if (i + 1 >= args.size()) {
            error = option.rfind("--", 0) == 0 ? option + " wants a value" : "unexpected " + option;
            return false;
        }
        const std::string& value = args[++i];
        uint64_t number = 0;
        if (option == "--link") {
            link = value;
        } else if (option == "--channels") {
            channels = value;
        } else if (option == "--period") {
            if (!ParseNumber(value, 1, kLongestPeriodMs, number)) {
                error = "the period is a whole number of milliseconds from 1 to 200";
                return false;
            }
            parsed.periodMs = static_cast<uint32_t>(number);
        } else if (option == "--duration") {
            parsed.durationSeconds = g_ParseDuration(value);
            if (!parsed.durationSeconds) {
                error = "a duration is a number with ms, s, m, h or d, for example 8h";
                return false;
            }
        } else if (option == "--samples") {
            if (!ParseNumber(value, 1, UINT32_MAX, number)) {
                error = "--samples wants a positive number";
                return false;
            }
            parsed.samples = number;
        } else if (option == "--trigger") {
            trigger = value;
        } else if (option == "--pre-trigger") {
            if (!ParseMilliseconds(value, 0, kMaxPreTriggerMs, parsed.capture.preTriggerMs)) {
                error = "the pre-trigger time is a duration from 0 to 60s, for example 200ms";
                return false;
            }
            captureGiven = true;
        } else if (option == "--post-trigger") {
            if (!ParseMilliseconds(value, kMinPostTriggerMs, kMaxPostTriggerMs,
                                   parsed.capture.postTriggerMs)) {
                error = "the post-trigger time is a duration from 1ms to 600s, for example 300ms";
                return false;
            }
            captureGiven = postGiven = true;
        } else if (option == "--events-dir") {
            parsed.eventsDir = value;
        } else if (option == "--cache") {
            if (!ParseNumber(value, kSmallestCache, kLargestCache, number)) {
                error = "the cache size is a number of points from 1200000 to 7200000";
                return false;
            }
            parsed.cache = static_cast<uint32_t>(number);
        } else if (option == "--out") {
            parsed.out = value;
        } else if (option == "--to") {
            parsed.to = value;
        } else if (option == "--out-dir") {
            parsed.outDir = value;
        } else if (option == "--recover") {
            parsed.recover = value;
        } else {
            error = "unknown option " + option;
            return false;
        }
    }
    if (parsed.Converting()) {
        if (parsed.to != "csv" && parsed.to != "data") {
            error = "--convert wants --to csv or --to data";
            return false;
        }
        return true;
    }
    const std::string extension = fs::path(parsed.out).extension().string();
    if (parsed.Recovering()) {
        if (extension != ".data" && extension != ".csv") {
            error = "--recover wants --out FILE.data or FILE.csv";
            return false;
        }
        return true;
    }
    if (link.empty() || channels.empty() || parsed.out.empty()) {
        error = "a recording wants --link, --channels and --out";
        return false;
    }
    if (!ParseLink(link, parsed.link, error)) {
        return false;
    }
    const std::vector<std::string> names = Split(channels, ',');
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
    if (!trigger.empty()) {
        tagTriggerSettings settings;
        if (!ParseTrigger(trigger, parsed.channels, settings, error)) {
            return false;
        }
        parsed.trigger = settings;
    }
    if (captureGiven && !parsed.trigger) {
        error = "--pre-trigger, --post-trigger and --repeat want a --trigger";
        return false;
    }
    if ((postGiven || !parsed.eventsDir.empty()) && !parsed.capture.repeat) {
        error = "--post-trigger and --events-dir go with --repeat";
        return false;
    }
    if (extension != ".data" && extension != ".csv") {
        error = "the output file ends in .data or .csv";
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
  --samples N        stop once N samples are in
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
  --out FILE         FILE.data (readable by Import Data) or FILE.csv

  Everything recorded is written when the time is up, on Ctrl+C, SIGTERM or SIGHUP, and when the
  link stops answering. A progress line goes to standard error when it is a terminal.
  While it records, every sample also goes into the journal FILE.journal (an SQLite database),
  committed twice a second; it goes when FILE is written. After a crash or a kill it is still
  there: --recover writes what it holds.

Recovery:
  chronoscope-record --recover JOURNAL --out FILE.data|FILE.csv

  Writes the channels and samples of a journal (FILE.journal of a recording that did not end, or
  the window's Chrono*.journal) as a file.

Conversion:
  chronoscope-record --convert FILE... --to csv|data [--out-dir DIR]

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
