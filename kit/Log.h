// The program's log: what happened on the link (open, close, timeouts, late replies dropped, reads
// split, resynchronisations, reconnects, overruns, the sampling mode), the recordings' starts and
// stops, and what could not be written. A program's main says where it goes; until then it goes
// nowhere.
#pragma once

#include <spdlog/spdlog.h>

#include <string>

// The log every layer writes to.
spdlog::logger& g_Log();

// The window: a file a day, FOLDER/chronoscope-YYYYMMDD.log, a week of them kept; warnings also on
// the terminal. False when the folder cannot be made (the log then goes to the terminal only).
bool g_LogToDailyFiles(const std::string& folder);
// One file (chronoscope-record --log), info and up, with debug lines when verbose; warnings also
// on the terminal. An empty path: the terminal alone, warnings and up (debug with verbose).
bool g_LogToFile(const std::string& path, bool verbose);
// Everything written so far is on its way to the disk.
void g_FlushLog();
