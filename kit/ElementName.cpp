#include "ElementName.h"

#include "ElementKinds.h"
#include "NumberText.h"
#include "SymbolNameParser.h"
#include "TextHelpers.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

constexpr std::string_view kAxisPrefix = "AXIS";
constexpr int kHighestAxis = 31;
constexpr int kHighestBit = 15;

} // namespace

bool g_IsOctal(std::string_view digits) {
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; });
}

std::optional<tagElementName> g_SplitElementName(std::string_view text) {
    const std::string upper = g_Upper(g_Trim(text));
    tagElementName name;
    if (upper.rfind(kAxisPrefix, 0) == 0) {
        name.prefix = std::string(kAxisPrefix);
        name.digits = upper.substr(kAxisPrefix.size());
        if (name.digits.empty() || name.digits.find_first_not_of("0123456789") != std::string::npos) {
            return std::nullopt;
        }
        return name;
    }
    int symbolClass = SYMBOL_INVALID;
    std::string indexPrefix, indexNumber, dot;
    const CSymbolNameParser parser(upper, 0);
    parser.GetResult(symbolClass, name.prefix, name.digits, indexPrefix, indexNumber, dot);
    if (symbolClass != SYMBOL_BIT && symbolClass != SYMBOL_WORD && symbolClass != SYMBOL_TIMER &&
        symbolClass != SYMBOL_COUNTER && symbolClass != SYMBOL_WORD_BIT) {
        return std::nullopt;
    }
    name.kind = g_FindElementKind(name.prefix).value_or(-1);
    if (symbolClass == SYMBOL_WORD_BIT) {
        name.bit = parser.GetDDotValue();
    }
    return name;
}

std::optional<int> g_ElementAddress(const tagElementName& name, bool octalXY) {
    if (name.IsAxis()) {
        const auto axis = g_ParseIntegerIn(name.digits, 0, kHighestAxis);
        return axis ? std::optional<int>(static_cast<int>(*axis)) : std::nullopt;
    }
    if (name.kind < 0 || name.bit > kHighestBit) {
        return std::nullopt;
    }
    const tagElementKind& kind = ElementKindTable[name.kind];
    const auto address =
        g_ParseIntegerIn(name.digits, 0, kind.highestAddress, kind.octal && octalXY ? 8 : 10);
    return address ? std::optional<int>(static_cast<int>(*address)) : std::nullopt;
}

std::string g_ElementNameText(int kind, int address) {
    const tagElementKind& k = ElementKindTable[kind];
    char text[32];
    std::snprintf(text, sizeof text, k.octal ? "%s%o" : "%s%d", std::string(k.prefix).c_str(), address);
    return text;
}
