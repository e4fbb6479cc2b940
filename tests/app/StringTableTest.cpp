#include "dialogs/StringTable.h"
#include "dialogs/Translation.h"
#include "session/ReasonTexts.h"

#include <QRegularExpression>

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

// Reasons the link, the files and the journal give, as the Chinese window shows them: no English
// word is left besides element and port names, units and numbers.
TEST_F(StringTableTest, KnownReasonsReadInChineseWithoutEnglishWords) {
    ASSERT_TRUE(g_ApplyUiLanguage(true));
    const auto chinese = [](int id) { return LoadStringById(id).toStdString(); };
    const QRegularExpression word(QStringLiteral("[A-Za-z]+"));
    const QStringList allowed{QStringLiteral("COM"), QStringLiteral("ms"), QStringLiteral("N"),
                              QStringLiteral("E"),   QStringLiteral("D"),  QStringLiteral("USB")};
    for (const char* raw :
         {"COM1, 19200 8N1: the controller does not answer", "Connection timed out", "Connection refused",
          "/dev/ttyUSB9: No such file or directory", "Illegal function", "Illegal data address",
          "Illegal data value", "Slave device or server failure", "No space left on device",
          "database or disk is full", "Permission denied", "D9999: the controller refused the value",
          "the link is not open", "Resource temporarily unavailable", "No such device"}) {
        const QString shown = QString::fromStdString(g_ReasonText(raw, chinese));
        for (auto it = word.globalMatch(shown); it.hasNext();) {
            const QString found = it.next().captured();
            EXPECT_TRUE(allowed.contains(found) || found.startsWith(QStringLiteral("tty")) ||
                        found == QStringLiteral("dev"))
                << raw << " shows \"" << shown.toStdString() << "\" with " << found.toStdString();
        }
    }
    // English keeps our own words too, and the separator and link words follow the language.
    EXPECT_EQ(LoadStringById(IDS_TEXT_SEPARATOR), QStringLiteral("\uFF1B"));
    EXPECT_EQ(LoadStringById(IDS_LINK_SERIAL), QStringLiteral("\u4E32\u53E3 %s"));
}
