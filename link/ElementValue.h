// What a value text written into an element becomes on the controller: the raw word the element
// then holds, or why it cannot hold it. Nothing is wrapped or cut to fit: INT is -32768..32767
// (32768..65535 are refused, not taken as the same 16 bits), DINT is 32 bits, REAL a finite
// single-precision number, a bit 0, 1, ON or OFF. The link and the simulated controllers refuse
// alike through this one rule.
#pragma once

#include "kit/DataTypes.h"

#include <cstdint>
#include <string>
#include <string_view>

struct tagElementValue {
    bool ok = false;
    uint32_t word = 0;  // the element's raw word: a bit 0/1, an INT sign-extended, a REAL's bits
    std::string reason; // why not, naming the range
};

// The value text as the given type; bit is true for a single bit (a bit element or a dotted bit
// of a word), whatever the type says.
tagElementValue g_ElementValue(EnumGCMDataType type, bool bit, std::string_view text);

// What the type holds, in words: "INT (-32768..32767)".
std::string g_ElementRangeText(EnumGCMDataType type, bool bit);
