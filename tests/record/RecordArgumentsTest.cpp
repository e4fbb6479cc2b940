#include "RecordArguments.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include <fstream>

namespace {

bool Parse(const std::vector<std::string>& args, tagRecordArguments& parsed, std::string& error) {
    return ParseRecordArguments(args, parsed, error);
}

// A recording's arguments with this link; its choice in link.
bool ParseLink(const std::string& text, tagLinkChoice& link, std::string& error) {
    tagRecordArguments parsed;
    const bool ok = Parse({"--link", text, "--channels", "D0,AXIS0.17,M3", "--out", "a.data"}, parsed, error);
    link = parsed.link;
    return ok;
}

// A recording's arguments with this trigger on D0, AXIS0.17 and M3.
bool ParseTrigger(const std::string& text, tagTriggerSettings& trigger, std::string& error) {
    tagRecordArguments parsed;
    const bool ok =
        Parse({"--link", "sim", "--channels", "D0,AXIS0.17,M3", "--out", "a.data", "--trigger", text}, parsed,
              error);
    trigger = parsed.trigger.value_or(tagTriggerSettings{});
    return ok;
}

} // namespace

TEST(RecordLinks, EveryKindWithItsDefaults) {
    tagLinkChoice link;
    std::string error;
    ASSERT_TRUE(ParseLink("sim", link, error));
    EXPECT_TRUE(link.simulator);
    ASSERT_TRUE(ParseLink("tcp:192.168.1.10", link, error));
    EXPECT_EQ(link.interfaceType, static_cast<uint32_t>(INTERFACE_ETHERNET));
    EXPECT_EQ(link.settings.ipAddress, 0x0A01A8C0u);
    EXPECT_EQ(link.settings.tcpPort, 502u);
    ASSERT_TRUE(ParseLink("tcp:localhost:1502", link, error)) << error;
    EXPECT_EQ(link.settings.ipAddress, 0x0100007Fu);
    EXPECT_EQ(link.settings.tcpPort, 1502u);
    EXPECT_FALSE(ParseLink("tcp:10.0.0.1:70000", link, error));
    ASSERT_TRUE(ParseLink("usb:1", link, error));
    EXPECT_EQ(link.settings.usbPort, 1u);

    // A serial device in any folder: the link is pointed at the folder, the name gives COM.
    CTempFolder folder;
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(grantpt(terminal) | unlockpt(terminal), 0);
    const std::string pts = ptsname(terminal);
    std::filesystem::create_symlink(pts, folder.File("ttyUSB3"));
    std::filesystem::create_symlink(pts, folder.File("serial-link"));
    ASSERT_TRUE(ParseLink("rtu:" + folder.File("ttyUSB3") + ":115200:8e1", link, error)) << error;
    EXPECT_EQ(link.settings.comPort, 103u);
    EXPECT_EQ(link.settings.baudRate, 115200u);
    EXPECT_EQ(link.settings.parity, 2u);
    EXPECT_EQ(link.serialFolder, folder.Path());
    EXPECT_FALSE(ParseLink("rtu:" + folder.File("ttyUSB9"), link, error));
    EXPECT_EQ(error, "no serial device " + folder.File("ttyUSB9"));
    // A link of another name leads to the pseudo-terminal itself: pts/N, in the folder above.
    ASSERT_TRUE(ParseLink("rtu:" + folder.File("serial-link"), link, error)) << error;
    EXPECT_EQ(link.settings.comPort, 2000u + std::stoul(pts.substr(pts.rfind('/') + 1)));
    EXPECT_EQ(link.serialFolder, "/dev");
    std::ofstream(folder.File("ttyUSB4"));
    EXPECT_FALSE(ParseLink("rtu:" + folder.File("ttyUSB4"), link, error));
    EXPECT_EQ(error, folder.File("ttyUSB4") + " is not a terminal (tty) device");
    close(terminal);
    EXPECT_FALSE(ParseLink("rtu:" + folder.File("ttyUSB3") + ":9600:8X1", link, error));
    EXPECT_FALSE(ParseLink("udp:1.2.3.4", link, error));
}

TEST(RecordTimesAndTriggers, ConditionsOnTheRecordedChannels) {
    tagTriggerSettings trigger;
    std::string error;
    ASSERT_TRUE(ParseTrigger("D0>=500", trigger, error)) << error;
    EXPECT_EQ(trigger, (tagTriggerSettings{1, 0, TRIGGER_GREATER_EQUAL, 500.0}));
    ASSERT_TRUE(ParseTrigger("AXIS0.Input1-ActPosition<-2.5", trigger, error)) << error;
    EXPECT_EQ(trigger, (tagTriggerSettings{1, 1, TRIGGER_LESS, -2.5}));
    ASSERT_TRUE(ParseTrigger("M3=1", trigger, error));
    EXPECT_EQ(trigger.condition, static_cast<uint32_t>(TRIGGER_EQUAL));
    EXPECT_FALSE(ParseTrigger("D1>5", trigger, error));
    EXPECT_EQ(error, "the trigger watches D1, which is not one of the channels");
    EXPECT_FALSE(ParseTrigger("D0>=lots", trigger, error));
    EXPECT_FALSE(ParseTrigger("D0", trigger, error));

    tagRecordArguments parsed;
    ASSERT_TRUE(Parse({"--link", "sim", "--channels", "D0", "--out", "a.data", "--duration", "1500ms"},
                      parsed, error));
    EXPECT_DOUBLE_EQ(parsed.durationSeconds.value_or(0), 1.5);
    EXPECT_FALSE(Parse({"--link", "sim", "--channels", "D0", "--out", "a.data", "--duration", "3 weeks"},
                       parsed, error));
    EXPECT_FALSE(Parse({"--link", "sim", "--channels", "D8000", "--out", "a.data"}, parsed, error));
    EXPECT_EQ(error, "D8000: Out of element address range, please re-enter");
}

TEST(RecordTimesAndTriggers, HistoryAndRepeatGoWithATrigger) {
    const std::vector<std::string> base{"--link", "sim",    "--channels", "D1",
                                        "--out",  "a.data", "--trigger",  "D1>=900"};
    auto parse = [&](std::vector<std::string> more, tagRecordArguments& parsed, std::string& error) {
        std::vector<std::string> args = base;
        args.insert(args.end(), more.begin(), more.end());
        return Parse(args, parsed, error);
    };
    tagRecordArguments parsed;
    std::string error;
    ASSERT_TRUE(parse({"--pre-trigger", "100ms", "--repeat", "--post-trigger", "0.3s", "--events-dir", "ev"},
                      parsed, error))
        << error;
    EXPECT_EQ(parsed.capture, (tagCaptureSettings{100, true, 300}));
    EXPECT_EQ(parsed.eventsDir, "ev");
    ASSERT_TRUE(parse({"--pre-trigger", "0"}, parsed, error)) << error;
    EXPECT_EQ(parsed.capture, tagCaptureSettings{});
    ASSERT_TRUE(parse({"--pre-trigger", "60s", "--repeat", "--post-trigger", "10m"}, parsed, error)) << error;
    EXPECT_EQ(parsed.capture, (tagCaptureSettings{60000, true, 600000}));

    EXPECT_FALSE(parse({"--pre-trigger", "61s"}, parsed, error));
    EXPECT_EQ(error, "the pre-trigger time is a duration from 0 to 60s, for example 200ms");
    EXPECT_FALSE(parse({"--repeat", "--post-trigger", "601s"}, parsed, error));
    EXPECT_FALSE(parse({"--post-trigger", "1s"}, parsed, error)); // without --repeat
    EXPECT_EQ(error, "--post-trigger and --events-dir go with --repeat");
    EXPECT_FALSE(Parse({"--link", "sim", "--channels", "D1", "--out", "a.data", "--repeat"}, parsed, error));
    EXPECT_EQ(error, "--pre-trigger, --post-trigger and --repeat want a --trigger");
}

TEST(RecordCommandLine, WhatARecordingAndAConversionNeed) {
    tagRecordArguments parsed;
    std::string error;
    ASSERT_TRUE(Parse({"--link", "sim", "--channels", "D0,D10:DINT", "--period", "5", "--samples", "100",
                       "--trigger", "D0>0", "--cache", "1200000", "--out", "run.csv"},
                      parsed, error))
        << error;
    EXPECT_EQ(parsed.channels.size(), 2u);
    EXPECT_EQ(parsed.periodMs, 5u);
    EXPECT_EQ(parsed.samples, 100u);
    EXPECT_EQ(parsed.cache, 1'200'000u);
    EXPECT_TRUE(parsed.trigger.has_value());

    EXPECT_FALSE(
        Parse({"--link", "sim", "--channels", "D0,D1,D2,D3,D4,D5,D6", "--out", "a.data"}, parsed, error));
    EXPECT_EQ(error, "Select up to 6 channels, the maximum number has been reached");
    EXPECT_FALSE(Parse({"--link", "sim", "--channels", "D0", "--out", "a.txt"}, parsed, error));
    EXPECT_FALSE(
        Parse({"--link", "sim", "--channels", "D0", "--out", "a.data", "--period", "201"}, parsed, error));
    EXPECT_FALSE(Parse({"--link", "sim", "--channels", "D0"}, parsed, error));
    EXPECT_FALSE(
        Parse({"--link", "sim", "--channels", "D0", "--out", "a.data", "--cache", "1000"}, parsed, error));
    EXPECT_FALSE(
        Parse({"--link", "sim", "--channels", "D0", "--out", "a.data", "--speed", "2"}, parsed, error));
    EXPECT_EQ(error, "unknown option --speed");

    ASSERT_TRUE(Parse({"--convert", "a.data", "b.data", "--to", "csv", "--out-dir", "x"}, parsed, error));
    EXPECT_EQ(parsed.convert, (std::vector<std::string>{"a.data", "b.data"}));
    EXPECT_FALSE(Parse({"--convert", "a.data", "--to", "xls"}, parsed, error));
    ASSERT_TRUE(Parse({"--help"}, parsed, error));
    EXPECT_TRUE(parsed.help);
}
