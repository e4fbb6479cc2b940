// What a trigger keeps and when it fires: the history before the trigger, and with repeat on, one
// event after another, each closed after its post-trigger time and saved, the trigger re-armed
// once the condition has been false. Switched off (no history, no repeat) it is the plain trigger:
// samples are dropped until the condition holds, everything is kept after.
#pragma once

#include "Trigger.h"
#include "kit/Period.h"
#include "link/OscilloTypes.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

constexpr uint32_t kMaxPreTriggerMs = 60000;
constexpr uint32_t kMinPostTriggerMs = 1;
constexpr uint32_t kMaxPostTriggerMs = 600000;

struct tagCaptureSettings {
    uint32_t preTriggerMs = 0; // history kept while waiting; 0 keeps none
    bool repeat = false;
    uint32_t postTriggerMs = 1000; // with repeat: how long an event runs on after its trigger

    // Values outside the ranges are brought into them.
    tagCaptureSettings Clamped() const;
    bool operator==(const tagCaptureSettings&) const = default;
};

enum class EnumTriggerPhase {
    Off,       // no trigger: every sample is kept
    Waiting,   // armed: samples only feed the history
    Triggered, // fired: samples are kept (with repeat, until the post-trigger time ends)
    Rearming,  // repeat: the event is closed; waits for the condition to be false once
};

// What becomes of one sample.
enum class EnumSampleFate {
    Skip,  // not plotted
    Plot,  // plotted
    Fire,  // the trigger sample: the history (TakeHistory) is plotted first, then it
    Close, // not plotted; it ended the event, which TakeEvent gives
};

// A closed event: the history, the trigger sample and the post-trigger samples, oldest first.
struct tagCapturedEvent {
    double triggerTime = 0.0; // ms, on the time axis
    std::vector<tagOscilloVal> samples;
};

class CTriggerCapture {
public:
    // At a recording's start, with the channel types of its samples. A trigger on a channel that
    // is not there never fires.
    void Start(const tagTriggerSettings& trigger, const tagCaptureSettings& settings,
               const std::vector<EnumGCMDataType>& types, tagPeriod period);

    // One sample at time t (ms), in recording order.
    EnumSampleFate Offer(const tagOscilloVal& sample, double t);
    // After Fire: the samples of the last pre-trigger time before the trigger sample.
    std::vector<tagOscilloVal> TakeHistory();
    // After Close: the event that ended.
    tagCapturedEvent TakeEvent();
    // At a stop: the event still running (cut short by the stop), if any; the trigger is then off.
    std::optional<tagCapturedEvent> TakeOpenEvent();

    EnumTriggerPhase Phase() const { return m_phase; }
    bool Repeat() const { return m_settings.repeat; }
    // Time of the latest trigger (ms), valid once one fired.
    double TriggerTime() const { return m_triggerTime; }
    size_t HistorySize() const { return m_history.size(); }
    // The most samples the history may hold: one pre-trigger time of them.
    size_t HistoryLimit() const { return m_historyLimit; }

private:
    struct tagTimedSample {
        tagOscilloVal sample;
        double t;
    };
    bool ConditionMet(const tagOscilloVal& sample) const;
    void Remember(const tagOscilloVal& sample, double t);

    tagTriggerSettings m_trigger;
    tagCaptureSettings m_settings;
    std::vector<EnumGCMDataType> m_types;
    EnumTriggerPhase m_phase = EnumTriggerPhase::Off;
    double m_triggerTime = 0.0;
    std::deque<tagTimedSample> m_history;
    size_t m_historyLimit = 0;
    std::vector<tagOscilloVal> m_fired; // the history handed out at Fire
    tagCapturedEvent m_event;           // with repeat: the event being filled
    tagCapturedEvent m_closed;          // the event handed out at Close
};
