// The controller's element names, written once: the letters of a kind and its address digits
// (octal for X and Y), a dotted bit of a word (D100.3), and AXISn for a motion axis. The channel
// dialog, the element write, the link, the simulator and the recorder's arguments all read names
// through here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct tagElementName {
    std::string prefix; // upper case: X, D, SM, LM, AXIS, ...
    std::string digits; // the address as written
    int kind = -1;      // index into ElementKindTable; -1 for an axis and for LM and V
    int bit = -1;       // the dotted bit of a word; -1 without one

    bool IsAxis() const { return prefix == "AXIS"; }
};

// Splits a name (blanks around it and the letters' case do not matter); nothing when the text is
// no element name: a constant, an indexed name, a bit of anything but a word, stray characters.
std::optional<tagElementName> g_SplitElementName(std::string_view text);

// The address of a split name: its digits in the kind's radix (octal for X and Y when octalXY)
// within the kind's range (0..31 for an axis). Nothing when a digit does not belong or the address
// is beyond the range.
std::optional<int> g_ElementAddress(const tagElementName& name, bool octalXY);

// Whether the digits are all octal.
bool g_IsOctal(std::string_view digits);

// The name channel records and files carry for an element: the prefix and the address, X and Y
// in octal.
std::string g_ElementNameText(int kind, int address);
