// The recording journal against the traces the batches build: what it replays is, point for point,
// what the chart held at its last commit, over a base file, across recordings, triggers, holds and
// cache trims; a journal that cannot be written says so and loses nothing already committed.
#include "files/RecordingJournal.h"
#include "TempFolder.h"
#include "acquisition/Recorder.h"
#include "files/DataFile.h"
#include "support/HeadlessTraces.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

// What a recording hands its journal: the samples that became points.
struct tagJournalSink : CBatchSink {
    explicit tagJournalSink(CRecordingJournal& journal) : journal(journal) {}
    void Plotted(std::span<const tagOscilloVal> samples) override { journal.Append(samples); }
    CRecordingJournal& journal;
};

// Every point of the state's traces equal, in order.
void ExpectSameTraces(const tagMonitorState& state, CTraceSet& expected, CTraceSet& actual) {
    for (size_t k = 0; k < state.channels.size(); ++k) {
        const CTrace& a = expected.Trace(k);
        const CTrace& b = actual.Trace(k);
        ASSERT_EQ(a.GetPointCount(), b.GetPointCount()) << "channel " << k;
        for (uint32_t i = 0; i < a.GetPointCount(); ++i) {
            ASSERT_EQ(a.GetXValue(i), b.GetXValue(i)) << "channel " << k << " point " << i;
            const double ya = a.GetYValue(i), yb = b.GetYValue(i); // REAL words may be NaN
            ASSERT_TRUE(ya == yb || (std::isnan(ya) && std::isnan(yb))) << "channel " << k << " point " << i;
        }
    }
}

// A recording as the recorder starts it: the values the traces hold it from.
tagRecordingStart StartOf(const tagMonitorState& state, CTraceSet& traces, uint16_t period, double offset) {
    tagRecordingStart start{state.channels, g_PeriodOfEighths(period), offset, {}};
    for (size_t k = 0; k < state.channels.size(); ++k) {
        double y = 0;
        start.hold.push_back(traces.Trace(k).GetLastPoint(nullptr, &y) ? std::optional(y) : std::nullopt);
    }
    return start;
}

double LatestX(const tagMonitorState& state, CTraceSet& traces) {
    double latest = 0;
    for (size_t k = 0; k < state.channels.size(); ++k) {
        double x = 0;
        if (traces.Trace(k).GetLastPoint(&x, nullptr)) {
            latest = std::max(latest, x);
        }
    }
    return latest;
}

} // namespace

TEST(RecordingJournalTest, ReplayGivesThePointsTheBatchesBuiltOverTheBaseAcrossTriggersAndTrims) {
    for (unsigned seed = 1; seed <= 25; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
        CTempFolder folder;
        tagHeadlessTraces reference;
        tagMonitorState state;

        // What the traces held before: a loaded file, or nothing.
        std::string base;
        reference.AddChannel(state, {"D0", 0, GCM_INT, 1}, {});
        reference.AddChannel(state, {"D10", 0, GCM_DINT, 2}, {});
        reference.AddChannel(state, {"D20", 0, GCM_REAL, 3}, {});
        if (chance(60)) {
            for (size_t k = 0; k < 3; ++k) {
                for (int i = 0, n = static_cast<int>(random() % 40); i < n; ++i) {
                    reference->Trace(k).AddPoint(i * 20.0, static_cast<double>(random() % 7));
                }
            }
            base = folder.File("base.data");
            ASSERT_TRUE(WriteDataFile(base, state, *reference, nullptr));
        }
        CRecordingJournal journal(folder.File("j.journal"));
        journal.Reset(base);

        for (int recording = 0; recording < 3; ++recording) {
            if (recording == 1 && chance(50)) {
                reference.AddChannel(state, {"M0", 0, GCM_BOOL, 4}, {}); // a channel added between runs
            }
            const uint16_t period = std::array<uint16_t, 3>{8, 40, 160}[random() % 3];
            const double offset = LatestX(state, *reference) + period / 8.0;
            tagTriggerSettings trigger;
            if (chance(40)) {
                trigger = {1, 0, TRIGGER_GREATER, 3.0};
            }
            journal.BeginRecording(StartOf(state, *reference, period, offset), trigger, "sim");
            tagBatchContext context{g_PeriodOfEighths(period), offset, 1};
            std::vector<EnumGCMDataType> types;
            for (const tagOscilloElem& channel : state.channels) {
                types.push_back(channel.dataType);
            }
            CTriggerCapture capture;
            capture.Start(trigger, {}, types, g_PeriodOfEighths(period));
            tagJournalSink sink{journal};
            uint32_t tick = static_cast<uint32_t>(random() % 3);
            for (int batch = 0, batches = 1 + static_cast<int>(random() % 6); batch < batches; ++batch) {
                tagOscilloData block;
                for (size_t k = 0; k < state.channels.size(); ++k) {
                    block.types.push_back(state.channels[k].dataType);
                }
                for (int s = 0, n = static_cast<int>(random() % 60); s < n; ++s) {
                    tagOscilloVal sample;
                    sample.tick = tick;
                    tick += chance(10) ? 2 : 1; // a tick the link skipped
                    for (auto& raw : sample.raw) {
                        // Few values, so that holds meet equal and unequal first samples.
                        raw = chance(50) ? static_cast<uint32_t>(random() % 6)
                                         : static_cast<uint32_t>(random());
                    }
                    block.samples.push_back(sample);
                }
                AddSamplesToTraces(block, capture, context, *reference, &sink);
                const CTrace& first = reference->Trace(0);
                if (chance(25) && first.GetPointCount() > 4) {
                    // The cache trim's cut: a point's time, so that points may lie on it.
                    const double cut =
                        first.GetXValue(static_cast<uint32_t>(random() % (first.GetPointCount() - 1)));
                    std::vector<uint32_t> kept;
                    for (size_t k = 0; k < state.channels.size(); ++k) {
                        reference->Trace(k).RemovePointsUpTo(cut);
                        uint32_t n = 0;
                        while (n < reference->Trace(k).GetPointCount() &&
                               reference->Trace(k).GetXValue(n) == cut) {
                            ++n;
                        }
                        kept.push_back(n);
                    }
                    journal.DropUpTo(cut, kept);
                }
            }
        }
        journal.Commit();
        ASSERT_FALSE(journal.Failed()) << journal.Error();

        tagHeadlessTraces replayed;
        tagMonitorState recovered;
        std::string error;
        ASSERT_TRUE(CRecordingJournal::Replay(folder.File("j.journal"), recovered, *replayed, &error))
            << error;
        ASSERT_EQ(recovered.channels, state.channels);
        ExpectSameTraces(state, *reference, *replayed);
    }
}

TEST(RecordingJournalTest, SummaryResetRetireAndSetAside) {
    CTempFolder folder;
    const std::string path = folder.File("LadderDesk/Chrono.journal"); // the folder is made with it
    EXPECT_FALSE(CRecordingJournal::Inspect(path).exists);
    tagMonitorState state;
    tagHeadlessTraces traces;
    traces.AddChannel(state, {"D1", 0, GCM_INT, 1}, {});
    {
        CRecordingJournal journal(path);
        journal.Reset({});
        journal.BeginRecording({state.channels, g_PeriodOfEighths(8), 0.0, {std::nullopt}}, {}, "sim");
        tagOscilloVal sample;
        for (uint32_t t = 0; t < 100; ++t) {
            sample.tick = t;
            journal.Append({&sample, 1});
        }
        journal.Commit();
        const tagJournalSummary summary = CRecordingJournal::Inspect(path);
        EXPECT_EQ(summary.samples, 100u);
        ASSERT_TRUE(summary.started && summary.lastCommit);
        EXPECT_LE(*summary.started, *summary.lastCommit);
        EXPECT_LT(std::chrono::system_clock::now() - *summary.lastCommit, std::chrono::seconds(5));

        // Channels changed: nothing of it is the traces' any more.
        journal.Reset({});
        journal.Commit();
        EXPECT_EQ(CRecordingJournal::Inspect(path).samples, 0u);
        journal.BeginRecording({state.channels, g_PeriodOfEighths(8), 0.0, {std::nullopt}}, {}, "sim");
        journal.Append({&sample, 1});
    } // ends without retiring: a crash as far as the file can tell, after the destructor's commit
    EXPECT_EQ(CRecordingJournal::Inspect(path).samples, 1u);

    // Set aside: one file that still replays.
    const std::string aside = folder.File("aside.journal");
    std::string error;
    ASSERT_TRUE(CRecordingJournal::SetAside(path, aside, &error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(std::filesystem::exists(aside + "-wal"));
    tagMonitorState recovered;
    tagHeadlessTraces replayed;
    ASSERT_TRUE(CRecordingJournal::Replay(aside, recovered, *replayed, &error)) << error;
    EXPECT_EQ(replayed->Trace(0).GetPointCount(), 1u);

    // Retired: gone, and ready for the next recording.
    CRecordingJournal journal(aside);
    journal.Retire();
    EXPECT_FALSE(std::filesystem::exists(aside));
    journal.Reset({});
    journal.Commit();
    EXPECT_TRUE(std::filesystem::exists(aside));
}

TEST(RecordingJournalTest, AJournalThatCannotBeWrittenSaysWhyAndOneThatCannotBeReadLeavesWhatWasRead) {
    CTempFolder folder;
    // A file where its folder should be.
    { std::ofstream(folder.File("blocked")) << "x"; }
    CRecordingJournal journal(folder.File("blocked/Chrono.journal"));
    journal.Reset({});
    journal.Commit();
    EXPECT_TRUE(journal.Failed());
    EXPECT_NE(journal.Error().find("blocked/Chrono.journal"), std::string::npos) << journal.Error();

    // Not a database at all.
    { std::ofstream(folder.File("junk.journal")) << std::string(5000, 'j'); }
    const tagJournalSummary junk = CRecordingJournal::Inspect(folder.File("junk.journal"));
    EXPECT_TRUE(junk.exists);
    EXPECT_FALSE(junk.error.empty());
    tagMonitorState state;
    tagHeadlessTraces traces;
    std::string error;
    EXPECT_FALSE(CRecordingJournal::Replay(folder.File("junk.journal"), state, *traces, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(state.channels.empty());

    // A base file that went missing: the recordings still come back, and the reason is given.
    CRecordingJournal based(folder.File("based.journal"));
    based.Reset(folder.File("gone.data"));
    tagMonitorState recorded;
    tagHeadlessTraces recordedTraces;
    recordedTraces.AddChannel(recorded, {"D1", 0, GCM_INT, 1}, {});
    based.BeginRecording({recorded.channels, g_PeriodOfEighths(8), 0.0, {std::nullopt}}, {}, "sim");
    const tagOscilloVal zero{};
    based.Append({&zero, 1});
    based.Commit();
    EXPECT_FALSE(CRecordingJournal::Replay(folder.File("based.journal"), state, *traces, &error));
    EXPECT_NE(error.find("gone.data"), std::string::npos) << error;
    EXPECT_EQ(traces->Trace(0).GetPointCount(), 1u);
}
