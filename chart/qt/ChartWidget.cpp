#include "ChartWidget.h"

#include "QtChartSurface.h"

#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>

#include <utility>

CChartWidget::CChartWidget(QWidget* parent) : QWidget(parent), m_chart(std::make_unique<CChartCtrl>()) {
    // The chart covers every pixel it paints, from its buffer or straight: no background erase.
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
    // A frame's redraw is drawn by the paint it asks for, straight onto the screen.
    return m_frame.Schedule([this] {
        m_paintFresh = true;
        update();
    });
}

void CChartWidget::paintEvent(QPaintEvent* event) {
    if (m_bufferScale != 0 && m_bufferScale != devicePixelRatioF()) {
        m_chart->OnSize(); // moved to a screen of another density: a buffer made for it
    }
    QPainter painter(this);
    if (std::exchange(m_paintFresh, false)) {
        if (event->region().contains(rect()) && PaintFresh(painter)) {
            return;
        }
        m_chart->MarkBufferStale(); // the frame's redraw, into the buffer after all
    }
    CQtChartSurface surface(painter);
    m_chart->OnPaint(surface);
}

bool CChartWidget::PaintFresh(QPainter& painter) {
    auto* store = dynamic_cast<QImage*>(painter.paintEngine()->paintDevice());
    const QTransform at = painter.deviceTransform();
    if (!store || at.type() > QTransform::TxScale || store->depth() != 32) {
        return false;
    }
    // This widget's part of the store, as an image of its own over the same pixels.
    const double scale = store->devicePixelRatio();
    const QRect part(qRound(at.dx()), qRound(at.dy()), qCeil(width() * scale), qCeil(height() * scale));
    if (!store->rect().contains(part)) {
        return false;
    }
    const qsizetype stride = store->bytesPerLine();
    // constBits: the store is not to be detached from the window.
    auto* first = const_cast<uchar*>(store->constBits()) + part.y() * stride + part.x() * qsizetype{4};
    QImage view(first, part.width(), part.height(), stride, store->format());
    view.setDevicePixelRatio(scale);
    QPainter direct(&view);
    CQtChartSurface surface(direct);
    surface.StreamLargeFills();
    return m_chart->PaintFresh(surface);
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
