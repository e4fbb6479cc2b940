#include "files/SettingsFiles.h"
#include "TempFolder.h"
#include "files/ProgramSettings.h"
#include "files/WorkspacePaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(LanguageFile, SavesOnlyChangesAndOffersRestartOnlyAwayFromTheLanguageInEffect) {
    CTempFolder documents;
    const int english = 1;
    int lastChosen = english;
    // OK without a change writes nothing.
    EXPECT_FALSE(SaveLanguageChoice(english, lastChosen, english).saved);
    EXPECT_FALSE(std::filesystem::exists(LanguageFilePath()));
    // Chinese in an English run: written, restart offered.
    const tagLanguageSave chinese = SaveLanguageChoice(0, lastChosen, english);
    EXPECT_TRUE(chinese.saved);
    EXPECT_FALSE(chinese.failed);
    EXPECT_EQ(FileText(LanguageFilePath()), "0");
    EXPECT_EQ(lastChosen, 0);
    // English again: written back, but English is in effect, so no restart.
    const tagLanguageSave back = SaveLanguageChoice(english, lastChosen, english);
    EXPECT_FALSE(back.saved);
    EXPECT_EQ(FileText(LanguageFilePath()), "1");
    EXPECT_EQ(LanguageFilePath(), documents.Path() + "/LadderDesk/Language.cfg");
}

TEST(LanguageFile, AnUnwritableFolderFailsAndKeepsTheOldChoice) {
    CTempFolder documents;
    // A file where the folder should be.
    std::ofstream(documents.File("LadderDesk")) << "in the way";
    int lastChosen = 1;
    const tagLanguageSave result = SaveLanguageChoice(0, lastChosen, 1);
    EXPECT_TRUE(result.failed);
    EXPECT_FALSE(result.saved);
    EXPECT_EQ(lastChosen, 1);
}

TEST(CacheSizes, ListIndexesAndUnknownSizes) {
    EXPECT_EQ(CacheSizeIndex(1200000), 0);
    EXPECT_EQ(CacheSizeIndex(3600000), 2);
    EXPECT_EQ(CacheSizeIndex(5000000), 3); // from a file: shown and stored as 7200000
    EXPECT_EQ(CacheSizeOfIndex(CacheSizeIndex(5000000)), 7200000u);
    EXPECT_EQ(CacheSizeOfIndex(1), 2400000u);
}

TEST(WorkspacePaths, AllUnderLadderDeskInTheDocumentsFolder) {
    CTempFolder documents;
    EXPECT_EQ(WorkspaceFilePath(), documents.Path() + "/LadderDesk/Chrono.data");
    EXPECT_EQ(AutoSaveFolder(), documents.Path() + "/LadderDesk/Chrono/");
}

TEST(ProgramSettingsFile, KeysAndValuesWithDefaultsForWhatIsMissingOrDamaged) {
    CTempFolder documents;
    const std::string path = ProgramSettingsPath();
    EXPECT_EQ(g_ReadProgramSettings(path), tagProgramSettings{}); // no file: every default
    EXPECT_TRUE(g_ReadProgramSettings(path).everySample);

    tagProgramSettings off;
    off.everySample = false;
    off.triggerMark = tagTriggerMark{1234.625, 0x00FF00};
    off.cursorStatistics = {true, false, true};
    off.paceRedraws = off.showGaps = off.eventView = false; // each its own key
    ASSERT_TRUE(g_WriteProgramSettings(path, off));
    EXPECT_EQ(g_ReadProgramSettings(path), off);

    std::ofstream(path) << "# hand-written\n"
                           "colour_scheme = dark\n"    // unknown: ignored
                           "show_every_sample maybe\n" // no '=': ignored
                           "  show_every_sample =  no  # spaces and a comment\n";
    EXPECT_FALSE(g_ReadProgramSettings(path).everySample);
    std::ofstream(path) << "show_every_sample = sometimes\n"; // damaged: the default
    EXPECT_TRUE(g_ReadProgramSettings(path).everySample);
}
