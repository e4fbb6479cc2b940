// Small helpers for tests that talk to a controller through the device link.
#pragma once

#include "link/Communicater.h"
#include "link/OscilloTypes.h"

#include <memory>
#include <string>

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
