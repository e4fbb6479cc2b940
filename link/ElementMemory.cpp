#include "ElementMemory.h"

#include "kit/ElementKinds.h"
#include "kit/KitHelpers.h"
#include "kit/SymbolNameParser.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

constexpr int kKindC = KIND_C;
constexpr int kKindT = KIND_T;

bool IsWordKind(int kind) {
    return kind >= KIND_D;
}

bool IsAxisParamCode(int code) {
    return (code >= 0 && code <= 8) || (code >= 16 && code <= 27);
}

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

std::optional<int> ParseAddress(const std::string& digits, int radix) {
    if (digits.empty() || digits.size() > 9) {
        return std::nullopt;
    }
    char* end = nullptr;
    long value = std::strtol(digits.c_str(), &end, radix);
    if (*end != '\0') {
        return std::nullopt; // an 8 or 9 among octal digits
    }
    return static_cast<int>(value);
}

bool ParseOnOff(const std::string& text, bool& on) {
    const std::string upper = Upper(text);
    if (upper == "ON") {
        on = true;
        return true;
    }
    if (upper == "OFF") {
        on = false;
        return true;
    }
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str()) {
        return false;
    }
    on = value >= 1;
    return true;
}

bool ParseInteger(const std::string& text, int64_t& value) {
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return end != text.c_str();
}

} // namespace

uint32_t g_SignExtend16(uint16_t word) {
    return static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(word)));
}

uint32_t g_NarrowToType(uint32_t value, EnumGCMDataType type) {
    switch (type) {
    case GCM_UINT:
        return value & 0xFFFF;
    case GCM_USINT:
        return value & 0xFF;
    case GCM_INT:
        return g_SignExtend16(static_cast<uint16_t>(value));
    default:
        return value;
    }
}

std::optional<tagElementRef> g_ResolveElement(const std::string& name, uint16_t paramCode, bool octalXY) {
    const std::string upper = Upper(name);
    if (upper.rfind("AXIS", 0) == 0) {
        auto axis = ParseAddress(upper.substr(4), 10);
        if (!axis || *axis >= kAxisCount || !IsAxisParamCode(paramCode)) {
            return std::nullopt;
        }
        tagElementRef ref;
        ref.axis = *axis;
        ref.paramCode = paramCode;
        return ref;
    }

    CSymbolNameParser parser(name, 0);
    int cls = 0;
    std::string prefix, number, indexPrefix, indexNumber, dot;
    parser.GetResult(cls, prefix, number, indexPrefix, indexNumber, dot);
    if (cls != SYMBOL_BIT && cls != SYMBOL_WORD && cls != SYMBOL_TIMER && cls != SYMBOL_COUNTER &&
        cls != SYMBOL_WORD_BIT) {
        return std::nullopt;
    }
    auto kind = g_FindElementKind(Upper(prefix));
    if (!kind) {
        return std::nullopt; // LM and V have no memory here
    }
    const tagElementKind& info = ElementKindTable[*kind];
    auto address = ParseAddress(number, info.octal && octalXY ? 8 : 10);
    if (!address || *address > info.highestAddress) {
        return std::nullopt;
    }
    tagElementRef ref;
    ref.kind = *kind;
    ref.address = *address;
    if (cls == SYMBOL_WORD_BIT) {
        ref.bit = parser.GetDDotValue();
        if (ref.bit > 15) {
            return std::nullopt;
        }
    }
    return ref;
}

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
        int64_t value = 0;
        if (!ParseInteger(valueText, value)) {
            return false;
        }
        raw = static_cast<uint32_t>(value);
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
