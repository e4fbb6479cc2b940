// Every user-visible message of the program, by number, in the language in effect.
#pragma once

#include "acquisition/StringTexts.h"

#include <QString>

// The text in the language whose translator is installed; empty for an unknown number.
QString LoadStringById(int id);
