#include "TriggerCapture.h"

#include "ChannelModel.h"

#include <algorithm>
#include <utility>

tagCaptureSettings tagCaptureSettings::Clamped() const {
    tagCaptureSettings s = *this;
    s.preTriggerMs = std::min(s.preTriggerMs, kMaxPreTriggerMs);
    s.postTriggerMs = std::clamp(s.postTriggerMs, kMinPostTriggerMs, kMaxPostTriggerMs);
    return s;
}

void CTriggerCapture::Start(const tagTriggerSettings& trigger, const tagCaptureSettings& settings,
                            const std::vector<EnumGCMDataType>& types, tagPeriod period) {
    m_trigger = trigger;
    m_settings = settings.Clamped();
    m_types = types;
    m_phase = trigger.enable ? EnumTriggerPhase::Waiting : EnumTriggerPhase::Off;
    m_triggerTime = 0.0;
    m_history.clear();
    m_fired.clear();
    m_event = {};
    m_closed = {};
    // Samples one pre-trigger time spans, the first and last included; this also bounds the
    // history where the ticks wrap and times go back.
    const tagPeriod shortest = std::max(period, tagPeriod(1));
    m_historyLimit =
        m_settings.preTriggerMs ? std::chrono::milliseconds(m_settings.preTriggerMs) / shortest + 1 : 0;
}

bool CTriggerCapture::ConditionMet(const tagOscilloVal& sample) const {
    const size_t k = m_trigger.channel;
    return k < m_types.size() && EvaluateTriggerCondition(ConvertRawValue(sample.raw[k], m_types[k]),
                                                          m_trigger.value, m_trigger.condition);
}

void CTriggerCapture::Remember(const tagOscilloVal& sample, double t) {
    if (m_historyLimit == 0) {
        return;
    }
    m_history.push_back({sample, t});
    const double from = t - m_settings.preTriggerMs;
    while (m_history.size() > m_historyLimit || m_history.front().t < from) {
        m_history.pop_front();
    }
}

EnumSampleFate CTriggerCapture::Offer(const tagOscilloVal& sample, double t) {
    switch (m_phase) {
    case EnumTriggerPhase::Off:
        return EnumSampleFate::Plot;
    case EnumTriggerPhase::Waiting:
        if (!ConditionMet(sample)) {
            Remember(sample, t);
            return EnumSampleFate::Skip;
        }
        m_phase = EnumTriggerPhase::Triggered;
        m_triggerTime = t;
        m_fired.clear();
        for (const tagTimedSample& h : m_history) {
            if (h.t >= t - m_settings.preTriggerMs) {
                m_fired.push_back(h.sample);
            }
        }
        if (m_settings.repeat) {
            m_event = {t, m_fired};
            m_event.samples.push_back(sample);
            Remember(sample, t);
        } else {
            m_history = {}; // nothing more to wait for
        }
        return EnumSampleFate::Fire;
    case EnumTriggerPhase::Triggered:
        if (!m_settings.repeat) {
            return EnumSampleFate::Plot;
        }
        Remember(sample, t);
        if (t <= m_triggerTime + m_settings.postTriggerMs) {
            m_event.samples.push_back(sample);
            return EnumSampleFate::Plot;
        }
        m_closed = std::exchange(m_event, {});
        // The sample after the event already counts for re-arming.
        m_phase = ConditionMet(sample) ? EnumTriggerPhase::Rearming : EnumTriggerPhase::Waiting;
        return EnumSampleFate::Close;
    case EnumTriggerPhase::Rearming:
        Remember(sample, t);
        if (!ConditionMet(sample)) {
            m_phase = EnumTriggerPhase::Waiting;
        }
        return EnumSampleFate::Skip;
    }
    return EnumSampleFate::Skip;
}

std::vector<tagOscilloVal> CTriggerCapture::TakeHistory() {
    return std::exchange(m_fired, {});
}

tagCapturedEvent CTriggerCapture::TakeEvent() {
    return std::exchange(m_closed, {});
}

std::optional<tagCapturedEvent> CTriggerCapture::TakeOpenEvent() {
    if (!m_settings.repeat || m_phase != EnumTriggerPhase::Triggered) {
        return std::nullopt;
    }
    m_phase = EnumTriggerPhase::Rearming;
    return std::exchange(m_event, {});
}
