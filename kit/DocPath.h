// Where the program keeps its files, and folder helpers.
#pragma once

#include <string>

// The user's documents folder, always ending in '/': what the program's options chose (see
// ProgramOptions.h), else the home folder's Documents.
std::string g_fGetDocPath();
// Chooses the documents folder for the whole process (a '/' is added when missing).
void g_SetDocPath(const std::string& folder);

// Creates the folder and every missing parent; true when the folder exists afterwards.
bool g_fCreateAllDir(const std::string& path);

bool g_fFileExists(const std::string& path);

// <documents>/LadderDesk/, the folder of every file the program keeps.
std::string g_LadderDeskFolder();
