// The files of a repeating trigger's events: each event as a data file of its own, named by its
// trigger's local time to the millisecond, written whole or not at all. The window shows the
// trigger's state with the number saved.
#pragma once

#include "SessionView.h"
#include "acquisition/MonitorState.h"
#include "acquisition/Recorder.h"
#include "kit/Result.h"

#include <string>
#include <vector>

class CEventFiles {
public:
    CEventFiles(const tagMonitorState& state, CSessionView& view) : m_state(state), m_view(view) {}

    // Where the files go (ending in '/'); LadderDesk/Events/ unless set.
    void SetFolder(const std::string& folder);
    std::string Folder() const;

    // A new recording: the count starts again, a failure is told again.
    void RecordingStarted();
    // Writes the event beside the others; a failure is told once per recording (string 306 with the
    // reason), and the recording goes on.
    tagResult Save(const tagEventRecord& record);

    uint32_t Saved() const { return static_cast<uint32_t>(m_written.size()); }
    // The files written in this recording, oldest first.
    const std::vector<std::string>& Written() const { return m_written; }

private:
    const tagMonitorState& m_state;
    CSessionView& m_view;
    std::string m_folder;
    std::vector<std::string> m_written;
    bool m_failureShown = false;
};
