// Small helpers for tests that talk to a controller through the device link.
#pragma once

#include "link/Communicater.h"
#include "link/LinkBackend.h"
#include "link/OscilloTypes.h"
#include "link/SimulatedController.h"

#include <cstdlib>
#include <memory>
#include <string>

// The device link on the in-process simulated controller for as long as the object lives, also
// when a test ends early.
class CSimulatedLink {
public:
    CSimulatedLink() {
        setenv("CHRONOSCOPE_SIMULATOR", "1", 1);
        CCommunicater::Instance();
    }
    ~CSimulatedLink() {
        CCommunicater::Destroy();
        unsetenv("CHRONOSCOPE_SIMULATOR");
    }
    CSimulatedLink(const CSimulatedLink&) = delete;
    CSimulatedLink& operator=(const CSimulatedLink&) = delete;

    // The controller behind the link now.
    CSimulatedController* Controller() const {
        return dynamic_cast<CSimulatedController*>(g_GetLinkBackend());
    }
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
