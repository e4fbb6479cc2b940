#include "SymbolNameParser.h"

#include "NumberText.h"
#include "TextHelpers.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

template <size_t N> bool OneOf(const std::string& s, const std::array<std::string_view, N>& set) {
    return std::find(set.begin(), set.end(), s) != set.end();
}

constexpr std::array<std::string_view, 6> kBitPrefixes{"X", "Y", "M", "S", "SM", "LM"};
constexpr std::array<std::string_view, 5> kWordPrefixes{"D", "SD", "R", "W", "V"};

} // namespace

CSymbolNameParser::CSymbolNameParser(std::string_view text, int /*options*/) {
    Parse(g_Trim(text));
}

void CSymbolNameParser::Parse(std::string_view s) {
    size_t i = 0;
    auto takeWhile = [&](auto pred) {
        size_t start = i;
        while (i < s.size() && pred(s[i])) {
            ++i;
        }
        return std::string(s.substr(start, i - start));
    };

    if (s.empty()) {
        return;
    }
    // Plain decimal constant with an optional sign.
    if (IsDigit(s[0]) || s[0] == '-' || s[0] == '+') {
        i = 1;
        m_number = std::string(1, s[0]) + takeWhile(IsDigit);
        if (i == s.size() && m_number.find_first_of("0123456789") != std::string::npos) {
            m_class = SYMBOL_CONSTANT;
        }
        return;
    }

    m_prefix = takeWhile(IsLetter);
    const std::string upper = g_Upper(m_prefix);
    if (upper == "H") {
        m_number = takeWhile(IsHexDigit);
        if (!m_number.empty() && i == s.size()) {
            m_class = SYMBOL_HEX_CONSTANT;
        }
        return;
    }
    if (upper == "K") {
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
            m_number = std::string(1, s[i++]);
        }
        m_number += takeWhile(IsDigit);
        if (m_number.find_first_of("0123456789") != std::string::npos && i == s.size()) {
            m_class = SYMBOL_CONSTANT;
        }
        return;
    }

    m_number = takeWhile(IsDigit);
    if (m_number.empty()) {
        return;
    }
    const bool bit = OneOf(upper, kBitPrefixes);
    const bool word = OneOf(upper, kWordPrefixes);
    const bool timer = upper == "T";
    const bool counter = upper == "C";
    if (!bit && !word && !timer && !counter) {
        return;
    }

    if (i == s.size()) {
        m_class = bit ? SYMBOL_BIT : word ? SYMBOL_WORD : timer ? SYMBOL_TIMER : SYMBOL_COUNTER;
        return;
    }
    if (s[i] == '.') {
        ++i;
        m_dotPart = takeWhile(IsDigit);
        if (word && !m_dotPart.empty() && i == s.size()) {
            m_class = SYMBOL_WORD_BIT;
        }
        return;
    }
    m_indexPrefix = takeWhile(IsLetter);
    m_indexNumber = takeWhile(IsDigit);
    if (g_Upper(m_indexPrefix) == "Z" && !m_indexNumber.empty() && i == s.size()) {
        m_class = SYMBOL_INDEXED;
    }
}

void CSymbolNameParser::GetResult(int& symbolClass, std::string& prefix, std::string& number,
                                  std::string& indexPrefix, std::string& indexNumber,
                                  std::string& dotPart) const {
    symbolClass = m_class;
    prefix = m_prefix;
    number = m_number;
    indexPrefix = m_indexPrefix;
    indexNumber = m_indexNumber;
    dotPart = m_dotPart;
}

int CSymbolNameParser::GetDDotValue() const {
    if (m_dotPart.empty()) {
        return -1;
    }
    // Longer digit runs are out of any bit range anyway.
    const tagParsedInteger bit = g_ParseInteger(m_dotPart);
    return bit.overflow || bit.value > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                                       : static_cast<int>(bit.value);
}
