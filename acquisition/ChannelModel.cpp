#include "ChannelModel.h"

#include "kit/KitHelpers.h"
#include "kit/NumberText.h"

#include <cmath>
#include <cstdio>

const tagAxisParameter* FindAxisParameter(uint16_t code) {
    for (const tagAxisParameter& p : AxisParameterTable) {
        if (p.code == code) {
            return &p;
        }
    }
    return nullptr;
}

std::vector<EnumGCMDataType> TypesOfferedForKind(int kind) {
    switch (kind) {
    case KIND_C:
        return {GCM_BOOL, GCM_INT, GCM_DINT, GCM_REAL};
    case KIND_T:
        return {GCM_BOOL, GCM_INT};
    case KIND_D:
    case KIND_SD:
    case KIND_R:
    case KIND_W:
        return {GCM_INT, GCM_DINT, GCM_REAL};
    default:
        return {GCM_BOOL};
    }
}

double ConvertRawValue(uint32_t raw, EnumGCMDataType type) {
    switch (type) {
    case GCM_REAL:
        return g_IntToFloat(raw);
    case GCM_UINT:
    case GCM_UDINT:
    case GCM_USINT:
        return static_cast<double>(raw);
    default:
        return static_cast<double>(static_cast<int32_t>(raw));
    }
}

int32_t TruncateToInt32(double value) {
    return value > -2147483649.0 && value < 2147483648.0 ? static_cast<int32_t>(value) : INT32_MIN;
}

std::string FormatValue(double value, EnumGCMDataType type) {
    if (type == GCM_BOOL) {
        return value > 0 ? "ON" : "OFF";
    }
    if (type == GCM_REAL) {
        return g_FixedText(value);
    }
    return g_IntegerText(TruncateToInt32(value));
}

std::string_view DataTypeText(EnumGCMDataType type) {
    switch (type) {
    case GCM_BOOL:
        return "BOOL";
    case GCM_UDINT:
    case GCM_DINT:
        return "DINT";
    case GCM_REAL:
        return "REAL";
    default:
        return "INT";
    }
}

std::string ChannelDisplayName(const tagOscilloElem& channel) {
    const tagAxisParameter* param = FindAxisParameter(channel.paramCode);
    if (channel.name.find("AXIS") == std::string::npos || !param) {
        return channel.name;
    }
    const std::string axis = channel.name.size() > 4 ? channel.name.substr(4) : std::string();
    return "Axis" + axis + "(" + std::string(param->name) + ")";
}
