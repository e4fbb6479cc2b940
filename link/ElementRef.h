// An element of the controller as the link addresses it: a soft element of one of the kinds, a bit
// of a word, or a parameter of a motion axis.
#pragma once

#include "kit/DataTypes.h"

#include <cstdint>
#include <optional>
#include <string>

constexpr int kAxisCount = 32;
constexpr int kAxisParamSlots = 28; // codes 0..8 (outputs) and 16..27 (inputs)

// One resolved element: a soft element (kind index into ElementKindTable) or an axis parameter.
struct tagElementRef {
    int kind = -1; // -1 for an axis parameter
    int address = 0;
    int bit = -1; // bit of a word for dotted names such as D100.3
    int axis = -1;
    int paramCode = 0;

    bool IsAxis() const { return kind < 0; }
};

// Resolves a name as the controller reads it. Channel names carry octal X/Y addresses (X17 is 15);
// write requests carry decimal ones once converted, so the caller says which.
std::optional<tagElementRef> g_ResolveElement(const std::string& name, uint16_t paramCode, bool octalXY);

// A 16-bit word as the signed 32-bit sample word of an INT.
uint32_t g_SignExtend16(uint16_t word);
// A 32-bit axis-parameter value as the sample word of its type (16-, 8-bit or signed 16-bit).
uint32_t g_NarrowToType(uint32_t value, EnumGCMDataType type);
