#pragma once

#include <cstdio>
#include <string>

// Fixed-point text of a tick value with the given digits after the point.
inline std::string FixedPointText(double value, int precision) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", precision, value);
    return text;
}
