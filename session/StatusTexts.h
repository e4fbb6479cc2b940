// The status line's texts in words, each looked up by its string number in the window's language.
#pragma once

#include "acquisition/MonitorState.h"
#include "acquisition/Recorder.h"
#include "link/LinkBackend.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

using StringLookup = std::function<std::string(int)>;

// "Waiting for trigger", "Triggered at hh:mm:ss.mmm", "N events saved"; empty without a trigger.
std::string g_TriggerStatusText(const tagTriggerStatus& status, const StringLookup& text);
// "Skipped: N (x.x %)": the ticks the link skipped against all it was due to sample.
std::string g_SkippedTicksText(const tagLinkStatistics& statistics, const StringLookup& text);
// Who takes the samples: "Sampled in the controller", "Polled by this computer" (timed by the
// controller's clock); empty before a link says.
std::string g_SamplingModeText(const tagLinkStatistics& statistics, const StringLookup& text);
// The link's part of the status line: the mode and the skipped ticks.
std::string g_LinkStatusText(const tagLinkStatistics& statistics, const StringLookup& text);
// What the sampling went through, for a closer look: the trace block's records read, ring
// overruns and period, or the polls, failed polls and controller times seen again.
std::string g_LinkStatisticsDetail(const tagLinkStatistics& statistics, const StringLookup& text);

// The session's own part of the status line.
struct tagSessionStatus {
    uint32_t interfaceType = 0; // INTERFACE_*, worded in the window's language
    std::string link;           // the link's port and settings, as g_LinkAddressText words them
    bool recording = false;
    std::chrono::seconds elapsed{0};
    std::optional<tagWriteOutcome> lastWrite; // the latest write: taken and read back, or not
    bool journal = false;                     // recordings go into the journal
    std::string journalFailure;               // why its last commit failed, if it did
};

// The link in a few words: "serial COM1 19200 8N1", "tcp 192.168.1.10:502", "usb 1" (for the
// journal and the log), and its port and settings alone ("COM1 19200 8N1").
std::string g_LinkText(const tagMonitorState& state);
std::string g_LinkAddressText(const tagMonitorState& state);
// "Link: ...", "Recording hh:mm:ss" or "Stopped", "D100 <- 1234 written, reads 1234" (or why it
// was not), "Journal on" (or "Journal off" while its commits fail).
std::string g_SessionStatusText(const tagSessionStatus& status, const StringLookup& text);
// What the line's tooltip adds: why the journal is off.
std::string g_SessionStatusDetail(const tagSessionStatus& status);
