#include "CacheTrimmer.h"

#include "files/WorkspacePaths.h"
#include "kit/Log.h"

#include <ctime>

void CCacheTrimmer::TrimCache() {
    const uint32_t cache = m_state.cacheSize;
    if (cache < 2) {
        return;
    }
    for (size_t k = 0; k < m_state.channels.size(); ++k) {
        const CTrace& serie = m_traces.Trace(k);
        if (serie.GetPointCount() < cache) {
            continue;
        }
        const double cut = serie.GetXValue(cache / 2 - 1);
        if (m_state.autoSave) {
            const std::string folder = m_autoSaveFolder.empty() ? AutoSaveFolder() : m_autoSaveFolder;
            const std::string path = folder + g_TimeStampName(std::time(nullptr)) + ".data";
            // The original program does not report a failed save; the log does.
            if (const tagResult saved = m_files.SaveDataFile(path, &cut); !saved.ok) {
                g_Log().error("the older half of the cache could not be saved: {}", saved.detail);
            }

            if (m_autoSavedFiles.empty() || m_autoSavedFiles.back() != path) {
                m_autoSavedFiles.push_back(path);
            }
        }
        const uint32_t before = m_traces.Trace(0).GetPointCount();
        for (size_t j = 0; j < m_state.channels.size(); ++j) {
            m_traces.Trace(j).RemovePointsUpTo(cut);
        }
        m_trimmedPoints += before - m_traces.Trace(0).GetPointCount();
        m_journal.Trimmed(cut); // the saved file holds them now
        return;
    }
}
