#include "CsvFile.h"

#include "acquisition/ChannelModel.h"
#include "kit/AtomicFile.h"
#include "kit/CsvStream.h"
#include "kit/KitHelpers.h"
#include "kit/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr std::string_view kTimeHeading = "Time(ms)";
constexpr size_t kMaxHeaderCells = 2 * kMaxChannels;

char* PutValue(char* out, double value, EnumGCMDataType type) {
    if (type == GCM_BOOL) {
        const std::string_view text = value > 0 ? "ON" : "OFF";
        return std::copy(text.begin(), text.end(), out);
    }
    if (type == GCM_REAL) {
        return CCsvRowWriter::PutFixed6(out, value);
    }
    return CCsvRowWriter::PutInt(out, TruncateToInt32(value));
}

bool Fail(std::string* error, const std::string& what) {
    if (error) {
        *error = what;
    }
    return false;
}

// The channel records of a header row, or false with nothing built.
bool ChannelsFromHeader(const std::vector<std::string_view>& header, std::vector<tagOscilloElem>& channels,
                        std::string* error) {
    if (header.empty() || header.size() > kMaxHeaderCells) {
        return Fail(error, "the header has " + std::to_string(header.size()) + " cells");
    }
    for (size_t i = 0; i < header.size(); ++i) {
        const std::string_view cell = header[i];
        if (cell.empty()) {
            return Fail(error, "header cell " + std::to_string(i + 1) + " is empty");
        }
        if (i % 2 == 0) {
            if (cell != kTimeHeading) {
                return Fail(error, "header cell " + std::to_string(i + 1) + " is not Time(ms)");
            }
            continue;
        }
        const size_t colon = cell.find(':');
        if (colon == std::string_view::npos) {
            return Fail(error, "header cell " + std::to_string(i + 1) + " has no type");
        }
        const std::string_view name = cell.substr(0, colon);
        tagOscilloElem channel;
        if (name.find("AXIS") != std::string_view::npos) {
            const size_t bracket = name.find('(');
            if (bracket == std::string_view::npos) {
                return Fail(error, "header cell " + std::to_string(i + 1) + " names no axis parameter");
            }
            channel.name = std::string(name.substr(0, bracket));
            for (const tagAxisParameter& parameter : AxisParameterTable) {
                if (name.find(parameter.name) != std::string_view::npos) {
                    channel.paramCode = parameter.code;
                    break;
                }
            }
        } else {
            channel.name = std::string(name);
        }
        channel.dataType = g_StrToDataType(cell.substr(colon + 1));
        channel.colour = DefaultChannelColours[channels.size()];
        channels.push_back(std::move(channel));
    }
    return true;
}

} // namespace

std::string CsvChannelHeading(const tagOscilloElem& channel) {
    std::string heading = channel.name;
    if (channel.name.find("AXIS") != std::string::npos) {
        if (const tagAxisParameter* parameter = FindAxisParameter(channel.paramCode)) {
            heading += "(" + std::string(parameter->name) + ")";
        }
    }
    return heading + ":" + g_DataTypeToStr(channel.dataType);
}

bool WriteCsvFile(const std::string& path, const tagMonitorState& state, CTraceSet& traces,
                  std::string* error) {
    // Written beside the path and renamed over it: a failed export leaves the previous file.
    CAtomicFile file(path);
    CCsvRowWriter out(file.TempPath());
    if (!out.IsOpen()) {
        return Fail(error, "cannot create " + path + ": " + std::strerror(errno));
    }
    const size_t channels = std::min<size_t>(state.channels.size(), kMaxChannels);
    uint32_t rows = 0;
    for (size_t k = 0; k < channels; ++k) {
        out.Cell(kTimeHeading);
        out.Cell(CsvChannelHeading(state.channels[k]));
        rows = std::max(rows, traces.Trace(k).GetPointCount());
    }
    out.EndRow();
    // Number rows go straight into the output buffer: a time, a value and two separators per
    // channel, then the line end.
    const size_t rowBytes = channels * (12 + CCsvRowWriter::kFixed6Bytes + 2) + 2;
    for (uint32_t r = 0; r < rows; ++r) {
        char* const start = out.RawRow(rowBytes);
        char* p = start;
        for (size_t k = 0; k < channels; ++k) {
            if (k > 0) {
                *p++ = ',';
            }
            const CTrace& serie = traces.Trace(k);
            if (r < serie.GetPointCount()) {
                p = CCsvRowWriter::PutInt(p, TruncateToInt32(serie.GetXValue(r)));
                *p++ = ',';
                p = PutValue(p, serie.GetYValue(r), state.channels[k].dataType);
            } else {
                *p++ = ',';
            }
        }
        // A lone channel with both cells empty cannot happen: a row exists because some trace
        // has a point there.
        *p++ = '\r';
        *p++ = '\n';
        out.CommitRaw(p);
    }
    if (!out.Close()) {
        return Fail(error, "cannot write " + path + ": " + std::strerror(errno));
    }
    return file.Commit(error);
}

bool ReadCsvFile(const std::string& path, tagMonitorState& state, CTraceSet& traces, std::string* error) {
    CCsvRowReader in(path);
    if (!in.IsOpen()) {
        return Fail(error, "the file cannot be opened");
    }
    std::vector<std::string_view> cells;
    if (!in.Next(cells)) {
        return Fail(error, in.Error().empty() ? "the file is empty" : in.Error());
    }
    std::vector<tagOscilloElem> channels;
    if (!ChannelsFromHeader(cells, channels, error)) {
        return false;
    }
    // The whole file is read before anything changes, so that a malformed line loses nothing.
    std::vector<std::vector<SChartXYPoint>> points(channels.size());
    while (in.Next(cells)) {
        for (size_t i = 0; i < channels.size(); ++i) {
            if (2 * i + 1 >= cells.size()) {
                break;
            }
            const std::string_view time = cells[2 * i];
            const std::string_view value = cells[2 * i + 1];
            if (time.empty() || value.empty()) {
                continue;
            }
            const double y =
                channels[i].dataType == GCM_BOOL ? (value == "ON" ? 1.0 : 0.0) : g_LeadingNumber(value);
            points[i].push_back({g_LeadingNumber(time), y});
        }
    }
    if (!in.Error().empty()) {
        return Fail(error, in.Error());
    }

    traces.ResetAll();
    state.channels = channels;
    for (size_t k = 0; k < channels.size(); ++k) {
        CTrace& serie = traces.Trace(k);
        serie.SetStepMode(channels[k].dataType == GCM_BOOL ? 1 : 0);
        serie.SetVisible(true);
        serie.AddPoints(points[k].data(), static_cast<uint32_t>(points[k].size()));
        std::vector<SChartXYPoint>().swap(points[k]); // give the memory back as we go
    }
    state.trigger.Reset();
    return true;
}
