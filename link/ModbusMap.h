// Where each controller element lives on a Modbus slave: coils, discrete inputs, holding or input
// registers, and how 32-bit values span two registers.
#pragma once

#include "ElementRef.h"
#include "kit/ElementKinds.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum EnumModbusTable {
    MODBUS_COILS,
    MODBUS_DISCRETE_INPUTS,
    MODBUS_HOLDING_REGISTERS,
    MODBUS_INPUT_REGISTERS
};

// One block of a table: element address a lives at base + a (registers: base + a for 16-bit
// values; 32-bit counters and axis parameters take two registers each).
struct tagModbusRange {
    EnumModbusTable table = MODBUS_HOLDING_REGISTERS;
    int base = 0;
    bool mapped = true;
};

// A resolved element on the wire.
struct tagModbusAddress {
    EnumModbusTable table;
    int address;
    int count; // bits or registers
    int bit;   // bit of a register for dotted names, else -1
};

class CModbusMap {
public:
    // The documented default map (see the README).
    CModbusMap();

    // Loads overrides from a text file; on any error the map stays as it was and error says what
    // and where. A missing file is no error.
    bool LoadFile(const std::string& path, std::string& error);
    bool Parse(const std::string& text, std::string& error);

    // The wire address of an element read as the given type; nullopt when it is not mapped or
    // falls beyond 65535.
    std::optional<tagModbusAddress> Locate(const tagElementRef& ref, EnumGCMDataType type) const;

    // Which element lives at a wire address: the element, which register of a pair (0 or 1), and
    // whether it is the contact of a timer or counter. nullopt for an address no element uses.
    struct tagReverse {
        tagElementRef ref;
        int part = 0;
        bool contact = false;
        bool wide = false; // one of a register pair
    };
    std::optional<tagReverse> Reverse(EnumModbusTable table, int address) const;

    // Two registers make a 32-bit value, low word first unless set otherwise.
    uint32_t Join(uint16_t first, uint16_t second) const;
    void Split(uint32_t value, uint16_t& first, uint16_t& second) const;

    int Unit() const { return m_unit; }
    // The TCP port every Ethernet link uses instead of the settings' port; 0 when not set.
    uint32_t TcpPort() const { return m_tcpPort; }
    // The holding register of the trace block's header, where the controller samples itself;
    // nothing when the map turns it off.
    std::optional<int> TraceBlock() const { return m_traceBlock; }
    // A millisecond counter of the controller that times polled samples; nothing when none is
    // named. Read as a DINT.
    const std::optional<tagElementRef>& ClockElement() const { return m_clock; }
    std::string ClockName() const { return m_clockName; }

    // Where the trace block is looked for unless the map says otherwise: the holding registers
    // between R and W of the default map.
    static constexpr int kDefaultTraceBlock = 42768;

    // Blocks per element kind: values of T and C, and the contacts (bits) of T and C.
    tagModbusRange m_kinds[kElementKindCount];
    tagModbusRange m_timerContacts{MODBUS_COILS, 19000};
    tagModbusRange m_counterContacts{MODBUS_COILS, 20000};
    tagModbusRange m_longCounters{MODBUS_HOLDING_REGISTERS, 9736}; // C200.. as register pairs
    tagModbusRange m_axes{MODBUS_INPUT_REGISTERS, 1000};           // 64 registers per axis

private:
    // One line of a map file, as words; what is wrong with it, or nothing.
    std::string ParseLine(const std::vector<std::string>& words);
    std::string ParseRange(const std::string& key, const std::vector<std::string>& words);

    bool m_lowWordFirst = true;
    std::optional<int> m_traceBlock = kDefaultTraceBlock;
    std::optional<tagElementRef> m_clock;
    std::string m_clockName;
    int m_unit = 1;
    uint32_t m_tcpPort = 0;
};

// The map file beside the workspace file.
std::string g_ModbusMapPath();
