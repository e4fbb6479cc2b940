// What chronoscope-record does, on the window's own session: the recorder, the cache trimming
// and the data and CSV files are the window's, only the view is different.
#pragma once

#include "RecordArguments.h"
#include "kit/ProgramOptions.h"

#include <atomic>
#include <cstdio>

// Records until the time, the samples or the stop flag says so, or the link is lost, then writes
// everything recorded; meanwhile the samples go into the journal beside the output file, which
// goes once the file is written. The link is the arguments' over the options' serial folder and simulator
// speed. Messages and the progress line go to err.
int RunRecording(const tagRecordArguments& args, const tagProgramOptions& options,
                 const std::atomic<bool>& stop, std::FILE* err);
// Converts each input file through Import Data and Export Data.
int RunConversion(const tagRecordArguments& args, std::FILE* err);
// Writes what a recording journal holds.
int RunRecovery(const tagRecordArguments& args, std::FILE* err);
