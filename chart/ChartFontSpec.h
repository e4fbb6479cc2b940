// A font description shared by the axis labels and the title; the font object is made on demand.
#pragma once

#include "ChartSurface.h"

#include <memory>
#include <string>

class ChartFontSpec {
public:
    ChartFontSpec() = default;
    ChartFontSpec(std::string face, int sizeTenths);

    // Makes the font object if the description changed since, selects it and remembers the font
    // that was selected before.
    void SelectInto(CChartSurface& surface);
    // Selects the remembered font back.
    void RestoreFrom(CChartSurface& surface);

    void SetVertical(bool vertical);
    void SetFace(const std::string& face, int sizeTenths);
    void SetStyle(bool bold, bool italic, bool underline);
    const tagChartFontDesc& Desc() const { return m_desc; }

private:
    static constexpr size_t kMaxFaceLength = 30;

    tagChartFontDesc m_desc{"Microsoft Sans Serif", 100};
    std::shared_ptr<CChartFont> m_font;
    bool m_dirty = true;
    std::shared_ptr<CChartFont> m_previous;
    bool m_selected = false;
};
