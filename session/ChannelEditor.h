// The channel list and what the table's cells do to it: adding, modifying and deleting channels,
// and a channel's visibility, colour and scale. Modify and delete wait for the recording to stop.
#pragma once

#include "JournalKeeper.h"
#include "Readouts.h"
#include "SessionView.h"
#include "acquisition/MonitorState.h"
#include "acquisition/Recorder.h"
#include "traces/TraceSet.h"

#include <cstdint>
#include <string>

class CChannelEditor {
public:
    CChannelEditor(tagMonitorState& state, CTraceSet& traces, const CRecorder& recorder, CReadouts& readouts,
                   CJournalKeeper& journal, CSessionView& view)
        : m_state(state), m_traces(traces), m_recorder(recorder), m_readouts(readouts), m_journal(journal),
          m_view(view) {}

    // Whether one more channel fits; message 159 when six are there already.
    tagResult CanAdd() const;
    // The colour the next channel's series has.
    uint32_t NextColour() const;
    // Series k takes the channel's type, colour and scale 1.
    void Add(const tagOscilloElem& channel);
    bool CanEdit() const { return !m_recorder.IsRecording(); }
    void Modify(size_t k, const tagOscilloElem& record);
    // Asks first; keeps the trigger on the channel it watched.
    void RequestDelete(size_t k);
    void Delete(size_t k);
    void ToggleVisibility(size_t k);
    void SetColour(size_t k, uint32_t colour);
    void SetScaleText(size_t k, const std::string& text);

private:
    tagMonitorState& m_state;
    CTraceSet& m_traces;
    const CRecorder& m_recorder;
    CReadouts& m_readouts;
    CJournalKeeper& m_journal;
    CSessionView& m_view;
};
