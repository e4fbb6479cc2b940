// A recording for analysis tools (h5py, pandas, MATLAB's h5read): one group per channel, named as
// the table names it, with a time_ms and a value dataset (float64, chunked, deflate-compressed),
// and the element, its type, the period, the recording's start time (UTC, where known) and the
// program's version as attributes; the root's "layout" attribute says so in words. Written in
// chunks, so memory stays flat whatever the recording's size, and atomically.
#pragma once

#include "acquisition/MonitorState.h"
#include "traces/TraceSet.h"

#include <string>

// .h5 or .hdf5.
bool IsHdf5Path(const std::string& path);
// startUtc: ISO 8601, empty when unknown. False with the reason when the file cannot be written.
bool WriteHdf5File(const std::string& path, const tagMonitorState& state, const CTraceSet& traces,
                   const std::string& startUtc, std::string* error);
