#include "kit/ProgramOptions.h"
#include "TempFolder.h"
#include "kit/DocPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

// An environment of its own, so that the test does not depend on the machine's.
tagProgramOptions Read(const std::map<std::string, std::string>& environment) {
    return g_ReadProgramOptions([&](const char* name) -> const char* {
        const auto it = environment.find(name);
        return it == environment.end() ? nullptr : it->second.c_str();
    });
}

} // namespace

TEST(ProgramOptions, TheDocumentsOverrideWinsAndEndsInSlash) {
    EXPECT_EQ(Read({{"CHRONOSCOPE_DOCUMENTS", "/data/docs"}, {"HOME", "/home/x"}}).documentsFolder,
              "/data/docs/");
    EXPECT_EQ(Read({{"CHRONOSCOPE_DOCUMENTS", "/data/docs/"}}).documentsFolder, "/data/docs/");
}

TEST(ProgramOptions, DocumentsFollowTheXdgFolderElseHomeDocuments) {
    CTempFolder home;
    EXPECT_EQ(Read({{"HOME", home.Path()}}).documentsFolder, home.Path() + "/Documents/");

    std::filesystem::create_directories(home.File(".config"));
    std::ofstream(home.File(".config/user-dirs.dirs")) << "# written by xdg-user-dirs-update\n"
                                                          "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                                          "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    EXPECT_EQ(Read({{"HOME", home.Path()}}).documentsFolder, home.Path() + "/Dokumente/");
    // XDG_CONFIG_HOME moves the file; one without the entry means Documents again.
    std::filesystem::create_directories(home.File("elsewhere"));
    std::ofstream(home.File("elsewhere/user-dirs.dirs")) << "XDG_DOCUMENTS_DIR=\"$HOME\"\n";
    EXPECT_EQ(Read({{"HOME", home.Path()}, {"XDG_CONFIG_HOME", home.File("elsewhere")}}).documentsFolder,
              home.Path() + "/Documents/");
}

TEST(ProgramOptions, SwitchesAndNumbersOutsideTheirRangeKeepTheirDefaults) {
    const tagProgramOptions set = Read({{"CHRONOSCOPE_SIMULATOR", "1"},
                                        {"CHRONOSCOPE_SIM_SPEED", "400"},
                                        {"CHRONOSCOPE_SERIAL_DIR", "/tmp/ports"},
                                        {"CHRONOSCOPE_AUTOCLOSE_MS", "5000"}});
    EXPECT_TRUE(set.simulator);
    EXPECT_EQ(set.simulatorSpeed, 400.0);
    EXPECT_EQ(set.serialFolder, "/tmp/ports");
    EXPECT_EQ(set.autoCloseMs, 5000);

    const tagProgramOptions odd = Read({{"CHRONOSCOPE_SIMULATOR", "yes"},
                                        {"CHRONOSCOPE_SIM_SPEED", "0.5"},
                                        {"CHRONOSCOPE_AUTOCLOSE_MS", "-3"}});
    EXPECT_FALSE(odd.simulator);
    EXPECT_EQ(odd.simulatorSpeed, 1.0);
    EXPECT_EQ(odd.autoCloseMs, 0);
    EXPECT_EQ(Read({{"CHRONOSCOPE_SIM_SPEED", "20000"}}).simulatorSpeed, 1.0);
}

TEST(ProgramOptions, TheDocumentsFolderIsTheProcesssOnce) {
    const std::string before = g_fGetDocPath();
    g_SetDocPath("/data/docs");
    EXPECT_EQ(g_fGetDocPath(), "/data/docs/");
    EXPECT_EQ(g_LadderDeskFolder(), "/data/docs/LadderDesk/");
    g_SetDocPath(before);
}
