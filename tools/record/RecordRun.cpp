#include "RecordRun.h"

#include "HeadlessView.h"
#include "acquisition/StringTexts.h"
#include "chart/ChartCtrl.h"
#include "link/Communicater.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
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

// The window's session on a chart that is never drawn.
struct tagHeadlessSession {
    tagHeadlessSession() : session(chart, Text(IDS_TIMELINE), view) {
        chart.SetRedrawEnabled(false);
        view.session = &session;
    }
    CChartCtrl chart;
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
        const CChartLineSerie& serie = session.Traces().Serie(0);
        tagProgress progress;
        progress.recorded = serie.GetPointCount() + session.TrimmedPoints();
        const double periodMs = session.Recorder().Setting().actualPeriod / 8.0;
        if (serie.GetPointCount() == 0 || periodMs <= 0) {
            return progress;
        }
        if (!m_haveFirst) {
            // Points cut before they were looked at were consecutive.
            m_firstX = serie.GetXValue(0) - static_cast<double>(session.TrimmedPoints()) * periodMs;
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

void ShowProgress(std::FILE* err, Clock::duration elapsed, const tagProgress& p, size_t cuts) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    const auto whole = static_cast<long>(seconds);
    std::fprintf(err, "\r%02ld:%02ld:%02ld  %llu samples  %.0f/s  %llu missed  %zu cut files   ",
                 whole / 3600, whole / 60 % 60, whole % 60, static_cast<unsigned long long>(p.recorded),
                 seconds > 0 ? static_cast<double>(p.recorded) / seconds : 0.0,
                 static_cast<unsigned long long>(p.missed), cuts);
    std::fflush(err);
}

} // namespace

int RunRecording(const tagRecordArguments& args, const std::atomic<bool>& stop, std::FILE* err) {
    if (!CanWrite(args.out)) {
        Say(err, "cannot write " + args.out);
        return RECORD_NOT_WRITABLE;
    }
    if (args.link.simulator) {
        setenv("CHRONOSCOPE_SIMULATOR", "1", 1);
    } else {
        unsetenv("CHRONOSCOPE_SIMULATOR");
    }
    if (!args.link.serialFolder.empty()) {
        setenv("CHRONOSCOPE_SERIAL_DIR", args.link.serialFolder.c_str(), 1);
    }
    CCommunicater::Instance();
    struct tagLinkCloser {
        ~tagLinkCloser() {
            CCommunicater::CloseCPPSerialPort();
            CCommunicater::Destroy();
        }
    } closer;

    tagHeadlessSession headless;
    CMonitorSession& session = headless.session;
    CHeadlessView& view = headless.view;
    tagMonitorState& state = session.State();
    state.link = args.link.settings;
    state.interfaceType = args.link.interfaceType;
    session.ApplyLinkSettings();
    for (const tagOscilloElem& channel : args.channels) {
        session.AddChannel(channel);
    }
    session.OnPeriodChanged(std::to_string(args.periodMs));
    if (args.trigger) {
        state.trigger = *args.trigger;
    }
    state.cacheSize = args.cache; // 0 keeps everything
    state.autoSave = args.cache ? 1 : 0;
    session.SetAutoSaveFolder(FolderOf(args.out));

    uint32_t controllerState = 0;
    if (CCommunicater::GetGCMState(&controllerState, nullptr, 1, 0) != LINK_OK) {
        Say(err, "the controller does not answer over " + args.link.text);
        return RECORD_LINK_UNREACHABLE;
    }
    session.OnRun();
    if (!session.IsRecording()) {
        for (int id : view.messages) {
            Say(err, Text(id));
        }
        Say(err, "the controller refused the recording over " + args.link.text);
        return RECORD_LINK_UNREACHABLE;
    }

    const bool terminal = isatty(fileno(err)) != 0;
    const Clock::time_point start = Clock::now();
    Clock::time_point nextProgress = start;
    CProgressMeter meter;
    tagProgress progress;
    bool lost = false;
    while (!stop.load()) {
        view.WaitAndPump(100ms);
        if (!session.IsRecording()) {
            lost = true;
            break;
        }
        progress = meter.Measure(session);
        const Clock::time_point now = Clock::now();
        if ((args.samples && progress.recorded >= *args.samples) ||
            (args.durationSeconds &&
             std::chrono::duration<double>(now - start).count() >= *args.durationSeconds)) {
            break;
        }
        if (terminal && now >= nextProgress) {
            ShowProgress(err, now - start, progress, session.AutoSavedFiles().size());
            nextProgress = now + 500ms;
        }
    }
    if (session.IsRecording()) {
        session.OnRun();
    }
    view.PumpMessages();
    progress = meter.Measure(session);
    if (terminal) {
        ShowProgress(err, Clock::now() - start, progress, session.AutoSavedFiles().size());
        std::fputc('\n', err);
    }
    if (lost) {
        Say(err, "the link stopped answering: " + Text(IDS_READ_FAILED));
    }
    if (!args.cache) {
        state.cacheSize = kDefaultCacheSize; // what the window shows when it loads the file
    }

    view.messages.clear();
    view.savePath = args.out;
    session.OnExportData();
    if (!view.Said(IDS_EXPORT_OK)) {
        Say(err, Text(IDS_EXPORT_FAILED) + ": cannot write " + args.out);
        return RECORD_NOT_WRITABLE;
    }
    std::string where = std::to_string(session.Traces().Serie(0).GetPointCount()) + " samples of " +
                        std::to_string(args.channels.size()) +
                        (args.channels.size() == 1 ? " channel" : " channels") + " written to " + args.out;
    if (!session.AutoSavedFiles().empty()) {
        where += "; " + std::to_string(progress.recorded - session.Traces().Serie(0).GetPointCount()) +
                 " earlier samples in " + std::to_string(session.AutoSavedFiles().size()) + " files in " +
                 FolderOf(args.out);
    }
    if (progress.missed) {
        where += "; " + std::to_string(progress.missed) + " ticks missed";
    }
    Say(err, where);
    return lost ? RECORD_LINK_LOST : RECORD_OK;
}

int RunConversion(const tagRecordArguments& args, std::FILE* err) {
    tagHeadlessSession headless;
    CMonitorSession& session = headless.session;
    CHeadlessView& view = headless.view;
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
        view.messages.clear();
        view.openPath = in;
        session.OnImportData();
        if (view.Said(IDS_IMPORT_FAILED)) {
            Say(err, in + ": " + Text(IDS_IMPORT_FAILED) + "; what was read is converted");
            damaged = true;
        }
        if (session.State().channels.empty()) {
            Say(err, in + ": " + Text(IDS_NO_CHANNEL) + " Nothing written");
            continue;
        }
        view.messages.clear();
        view.savePath = out;
        session.OnExportData();
        if (!view.Said(IDS_EXPORT_OK)) {
            Say(err, out + ": " + Text(IDS_EXPORT_FAILED));
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
