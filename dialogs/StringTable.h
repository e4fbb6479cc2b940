// Every user-visible message of the program, by number, in the language in effect.
#pragma once

#include "acquisition/StringIds.h"

#include <QString>

#include <vector>

// The text in the language whose translator is installed; empty for an unknown number.
QString LoadStringById(int id);
// The English text of a number (nullptr when unknown).
const char* EnglishStringById(int id);
std::vector<int> AllStringIds();
