#include "kit/CsvStream.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <clocale>

#include <fstream>
#include <iterator>

namespace {

using tagCsvData = std::vector<std::string>; // a row of cells

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<tagCsvData> ReadAll(std::string_view text, std::string* error = nullptr) {
    CCsvRowReader reader(text);
    std::vector<tagCsvData> rows;
    std::vector<std::string_view> cells;
    while (reader.Next(cells)) {
        rows.emplace_back(cells.begin(), cells.end());
    }
    if (error) {
        *error = reader.Error();
    }
    return rows;
}

const std::vector<tagCsvData> kAwkward{
    {"Time(ms)", "D0:INT", "a,b", "say \"hi\"", " padded", "two\nlines"},
    {"1", "", "", "x"},
    {""},
    {},
    {"", ""},
    {"last"},
};
// kAwkward as a file: a byte order mark, quotes where a cell needs them, CRLF line ends.
const std::string kAwkwardText =
    "\xEF\xBB\xBFTime(ms),D0:INT,\"a,b\",\"say \"\"hi\"\"\",\" padded\",\"two\nlines\"\r\n"
    "1,,,x\r\n\"\"\r\n\r\n,\r\nlast\r\n";

} // namespace

TEST(CsvStream, TheRowWriterQuotesWhatNeedsItAndTellsAnEmptyCellFromAnEmptyRow) {
    CTempFolder folder;
    const std::string path = folder.File("t.csv");
    CCsvRowWriter writer(path);
    ASSERT_TRUE(writer.IsOpen());
    for (const tagCsvData& row : kAwkward) {
        for (const std::string& cell : row) {
            writer.Cell(cell);
        }
        writer.EndRow();
    }
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ(Slurp(path), kAwkwardText);
}

TEST(CsvStream, NumbersAsPrintfWritesThem) {
    CTempFolder folder;
    const std::string path = folder.File("n.csv");
    CCsvRowWriter writer(path);
    for (double v : {1.5, -0.0000004, 123456789.1234565, -2.5e15, 0.0}) {
        writer.CellFixed6(v);
    }
    writer.CellInt(-2147483647 - 1);
    writer.CellInt(42);
    writer.EndRow();
    ASSERT_TRUE(writer.Close());
    std::string expected = "\xEF\xBB\xBF";
    char text[512];
    // printf as it writes in the C locale, whatever the desktop's is.
    const std::string desktop = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "C");
    for (double v : {1.5, -0.0000004, 123456789.1234565, -2.5e15, 0.0}) {
        std::snprintf(text, sizeof text, "%f,", v);
        expected += text;
    }
    std::setlocale(LC_NUMERIC, desktop.c_str());
    expected += "-2147483648,42\r\n";
    EXPECT_EQ(Slurp(path), expected);
}

TEST(CsvStream, TheRowReaderReadsWhatTheWriterWroteAndWhatSpreadsheetsWrite) {
    EXPECT_EQ(ReadAll(kAwkwardText), kAwkward);
    // No mark, LF or CR line ends, quotes anywhere, no final line end.
    const std::pair<std::string_view, std::vector<tagCsvData>> sheets[] = {
        {"a,\"b\"\"c\"\n1,2\n3", {{"a", "b\"c"}, {"1", "2"}, {"3"}}},
        {"a,b\r1,\"2\r\n3\"", {{"a", "b"}, {"1", "2\r\n3"}}},
        {"\n\nx,,\n", {{}, {}, {"x", "", ""}}},
    };
    for (const auto& [sheet, expected] : sheets) {
        EXPECT_EQ(ReadAll(sheet), expected) << sheet;
    }
}

TEST(CsvStream, MalformedTextIsAnErrorWithItsLine) {
    std::string error;
    ReadAll("a,b\n1,\"open\n2,3\n", &error);
    EXPECT_EQ(error, "line 2: a quoted cell is not closed");
    ReadAll("a\n\"x\"y\n", &error);
    EXPECT_EQ(error, "line 2: text follows a closing quote");
    ReadAll(std::string_view("a,b\n\x01\x00\x02", 7), &error);
    EXPECT_EQ(error, "line 2: the file holds binary data");
    const std::string longLine = "x," + std::string(CCsvRowReader::kMaxLineBytes + 10, '7') + "\n";
    ReadAll(longLine, &error);
    EXPECT_NE(error.find("longer than"), std::string::npos);
    EXPECT_EQ(ReadAll("ok\n", &error).size(), 1u);
    EXPECT_TRUE(error.empty());
    CCsvRowReader missing(std::string("/nonexistent/file.csv"));
    EXPECT_FALSE(missing.IsOpen());
}
