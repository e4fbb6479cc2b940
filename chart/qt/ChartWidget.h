// The QWidget that hosts a chart control: forwards paint, resize and mouse events and gives the
// control its back buffer.
#pragma once

#include "chart/ChartCtrl.h"
#include "chart/ChartHost.h"

#include "FrameTimer.h"

#include <QWidget>

#include <memory>

class CChartWidget : public QWidget, public CChartHost {
    Q_OBJECT
public:
    explicit CChartWidget(QWidget* parent = nullptr);
    ~CChartWidget() override;

    CChartCtrl& Chart() { return *m_chart; }

    tagChartRect ClientRect() const override;
    std::unique_ptr<CChartBuffer> CreateBuffer(tagChartSize size) override;
    void Invalidate() override { update(); }
    void UpdateNow() override { repaint(); }
    void CaptureMouse() override {}
    void ReleaseMouse() override {}
    void SetPointer(EnumChartPointer pointer) override;
    COLORREF ButtonFaceColour() const override;
    bool ScheduleRedraw() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Draws the chart straight into the window's backing store where the painter shows it is one
    // (not when rendering into a pixmap); false when it cannot.
    bool PaintFresh(QPainter& painter);

    std::unique_ptr<CChartCtrl> m_chart;
    bool m_paintFresh = false;  // a frame's redraw waits for the next paint
    double m_bufferScale = 0;   // the device pixel ratio the back buffer was made for
    CFrameTimer m_frame{*this}; // a scheduled redraw, one frame of the screen ahead
};
