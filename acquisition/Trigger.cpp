#include "Trigger.h"

#include <cmath>

bool EvaluateTriggerCondition(double v, double t, uint32_t condition) {
    switch (condition) {
    case TRIGGER_GREATER:
        return v > t;
    case TRIGGER_EQUAL:
        return v == t || std::fabs(v - t) <= 1e-9;
    case TRIGGER_LESS:
        return v < t;
    case TRIGGER_GREATER_EQUAL:
        return v >= t;
    case TRIGGER_LESS_EQUAL:
        return v <= t;
    default:
        return false;
    }
}
