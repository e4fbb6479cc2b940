#include "Log.h"

#include "DocPath.h"

#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/sinks/daily_file_sink.h>
#include <spdlog/sinks/null_sink.h>
#include <spdlog/sinks/stdout_sinks.h>

#include <memory>
#include <vector>

namespace {

constexpr uint16_t kDaysKept = 7;

std::shared_ptr<spdlog::logger>& Logger() {
    static std::shared_ptr<spdlog::logger> logger =
        std::make_shared<spdlog::logger>("chronoscope", std::make_shared<spdlog::sinks::null_sink_mt>());
    return logger;
}

std::shared_ptr<spdlog::sinks::sink> Terminal(spdlog::level::level_enum least) {
    auto terminal = std::make_shared<spdlog::sinks::stderr_sink_mt>();
    terminal->set_level(least);
    terminal->set_pattern("chronoscope: %v");
    return terminal;
}

void Use(std::vector<spdlog::sink_ptr> sinks, spdlog::level::level_enum least) {
    auto logger = std::make_shared<spdlog::logger>("chronoscope", sinks.begin(), sinks.end());
    logger->set_level(least);
    // Milliseconds, the thread and the level: a line for each link event at 03:12 to be read later.
    logger->set_pattern("%Y-%m-%d %H:%M:%S.%e %-5l [%t] %v");
    logger->flush_on(spdlog::level::warn);
    Logger() = std::move(logger);
    spdlog::flush_every(std::chrono::seconds(1));
}

} // namespace

spdlog::logger& g_Log() {
    return *Logger();
}

bool g_LogToDailyFiles(const std::string& folder) {
    std::vector<spdlog::sink_ptr> sinks{Terminal(spdlog::level::warn)};
    bool ok = g_fCreateAllDir(folder);
    if (ok) {
        try {
            sinks.push_back(std::make_shared<spdlog::sinks::daily_file_format_sink_mt>(
                folder + "/chronoscope-%Y%m%d.log", 0, 0, false, kDaysKept));
        } catch (const spdlog::spdlog_ex&) {
            ok = false;
        }
    }
    Use(std::move(sinks), spdlog::level::info);
    return ok;
}

bool g_LogToFile(const std::string& path, bool verbose) {
    const spdlog::level::level_enum least = verbose ? spdlog::level::debug : spdlog::level::info;
    std::vector<spdlog::sink_ptr> sinks{
        Terminal(path.empty() ? (verbose ? least : spdlog::level::warn) : spdlog::level::warn)};
    bool ok = true;
    if (!path.empty()) {
        try {
            sinks.push_back(std::make_shared<spdlog::sinks::basic_file_sink_mt>(path));
        } catch (const spdlog::spdlog_ex&) {
            ok = false;
        }
    }
    Use(std::move(sinks), least);
    return ok;
}

void g_FlushLog() {
    g_Log().flush();
}
