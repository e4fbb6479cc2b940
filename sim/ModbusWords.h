// The element memory as a Modbus device shows it through a map: what a read of registers or bits
// returns. The Modbus server, the trace block's sampling and the in-process controller read the
// memory this one way.
#pragma once

#include "ElementMemory.h"
#include "link/ModbusMap.h"

#include <cstdint>

// count words (one per bit of a bit table) from address on; addresses no element uses read 0.
void g_ReadModbusWords(const CElementMemory& memory, const CModbusMap& map, EnumModbusTable table,
                       int address, int count, uint16_t* words);
