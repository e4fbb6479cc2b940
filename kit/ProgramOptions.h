// What the environment tells a program, read once by its main and handed down: no layer below
// looks at the environment itself.
#pragma once

#include <functional>
#include <string>

struct tagProgramOptions {
    std::string documentsFolder; // ends in '/'
    bool simulator = false;      // CHRONOSCOPE_SIMULATOR=1: the in-process controller
    double simulatorSpeed = 1.0; // CHRONOSCOPE_SIM_SPEED: its clock runs 1 to 10000 times faster
    std::string serialFolder;    // CHRONOSCOPE_SERIAL_DIR: serial devices instead of /dev
    int autoCloseMs = 0;         // CHRONOSCOPE_AUTOCLOSE_MS: the window closes itself (headless runs)
};

// The value of a variable, or null when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// Reads every variable the programs know once. The documents folder is $CHRONOSCOPE_DOCUMENTS
// when set, else the XDG documents folder (user-dirs.dirs under $XDG_CONFIG_HOME or ~/.config),
// else $HOME/Documents.
tagProgramOptions g_ReadProgramOptions(const EnvironmentLookup& lookup);
