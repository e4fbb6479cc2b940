// A length of time as people write one: 1500ms, 90s, 30m, 8h, 2d, or plain seconds.
#pragma once

#include <optional>
#include <string_view>

// Seconds, above zero; nothing for any other text.
std::optional<double> g_ParseDuration(std::string_view text);
