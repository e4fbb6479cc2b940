// Every user-visible message of the program, by number, in the language in effect.
#pragma once

#include <QString>

#include <vector>

enum EnumStringId : int {
    IDS_TIMELINE = 129,
    IDS_SELECT_SERIAL_PORT = 131,
    IDS_SERIAL_SETUP_FAILED = 132,
    IDS_SERIAL_SETUP_OK = 133,
    IDS_ETHERNET_FAILED = 134,
    IDS_ETHERNET_OK = 135,
    IDS_SELECT_USB_PORT = 136,
    IDS_USB_FAILED = 137,
    IDS_USB_OK = 138,
    IDS_TEST_SUCCESS = 139,
    IDS_TEST_FAILED_PROGRESS = 140,
    IDS_TEST_FAILED = 141,
    IDS_TEST_PROGRESS = 142,
    IDS_TABLE_HEADER = 143,
    IDS_FILE_EXISTS = 144,
    IDS_EXPORT_OK = 145,
    IDS_EXPORT_FAILED = 146,
    IDS_IMPORT_OK = 147,
    IDS_IMPORT_FAILED = 148,
    IDS_CAPTION = 149,
    IDS_MENU_LANGUAGE = 150,
    IDS_STOP = 151,
    IDS_RUN = 152,
    IDS_NO_CHANNEL = 153,
    IDS_SET_CHANNELS_FAILED = 154,
    IDS_RUN_COMMAND_FAILED = 155,
    IDS_CLEAR_CONFIRM = 156,
    IDS_READ_FAILED = 157,
    IDS_WRITE_FAILED = 158,
    IDS_TOO_MANY_CHANNELS = 159,
    IDS_DELETE_CONFIRM = 160,
    IDS_ADD_CHANNEL = 161,
    IDS_MODIFY_CHANNEL = 162,
    IDS_AXIS_PARAMETERS = 163,
    IDS_ADDRESS_RANGE = 164,
    IDS_LANGUAGE_SAVE_FAILED = 165,
    IDS_RESTART_CONFIRM = 166,
    IDS_MENU_CACHE_SIZE = 167,
    IDS_PEER_MAIN_MODULE = 168,
    IDS_PEER_ETHERNET_MODULE = 169,
    IDS_APP_NAME = 57344,
};

// The text in the language whose translator is installed; empty for an unknown number.
QString LoadStringById(int id);
// The English text of a number (nullptr when unknown).
const char* EnglishStringById(int id);
std::vector<int> AllStringIds();
