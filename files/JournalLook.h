// The chart's look in the journal: a row per channel in table look, the rest as notes look_*.
#pragma once

#include "ChartLook.h"

#include <sqlite3.h>

#include <optional>

// Replaces the look the journal holds (on the journal's thread).
void g_WriteJournalLook(sqlite3* db, const tagChartLook& look);
// Nothing when the journal holds no look (one written before looks were kept).
std::optional<tagChartLook> g_ReadJournalLook(sqlite3* db);
