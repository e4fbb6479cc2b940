// Hours of recording at 1 ms on a fast controller clock, through cache trimming with automatic
// saving: the saved files and the chart together hold every controller tick exactly once, with
// the machine's values.
#include "TempFolder.h"
#include "acquisition/ChannelModel.h"
#include "files/DataFile.h"
#include "files/WorkspacePaths.h"
#include "link/Communicater.h"
#include "sim/ElementMemory.h"
#include "sim/SimulatedController.h"
#include "sim/SimulatedMachine.h"
#include "support/HeadlessTraces.h"
#include "support/LinkTestHelpers.h"
#include "support/RecordingSurface.h"
#include "support/TestSessionView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

using namespace std::chrono_literals;

constexpr uint32_t kCache = 1'200'000;

// Checks one trace slot's points against the machine: consecutive ticks from firstTick on and
// the value the controller's memory held at each (every 499th point and the ends).
void CheckPoints(const CTrace& serie, const tagOscilloElem& channel, uint64_t firstTick,
                 const CSimulatorPanel& sim) {
    const auto ref = g_ResolveElement(channel.name, channel.paramCode, true);
    ASSERT_TRUE(ref.has_value());
    const uint32_t n = serie.GetPointCount();
    for (uint32_t i = 0; i < n; ++i) {
        ASSERT_EQ(serie.GetXValue(i), static_cast<double>(firstTick + i)) << channel.name << " point " << i;
        if (i % 499 == 0 || i + 1 == n) {
            CElementMemory memory;
            CSimulatedMachine::Apply(sim.MachineTimeOfTick(static_cast<uint32_t>(firstTick + i)), memory);
            const double expected =
                ConvertRawValue(memory.Read(*ref, channel.dataType).value_or(0), channel.dataType);
            ASSERT_EQ(serie.GetYValue(i), expected) << channel.name << " tick " << firstTick + i;
        }
    }
}

} // namespace

TEST(Soak, SixChannelsAtOneMillisecondThroughFiveCacheCutsLoseNoTick) {
    CTempFolder documents;
    CSimulatedLink link(200); // the controller's clock 200 times faster
    const CSimulatorPanel& sim = link.Panel();

    CTestSessionView view;
    auto session = std::make_unique<CMonitorSession>(view);
    view.session = session.get();
    session->Link().Apply();
    const std::vector<tagOscilloElem> channels{Channel("D0", GCM_INT),   Channel("D1", GCM_INT),
                                               Channel("D2", GCM_INT),   Channel("D10", GCM_DINT),
                                               Channel("D20", GCM_REAL), Channel("M3", GCM_BOOL)};
    for (const tagOscilloElem& c : channels) {
        session->Channels().Add(c);
    }
    session->Fields().OnPeriodChanged("1");
    session->Fields().SetCache(true, kCache);
    session->Fields().OnAdaptive(false);

    auto files = [] {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(AutoSaveFolder(), ec)) {
            names.push_back(entry.path().string());
        }
        std::sort(names.begin(), names.end()); // time-stamped names sort by time
        return names;
    };
    session->OnRun();
    ASSERT_TRUE(session->IsRecording());
    const auto deadline = std::chrono::steady_clock::now() + 100s;
    while (files().size() < 5 && std::chrono::steady_clock::now() < deadline) {
        view.Pump(200ms);
    }
    session->OnRun();
    view.PumpMessages();
    ASSERT_TRUE(view.messages.empty());
    const std::vector<std::string> saved = files();
    ASSERT_GE(saved.size(), 5u);

    uint64_t nextTick = 0;
    for (const std::string& path : saved) {
        tagHeadlessTraces traces;
        tagMonitorState state;
        ASSERT_EQ(ReadDataFile(path, state, *traces), EnumDataFileRead::Read) << path;
        ASSERT_EQ(state.channels, session->State().channels);
        const uint32_t n = traces->Trace(0).GetPointCount();
        EXPECT_NEAR(n, kCache / 2, kCache / 100) << path;
        for (size_t k = 0; k < channels.size(); ++k) {
            ASSERT_EQ(traces->Trace(k).GetPointCount(), n);
            CheckPoints(traces->Trace(k), channels[k], nextTick, sim);
        }
        nextTick += n;
    }
    const CTraceSet& chartTraces = session->Traces();
    ASSERT_GT(chartTraces.Trace(0).GetPointCount(), 0u);
    for (size_t k = 0; k < channels.size(); ++k) {
        CheckPoints(chartTraces.Trace(k), channels[k], nextTick, sim);
    }
    session.reset();
}
