#include "ElementWrite.h"

#include "kit/ElementKinds.h"
#include "kit/ElementName.h"
#include "kit/IntegerText.h"
#include "link/Communicater.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

std::string Trim(const std::string& s) {
    const auto begin = std::find_if_not(s.begin(), s.end(), [](unsigned char c) { return std::isspace(c); });
    const auto end =
        std::find_if_not(s.rbegin(), s.rend(), [](unsigned char c) { return std::isspace(c); }).base();
    return begin < end ? std::string(begin, end) : std::string();
}

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

} // namespace

bool ValidateElementName(const std::string& text, std::string& prefix) {
    const std::optional<tagElementName> name = g_SplitElementName(text);
    prefix = name ? name->prefix : std::string();
    // No address range applies to a write: only the kind, octal X and Y, and bits 0..15 of words
    // other than R.
    if (!name || name->IsAxis() || name->kind < 0) {
        return false;
    }
    if (ElementKindTable[name->kind].octal && !g_IsOctal(name->digits)) {
        return false;
    }
    return name->bit < 0 || (name->prefix != "R" && name->bit <= 15);
}

std::optional<tagWriteRequest> PrepareWrite(const std::string& addressText, const std::string& valueText,
                                            int typeIndex) {
    tagWriteRequest request;
    request.type = typeIndex == 0   ? GCM_BOOL
                   : typeIndex == 1 ? GCM_INT
                   : typeIndex == 2 ? GCM_DINT
                                    : GCM_REAL;
    request.address = Upper(Trim(addressText));
    const std::string value = Trim(valueText);
    if (request.address.empty() || value.empty()) {
        return std::nullopt;
    }
    std::string prefix;
    if (!ValidateElementName(addressText, prefix)) {
        return std::nullopt;
    }
    if (prefix == "M" || prefix == "SM" || prefix == "S" || prefix == "X" || prefix == "Y") {
        request.type = GCM_BOOL;
    } else if (prefix != "T" && prefix != "C" && request.type == GCM_BOOL) {
        request.type = GCM_INT;
    }
    char text[512];
    if (request.type == GCM_REAL) {
        std::snprintf(text, sizeof text, "%f", std::strtod(value.c_str(), nullptr));
        request.value = text;
    } else {
        // The controller's integers are 32-bit; longer numbers saturate like its own parser.
        const int64_t n = std::clamp<int64_t>(g_LeadingInteger(value), INT32_MIN, INT32_MAX);
        if (request.type == GCM_BOOL) {
            request.value = n < 1 ? "OFF" : "ON";
        } else {
            std::snprintf(text, sizeof text, "%d", static_cast<int>(n));
            request.value = text;
        }
    }
    return request;
}

bool WriteElement(const tagWriteRequest& request) {
    CSoftAddrMap map;
    auto entry = std::make_unique<tagSoftAddr>();
    entry->name = request.address;
    entry->valueText = request.value;
    entry->dataType = request.type;
    map.SetAt(CSoftAddrMap::MakeKey(request.type, request.address), std::move(entry));
    map.OctToDec();
    return CCommunicater::OscilloWriteElem(&map) == LINK_OK;
}
