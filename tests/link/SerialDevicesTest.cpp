#include "link/SerialDevices.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

// Every COM number names one device and every device name one COM number, in the historic
// ranges and beyond them; a folder's other ttys are numbered in name order.
TEST(SerialDevices, NumbersAndNamesMapBothWaysInEveryFamily) {
    CTempFolder folder;
    g_SetSerialDirectory(folder.Path());
    const std::pair<uint32_t, const char*> pairs[] = {
        {1, "ttyS0"},     {99, "ttyS98"},   {100, "ttyUSB0"}, {299, "ttyACM99"}, {300, "ttyAMA0"},
        {403, "ttymxc3"}, {501, "ttyO1"},   {600, "ttyTHS0"}, {700, "rfcomm0"},  {800, "ttyXRUSB0"},
        {1000, "ttyPS0"}, {1100, "ttySC0"}, {2000, "pts/0"},  {2999, "pts/999"},
    };
    for (const auto& [port, name] : pairs) {
        EXPECT_EQ(g_SerialDeviceOfComPort(port), folder.Path() + "/" + name) << port;
        EXPECT_EQ(g_ComPortOfDevice(name), port) << name;
    }
    for (const char* none : {"ttyS99", "ttyS01", "tty1", "tty", "null", "ttyUSB100", "pts/1000"}) {
        EXPECT_EQ(g_ComPortOfDevice(none), 0u) << none;
    }
    EXPECT_EQ(g_SerialDeviceOfComPort(0), "");
    EXPECT_EQ(g_SerialDeviceOfComPort(1500), "");

    // Character devices only; the virtual consoles are no serial lines.
    for (const char* name : {"ttyZZ1", "ttyFOO0", "tty7", "ttyUSB1", "ttyACM0"}) {
        std::filesystem::create_symlink("/dev/null", folder.File(name));
    }
    std::ofstream(folder.File("ttyS4"));
    EXPECT_EQ(g_ComPortOfDevice("ttyFOO0"), 5000u);
    EXPECT_EQ(g_SerialDeviceOfComPort(5001), folder.File("ttyZZ1"));
    EXPECT_EQ(g_ComPortsInDirectory(), (std::vector<uint32_t>{101, 200, 5000, 5001}));
    EXPECT_EQ(g_UsbSerialDevices(),
              (std::vector<std::string>{folder.File("ttyUSB1"), folder.File("ttyACM0")}));
    g_SetSerialDirectory({});
}
