// Where the program's own files live under the documents folder.
#pragma once

#include <string>

// The language choice: a single digit, 1 English, anything else Chinese.
std::string LanguageFilePath();
// The program's own settings (key = value lines).
std::string ProgramSettingsPath();
// The whole window state, written at exit and read at start.
std::string WorkspaceFilePath();
// The window's recording journal.
std::string JournalFilePath();
// Automatically saved halves of long recordings, ending in '/'.
std::string AutoSaveFolder();
// The files of a repeating trigger's events, ending in '/'.
std::string EventsFolder();
// The window's log files, a file a day.
std::string LogFolder();

#include <chrono>
#include <ctime>

// The local date and time as "%4d%02d%02d%02d%02d%02d": the proposed export name and the name of
// each automatically saved file.
std::string g_TimeStampName(std::time_t when);

// The local date and time to the millisecond as "YYYYMMDD-hhmmss-mmm": the name of an event's file.
std::string g_EventName(std::chrono::system_clock::time_point when);
// The local time of day as "hh:mm:ss.mmm".
std::string g_TimeOfDayText(std::chrono::system_clock::time_point when);
