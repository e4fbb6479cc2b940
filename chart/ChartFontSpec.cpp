#include "ChartFontSpec.h"

ChartFontSpec::ChartFontSpec(std::string face, int sizeTenths) {
    SetFace(face, sizeTenths);
}

void ChartFontSpec::SelectInto(CChartSurface& surface) {
    if (m_dirty || !m_font) {
        m_font = surface.CreateFont(m_desc);
        m_dirty = false;
    }
    m_previous = surface.SelectFont(m_font);
    m_selected = true;
}

void ChartFontSpec::RestoreFrom(CChartSurface& surface) {
    if (!m_selected) {
        return;
    }
    surface.SelectFont(m_previous);
    m_previous.reset();
    m_selected = false;
}

void ChartFontSpec::SetVertical(bool vertical) {
    m_desc.vertical = vertical;
    m_dirty = true;
}

void ChartFontSpec::SetFace(const std::string& face, int sizeTenths) {
    m_desc.face = face.substr(0, kMaxFaceLength);
    m_desc.sizeTenths = sizeTenths;
    m_dirty = true;
}

void ChartFontSpec::SetStyle(bool bold, bool italic, bool underline) {
    m_desc.bold = bold;
    m_desc.italic = italic;
    m_desc.underline = underline;
    m_dirty = true;
}
