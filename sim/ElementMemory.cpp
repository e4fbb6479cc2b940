#include "ElementMemory.h"

#include "kit/ElementKinds.h"
#include "kit/IntegerText.h"
#include "kit/KitHelpers.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

constexpr int kKindC = KIND_C;
constexpr int kKindT = KIND_T;

bool IsWordKind(int kind) {
    return kind >= KIND_D;
}

// "ON", "OFF" or a number: 1 and above is on.
bool ParseOnOff(const std::string& text, bool& on) {
    std::string upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    if (upper == "ON" || upper == "OFF") {
        on = upper == "ON";
        return true;
    }
    const tagParsedInteger number = g_ParseInteger(text, {10, true, true, true});
    on = number.value >= 1;
    return number.ok;
}

} // namespace

CElementMemory::CElementMemory() : m_bits(kElementKindCount), m_words(kElementKindCount) {
    for (int k = 0; k < kElementKindCount; ++k) {
        const size_t size = static_cast<size_t>(ElementKindTable[k].highestAddress) + 1;
        if (IsWordKind(k)) {
            m_words[k].assign(size, 0);
        } else {
            m_bits[k].assign(size, 0);
        }
    }
    m_counters.assign(m_bits[kKindC].size(), 0);
    m_timers.assign(m_bits[kKindT].size(), 0);
}

bool CElementMemory::GetBit(int kind, int address) const {
    return m_bits[kind][address] != 0;
}

void CElementMemory::SetBit(int kind, int address, bool on) {
    m_bits[kind][address] = on ? 1 : 0;
}

void CElementMemory::SetContact(int kind, int address, bool on) {
    SetBit(kind, address, on);
}

uint16_t CElementMemory::GetWord(int kind, int address) const {
    return m_words[kind][address];
}

void CElementMemory::SetWord(int kind, int address, uint16_t value) {
    m_words[kind][address] = value;
}

void CElementMemory::SetLong(int kind, int address, uint32_t value) {
    m_words[kind][address] = static_cast<uint16_t>(value & 0xFFFF);
    m_words[kind][address + 1] = static_cast<uint16_t>(value >> 16);
}

void CElementMemory::SetCounter(int address, int32_t value) {
    // 16-bit counters wrap like the controller's
    m_counters[address] = address < kFirstLongCounter ? static_cast<int16_t>(value) : value;
}

std::optional<uint32_t> CElementMemory::Read(const tagElementRef& ref, EnumGCMDataType type) const {
    if (ref.IsAxis()) {
        return g_NarrowToType(m_axes[ref.axis][ref.paramCode], type);
    }
    const bool wide = type == GCM_DINT || type == GCM_REAL || type == GCM_UDINT;
    if (ref.kind == kKindC) {
        const int32_t value = m_counters[ref.address];
        if (type == GCM_BOOL) {
            return GetBit(ref.kind, ref.address) ? 1u : 0u;
        }
        return wide ? static_cast<uint32_t>(value) : g_SignExtend16(static_cast<uint16_t>(value));
    }
    if (ref.kind == kKindT) {
        if (type == GCM_BOOL) {
            return GetBit(ref.kind, ref.address) ? 1u : 0u;
        }
        return wide ? std::nullopt : std::optional<uint32_t>(g_SignExtend16(m_timers[ref.address]));
    }
    if (!IsWordKind(ref.kind)) {
        return type == GCM_BOOL ? std::optional<uint32_t>(GetBit(ref.kind, ref.address) ? 1u : 0u)
                                : std::nullopt;
    }
    const std::vector<uint16_t>& words = m_words[ref.kind];
    if (ref.bit >= 0 || type == GCM_BOOL) {
        const int bit = std::max(ref.bit, 0);
        return (words[ref.address] >> bit) & 1u;
    }
    if (!wide) {
        return g_SignExtend16(words[ref.address]);
    }
    if (static_cast<size_t>(ref.address) + 1 >= words.size()) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(words[ref.address]) | (static_cast<uint32_t>(words[ref.address + 1]) << 16);
}

bool CElementMemory::Write(const tagElementRef& ref, EnumGCMDataType type, const std::string& valueText) {
    if (ref.IsAxis()) {
        return false; // axis parameters belong to the motion controller
    }
    if (type == GCM_BOOL || ref.bit >= 0) {
        bool on = false;
        if (!ParseOnOff(valueText, on)) {
            return false;
        }
        if (IsWordKind(ref.kind)) {
            const int bit = std::max(ref.bit, 0);
            uint16_t& word = m_words[ref.kind][ref.address];
            word = static_cast<uint16_t>(on ? (word | (1u << bit)) : (word & ~(1u << bit)));
        } else {
            SetBit(ref.kind, ref.address, on);
        }
        return true;
    }
    uint32_t raw = 0;
    if (type == GCM_REAL) {
        char* end = nullptr;
        const double value = std::strtod(valueText.c_str(), &end);
        if (end == valueText.c_str()) {
            return false;
        }
        raw = g_FloatToInt(static_cast<float>(value));
    } else {
        const tagParsedInteger value = g_ParseInteger(valueText, {10, true, true, true});
        if (!value.ok) {
            return false;
        }
        raw = static_cast<uint32_t>(value.value);
    }
    const bool wide = type != GCM_INT;
    if (ref.kind == kKindC) {
        SetCounter(ref.address,
                   static_cast<int32_t>(wide ? raw : g_SignExtend16(static_cast<uint16_t>(raw))));
        return true;
    }
    if (ref.kind == kKindT) {
        if (wide) {
            return false;
        }
        SetTimer(ref.address, static_cast<uint16_t>(raw));
        return true;
    }
    if (!IsWordKind(ref.kind)) {
        return false;
    }
    if (!wide) {
        SetWord(ref.kind, ref.address, static_cast<uint16_t>(raw));
        return true;
    }
    if (static_cast<size_t>(ref.address) + 1 >= m_words[ref.kind].size()) {
        return false;
    }
    SetLong(ref.kind, ref.address, raw);
    return true;
}
