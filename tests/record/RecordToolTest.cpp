// chronoscope-record as a user runs it: against the simulated controller, against
// chronoscope-plcsim over TCP, stopped by a signal or by a lost link, and converting files that
// the window wrote.
#include "TempFolder.h"
#include "acquisition/MonitorState.h"
#include "acquisition/StringIds.h"
#include "files/CsvFile.h"
#include "files/DataFile.h"
#include "files/RecordingJournal.h"
#include "link/Communicater.h"
#include "session/MonitorSession.h"
#include "sim/SimulatedMachine.h"
#include "support/ChildProcess.h"
#include "support/HeadlessTraces.h"
#include "support/LinkTestHelpers.h"
#include "support/PlcsimProcess.h"
#include "support/PseudoTerminalPair.h"
#include "support/TestSessionView.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

using namespace std::chrono_literals;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A recording file read back as the window reads it.
struct tagLoaded {
    explicit tagLoaded(const std::string& path) : result(ReadDataFile(path, state, *traces)) {}
    uint32_t Points(size_t k) { return traces->Trace(k).GetPointCount(); }
    tagHeadlessTraces traces;
    tagMonitorState state;
    EnumDataFileRead result;
};

class RecordToolTest : public ::testing::Test {
protected:
    // Runs the recorder to its end; its exit code.
    int Record(const std::vector<std::string>& arguments) {
        CChildProcess recorder(CHRONOSCOPE_RECORD, arguments, m_errors);
        return recorder.Wait();
    }
    std::string Errors() const { return Slurp(m_errors); }
    std::string File(const std::string& name) const { return m_folder.File(name); }

    CTempFolder m_folder;
    std::string m_errors = m_folder.File("errors.txt");
};

} // namespace

TEST_F(RecordToolTest, TwoSecondsOfTheSimulatorMakeAFileTheWindowReads) {
    ASSERT_EQ(Record({"--link", "sim", "--channels", "D0,D10:DINT,D20:REAL,M3,AXIS0.Input1-ActPosition",
                      "--period", "5", "--duration", "2s", "--out", File("run.data")}),
              0)
        << Errors();
    tagLoaded file(File("run.data"));
    ASSERT_EQ(file.result, EnumDataFileRead::Read);
    ASSERT_EQ(file.state.channels.size(), 5u);
    EXPECT_EQ(file.state.channels[1], (tagOscilloElem{"D10", 0, GCM_DINT, file.state.channels[1].colour}));
    EXPECT_EQ(file.state.channels[4].paramCode, 17);
    EXPECT_EQ(file.state.period, 5u);
    EXPECT_NEAR(file.Points(0), 400.0, 40.0);
    EXPECT_EQ(file.Points(4), file.Points(0));
    // D10 counts the controller's milliseconds: 5 ms apart, as the period says.
    const CTrace& ms = file.traces->Trace(1);
    EXPECT_EQ(ms.GetYValue(ms.GetPointCount() - 1) - ms.GetYValue(0), 5.0 * (ms.GetPointCount() - 1));
    EXPECT_NE(Errors().find("samples of 5 channels written to " + File("run.data")), std::string::npos);
}

TEST_F(RecordToolTest, CsvOutputHasTheHeaderOfExportData) {
    ASSERT_EQ(
        Record({"--link", "sim", "--channels", "D1,AXIS2.18", "--samples", "20", "--out", File("run.csv")}),
        0)
        << Errors();
    std::ifstream in(File("run.csv"));
    std::string header;
    std::getline(in, header);
    header.pop_back(); // rows end in CR LF
    const std::string expected = "\xEF\xBB\xBFTime(ms)," + CsvChannelHeading({"D1", 0, GCM_INT, 0}) +
                                 ",Time(ms)," + CsvChannelHeading({"AXIS2", 18, GCM_DINT, 0});
    EXPECT_EQ(header, expected);
    int rows = 0;
    for (std::string row; std::getline(in, row);) {
        ++rows;
    }
    EXPECT_GE(rows, 20);
}

TEST_F(RecordToolTest, BadArgumentsAndAMissingControllerWriteNoFile) {
    EXPECT_EQ(Record({"--link", "sim", "--channels", "D9000", "--duration", "1s", "--out", File("a.data")}),
              2);
    EXPECT_NE(Errors().find("D9000: Out of element address range"), std::string::npos) << Errors();
    EXPECT_EQ(Record({"--link", "rtu:/dev/nonexistent-serial", "--channels", "D0", "--out", File("a.data")}),
              2);
    EXPECT_NE(Errors().find("no serial device /dev/nonexistent-serial"), std::string::npos) << Errors();
    // Nothing listens on port 1.
    EXPECT_EQ(Record({"--link", "tcp:127.0.0.1:1", "--channels", "D0", "--duration", "1s", "--out",
                      File("a.data")}),
              3);
    EXPECT_NE(Errors().find("the controller does not answer over tcp:127.0.0.1:1"), std::string::npos)
        << Errors();
    EXPECT_EQ(Record({"--link", "sim", "--channels", "D0", "--out", File("no/such/folder/a.data")}), 5);
    EXPECT_FALSE(fs::exists(File("a.data")));
    EXPECT_EQ(Record({"--help"}), 0);
}

TEST_F(RecordToolTest, SigtermWritesWhatWasRecorded) {
    CChildProcess recorder(
        CHRONOSCOPE_RECORD,
        {"--link", "sim", "--channels", "D1", "--period", "10", "--out", File("stopped.data")}, m_errors);
    std::this_thread::sleep_for(1s);
    recorder.Signal(SIGTERM);
    ASSERT_EQ(recorder.Wait(), 0) << Errors();
    tagLoaded file(File("stopped.data"));
    ASSERT_EQ(file.result, EnumDataFileRead::Read);
    // What a second held, however slowly a busy machine started the recorder: every tick of it.
    ASSERT_GE(file.Points(0), 10u);
    ASSERT_LE(file.Points(0), 110u);
    for (uint32_t i = 1; i < file.Points(0); ++i) {
        ASSERT_EQ(file.traces->Trace(0).GetXValue(i), file.traces->Trace(0).GetXValue(i - 1) + 10.0) << i;
    }
}

TEST_F(RecordToolTest, OverTcpFromThePlcSimulatorAndALostLinkKeepsTheSamples) {
    auto plc =
        std::make_unique<CChildProcess>(CHRONOSCOPE_PLCSIM, std::vector<std::string>{"--tcp", "127.0.0.1:0"});
    const std::string banner = plc->FirstLine();
    const size_t at = banner.find("(port ");
    ASSERT_NE(at, std::string::npos) << banner;
    const std::string link = "tcp:127.0.0.1:" + std::to_string(std::atoi(banner.c_str() + at + 6));
    CChildProcess recorder(
        CHRONOSCOPE_RECORD,
        {"--link", link, "--channels", "D10:DINT,D1", "--period", "10", "--out", File("tcp.data")}, m_errors);
    std::this_thread::sleep_for(1500ms);
    plc.reset(); // the controller goes away mid-run
    ASSERT_EQ(recorder.Wait(), 4) << Errors();
    EXPECT_NE(Errors().find("the link stopped answering"), std::string::npos) << Errors();
    tagLoaded file(File("tcp.data"));
    ASSERT_EQ(file.result, EnumDataFileRead::Read);
    ASSERT_GT(file.Points(0), 50u);
    // The simulator's values: D1 is its ramp at the millisecond D10 gives (one request reads both).
    for (uint32_t i = 0; i < file.Points(0); ++i) {
        const double ms = file.traces->Trace(0).GetYValue(i);
        ASSERT_EQ(file.traces->Trace(1).GetYValue(i), CSimulatedMachine::Ramp(ms)) << i;
    }
}

TEST_F(RecordToolTest, ReconnectGoesOnAcrossTwoOutagesInOneFile) {
    CPlcsimProcess plc(CHRONOSCOPE_PLCSIM, {"--tcp", "127.0.0.1:0", "--freeze-ms", "3000"});
    ASSERT_GT(plc.Port(), 0) << plc.Banner();
    CChildProcess recorder(CHRONOSCOPE_RECORD,
                           {"--link", "tcp:127.0.0.1:" + std::to_string(plc.Port()), "--channels", "D10:DINT",
                            "--period", "10", "--reconnect", "--duration", "13s", "--out",
                            File("outages.data"), "--log", File("outages.log")},
                           m_errors);
    std::this_thread::sleep_for(2s);
    plc.Signal(SIGUSR2); // frozen for three seconds: longer than the link waits
    std::this_thread::sleep_for(5s);
    plc.Signal(SIGUSR2);
    ASSERT_EQ(recorder.Wait(), 0) << Errors();
    EXPECT_NE(Errors().find("2 outages: "), std::string::npos) << Errors();
    // The controller's milliseconds before, between and after the outages, in one file: two gaps
    // of seconds (a new recording's trace first holds the old value at its start).
    tagLoaded file(File("outages.data"));
    ASSERT_EQ(file.result, EnumDataFileRead::Read);
    std::vector<double> gaps;
    const CTrace& ms = file.traces->Trace(0);
    for (uint32_t i = 1; i < ms.GetPointCount(); ++i) {
        const double step = ms.GetYValue(i) - ms.GetYValue(i - 1);
        if (step > 1000) {
            gaps.push_back(step);
        }
        // Never back in time; two polls of a starved sampler may fall in one millisecond.
        ASSERT_GE(step, 0) << i;
    }
    ASSERT_EQ(gaps.size(), 2u);
    for (double gap : gaps) {
        EXPECT_GE(gap, 2000.0);
    }
    // Of 1 300 ticks in 13 s, two outages of three seconds or more and their reconnections
    // (each a second apart) take up to ten seconds on a busy machine.
    EXPECT_GT(ms.GetPointCount(), 250u);
    // The log tells each outage and each reconnection.
    const std::string log = Slurp(File("outages.log"));
    size_t reconnected = 0;
    for (size_t at = 0; (at = log.find("reconnected after", at)) != std::string::npos; ++at) {
        ++reconnected;
    }
    EXPECT_EQ(reconnected, 2u) << log;
}

TEST_F(RecordToolTest, ARecorderHeldBackLosesExactlyTheTicksTheControllersRingCouldNotHold) {
    CPlcsimProcess plc(CHRONOSCOPE_PLCSIM, {"--tcp", "127.0.0.1:0"});
    ASSERT_GT(plc.Port(), 0) << plc.Banner();
    // Six 32-bit channels: records of 14 registers, 1170 of them in the simulator's ring, 1.17 s
    // at 1 ms. The recorder is held for more than twice that.
    CChildProcess recorder(CHRONOSCOPE_RECORD,
                           {"--link", "tcp:127.0.0.1:" + std::to_string(plc.Port()), "--channels",
                            "D10:DINT,D20:REAL,C200:DINT,D30:DINT,D32:DINT,D34:DINT", "--period", "1",
                            "--duration", "6s", "--out", File("held.data")},
                           m_errors);
    std::this_thread::sleep_for(1500ms);
    recorder.Signal(SIGSTOP);
    std::this_thread::sleep_for(2500ms);
    recorder.Signal(SIGCONT);
    ASSERT_EQ(recorder.Wait(), 0) << Errors();
    tagLoaded file(File("held.data"));
    ASSERT_EQ(file.result, EnumDataFileRead::Read);
    const CTrace& ms = file.traces->Trace(0);
    const uint32_t n = ms.GetPointCount();
    ASSERT_GT(n, 1000u);
    // Each sample at its own tick, time never back, and one gap: what the ring could not hold.
    std::vector<double> gaps;
    for (uint32_t i = 0; i < n; ++i) {
        ASSERT_EQ(ms.GetYValue(i) - ms.GetYValue(0), ms.GetXValue(i) - ms.GetXValue(0)) << i;
        if (i > 0 && ms.GetXValue(i) != ms.GetXValue(i - 1) + 1) {
            ASSERT_GT(ms.GetXValue(i), ms.GetXValue(i - 1)) << i;
            gaps.push_back(ms.GetXValue(i) - ms.GetXValue(i - 1) - 1);
        }
    }
    ASSERT_EQ(gaps.size(), 1u);
    EXPECT_GT(gaps[0], 1000.0); // 2.5 s held, less the ring's 1.17 s and what was read before
    const auto missed = static_cast<uint64_t>(ms.GetXValue(n - 1) - ms.GetXValue(0) + 1) - n;
    EXPECT_EQ(missed, static_cast<uint64_t>(gaps[0]));
    EXPECT_NE(Errors().find("; " + std::to_string(missed) + " ticks missed; Sampled in the controller"),
              std::string::npos)
        << Errors();
    EXPECT_NE(Errors().find("ring overruns: 1;"), std::string::npos) << Errors();
}

// Any terminal is a serial device: the pseudo-terminal by its own /dev/pts path, and through a
// link named as a Raspberry Pi's UART. --samples N writes exactly N samples on every link.
TEST_F(RecordToolTest, ExactlyTheSamplesAskedForOverEveryLinkAndAnyTerminal) {
    CPseudoTerminalPair cable(m_folder.Path(), "ttyAMA0", "plc");
    ASSERT_TRUE(cable.Ready()) << "socat did not make the pseudo-terminal pair";
    CChildProcess serialPlc(CHRONOSCOPE_PLCSIM,
                            {"--rtu", cable.Second(), "--baud", "115200", "--format", "8E1"});
    ASSERT_NE(serialPlc.FirstLine().find("Modbus RTU"), std::string::npos);
    CPlcsimProcess tcpPlc(CHRONOSCOPE_PLCSIM, {"--tcp", "127.0.0.1:0"});
    const std::string pts = fs::canonical(cable.First()).string();
    ASSERT_EQ(pts.rfind("/dev/pts/", 0), 0u) << pts;
    const std::string links[] = {"sim", "tcp:127.0.0.1:" + std::to_string(tcpPlc.Port()),
                                 "rtu:" + pts + ":115200:8E1", "rtu:" + cable.First() + ":115200:8E1"};
    for (const std::string& link : links) {
        for (uint32_t n : {3u, 1000u}) {
            const std::string out = File("exact.data");
            ASSERT_EQ(Record({"--link", link, "--channels", "D10:DINT,D1", "--period", "2", "--samples",
                              std::to_string(n), "--out", out}),
                      0)
                << link << ": " << Errors();
            tagLoaded file(out);
            ASSERT_EQ(file.Points(0), n) << link;
            ASSERT_EQ(file.Points(1), n) << link;
            for (uint32_t i = 0; i < n; ++i) { // the controller's values at the times they are filed
                const double ms = file.traces->Trace(0).GetYValue(i);
                ASSERT_EQ(file.traces->Trace(1).GetYValue(i), CSimulatedMachine::Ramp(ms))
                    << link << " " << i;
            }
        }
    }
    // With a trigger and repeat, N counts the samples of the events: history and trigger sample.
    ASSERT_EQ(Record({"--link", "sim", "--channels", "D1", "--period", "1", "--trigger", "D1>=500",
                      "--pre-trigger", "10ms", "--repeat", "--samples", "7", "--out", File("trig.data")}),
              0)
        << Errors();
    tagLoaded triggered(File("trig.data"));
    ASSERT_EQ(triggered.Points(0), 7u);
    EXPECT_GE(triggered.traces->Trace(0).GetYValue(6), 0.0);
    // A path that is no terminal is refused, saying so.
    { std::ofstream(File("notatty")) << "x"; }
    EXPECT_EQ(Record({"--link", "rtu:" + File("notatty"), "--channels", "D0", "--out", File("n.data")}), 2);
    EXPECT_NE(Errors().find("is not a terminal"), std::string::npos) << Errors();
}

// A full disk under the output and its journal: the samples in memory go to the spill folder,
// the last line names the file that holds them, and the exit code says the output was not written.
TEST_F(RecordToolTest, AFullDiskLosesNoSampleAndTheLastLineSaysWhereTheyAre) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "a small filesystem (tmpfs) can be mounted only by root";
    }
    const std::string small = File("small");
    fs::create_directories(small);
    if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=1m") != 0) {
        GTEST_SKIP() << "tmpfs cannot be mounted here: " << std::strerror(errno);
    }
    struct tagUnmount {
        std::string path;
        ~tagUnmount() { umount2(path.c_str(), MNT_DETACH); }
    } unmount{small};
    setenv("CHRONOSCOPE_SIM_SPEED", "10", 1);
    const int code =
        Record({"--link", "sim", "--channels", "D10:DINT,D1,D2,D3,D4,D5", "--period", "1", "--samples",
                "20000", "--out", small + "/out.data", "--spill-dir", File("spill")});
    unsetenv("CHRONOSCOPE_SIM_SPEED");
    EXPECT_EQ(code, 5) << Errors();
    const std::string spilled = File("spill") + "/out.data";
    EXPECT_NE(Errors().find("the samples are in " + spilled + " (20000 samples"), std::string::npos)
        << Errors();
    tagLoaded file(spilled);
    ASSERT_EQ(file.Points(0), 20000u);
    for (uint32_t i = 1; i < file.Points(0); ++i) { // every tick once, none missing
        ASSERT_EQ(file.traces->Trace(0).GetYValue(i), file.traces->Trace(0).GetYValue(i - 1) + 1.0) << i;
    }
}

TEST_F(RecordToolTest, ACacheCutsFilesBesideTheOutputAndLosesNoSample) {
    // 1.9 million samples at 1 ms on a controller clock 400 times faster: two cuts of 600 000.
    setenv("CHRONOSCOPE_SIM_SPEED", "400", 1);
    const int code = Record({"--link", "sim", "--channels", "D10:DINT,D1", "--period", "1", "--cache",
                             "1200000", "--samples", "1900000", "--out", File("long.data")});
    unsetenv("CHRONOSCOPE_SIM_SPEED");
    ASSERT_EQ(code, 0) << Errors();
    std::vector<double> ticks;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(m_folder.Path())) {
        if (entry.path().extension() == ".data") {
            ++files;
            tagLoaded file(entry.path().string());
            ASSERT_EQ(file.result, EnumDataFileRead::Read);
            ASSERT_EQ(file.Points(1), file.Points(0)); // every trace cut at the same sample
            for (uint32_t i = 0; i < file.Points(0); ++i) {
                ticks.push_back(file.traces->Trace(0).GetXValue(i));
                // D1 is the machine's ramp at the controller's millisecond in D10.
                const double ms = file.traces->Trace(0).GetYValue(i), d1 = file.traces->Trace(1).GetYValue(i);
                ASSERT_TRUE(d1 == CSimulatedMachine::Ramp(ms) || d1 == CSimulatedMachine::Ramp(ms + 1)) << i;
            }
        }
    }
    EXPECT_EQ(files, 3);
    EXPECT_NE(Errors().find("in 2 files in " + m_folder.Path() + "/"), std::string::npos) << Errors();
    // Together every millisecond from the first on, once.
    std::sort(ticks.begin(), ticks.end());
    ASSERT_GE(ticks.size(), 1'900'000u);
    for (size_t i = 1; i < ticks.size(); ++i) {
        ASSERT_EQ(ticks[i], ticks[i - 1] + 1.0) << i;
    }
}

TEST_F(RecordToolTest, RepeatSavesAnEventForEveryRampCycleOfASimulatedHour) {
    // An hour of the controller's time in nine seconds: D1 reaches 900 every ten seconds.
    setenv("CHRONOSCOPE_SIM_SPEED", "400", 1);
    const int code = Record({"--link", "sim", "--channels", "D1,D10:DINT", "--period", "10", "--trigger",
                             "D1>=900", "--pre-trigger", "100ms", "--repeat", "--post-trigger", "300ms",
                             "--duration", "9s", "--out", File("hour.data"), "--events-dir", File("events")});
    unsetenv("CHRONOSCOPE_SIM_SPEED");
    ASSERT_EQ(code, 0) << Errors();
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(File("events"))) {
        files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 300u);
    EXPECT_LE(files.size(), 360u);
    EXPECT_NE(Errors().find(std::to_string(files.size()) + " events saved in " + File("events")),
              std::string::npos)
        << Errors();
    // What each file holds is the session's rule (its own tests); here, one file a cycle from the
    // first on, and the output holding the latest event, also when the end cut it short.
    const auto triggerOf = [](const std::string& path) {
        tagLoaded file(path);
        EXPECT_EQ(file.result, EnumDataFileRead::Read) << path;
        return file.Points(1) > 10 ? file.traces->Trace(1).GetYValue(10) : -1.0;
    };
    const double first = triggerOf(files.front());
    const double previous = triggerOf(files.back());
    EXPECT_GE(std::fmod(first, 10000.0), 9000.0) << first;
    EXPECT_EQ(previous - first, 10000.0 * static_cast<double>(files.size() - 1));
    tagLoaded out(File("hour.data"));
    ASSERT_EQ(out.result, EnumDataFileRead::Read);
    const CTrace& ms = out.traces->Trace(1);
    ASSERT_GT(ms.GetPointCount(), 10u);
    EXPECT_EQ(ms.GetYValue(10), previous);
}

// The window's own recording, saved as a data file and exported as CSV.
class ConversionTest : public RecordToolTest {
protected:
    void SetUp() override {
        CSimulatedLink link;
        CTestSessionView view;
        CMonitorSession session(view);
        view.session = &session;
        session.Link().Apply();
        session.Channels().Add(Channel("D0", GCM_INT));
        session.Channels().Add(Channel("D20", GCM_REAL));
        session.Channels().Add(Channel("M1", GCM_BOOL));
        session.Fields().OnPeriodChanged("2");
        session.OnRun();
        view.Pump(400ms);
        session.OnRun();
        view.PumpMessages();
        ASSERT_TRUE(session.Files().SaveDataFile(File("window.data"), nullptr).ok);
        fs::create_directories(File("exported"));
        view.savePath = File("exported/window.csv");
        session.OnExportData();
        ASSERT_EQ(view.messages.back(), IDS_EXPORT_OK);
    }
};

TEST_F(ConversionTest, ADataFileConvertsToTheCsvExportDataWrites) {
    ASSERT_EQ(Record({"--convert", File("window.data"), "--to", "csv", "--out-dir", File("converted")}), 0)
        << Errors();
    const std::string expected = Slurp(File("exported/window.csv"));
    ASSERT_GT(expected.size(), 1000u);
    EXPECT_EQ(Slurp(File("converted/window.csv")), expected);

    // And back: the CSV becomes a data file with the same channels and points.
    ASSERT_EQ(Record({"--convert", File("converted/window.csv"), "--to", "data"}), 0) << Errors();
    tagLoaded original(File("window.data"));
    tagLoaded back(File("converted/window.data"));
    ASSERT_EQ(back.result, EnumDataFileRead::Read);
    EXPECT_EQ(back.state.channels.size(), 3u);
    EXPECT_EQ(back.Points(1), original.Points(1));
}

TEST_F(ConversionTest, ATruncatedFileConvertsWhatItHoldsAndSaysSo) {
    const std::string whole = Slurp(File("window.data"));
    std::ofstream(File("cut.data"), std::ios::binary)
        .write(whole.data(), static_cast<std::streamsize>(whole.size() / 2));
    EXPECT_EQ(Record({"--convert", File("cut.data"), "--to", "csv"}), 6);
    EXPECT_NE(Errors().find("Data import failed; what was read is converted"), std::string::npos) << Errors();
    // The first channels came through whole, the last one in part.
    const std::string converted = Slurp(File("cut.csv"));
    EXPECT_GT(converted.size(), 1000u);
    EXPECT_LT(converted.size(), Slurp(File("exported/window.csv")).size());
}

// HDF5 for analysis tools: what h5py reads is, time for time and value for value, what the CSV
// export of the same recording holds; a damaged input converts what was read.
TEST_F(ConversionTest, HdfFiveHoldsWhatTheCsvExportHolds) {
    ASSERT_EQ(Record({"--convert", File("window.data"), "--to", "h5"}), 0) << Errors();
    // Debian's Python, which has h5py (scripts/setup installs python3-h5py).
    ASSERT_EQ(std::system(("/usr/bin/python3 " + std::string(CHRONOSCOPE_H5_MATCHES_CSV) + " " +
                           File("window.h5") + " " + File("exported/window.csv") + " >&2")
                              .c_str()),
              0);
    const std::string whole = Slurp(File("window.data"));
    std::ofstream(File("cut.data"), std::ios::binary)
        .write(whole.data(), static_cast<std::streamsize>(whole.size() / 2));
    EXPECT_EQ(Record({"--convert", File("cut.data"), "--to", "h5"}), 6);
    EXPECT_GT(fs::file_size(File("cut.h5")), 1000u);
    EXPECT_EQ(Record({"--link", "sim", "--channels", "D1", "--samples", "50", "--out", File("direct.h5")}), 0)
        << Errors();
    EXPECT_GT(fs::file_size(File("direct.h5")), 0u);
}

// A crash while recording: the journal beside the output keeps every sample up to its last
// commit, half a second apart, and --recover writes them.
TEST_F(RecordToolTest, AfterAKillTheJournalRecoversEveryTickUpToLessThanASecondBefore) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> lifetimeMs(500, 5000);
    for (int run = 0; run < 20; ++run) {
        const int lifetime = lifetimeMs(random);
        SCOPED_TRACE("run " + std::to_string(run) + ", killed after " + std::to_string(lifetime) + " ms");
        const std::string out = File("kill" + std::to_string(run) + ".data");
        std::chrono::system_clock::time_point killed;
        {
            CChildProcess recorder(CHRONOSCOPE_RECORD,
                                   {"--link", "sim", "--channels", "D10:DINT,D0,D1,D2,M0,D20:REAL",
                                    "--period", "1", "--out", out},
                                   m_errors);
            std::this_thread::sleep_for(std::chrono::milliseconds(lifetime));
            recorder.Signal(SIGKILL);
            killed = std::chrono::system_clock::now();
            ASSERT_EQ(recorder.Wait(), 128 + SIGKILL);
        }
        ASSERT_FALSE(fs::exists(out));
        const tagJournalSummary left = CRecordingJournal::Inspect(out + ".journal");
        if (left.samples == 0) {
            // Killed before the first commit: only a kill within its first second may lose all.
            ASSERT_TRUE(!left.started || killed - *left.started < 1s) << Errors();
            continue;
        }
        ASSERT_EQ(Record({"--recover", out + ".journal", "--out", File("recovered.data")}), 0) << Errors();
        tagLoaded file(File("recovered.data"));
        ASSERT_EQ(file.result, EnumDataFileRead::Read);
        ASSERT_EQ(file.state.channels.size(), 6u);
        // Every tick from the first, once, with the simulated machine's values in D10's millisecond
        // (D10 is the controller's time in whole milliseconds).
        const uint32_t n = file.Points(0);
        ASSERT_EQ(n, left.samples);
        const double firstMs = file.traces->Trace(0).GetYValue(0);
        auto within = [](double value, double a, double b) {
            return value >= std::min(a, b) && value <= std::max(a, b);
        };
        for (uint32_t i = 0; i < n; ++i) {
            ASSERT_EQ(file.traces->Trace(0).GetXValue(i), i) << i;
            const double ms = file.traces->Trace(0).GetYValue(i);
            ASSERT_EQ(ms, firstMs + i) << i;
            ASSERT_TRUE(within(file.traces->Trace(1).GetYValue(i), CSimulatedMachine::Sine(ms),
                               CSimulatedMachine::Sine(ms + 1)))
                << i;
            ASSERT_TRUE(within(file.traces->Trace(2).GetYValue(i), CSimulatedMachine::Ramp(ms),
                               CSimulatedMachine::Ramp(ms + 1)))
                << i;
            ASSERT_TRUE(within(file.traces->Trace(3).GetYValue(i), CSimulatedMachine::Square(ms),
                               CSimulatedMachine::Square(ms + 1)))
                << i;
            ASSERT_TRUE(within(file.traces->Trace(5).GetYValue(i), CSimulatedMachine::RealWave(ms),
                               CSimulatedMachine::RealWave(ms + 1)))
                << i;
        }
        // Up to at most a second before the kill.
        ASSERT_TRUE(left.started);
        const auto lastTick = std::chrono::milliseconds(n - 1);
        EXPECT_LT(killed - (*left.started + lastTick), 1s) << n << " samples";
    }
}

TEST_F(RecordToolTest, AJournalLeftByAnEarlierRunIsSetAsideAndACleanEndRemovesIt) {
    const std::string out = File("run.data");
    {
        CChildProcess recorder(CHRONOSCOPE_RECORD,
                               {"--link", "sim", "--channels", "D1", "--period", "5", "--out", out},
                               m_errors);
        std::this_thread::sleep_for(1500ms);
        recorder.Signal(SIGKILL);
        recorder.Wait();
    }
    ASSERT_GT(CRecordingJournal::Inspect(out + ".journal").samples, 0u);
    ASSERT_EQ(Record({"--link", "sim", "--channels", "D1", "--samples", "10", "--out", out}), 0) << Errors();
    EXPECT_NE(Errors().find("the journal of an earlier run is kept as "), std::string::npos) << Errors();
    EXPECT_FALSE(fs::exists(out + ".journal"));
    EXPECT_FALSE(fs::exists(out + ".journal-wal"));
    int kept = 0;
    for (const auto& entry : fs::directory_iterator(m_folder.Path())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("run.data-", 0) == 0 && entry.path().extension() == ".journal") {
            ++kept;
            EXPECT_GT(CRecordingJournal::Inspect(entry.path().string()).samples, 0u);
            EXPECT_EQ(Record({"--recover", entry.path().string(), "--out", File("old.csv")}), 0) << Errors();
        }
    }
    EXPECT_EQ(kept, 1);
    EXPECT_EQ(Record({"--recover", File("none.journal"), "--out", File("x.csv")}), 1);
    EXPECT_NE(Errors().find("no such journal"), std::string::npos) << Errors();
}
