// The trigger: recording waits until the trigger channel meets a condition against a value.
#pragma once

#include <cstdint>

enum TriggerCondition : uint32_t {
    TRIGGER_GREATER = 0,
    TRIGGER_EQUAL = 1, // within 1e-9
    TRIGGER_LESS = 2,
    TRIGGER_GREATER_EQUAL = 3,
    TRIGGER_LESS_EQUAL = 4,
};

struct tagTriggerSettings {
    uint32_t enable = 0;
    uint32_t channel = 0; // index into the channel list
    uint32_t condition = TRIGGER_GREATER;
    double value = 0.0;

    void Reset() { *this = tagTriggerSettings{}; }
    bool operator==(const tagTriggerSettings&) const = default;
};

// False for any other condition code and for every comparison with NaN.
bool EvaluateTriggerCondition(double v, double t, uint32_t condition);
