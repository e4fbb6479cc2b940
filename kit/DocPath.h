// Where the program keeps its files, and folder helpers.
#pragma once

#include <string>

// The user's documents folder, always ending in '/': $CHRONOSCOPE_DOCUMENTS when set, else the XDG
// documents folder, else ~/Documents.
std::string g_fGetDocPath();

// Creates the folder and every missing parent; true when the folder exists afterwards.
bool g_fCreateAllDir(const std::string& path);

bool g_fFileExists(const std::string& path);

// <documents>/LadderDesk/, the folder of every file the program keeps.
std::string g_LadderDeskFolder();
