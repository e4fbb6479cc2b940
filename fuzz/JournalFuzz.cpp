// The journal reader (what --recover and the window's recovery read) on arbitrary database files:
// it may call a journal damaged, never crash, and what it builds stays within six channels.
#include "acquisition/ChannelModel.h"
#include "files/RecordingJournal.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/chronoscope-fuzz-" + std::to_string(getpid()) + ".journal";
    static CTraceSet traces(DefaultChannelColours);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        std::remove((path + suffix).c_str());
    }
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    CRecordingJournal::Inspect(path);
    tagMonitorState state;
    std::string error;
    CRecordingJournal::Replay(path, state, traces, &error);
    if (state.channels.size() > kMaxChannels) {
        __builtin_trap();
    }
    return 0;
}
