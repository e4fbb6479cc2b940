// The six traces of the channel slots, the trigger's mark, and the display that shows them (none
// until one is attached). Trace k belongs to channel k.
#pragma once

#include "Trace.h"
#include "TraceDisplay.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

constexpr size_t kTraceSlots = 6;

class CTraceSet {
public:
    // Six empty, hidden traces in the default colours, numbered by slot.
    explicit CTraceSet(const std::array<uint32_t, kTraceSlots>& defaultColours);

    CTrace& Trace(size_t k) { return *m_traces[k]; }
    const CTrace& Trace(size_t k) const { return *m_traces[k]; }

    // The display from now on (null: none).
    void SetDisplay(CTraceDisplay* display) { m_display = display ? display : &m_none; }
    CTraceDisplay& Display() const { return *m_display; }

    // Takes trace k out and puts it at the end, cleared and hidden, renumbering all.
    void MoveTraceToEnd(size_t k);
    // Every trace empty, hidden, in its default colour, scale 1 and offset 0, and no trigger mark:
    // where a load starts.
    void ResetAll();
    // Trace k for a new or changed channel: staircase for bits, offset 0, its colour, visible.
    void ApplyChannel(size_t k, uint32_t colour, bool bits);

    const std::optional<tagTriggerMark>& TriggerMark() const { return m_triggerMark; }
    void SetTriggerMark(const std::optional<tagTriggerMark>& mark);

private:
    std::array<uint32_t, kTraceSlots> m_defaultColours;
    std::array<std::unique_ptr<CTrace>, kTraceSlots> m_traces;
    std::optional<tagTriggerMark> m_triggerMark;
    CTraceDisplay m_none;
    CTraceDisplay* m_display = &m_none;
};
