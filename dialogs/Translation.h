// Switches the texts of the program (and of Qt's own dialogs) between English and Chinese.
#pragma once

// Installs the Chinese translators, or removes them for English. Returns false when the Chinese
// texts could not be loaded (the program then shows English).
bool g_ApplyUiLanguage(bool chinese);
