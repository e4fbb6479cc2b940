#include "app/LanguageChoice.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>

namespace {

int Choose(std::string commandLine, std::optional<std::string> file, int ui = kLangIdEnglish) {
    return ChooseLanguage(commandLine, file, ui);
}

} // namespace

TEST(LanguageChoice, CommandLineDecidesWhenItReadsZeroOrOne) {
    EXPECT_EQ(Choose("1", "0"), kLanguageEnglish);
    EXPECT_EQ(Choose("0", "1"), kLanguageChinese);
    EXPECT_EQ(Choose("  +1", "0"), kLanguageEnglish);
    EXPECT_EQ(Choose("1abc", "0"), kLanguageEnglish);
    // Not a number reads as 0, which is a language.
    EXPECT_EQ(Choose("abc", "1"), kLanguageChinese);
    // Any other number leaves the choice to the file.
    EXPECT_EQ(Choose("5", "1"), kLanguageEnglish);
    EXPECT_EQ(Choose("-1", "1"), kLanguageEnglish);
}

TEST(LanguageChoice, CommandLineCountsOnlyForTheFirstPass) {
    std::string commandLine = "1";
    EXPECT_EQ(ChooseLanguage(commandLine, std::string("0"), kLangIdEnglish), kLanguageEnglish);
    EXPECT_TRUE(commandLine.empty());
    // After a restart the file decides.
    EXPECT_EQ(ChooseLanguage(commandLine, std::string("0"), kLangIdEnglish), kLanguageChinese);
}

TEST(LanguageChoice, LanguageFileFirstLineTrimmed) {
    EXPECT_EQ(Choose("", " \t1  "), kLanguageEnglish);
    EXPECT_EQ(Choose("", "1x"), kLanguageChinese);
    EXPECT_EQ(Choose("", ""), kLanguageChinese);
    EXPECT_EQ(Choose("", "0", kLangIdEnglish), kLanguageChinese);
}

TEST(LanguageChoice, WithoutAFileTheSystemDecides) {
    EXPECT_EQ(Choose("", std::nullopt, kLangIdEnglish), kLanguageEnglish);
    EXPECT_EQ(Choose("", std::nullopt, kLangIdChinese), kLanguageChinese);
    EXPECT_EQ(Choose("", std::nullopt, 1031), kLanguageEnglish); // German UI
}

TEST(LanguageChoice, ReadsOnlyTheFirstLineOfTheFile) {
    CTempFolder folder;
    const std::string path = folder.File("Language.cfg");
    EXPECT_FALSE(g_ReadFirstLine(path).has_value());
    std::ofstream(path) << "1\n0\n";
    EXPECT_EQ(g_ReadFirstLine(path), "1");
    std::ofstream(path, std::ios::trunc) << "";
    EXPECT_EQ(g_ReadFirstLine(path), "");
}
