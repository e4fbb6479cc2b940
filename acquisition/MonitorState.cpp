#include "MonitorState.h"

#include <algorithm>

uint32_t ClampPeriod(uint32_t period) {
    return std::clamp<uint32_t>(period, 1, 200);
}

uint32_t CorrectTimeAxisStep(uint32_t step) {
    return step == 0 ? 1000 : step;
}
