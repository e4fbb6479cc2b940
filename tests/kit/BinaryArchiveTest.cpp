#include "kit/BinaryArchive.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> Stored(const std::string& text) {
    std::vector<uint8_t> bytes;
    CBinaryArchive out(bytes, CBinaryArchive::Store);
    out.WriteString(text);
    return bytes;
}

std::string Loaded(std::vector<uint8_t> bytes) {
    CBinaryArchive in(bytes, CBinaryArchive::Load);
    return in.ReadString();
}

} // namespace

TEST(ArchiveStrings, TheThreeLengthFormsAndBothCharacterWidths) {
    EXPECT_EQ(Stored("D100"), (std::vector<uint8_t>{0xFF, 0xFE, 0xFF, 4, 'D', 0, '1', 0, '0', 0, '0', 0}));
    const std::vector<uint8_t> mid = Stored(std::string(300, 'a'));
    EXPECT_EQ(std::vector<uint8_t>(mid.begin(), mid.begin() + 6),
              (std::vector<uint8_t>{0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01}));
    const std::vector<uint8_t> big = Stored(std::string(70000, 'b'));
    EXPECT_EQ(std::vector<uint8_t>(big.begin(), big.begin() + 10),
              (std::vector<uint8_t>{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}));
    EXPECT_EQ(Loaded(big), std::string(70000, 'b'));
    // Characters beyond one code unit survive the round trip.
    EXPECT_EQ(Loaded(Stored("轴3 𝄞")), "轴3 𝄞");
    // The one-byte form of older files: length, then the bytes.
    EXPECT_EQ(Loaded({5, 'A', 'X', 'I', 'S', '3'}), "AXIS3");
    // Found by fuzzing: an empty text read nothing through a null pointer.
    EXPECT_EQ(Loaded(Stored("")), "");
    EXPECT_EQ(Loaded({0}), "");
}

TEST(ArchiveStrings, AnnouncedLengthsBeyondTheDataAreAnErrorNotAnAllocation) {
    EXPECT_THROW(Loaded({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}), CArchiveException);
    EXPECT_THROW(Loaded({0xFF, 0xFE, 0xFF, 3, 'a', 0}), CArchiveException);
    EXPECT_THROW(Loaded({200, 'x'}), CArchiveException);
    std::vector<uint8_t> bytes{1, 2, 3, 4, 5};
    CBinaryArchive in(bytes, CBinaryArchive::Load);
    in.ReadU16();
    EXPECT_EQ(in.Remaining(), 3u);
}
