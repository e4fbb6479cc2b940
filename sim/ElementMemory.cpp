#include "ElementMemory.h"

#include "kit/ElementKinds.h"
#include "kit/KitHelpers.h"
#include "link/ElementValue.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

constexpr int kKindC = KIND_C;
constexpr int kKindT = KIND_T;

bool IsWordKind(int kind) {
    return kind >= KIND_D;
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

bool CElementMemory::Write(const tagElementRef& ref, EnumGCMDataType type, const std::string& valueText,
                           std::string* why) {
    auto refuse = [why](std::string reason) {
        if (why) {
            *why = std::move(reason);
        }
        return false;
    };
    if (ref.IsAxis()) {
        return refuse("axis parameters belong to the motion controller");
    }
    const tagElementValue value = g_ElementValue(type, type == GCM_BOOL || ref.bit >= 0, valueText);
    if (!value.ok) {
        return refuse(value.reason);
    }
    if (type == GCM_BOOL || ref.bit >= 0) {
        const bool on = value.word != 0;
        if (IsWordKind(ref.kind)) {
            const int bit = std::max(ref.bit, 0);
            uint16_t& word = m_words[ref.kind][ref.address];
            word = static_cast<uint16_t>(on ? (word | (1u << bit)) : (word & ~(1u << bit)));
        } else {
            SetBit(ref.kind, ref.address, on);
        }
        return true;
    }
    const uint32_t raw = value.word;
    const bool wide = type != GCM_INT;
    if (ref.kind == kKindC) {
        SetCounter(ref.address,
                   static_cast<int32_t>(wide ? raw : g_SignExtend16(static_cast<uint16_t>(raw))));
        return true;
    }
    if (ref.kind == kKindT) {
        if (wide) {
            return refuse("a timer holds INT values");
        }
        SetTimer(ref.address, static_cast<uint16_t>(raw));
        return true;
    }
    if (!IsWordKind(ref.kind)) {
        return refuse("a bit element holds 0, 1, ON or OFF");
    }
    if (!wide) {
        SetWord(ref.kind, ref.address, static_cast<uint16_t>(raw));
        return true;
    }
    if (static_cast<size_t>(ref.address) + 1 >= m_words[ref.kind].size()) {
        return refuse("a 32-bit value needs the word after the last one");
    }
    SetLong(ref.kind, ref.address, raw);
    return true;
}
