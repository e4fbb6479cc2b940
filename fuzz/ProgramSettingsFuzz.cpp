// The reader of Chronoscope.cfg, a file people edit by hand, on arbitrary text: never a crash,
// every value within its bounds, and what it read written and read again unchanged.
#include "files/ProgramSettings.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/chronoscope-fuzz-" + std::to_string(getpid()) + ".cfg";
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    const tagProgramSettings read = g_ReadProgramSettings(path);
    if (read.capture.preTriggerMs > kMaxPreTriggerMs || read.capture.postTriggerMs < kMinPostTriggerMs ||
        read.capture.postTriggerMs > kMaxPostTriggerMs) {
        __builtin_trap();
    }
    if (g_WriteProgramSettings(path, read) && !(g_ReadProgramSettings(path) == read)) {
        __builtin_trap();
    }
    return 0;
}
