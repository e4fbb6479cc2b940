#include "ChronoscopeApp.h"
#include "files/WorkspacePaths.h"
#include "kit/DocPath.h"
#include "kit/Log.h"
#include "kit/ProgramOptions.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char* argv[]) {
    const tagProgramOptions options =
        g_ReadProgramOptions([](const char* name) { return std::getenv(name); });
    g_SetDocPath(options.documentsFolder);
    g_LogToDailyFiles(LogFolder());
    QApplication application(argc, argv);
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    }
    CChronoscopeApp app(options, commandLine);
    app.InitInstance();
    return 0;
}
