// The status line's texts in words, each looked up by its string number in the window's language.
#pragma once

#include "acquisition/Recorder.h"
#include "link/LinkBackend.h"

#include <functional>
#include <string>

using StringLookup = std::function<std::string(int)>;

// "Waiting for trigger", "Triggered at hh:mm:ss.mmm", "N events saved"; empty without a trigger.
std::string g_TriggerStatusText(const tagTriggerStatus& status, const StringLookup& text);
// "Skipped: N (x.x %)": the ticks the link skipped against all it was due to sample.
std::string g_SkippedTicksText(const tagLinkStatistics& statistics, const StringLookup& text);
