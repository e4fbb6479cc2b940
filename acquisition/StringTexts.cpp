#include "StringTexts.h"

// Marks the texts for Qt's lupdate, which reads this file too; here they are plain strings.
#define QT_TRANSLATE_NOOP(context, text) text

namespace {

struct tagStringEntry {
    int id;
    const char* text;
};

// The English texts; they are also the sources of the translations (context "Strings").
constexpr tagStringEntry kStrings[] = {
    {IDS_TIMELINE, QT_TRANSLATE_NOOP("Strings", "Timeline(ms)")},
    {IDS_SELECT_SERIAL_PORT,
     QT_TRANSLATE_NOOP("Strings", "Please select a serial port that is currently connected to the PLC")},
    {IDS_SERIAL_SETUP_FAILED,
     QT_TRANSLATE_NOOP("Strings", "Computer serial port setting failed, please check "
                                  "whether the computer serial port is occupied or damaged")},
    {IDS_SERIAL_SETUP_OK, QT_TRANSLATE_NOOP("Strings", "Set computer serial port parameters successfully")},
    {IDS_ETHERNET_FAILED, QT_TRANSLATE_NOOP("Strings", "Failed to connect to Ethernet module")},
    {IDS_ETHERNET_OK, QT_TRANSLATE_NOOP("Strings", "Connect Ethernet module successfully")},
    {IDS_SELECT_USB_PORT,
     QT_TRANSLATE_NOOP("Strings", "Please select a USB port that is currently connected to the PLC")},
    {IDS_USB_FAILED, QT_TRANSLATE_NOOP("Strings", "Connection to PLC via USB port failed")},
    {IDS_USB_OK, QT_TRANSLATE_NOOP("Strings", "Connecting to PLC via USB interface is successful")},
    {IDS_TEST_SUCCESS, QT_TRANSLATE_NOOP("Strings", "Test success with baud rate %d\n%s,%d,%d")},
    {IDS_TEST_FAILED_PROGRESS, QT_TRANSLATE_NOOP("Strings", "Progress:Test failed!")},
    {IDS_TEST_FAILED,
     QT_TRANSLATE_NOOP("Strings", "Connection test between this machine and PLC failed, please "
                                  "check serial connection or PLC!")},
    {IDS_TEST_PROGRESS, QT_TRANSLATE_NOOP("Strings", "Progress:COM%d:%d,%s,%d,%d")},
    {IDS_TABLE_HEADER,
     QT_TRANSLATE_NOOP("Strings", "|Channel Name|DataType|Color|Scale|Latest|Min|Max|X1|X2|ΔX|ΔY")},
    {IDS_FILE_EXISTS, QT_TRANSLATE_NOOP("Strings", "The file already exists, is it overwritten?")},
    {IDS_EXPORT_OK, QT_TRANSLATE_NOOP("Strings", "Data export success")},
    {IDS_EXPORT_FAILED, QT_TRANSLATE_NOOP("Strings", "Data export failed")},
    {IDS_IMPORT_OK, QT_TRANSLATE_NOOP("Strings", "Data import successful")},
    {IDS_IMPORT_FAILED, QT_TRANSLATE_NOOP("Strings", "Data import failed")},
    {IDS_CAPTION, QT_TRANSLATE_NOOP("Strings", "Time Series Monitoring Software(V1.0.2)")},
    {IDS_MENU_LANGUAGE, QT_TRANSLATE_NOOP("Strings", "Language(&L)")},
    {IDS_STOP, QT_TRANSLATE_NOOP("Strings", "Stop")},
    {IDS_RUN, QT_TRANSLATE_NOOP("Strings", "Run")},
    {IDS_NO_CHANNEL, QT_TRANSLATE_NOOP("Strings", "No channel selected!")},
    {IDS_SET_CHANNELS_FAILED, QT_TRANSLATE_NOOP("Strings", "Failed to set channel data!")},
    {IDS_RUN_COMMAND_FAILED, QT_TRANSLATE_NOOP("Strings", "Failed to send running command!")},
    {IDS_CLEAR_CONFIRM, QT_TRANSLATE_NOOP("Strings", "Are you sure you want to clear the data?")},
    {IDS_READ_FAILED, QT_TRANSLATE_NOOP("Strings", "Failed to read data, please check and try again!")},
    {IDS_WRITE_FAILED, QT_TRANSLATE_NOOP("Strings", "Failed to write element, please check and try again!")},
    {IDS_TOO_MANY_CHANNELS,
     QT_TRANSLATE_NOOP("Strings", "Select up to 6 channels, the maximum number has been reached")},
    {IDS_DELETE_CONFIRM, QT_TRANSLATE_NOOP("Strings", "Are you sure you want to delete this channel?")},
    {IDS_ADD_CHANNEL, QT_TRANSLATE_NOOP("Strings", "Add Channel")},
    {IDS_MODIFY_CHANNEL, QT_TRANSLATE_NOOP("Strings", "Modify Channel")},
    {IDS_AXIS_PARAMETERS, QT_TRANSLATE_NOOP("Strings", "Axis Parameters")},
    {IDS_ADDRESS_RANGE, QT_TRANSLATE_NOOP("Strings", "Out of element address range, please re-enter")},
    {IDS_LANGUAGE_SAVE_FAILED,
     QT_TRANSLATE_NOOP("Strings", "Failed to save configuration, failed to switch language")},
    {IDS_RESTART_CONFIRM,
     QT_TRANSLATE_NOOP("Strings", "The language switch is successful. It will take effect "
                                  "after restarting the program. Do you want to restart now?")},
    {IDS_MENU_CACHE_SIZE, QT_TRANSLATE_NOOP("Strings", "Cache Size Setting(&B)")},
    {IDS_PEER_MAIN_MODULE, QT_TRANSLATE_NOOP("Strings", "QX Main Module")},
    {IDS_PEER_ETHERNET_MODULE, QT_TRANSLATE_NOOP("Strings", "Ethernet Module")},
    {IDS_APP_NAME, QT_TRANSLATE_NOOP("Strings", "Time Series Monitoring Software")},
    {IDS_MENU_EVERY_SAMPLE, QT_TRANSLATE_NOOP("Strings", "Show Every Sample")},
    {IDS_JOURNAL_RECOVER,
     QT_TRANSLATE_NOOP("Strings",
                       "The last recording ended unexpectedly at %s with %s samples. Recover it?")},
    {IDS_JOURNAL_FAILED,
     QT_TRANSLATE_NOOP("Strings",
                       "The recording journal cannot be written; the recording goes on in memory.")},
    {IDS_PRE_TRIGGER, QT_TRANSLATE_NOOP("Strings", "Pre-trigger (ms)")},
    {IDS_TRIGGER_REPEAT, QT_TRANSLATE_NOOP("Strings", "Repeat")},
    {IDS_POST_TRIGGER, QT_TRANSLATE_NOOP("Strings", "Post-trigger (ms)")},
    {IDS_EVENT_SAVE_FAILED,
     QT_TRANSLATE_NOOP("Strings", "The event could not be saved; the recording goes on.")},
    {IDS_TRIGGER_WAITING, QT_TRANSLATE_NOOP("Strings", "Waiting for trigger")},
    {IDS_TRIGGER_FIRED_AT, QT_TRANSLATE_NOOP("Strings", "Triggered at %s")},
    {IDS_TRIGGER_EVENTS_SAVED, QT_TRANSLATE_NOOP("Strings", "%s events saved")},
    {IDS_TRIGGER_ONE_EVENT_SAVED, QT_TRANSLATE_NOOP("Strings", "1 event saved")},
    {IDS_MAP_FILE_ERRORS,
     QT_TRANSLATE_NOOP("Strings", "The Modbus map file has errors; the default map is used.")},
    {IDS_SKIPPED_TICKS, QT_TRANSLATE_NOOP("Strings", "Skipped: %s (%s)")},
    {IDS_STATUS_LINK, QT_TRANSLATE_NOOP("Strings", "Link: %s")},
    {IDS_STATUS_RECORDING, QT_TRANSLATE_NOOP("Strings", "Recording %s")},
    {IDS_STATUS_STOPPED, QT_TRANSLATE_NOOP("Strings", "Stopped")},
    {IDS_STATUS_WRITTEN, QT_TRANSLATE_NOOP("Strings", "%s \u2190 %s written")},
    {IDS_STATUS_JOURNAL, QT_TRANSLATE_NOOP("Strings", "Journal on")},
    {IDS_MENU_CHECK_WRITES, QT_TRANSLATE_NOOP("Strings", "Check Values Before Writing")},
    {IDS_WRITE_REFUSED,
     QT_TRANSLATE_NOOP("Strings",
                       "The value was not written: it is not a complete value of the element's type.")},
    {IDS_STATUS_WRITTEN_READS, QT_TRANSLATE_NOOP("Strings", "%s \u2190 %s written, reads %s")},
    {IDS_STATUS_NOT_WRITTEN, QT_TRANSLATE_NOOP("Strings", "%s \u2190 %s not written: %s")},
    {IDS_SAMPLED_IN_CONTROLLER, QT_TRANSLATE_NOOP("Strings", "Sampled in the controller")},
    {IDS_POLLED_BY_COMPUTER, QT_TRANSLATE_NOOP("Strings", "Polled by this computer")},
    {IDS_POLLED_WITH_CLOCK,
     QT_TRANSLATE_NOOP("Strings", "Polled by this computer, timed by the controller's clock")},
    {IDS_TRACE_STATISTICS,
     QT_TRANSLATE_NOOP("Strings", "Records read: %s; ring overruns: %s; the controller's period: %s ms")},
    {IDS_POLL_STATISTICS,
     QT_TRANSLATE_NOOP("Strings", "Polls: %s; failed: %s; the controller's time seen again: %s")},
    {IDS_JOURNAL_RECOVERED, QT_TRANSLATE_NOOP("Strings", "Recording recovered: %s samples of %s channels")},
    {IDS_JOURNAL_KEPT_ASIDE,
     QT_TRANSLATE_NOOP("Strings", "The unfinished recording was kept as %s.\n"
                                  "To bring it back later: chronoscope-record --recover %s --out FILE.data")},
    {IDS_STATUS_JOURNAL_OFF, QT_TRANSLATE_NOOP("Strings", "Journal off")},
    {IDS_EXIT_NOT_SAVED,
     QT_TRANSLATE_NOOP("Strings", "The workspace could not be saved. The recording is kept until it is saved "
                                  "or discarded.")},
    {IDS_EXIT_RETRY, QT_TRANSLATE_NOOP("Strings", "Retry")},
    {IDS_EXIT_SAVE_AS, QT_TRANSLATE_NOOP("Strings", "Save As...")},
    {IDS_EXIT_DISCARD, QT_TRANSLATE_NOOP("Strings", "Discard")},
    {IDS_CACHE_KEPT,
     QT_TRANSLATE_NOOP("Strings",
                       "The older half of the cache could not be saved. It stays in memory, and saving is "
                       "tried again every few seconds.")},
    {IDS_MENU_CURSOR_STATISTICS, QT_TRANSLATE_NOOP("Strings", "Statistics Between the Cursors")},
    {IDS_MENU_VALUES_AT_CURSORS, QT_TRANSLATE_NOOP("Strings", "Values at X1 and X2")},
    {IDS_MENU_EXTREMES_BETWEEN, QT_TRANSLATE_NOOP("Strings", "Minimum, Maximum and Peak-to-Peak")},
    {IDS_MENU_MEAN_AND_RMS, QT_TRANSLATE_NOOP("Strings", "Mean and RMS")},
    {IDS_STATISTICS_HEADER, QT_TRANSLATE_NOOP("Strings", "Y(X1)|Y(X2)|Min X1-X2|Max X1-X2|P-P|Mean|RMS")},
    {IDS_STATISTICS_COUNT, QT_TRANSLATE_NOOP("Strings", "%s samples between the cursors")},
    {IDS_MENU_COPY_CHART, QT_TRANSLATE_NOOP("Strings", "Copy Chart")},
    {IDS_MENU_SAVE_CHART_IMAGE, QT_TRANSLATE_NOOP("Strings", "Save Chart Image...")},
    {IDS_CHART_IMAGE_FAILED, QT_TRANSLATE_NOOP("Strings", "The chart image could not be saved")},
    {IDS_MENU_SHOW_GAPS, QT_TRANSLATE_NOOP("Strings", "Show Gaps")},
    {IDS_TRIGGER_ARMED, QT_TRANSLATE_NOOP("Strings", "Armed \u2014 waiting for trigger")},
    {IDS_LINK_SERIAL, QT_TRANSLATE_NOOP("Strings", "serial %s")},
    {IDS_LINK_TCP, QT_TRANSLATE_NOOP("Strings", "tcp %s")},
    {IDS_LINK_USB, QT_TRANSLATE_NOOP("Strings", "usb %s")},
    {IDS_TEXT_SEPARATOR, QT_TRANSLATE_NOOP("Strings", "; ")},
    {IDS_REASON_TIMEOUT, QT_TRANSLATE_NOOP("Strings", "no answer in time")},
    {IDS_REASON_NO_ANSWER, QT_TRANSLATE_NOOP("Strings", "the controller does not answer")},
    {IDS_REASON_REFUSED, QT_TRANSLATE_NOOP("Strings", "the connection was refused")},
    {IDS_REASON_NO_SUCH, QT_TRANSLATE_NOOP("Strings", "no such file or device")},
    {IDS_REASON_EXCEPTION_1,
     QT_TRANSLATE_NOOP("Strings", "the controller does not know the request (exception 1)")},
    {IDS_REASON_EXCEPTION_2,
     QT_TRANSLATE_NOOP("Strings", "the controller has no such address (exception 2)")},
    {IDS_REASON_EXCEPTION_3, QT_TRANSLATE_NOOP("Strings", "the controller refused the value (exception 3)")},
    {IDS_REASON_EXCEPTION_4,
     QT_TRANSLATE_NOOP("Strings", "the controller failed to carry out the request (exception 4)")},
    {IDS_REASON_DISK_FULL, QT_TRANSLATE_NOOP("Strings", "the disk is full")},
    {IDS_REASON_PERMISSION, QT_TRANSLATE_NOOP("Strings", "permission denied")},
    {IDS_REASON_VALUE_REFUSED, QT_TRANSLATE_NOOP("Strings", "the controller refused the value")},
    {IDS_REASON_NOT_OPEN, QT_TRANSLATE_NOOP("Strings", "the link is not open")},
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
