#include "CacheTrimmer.h"

#include "acquisition/StringIds.h"
#include "files/WorkspacePaths.h"
#include "kit/Log.h"

#include <ctime>

namespace {

constexpr auto kRetryInterval = std::chrono::seconds(5);

} // namespace

bool CCacheTrimmer::SaveOlderHalf(double cut) {
    const std::string folder = m_autoSaveFolder.empty() ? AutoSaveFolder() : m_autoSaveFolder;
    const std::string path = folder + g_TimeStampName(std::time(nullptr)) + ".data";
    const tagResult saved = m_files.SaveDataFile(path, &cut);
    if (!saved.ok) {
        g_Log().error("the older half of the cache could not be saved: {}", saved.detail);
        if (!m_settings.keepUnsavedCache) {
            return true; // the original program drops it all the same, and says nothing
        }
        m_retryAt = std::chrono::steady_clock::now() + kRetryInterval;
        if (!m_failureTold) {
            m_failureTold = true;
            // Told outside the batch, which a message box would hold up.
            m_view.Post(
                [this, saved] { m_view.ShowResult(tagResult::Failed(IDS_CACHE_KEPT, saved.detail)); });
        }
        return false;
    }
    if (m_autoSavedFiles.empty() || m_autoSavedFiles.back() != path) {
        m_autoSavedFiles.push_back(path);
    }
    const CTrace& first = m_traces.Trace(0);
    m_savedParts.push_back({path, first.GetPointCount() ? first.GetXValue(0) : cut, cut});
    return true;
}

void CCacheTrimmer::TrimCache() {
    const uint32_t cache = m_state.cacheSize;
    if (cache < 2 || std::chrono::steady_clock::now() < m_retryAt) {
        return;
    }
    for (size_t k = 0; k < m_state.channels.size(); ++k) {
        const CTrace& serie = m_traces.Trace(k);
        if (serie.GetPointCount() < cache) {
            continue;
        }
        const double cut = serie.GetXValue(cache / 2 - 1);
        if (m_state.autoSave && !SaveOlderHalf(cut)) {
            return;
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
