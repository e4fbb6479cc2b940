#include "ChannelDialogRules.h"

#include "ChannelModel.h"
#include "kit/ElementKinds.h"
#include "kit/ElementName.h"
#include "kit/NumberText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (prefix.size() > text.size()) {
        return false;
    }
    return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
    });
}

// The longest leading run of digits valid in the radix, read as a number (0 when there is none).
int64_t LeadingNumber(const std::string& text, int radix) {
    return g_ParseInteger(text, {radix, false, false, true}).value;
}

} // namespace

std::vector<std::string> KindListTexts(const std::string& axisParametersText) {
    std::vector<std::string> texts;
    for (const tagElementKind& kind : ElementKindTable) {
        char text[32];
        std::snprintf(text, sizeof text, kind.octal ? "%s(0~%o)" : "%s(0~%d)",
                      std::string(kind.prefix).c_str(), kind.highestAddress);
        texts.emplace_back(text);
    }
    texts.push_back(axisParametersText);
    return texts;
}

std::vector<std::string> DataTypeTexts(int kind, int parameterRow) {
    if (kind == kAxisKind) {
        if (parameterRow < 0 || parameterRow >= static_cast<int>(AxisParameterTable.size())) {
            return {};
        }
        const EnumGCMDataType type = AxisParameterTable[static_cast<size_t>(parameterRow)].type;
        return {type == GCM_DINT || type == GCM_UDINT ? "DINT" : "INT"};
    }
    std::vector<std::string> texts;
    for (EnumGCMDataType type : TypesOfferedForKind(kind)) {
        texts.emplace_back(DataTypeText(type));
    }
    return texts;
}

EnumGCMDataType DataTypeFromText(const std::string& text) {
    if (text == "BOOL") {
        return GCM_BOOL;
    }
    if (text == "DINT") {
        return GCM_DINT;
    }
    if (text == "REAL") {
        return GCM_REAL;
    }
    return GCM_INT;
}

int FindEntryStartingWith(const std::vector<std::string>& texts, const std::string& text) {
    const int n = static_cast<int>(texts.size());
    for (int i = 0; i < n; ++i) {
        const int entry = (i + 1) % n;
        if (StartsWithNoCase(texts[static_cast<size_t>(entry)], text)) {
            return entry;
        }
    }
    return -1;
}

tagChannelFields FieldsOfRecord(const tagOscilloElem& record) {
    tagChannelFields fields;
    const size_t digit = record.name.find_first_of("0123456789");
    const std::string prefix = digit == std::string::npos ? std::string() : record.name.substr(0, digit);
    const std::string rest = digit == std::string::npos ? record.name : record.name.substr(digit);
    if (prefix == "AXIS") {
        fields.kind = kAxisKind;
        fields.axis =
            static_cast<int>(std::clamp<int64_t>(LeadingNumber(rest, 10), 0, kAxisCountInDialog - 1));
        fields.parameterRow = 0;
        for (size_t row = 0; row < AxisParameterTable.size(); ++row) {
            if (AxisParameterTable[row].code == record.paramCode) {
                fields.parameterRow = static_cast<int>(row);
                break;
            }
        }
        return fields;
    }
    const int entry = FindEntryStartingWith(KindListTexts(""), prefix);
    if (entry < 0 || entry == kAxisKind) {
        return fields; // X and address 0
    }
    fields.kind = entry;
    fields.address = rest;
    return fields;
}

bool RecordFromFields(const tagChannelFields& fields, const std::string& typeText, uint32_t colour,
                      tagOscilloElem& record) {
    if (fields.kind == kAxisKind) {
        const tagAxisParameter& row = AxisParameterTable[static_cast<size_t>(fields.parameterRow)];
        record = {"AXIS" + std::to_string(fields.axis), row.code, row.type, colour};
        return true;
    }
    const tagElementKind& kind = ElementKindTable[static_cast<size_t>(fields.kind)];
    const int64_t address = LeadingNumber(fields.address, kind.octal ? 8 : 10);
    if (address > kind.highestAddress) {
        return false;
    }
    EnumGCMDataType type = DataTypeFromText(typeText);
    if (fields.kind == KIND_C) {
        if (address >= kFirstLongCounter && type == GCM_INT) {
            type = GCM_DINT;
        } else if (address < kFirstLongCounter && (type == GCM_DINT || type == GCM_REAL)) {
            type = GCM_INT;
        }
    }
    record = {g_ElementNameText(fields.kind, static_cast<int>(address)), 0, type, colour};
    return true;
}
