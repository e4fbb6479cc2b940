#include "kit/SoftAddrMap.h"

#include <gtest/gtest.h>

namespace {

void Add(CSoftAddrMap& map, const std::string& name, EnumGCMDataType type) {
    auto entry = std::make_unique<tagSoftAddr>();
    entry->name = name;
    entry->valueText = "1";
    entry->dataType = type;
    map.SetAt(CSoftAddrMap::MakeKey(type, name), std::move(entry));
}

std::string NameAt(const CSoftAddrMap& map, EnumGCMDataType type, const std::string& originalName) {
    const tagSoftAddr* entry = map.Lookup(CSoftAddrMap::MakeKey(type, originalName));
    return entry ? entry->name : "<missing>";
}

} // namespace

TEST(SoftAddrMap, KeyIsTypeCharacterThenName) {
    const std::string key = CSoftAddrMap::MakeKey(GCM_INT, "D100");
    ASSERT_EQ(key.size(), 5u);
    EXPECT_EQ(key[0], '\x04');
    EXPECT_EQ(key.substr(1), "D100");
}

TEST(SoftAddrMap, OctToDecRewritesOnlyOctalFamilies) {
    CSoftAddrMap map;
    Add(map, "X17", GCM_BOOL);
    Add(map, "Y777", GCM_BOOL);
    Add(map, "x0", GCM_BOOL);
    Add(map, "D17", GCM_INT);
    Add(map, "M17", GCM_BOOL);
    Add(map, "X18", GCM_BOOL); // not octal: left for the link to refuse
    map.OctToDec();
    EXPECT_EQ(NameAt(map, GCM_BOOL, "X17"), "X15");
    EXPECT_EQ(NameAt(map, GCM_BOOL, "Y777"), "Y511");
    EXPECT_EQ(NameAt(map, GCM_BOOL, "x0"), "X0");
    EXPECT_EQ(NameAt(map, GCM_INT, "D17"), "D17");
    EXPECT_EQ(NameAt(map, GCM_BOOL, "M17"), "M17");
    EXPECT_EQ(NameAt(map, GCM_BOOL, "X18"), "X18");
    EXPECT_EQ(map.GetCount(), 6u);
}
