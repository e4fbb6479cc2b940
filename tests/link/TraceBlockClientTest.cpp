// The trace block's two sides together, the controller's C code and the computer's client, on a
// bench where the test moves the controller's clock: every tick once, a lapped ring, records
// overwritten while they are read, counts past 32 bits, and the refusals a start can meet.
#include "link/TraceBlockClient.h"
#include "plctrace/chronotrace.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

// A controller with a trace block whose clock moves only when the test says. Every element's
// word is a function of its address and the controller's time, so a sample shows when it was
// taken and of what.
class CBenchBlock : public CTraceRegisters {
public:
    explicit CBenchBlock(uint32_t ringWords) : m_ring(ringWords) {
        ct_init(&m_block, m_ring.data(), ringWords, CT_INPUT_REGISTERS, 0, 1, &CBenchBlock::ReadElement,
                this);
    }
    static uint16_t Word(uint16_t address, uint64_t micros) {
        return static_cast<uint16_t>(address * 7u + micros / 125u);
    }
    // The controller's cycles up to now + micros, one every 125 µs.
    void Advance(uint64_t micros) {
        for (const uint64_t end = m_now + micros; m_now < end;) {
            m_now = std::min(end, m_now + 125);
            ct_cycle(&m_block, m_now);
        }
    }
    // Straight to a time, in one cycle: the ticks between get no samples.
    void Jump(uint64_t micros) {
        m_now = micros;
        ct_cycle(&m_block, m_now);
    }

    tagModbusOutcome ReadHeader(uint16_t offset, uint16_t count, uint16_t* words) override {
        return ct_read_header(&m_block, offset, count, words) ? tagModbusOutcome::Success() : Refused();
    }
    tagModbusOutcome WriteHeader(uint16_t offset, uint16_t count, const uint16_t* words) override {
        return ct_write_header(&m_block, offset, count, words) ? tagModbusOutcome::Success() : Refused();
    }
    tagModbusOutcome ReadRing(uint32_t offset, uint16_t count, uint16_t* words) override {
        EXPECT_LE(count, CTraceBlockClient::kMostRegistersPerRead);
        ++ringReads;
        // A device that serves a read in two pieces, with its controller running in between.
        const auto half = static_cast<uint16_t>(count / 2 + 1); // within a record
        if (!ct_read_ring(&m_block, offset, half, words)) {
            return Refused();
        }
        if (duringRingRead) {
            duringRingRead();
        }
        const bool read =
            ct_read_ring(&m_block, offset + half, static_cast<uint16_t>(count - half), words + half);
        return read ? tagModbusOutcome::Success() : Refused();
    }
    void Wait(std::chrono::milliseconds time) override {
        Advance(static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(time).count()));
    }

    ct_block& Block() { return m_block; }
    std::function<void()> duringRingRead; // the controller runs on in the middle of a read
    uint16_t unreachableFrom = 60000;     // addresses from here on are no element's
    int ringReads = 0;

private:
    static tagModbusOutcome Refused() { return {tagModbusOutcome::Exception, 2, "Illegal data address"}; }
    static int ReadElement(void* context, int, uint16_t address, uint16_t count, uint16_t* words) {
        auto* self = static_cast<CBenchBlock*>(context);
        if (address + count > self->unreachableFrom) {
            return 0;
        }
        for (uint16_t i = 0; i < count; ++i) {
            words[i] = Word(static_cast<uint16_t>(address + i), self->m_now);
        }
        return 1;
    }

    std::vector<uint16_t> m_ring;
    ct_block m_block{};
    uint64_t m_now = 0;
};

tagTraceChannel Holding(uint16_t address, int words, EnumGCMDataType type, const std::string& name) {
    return {{MODBUS_HOLDING_REGISTERS, address, words, -1}, type, name};
}

class TraceBlockClientTest : public ::testing::Test {
protected:
    // Starts a run of the usual three channels at the period; false with the reason in m_error.
    bool Start(tagPeriod period = std::chrono::milliseconds(1)) {
        m_period = period;
        return m_client.Find(m_error) == CTraceBlockClient::EnumFound::Found &&
               m_client.Start(m_map, m_channels, m_period, m_error);
    }
    std::vector<tagTracedSample> ReadNew() {
        std::vector<tagTracedSample> samples;
        const tagModbusOutcome read = m_client.ReadNew(samples);
        EXPECT_TRUE(read.ok()) << read.text;
        return samples;
    }
    // Each channel's word(s) are the element's at the tick's time.
    void ExpectTakenAtItsTick(const tagTracedSample& sample) {
        const uint64_t micros = m_bench.Block().start_us + sample.tick * m_bench.Block().period_us;
        EXPECT_EQ(static_cast<int16_t>(sample.sample.raw[0]),
                  static_cast<int16_t>(CBenchBlock::Word(100, micros)));
        EXPECT_EQ(sample.sample.raw[1],
                  m_map.Join(CBenchBlock::Word(200, micros), CBenchBlock::Word(201, micros)));
        EXPECT_EQ(static_cast<int16_t>(sample.sample.raw[2]),
                  static_cast<int16_t>(CBenchBlock::Word(300, micros)));
    }

    CModbusMap m_map;
    std::vector<tagTraceChannel> m_channels{Holding(100, 1, GCM_INT, "D100"),
                                            Holding(200, 2, GCM_DINT, "D200"),
                                            Holding(300, 1, GCM_INT, "D300")};
    // Records of 2 + 4 words: 200 of them.
    CBenchBlock m_bench{1200};
    CTraceBlockClient m_client{m_bench};
    tagPeriod m_period{};
    std::string m_error;
};

} // namespace

TEST_F(TraceBlockClientTest, EveryTickOnceAndInOrderHoweverTheReadsFall) {
    ASSERT_TRUE(Start()) << m_error;
    EXPECT_EQ(m_period, std::chrono::milliseconds(1));
    std::vector<tagTracedSample> all;
    uint32_t seed = 7;
    for (int i = 0; i < 400; ++i) {
        seed = seed * 1103515245u + 12345u;
        m_bench.Advance((seed >> 16) % 150 * 1000); // 0 to 149 ms between looks: within the ring
        const std::vector<tagTracedSample> got = ReadNew();
        all.insert(all.end(), got.begin(), got.end());
    }
    ASSERT_GT(all.size(), 20000u);
    for (size_t i = 0; i < all.size(); ++i) {
        ASSERT_EQ(all[i].tick, i);
        ExpectTakenAtItsTick(all[i]);
    }
    EXPECT_EQ(m_client.Statistics().overruns, 0u);
    // Up to 20 records of six registers in a read of 125.
    EXPECT_LE(m_bench.ringReads, static_cast<int>(all.size() / 20 + 400 * 2));
}

TEST_F(TraceBlockClientTest, ALappedRingLosesExactlyTheOverwrittenTicksAndTimeGoesOn) {
    ASSERT_TRUE(Start()) << m_error;
    m_bench.Advance(50'000);
    std::vector<tagTracedSample> all = ReadNew();
    const uint32_t readBefore = m_bench.Block().written;
    ASSERT_EQ(all.size(), readBefore);
    m_bench.Advance(1'000'000); // a second unread: 1000 records into a ring of 200
    const uint32_t lappedAt = m_bench.Block().written;
    const std::vector<tagTracedSample> after = ReadNew();
    EXPECT_EQ(m_client.Statistics().overruns, 1u);
    // The ring's 200 newest records survive; the 800 before them are lost, no more, no fewer.
    ASSERT_EQ(after.size(), 200u);
    EXPECT_EQ(after.front().tick, lappedAt - 200u);
    all.insert(all.end(), after.begin(), after.end());
    m_bench.Advance(10'000);
    const std::vector<tagTracedSample> last = ReadNew();
    all.insert(all.end(), last.begin(), last.end());
    for (size_t i = 1; i < all.size(); ++i) {
        ASSERT_GT(all[i].tick, all[i - 1].tick);
        ExpectTakenAtItsTick(all[i]);
    }
    EXPECT_EQ(all.back().tick + 1 - all.size(), lappedAt - 200u - readBefore);
}

TEST_F(TraceBlockClientTest, RecordsOverwrittenWhileTheyAreReadAreNeverGiven) {
    ASSERT_TRUE(Start()) << m_error;
    // The first read of each look lasts 30 periods, and the device serves it in two pieces: the
    // records it asks for are written over, some of them halfway through.
    bool slow = false;
    m_bench.duringRingRead = [&] {
        if (std::exchange(slow, false)) {
            m_bench.Advance(30'000);
        }
    };
    std::vector<tagTracedSample> all;
    for (int i = 0; i < 40; ++i) {
        m_bench.Advance(195'000);
        slow = true;
        const std::vector<tagTracedSample> got = ReadNew();
        all.insert(all.end(), got.begin(), got.end());
    }
    ASSERT_GT(all.size(), 100u);
    for (size_t i = 0; i < all.size(); ++i) {
        ASSERT_TRUE(i == 0 || all[i].tick > all[i - 1].tick) << i;
        ExpectTakenAtItsTick(all[i]); // a record half written over would show another time
    }
    EXPECT_GT(m_client.Statistics().overruns, 0u);
}

TEST_F(TraceBlockClientTest, TicksAndCountsCarryOnPast32Bits) {
    ASSERT_TRUE(Start(tagPeriod(1))) << m_error; // 1/8 ms
    m_bench.Advance(300 * 125);                  // the ring full
    // Five days and more on, in a few steps: ticks near the end of 32 bits, a count about to wrap.
    ct_block& block = m_bench.Block();
    block.written = 0xFFFFFFFFu - 30;
    std::vector<tagTracedSample> all;
    // Read at least every 2^31 ticks, as any reader does.
    for (const uint64_t tick :
         {uint64_t{1} << 30, uint64_t{2} << 30, uint64_t{3} << 30, (uint64_t{1} << 32) - 100}) {
        m_bench.Jump(block.start_us + tick * 125);
        const std::vector<tagTracedSample> got = ReadNew(); // the first lapped: the count is far on
        all.insert(all.end(), got.begin(), got.end());
    }
    for (int i = 0; i < 10; ++i) {
        m_bench.Advance(125 * 20);
        const std::vector<tagTracedSample> got = ReadNew();
        all.insert(all.end(), got.begin(), got.end());
    }
    EXPECT_LT(block.written, 1000u); // the count wrapped
    ASSERT_GT(all.size(), 150u);
    EXPECT_GT(all.back().tick, uint64_t{1} << 32);
    size_t jumped = 0;
    for (size_t i = 1; i < all.size(); ++i) {
        ASSERT_GT(all[i].tick, all[i - 1].tick) << i;
        EXPECT_EQ(all[i].sample.tick, static_cast<uint32_t>(all[i].tick));
        ExpectTakenAtItsTick(all[i]);
        jumped = all[i].tick - all[i - 1].tick > 1 ? i : jumped;
    }
    EXPECT_GT(all.size() - jumped, 150u); // consecutive from the jump on, across both wraps
    EXPECT_EQ(all[jumped].tick, (uint64_t{1} << 32) - 100);
}

TEST_F(TraceBlockClientTest, AStartItCannotKeepFailsWithTheReason) {
    // A block made for two channels.
    m_bench.Block().header[CT_H_MAX_CHANNELS] = 2;
    EXPECT_FALSE(Start());
    EXPECT_EQ(m_error, "the trace block takes 1 to 2 channels");
    m_bench.Block().header[CT_H_MAX_CHANNELS] = CT_MAX_CHANNELS;
    // An element the controller's sampler cannot read, named.
    m_bench.unreachableFrom = 250;
    EXPECT_FALSE(Start());
    EXPECT_EQ(m_error, "D300: the trace block cannot reach the element");
    m_bench.unreachableFrom = 60000;
    // Records wider than the whole ring.
    CBenchBlock small(5);
    CTraceBlockClient client(small);
    tagPeriod period = std::chrono::milliseconds(1);
    ASSERT_EQ(client.Find(m_error), CTraceBlockClient::EnumFound::Found);
    EXPECT_FALSE(client.Start(m_map, m_channels, period, m_error));
    EXPECT_EQ(m_error, "the channels' record does not fit the trace block's ring");
    // A version this program does not speak, and no block at all.
    m_bench.Block().header[CT_H_VERSION] = 2;
    EXPECT_EQ(m_client.Find(m_error), CTraceBlockClient::EnumFound::Unsupported);
    EXPECT_EQ(m_error, "the trace block speaks version 2, this program version 1");
    m_bench.Block().header[CT_H_SIGNATURE_0] = 0;
    EXPECT_EQ(m_client.Find(m_error), CTraceBlockClient::EnumFound::Absent);
    // The computer cannot write the controller's words.
    const uint16_t word = 1;
    EXPECT_FALSE(m_bench.WriteHeader(CT_H_STATE, 1, &word).ok());
    EXPECT_FALSE(m_bench.WriteHeader(CT_H_RING_ADDRESS, 1, &word).ok());
}

TEST_F(TraceBlockClientTest, APeriodBelowTheControllersShortestBecomesItsShortest) {
    m_bench.Block().header[CT_H_SHORTEST_PERIOD] = 16; // 2 ms
    ASSERT_TRUE(Start(std::chrono::milliseconds(1))) << m_error;
    EXPECT_EQ(m_period, std::chrono::milliseconds(2));
    EXPECT_EQ(m_client.Statistics().period, std::chrono::milliseconds(2));
    m_bench.Advance(100'000);
    const std::vector<tagTracedSample> got = ReadNew();
    ASSERT_GE(got.size(), 50u);
    for (size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i].tick, i);
        ExpectTakenAtItsTick(got[i]); // 2 ms apart
    }
}

TEST_F(TraceBlockClientTest, StopEndsTheRunAndANewRunIsToldFromTheOld) {
    ASSERT_TRUE(Start()) << m_error;
    m_bench.Advance(20'000);
    ReadNew();
    m_client.Stop();
    m_bench.Advance(1000);
    std::vector<tagTracedSample> samples;
    EXPECT_EQ(m_client.ReadNew(samples).kind, tagModbusOutcome::Ended);
    ASSERT_TRUE(Start()) << m_error;
    m_bench.Advance(10'000);
    const std::vector<tagTracedSample> again = ReadNew();
    ASSERT_FALSE(again.empty());
    EXPECT_EQ(again.front().tick, 0u); // the new run's ticks
}
