// The program's messages in English, by number: what the window translates and what the
// command-line tools print.
#pragma once

#include "StringIds.h"

#include <vector>

// nullptr for an unknown number.
const char* EnglishStringById(int id);
std::vector<int> AllStringIds();
