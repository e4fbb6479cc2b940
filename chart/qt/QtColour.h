// The one conversion between the core's 0x00BBGGRR colours and Qt's.
#pragma once

#include <QColor>

#include <cstdint>

QColor g_ToQColor(uint32_t colour);
uint32_t g_FromQColor(const QColor& colour);
