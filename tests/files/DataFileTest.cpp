#include "files/DataFile.h"
#include "TempFolder.h"
#include "acquisition/ChannelModel.h"
#include "support/HeadlessTraces.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

// Builds a file's bytes field by field, as another program would write them.
class CBytes {
public:
    CBytes& U8(uint8_t v) { return Raw(&v, 1); }
    CBytes& U16(uint16_t v) { return Raw(&v, 2); }
    CBytes& U32(uint32_t v) { return Raw(&v, 4); }
    CBytes& F64(double v) { return Raw(&v, 8); }
    CBytes& Wide(const std::u16string& s) { // the Unicode string form, short length
        U8(0xFF).U16(0xFFFE).U8(static_cast<uint8_t>(s.size()));
        for (char16_t c : s) {
            U16(static_cast<uint16_t>(c));
        }
        return *this;
    }
    CBytes& Ansi(const std::string& s) {
        U8(static_cast<uint8_t>(s.size()));
        return Raw(s.data(), s.size());
    }
    CBytes& Raw(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
        return *this;
    }
    // The fixed part: link words 2..10 and the given period and step.
    CBytes& Fixed(uint32_t reserved, uint32_t period, uint32_t step) {
        U32(reserved).U32(INTERFACE_ETHERNET);
        for (uint32_t w = 2; w <= 10; ++w) {
            U32(w);
        }
        return U32(period).U32(step);
    }
    CBytes& Display(uint32_t step, double offset, double scale, uint32_t colour, uint8_t visible) {
        return U32(step).F64(offset).F64(scale).U32(colour).U8(visible);
    }
    std::vector<uint8_t> bytes;
};

class DataFileTest : public ::testing::Test {
protected:
    std::string Put(const std::vector<uint8_t>& bytes, const std::string& name = "in.data") {
        const std::string path = m_folder.File(name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    std::vector<uint8_t> Get(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    EnumDataFileRead Read(const std::vector<uint8_t>& bytes) {
        return ReadDataFile(Put(bytes), m_state, *m_traces);
    }
    CTrace& Serie(size_t k) { return m_traces->Trace(k); }

    CTempFolder m_folder;
    tagHeadlessTraces m_traces;
    tagMonitorState m_state;
};

// Two channels (one in each string form), three displays set, a trigger, points in two slots.
CBytes SampleFile(uint32_t seriesCount = 6) {
    CBytes b;
    b.Fixed(0xDEADBEEF, 50, 500).U32(2);
    b.Wide(u"D100").U16(0).U32(0x112233).U32(GCM_INT);
    b.Ansi("AXIS3").U16(17).U32(0x445566).U32(GCM_DINT);
    b.U32(seriesCount);
    for (uint32_t k = 0; k < std::min<uint32_t>(seriesCount, 6); ++k) {
        b.Display(k == 0, k * 10.0, 0.5 + k, 0x010203 * (k + 1), k < 2 ? 1 : 0);
    }
    if (seriesCount > 6) {
        return b; // a reader stops after the sixth display record
    }
    b.U32(1).U32(1).U32(TRIGGER_GREATER_EQUAL).F64(2.5);
    for (uint32_t k = 0; k < seriesCount; ++k) {
        const uint32_t n = k == 0 ? 2 : k == 1 ? 1 : 0;
        b.U32(n);
        for (uint32_t i = 0; i < n; ++i) {
            b.F64(100.0 * i).F64(k * 1000.0 + i);
        }
    }
    return b.U32(1).U32(1).U32(1200000);
}

} // namespace

TEST_F(DataFileTest, AHandMadeFileFillsEveryField) {
    ASSERT_EQ(Read(SampleFile().bytes), EnumDataFileRead::Read);
    EXPECT_EQ(m_state.interfaceType, INTERFACE_ETHERNET);
    EXPECT_EQ(m_state.link, (tagSerialInfo{2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(m_state.period, 50u);
    EXPECT_EQ(m_state.timeAxisStep, 500u);
    ASSERT_EQ(m_state.channels.size(), 2u);
    EXPECT_EQ(m_state.channels[0], (tagOscilloElem{"D100", 0, GCM_INT, 0x112233}));
    EXPECT_EQ(m_state.channels[1], (tagOscilloElem{"AXIS3", 17, GCM_DINT, 0x445566}));
    EXPECT_EQ(Serie(0).GetStepMode(), 1);
    EXPECT_EQ(Serie(1).GetYOffset(), 10.0);
    EXPECT_EQ(Serie(2).GetYScale(), 2.5);
    EXPECT_EQ(Serie(1).GetColor(), 0x020406u);
    EXPECT_TRUE(Serie(1).IsVisible());
    EXPECT_FALSE(Serie(2).IsVisible());
    EXPECT_EQ(m_state.trigger, (tagTriggerSettings{1, 1, TRIGGER_GREATER_EQUAL, 2.5}));
    ASSERT_EQ(Serie(0).GetPointCount(), 2u);
    EXPECT_EQ(Serie(0).GetXValue(1), 100.0);
    EXPECT_EQ(Serie(0).GetYValue(1), 1.0);
    EXPECT_EQ(Serie(1).GetYValue(0), 1000.0);
    EXPECT_EQ(m_state.maximized, 1u);
    EXPECT_EQ(m_state.autoSave, 1u);
    EXPECT_EQ(m_state.cacheSize, 1200000u);
}

TEST_F(DataFileTest, TheWriterProducesExactlyTheLayout) {
    ASSERT_EQ(Read(SampleFile().bytes), EnumDataFileRead::Read);
    const std::string out = m_folder.File("out.data");
    ASSERT_TRUE(WriteDataFile(out, m_state, *m_traces, nullptr));
    // Written back: reserved 0 and every name in the Unicode form; otherwise the same bytes.
    CBytes expected;
    expected.Fixed(0, 50, 500).U32(2);
    expected.Wide(u"D100").U16(0).U32(0x112233).U32(GCM_INT);
    expected.Wide(u"AXIS3").U16(17).U32(0x445566).U32(GCM_DINT);
    const std::vector<uint8_t> sample = SampleFile().bytes;
    const size_t tail = 4 + 4 + 9 * 4 + 4 + 4 + 4 + 12 + 2 + 4 + 4 + 6 + 2 + 4 + 4;
    expected.Raw(sample.data() + tail, sample.size() - tail);
    EXPECT_EQ(Get(out), expected.bytes);

    // D100 as the documentation of the format shows it.
    const std::vector<uint8_t> d100{0xFF, 0xFE, 0xFF, 0x04, 0x44, 0x00, 0x31, 0x00, 0x30, 0x00, 0x30, 0x00};
    const std::vector<uint8_t> written = Get(out);
    EXPECT_TRUE(std::search(written.begin(), written.end(), d100.begin(), d100.end()) != written.end());
}

TEST_F(DataFileTest, LongAndWideNamesUseTheLongerLengthForms) {
    m_state.channels = {{std::string(300, 'W'), 0, GCM_INT, 1}, {"电机", 0, GCM_REAL, 2}};
    const std::string out = m_folder.File("names.data");
    ASSERT_TRUE(WriteDataFile(out, m_state, *m_traces, nullptr));
    const std::vector<uint8_t> bytes = Get(out);
    const size_t name = 56;
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + name, bytes.begin() + name + 6),
              (std::vector<uint8_t>{0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01}));
    m_state = {};
    ASSERT_EQ(ReadDataFile(out, m_state, *m_traces), EnumDataFileRead::Read);
    EXPECT_EQ(m_state.channels[0].name, std::string(300, 'W'));
    EXPECT_EQ(m_state.channels[1].name, "电机");
}

TEST_F(DataFileTest, SeriesCountsBelowAndAboveSix) {
    ASSERT_EQ(Read(SampleFile(3).bytes), EnumDataFileRead::Read);
    EXPECT_EQ(Serie(2).GetYScale(), 2.5);
    EXPECT_EQ(Serie(3).GetYScale(), 1.0); // reset state
    EXPECT_EQ(Serie(3).GetColor(), DefaultChannelColours[3]);
    EXPECT_EQ(Serie(0).GetPointCount(), 2u);
    EXPECT_EQ(m_state.cacheSize, 1200000u);

    m_state.cacheSize = 7200000;
    m_state.maximized = 0;
    ASSERT_EQ(Read(SampleFile(7).bytes), EnumDataFileRead::Read);
    EXPECT_EQ(Serie(5).GetYScale(), 5.5);
    EXPECT_EQ(m_state.trigger, tagTriggerSettings{});
    EXPECT_EQ(Serie(0).GetPointCount(), 0u);
    EXPECT_EQ(m_state.cacheSize, 7200000u); // not reached
    EXPECT_EQ(m_state.maximized, 0u);
}

TEST_F(DataFileTest, AFileWithoutChannels) {
    const std::string out = m_folder.File("empty.data");
    ASSERT_TRUE(WriteDataFile(out, m_state, *m_traces, nullptr));
    EXPECT_EQ(Get(out).size(), 56u + 4 + 6 * 25 + 20 + 6 * 4 + 12);
    Serie(0).AddPoint(1, 1);
    m_state.channels = {{"D0", 0, GCM_INT, 1}};
    ASSERT_EQ(ReadDataFile(out, m_state, *m_traces), EnumDataFileRead::Read);
    EXPECT_TRUE(m_state.channels.empty());
    for (size_t k = 0; k < kMaxChannels; ++k) {
        EXPECT_EQ(Serie(k).GetPointCount(), 0u);
        EXPECT_FALSE(Serie(k).IsVisible());
    }
}

TEST_F(DataFileTest, ATruncatedFileKeepsWhatWasRead) {
    std::vector<uint8_t> bytes = SampleFile().bytes;
    bytes.resize(bytes.size() - 12 - 5 * 4 - 16 - 4 - 8); // inside slot 0's second point
    ASSERT_EQ(Read(bytes), EnumDataFileRead::Damaged);
    EXPECT_EQ(m_state.channels.size(), 2u);
    EXPECT_EQ(m_state.trigger.value, 2.5);
    EXPECT_EQ(Serie(0).GetPointCount(), 1u); // the whole first point
    EXPECT_EQ(Serie(1).GetPointCount(), 0u);
    EXPECT_EQ(Serie(2).GetYScale(), 2.5);
}

TEST_F(DataFileTest, AnnouncedLengthsBeyondTheFileAreDamageNotAllocations) {
    CBytes name;
    name.Fixed(0, 20, 1000).U32(1).U8(0xFF).U16(0xFFFE).U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFE);
    EXPECT_EQ(Read(name.bytes), EnumDataFileRead::Damaged);
    CBytes channels;
    channels.Fixed(0, 20, 1000).U32(1000000);
    EXPECT_EQ(Read(channels.bytes), EnumDataFileRead::Damaged);
    EXPECT_TRUE(m_state.channels.empty());
    CBytes points;
    points.Fixed(0, 20, 1000).U32(0).U32(1);
    points.Display(0, 0, 1, 1, 1).U32(0).U32(0).U32(0).F64(0).U32(0x80000000).F64(1).F64(2);
    EXPECT_EQ(Read(points.bytes), EnumDataFileRead::Damaged);
    EXPECT_EQ(Serie(0).GetPointCount(), 1u);
    EXPECT_LT(Serie(0).GetPointCount(), 1000u);
    EXPECT_EQ(ReadDataFile(m_folder.File("absent.data"), m_state, *m_traces), EnumDataFileRead::Missing);
}

TEST_F(DataFileTest, ALimitWritesTheLeadingPointsOnly) {
    m_state.channels = {{"D0", 0, GCM_INT, 1}, {"D1", 0, GCM_INT, 2}};
    for (int i = 0; i < 10; ++i) {
        Serie(0).AddPoint(i * 10.0, i);
        Serie(1).AddPoint(1000.0 + i, i); // the limit lies outside this trace
    }
    const double limit = 45.0;
    const std::string out = m_folder.File("cut.data");
    ASSERT_TRUE(WriteDataFile(out, m_state, *m_traces, &limit));
    ASSERT_EQ(ReadDataFile(out, m_state, *m_traces), EnumDataFileRead::Read);
    EXPECT_EQ(Serie(0).GetPointCount(), 5u); // 0..40
    EXPECT_EQ(Serie(1).GetPointCount(), 10u);
}

TEST_F(DataFileTest, AFolderThatCannotBeMadeFailsTheSave) {
    std::ofstream(m_folder.File("blocker")) << "a file, not a folder";
    EXPECT_FALSE(WriteDataFile(m_folder.File("blocker/sub/x.data"), m_state, *m_traces, nullptr));
    EXPECT_TRUE(WriteDataFile(m_folder.File("new/deeper/x.data"), m_state, *m_traces, nullptr));
}
