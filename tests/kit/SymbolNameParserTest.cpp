#include "kit/SymbolNameParser.h"

#include <gtest/gtest.h>

namespace {

struct tagParsed {
    int cls = -1;
    std::string prefix, number, indexPrefix, indexNumber, dot;
};

tagParsed Parse(const std::string& text) {
    tagParsed p;
    CSymbolNameParser(text, 0).GetResult(p.cls, p.prefix, p.number, p.indexPrefix, p.indexNumber, p.dot);
    return p;
}

} // namespace

TEST(SymbolNameParser, ClassifiesElementFamilies) {
    EXPECT_EQ(Parse("X17").cls, SYMBOL_BIT);
    EXPECT_EQ(Parse("M100").cls, SYMBOL_BIT);
    EXPECT_EQ(Parse("SM12").cls, SYMBOL_BIT);
    EXPECT_EQ(Parse("LM10").cls, SYMBOL_BIT); // recognised here, refused by the write check
    EXPECT_EQ(Parse("D100").cls, SYMBOL_WORD);
    EXPECT_EQ(Parse("SD5").cls, SYMBOL_WORD);
    EXPECT_EQ(Parse("V3").cls, SYMBOL_WORD);
    EXPECT_EQ(Parse("T5").cls, SYMBOL_TIMER);
    EXPECT_EQ(Parse("C200").cls, SYMBOL_COUNTER);
}

TEST(SymbolNameParser, SplitsPrefixAndAddressKeepingCase) {
    tagParsed p = Parse("  m100 ");
    EXPECT_EQ(p.cls, SYMBOL_BIT);
    EXPECT_EQ(p.prefix, "m");
    EXPECT_EQ(p.number, "100");

    // Octal validity is the caller's business: X18 still splits.
    p = Parse("X18");
    EXPECT_EQ(p.cls, SYMBOL_BIT);
    EXPECT_EQ(p.number, "18");
    // The longest letter run is the prefix: SM is not S followed by M.
    EXPECT_EQ(Parse("SM12").prefix, "SM");
}

TEST(SymbolNameParser, DottedBitOfWordIsClass40) {
    CSymbolNameParser parser("D100.3", 0);
    tagParsed p = Parse("D100.3");
    EXPECT_EQ(p.cls, SYMBOL_WORD_BIT);
    EXPECT_EQ(p.number, "100");
    EXPECT_EQ(p.dot, "3");
    EXPECT_EQ(parser.GetDDotValue(), 3);
    EXPECT_EQ(CSymbolNameParser("R5.16", 0).GetDDotValue(), 16);
    EXPECT_EQ(Parse("R5.16").cls, SYMBOL_WORD_BIT);
    EXPECT_EQ(CSymbolNameParser("D100", 0).GetDDotValue(), -1);
    // Bits of bit elements, and a dot without digits, are no names.
    EXPECT_EQ(Parse("M100.3").cls, SYMBOL_INVALID);
    EXPECT_EQ(Parse("D100.").cls, SYMBOL_INVALID);
}

TEST(SymbolNameParser, ConstantsAndIndexedNamesAreNotPlainElements) {
    EXPECT_EQ(Parse("K100").cls, SYMBOL_CONSTANT);
    EXPECT_EQ(Parse("-5").cls, SYMBOL_CONSTANT);
    EXPECT_EQ(Parse("H1F").cls, SYMBOL_HEX_CONSTANT);
    tagParsed p = Parse("D100Z2");
    EXPECT_EQ(p.cls, SYMBOL_INDEXED);
    EXPECT_EQ(p.indexPrefix, "Z");
    EXPECT_EQ(p.indexNumber, "2");
}

TEST(SymbolNameParser, RefusesMalformedNames) {
    for (const char* text : {"", "   ", "X", "D", "Q5", "D10A", "D100.3.1", "1D", "D 100", "-", "K", "HZ"}) {
        EXPECT_EQ(Parse(text).cls, SYMBOL_INVALID) << text;
    }
    EXPECT_TRUE(Parse("X").number.empty());
}
