// Writing one value into one controller element from the "Element Write" fields, and reading it
// back. With checking on (our own switch, on by default) only a complete value of the element's
// type is sent, and whatever else was typed is refused with the reason; off, the fields are read
// as the original program read them, silent cases included. Either way the link refuses a value
// the element cannot hold (see link/ElementValue.h).
#pragma once

#include "link/OscilloTypes.h"

#include <optional>
#include <string>

struct tagWriteRequest {
    std::string address; // trimmed, upper case
    std::string value;   // "ON"/"OFF", a whole number, a decimal number
    EnumGCMDataType type = GCM_INT;
    bool operator==(const tagWriteRequest&) const = default;
};

// What the fields ask for: the request, or nothing (with the reason, not naming the element, when
// checking refused it; an empty reason is the original program's silent ignore).
struct tagWritePlan {
    std::optional<tagWriteRequest> request;
    std::string refusal;
};

// What became of a write.
struct tagWriteOutcome {
    tagWriteRequest request;
    bool written = false;
    std::string readBack; // what the element holds afterwards, as the table shows its type; empty
                          // when it could not be read back
    std::string reason;   // why it was not written
};

// Accepts bit, word, timer and counter names and dotted bits of words (D100.3, bit 0..15); refuses
// LM, V, non-octal X/Y addresses and dotted bits of R. prefix receives the upper-case prefix.
bool ValidateElementName(const std::string& text, std::string& prefix);

// The request the fields describe (type index 0 BOOL, 1 INT, 2 DINT, else REAL), with the type
// corrected by the element family and the value normalised. Unchecked: a REAL is "%f" of its
// leading number, an integer the leading whole number (not cut to any width), a bit ON for 1 and
// above. Checked: the value must be a complete value of the corrected type (a bit: 0, 1, ON, OFF),
// and a REAL keeps every digit typed.
tagWritePlan PrepareWrite(const std::string& addressText, const std::string& valueText, int typeIndex,
                          bool check = false);

// Sends the request through the device link and reads the element back when the controller took it.
tagWriteOutcome WriteElement(const tagWriteRequest& request);
