#include "ColourPicker.h"

#include "acquisition/ChannelTableModel.h"
#include "chart/qt/QtColour.h"

#include <QColorDialog>

std::optional<uint32_t> g_PickTraceColour(uint32_t current, QWidget* parent) {
    const QColor picked = QColorDialog::getColor(g_ToQColor(current), parent);
    if (!picked.isValid()) {
        return std::nullopt;
    }
    return PickedColour(g_FromQColor(picked));
}
