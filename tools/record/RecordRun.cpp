#include "RecordRun.h"

#include "HeadlessView.h"
#include "acquisition/StringTexts.h"
#include "files/WorkspacePaths.h"
#include "kit/Log.h"
#include "kit/NumberText.h"
#include "link/Communicater.h"
#include "sim/SimulatedController.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

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
    std::string text = result.stringId ? Text(result.stringId) : std::string();
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
    std::fprintf(err, "%s   ", trigger.c_str());
    std::fflush(err);
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

    tagHeadlessSession headless;
    CMonitorSession& session = headless.session;
    CHeadlessView& view = headless.view;
    session.Link().Set({args.link.settings, args.link.interfaceType});
    for (const tagOscilloElem& channel : args.channels) {
        session.Channels().Add(channel);
    }
    session.Fields().OnPeriodChanged(std::to_string(args.periodMs));
    if (args.trigger) {
        session.Fields().SetTrigger(*args.trigger);
        session.Fields().SetCapture(args.capture);
    }
    const bool repeat = args.trigger && args.capture.repeat;
    session.Events().SetFolder(args.eventsDir.empty() ? FolderOf(args.out) + "Events/" : args.eventsDir);
    session.Fields().SetCache(args.cache != 0, args.cache); // 0 keeps everything
    session.Trimmer().SetAutoSaveFolder(FolderOf(args.out));
    view.onResult = [err](const tagResult& result) {
        if (!result.ok && result.stringId != IDS_READ_FAILED) { // a lost link is told below
            Say(err, Text(result));
        }
    };
    // A journal an earlier run left there is kept for --recover.
    session.Journal().Use(args.out + ".journal");
    const tagJournalSummary left = session.Journal().LeftOver();
    if (left.samples > 0 || !left.error.empty()) {
        const tagResult aside = session.Journal().SetAside();
        Say(err, aside.ok ? "the journal of an earlier run is kept as " + aside.detail : Text(aside));
    }

    uint32_t controllerState = 0;
    if (CCommunicater::GetGCMState(&controllerState, nullptr, 1, 0) != LINK_OK) {
        Say(err, "the controller does not answer over " + args.link.text);
        return RECORD_LINK_UNREACHABLE;
    }
    const tagResult started = session.StartRecording();
    if (!started.ok) {
        Say(err, Text(started));
        Say(err, "the controller refused the recording over " + args.link.text);
        return RECORD_LINK_UNREACHABLE;
    }

    const bool terminal = isatty(fileno(err)) != 0;
    const Clock::time_point start = Clock::now();
    Clock::time_point nextProgress = start;
    CProgressMeter meter;
    tagProgress progress;
    bool lost = false;
    std::vector<tagOutage> outages;
    const auto timeUp = [&] {
        return args.durationSeconds &&
               std::chrono::duration<double>(Clock::now() - start).count() >= *args.durationSeconds;
    };
    while (!stop.load()) {
        view.WaitAndPump(100ms);
        if (!session.IsRecording()) {
            if (!args.reconnect) {
                lost = true;
                break;
            }
            // The run goes on across the outage: a new recording continues the traces.
            if (terminal) {
                std::fputc('\n', err);
            }
            Say(err, "the link stopped answering; trying again every second");
            g_Log().warn("the link stopped answering; reconnecting every second");
            tagOutage outage{std::chrono::system_clock::now(), {}};
            const Clock::time_point since = Clock::now();
            bool back = false;
            while (!back && !stop.load() && !timeUp()) {
                view.WaitAndPump(1000ms);
                back = session.StartRecording().ok;
            }
            outage.length = Clock::now() - since;
            outages.push_back(outage);
            if (!back) {
                break; // the time ran out or a signal came meanwhile
            }
            Say(err, "the link is back after " + OutageText(outage));
            g_Log().info("reconnected after {}", OutageText(outage));
            continue;
        }
        progress = meter.Measure(session);
        const Clock::time_point now = Clock::now();
        if ((args.samples && progress.recorded >= *args.samples) || timeUp()) {
            break;
        }
        if (terminal && now >= nextProgress) {
            ShowProgress(err, now - start, progress, session.Trimmer().AutoSavedFiles().size(),
                         TriggerText(session) + (outages.empty() ? "" : OutagesText(outages)), repeat);
            nextProgress = now + 500ms;
        }
    }
    session.StopRecording();
    view.PumpMessages();
    progress = meter.Measure(session);
    const size_t cuts = session.Trimmer().AutoSavedFiles().size();
    if (terminal) {
        ShowProgress(err, Clock::now() - start, progress, cuts, TriggerText(session), repeat);
        std::fputc('\n', err);
    }
    if (lost) {
        Say(err, "the link stopped answering: " + Text(IDS_READ_FAILED));
    }
    if (!args.cache) {
        session.Fields().SetCache(false, kDefaultCacheSize); // what the window shows when it loads the file
    }

    const tagResult written = session.Files().ExportRecording(args.out);
    if (!written.ok) {
        Say(err, Text(written));
        Say(err, "the samples are kept in " + session.Journal().Path());
        return RECORD_NOT_WRITABLE;
    }
    session.Journal().Retire();
    const uint32_t kept = session.Traces().Trace(0).GetPointCount();
    std::string where = std::to_string(kept) + " samples of " + std::to_string(args.channels.size()) +
                        (args.channels.size() == 1 ? " channel" : " channels") + " written to " + args.out;
    if (cuts) {
        where += "; " + std::to_string(progress.recorded - kept) + " earlier samples in " +
                 std::to_string(cuts) + " files in " + FolderOf(args.out);
    }
    if (progress.missed && !repeat) {
        where += "; " + std::to_string(progress.missed) + " ticks missed";
    }
    if (!outages.empty()) {
        where += ";" + OutagesText(outages);
    }
    if (repeat) {
        where = "the latest event: " + where + "; " + std::to_string(session.Events().Saved()) +
                " events saved in " + session.Events().Folder();
    }
    Say(err, where);
    return lost ? RECORD_LINK_LOST : RECORD_OK;
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
