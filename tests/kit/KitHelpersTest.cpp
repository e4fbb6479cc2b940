#include "kit/KitHelpers.h"
#include "TempFolder.h"
#include "kit/DocPath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

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
