#include "ElementWrite.h"

#include "kit/SymbolNameParser.h"
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
    int cls = 0;
    std::string number, indexPrefix, indexNumber, dot;
    CSymbolNameParser parser(text, 0);
    parser.GetResult(cls, prefix, number, indexPrefix, indexNumber, dot);
    prefix = Upper(prefix);
    if (prefix.empty() || number.empty() || prefix == "LM" || prefix == "V") {
        return false;
    }
    if ((prefix == "X" || prefix == "Y") && number.find_first_not_of("01234567") != std::string::npos) {
        return false;
    }
    if (cls == SYMBOL_WORD_BIT && (prefix == "R" || parser.GetDDotValue() > 15)) {
        return false;
    }
    return cls == SYMBOL_BIT || cls == SYMBOL_WORD || cls == SYMBOL_TIMER || cls == SYMBOL_COUNTER ||
           cls == SYMBOL_WORD_BIT;
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
        const long n = std::clamp<long>(std::strtol(value.c_str(), nullptr, 10), INT32_MIN, INT32_MAX);
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
