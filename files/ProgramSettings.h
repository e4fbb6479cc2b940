// Settings of the program's own, beyond what the workspace file holds (its layout is fixed):
// LadderDesk/Chronoscope.cfg beside the language file, one "key = value" per line, '#' starts a
// comment. An unknown key or a damaged value is ignored and its default used.
#pragma once

#include "acquisition/CursorStatistics.h"
#include "acquisition/TriggerCapture.h"

#include "traces/TraceDisplay.h"

#include <cstdint>
#include <optional>
#include <string>

struct tagProgramSettings {
    bool everySample = true; // show_every_sample: every point drawn, or the sampled drawing
    bool checkWrites = true; // check_writes: only complete values of the element's type are written
    // keep_unsaved_cache: the older half of a full cache that cannot be saved stays in memory
    bool keepUnsavedCache = true;
    // pre_trigger_ms (0..60000), trigger_repeat, post_trigger_ms (1..600000); out of range is
    // brought into range
    tagCaptureSettings capture;
    // cursor_statistics: the sets of statistics between the cursors after the table's columns, a
    // list of values, extremes and averages (none: the table as it was)
    tagCursorStatisticsSets cursorStatistics;
    // trigger_mark_ms, trigger_mark_colour: where the last trigger fired in the workspace's traces
    std::optional<tagTriggerMark> triggerMark;
    // pace_redraws: while recording, the chart is drawn once per frame of the screen instead of once
    // per batch of samples
    bool paceRedraws = true;
    // show_gaps: where no sample exists (between recordings, skipped ticks, outages) the trace is
    // broken and the time axis marks the gap, instead of the held value drawn across it
    bool showGaps = true;
    // event_view: while a repeating trigger waits, the chart shows the latest event whole and says it
    // waits, and the table's latest values go on; off: the chart scrolls with the samples
    bool eventView = true;

    bool operator==(const tagProgramSettings&) const = default;
};

tagProgramSettings g_ReadProgramSettings(const std::string& path);
// False when the file cannot be written.
bool g_WriteProgramSettings(const std::string& path, const tagProgramSettings& settings);
