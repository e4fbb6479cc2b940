#include "StringTexts.h"

namespace {

struct tagStringEntry {
    int id;
    const char* text;
};

// The English texts; they are also the sources of the translations (context "Strings").
constexpr tagStringEntry kStrings[] = {
    {IDS_TIMELINE, "Timeline(ms)"},
    {IDS_SELECT_SERIAL_PORT, "Please select a serial port that is currently connected to the PLC"},
    {IDS_SERIAL_SETUP_FAILED, "Computer serial port setting failed, please check "
                              "whether the computer serial port is occupied or damaged"},
    {IDS_SERIAL_SETUP_OK, "Set computer serial port parameters successfully"},
    {IDS_ETHERNET_FAILED, "Failed to connect to Ethernet module"},
    {IDS_ETHERNET_OK, "Connect Ethernet module successfully"},
    {IDS_SELECT_USB_PORT, "Please select a USB port that is currently connected to the PLC"},
    {IDS_USB_FAILED, "Connection to PLC via USB port failed"},
    {IDS_USB_OK, "Connecting to PLC via USB interface is successful"},
    {IDS_TEST_SUCCESS, "Test success with baud rate %d\n%s,%d,%d"},
    {IDS_TEST_FAILED_PROGRESS, "Progress:Test failed!"},
    {IDS_TEST_FAILED, "Connection test between this machine and PLC failed, please "
                      "check serial connection or PLC!"},
    {IDS_TEST_PROGRESS, "Progress:COM%d:%d,%s,%d,%d"},
    {IDS_TABLE_HEADER, "|Channel Name|DataType|Color|Scale|Latest|Min|Max|X1|X2|ΔX|ΔY"},
    {IDS_FILE_EXISTS, "The file already exists, is it overwritten?"},
    {IDS_EXPORT_OK, "Data export success"},
    {IDS_EXPORT_FAILED, "Data export failed"},
    {IDS_IMPORT_OK, "Data import successful"},
    {IDS_IMPORT_FAILED, "Data import failed"},
    {IDS_CAPTION, "Time Series Monitoring Software(V1.0.2)"},
    {IDS_MENU_LANGUAGE, "Language(&L)"},
    {IDS_STOP, "Stop"},
    {IDS_RUN, "Run"},
    {IDS_NO_CHANNEL, "No channel selected!"},
    {IDS_SET_CHANNELS_FAILED, "Failed to set channel data!"},
    {IDS_RUN_COMMAND_FAILED, "Failed to send running command!"},
    {IDS_CLEAR_CONFIRM, "Are you sure you want to clear the data?"},
    {IDS_READ_FAILED, "Failed to read data, please check and try again!"},
    {IDS_WRITE_FAILED, "Failed to write element, please check and try again!"},
    {IDS_TOO_MANY_CHANNELS, "Select up to 6 channels, the maximum number has been reached"},
    {IDS_DELETE_CONFIRM, "Are you sure you want to delete this channel?"},
    {IDS_ADD_CHANNEL, "Add Channel"},
    {IDS_MODIFY_CHANNEL, "Modify Channel"},
    {IDS_AXIS_PARAMETERS, "Axis Parameters"},
    {IDS_ADDRESS_RANGE, "Out of element address range, please re-enter"},
    {IDS_LANGUAGE_SAVE_FAILED, "Failed to save configuration, failed to switch language"},
    {IDS_RESTART_CONFIRM, "The language switch is successful. It will take effect "
                          "after restarting the program. Do you want to restart now?"},
    {IDS_MENU_CACHE_SIZE, "Cache Size Setting(&B)"},
    {IDS_PEER_MAIN_MODULE, "QX Main Module"},
    {IDS_PEER_ETHERNET_MODULE, "Ethernet Module"},
    {IDS_APP_NAME, "Time Series Monitoring Software"},
};

} // namespace

const char* EnglishStringById(int id) {
    for (const tagStringEntry& entry : kStrings) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    return nullptr;
}

std::vector<int> AllStringIds() {
    std::vector<int> ids;
    for (const tagStringEntry& entry : kStrings) {
        ids.push_back(entry.id);
    }
    return ids;
}
