#include "TraceSet.h"

#include <algorithm>

CTraceSet::CTraceSet(const std::array<uint32_t, kTraceSlots>& defaultColours)
    : m_defaultColours(defaultColours) {
    for (size_t k = 0; k < kTraceSlots; ++k) {
        m_traces[k] = std::make_unique<CTrace>();
        m_traces[k]->SetChannelNumber(static_cast<int>(k));
        m_traces[k]->SetColor(defaultColours[k]);
        m_traces[k]->SetVisible(false);
    }
}

void CTraceSet::MoveTraceToEnd(size_t k) {
    CTrace& moved = *m_traces[k];
    std::rotate(m_traces.begin() + static_cast<std::ptrdiff_t>(k),
                m_traces.begin() + static_cast<std::ptrdiff_t>(k) + 1, m_traces.end());
    for (size_t i = 0; i < kTraceSlots; ++i) {
        m_traces[i]->SetChannelNumber(static_cast<int>(i));
    }
    moved.SetVisible(false);
    moved.Clear();
    m_display->Redraw();
}

void CTraceSet::ResetAll() {
    for (size_t k = 0; k < kTraceSlots; ++k) {
        CTrace& trace = *m_traces[k];
        trace.Clear();
        trace.SetStepMode(0);
        trace.SetYOffset(0.0);
        trace.SetYScale(1.0);
        trace.SetColor(m_defaultColours[k]);
        trace.SetVisible(false);
    }
    SetTriggerMark(std::nullopt);
    m_display->Redraw();
}

void CTraceSet::ApplyChannel(size_t k, uint32_t colour, bool bits) {
    CTrace& trace = *m_traces[k];
    trace.SetStepMode(bits ? 1 : 0);
    trace.SetYOffset(0.0);
    trace.SetColor(colour);
    trace.SetVisible(true);
    m_display->Redraw();
}

void CTraceSet::SetTriggerMark(const std::optional<tagTriggerMark>& mark) {
    m_triggerMark = mark;
    m_display->ShowTriggerMark(mark);
}
