#include "JournalLook.h"

#include "JournalSql.h"
#include "kit/NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMostLookRows = 6;

std::optional<double> NoteNumber(sqlite3* db, const char* key) {
    const std::optional<std::string> text = g_JournalNote(db, key);
    return text ? g_ParseNumber(*text) : std::nullopt;
}

uint32_t NoteWord(sqlite3* db, const char* key, uint32_t fallback) {
    const std::optional<double> value = NoteNumber(db, key);
    return value && *value >= 0 && *value <= UINT32_MAX ? static_cast<uint32_t>(*value) : fallback;
}

double Finite(double value, double fallback) {
    return std::isfinite(value) ? value : fallback;
}

} // namespace

void g_WriteJournalLook(sqlite3* db, const tagChartLook& look) {
    g_JournalExecute(db, "DELETE FROM look");
    CStatement row(db, "INSERT INTO look VALUES (?, ?, ?, ?, ?, ?)");
    for (size_t k = 0; k < look.traces.size(); ++k) {
        const tagTraceLook& t = look.traces[k];
        sqlite3_reset(*row);
        sqlite3_bind_int64(*row, 1, static_cast<int64_t>(k));
        sqlite3_bind_double(*row, 2, t.scale);
        sqlite3_bind_double(*row, 3, t.offset);
        sqlite3_bind_int64(*row, 4, t.colour);
        sqlite3_bind_int(*row, 5, t.visible ? 1 : 0);
        sqlite3_bind_int(*row, 6, t.stepMode);
        g_JournalCheck(db, sqlite3_step(*row));
    }
    g_SetJournalNote(db, "look_time_axis_step", g_IntegerText(look.timeAxisStep));
    g_SetJournalNote(db, "look_trigger_enable", g_IntegerText(look.trigger.enable));
    g_SetJournalNote(db, "look_trigger_channel", g_IntegerText(look.trigger.channel));
    g_SetJournalNote(db, "look_trigger_condition", g_IntegerText(look.trigger.condition));
    g_SetJournalNote(db, "look_trigger_value", g_ShortestText(look.trigger.value));
    g_SetJournalNote(db, "look_mark_ms", look.mark ? g_ShortestText(look.mark->time) : "");
    g_SetJournalNote(db, "look_mark_colour", look.mark ? g_IntegerText(look.mark->colour) : "");
    g_SetJournalNote(db, "look_measurement", look.measurement ? "1" : "0");
    g_SetJournalNote(db, "look_cursor_x1_ms", g_ShortestText(look.cursors.first));
    g_SetJournalNote(db, "look_cursor_x2_ms", g_ShortestText(look.cursors.second));
    const tagViewRange& v = look.view;
    g_SetJournalNote(db, "look_view",
                     g_ShortestText(v.timeMin) + "," + g_ShortestText(v.timeMax) + "," +
                         g_ShortestText(v.valueMin) + "," + g_ShortestText(v.valueMax));
}

std::optional<tagChartLook> g_ReadJournalLook(sqlite3* db) {
    const std::optional<double> step = NoteNumber(db, "look_time_axis_step");
    if (!step) {
        return std::nullopt;
    }
    tagChartLook look;
    look.timeAxisStep = *step >= 1 && *step <= UINT32_MAX ? static_cast<uint32_t>(*step) : 1000;
    CStatement rows(db, "SELECT y_scale, y_offset, colour, visible, step_mode FROM look ORDER BY position");
    while (rows && sqlite3_step(*rows) == SQLITE_ROW && look.traces.size() < kMostLookRows) {
        look.traces.push_back({Finite(sqlite3_column_double(*rows, 0), 1.0),
                               Finite(sqlite3_column_double(*rows, 1), 0.0),
                               static_cast<uint32_t>(sqlite3_column_int64(*rows, 2)) & 0xFFFFFFu,
                               sqlite3_column_int(*rows, 3) != 0, sqlite3_column_int(*rows, 4) != 0 ? 1 : 0});
    }
    look.trigger.enable = NoteWord(db, "look_trigger_enable", 0) != 0 ? 1 : 0;
    look.trigger.channel = NoteWord(db, "look_trigger_channel", 0);
    look.trigger.condition = NoteWord(db, "look_trigger_condition", look.trigger.condition);
    look.trigger.value = Finite(NoteNumber(db, "look_trigger_value").value_or(0.0), 0.0);
    if (const std::optional<double> mark = NoteNumber(db, "look_mark_ms"); mark && std::isfinite(*mark)) {
        look.mark = tagTriggerMark{*mark, NoteWord(db, "look_mark_colour", 0) & 0xFFFFFFu};
    }
    look.measurement = NoteWord(db, "look_measurement", 1) != 0;
    look.cursors = {Finite(NoteNumber(db, "look_cursor_x1_ms").value_or(0.0), 0.0),
                    Finite(NoteNumber(db, "look_cursor_x2_ms").value_or(0.0), 0.0)};
    // Four numbers, or the view the traces' end gives.
    const std::string view = g_JournalNote(db, "look_view").value_or("");
    double numbers[4] = {};
    size_t found = 0;
    for (size_t at = 0; found < 4 && at <= view.size(); ++found) {
        const size_t comma = std::min(view.find(',', at), view.size());
        const std::optional<double> number = g_ParseNumber(std::string_view(view).substr(at, comma - at));
        if (!number || !std::isfinite(*number)) {
            break;
        }
        numbers[found] = *number;
        at = comma + 1;
    }
    if (found == 4 && numbers[0] < numbers[1] && numbers[2] < numbers[3]) {
        look.view = {numbers[0], numbers[1], numbers[2], numbers[3]};
    }
    return look;
}
