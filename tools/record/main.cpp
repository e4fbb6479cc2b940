// chronoscope-record: records a controller's elements without a window, or converts recordings.
// See --help.
#include "RecordArguments.h"
#include "RecordRun.h"
#include "kit/DocPath.h"
#include "kit/Log.h"
#include "kit/ProgramOptions.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int) {
    g_stop = true;
}

} // namespace

int main(int argc, char** argv) {
    const tagProgramOptions options =
        g_ReadProgramOptions([](const char* name) { return std::getenv(name); });
    g_SetDocPath(options.documentsFolder);
    const std::vector<std::string> args(argv + 1, argv + argc);
    tagRecordArguments parsed;
    std::string error;
    if (!ParseRecordArguments(args, parsed, error)) {
        std::fprintf(stderr, "chronoscope-record: %s\n(see chronoscope-record --help)\n", error.c_str());
        return RECORD_BAD_ARGUMENTS;
    }
    if (parsed.help || args.empty()) {
        std::fputs(RecordUsage().c_str(), stdout);
        return args.empty() ? RECORD_BAD_ARGUMENTS : RECORD_OK;
    }
    if (!g_LogToFile(parsed.logFile, parsed.verbose)) {
        std::fprintf(stderr, "chronoscope-record: cannot write the log %s\n", parsed.logFile.c_str());
        return RECORD_NOT_WRITABLE;
    }
    if (parsed.Converting()) {
        return RunConversion(parsed, stderr);
    }
    if (parsed.Recovering()) {
        return RunRecovery(parsed, stderr);
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr); // the terminal went away
    std::signal(SIGPIPE, SIG_IGN);
    return RunRecording(parsed, options, g_stop, stderr);
}
