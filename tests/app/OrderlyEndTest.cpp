// The program asked to end by the system while it records, with a question open: it closes as
// its close box does, the recording stops, the workspace is written and the journal retired.
#include "TempFolder.h"
#include "app/ChronoscopeApp.h"
#include "app/ChronoscopeDlg.h"
#include "files/DataFile.h"
#include "files/WorkspacePaths.h"
#include "support/HeadlessTraces.h"
#include "support/LinkTestHelpers.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

TEST(OrderlyEndTest, SigtermWhileRecordingWithAQuestionOpenSavesTheWorkspaceAndRetiresTheJournal) {
    CTempFolder documents;
    tagProgramOptions options;
    options.simulator = true;
    CChronoscopeApp app(options, {});

    bool recorded = false, asked = false, closed = false;
    QTimer driver;
    driver.setInterval(20);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto* window = qobject_cast<CChronoscopeDlg*>(QApplication::activeModalWidget());
        if (!window || recorded) {
            return;
        }
        recorded = true;
        window->Session().Channels().Add(Channel("D10", GCM_DINT));
        window->OnRun();
        // Half a second into the recording the system ends the program while the user is being
        // asked whether to clear the traces.
        QTimer::singleShot(500, window, [window, &asked, &closed] {
            QTimer::singleShot(100, [] { std::raise(SIGTERM); });
            asked = true;
            window->Session().OnClearTracks(); // returns once the signal closed the question
            closed = true;
        });
    });
    driver.start();
    app.InitInstance(); // returns when the window is gone for good
    driver.stop();

    ASSERT_TRUE(recorded && asked && closed);
    EXPECT_FALSE(std::filesystem::exists(JournalFilePath()));
    tagHeadlessTraces traces;
    tagMonitorState state;
    ASSERT_EQ(ReadDataFile(WorkspaceFilePath(), state, *traces), EnumDataFileRead::Read);
    ASSERT_EQ(state.channels.size(), 1u);
    EXPECT_EQ(state.channels[0].name, "D10");
    EXPECT_GT(traces->Trace(0).GetPointCount(), 10u); // not cleared: the question was closed, not answered
}
