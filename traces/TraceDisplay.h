// What shows the traces: the window's chart, or nothing at all for a program without a screen.
// The session tells it what changed; the display tells its listener what the user did on it. The
// defaults do nothing, which is the display of the command-line recorder and of most tests.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

// Where the trigger fired, drawn in the trigger channel's colour.
struct tagTriggerMark {
    double time = 0.0;
    uint32_t colour = 0;
    bool operator==(const tagTriggerMark&) const = default;
};

// What part of the traces the chart shows.
struct tagViewRange {
    double timeMin = 0.0, timeMax = 0.0, valueMin = 0.0, valueMax = 0.0;
    bool operator==(const tagViewRange&) const = default;
};

class CTraceDisplayListener {
public:
    virtual ~CTraceDisplayListener() = default;
    // The view moved (zoom, pan, an offset dragged): cursor readouts and statistics.
    virtual void OnViewChanged() {}
    virtual void OnCursorMoved() {}
    // The time axis took another step by zooming.
    virtual void OnTimeStepChanged(uint32_t /*step*/) {}
    virtual void OnMouseMoved() {}
};

class CTraceDisplay {
public:
    virtual ~CTraceDisplay() = default;

    virtual void SetListener(CTraceDisplayListener* /*listener*/) {}
    // Changes between Begin and End are drawn once, at the end of the outermost pair.
    virtual void BeginChanges() {}
    virtual void EndChanges() {}
    // The traces or their looks changed.
    virtual void Redraw() {}
    // Ends the changes of a batch of samples: drawn at once, or at the screen's next frame while
    // redraws are paced.
    virtual void EndBatch() { EndChanges(); }
    virtual void SetPacedRedraws(bool /*on*/) {}

    // The time axis: shows t at its right edge when t lies beyond it, goes back to its home
    // range (both axes), takes a step per division.
    virtual void FollowTime(double /*t*/) {}
    virtual void ResetZoom() {}
    virtual void SetTimeStep(uint32_t /*step*/) {}

    // The two measurement cursors: shown or not, and the times they stand at (X1, X2).
    virtual void SetMeasurement(bool /*on*/) {}
    virtual std::pair<double, double> CursorTimes() const { return {0.0, 0.0}; }
    virtual tagViewRange ViewRange() const { return {}; }
    virtual void ShowRange(const tagViewRange& /*range*/) {}
    // Puts the cursors at these times, within the time axis' range.
    virtual void PlaceCursors(double /*x1*/, double /*x2*/) {}
    // The time under the mouse while it moves freely over the plot (no zoom, pan or drag).
    virtual std::optional<double> FreeMouseTime() const { return std::nullopt; }

    // Every sample of every trace drawn, or the sampled drawing.
    virtual void SetEveryPointDrawing(bool /*on*/) {}
    // Traces broken where no samples exist, or joined across.
    virtual void SetGapsShown(bool /*on*/) {}
    // The time axis from one time to another (a whole event), zoom history kept.
    virtual void ShowTimeRange(double /*from*/, double /*to*/) {}
    // The words that a repeating trigger waits for its next event, in the plot's corner, or none.
    virtual void ShowArmedNotice(bool /*shown*/) {}
    virtual void ShowTriggerMark(const std::optional<tagTriggerMark>& /*mark*/) {}
};
