#include "ModbusWords.h"

void g_ReadModbusWords(const CElementMemory& memory, const CModbusMap& map, EnumModbusTable table,
                       int address, int count, uint16_t* words) {
    for (int i = 0; i < count; ++i) {
        const auto at = map.Reverse(table, address + i);
        words[i] = 0;
        if (!at) {
            continue;
        }
        const tagElementRef& ref = at->ref;
        if (table == MODBUS_COILS || table == MODBUS_DISCRETE_INPUTS) {
            words[i] = memory.GetBit(ref.kind, ref.address) ? 1 : 0;
            continue;
        }
        uint32_t value = 0;
        if (ref.IsAxis()) {
            value = memory.GetAxis(ref.axis, ref.paramCode);
        } else if (ref.kind == KIND_C) {
            value = static_cast<uint32_t>(memory.GetCounter(ref.address));
        } else if (ref.kind == KIND_T) {
            value = memory.GetTimer(ref.address);
        } else {
            value = memory.GetWord(ref.kind, ref.address);
        }
        if (at->wide) {
            uint16_t pair[2];
            map.Split(value, pair[0], pair[1]);
            words[i] = pair[at->part];
        } else {
            words[i] = static_cast<uint16_t>(value);
        }
    }
}
