#include "ChannelEditor.h"

#include "acquisition/ChannelModel.h"
#include "acquisition/StringIds.h"

tagResult CChannelEditor::CanAdd() const {
    return m_state.channels.size() < kMaxChannels ? tagResult::Done()
                                                  : tagResult::Failed(IDS_TOO_MANY_CHANNELS);
}

uint32_t CChannelEditor::NextColour() const {
    const size_t k = m_state.channels.size();
    return k < kMaxChannels ? m_traces.Trace(k).GetColor() : DefaultChannelColours[0];
}

void CChannelEditor::Add(const tagOscilloElem& channel) {
    if (m_state.channels.size() >= kMaxChannels) {
        return;
    }
    const size_t k = m_state.channels.size();
    m_state.channels.push_back(channel);
    m_traces.Trace(k).SetYScale(1.0);
    m_traces.ApplyChannel(k, channel.colour, channel.dataType == GCM_BOOL);
    m_view.RefreshTable();
}

void CChannelEditor::Modify(size_t k, const tagOscilloElem& record) {
    if (k >= m_state.channels.size() || !CanEdit()) {
        return;
    }
    m_state.channels[k] = record;
    m_traces.Trace(k).Clear(); // the old points belong to the old element
    m_traces.ApplyChannel(k, record.colour, record.dataType == GCM_BOOL);
    m_journal.Reset(); // its recordings no longer match the channels
    m_view.RefreshTable();
}

void CChannelEditor::RequestDelete(size_t k) {
    if (k >= m_state.channels.size() || !CanEdit() || !m_view.AskYesNo(IDS_DELETE_CONFIRM)) {
        return;
    }
    Delete(k);
}

void CChannelEditor::Delete(size_t k) {
    if (k >= m_state.channels.size() || !CanEdit()) {
        return;
    }
    DeleteChannel(m_state, m_traces, k);
    m_journal.Reset();
    m_view.RefreshTable();
    m_readouts.UpdateStatistics();
    m_readouts.UpdateCursorReadouts();
}

void CChannelEditor::ToggleVisibility(size_t k) {
    if (k >= m_state.channels.size()) {
        return;
    }
    CTrace& serie = m_traces.Trace(k);
    serie.SetVisible(!serie.IsVisible());
    m_traces.Display().Redraw();
    m_view.ShowVisibility(k, serie.IsVisible());
    m_readouts.UpdateCursorReadouts();
    m_readouts.UpdateStatistics();
    m_journal.LookChanged();
}

void CChannelEditor::SetColour(size_t k, uint32_t colour) {
    if (k >= m_state.channels.size()) {
        return;
    }
    m_state.channels[k].colour = colour;
    m_traces.Trace(k).SetColor(colour);
    m_traces.Display().Redraw();
    m_view.ShowColour(k, colour);
    m_journal.LookChanged();
}

void CChannelEditor::SetScaleText(size_t k, const std::string& text) {
    if (k >= m_state.channels.size()) {
        return;
    }
    const double scale = ParseScale(text);
    m_traces.Trace(k).SetYScale(scale);
    m_traces.Display().Redraw();
    m_view.ShowScale(k, ScaleText(scale));
    m_journal.LookChanged();
}
