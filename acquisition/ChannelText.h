// A channel written as text, as the command line and scripts give one: ELEMENT[:TYPE] (X17, D200,
// D20:REAL) or AXISn.PARAMETER with the parameter's name or code (AXIS0.Input1-ActPosition,
// AXIS1.18). The channel dialog's lists, types and ranges apply.
#pragma once

#include "link/OscilloTypes.h"

#include <string>

// False with the reason when the text names no channel the dialog could make. The channel takes
// the default colour of list position index.
bool g_ParseChannelText(const std::string& text, size_t index, tagOscilloElem& channel, std::string& error);
