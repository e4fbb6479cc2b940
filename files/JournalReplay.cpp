// The journal read back into channels and traces: the file the traces started from, then each
// recording's samples turned into points as the recording turned them, then the trim's cut.
#include "CsvFile.h"
#include "DataFile.h"
#include "JournalLook.h"
#include "JournalSql.h"
#include "RecordingJournal.h"
#include "acquisition/ChannelModel.h"
#include "kit/NumberText.h"

#include <algorithm>
#include <filesystem>

namespace {

// One recording as the journal holds it.
struct tagJournalRecording {
    int64_t id = 0;
    tagPeriod period{};
    double offset = 0.0;
    std::optional<int64_t> firstTick; // whose sample came with the hold points
};

class CJournalReplay {
public:
    CJournalReplay(const std::string& path, tagMonitorState& state, CTraceSet& traces)
        : m_path(path), m_state(state), m_traces(traces) {}
    ~CJournalReplay() { sqlite3_close_v2(m_db); }
    CJournalReplay(const CJournalReplay&) = delete;
    CJournalReplay& operator=(const CJournalReplay&) = delete;

    bool Run(std::string& error);
    const std::optional<tagChartLook>& Look() const { return m_look; }

private:
    bool Fail(const std::string& what) {
        m_error = m_path + ": " + what;
        return false;
    }
    // What the traces held before the first recording; a base that cannot be read is told at the
    // end, after the recordings came back.
    void ReadBase();
    bool ReplayRecordings();
    // The channels as the recording had them (one added since joins the list), with the value
    // each trace ended on before it.
    void ReadChannels(int64_t id, std::vector<tagOscilloElem>& list,
                      std::vector<std::optional<double>>& hold);
    bool ReadSamples(const tagJournalRecording& recording, const std::vector<tagOscilloElem>& list,
                     const std::vector<std::optional<double>>& hold);
    void ApplyCut();

    const std::string& m_path;
    tagMonitorState& m_state;
    CTraceSet& m_traces;
    sqlite3* m_db = nullptr;
    tagReadBudget m_budget;
    std::string m_error;
    std::string m_baseError;
    std::optional<tagChartLook> m_look;
};

void CJournalReplay::ReadBase() {
    m_traces.ResetAll();
    m_state.channels.clear();
    m_state.trigger.Reset();
    const std::string base = g_JournalNote(m_db, "base_path").value_or("");
    if (!base.empty() && !std::filesystem::is_regular_file(base)) {
        m_baseError = base + ": no such file";
    } else if (!base.empty()) {
        const bool read = IsDataFilePath(base)
                              ? ReadDataFile(base, m_state, m_traces, &m_baseError) == EnumDataFileRead::Read
                              : ReadCsvFile(base, m_state, m_traces, &m_baseError);
        if (!read && m_baseError.empty()) {
            m_baseError = base + ": cannot be read";
        }
    }
}

void CJournalReplay::ReadChannels(int64_t id, std::vector<tagOscilloElem>& list,
                                  std::vector<std::optional<double>>& hold) {
    CStatement channels(m_db,
                        "SELECT name, param_code, data_type, colour, hold FROM channel WHERE recording = ? "
                        "ORDER BY position");
    sqlite3_bind_int64(*channels, 1, id);
    while (channels && sqlite3_step(*channels) == SQLITE_ROW && list.size() < kMaxChannels) {
        const unsigned char* name = sqlite3_column_text(*channels, 0);
        list.push_back({name ? reinterpret_cast<const char*>(name) : "",
                        static_cast<uint16_t>(sqlite3_column_int(*channels, 1)),
                        static_cast<EnumGCMDataType>(sqlite3_column_int64(*channels, 2)),
                        static_cast<uint32_t>(sqlite3_column_int64(*channels, 3))});
        hold.push_back(sqlite3_column_type(*channels, 4) == SQLITE_NULL
                           ? std::nullopt
                           : std::optional<double>(sqlite3_column_double(*channels, 4)));
    }
    for (size_t k = m_state.channels.size(); k < list.size(); ++k) {
        m_state.channels.push_back(list[k]);
        m_traces.ApplyChannel(k, list[k].colour, list[k].dataType == GCM_BOOL);
    }
}

bool CJournalReplay::ReadSamples(const tagJournalRecording& recording,
                                 const std::vector<tagOscilloElem>& list,
                                 const std::vector<std::optional<double>>& hold) {
    // Each sample as the recording turned it into points; the hold points came with the first
    // one, unless the trim cut it.
    CStatement samples(m_db,
                       "SELECT tick, raw0, raw1, raw2, raw3, raw4, raw5 FROM sample WHERE recording = ? "
                       "ORDER BY tick");
    if (!samples) {
        return Fail(sqlite3_errmsg(m_db));
    }
    sqlite3_bind_int64(*samples, 1, recording.id);
    bool first = true;
    int step = 0;
    while ((step = sqlite3_step(*samples)) == SQLITE_ROW) {
        if (!m_budget.Row()) {
            return Fail("damaged: more rows than the file can hold");
        }
        const auto tick = static_cast<uint32_t>(sqlite3_column_int64(*samples, 0));
        const bool holdPending = first && recording.firstTick && *recording.firstTick == tick;
        first = false;
        const double t = g_SampleTimeMs(recording.period, tick, recording.offset);
        for (size_t k = 0; k < list.size(); ++k) {
            const auto raw = static_cast<uint32_t>(sqlite3_column_int(*samples, 1 + static_cast<int>(k)));
            const double v = ConvertRawValue(raw, list[k].dataType);
            CTrace& trace = m_traces.Trace(k);
            if (holdPending && hold[k] && *hold[k] != v) {
                trace.AddPoint(t, *hold[k]);
            }
            trace.AddPoint(t, v);
        }
    }
    return step == SQLITE_DONE || Fail(sqlite3_errmsg(m_db));
}

bool CJournalReplay::ReplayRecordings() {
    CStatement recordings(m_db, "SELECT id, period_eighths, time_offset_ms, trigger_enable, trigger_channel, "
                                "trigger_condition, trigger_value, first_tick FROM recording ORDER BY id");
    if (!recordings) {
        return Fail(sqlite3_errmsg(m_db));
    }
    while (sqlite3_step(*recordings) == SQLITE_ROW) {
        if (!m_budget.Row()) {
            return Fail("damaged: more rows than the file can hold");
        }
        tagJournalRecording recording;
        recording.id = sqlite3_column_int64(*recordings, 0);
        recording.period = g_PeriodOfEighths(static_cast<uint32_t>(sqlite3_column_int64(*recordings, 1)));
        recording.offset = sqlite3_column_double(*recordings, 2);
        if (sqlite3_column_type(*recordings, 7) != SQLITE_NULL) {
            recording.firstTick = sqlite3_column_int64(*recordings, 7);
        }
        m_state.period =
            std::max<uint32_t>(1, (recording.period.count() + 4) / 8); // the controller's, whole ms
        m_state.trigger = {static_cast<uint32_t>(sqlite3_column_int64(*recordings, 3)),
                           static_cast<uint32_t>(sqlite3_column_int64(*recordings, 4)),
                           static_cast<uint32_t>(sqlite3_column_int64(*recordings, 5)),
                           sqlite3_column_double(*recordings, 6)};
        std::vector<tagOscilloElem> list;
        std::vector<std::optional<double>> hold;
        ReadChannels(recording.id, list, hold);
        if (!ReadSamples(recording, list, hold)) {
            return false;
        }
    }
    return true;
}

void CJournalReplay::ApplyCut() {
    // The trim's cut, also through the base's points: what lay before it goes, and of the points
    // on it (a hold point and its sample share their time) as many as the trim left stay.
    const std::optional<std::string> cut = g_JournalNote(m_db, "cut_ms");
    if (!cut) {
        return;
    }
    const double x = g_LeadingNumber(*cut);
    const std::string keptText = g_JournalNote(m_db, "cut_kept").value_or("");
    std::string_view kept = keptText;
    for (size_t k = 0; k < m_state.channels.size(); ++k) {
        const size_t comma = kept.find(',');
        const auto keep =
            static_cast<uint64_t>(std::max<int64_t>(0, g_LeadingInteger(kept.substr(0, comma))));
        kept = comma == std::string_view::npos ? std::string_view() : kept.substr(comma + 1);
        CTrace& trace = m_traces.Trace(k);
        uint32_t before = 0, on = 0;
        const uint32_t count = trace.GetPointCount();
        while (before < count && trace.GetXValue(before) < x) {
            ++before;
        }
        while (before + on < count && trace.GetXValue(before + on) == x) {
            ++on;
        }
        trace.RemoveLeadingPoints(before + on - static_cast<uint32_t>(std::min<uint64_t>(keep, on)));
    }
}

bool CJournalReplay::Run(std::string& error) {
    const bool ok = [&] {
        if (sqlite3_open_v2(m_path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            return Fail(m_db ? sqlite3_errmsg(m_db) : "out of memory");
        }
        g_LimitJournalReading(m_db, m_path, m_budget);
        // Not a journal at all: nothing is touched.
        if (!CStatement(m_db, "SELECT recording, tick, raw0, raw5 FROM sample") ||
            !CStatement(m_db, "SELECT hold, colour FROM channel") ||
            !CStatement(m_db, "SELECT first_tick FROM recording")) {
            return Fail(sqlite3_errmsg(m_db));
        }
        ReadBase();
        if (!ReplayRecordings()) {
            return false;
        }
        ApplyCut();
        // A journal from before looks were kept, or a damaged look table, leaves the channels'
        // own colours and the default scales.
        if (CStatement(m_db, "SELECT y_scale FROM look")) {
            m_look = g_ReadJournalLook(m_db);
        }
        if (m_look) {
            g_ApplyChartLook(*m_look, m_state, m_traces);
        }
        return true;
    }();
    error = !ok ? m_error : m_baseError;
    return ok && m_baseError.empty();
}

} // namespace

bool CRecordingJournal::Replay(const std::string& path, tagMonitorState& state, CTraceSet& traces,
                               std::string* error, std::optional<tagChartLook>* look) {
    std::string why;
    CJournalReplay replay(path, state, traces);
    const bool ok = replay.Run(why);
    if (look) {
        *look = replay.Look();
    }
    if (!ok && error) {
        *error = why;
    }
    return ok;
}
