// Splits an element name typed by the user into its parts and classifies it.
#pragma once

#include <string>
#include <string_view>

enum EnumSymbolClass {
    SYMBOL_INVALID = 0,
    SYMBOL_CONSTANT = 1,     // K100, -5
    SYMBOL_BIT = 2,          // X17, M100, SM12, LM3
    SYMBOL_HEX_CONSTANT = 3, // H1F
    SYMBOL_WORD = 14,        // D100, SD5, R7, W9, V3
    SYMBOL_TIMER = 16,       // T5
    SYMBOL_COUNTER = 18,     // C200
    SYMBOL_INDEXED = 20,     // D100Z2
    SYMBOL_WORD_BIT = 40,    // D100.3
};

class CSymbolNameParser {
public:
    // Leading and trailing white space is ignored; letters may be of either case.
    CSymbolNameParser(std::string_view text, int options);

    // Class, prefix letters as typed, address digits, index register letters and digits, bit digits.
    void GetResult(int& symbolClass, std::string& prefix, std::string& number, std::string& indexPrefix,
                   std::string& indexNumber, std::string& dotPart) const;
    // Bit number of a dotted name, -1 when there is none.
    int GetDDotValue() const;

private:
    void Parse(std::string_view text);

    int m_class = SYMBOL_INVALID;
    std::string m_prefix;
    std::string m_number;
    std::string m_indexPrefix;
    std::string m_indexNumber;
    std::string m_dotPart;
};
