// Small helpers for tests that talk to a controller through the device link.
#pragma once

#include "link/Communicater.h"
#include "link/OscilloTypes.h"
#include "sim/SimulatedController.h"
#include "sim/SimulatorPanel.h"

#include <memory>
#include <string>

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

inline tagOscilloElem Channel(const std::string& name, EnumGCMDataType type, uint16_t code = 0) {
    return {name, code, type, 0};
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
