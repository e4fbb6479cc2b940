#include "dialogs/StringTable.h"
#include "dialogs/Translation.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

class StringTableTest : public ::testing::Test {
protected:
    void TearDown() override { g_ApplyUiLanguage(false); }
};

TEST_F(StringTableTest, EveryStringExistsInEnglishAndChinese) {
    ASSERT_TRUE(g_ApplyUiLanguage(false));
    std::vector<QString> english;
    for (int id : AllStringIds()) {
        english.push_back(LoadStringById(id));
        EXPECT_EQ(english.back(), QString::fromUtf8(EnglishStringById(id))) << id;
    }
    ASSERT_TRUE(g_ApplyUiLanguage(true));
    const std::vector<int> ids = AllStringIds();
    for (size_t i = 0; i < ids.size(); ++i) {
        const QString chinese = LoadStringById(ids[i]);
        EXPECT_FALSE(chinese.isEmpty()) << ids[i];
        EXPECT_NE(chinese, english[i]) << ids[i] << " has no Chinese text";
    }
}

TEST_F(StringTableTest, FormatStringsKeepTheirPlaceholdersInChinese) {
    ASSERT_TRUE(g_ApplyUiLanguage(true));
    for (int id : {IDS_TEST_SUCCESS, IDS_TEST_PROGRESS}) {
        const QString english = QString::fromUtf8(EnglishStringById(id));
        const QString chinese = LoadStringById(id);
        EXPECT_EQ(chinese.count(QLatin1Char('%')), english.count(QLatin1Char('%'))) << id;
    }
    // The table header splits into the same twelve header pieces.
    EXPECT_EQ(LoadStringById(IDS_TABLE_HEADER).split(QLatin1Char('|')).size(), 12);
}

TEST_F(StringTableTest, QuotedTextsAreThoseOfTheProgram) {
    ASSERT_TRUE(g_ApplyUiLanguage(false));
    EXPECT_EQ(LoadStringById(IDS_APP_NAME), QStringLiteral("Time Series Monitoring Software"));
    EXPECT_EQ(LoadStringById(IDS_CAPTION), QStringLiteral("Time Series Monitoring Software(V1.0.2)"));
    EXPECT_EQ(LoadStringById(IDS_TOO_MANY_CHANNELS),
              QStringLiteral("Select up to 6 channels, the maximum number has been reached"));
    EXPECT_TRUE(LoadStringById(12345).isEmpty());
}
