#include "ElementName.h"

#include "ElementKinds.h"
#include "IntegerText.h"
#include "SymbolNameParser.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

constexpr std::string_view kAxisPrefix = "AXIS";
constexpr int kHighestAxis = 31;
constexpr int kHighestBit = 15;

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    return upper;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

bool g_IsOctal(std::string_view digits) {
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; });
}

std::optional<tagElementName> g_SplitElementName(std::string_view text) {
    const std::string upper = Upper(Trim(text));
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
