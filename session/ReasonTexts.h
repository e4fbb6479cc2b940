// Why something failed, in the window's language. The reasons come from the operating system,
// libmodbus, SQLite and our own link and files, all in English; the ones we know are put in our
// own words from the string table, the rest (paths, element names, numbers) stays as it is.
#pragma once

#include "StatusTexts.h"

#include <string>

std::string g_ReasonText(const std::string& raw, const StringLookup& text);
