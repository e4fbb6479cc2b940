// The recorded traces as a CSV table: a "Time(ms)" column and a value column per channel.
#pragma once

#include "acquisition/MonitorState.h"
#include "traces/TraceSet.h"

#include <string>

// Header row, then one row per point index up to the longest trace; values as the table shows
// them (no scale or offset). False when the file cannot be written; error then says why.
bool WriteCsvFile(const std::string& path, const tagMonitorState& state, CTraceSet& traces,
                  std::string* error = nullptr);

// Replaces the channels, the traces and the trigger by the table's (link, sampling, cache and
// window settings stay). A missing file, a bad header or malformed CSV changes nothing; error
// then says why.
bool ReadCsvFile(const std::string& path, tagMonitorState& state, CTraceSet& traces,
                 std::string* error = nullptr);

// The heading of a channel's value column: name, "(parameter)" for an axis channel, ":" and type.
std::string CsvChannelHeading(const tagOscilloElem& channel);
