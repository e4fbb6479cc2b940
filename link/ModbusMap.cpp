#include "ModbusMap.h"

#include "kit/DocPath.h"
#include "kit/NumberText.h"
#include "kit/TextHelpers.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace {

constexpr int kAxisStride = 64;
constexpr int kLimit = 65536;

std::optional<EnumModbusTable> TableOf(const std::string& word) {
    const std::string w = g_Upper(word);
    if (w == "COILS" || w == "COIL") {
        return MODBUS_COILS;
    }
    if (w == "DISCRETE" || w == "DISCRETE_INPUTS") {
        return MODBUS_DISCRETE_INPUTS;
    }
    if (w == "HOLDING" || w == "HOLDING_REGISTERS") {
        return MODBUS_HOLDING_REGISTERS;
    }
    if (w == "INPUT" || w == "INPUT_REGISTERS") {
        return MODBUS_INPUT_REGISTERS;
    }
    return std::nullopt;
}

bool IsBitTable(EnumModbusTable table) {
    return table == MODBUS_COILS || table == MODBUS_DISCRETE_INPUTS;
}

} // namespace

CModbusMap::CModbusMap() {
    const tagModbusRange defaults[kElementKindCount] = {
        {MODBUS_DISCRETE_INPUTS, 0},       // X
        {MODBUS_COILS, 0},                 // Y
        {MODBUS_COILS, 1000},              // M
        {MODBUS_COILS, 12000},             // S
        {MODBUS_COILS, 17000},             // SM
        {MODBUS_HOLDING_REGISTERS, 9536},  // C0..C199 values
        {MODBUS_HOLDING_REGISTERS, 9024},  // T values
        {MODBUS_HOLDING_REGISTERS, 0},     // D
        {MODBUS_HOLDING_REGISTERS, 8000},  // SD
        {MODBUS_HOLDING_REGISTERS, 10000}, // R
        {MODBUS_HOLDING_REGISTERS, 43000}, // W (W0..W22535 fit)
    };
    std::copy(std::begin(defaults), std::end(defaults), m_kinds);
}

std::optional<tagModbusAddress> CModbusMap::Locate(const tagElementRef& ref, EnumGCMDataType type) const {
    const bool wide = type == GCM_DINT || type == GCM_REAL || type == GCM_UDINT;
    tagModbusAddress at{MODBUS_HOLDING_REGISTERS, 0, 1, -1};
    if (ref.IsAxis()) {
        if (!m_axes.mapped) {
            return std::nullopt;
        }
        at = {m_axes.table, m_axes.base + ref.axis * kAxisStride + ref.paramCode * 2, 2, -1};
    } else if ((ref.kind == KIND_T || ref.kind == KIND_C) && type == GCM_BOOL) {
        const tagModbusRange& contacts = ref.kind == KIND_T ? m_timerContacts : m_counterContacts;
        if (!contacts.mapped) {
            return std::nullopt;
        }
        at = {contacts.table, contacts.base + ref.address, 1, -1};
    } else if (ref.kind == KIND_C && ref.address >= kFirstLongCounter) {
        if (!m_longCounters.mapped) {
            return std::nullopt;
        }
        at = {m_longCounters.table, m_longCounters.base + (ref.address - kFirstLongCounter) * 2, 2, -1};
    } else {
        const tagModbusRange& range = m_kinds[ref.kind];
        if (!range.mapped) {
            return std::nullopt;
        }
        const bool bits = IsBitTable(range.table);
        at = {range.table, range.base + ref.address, bits ? 1 : (wide ? 2 : 1), bits ? -1 : ref.bit};
        if (!bits && type == GCM_BOOL && ref.bit < 0) {
            at.bit = 0;
        }
    }
    if (at.address < 0 || at.address + at.count > kLimit) {
        return std::nullopt;
    }
    return at;
}

std::optional<CModbusMap::tagReverse> CModbusMap::Reverse(EnumModbusTable table, int address) const {
    auto inside = [&](const tagModbusRange& range, int count) {
        return range.mapped && range.table == table && address >= range.base && address < range.base + count;
    };
    if (inside(m_axes, kAxisStride * 32)) {
        const int offset = address - m_axes.base;
        const int code = (offset % kAxisStride) / 2;
        if ((code <= 8 || code >= 16) && code <= 27) {
            tagReverse r;
            r.ref.axis = offset / kAxisStride;
            r.ref.paramCode = code;
            r.part = offset % 2;
            r.wide = true;
            return r;
        }
        return std::nullopt;
    }
    const int longCounters = ElementKindTable[KIND_C].highestAddress + 1 - kFirstLongCounter;
    if (inside(m_longCounters, longCounters * 2)) {
        tagReverse r;
        r.ref.kind = KIND_C;
        r.ref.address = kFirstLongCounter + (address - m_longCounters.base) / 2;
        r.part = (address - m_longCounters.base) % 2;
        r.wide = true;
        return r;
    }
    for (const auto* contacts : {&m_timerContacts, &m_counterContacts}) {
        const int kind = contacts == &m_timerContacts ? KIND_T : KIND_C;
        if (inside(*contacts, ElementKindTable[kind].highestAddress + 1)) {
            tagReverse r;
            r.ref.kind = kind;
            r.ref.address = address - contacts->base;
            r.contact = true;
            return r;
        }
    }
    for (int kind = 0; kind < kElementKindCount; ++kind) {
        const int count = kind == KIND_C ? kFirstLongCounter : ElementKindTable[kind].highestAddress + 1;
        if (inside(m_kinds[kind], count)) {
            tagReverse r;
            r.ref.kind = kind;
            r.ref.address = address - m_kinds[kind].base;
            return r;
        }
    }
    return std::nullopt;
}

uint32_t CModbusMap::Join(uint16_t first, uint16_t second) const {
    return m_lowWordFirst ? (static_cast<uint32_t>(second) << 16) | first
                          : (static_cast<uint32_t>(first) << 16) | second;
}

void CModbusMap::Split(uint32_t value, uint16_t& first, uint16_t& second) const {
    const auto low = static_cast<uint16_t>(value & 0xFFFF);
    const auto high = static_cast<uint16_t>(value >> 16);
    first = m_lowWordFirst ? low : high;
    second = m_lowWordFirst ? high : low;
}

bool CModbusMap::Parse(const std::string& text, std::string& error) {
    CModbusMap parsed = *this;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(number) + ": " + what;
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string key, value, extra;
        if (!(words >> key)) {
            continue;
        }
        key = g_Upper(key);
        if (key == "WORD_ORDER") {
            if (!(words >> value) || (words >> extra)) {
                return fail("word_order takes one value");
            }
            value = g_Upper(value);
            if (value != "LOW_FIRST" && value != "HIGH_FIRST") {
                return fail("word_order is low_first or high_first");
            }
            parsed.m_lowWordFirst = value == "LOW_FIRST";
            continue;
        }
        // One number within [low, high] and nothing after it.
        auto number = [&](int64_t low, int64_t high) -> std::optional<int64_t> {
            if (!(words >> value) || (words >> extra)) {
                return std::nullopt;
            }
            return g_ParseIntegerIn(value, low, high);
        };
        if (key == "UNIT") {
            const auto unit = number(0, 247);
            if (!unit) {
                return fail("unit is a number from 0 to 247");
            }
            parsed.m_unit = static_cast<int>(*unit);
            continue;
        }
        if (key == "TCP_PORT") {
            const auto port = number(1, 65535);
            if (!port) {
                return fail("tcp_port is a number from 1 to 65535");
            }
            parsed.m_tcpPort = static_cast<uint32_t>(*port);
            continue;
        }
        tagModbusRange* range = nullptr;
        if (key == "AXIS") {
            range = &parsed.m_axes;
        } else if (key == "T_CONTACTS") {
            range = &parsed.m_timerContacts;
        } else if (key == "C_CONTACTS") {
            range = &parsed.m_counterContacts;
        } else if (key == "C32") {
            range = &parsed.m_longCounters;
        } else if (auto kind = g_FindElementKind(key)) {
            range = &parsed.m_kinds[*kind];
        } else {
            return fail("unknown element '" + key + "'");
        }
        std::string table;
        if (!(words >> table)) {
            return fail("a table is missing");
        }
        if (g_Upper(table) == "NONE") {
            range->mapped = false;
            continue;
        }
        auto which = TableOf(table);
        if (!which) {
            return fail("unknown table '" + table + "'");
        }
        const auto base = number(0, 65535);
        if (!base) {
            return fail("the base address is a number from 0 to 65535");
        }
        *range = {*which, static_cast<int>(*base), true};
    }
    *this = parsed;
    return true;
}

bool CModbusMap::LoadFile(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        return true;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!Parse(text.str(), error)) {
        error = path + ", " + error;
        return false;
    }
    return true;
}

std::string g_ModbusMapPath() {
    return g_LadderDeskFolder() + "ModbusMap.cfg";
}
