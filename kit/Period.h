// The controller's sampling period. Our code carries it as a std::chrono duration; the device
// link's records, the data file and the journal hold it as a count of 1/8 ms, converted at the edge.
#pragma once

#include <chrono>
#include <cstdint>

using tagPeriod = std::chrono::duration<uint32_t, std::ratio<1, 8000>>;

// The period of the link's records (1/8 ms, 16 bits).
inline tagPeriod g_PeriodOfEighths(uint32_t eighths) {
    return tagPeriod(eighths);
}
inline uint16_t g_EighthsOfPeriod(tagPeriod period) {
    return static_cast<uint16_t>(period.count());
}

// Where sample tick lands on the time axis (ms): period times tick as the controller counts, in
// 32 bits, plus the recording's offset.
inline double g_SampleTimeMs(tagPeriod period, uint32_t tick, double offsetMs) {
    return static_cast<uint32_t>(period.count() * tick) * 0.125 + offsetMs;
}
