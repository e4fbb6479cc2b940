#include "kit/KitHelpers.h"
#include "TempFolder.h"
#include "kit/DocPath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>

TEST(KitHelpers, RealWordsAreIeeeSinglePrecision) {
    EXPECT_EQ(g_IntToFloat(0x3F800000u), 1.0f);
    EXPECT_EQ(g_IntToFloat(0xC0200000u), -2.5f);
    EXPECT_EQ(g_FloatToInt(1.5f), 0x3FC00000u);
    EXPECT_TRUE(std::isnan(g_IntToFloat(0x7FC00000u)));
}

TEST(KitHelpers, EveryDataTypeNameReadsBack) {
    for (EnumGCMDataType type : {GCM_BOOL, GCM_UINT, GCM_INT, GCM_UDINT, GCM_DINT, GCM_REAL, GCM_USINT}) {
        EXPECT_EQ(g_StrToDataType(g_DataTypeToStr(type)), type) << g_DataTypeToStr(type);
    }
    EXPECT_EQ(g_DataTypeToStr(GCM_DINT), "DINT");
    EXPECT_EQ(g_StrToDataType("real"), GCM_REAL);
    EXPECT_EQ(g_StrToDataType("WORD"), GCM_INT);
    EXPECT_EQ(g_StrToDataType(""), GCM_INT);
}

class DocPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"CHRONOSCOPE_DOCUMENTS", "HOME", "XDG_CONFIG_HOME"}) {
            const char* value = std::getenv(name);
            m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : m_saved) {
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        }
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST_F(DocPathTest, EnvironmentOverrideWinsAndEndsInSlash) {
    setenv("CHRONOSCOPE_DOCUMENTS", "/data/docs", 1);
    EXPECT_EQ(g_fGetDocPath(), "/data/docs/");
    setenv("CHRONOSCOPE_DOCUMENTS", "/data/docs/", 1);
    EXPECT_EQ(g_fGetDocPath(), "/data/docs/");
}

TEST_F(DocPathTest, FollowsTheXdgDocumentsFolderElseDocuments) {
    CTempFolder home;
    unsetenv("CHRONOSCOPE_DOCUMENTS");
    setenv("HOME", home.Path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(g_fGetDocPath(), home.Path() + "/Documents/");

    std::filesystem::create_directories(home.File(".config"));
    std::ofstream(home.File(".config/user-dirs.dirs")) << "# written by xdg-user-dirs-update\n"
                                                          "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                                          "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    EXPECT_EQ(g_fGetDocPath(), home.Path() + "/Dokumente/");
}

TEST(KitHelpers, CreatesEveryFolderLevelAndTellsFilesFromFolders) {
    CTempFolder folder;
    const std::string deep = folder.File("a/b/c");
    EXPECT_TRUE(g_fCreateAllDir(deep));
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_TRUE(g_fCreateAllDir(deep)); // already there
    EXPECT_FALSE(g_fFileExists(deep));
    std::ofstream(deep + "/f.txt") << "x";
    EXPECT_TRUE(g_fFileExists(deep + "/f.txt"));
    // A file in the way of a folder.
    EXPECT_FALSE(g_fCreateAllDir(deep + "/f.txt/sub"));
}
