// Channels and their values: the tables the dialogs and the table draw on, raw-word conversion
// and the text form of a value.
#pragma once

#include "kit/ElementKinds.h"
#include "link/OscilloTypes.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct tagAxisParameter {
    uint16_t code;
    std::string_view name;
    EnumGCMDataType type;
};

// The 21 parameters of a motion axis, in the order the channel dialog lists them.
inline constexpr std::array<tagAxisParameter, 21> AxisParameterTable{{
    {0, "Output0-ControlWord", GCM_UINT},    {1, "Output1-TargetPosition", GCM_DINT},
    {2, "Output2-TargetVelocity", GCM_DINT}, {3, "Output3-TargetTorque", GCM_INT},
    {4, "Output4-OprationMode", GCM_USINT},  {5, "Output5-TouchFunction", GCM_UINT},
    {6, "Output6-MaxVelocity", GCM_DINT},    {7, "Output7-MaxTorque", GCM_UINT},
    {8, "Output8-DigitalOutput", GCM_UDINT}, {16, "Input0-StatusWord", GCM_UINT},
    {17, "Input1-ActPosition", GCM_DINT},    {18, "Input2-ActVelocity", GCM_DINT},
    {19, "Input3-ActTorque", GCM_INT},       {20, "Input4-ActOprationMode", GCM_USINT},
    {21, "Input5-TouchStatus", GCM_UINT},    {22, "Input6-TouchPPos[0]", GCM_DINT},
    {23, "Input7-TouchPPos[1]", GCM_DINT},   {24, "Input8-TouchNPos[0]", GCM_DINT},
    {25, "Input9-TouchNPos[1]", GCM_DINT},   {26, "Input10-DigitalInput", GCM_UDINT},
    {27, "Input11-ErrorCode", GCM_UINT},
}};

const tagAxisParameter* FindAxisParameter(uint16_t code);

// Trace colour of each chart series before the user picks one (0x00BBGGRR).
constexpr uint32_t RGB(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}
inline constexpr std::array<uint32_t, kMaxChannels> DefaultChannelColours{
    RGB(160, 82, 45), RGB(0, 255, 0), RGB(96, 96, 96), RGB(0, 0, 255), RGB(255, 0, 255), RGB(253, 99, 71),
};

// Data types the channel dialog offers for each element kind (index into ElementKindTable).
std::vector<EnumGCMDataType> TypesOfferedForKind(int kind);

// The value a raw 32-bit sample word stands for.
double ConvertRawValue(uint32_t raw, EnumGCMDataType type);

// Truncation toward zero as the processor's conversion does it: out of range and NaN give
// -2147483648.
int32_t TruncateToInt32(double value);

// "ON"/"OFF" for BOOL, "%f" for REAL, else "%d" of the value truncated toward zero; values beyond
// 32 bits print as -2147483648, as the processor's truncating conversion gives.
std::string FormatValue(double value, EnumGCMDataType type);

// "BOOL", "INT", "DINT" or "REAL" as the channel table shows a type.
std::string_view DataTypeText(EnumGCMDataType type);

// Channel name as the table shows it: Axis3(Input1-ActPosition) for axis channels.
std::string ChannelDisplayName(const tagOscilloElem& channel);
