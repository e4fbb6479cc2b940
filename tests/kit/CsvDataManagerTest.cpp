#include "kit/CsvDataManager.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

std::vector<tagCsvData> RoundTrip(const std::vector<tagCsvData>& table) {
    std::vector<tagCsvData> back;
    std::string error;
    EXPECT_TRUE(CCsvDataManager::FromText(CCsvDataManager::ToText(table), back, &error)) << error;
    return back;
}

void WriteRaw(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(CsvDataManager, AwkwardCellsSurviveARoundTrip) {
    const std::vector<tagCsvData> table{
        {"Time(ms)", "D100:INT", "Time(ms)", "AXIS0(Input1-ActPosition):DINT"},
        {"a,b", "say \"hi\"", "two\r\nlines", "lf\nonly"},
        {"", "", "x", ""},
        {" padded ", "\ttab", "\"", ",,,"},
        {"通道", "数据,类型", "ΔX", "é"},
        {"trailing empty", ""},
    };
    EXPECT_EQ(RoundTrip(table), table);
}

TEST(CsvDataManager, EmptyRowsAndLoneEmptyCellsStayDistinct) {
    const std::vector<tagCsvData> table{{}, {""}, {"", ""}, {}, {"last"}, {}};
    EXPECT_EQ(RoundTrip(table), table);
}

TEST(CsvDataManager, WritesPlainCellsUnquotedWithCrLf) {
    const std::string text = CCsvDataManager::ToText({{"Time(ms)", "D1:INT"}, {"10", "-3"}});
    EXPECT_EQ(text, "\xEF\xBB\xBFTime(ms),D1:INT\r\n10,-3\r\n");
}

TEST(CsvDataManager, ReadsFilesFromOtherTools) {
    std::vector<tagCsvData> table;
    // No byte order mark, LF line ends, no final line end, quoted cell in the middle.
    ASSERT_TRUE(CCsvDataManager::FromText("a,\"b,c\",d\n1,2,3", table));
    const std::vector<tagCsvData> expected{{"a", "b,c", "d"}, {"1", "2", "3"}};
    EXPECT_EQ(table, expected);
    // A quote inside an unquoted cell is kept as it is.
    table.clear();
    ASSERT_TRUE(CCsvDataManager::FromText("5\"x,y\r\n", table));
    EXPECT_EQ(table, (std::vector<tagCsvData>{{"5\"x", "y"}}));
}

TEST(CsvDataManager, MalformedTextIsRefusedWithItsLineAndLeavesTheTableAlone) {
    std::vector<tagCsvData> table{{"kept"}};
    std::string error;
    EXPECT_FALSE(CCsvDataManager::FromText("a,b\r\nc,\"open\r\nmore", table, &error));
    EXPECT_EQ(error, "line 2: a quoted cell is not closed");
    EXPECT_FALSE(CCsvDataManager::FromText("a\r\nb\r\n\"x\"y,z\r\n", table, &error));
    EXPECT_EQ(error, "line 3: text follows a closing quote");
    EXPECT_EQ(table, (std::vector<tagCsvData>{{"kept"}}));
}

TEST(CsvDataManager, FilesRoundTripCellForCell) {
    CTempFolder folder;
    const std::string path = folder.File("trace.csv");
    const std::vector<tagCsvData> table{{"Time(ms)", "M8:BOOL"}, {"0", "ON"}, {"20", "OFF"}, {"", ""}};
    ASSERT_EQ(CCsvDataManager::SaveData(table, path), 1);
    std::vector<tagCsvData> back;
    ASSERT_EQ(CCsvDataManager::LoadData(back, path), 1);
    EXPECT_EQ(back, table);
}

TEST(CsvDataManager, MissingOrUnwritableFilesFail) {
    CTempFolder folder;
    std::vector<tagCsvData> table;
    std::string error;
    EXPECT_EQ(CCsvDataManager::LoadData(table, folder.File("absent.csv"), &error), 0);
    EXPECT_EQ(error, "the file cannot be opened");
    EXPECT_EQ(CCsvDataManager::SaveData({{"a"}}, folder.File("no/such/folder/x.csv")), 0);

    const std::string broken = folder.File("broken.csv");
    WriteRaw(broken, "Time(ms),\"D1:INT\r\n");
    EXPECT_EQ(CCsvDataManager::LoadData(table, broken, &error), 0);
    EXPECT_TRUE(table.empty());
}
