#include "ChartWidget.h"

#include "QtChartSurface.h"

#include <QMouseEvent>
#include <QPainter>

CChartWidget::CChartWidget(QWidget* parent) : QWidget(parent), m_chart(std::make_unique<CChartCtrl>()) {
    // The back buffer is the only thing ever painted: no background erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_chart->SetHost(this);
}

CChartWidget::~CChartWidget() {
    m_chart->SetHost(nullptr);
    m_chart.reset();
}

tagChartRect CChartWidget::ClientRect() const {
    return {0, 0, width(), height()};
}

std::unique_ptr<CChartBuffer> CChartWidget::CreateBuffer(tagChartSize size) {
    m_bufferScale = devicePixelRatioF();
    return std::make_unique<CQtChartBuffer>(size, m_bufferScale);
}

void CChartWidget::SetPointer(EnumChartPointer pointer) {
    setCursor(pointer == EnumChartPointer::SizeAll ? Qt::SizeAllCursor : Qt::ArrowCursor);
}

COLORREF CChartWidget::ButtonFaceColour() const {
    const QColor colour = palette().color(QPalette::Button);
    return ChartRGB(static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
                    static_cast<uint8_t>(colour.blue()));
}

bool CChartWidget::ScheduleRedraw() {
    return m_frame.Schedule([this] { m_chart->RedrawChart(); });
}

void CChartWidget::paintEvent(QPaintEvent*) {
    if (m_bufferScale != 0 && m_bufferScale != devicePixelRatioF()) {
        m_chart->OnSize(); // moved to a screen of another density: a buffer made for it
    }
    QPainter painter(this);
    CQtChartSurface surface(painter);
    m_chart->OnPaint(surface);
}

void CChartWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_chart->OnSize();
}

void CChartWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    m_chart->OnMouseMove(p.x(), p.y());
}

void CChartWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        m_chart->OnLButtonDown(p.x(), p.y());
    } else if (event->button() == Qt::RightButton) {
        m_chart->OnRButtonDown(p.x(), p.y());
    }
}

void CChartWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        m_chart->OnLButtonUp(p.x(), p.y());
    } else if (event->button() == Qt::RightButton) {
        m_chart->OnRButtonUp(p.x(), p.y());
    }
}

void CChartWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        m_chart->OnLButtonDblClk(p.x(), p.y());
    } else if (event->button() == Qt::RightButton) {
        m_chart->OnRButtonDblClk(p.x(), p.y());
    }
}
