#include "files/CsvFile.h"
#include "TempFolder.h"
#include "acquisition/ChannelModel.h"
#include "kit/CsvStream.h"
#include "support/HeadlessTraces.h"

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <locale>

namespace {

using tagCsvData = std::vector<std::string>; // a row of cells

class CsvFileTest : public ::testing::Test {
protected:
    void Add(const tagOscilloElem& channel, const std::vector<std::pair<double, double>>& points) {
        m_traces.AddChannel(m_state, channel, points);
    }
    std::vector<tagCsvData> Exported() {
        EXPECT_TRUE(WriteCsvFile(m_path, m_state, *m_traces));
        CCsvRowReader reader(m_path);
        std::vector<tagCsvData> table;
        std::vector<std::string_view> cells;
        while (reader.Next(cells)) {
            table.emplace_back(cells.begin(), cells.end());
        }
        EXPECT_EQ(reader.Error(), "");
        return table;
    }
    bool Import(const std::string& text) {
        std::ofstream(m_path, std::ios::binary) << text;
        return ReadCsvFile(m_path, m_state, *m_traces, &m_error);
    }
    CTrace& Serie(size_t k) { return m_traces->Trace(k); }

    CTempFolder m_folder;
    std::string m_path = m_folder.File("t.csv");
    std::string m_error;
    tagHeadlessTraces m_traces;
    tagMonitorState m_state;
};

} // namespace

TEST_F(CsvFileTest, ExportWritesOneRowPerPointIndexWithEmptyCellsBeyondShortTraces) {
    std::vector<std::pair<double, double>> ten, four;
    for (int i = 0; i < 10; ++i) {
        ten.emplace_back(i * 20.5, i == 0 ? -3.7 : i);
    }
    for (int i = 0; i < 4; ++i) {
        four.emplace_back(i * 10.0, i == 0 ? 0.5 : 0.0);
    }
    Add({"D100", 0, GCM_INT, 1}, ten);
    Add({"M3", 0, GCM_BOOL, 2}, four);
    Add({"AXIS0", 17, GCM_DINT, 3}, {});
    Serie(0).SetVisible(false); // hidden channels are exported like the others
    const auto table = Exported();
    ASSERT_EQ(table.size(), 11u);
    EXPECT_EQ(table[0], (tagCsvData{"Time(ms)", "D100:INT", "Time(ms)", "M3:BOOL", "Time(ms)",
                                    "AXIS0(Input1-ActPosition):DINT"}));
    EXPECT_EQ(table[1], (tagCsvData{"0", "-3", "0", "ON", "", ""}));
    EXPECT_EQ(table[2], (tagCsvData{"20", "1", "10", "OFF", "", ""}));
    EXPECT_EQ(table[5], (tagCsvData{"82", "4", "", "", "", ""}));

    m_state = {};
    m_traces->ResetAll();
    Add({"D200", 0, GCM_REAL, 1}, {{5, 1.5}});
    EXPECT_EQ(Exported()[1], (tagCsvData{"5", "1.500000"}));
    Serie(0).Clear();
    EXPECT_EQ(Exported().size(), 1u); // the header only
}

TEST_F(CsvFileTest, BadHeadersAreRefusedAndChangeNothing) {
    Add({"D0", 0, GCM_INT, 1}, {{0, 1}});
    m_state.trigger = {1, 0, TRIGGER_GREATER, 3.0};
    std::string thirteen =
        "Time(ms),A:INT,Time(ms),B:INT,Time(ms),C:INT,Time(ms),D:INT,Time(ms),E:INT,Time(ms),F:"
        "INT,Time(ms)\r\n";
    for (const std::string& bad :
         {thirteen, std::string("Time(ms),D0:INT,time(ms),D1:INT\r\n"), std::string("Time(ms),,\r\n"),
          std::string("Time(ms),D0\r\n"), std::string("Time(ms),AXIS3:DINT\r\n"), std::string(""),
          std::string("Time(ms),D0:INT\r\n1,\"2\r\n")}) {
        EXPECT_FALSE(Import(bad)) << bad;
        EXPECT_FALSE(m_error.empty());
        ASSERT_EQ(m_state.channels.size(), 1u);
        EXPECT_EQ(Serie(0).GetPointCount(), 1u);
        EXPECT_EQ(m_state.trigger.enable, 1u);
    }
    EXPECT_FALSE(ReadCsvFile(m_folder.File("none.csv"), m_state, *m_traces));
}

TEST_F(CsvFileTest, ImportBuildsChannelsAndReadsRowsAsFarAsTheyGo) {
    Add({"D0", 0, GCM_INT, 1}, {{0, 1}});
    Add({"D1", 0, GCM_INT, 1}, {{0, 1}});
    Add({"D2", 0, GCM_INT, 1}, {{0, 1}});
    m_state.trigger = {1, 0, TRIGGER_GREATER, 3.0};
    m_state.period = 35;
    // A spreadsheet's file: mark, quoted cells, LF line ends and no line end at the very end.
    ASSERT_TRUE(
        Import("\xEF\xBB\xBF"
               "Time(ms),\"AXIS2(Input2-ActVelocity):DINT\",Time(ms),M1:BOOL,Time(ms),AXIS1(Nothing):int\n"
               "0,100,0,ON,0,7\n"
               "10,12abc,10,on,,8\n"
               "20,-5\n"
               "30,\"40\",30,ON,30,9"))
        << m_error;
    ASSERT_EQ(m_state.channels.size(), 3u);
    EXPECT_EQ(m_state.channels[0], (tagOscilloElem{"AXIS2", 18, GCM_DINT, DefaultChannelColours[0]}));
    EXPECT_EQ(m_state.channels[1], (tagOscilloElem{"M1", 0, GCM_BOOL, DefaultChannelColours[1]}));
    EXPECT_EQ(m_state.channels[2].paramCode, 0); // no parameter of that name
    EXPECT_EQ(m_state.channels[2].dataType, GCM_INT);
    ASSERT_EQ(Serie(0).GetPointCount(), 4u);
    EXPECT_EQ(Serie(0).GetYValue(1), 12.0);
    EXPECT_EQ(Serie(0).GetYValue(2), -5.0);
    ASSERT_EQ(Serie(1).GetPointCount(), 3u); // the short row ended before it
    EXPECT_EQ(Serie(1).GetYValue(1), 0.0);   // only "ON" is on
    EXPECT_EQ(Serie(1).GetStepMode(), 1);
    EXPECT_EQ(Serie(2).GetPointCount(), 2u); // the pair with an empty time was skipped
    for (size_t k = 0; k < kMaxChannels; ++k) {
        EXPECT_EQ(Serie(k).IsVisible(), k < 3);
    }
    EXPECT_EQ(m_state.trigger, tagTriggerSettings{});
    EXPECT_EQ(m_state.period, 35u);

    ASSERT_TRUE(Import("Time(ms),D5:REAL,Time(ms)\r\n1,2.5,99\r\n"));
    ASSERT_EQ(m_state.channels.size(), 1u);
    EXPECT_EQ(Serie(0).GetYValue(0), 2.5);
    EXPECT_EQ(Serie(1).GetPointCount(), 0u);
}

namespace {

using tagCsvData = std::vector<std::string>; // a row of cells

// Decimal commas for every stream of the program, as a German desktop would have them.
struct tagCommaDecimals : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

} // namespace

TEST_F(CsvFileTest, ARoundTripKeepsEveryPointUnderAnyLocale) {
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new tagCommaDecimals));
    const std::string cLocale = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8"); // where installed
    const std::vector<EnumGCMDataType> types{GCM_INT, GCM_DINT, GCM_REAL, GCM_BOOL, GCM_REAL, GCM_INT};
    for (size_t k = 0; k < types.size(); ++k) {
        std::vector<std::pair<double, double>> points;
        for (int i = 0; i < 1000 - static_cast<int>(k) * 100; ++i) {
            const double v = types[k] == GCM_REAL   ? i * 0.25 - 100.125
                             : types[k] == GCM_BOOL ? i % 2
                                                    : i * 37 - 5000;
            points.emplace_back(i * 5.0, v);
        }
        Add({"D" + std::to_string(k), 0, types[k], 1}, points);
    }
    ASSERT_TRUE(WriteCsvFile(m_path, m_state, *m_traces));
    tagMonitorState loaded;
    tagHeadlessTraces traces;
    ASSERT_TRUE(ReadCsvFile(m_path, loaded, *traces, &m_error)) << m_error;
    std::setlocale(LC_ALL, cLocale.c_str());
    std::locale::global(previous);
    ASSERT_EQ(loaded.channels.size(), 6u);
    for (size_t k = 0; k < types.size(); ++k) {
        EXPECT_EQ(loaded.channels[k].dataType, types[k]);
        ASSERT_EQ(traces->Trace(k).GetPointCount(), Serie(k).GetPointCount());
        for (uint32_t i = 0; i < Serie(k).GetPointCount(); ++i) {
            ASSERT_EQ(traces->Trace(k).GetXValue(i), Serie(k).GetXValue(i));
            ASSERT_EQ(traces->Trace(k).GetYValue(i), Serie(k).GetYValue(i)) << k << " " << i;
        }
    }
}
