// Writing one value into one controller element from the "Element Write" fields.
#pragma once

#include "link/OscilloTypes.h"

#include <optional>
#include <string>

struct tagWriteRequest {
    std::string address; // trimmed, upper case
    std::string value;   // "ON"/"OFF", "%d" or "%f"
    EnumGCMDataType type = GCM_INT;
    bool operator==(const tagWriteRequest&) const = default;
};

// Accepts bit, word, timer and counter names and dotted bits of words (D100.3, bit 0..15); refuses
// LM, V, non-octal X/Y addresses and dotted bits of R. prefix receives the upper-case prefix.
bool ValidateElementName(const std::string& text, std::string& prefix);

// The request the fields describe (type index 0 BOOL, 1 INT, 2 DINT, else REAL), with the type
// corrected by the element family and the value normalised; nothing for empty fields or a name
// that is not writable.
std::optional<tagWriteRequest> PrepareWrite(const std::string& addressText, const std::string& valueText,
                                            int typeIndex);

// Sends the request through the device link; true when the controller took it.
bool WriteElement(const tagWriteRequest& request);
