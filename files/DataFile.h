// The recording data file: the whole state of the main window and its six traces in one
// little-endian stream. The same layout serves export and import, the workspace and the
// automatic saving of trimmed recordings.
#pragma once

#include "acquisition/MonitorState.h"
#include "kit/BinaryArchive.h"
#include "traces/TraceSet.h"

#include <string>

// Stores the fields in file order, or resets and then loads them. Stream errors raise
// CArchiveException; on loading, what was read before the error stays.
void SerializeData(CBinaryArchive& archive, tagMonitorState& state, CTraceSet& traces, const double* limitX);

// Creates the folder when needed and writes the file; with a limit, each trace only up to the point
// found for it. The file is written beside the path and renamed over it once complete: false
// when the folder or file cannot be made or a write fails, and then a file already at the path
// stays as it was; error says why.
bool WriteDataFile(const std::string& path, tagMonitorState& state, CTraceSet& traces, const double* limitX,
                   std::string* error = nullptr);

// A path whose last four characters are "data" is a data file, anything else a CSV table.
bool IsDataFilePath(const std::string& path);

enum class EnumDataFileRead {
    Missing, // no file or it cannot be opened; nothing was touched
    Read,
    Damaged, // ended early or malformed; the state holds what was read
};
// error says what was wrong with a damaged or unreadable file.
EnumDataFileRead ReadDataFile(const std::string& path, tagMonitorState& state, CTraceSet& traces,
                              std::string* error = nullptr);

// The number of channel records a file may announce; more is a damaged file.
constexpr uint32_t kMaxFileChannels = kMaxChannels;
