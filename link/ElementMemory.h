// Element memory of a controller: bit and word families, counters, timers and the motion axes.
#pragma once

#include "OscilloTypes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

class CElementMemory {
public:
    CElementMemory();

    // The raw 32-bit word a sample carries for the element read as the given type; nullopt when the
    // type cannot be read from that element (a 32-bit value at the last word, say).
    std::optional<uint32_t> Read(const tagElementRef& ref, EnumGCMDataType type) const;
    // Applies a value text ("ON"/"OFF", integer or decimal) as the given type.
    bool Write(const tagElementRef& ref, EnumGCMDataType type, const std::string& valueText);

    bool GetBit(int kind, int address) const;
    void SetBit(int kind, int address, bool on);
    uint16_t GetWord(int kind, int address) const;
    void SetWord(int kind, int address, uint16_t value);
    // Two consecutive words, the low word first.
    void SetLong(int kind, int address, uint32_t value);

    int32_t GetCounter(int address) const { return m_counters[address]; }
    void SetCounter(int address, int32_t value);
    uint16_t GetTimer(int address) const { return m_timers[address]; }
    void SetTimer(int address, uint16_t value) { m_timers[address] = value; }
    void SetContact(int kind, int address, bool on);

    uint32_t GetAxis(int axis, int paramCode) const { return m_axes[axis][paramCode]; }
    void SetAxis(int axis, int paramCode, uint32_t value) { m_axes[axis][paramCode] = value; }

private:
    std::vector<std::vector<uint8_t>> m_bits;   // per bit kind, also the contacts of C and T
    std::vector<std::vector<uint16_t>> m_words; // per word kind
    std::vector<int32_t> m_counters;            // C0..C199 hold 16-bit, C200.. 32-bit values
    std::vector<uint16_t> m_timers;
    std::array<std::array<uint32_t, kAxisParamSlots>, kAxisCount> m_axes{};
};
