// The controller's soft-element families and their address ranges.
#pragma once

#include <optional>
#include <string_view>

struct tagElementKind {
    std::string_view prefix;
    int highestAddress;
    bool octal; // X and Y addresses are written in octal digits
};

// Positions in ElementKindTable.
enum EnumElementKind {
    KIND_X,
    KIND_Y,
    KIND_M,
    KIND_S,
    KIND_SM,
    KIND_C,
    KIND_T,
    KIND_D,
    KIND_SD,
    KIND_R,
    KIND_W,
};

// In the order the channel dialog lists them.
inline constexpr tagElementKind ElementKindTable[] = {
    {"X", 511, true},    {"Y", 511, true},    {"M", 10239, false}, {"S", 4095, false},
    {"SM", 1023, false}, {"C", 263, false},   {"T", 511, false},   {"D", 7999, false},
    {"SD", 1023, false}, {"R", 32767, false}, {"W", 32767, false},
};
inline constexpr int kElementKindCount = static_cast<int>(std::size(ElementKindTable));

// Counters from this address up hold 32-bit values.
constexpr int kFirstLongCounter = 200;

// Index into ElementKindTable of an exact (upper-case) prefix.
std::optional<int> g_FindElementKind(std::string_view prefix);
