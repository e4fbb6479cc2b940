// The journal in the session, as the window uses it: a crash leaves the chart of the last commit
// for the next start to bring back, No keeps it aside, a journal that cannot be written is told
// once while the recording goes on, and a save that fails leaves the previous file as it was.
#include "TempFolder.h"
#include "acquisition/StringIds.h"
#include "files/ChartLook.h"
#include "files/DataFile.h"
#include "files/WorkspacePaths.h"
#include "session/MonitorSession.h"
#include "support/ChartOfTraces.h"
#include "support/HeadlessTraces.h"
#include "support/LinkTestHelpers.h"
#include "support/RecordingSurface.h"
#include "support/TestSessionView.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

using namespace std::chrono_literals;

using tagPoints = std::vector<std::vector<std::pair<double, double>>>;

// A session as the window holds it.
struct tagSession {
    tagSession() {
        session = std::make_unique<CMonitorSession>(view);
        view.session = session.get();
        session->Link().Apply();
    }
    ~tagSession() { session.reset(); }
    void Record(std::chrono::milliseconds duration) {
        ASSERT_TRUE(session->StartRecording().ok);
        view.Pump(duration);
        session->StopRecording();
        view.PumpMessages();
    }
    tagPoints Points() {
        tagPoints points(session->State().channels.size());
        for (size_t k = 0; k < points.size(); ++k) {
            const CTrace& serie = session->Traces().Trace(k);
            for (uint32_t i = 0; i < serie.GetPointCount(); ++i) {
                points[k].emplace_back(serie.GetXValue(i), serie.GetYValue(i));
            }
        }
        return points;
    }
    CTestSessionView view;
    std::unique_ptr<CMonitorSession> session;
};

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The journal's files as a crash leaves them: the database and its log, as they are on the disk.
void CopyAsACrashLeavesIt(const std::string& from, const std::string& to) {
    for (const char* suffix : {"", "-wal"}) {
        if (fs::exists(from + suffix)) {
            fs::copy_file(from + suffix, to + suffix, fs::copy_options::overwrite_existing);
        }
    }
}

class JournalKeeperTest : public ::testing::Test {
protected:
    CSimulatedLink m_link; // first, so that it goes last
    CTempFolder m_documents;
};

} // namespace

TEST_F(JournalKeeperTest, AfterACrashTheNextStartBringsBackTheChartOfTheLastCommit) {
    const std::string crashed = m_documents.File("crashed.journal");
    tagPoints before;
    std::string workspace;
    {
        tagSession first;
        CMonitorSession& session = *first.session;
        session.Journal().Use(JournalFilePath());
        // The traces begin from an imported file, then two recordings with a channel deleted
        // between them: the second starts from a copy of the traces that no file holds.
        tagSession maker;
        maker.session->Channels().Add(Channel("D0", GCM_INT));
        maker.session->Channels().Add(Channel("D1", GCM_INT));
        maker.session->Channels().Add(Channel("D10", GCM_DINT));
        for (int i = 0; i < 50; ++i) {
            maker.session->Traces().Trace(0).AddPoint(i * 20.0, i % 7);
            maker.session->Traces().Trace(1).AddPoint(i * 20.0, 3);
        }
        ASSERT_TRUE(maker.session->Files().ExportRecording(m_documents.File("base.data")).ok);
        ASSERT_TRUE(session.Files().ImportRecording(m_documents.File("base.data")).ok);
        session.Fields().OnPeriodChanged("5");
        first.Record(400ms);
        session.Channels().Delete(1);
        first.Record(300ms);
        before = first.Points();
        ASSERT_GT(before[0].size(), 100u);
        CopyAsACrashLeavesIt(JournalFilePath(), crashed);
    }

    tagSession next;
    next.view.answer = true;
    next.session->Journal().Use(crashed);
    const uint64_t samples = next.session->Journal().LeftOver().samples;
    EXPECT_GE(samples, 30u); // the second recording; the first is in the copy the journal starts from
    next.session->OfferRecovery();
    ASSERT_EQ(next.view.questions, std::vector<int>{IDS_JOURNAL_RECOVER});
    ASSERT_EQ(next.view.questionArguments[0].size(), 2u);
    EXPECT_EQ(next.view.questionArguments[0][0].size(), 8u); // HH:MM:SS
    EXPECT_EQ(next.view.questionArguments[0][1], std::to_string(samples));
    EXPECT_EQ(next.view.messages, std::vector<int>{IDS_JOURNAL_RECOVERED});
    EXPECT_EQ(next.view.messageArguments[0], (std::vector<std::string>{std::to_string(samples), "2"}));
    EXPECT_EQ(next.session->State().channels.size(), 2u);
    EXPECT_EQ(next.session->State().channels[1].name, "D10");
    EXPECT_EQ(next.Points(), before);

    // The journal goes on with what came back: another crash brings back both.
    next.Record(200ms);
    const tagPoints more = next.Points();
    EXPECT_GT(more[0].size(), before[0].size());
    CopyAsACrashLeavesIt(crashed, m_documents.File("again.journal"));
    tagSession third;
    third.session->Journal().Use(m_documents.File("again.journal"));
    third.session->OfferRecovery();
    EXPECT_EQ(third.Points(), more);
}

// The chart comes back as it looked: adaptive scales, a colour, a hidden trace, an offset, the
// time step, the trigger with its marker, and the cursors.
TEST_F(JournalKeeperTest, ARecoveredChartLooksAsTheOneThatWas) {
    const std::string crashed = m_documents.File("looks.journal");
    tagChartLook before;
    {
        tagSession first;
        tagChartOfTraces chart(*first.session);
        CMonitorSession& session = *first.session;
        session.Journal().Use(JournalFilePath());
        session.Channels().Add(Channel("D0", GCM_INT));
        session.Channels().Add(Channel("D10", GCM_DINT));
        session.Channels().Add(Channel("M1", GCM_BOOL));
        session.Fields().OnAdaptive(true);
        session.Fields().OnPeriodChanged("5");
        session.Fields().SetTrigger({1, 0, TRIGGER_GREATER_EQUAL, 100.0}); // the sine passes 100
        first.Record(600ms);
        session.Channels().SetColour(1, 0x123456);
        session.Channels().ToggleVisibility(2);
        session.Traces().Trace(0).SetYOffset(250.0);
        session.Fields().OnTimeAxisChanged("500");
        chart.display.PlaceCursors(1200.0, 3400.0);
        session.Journal().LookChanged();
        session.Journal().Stopped(); // committed
        before = g_ChartLookOf(session.State(), session.Traces());
        ASSERT_TRUE(before.mark);
        ASSERT_NE(before.traces[0].scale, 1.0); // adaptive scaling changed it
        CopyAsACrashLeavesIt(JournalFilePath(), crashed);
    }
    tagSession next;
    tagChartOfTraces chart(*next.session);
    next.view.answer = true;
    next.session->Journal().Use(crashed);
    next.session->OfferRecovery();
    ASSERT_EQ(next.view.messages, std::vector<int>{IDS_JOURNAL_RECOVERED});
    EXPECT_EQ(g_ChartLookOf(next.session->State(), next.session->Traces()), before);
    EXPECT_EQ(next.session->State().channels[1].colour, 0x123456u);
    EXPECT_EQ(chart.display.TriggerMarker().GetPositionValue(), before.mark->time);
}

TEST_F(JournalKeeperTest, NoSetsTheJournalAsideAndACleanEndRetiresIt) {
    const std::string path = JournalFilePath();
    {
        tagSession crashed;
        crashed.session->Journal().Use(path);
        crashed.session->Channels().Add(Channel("D1", GCM_INT));
        crashed.Record(200ms);
        CopyAsACrashLeavesIt(path, m_documents.File("left.journal"));
    }
    fs::rename(m_documents.File("left.journal"), path);
    if (fs::exists(m_documents.File("left.journal-wal"))) {
        fs::rename(m_documents.File("left.journal-wal"), path + "-wal");
    }
    tagSession next;
    next.view.answer = false;
    next.session->Journal().Use(path);
    next.session->OfferRecovery();
    EXPECT_EQ(next.view.questions, std::vector<int>{IDS_JOURNAL_RECOVER});
    EXPECT_TRUE(next.session->State().channels.empty());
    EXPECT_FALSE(fs::exists(path));
    // The user is told where it went and how to bring it back.
    ASSERT_EQ(next.view.messages, std::vector<int>{IDS_JOURNAL_KEPT_ASIDE});
    const std::string aside = next.view.messageArguments[0].at(0);
    EXPECT_EQ(fs::path(aside).parent_path(), fs::path(path).parent_path());
    EXPECT_EQ(fs::path(aside).filename().string().rfind("Chrono-", 0), 0u) << aside;
    EXPECT_GT(CRecordingJournal::Inspect(aside).samples, 0u);

    // A clean end: the workspace is written, the journal and its copy of the traces go.
    next.session->Channels().Add(Channel("D2", GCM_INT));
    next.session->Channels().Add(Channel("D3", GCM_INT));
    next.Record(200ms);
    next.session->Channels().Delete(0); // the next recording needs a copy of the traces
    next.Record(100ms);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_TRUE(fs::exists(next.session->Journal().SnapshotPath()));
    ASSERT_TRUE(next.session->Files().SaveWorkspace().ok);
    next.session->Journal().Retire();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(fs::exists(path + "-wal"));
    EXPECT_FALSE(fs::exists(next.session->Journal().SnapshotPath()));
}

TEST_F(JournalKeeperTest, AJournalThatCannotBeWrittenIsToldOnceAndTheRecordingGoesOn) {
    std::ofstream(m_documents.File("blocked")) << "a file where the journal's folder should be";
    tagSession s;
    s.session->Journal().Use(m_documents.File("blocked/Chrono.journal"));
    s.session->Channels().Add(Channel("D1", GCM_INT));
    ASSERT_TRUE(s.session->StartRecording().ok);
    s.view.Pump(400ms);
    const uint32_t early = s.session->Traces().Trace(0).GetPointCount();
    s.view.Pump(300ms);
    EXPECT_TRUE(s.session->IsRecording());
    EXPECT_GT(s.session->Traces().Trace(0).GetPointCount(), early);
    // The status line says the journal is off, and why.
    ASSERT_FALSE(s.view.sessionStatus.empty());
    EXPECT_NE(s.view.sessionStatus.back().journalFailure.find("blocked/Chrono.journal"), std::string::npos);

    // Once the folder can be made, the journal takes everything it was given and is on again:
    // what it holds brings back every point of the recording.
    fs::remove(m_documents.File("blocked"));
    const auto until = std::chrono::steady_clock::now() + 20s;
    while (!s.view.sessionStatus.back().journalFailure.empty() && std::chrono::steady_clock::now() < until) {
        s.view.Pump(100ms);
    }
    EXPECT_TRUE(s.view.sessionStatus.back().journalFailure.empty());
    s.session->StopRecording();
    s.view.PumpMessages();
    EXPECT_EQ(std::count(s.view.messages.begin(), s.view.messages.end(), IDS_JOURNAL_FAILED), 1);
    ASSERT_FALSE(s.view.details.empty());
    EXPECT_NE(s.view.details.back().find("blocked/Chrono.journal"), std::string::npos);
    tagMonitorState state;
    tagHeadlessTraces traces;
    ASSERT_TRUE(
        CRecordingJournal::Replay(m_documents.File("blocked/Chrono.journal"), state, *traces, nullptr));
    EXPECT_EQ(traces->Trace(0).GetPointCount(), s.session->Traces().Trace(0).GetPointCount());
}

// A workspace that cannot be written at the end: the user is asked, and only a save or Discard
// retires the journal; with nobody to ask it stays for the next start.
TEST_F(JournalKeeperTest, AnEndThatCannotSaveAsksAndKeepsTheJournalUntilSavedOrDiscarded) {
    fs::create_directories(WorkspaceFilePath()); // a folder where the file should go
    tagSession s;
    s.session->Journal().Use(JournalFilePath());
    s.session->Channels().Add(Channel("D1", GCM_INT));
    s.Record(200ms);
    const auto points = s.session->Traces().Trace(0).GetPointCount();

    EXPECT_FALSE(s.session->EndSession(false).ok); // a signal: nobody to ask
    EXPECT_TRUE(s.view.exitFailures.empty());
    EXPECT_GT(CRecordingJournal::Inspect(JournalFilePath()).samples, 0u);

    s.view.exitChoices = {CSessionView::EnumExitChoice::Retry, CSessionView::EnumExitChoice::SaveAs,
                          CSessionView::EnumExitChoice::SaveAs};
    s.view.savePath = m_documents.File("no-such-folder/x/elsewhere.data");
    fs::create_directories(m_documents.File("no-such-folder"));
    std::ofstream(m_documents.File("no-such-folder/x")) << "a file, not a folder";
    EXPECT_FALSE(s.session->EndSession(true).ok); // Retry, a Save As that fails, then Discard
    EXPECT_EQ(s.view.exitFailures.size(), 4u);
    EXPECT_NE(s.view.exitFailures[0].find(WorkspaceFilePath()), std::string::npos) << s.view.exitFailures[0];
    EXPECT_FALSE(fs::exists(JournalFilePath())); // discarded

    s.Record(200ms);
    s.view.exitChoices = {CSessionView::EnumExitChoice::SaveAs};
    s.view.savePath = m_documents.File("elsewhere.data");
    ASSERT_TRUE(s.session->EndSession(true).ok);
    EXPECT_FALSE(fs::exists(JournalFilePath()));
    tagSession reader;
    ASSERT_TRUE(reader.session->Files().ImportRecording(s.view.savePath).ok);
    EXPECT_GT(reader.session->Traces().Trace(0).GetPointCount(), points);
}

TEST_F(JournalKeeperTest, ASaveOnAFullDiskLeavesThePreviousFileAsItWas) {
    tagSession s;
    s.session->Channels().Add(Channel("D1", GCM_INT));
    for (int i = 0; i < 100; ++i) {
        s.session->Traces().Trace(0).AddPoint(i, i);
    }
    const std::string path = m_documents.File("export.data");
    ASSERT_TRUE(s.session->Files().ExportRecording(path).ok);
    const std::string previous = Bytes(path);
    for (int i = 100; i < 200000; ++i) {
        s.session->Traces().Trace(0).AddPoint(i, i);
    }
    // The disk fills up: no file of this process may grow past 64 KiB.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    const tagResult data = s.session->Files().ExportRecording(path);
    const tagResult csv = s.session->Files().ExportRecording(m_documents.File("export.csv"));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(data.ok);
    EXPECT_EQ(data.stringId, IDS_EXPORT_FAILED);
    EXPECT_FALSE(data.detail.empty());
    EXPECT_EQ(Bytes(path), previous);
    EXPECT_EQ(csv.stringId, IDS_EXPORT_FAILED);
    EXPECT_FALSE(fs::exists(m_documents.File("export.csv")));
    // No temporary file is left behind.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(m_documents.Path())) {
        files += entry.is_regular_file();
    }
    EXPECT_EQ(files, 1);
}
