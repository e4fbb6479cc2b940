// Small helpers of the utility kit.
#pragma once

#include "DataTypes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Blocks the calling thread.
void g_Delay(double seconds);

// The controller's REAL word as a float (IEEE 754 single precision), and back.
float g_IntToFloat(uint32_t word);
uint32_t g_FloatToInt(float value);

// Names of the data types; g_StrToDataType reads back every text g_DataTypeToStr writes
// (case-insensitive); an unknown text reads as INT.
std::string g_DataTypeToStr(EnumGCMDataType type);
EnumGCMDataType g_StrToDataType(std::string_view text);

// A message format of the string table with its %d, %u and %s filled in order from args; the
// translated formats keep the placeholders but not always the words around them.
std::string g_FormatText(std::string_view format, const std::vector<std::string>& args);
