// Element memory of a simulated controller: bit and word families, counters, timers and the motion
// axes.
#pragma once

#include "link/ElementRef.h"
#include "link/OscilloTypes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CElementMemory {
public:
    CElementMemory();

    // The raw 32-bit word a sample carries for the element read as the given type; nullopt when the
    // type cannot be read from that element (a 32-bit value at the last word, say).
    std::optional<uint32_t> Read(const tagElementRef& ref, EnumGCMDataType type) const;
    // Applies a value text ("ON"/"OFF", integer or decimal) as the given type; false, with why,
    // for a value the element cannot hold as it is (see g_ElementValue) or an element not writable.
    bool Write(const tagElementRef& ref, EnumGCMDataType type, const std::string& valueText,
               std::string* why = nullptr);

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
