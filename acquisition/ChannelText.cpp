#include "ChannelText.h"

#include "ChannelDialogRules.h"
#include "ChannelModel.h"
#include "StringTexts.h"
#include "kit/ElementKinds.h"
#include "kit/ElementName.h"
#include "kit/TextHelpers.h"

#include <algorithm>
#include <cctype>

namespace {

// The dialog's fields for an axis parameter: AXISn.PARAMETER.
bool AxisFields(const std::string& text, const std::string& name, tagChannelFields& fields,
                std::string& error) {
    const size_t dot = name.find('.');
    const auto axis = g_SplitElementName(name.substr(0, dot));
    const auto number = axis && axis->IsAxis() ? g_ElementAddress(*axis, false) : std::nullopt;
    if (dot == std::string::npos || !number) {
        error = text + ": an axis parameter is AXISn.PARAMETER with n from 0 to 31";
        return false;
    }
    const std::string parameter = name.substr(dot + 1);
    for (size_t row = 0; row < AxisParameterTable.size(); ++row) {
        const tagAxisParameter& p = AxisParameterTable[row];
        if (g_Upper(std::string(p.name)) == parameter || std::to_string(p.code) == parameter) {
            fields = {kAxisKind, "0", *number, static_cast<int>(row)};
            return true;
        }
    }
    error = text + ": unknown axis parameter " + text.substr(text.find('.') + 1);
    return false;
}

// The dialog's fields for a soft element.
bool ElementFields(const std::string& text, const std::string& name, tagChannelFields& fields,
                   std::string& error) {
    const auto element = g_SplitElementName(name);
    if (!element || element->kind < 0) {
        error = text + ": unknown element (X, Y, M, S, SM, T, C, D, SD, R, W followed by an address, or "
                       "AXISn.PARAMETER)";
        return false;
    }
    if (element->bit >= 0) {
        error = text + ": the address is a number";
        return false;
    }
    if (ElementKindTable[element->kind].octal && !g_IsOctal(element->digits)) {
        error = text + ": X and Y addresses are octal";
        return false;
    }
    fields = {element->kind, element->digits, 0, 0};
    return true;
}

} // namespace

bool g_ParseChannelText(const std::string& text, size_t index, tagOscilloElem& channel, std::string& error) {
    const size_t colon = text.find(':');
    const std::string name = g_Upper(text.substr(0, colon));
    const std::string typeText = colon == std::string::npos ? std::string() : g_Upper(text.substr(colon + 1));
    const uint32_t colour = DefaultChannelColours[index % DefaultChannelColours.size()];
    tagChannelFields fields;
    const bool axis = name.rfind("AXIS", 0) == 0;
    if (!(axis ? AxisFields(text, name, fields, error) : ElementFields(text, name, fields, error))) {
        return false;
    }
    const std::vector<std::string> offered = DataTypeTexts(fields.kind, fields.parameterRow);
    const std::string type = typeText.empty() ? offered.front() : typeText;
    if (std::find(offered.begin(), offered.end(), type) == offered.end()) {
        std::string list;
        for (const std::string& t : offered) {
            list += (list.empty() ? "" : ", ") + t;
        }
        error = text.substr(0, colon) + ": the type is one of " + list;
        return false;
    }
    if (!RecordFromFields(fields, type, colour, channel)) {
        const char* range = EnglishStringById(IDS_ADDRESS_RANGE);
        error = text + ": " + (range ? range : "");
        return false;
    }
    return true;
}
