// The rules of the channel dialog, without the dialog: its lists, how a record is shown, and how
// the fields become a record.
#pragma once

#include "link/OscilloTypes.h"

#include <string>
#include <vector>

constexpr int kAxisKind = 11; // the last entry of the kind list
constexpr int kAxisCountInDialog = 32;

// Entries 0..10 such as "X(0~777)" or "D(0~7999)"; entry 11 is the given axis text.
std::vector<std::string> KindListTexts(const std::string& axisParametersText);
// Data type texts offered for a kind (and, for axis parameters, the selected parameter row).
std::vector<std::string> DataTypeTexts(int kind, int parameterRow);
EnumGCMDataType DataTypeFromText(const std::string& text);

// Which entry to select among the texts: the first that begins with text, searching from entry 1
// and wrapping to entry 0 (case-insensitive); -1 when none does.
int FindEntryStartingWith(const std::vector<std::string>& texts, const std::string& text);

// What the dialog shows for a record.
struct tagChannelFields {
    int kind = 0;
    std::string address = "0";
    int axis = 0;
    int parameterRow = 0;
    bool operator==(const tagChannelFields&) const = default;
};
tagChannelFields FieldsOfRecord(const tagOscilloElem& record);

// The record for the fields, or false when the address is beyond the kind's range.
bool RecordFromFields(const tagChannelFields& fields, const std::string& typeText, uint32_t colour,
                      tagOscilloElem& record);
