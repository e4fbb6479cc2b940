// The colour dialog for a trace colour, as every picker of the program uses it.
#pragma once

#include <cstdint>
#include <optional>

class QWidget;

// The picked colour (pure black kept as a near black, which the chart can tell from "unset"), or
// nothing when the user cancelled.
std::optional<uint32_t> g_PickTraceColour(uint32_t current, QWidget* parent);
