#include "RecordRun.h"

#include "HeadlessView.h"
#include "acquisition/StringTexts.h"
#include "files/RecordingJournal.h"
#include "files/WorkspacePaths.h"
#include "kit/KitHelpers.h"
#include "kit/Log.h"
#include "kit/NumberText.h"
#include "link/Communicater.h"
#include "sim/SimulatedController.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr int kWriteAttempts = 3;

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

void Say(std::FILE* err, const std::string& text) {
    std::fprintf(err, "chronoscope-record: %s\n", text.c_str());
}

std::string Text(int stringId) {
    const char* text = EnglishStringById(stringId);
    return text ? text : "message " + std::to_string(stringId);
}

// The result's message with its reason.
std::string Text(const tagResult& result) {
    std::string text =
        result.stringId ? g_FormatText(Text(result.stringId), result.arguments) : std::string();
    if (!result.detail.empty()) {
        text += (text.empty() ? "" : " (") + result.detail + (text.empty() ? "" : ")");
    }
    return text;
}

// Whether a file can be created or written there, without leaving one behind.
bool CanWrite(const std::string& path) {
    const bool existed = fs::exists(path);
    {
        std::ofstream probe(path, std::ios::app);
        if (!probe) {
            return false;
        }
    }
    if (!existed) {
        std::error_code ec;
        fs::remove(path, ec);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const fs::path parent = fs::absolute(path).parent_path();
    return parent.string() + "/";
}

// The window's session, with nothing to show its traces on.
struct tagHeadlessSession {
    tagHeadlessSession() : session(view) { view.session = &session; }
    CHeadlessView view;
    CMonitorSession session;
};

// Samples recorded so far, and the ticks the link skipped, from the first channel's points.
struct tagProgress {
    uint64_t recorded = 0;
    uint64_t missed = 0;
};

class CProgressMeter {
public:
    tagProgress Measure(CMonitorSession& session) {
        const CTrace& serie = session.Traces().Trace(0);
        tagProgress progress;
        progress.recorded = serie.GetPointCount() + session.Trimmer().TrimmedPoints();
        const double periodMs = session.Recorder().Setting().actualPeriod / 8.0;
        if (serie.GetPointCount() == 0 || periodMs <= 0) {
            return progress;
        }
        if (!m_haveFirst) {
            // Points cut before they were looked at were consecutive.
            m_firstX = serie.GetXValue(0) - static_cast<double>(session.Trimmer().TrimmedPoints()) * periodMs;
            m_haveFirst = true;
        }
        double lastX = 0;
        serie.GetLastPoint(&lastX, nullptr);
        const auto span = static_cast<uint64_t>(std::llround((lastX - m_firstX) / periodMs)) + 1;
        progress.missed = span > progress.recorded ? span - progress.recorded : 0;
        return progress;
    }

private:
    bool m_haveFirst = false;
    double m_firstX = 0;
};

// A time the link did not answer: when it began (local time) and how long it lasted.
struct tagOutage {
    std::chrono::system_clock::time_point began;
    Clock::duration length;
};

std::string OutageText(const tagOutage& outage) {
    return g_FixedText(std::chrono::duration<double>(outage.length).count(), 1) + " s";
}

// " N outages: hh:mm:ss.mmm for x.x s, ..."
std::string OutagesText(const std::vector<tagOutage>& outages) {
    std::string text =
        " " + std::to_string(outages.size()) + (outages.size() == 1 ? " outage: " : " outages: ");
    for (size_t i = 0; i < outages.size(); ++i) {
        text += (i ? ", " : "") + g_TimeOfDayText(outages[i].began) + " for " + OutageText(outages[i]);
    }
    return text;
}

// The trigger's state as the window words it, in English; empty without a trigger.
std::string TriggerText(const CMonitorSession& session) {
    return g_TriggerStatusText(session.TriggerStatus(), [](int id) { return Text(id); });
}

// Who takes the samples, as the window's status line says it.
std::string SamplingModeText() {
    return g_SamplingModeText(CCommunicater::Statistics(), [](int id) { return Text(id); });
}

void ShowProgress(std::FILE* err, Clock::duration elapsed, const tagProgress& p, size_t cuts,
                  const std::string& trigger, bool repeat) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    const auto whole = static_cast<long>(seconds);
    std::fprintf(err, "\r%02ld:%02ld:%02ld  ", whole / 3600, whole / 60 % 60, whole % 60);
    if (!repeat) { // with repeat the traces hold one event at a time
        const double rate = seconds > 0 ? static_cast<double>(p.recorded) / seconds : 0.0;
        std::fprintf(err, "%llu samples  %s/s  %llu missed  %zu cut files  ",
                     static_cast<unsigned long long>(p.recorded), g_FixedText(rate, 0).c_str(),
                     static_cast<unsigned long long>(p.missed), cuts);
    }
    std::fprintf(err, "%s  %s   ", SamplingModeText().c_str(), trigger.c_str());
    std::fflush(err);
}

// One recording of chronoscope-record, from setting the session up to the summary.
class CRecordRun {
public:
    CRecordRun(const tagRecordArguments& args, const std::atomic<bool>& stop, std::FILE* err)
        : m_args(args), m_stop(stop), m_err(err), m_terminal(isatty(fileno(err)) != 0),
          m_repeat(args.trigger && args.capture.repeat) {}

    int Run();

private:
    void SetUp();
    // The controller answers and takes the recording: RECORD_OK, else the exit code.
    int Connect();
    // Records until the time, the samples or a signal; false when the link was lost for good.
    bool Record();
    // With --reconnect: tries every second until the link is back; false when the run ends first.
    bool RideOutOutage();
    int Finish(bool lost);
    // The output, tried a few times; the last try's result.
    tagResult WriteOutput();
    // The output's samples in a place that can take them; the file, or empty when none could.
    std::string Spill();
    // What the traces hold, and the files the cache's automatic saves wrote, in words.
    std::string HoldsText() const;
    std::string PartsText() const;
    std::string Summary(uint32_t kept, size_t cuts) const;
    bool TimeUp() const {
        return m_args.durationSeconds &&
               std::chrono::duration<double>(Clock::now() - m_start).count() >= *m_args.durationSeconds;
    }

    const tagRecordArguments& m_args;
    const std::atomic<bool>& m_stop;
    std::FILE* m_err;
    const bool m_terminal;
    const bool m_repeat;
    tagHeadlessSession m_headless;
    CMonitorSession& m_session = m_headless.session;
    Clock::time_point m_start;
    CProgressMeter m_meter;
    tagProgress m_progress;
    std::vector<tagOutage> m_outages;
};

void CRecordRun::SetUp() {
    m_session.Link().Set({m_args.link.settings, m_args.link.interfaceType});
    for (const tagOscilloElem& channel : m_args.channels) {
        m_session.Channels().Add(channel);
    }
    m_session.Fields().OnPeriodChanged(std::to_string(m_args.periodMs));
    if (m_args.trigger) {
        m_session.Fields().SetTrigger(*m_args.trigger);
        m_session.Fields().SetCapture(m_args.capture);
    }
    m_session.Events().SetFolder(m_args.eventsDir.empty() ? FolderOf(m_args.out) + "Events/"
                                                          : m_args.eventsDir);
    m_session.Fields().SetCache(m_args.cache != 0, m_args.cache); // 0 keeps everything
    m_session.LimitSamples(m_args.samples);
    m_session.Trimmer().SetAutoSaveFolder(FolderOf(m_args.out));
    m_headless.view.onResult = [this](const tagResult& result) {
        if (!result.ok && result.stringId != IDS_READ_FAILED) { // a lost link is told at the end
            Say(m_err, Text(result));
        }
    };
    // A journal an earlier run left there is kept for --recover.
    m_session.Journal().Use(m_args.out + ".journal");
    const tagJournalSummary left = m_session.Journal().LeftOver();
    if (left.samples > 0 || !left.error.empty()) {
        const tagResult aside = m_session.Journal().SetAside();
        Say(m_err, aside.ok ? "the journal of an earlier run is kept as " + aside.detail : Text(aside));
    }
}

int CRecordRun::Connect() {
    uint32_t controllerState = 0;
    if (CCommunicater::GetGCMState(&controllerState, nullptr, 1, 0) != LINK_OK) {
        Say(m_err, "the controller does not answer over " + m_args.link.text);
        return RECORD_LINK_UNREACHABLE;
    }
    const tagResult started = m_session.StartRecording();
    if (!started.ok) {
        Say(m_err, Text(started));
        Say(m_err, "the controller refused the recording over " + m_args.link.text);
        return RECORD_LINK_UNREACHABLE;
    }
    return RECORD_OK;
}

bool CRecordRun::Record() {
    m_start = Clock::now();
    Clock::time_point nextProgress = m_start;
    while (!m_stop.load()) {
        m_headless.view.WaitAndPump(100ms);
        if (!m_session.IsRecording()) {
            if (!m_args.reconnect) {
                return false;
            }
            if (!RideOutOutage()) {
                return true; // the time ran out or a signal came meanwhile
            }
            continue;
        }
        m_progress = m_meter.Measure(m_session);
        const Clock::time_point now = Clock::now();
        if (m_session.Recorder().SampleLimitReached() || TimeUp()) {
            return true;
        }
        if (m_terminal && now >= nextProgress) {
            ShowProgress(m_err, now - m_start, m_progress, m_session.Trimmer().AutoSavedFiles().size(),
                         TriggerText(m_session) + (m_outages.empty() ? "" : OutagesText(m_outages)),
                         m_repeat);
            nextProgress = now + 500ms;
        }
    }
    return true;
}

bool CRecordRun::RideOutOutage() {
    // The run goes on across the outage: a new recording continues the traces.
    if (m_terminal) {
        std::fputc('\n', m_err);
    }
    Say(m_err, "the link stopped answering; trying again every second");
    g_Log().warn("the link stopped answering; reconnecting every second");
    tagOutage outage{std::chrono::system_clock::now(), {}};
    const Clock::time_point since = Clock::now();
    bool back = false;
    while (!back && !m_stop.load() && !TimeUp()) {
        m_headless.view.WaitAndPump(1000ms);
        back = m_session.StartRecording().ok;
    }
    outage.length = Clock::now() - since;
    m_outages.push_back(outage);
    if (back) {
        Say(m_err, "the link is back after " + OutageText(outage));
        g_Log().info("reconnected after {}", OutageText(outage));
    }
    return back;
}

int CRecordRun::Finish(bool lost) {
    m_session.StopRecording();
    m_headless.view.PumpMessages();
    m_progress = m_meter.Measure(m_session);
    const size_t cuts = m_session.Trimmer().AutoSavedFiles().size();
    if (m_terminal) {
        ShowProgress(m_err, Clock::now() - m_start, m_progress, cuts, TriggerText(m_session), m_repeat);
        std::fputc('\n', m_err);
    }
    if (lost) {
        Say(m_err, "the link stopped answering: " + Text(IDS_READ_FAILED));
    }
    if (!m_args.cache) {
        m_session.Fields().SetCache(false, kDefaultCacheSize); // what the window shows when it loads the file
    }
    const tagResult written = WriteOutput();
    if (!written.ok) {
        Say(m_err, m_args.out + ": " + Text(written));
        const std::string spilled = Spill();
        if (spilled.empty()) {
            // Only what the journal committed is in it; it says so.
            const uint64_t held = CRecordingJournal::Inspect(m_session.Journal().Path()).samples;
            Say(m_err, "nowhere to write the samples; the journal " + m_session.Journal().Path() + " holds " +
                           std::to_string(held) + " of them" + PartsText());
            return RECORD_NOT_WRITABLE;
        }
        m_session.Journal().Retire();
        Say(m_err, "the samples are in " + spilled + HoldsText() + PartsText());
        return RECORD_NOT_WRITABLE;
    }
    m_session.Journal().Retire();
    Say(m_err, Summary(m_session.Traces().Trace(0).GetPointCount(), cuts));
    return lost ? RECORD_LINK_LOST : RECORD_OK;
}

tagResult CRecordRun::WriteOutput() {
    tagResult written;
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(1s); // a disk may get room again
        }
        written = m_session.Files().ExportRecording(m_args.out);
        if (written.ok) {
            break;
        }
        g_Log().error("{} cannot be written: {}", m_args.out, written.detail);
    }
    return written;
}

std::string CRecordRun::Spill() {
    std::vector<fs::path> places;
    if (!m_args.spillDir.empty()) {
        places.emplace_back(m_args.spillDir);
    }
    const char* tmp = std::getenv("TMPDIR");
    places.emplace_back(tmp && *tmp ? tmp : "/tmp");
    if (const char* home = std::getenv("HOME"); home && *home) {
        places.emplace_back(home);
    }
    for (const fs::path& place : places) {
        const std::string path = (place / fs::path(m_args.out).filename()).string();
        if (fs::exists(path)) {
            continue; // never over another file
        }
        if (m_session.Files().ExportRecording(path).ok) {
            return path;
        }
    }
    return {};
}

std::string CRecordRun::HoldsText() const {
    const CTrace& first = m_session.Traces().Trace(0);
    const uint32_t n = first.GetPointCount();
    if (n == 0) {
        return " (no samples)";
    }
    return " (" + std::to_string(n) + " samples, " + g_ShortestText(first.GetXValue(0)) + " to " +
           g_ShortestText(first.GetXValue(n - 1)) + " ms)";
}

std::string CRecordRun::PartsText() const {
    std::string text;
    for (const tagSavedPart& part : m_session.Trimmer().SavedParts()) {
        text += "; earlier samples in " + part.path + " (" + g_ShortestText(part.firstMs) + " to " +
                g_ShortestText(part.lastMs) + " ms)";
    }
    return text;
}

std::string CRecordRun::Summary(uint32_t kept, size_t cuts) const {
    const size_t channels = m_args.channels.size();
    std::string where = std::to_string(kept) + " samples of " + std::to_string(channels) +
                        (channels == 1 ? " channel" : " channels") + " written to " + m_args.out;
    if (cuts) {
        where += "; " + std::to_string(m_progress.recorded - kept) + " earlier samples in " +
                 std::to_string(cuts) + " files in " + FolderOf(m_args.out);
    }
    if (m_progress.missed && !m_repeat) {
        where += "; " + std::to_string(m_progress.missed) + " ticks missed";
    }
    if (!m_outages.empty()) {
        where += ";" + OutagesText(m_outages);
    }
    const tagLinkStatistics statistics = CCommunicater::Statistics();
    if (statistics.mode != EnumSamplingMode::None) {
        const auto text = [](int id) { return Text(id); };
        where += "; " + g_SamplingModeText(statistics, text) + " (" +
                 g_LinkStatisticsDetail(statistics, text) + ")";
    }
    if (m_repeat) {
        where = "the latest event: " + where + "; " + std::to_string(m_session.Events().Saved()) +
                " events saved in " + m_session.Events().Folder();
    }
    return where;
}

int CRecordRun::Run() {
    SetUp();
    if (const int connected = Connect(); connected != RECORD_OK) {
        return connected;
    }
    return Finish(!Record());
}

} // namespace

int RunRecording(const tagRecordArguments& args, const tagProgramOptions& options,
                 const std::atomic<bool>& stop, std::FILE* err) {
    if (!CanWrite(args.out)) {
        Say(err, "cannot write " + args.out);
        return RECORD_NOT_WRITABLE;
    }
    tagProgramOptions linkOptions = options;
    linkOptions.simulator = args.link.simulator;
    if (!args.link.serialFolder.empty()) {
        linkOptions.serialFolder = args.link.serialFolder;
    }
    g_InstallLink(linkOptions);
    struct tagLinkCloser {
        ~tagLinkCloser() {
            CCommunicater::CloseCPPSerialPort();
            CCommunicater::Destroy();
        }
    } closer;
    return CRecordRun(args, stop, err).Run();
}

int RunConversion(const tagRecordArguments& args, std::FILE* err) {
    bool missing = false, damaged = false, unwritable = false;
    if (!args.outDir.empty()) {
        std::error_code ec;
        fs::create_directories(args.outDir, ec);
    }
    for (const std::string& in : args.convert) {
        const fs::path input(in);
        const std::string extension = input.extension().string();
        if (!fs::is_regular_file(input) || (extension != ".data" && extension != ".csv")) {
            Say(err, in + ": not a .data or .csv file");
            missing = true;
            continue;
        }
        const fs::path folder = args.outDir.empty() ? input.parent_path() : fs::path(args.outDir);
        const std::string out = (folder / input.stem()).string() + "." + args.to;
        if (fs::exists(out) && fs::equivalent(out, input)) {
            Say(err, in + ": already a ." + args.to + " file");
            continue;
        }
        // A session of its own for each file: nothing of the previous one may leak into it.
        tagHeadlessSession headless;
        CMonitorSession& session = headless.session;
        const tagResult read = session.Files().ImportRecording(in);
        if (!read.ok) {
            Say(err, in + ": " + Text(IDS_IMPORT_FAILED) + "; what was read is converted");
            if (!read.detail.empty()) {
                Say(err, read.detail);
            }
            damaged = true;
        }
        if (session.State().channels.empty()) {
            Say(err, in + ": " + Text(IDS_NO_CHANNEL) + " Nothing written");
            continue;
        }
        const tagResult written = session.Files().ExportRecording(out);
        if (!written.ok) {
            Say(err, out + ": " + Text(written));
            unwritable = true;
            continue;
        }
        Say(err, in + " -> " + out);
    }
    return unwritable ? RECORD_NOT_WRITABLE
           : damaged  ? RECORD_DAMAGED_INPUT
           : missing  ? RECORD_FAILED
                      : RECORD_OK;
}

int RunRecovery(const tagRecordArguments& args, std::FILE* err) {
    if (!fs::is_regular_file(args.recover)) {
        Say(err, args.recover + ": no such journal");
        return RECORD_FAILED;
    }
    tagHeadlessSession headless;
    CMonitorSession& session = headless.session;
    session.Journal().Use(args.recover);
    const tagResult read = session.Files().RecoverJournal();
    if (!read.ok) {
        Say(err, args.recover + ": " + Text(IDS_IMPORT_FAILED) + "; what was read is written");
        if (!read.detail.empty()) {
            Say(err, read.detail);
        }
    }
    if (session.State().channels.empty()) {
        Say(err, args.recover + ": " + Text(IDS_NO_CHANNEL) + " Nothing written");
        return read.ok ? RECORD_FAILED : RECORD_DAMAGED_INPUT;
    }
    const tagResult written = session.Files().ExportRecording(args.out);
    if (!written.ok) {
        Say(err, args.out + ": " + Text(written));
        return RECORD_NOT_WRITABLE;
    }
    Say(err, std::to_string(session.Traces().Trace(0).GetPointCount()) + " points of " +
                 std::to_string(session.State().channels.size()) + " channels from " + args.recover +
                 " written to " + args.out);
    return read.ok ? RECORD_OK : RECORD_DAMAGED_INPUT;
}
