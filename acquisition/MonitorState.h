// Everything the main window remembers besides its traces: channels, link, sampling, trigger,
// cache and element-write settings. Stored whole in the workspace file.
#pragma once

#include "Trigger.h"
#include "link/OscilloTypes.h"

#include <string>
#include <vector>

constexpr uint32_t kDefaultCacheSize = 3600000;

struct tagMonitorState {
    std::vector<tagOscilloElem> channels;
    tagSerialInfo link;
    uint32_t protocol = 0;
    uint32_t interfaceType = INTERFACE_SERIAL;
    uint32_t period = 20;         // ms, 1..200
    uint32_t timeAxisStep = 1000; // ms per division
    bool measurement = true;
    bool adaptive = true;
    tagTriggerSettings trigger;
    uint32_t autoSave = 0;
    uint32_t cacheSize = kDefaultCacheSize;
    uint32_t maximized = 0;
    int writeTypeIndex = 1; // BOOL, INT, DINT, REAL
    std::string writeAddress;
    std::string writeValue;
};

// 0 becomes 1 and anything above 200 becomes 200.
uint32_t ClampPeriod(uint32_t period);
// 0 becomes 1000.
uint32_t CorrectTimeAxisStep(uint32_t step);
