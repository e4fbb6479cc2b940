#include "EventFiles.h"

#include "acquisition/ChannelModel.h"
#include "acquisition/StringIds.h"
#include "files/DataFile.h"
#include "files/WorkspacePaths.h"
#include "kit/Log.h"

#include <filesystem>

void CEventFiles::SetFolder(const std::string& folder) {
    m_folder = folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

std::string CEventFiles::Folder() const {
    return m_folder.empty() ? EventsFolder() : m_folder; // the documents folder may change
}

void CEventFiles::RecordingStarted() {
    m_written.clear();
    m_failureShown = false;
}

tagResult CEventFiles::Save(const tagEventRecord& record) {
    // The event's points on a chart of its own, as the recording made them (without the hold
    // points of traces before it: an event stands alone).
    CTraceSet traces(DefaultChannelColours);
    tagMonitorState state = m_state;
    state.channels = record.start.channels;
    tagOscilloData block;
    block.samples = record.event.samples;
    for (size_t k = 0; k < state.channels.size(); ++k) {
        traces.ApplyChannel(k, state.channels[k].colour, state.channels[k].dataType == GCM_BOOL);
        block.types.push_back(state.channels[k].dataType);
    }
    CTriggerCapture everything;
    tagBatchContext context{record.start.period, record.start.timeOffset, 0};
    AddSamplesToTraces(block, everything, context, traces);

    // Two events in one millisecond (a controller clock running fast) get a number after the time.
    const std::string stem = Folder() + g_EventName(record.triggeredAt);
    std::string path = stem + ".data";
    for (int n = 2; std::filesystem::exists(path); ++n) {
        path = stem + "-" + std::to_string(n) + ".data";
    }
    std::string error;
    if (!WriteDataFile(path, state, traces, nullptr, &error)) {
        g_Log().error("the event could not be saved: {}", error);
        const tagResult failed = tagResult::Failed(IDS_EVENT_SAVE_FAILED, error);
        if (!m_failureShown) {
            m_failureShown = true;
            m_view.ShowResult(failed);
        }
        return failed;
    }
    m_written.push_back(path);
    tagResult done = tagResult::Done();
    done.detail = path;
    return done;
}
