// The language choice file and the cache size choices.
#pragma once

#include <cstdint>

struct tagLanguageSave {
    bool saved = false;  // a language other than the one in effect was written
    bool failed = false; // the file could not be written
};

// The language dialog's OK with the selected index (0 Chinese, 1 English). Writes the language
// file when the choice differs from the last one chosen, and updates lastChosen when it did.
tagLanguageSave SaveLanguageChoice(int selected, int& lastChosen, int languageInEffect);

// The cache size list: 1200000, 2400000, 3600000, 7200000 points.
int CacheSizeIndex(uint32_t cacheSize);
uint32_t CacheSizeOfIndex(int index);
