// Where the main window's controls go: the template's places in dialog units at the window's font;
// on resizing, the right column follows the right edge (its gaps pressed together on a low screen),
// the table keeps its height above the status line at the bottom, and the chart takes the rest.
#pragma once

#include "MainWindowIds.h"

#include <QFont>
#include <QRect>
#include <QSize>

#include <map>

class QWidget;

class CMainWindowLayout : public tagMainWindowIds {
public:
    using Controls = std::map<int, QWidget*>;

    // Places every control as the template does; the window's size for it, status line included.
    QSize PlaceFromTemplate(const Controls& controls, const QFont& font, bool chinese, int statusHeight);
    // The right column as placed, against the window's width.
    void MeasureColumn(const Controls& controls, int windowWidth);
    // Every control for the window's size; the status line goes under the table.
    void Apply(const Controls& controls, QSize window, QWidget& status, int statusHeight);
    // The smallest size at which every control is whole and usable.
    QSize SmallestSize(const Controls& controls, int statusHeight) const;
    // The first size: the template's, within the screen's free area (and not below the smallest).
    static QSize FitToScreen(QSize size, QSize smallest, const QRect& available);

private:
    int m_rightColumnOffset = 0;
    std::map<int, int> m_columnShift;
    // The right column as the template places it (y and height); on a screen too low for it, the
    // gaps between its controls shrink, down to kTightestColumn of their height.
    std::map<int, QRect> m_columnTemplate;
    int m_columnTop = 0;
    int m_columnBottom = 0;
};
