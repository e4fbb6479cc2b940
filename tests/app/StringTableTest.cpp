#include "dialogs/StringTable.h"
#include "acquisition/StringTexts.h"
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
    // Element names and types, units, serial formats, values and device names stay.
    const QRegularExpression word(QStringLiteral("[A-Za-z]+"));
    const QStringList allowed{QStringLiteral("COM"),  QStringLiteral("ms"),  QStringLiteral("s"),
                              QStringLiteral("N"),    QStringLiteral("E"),   QStringLiteral("D"),
                              QStringLiteral("USB"),  QStringLiteral("INT"), QStringLiteral("DINT"),
                              QStringLiteral("REAL"), QStringLiteral("ON"),  QStringLiteral("OFF"),
                              QStringLiteral("dev")};
    const auto expectNoEnglish = [&](const std::string& raw, const QString& shown) {
        for (auto it = word.globalMatch(shown); it.hasNext();) {
            const QString found = it.next().captured();
            EXPECT_TRUE(allowed.contains(found) || found.startsWith(QStringLiteral("tty")))
                << raw << " shows \"" << shown.toStdString() << "\" with " << found.toStdString();
        }
    };
    for (int id = IDS_REASON_TIMEOUT; EnglishStringById(id); ++id) {
        expectNoEnglish(EnglishStringById(id), LoadStringById(id));
    }
    // Reasons as the operating system, libmodbus, SQLite and our link and files word them.
    for (const char* raw : {"COM1, 19200 8N1: the controller does not answer",
                            "Connection timed out",
                            "Connection refused",
                            "/dev/ttyUSB9: No such file or directory",
                            "Illegal function",
                            "Illegal data address",
                            "Illegal data value",
                            "Slave device or server failure",
                            "No space left on device",
                            "database or disk is full",
                            "Permission denied",
                            "D9999: the controller refused the value",
                            "the link is not open",
                            "Resource temporarily unavailable",
                            "No such device",
                            "Modbus exception 11",
                            "database disk image is malformed",
                            "Connection closed by the controller",
                            "Invalid data",
                            "the trace block takes 1 to 6 channels",
                            "D10: the trace block cannot reach the element",
                            "the trace block refused the recording (3)",
                            "the trace block speaks version 2, this program version 3",
                            "the controller stopped answering: no answer in 0.3 s",
                            "D8000 has no Modbus address in the map",
                            "\"40000\" does not fit INT (-32768..32767)",
                            "an empty value does not fit a bit (0, 1, ON or OFF)",
                            "line 2: a quoted cell is not closed",
                            "line 9: the line is longer than 1048576 bytes",
                            "header cell 3 has no type",
                            "the header has 1 cells",
                            "cannot create /1/2: Permission denied",
                            "/1/2: no such file",
                            "/1/2: the data ends early; what came before is kept",
                            "/dev/ttyUSB0 is not a terminal (tty) device",
                            "COM5: no serial device for this port"}) {
        expectNoEnglish(raw, QString::fromStdString(g_ReasonText(raw, chinese)));
    }
    // English keeps our own words too, and the separator and link words follow the language.
    EXPECT_EQ(LoadStringById(IDS_TEXT_SEPARATOR), QStringLiteral("\uFF1B"));
    EXPECT_EQ(LoadStringById(IDS_LINK_SERIAL), QStringLiteral("\u4E32\u53E3 %s"));
}
