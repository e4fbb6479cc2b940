// Small helpers for tests that talk to a controller through the device link.
#pragma once

#include "link/Communicater.h"
#include "link/OscilloTypes.h"
#include "sim/SimulatedController.h"
#include "sim/SimulatorPanel.h"

#include <memory>
#include <string>
#include <vector>

// The device link on an in-process simulated controller for as long as the object lives, also
// when a test ends early. The panel sets the controller up and switches its faults.
class CSimulatedLink {
public:
    explicit CSimulatedLink(double speed = 1.0) : m_panel(std::make_shared<CSimulatorPanel>()) {
        CCommunicater::Instance(std::make_unique<CSimulatedController>(tagSimulatorOptions{speed, m_panel}));
    }
    ~CSimulatedLink() { CCommunicater::Destroy(); }
    CSimulatedLink(const CSimulatedLink&) = delete;
    CSimulatedLink& operator=(const CSimulatedLink&) = delete;

    CSimulatorPanel& Panel() const { return *m_panel; }

private:
    std::shared_ptr<CSimulatorPanel> m_panel;
};

// The front panel of a Modbus server without a trace block, where the link polls.
inline std::shared_ptr<CSimulatorPanel> PollingPanel() {
    auto panel = std::make_shared<CSimulatorPanel>();
    panel->traceBlock = false;
    return panel;
}

inline tagOscilloElem Channel(const std::string& name, EnumGCMDataType type, uint16_t code = 0) {
    return {name, code, type, 0};
}

// Loads the channels at the period and runs the recording through the link, as the recorder
// does; the setting keeps the period the link chose.
inline bool StartThroughLink(tagOscilloSetting& setting, const std::vector<tagOscilloElem>& channels,
                             int periodMs) {
    setting.channels = channels;
    setting.requestedPeriod = static_cast<uint16_t>(periodMs * 8);
    setting.run = 1;
    return CCommunicater::OscilloSetData(OSCILLO_CMD_LOAD, &setting, 1, 0) == 1 &&
           CCommunicater::OscilloSetData(OSCILLO_CMD_RUN, &setting, 1, 0) == 1;
}

// One element write as the program sends it (X/Y addresses written in octal).
inline long WriteThroughLink(const std::string& name, EnumGCMDataType type, const std::string& value) {
    CSoftAddrMap request;
    auto entry = std::make_unique<tagSoftAddr>();
    entry->name = name;
    entry->valueText = value;
    entry->dataType = type;
    request.SetAt(CSoftAddrMap::MakeKey(type, name), std::move(entry));
    request.OctToDec();
    return CCommunicater::OscilloWriteElem(&request);
}
