#include "ModbusMap.h"

#include "plctrace/chronotrace.h"

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

namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

// words[at] as a number within [low, high], the last word of the line.
std::optional<int64_t> LastNumber(const std::vector<std::string>& words, size_t at, int64_t low,
                                  int64_t high) {
    return words.size() == at + 1 ? g_ParseIntegerIn(words[at], low, high) : std::nullopt;
}

} // namespace

bool CModbusMap::Parse(const std::string& text, std::string& error) {
    CModbusMap parsed = *this;
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::vector<std::string> words = Words(line.substr(0, line.find('#')));
        if (words.empty()) {
            continue;
        }
        if (const std::string problem = parsed.ParseLine(words); !problem.empty()) {
            error = "line " + std::to_string(number) + ": " + problem;
            return false;
        }
    }
    *this = parsed;
    return true;
}

std::string CModbusMap::ParseLine(const std::vector<std::string>& words) {
    const std::string key = g_Upper(words[0]);
    if (key == "WORD_ORDER") {
        const std::string value = words.size() == 2 ? g_Upper(words[1]) : std::string();
        if (value != "LOW_FIRST" && value != "HIGH_FIRST") {
            return "word_order is low_first or high_first";
        }
        m_lowWordFirst = value == "LOW_FIRST";
        return {};
    }
    if (key == "UNIT") {
        const auto unit = LastNumber(words, 1, 0, 247);
        if (!unit) {
            return "unit is a number from 0 to 247";
        }
        m_unit = static_cast<int>(*unit);
        return {};
    }
    if (key == "TCP_PORT") {
        const auto port = LastNumber(words, 1, 1, 65535);
        if (!port) {
            return "tcp_port is a number from 1 to 65535";
        }
        m_tcpPort = static_cast<uint32_t>(*port);
        return {};
    }
    if (key == "TRACE_BLOCK") {
        if (words.size() == 2 && g_Upper(words[1]) == "NONE") {
            m_traceBlock.reset();
            return {};
        }
        const auto address = LastNumber(words, 1, 0, 65536 - CT_HEADER_WORDS);
        if (!address) {
            return "trace_block is the holding register of its header, or none";
        }
        m_traceBlock = static_cast<int>(*address);
        return {};
    }
    if (key == "CLOCK") {
        if (words.size() == 2 && g_Upper(words[1]) == "NONE") {
            m_clock.reset();
            m_clockName.clear();
            return {};
        }
        const auto ref = words.size() == 2 ? g_ResolveElement(g_Upper(words[1]), 0, true) : std::nullopt;
        if (!ref || ref->IsAxis() || !Locate(*ref, GCM_DINT)) {
            return "clock names one element the map reaches, read as a DINT, such as D10, or none";
        }
        m_clock = ref;
        m_clockName = g_Upper(words[1]);
        return {};
    }
    return ParseRange(key, words);
}

std::string CModbusMap::ParseRange(const std::string& key, const std::vector<std::string>& words) {
    tagModbusRange* range = nullptr;
    if (key == "AXIS") {
        range = &m_axes;
    } else if (key == "T_CONTACTS") {
        range = &m_timerContacts;
    } else if (key == "C_CONTACTS") {
        range = &m_counterContacts;
    } else if (key == "C32") {
        range = &m_longCounters;
    } else if (auto kind = g_FindElementKind(key)) {
        range = &m_kinds[*kind];
    } else {
        return "unknown element '" + words[0] + "'";
    }
    if (words.size() < 2) {
        return "a table is missing";
    }
    if (g_Upper(words[1]) == "NONE") {
        range->mapped = false;
        return {};
    }
    const auto which = TableOf(words[1]);
    if (!which) {
        return "unknown table '" + words[1] + "'";
    }
    const auto base = LastNumber(words, 2, 0, 65535);
    if (!base) {
        return "the base address is a number from 0 to 65535";
    }
    *range = {*which, static_cast<int>(*base), true};
    return {};
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
