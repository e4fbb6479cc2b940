#include "FieldRules.h"

#include "acquisition/ChannelModel.h"
#include "acquisition/StringIds.h"
#include "files/WorkspacePaths.h"
#include "kit/NumberText.h"

#include <limits>

namespace {

// An unsigned field as the window's digit-only edits hold it; empty reads as 0, too many digits
// as the largest value.
uint32_t ParseField(std::string_view text) {
    const tagParsedInteger parsed = g_ParseInteger(text);
    constexpr uint32_t kLargest = std::numeric_limits<uint32_t>::max();
    if (!parsed.ok) {
        return 0;
    }
    return parsed.overflow || parsed.value > kLargest ? kLargest : static_cast<uint32_t>(parsed.value);
}

} // namespace

void CFieldRules::OnPeriodChanged(std::string_view text) {
    const uint32_t typed = ParseField(text);
    m_state.period = ClampPeriod(typed);
    if (m_state.period != typed || text.empty()) {
        m_view.ShowPeriod(m_state.period);
    }
}

void CFieldRules::OnTimeAxisChanged(std::string_view text) {
    m_state.timeAxisStep = ParseField(text);
    if (m_state.timeAxisStep == 0) {
        m_state.timeAxisStep = CorrectTimeAxisStep(0);
        m_view.ShowTimeAxisStep(m_state.timeAxisStep);
    }
    m_traces.Display().SetTimeStep(m_state.timeAxisStep);
    m_journal.LookChanged();
}

void CFieldRules::FollowTimeAxisStep(uint32_t step) {
    m_state.timeAxisStep = step;
    m_view.ShowTimeAxisStep(step);
    m_journal.LookChanged();
}

void CFieldRules::OnMeasurement(bool on) {
    m_state.measurement = on;
    m_traces.Display().SetMeasurement(on);
    m_readouts.UpdateCursorReadouts();
    m_journal.LookChanged();
}

void CFieldRules::SetWriteFields(const std::string& address, const std::string& value, int typeIndex) {
    m_state.writeAddress = address;
    m_state.writeValue = value;
    m_state.writeTypeIndex = typeIndex;
}

void CFieldRules::SetCache(bool autoSave, uint32_t cacheSize) {
    m_state.autoSave = autoSave ? 1 : 0;
    m_state.cacheSize = cacheSize;
}

std::optional<tagTriggerDialogFields> CFieldRules::BeginTriggerSetting() {
    const size_t n = m_state.channels.size();
    if (n == 0) {
        m_view.ShowResult(tagResult::Failed(IDS_NO_CHANNEL));
        return std::nullopt;
    }
    tagTriggerSettings& trigger = m_state.trigger;
    if (trigger.channel >= n) {
        trigger.enable = 0;
        trigger.channel = 0;
    }
    tagTriggerDialogFields fields;
    for (const tagOscilloElem& channel : m_state.channels) {
        fields.channelNames.push_back(ChannelDisplayName(channel));
    }
    fields.enable = trigger.enable;
    fields.channel = trigger.channel;
    fields.condition = trigger.condition;
    const EnumGCMDataType type = m_state.channels[trigger.channel].dataType;
    fields.valueText = FormatValue(trigger.value, type == GCM_BOOL ? GCM_INT : type);
    const tagCaptureSettings& capture = m_recorder.CaptureSettings();
    fields.preTriggerMs = capture.preTriggerMs;
    fields.repeat = capture.repeat;
    fields.postTriggerMs = capture.postTriggerMs;
    return fields;
}

void CFieldRules::ApplyTriggerSetting(const tagTriggerDialogFields& fields) {
    m_state.trigger.channel = fields.channel;
    m_state.trigger.enable = fields.enable;
    m_state.trigger.condition = fields.condition;
    m_state.trigger.value = g_LeadingNumber(fields.valueText);
    m_settings.capture =
        tagCaptureSettings{fields.preTriggerMs, fields.repeat, fields.postTriggerMs}.Clamped();
    m_recorder.SetCaptureSettings(m_settings.capture);
    g_WriteProgramSettings(ProgramSettingsPath(), m_settings);
    m_journal.LookChanged();
}

void CFieldRules::LoadSettings() {
    m_settings = g_ReadProgramSettings(ProgramSettingsPath());
    m_traces.Display().SetEveryPointDrawing(m_settings.everySample);
    m_traces.Display().SetPacedRedraws(m_settings.paceRedraws);
    m_traces.Display().SetGapsShown(m_settings.showGaps);
    m_recorder.SetEventView(m_settings.eventView);
    // Paced, a window takes the samples about once a frame of a 60 Hz screen, not after every read
    // of the link; a program without a screen takes them as they come.
    m_recorder.SetBatchSpacing(
        std::chrono::milliseconds(m_settings.paceRedraws && m_view.HasFrames() ? 16 : 0));
    m_recorder.SetCaptureSettings(m_settings.capture);
    m_recorder.SetCheckWrites(m_settings.checkWrites);
    m_readouts.SetStatisticsSets(m_settings.cursorStatistics);
}

void CFieldRules::SetCursorStatistics(const tagCursorStatisticsSets& sets) {
    m_settings.cursorStatistics = sets;
    g_WriteProgramSettings(ProgramSettingsPath(), m_settings);
    m_readouts.SetStatisticsSets(sets);
    m_readouts.UpdateCursorReadouts();
}

void CFieldRules::KeepTriggerMark(const std::optional<tagTriggerMark>& mark) {
    if (m_settings.triggerMark != mark) {
        m_settings.triggerMark = mark;
        g_WriteProgramSettings(ProgramSettingsPath(), m_settings);
    }
}

void CFieldRules::SetCheckWrites(bool on) {
    m_settings.checkWrites = on;
    m_recorder.SetCheckWrites(on);
    g_WriteProgramSettings(ProgramSettingsPath(), m_settings);
}

void CFieldRules::SetShowGaps(bool on) {
    m_settings.showGaps = on;
    m_traces.Display().SetGapsShown(on);
    g_WriteProgramSettings(ProgramSettingsPath(), m_settings);
}

void CFieldRules::SetEverySample(bool on) {
    m_settings.everySample = on;
    m_traces.Display().SetEveryPointDrawing(on);
    g_WriteProgramSettings(ProgramSettingsPath(), m_settings);
}
