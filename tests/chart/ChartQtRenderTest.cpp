#include "chart/ChartCustomAxisX.h"
#include "chart/ChartCustomAxisY.h"
#include "chart/ChartLineSerie.h"
#include "chart/qt/ChartWidget.h"
#include "chart/qt/PixelRuns.h"
#include "chart/qt/QtChartSurface.h"
#include "chart/qt/TraceColumns.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

namespace {

bool IsDark(QRgb pixel) {
    return qGray(pixel) < 100;
}

// The chart as the main window sets it up, in an 800 x 500 widget.
CChartCustomAxisX* SetUpChart(CChartWidget& widget, double msPerDivision) {
    widget.resize(800, 500);
    CChartCtrl& chart = widget.Chart();
    chart.SetDottedGrid(true);
    auto* time = new CChartCustomAxisX;
    chart.AttachAxis(time, BottomAxis);
    time->SetBaseStep(msPerDivision);
    chart.AttachAxis(new CChartCustomAxisY, LeftAxis);
    return time;
}

TEST(ChartQtRender, BorderGridDotsAndTimeLabelsLandWhereTheLayoutSays) {
    CChartWidget widget;
    SetUpChart(widget, 1000.0)->GetLabel().SetText("Timeline(ms)");
    CChartCtrl& chart = widget.Chart();

    const QImage image = widget.grab().toImage();
    if (const char* folder = std::getenv("CHRONOSCOPE_SCREENSHOTS")) {
        image.save(QString::fromUtf8(folder) + QStringLiteral("/chart-empty.png"));
    }
    const tagChartRect p = chart.GetPlottingRect();
    ASSERT_EQ(p.left, 33);
    ASSERT_EQ(p.top, 18);
    ASSERT_EQ(p.right, 800 - 23);

    // Border: black on all four edges.
    EXPECT_EQ(image.pixel(p.left + 200, p.top), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(p.right, p.top + 100), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(p.left, p.top + 100), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(p.left + 200, p.bottom), qRgb(0, 0, 0));
    // Grid: grey dashes of three pixels every six on the first row.
    const int y = p.top + static_cast<int>(0.1 * (p.bottom - p.top));
    EXPECT_EQ(image.pixel(p.left + 1, y), qRgb(128, 128, 128));
    EXPECT_EQ(image.pixel(p.left + 2, y), qRgb(128, 128, 128));
    EXPECT_NE(image.pixel(p.left + 4, y), qRgb(128, 128, 128));
    EXPECT_EQ(image.pixel(p.left + 7, y), qRgb(128, 128, 128));
    // Inside the plot between the dashes: the background.
    EXPECT_EQ(image.pixel(p.left + 20, p.top + 20), widget.palette().color(QPalette::Button).rgb());

    // The label "0" under the left end of the time axis has dark pixels; the room between two
    // labels has none.
    auto darkIn = [&](int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int x = x0; x < x1; ++x) {
            for (int yy = y0; yy < y1; ++yy) {
                n += IsDark(image.pixel(x, yy));
            }
        }
        return n;
    };
    const int labelTop = p.bottom + 5;
    EXPECT_GT(darkIn(p.left - 6, p.left + 6, labelTop, labelTop + 14), 3);
    const int gap = p.left + (p.right - p.left) / 20; // halfway between the ticks 0 and 1000
    EXPECT_EQ(darkIn(gap - 3, gap + 3, labelTop, labelTop + 14), 0);
}

TEST(ChartQtRender, SurfaceHonoursTenthsOfAPointAndTurnsVerticalText) {
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    CQtChartSurface surface(painter);
    surface.SelectFont(surface.CreateFont({"Microsoft Sans Serif", 80}));
    const tagChartSize small = surface.GetTextExtent("Timeline");
    surface.SelectFont(surface.CreateFont({"Microsoft Sans Serif", 160}));
    const tagChartSize big = surface.GetTextExtent("Timeline");
    EXPECT_GT(big.cx, small.cx * 3 / 2);
    EXPECT_GT(big.cy, small.cy * 3 / 2);

    tagChartFontDesc vertical{"Microsoft Sans Serif", 100};
    vertical.vertical = true;
    surface.SelectFont(surface.CreateFont(vertical));
    surface.TextOut(100, 150, "Vertical");
    painter.end();
    // Turned text runs upwards from its origin: ink above it, none to its right.
    int above = 0;
    int right = 0;
    for (int x = 100; x < 120; ++x) {
        for (int y = 60; y < 150; ++y) {
            above += IsDark(image.pixel(x, y));
        }
    }
    for (int x = 125; x < 200; ++x) {
        for (int y = 130; y < 170; ++y) {
            right += IsDark(image.pixel(x, y));
        }
    }
    EXPECT_GT(above, 20);
    EXPECT_EQ(right, 0);
}

// A sine and a stepped bit signal from 0 to 1200 ms.
std::pair<CChartLineSerie*, CChartLineSerie*> AddSineAndBits(CChartCtrl& chart) {
    CChartLineSerie* sine = chart.CreateLineSerie(false, false);
    CChartLineSerie* bits = chart.CreateLineSerie(false, false);
    sine->SetWidth(2);
    bits->SetWidth(2);
    sine->SetColor(ChartRGB(0, 0, 255));
    bits->SetColor(ChartRGB(0, 160, 0));
    bits->SetStepMode(1);
    bits->m_offsetMarkerShown = true;
    bits->SetYOffset(-6000.0);
    for (int t = 0; t <= 1200; t += 2) {
        sine->AddPoint(t, 8000.0 * std::sin(t / 1000.0 * 2 * 3.14159265));
        bits->AddPoint(t, (t / 100) % 2 ? 2000.0 : 0.0);
    }
    return {sine, bits};
}

} // namespace

TEST(ChartQtRender, TracesAreDrawnInTheirColoursInsideThePlot) {
    CChartWidget widget;
    SetUpChart(widget, 100.0); // 0 .. 1000 ms
    CChartCtrl& chart = widget.Chart();
    const auto [sine, bits] = AddSineAndBits(chart);
    chart.RedrawChart();
    const QImage image = widget.grab().toImage();
    if (const char* folder = std::getenv("CHRONOSCOPE_SCREENSHOTS")) {
        image.save(QString::fromUtf8(folder) + QStringLiteral("/chart-traces.png"));
    }
    // The sine passes through its own points; nothing is drawn beyond the plot's right edge.
    const tagChartPoint onSine = sine->ValueToPixelPoint(250.0, 8000.0);
    EXPECT_EQ(image.pixel(onSine.x, onSine.y), qRgb(0, 0, 255));
    const tagChartPoint level = bits->ValueToPixelPoint(150.0, 2000.0);
    EXPECT_EQ(image.pixel(level.x, level.y), qRgb(0, 160, 0));
    const tagChartRect p = chart.GetPlottingRect();
    for (int y = p.top; y < p.bottom; ++y) {
        ASSERT_NE(image.pixel(p.right + 3, y), qRgb(0, 0, 255)) << y;
    }
}

// While recording, a frame's redraw is drawn straight into the window's backing store: it must
// be the picture the buffer gives, where the chart lies in the window, and the newest one.
TEST(ChartQtRender, AFramePaintedStraightOntoTheWindowIsTheBufferedPicture) {
    QWidget window;
    window.resize(900, 600);
    CChartWidget widget(&window);
    SetUpChart(widget, 100.0);
    widget.move(50, 40);
    CChartCtrl& chart = widget.Chart();
    AddSineAndBits(chart);
    window.show();
    QCoreApplication::processEvents();
    CChartLineSerie* late = chart.CreateLineSerie(false, false); // only the frame draws this
    late->SetColor(ChartRGB(255, 0, 0));
    late->AddPoint(0.0, 4000.0);
    late->AddPoint(1000.0, 4000.0);
    chart.RequestRedraw();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 300) {
        QCoreApplication::processEvents();
    }
    const auto* store = dynamic_cast<QImage*>(window.backingStore()->paintDevice());
    ASSERT_NE(store, nullptr);
    const QImage onScreen =
        store->copy(QRect(QPoint(50, 40), widget.size())).convertToFormat(QImage::Format_RGB32);
    const QImage buffered = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(onScreen.size(), buffered.size());
    EXPECT_TRUE(onScreen == buffered);
    const tagChartPoint onLate = late->ValueToPixelPoint(500.0, 4000.0);
    EXPECT_EQ(onScreen.pixel(onLate.x, onLate.y), qRgb(255, 0, 0));
}

TEST(ChartQtRender, EverySampleShowsOneSampleSpikesInAnHourAtOneMillisecond) {
    // An hour at 1 ms: zero but for one sample of 1000 and one of -800, all in 1200 pixels.
    CChartWidget widget;
    widget.resize(1200 + 56, 500); // the plot takes the width less the axes' margins
    CChartCtrl& chart = widget.Chart();
    auto* time = new CChartCustomAxisX;
    chart.AttachAxis(time, BottomAxis);
    chart.AttachAxis(new CChartCustomAxisY, LeftAxis);
    constexpr uint32_t kPoints = 3'600'000;
    time->SetBaseStep(kPoints / 10.0);
    CChartLineSerie* serie = chart.CreateLineSerie(false, false);
    serie->SetColor(ChartRGB(0, 0, 255));
    serie->SetYScale(5.0); // 1000 at 5000 of the value axis' 10000
    std::vector<SChartXYPoint> points(kPoints);
    for (uint32_t i = 0; i < kPoints; ++i) {
        points[i] = {static_cast<double>(i), i == 1'234'567 ? 1000.0 : i == 2'500'001 ? -800.0 : 0.0};
    }
    serie->AddPoints(points.data(), kPoints);
    const int up = serie->ValueToPixelPoint(0, 1000.0).y;
    const int down = serie->ValueToPixelPoint(0, -800.0).y;
    const int zero = serie->ValueToPixelPoint(0, 0.0).y;
    const tagChartRect p = chart.GetPlottingRect();
    // The highest and lowest rows the trace's colour reaches.
    auto reach = [&](const QImage& image) {
        int top = p.bottom, bottom = p.top;
        for (int y = p.top; y <= p.bottom; ++y) {
            for (int x = p.left; x <= p.right; ++x) {
                if (image.pixel(x, y) == qRgb(0, 0, 255)) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        return std::pair{top, bottom};
    };

    serie->SetEveryPointDrawing(true);
    const QImage every = widget.grab().toImage();
    if (const char* folder = std::getenv("CHRONOSCOPE_SCREENSHOTS")) {
        every.save(QString::fromUtf8(folder) + QStringLiteral("/chart-every-sample.png"));
    }
    const auto [everyTop, everyBottom] = reach(every);
    EXPECT_LE(everyTop, up);
    EXPECT_GE(everyBottom, down);

    // The sampled drawing considers every 72nd point and misses both.
    serie->SetEveryPointDrawing(false);
    const std::vector<tagChartPoint> sampled = serie->BuildVertices();
    EXPECT_TRUE(
        std::all_of(sampled.begin(), sampled.end(), [&](const tagChartPoint& v) { return v.y == zero; }));
    const auto [sampledTop, sampledBottom] = reach(widget.grab().toImage());
    EXPECT_GT(sampledTop, up + 10);
    EXPECT_LT(sampledBottom, down - 10);
}

// At any density a trace is one line a pixel wide: every device column it crosses holds one run
// of its colour, each touching its neighbour's, a flat stretch and a step are a pixel thick, and
// a one-sample spike reaches its value.
TEST(ChartQtRender, AtEveryDensityATraceIsOneConnectedRunPerDeviceColumn) {
    const auto sine = [](int t) { return 3000.0 * std::sin(t / 40.0); };
    const auto spike = [](int t) { return t == 333 ? 4500.0 : 0.0; };
    const auto step = [](int t) { return t < 500 ? -2000.0 : 4000.0; };
    const std::vector<std::function<double(int)>> shapes{sine, spike, step};
    for (const double ratio : {1.0, 1.5, 2.0, 3.0}) {
        for (size_t shape = 0; shape < shapes.size(); ++shape) {
            for (const bool everyPoint : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << "ratio " << ratio << ", shape " << shape << ", every point " << everyPoint);
                CChartWidget widget;
                SetUpChart(widget, 100.0);
                CChartLineSerie* serie = widget.Chart().CreateLineSerie(false, false);
                serie->SetColor(ChartRGB(0, 0, 255));
                serie->SetEveryPointDrawing(everyPoint);
                for (int t = 0; t <= 1000; ++t) {
                    serie->AddPoint(t, shapes[shape](t));
                }
                CQtChartBuffer buffer({800, 500}, ratio);
                widget.Chart().DrawChart(buffer.Surface(), {0, 0, 800, 500});
                const QImage& image = buffer.Image();
                if (const char* folder = std::getenv("CHRONOSCOPE_SCREENSHOTS"); folder && shape == 0) {
                    image.save(
                        QStringLiteral("%1/chart-sine-%2x.png").arg(QString::fromUtf8(folder)).arg(ratio));
                }
                const tagChartRect p = widget.Chart().GetPlottingRect();
                const int left = static_cast<int>(std::lround(p.left * ratio)) + 1;
                const int right =
                    static_cast<int>(std::lround(serie->ValueToPixelPoint(1000, 0).x * ratio)) - 1;
                std::optional<std::pair<int, int>> previous;
                const int jumpTop =
                    static_cast<int>(std::lround(serie->ValueToPixelPoint(500, 4000).y * ratio));
                const int jumpBottom =
                    static_cast<int>(std::lround(serie->ValueToPixelPoint(500, -2000).y * ratio));
                int crossings = 0; // columns the step crosses half way up: as many as a pixel is wide
                for (int x = left; x <= right; ++x) {
                    std::vector<int> rows;
                    for (int y = 0; y < image.height(); ++y) {
                        if (image.pixel(x, y) == qRgb(0, 0, 255)) {
                            rows.push_back(y);
                        }
                    }
                    ASSERT_FALSE(rows.empty()) << "column " << x;
                    ASSERT_EQ(rows.back() - rows.front() + 1, static_cast<int>(rows.size()))
                        << "column " << x << " holds more than one run";
                    if (shape == 2 && x == left + 5) { // the flat stretch: as thick as a pixel
                        EXPECT_EQ(static_cast<long>(rows.size()), std::lround(ratio));
                    }
                    const int middle = (jumpTop + jumpBottom) / 2;
                    crossings += shape == 2 && rows.front() <= middle && rows.back() >= middle;
                    if (previous) {
                        ASSERT_LE(rows.front(), previous->second + 1) << "column " << x;
                        ASSERT_GE(rows.back(), previous->first - 1) << "column " << x;
                    }
                    previous = {rows.front(), rows.back()};
                }
                if (shape == 2) { // at 3 the samples lie 2.3 device pixels apart: the riser slants
                    EXPECT_GE(crossings, std::lround(ratio));
                    EXPECT_LE(crossings, std::lround(ratio) + (ratio > 2 ? 1 : 0));
                }
                if (shape == 1) {
                    const tagChartPoint top = serie->ValueToPixelPoint(333, 4500.0);
                    const int y = static_cast<int>(std::lround(top.y * ratio));
                    bool reached = false;
                    for (int x = static_cast<int>(top.x * ratio) - 2; x <= (top.x + 1) * ratio + 2; ++x) {
                        reached = reached || image.pixel(x, y) == qRgb(0, 0, 255);
                    }
                    EXPECT_TRUE(reached);
                }
            }
        }
    }
}

// A pen three device pixels wide (a pixel at 3x) covers the column of a vertical line and one on
// each side, and a flat line's row and one above and below.
TEST(ChartQtRender, AThreePixelPenIsCentredOnItsLine) {
    QImage image(40, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    CTraceColumns columns;
    columns.Build({{10, 5}, {10, 30}, {30, 30}}, 3, image.rect());
    columns.Fill(image, qRgb(0, 0, 255));
    const auto painted = [&](int x, int y) { return image.pixel(x, y) == qRgb(0, 0, 255); };
    for (int x = 8; x <= 12; ++x) {
        EXPECT_EQ(painted(x, 15), x >= 9 && x <= 11) << x;
    }
    for (int y = 27; y <= 33; ++y) {
        EXPECT_EQ(painted(20, y), y >= 29 && y <= 31) << y;
    }
}

// Traces are painted top down, each where the later ones leave room: the picture is still that of
// painting them in order. A red spike to 3000 under a blue line at 0 shows above and below the line
// but not through it, and a green line elsewhere is untouched.
TEST(ChartQtRender, ALaterTraceCoversAnEarlierOneOnlyWhereItLies) {
    for (const double ratio : {1.0, 2.0}) {
        SCOPED_TRACE(testing::Message() << "ratio " << ratio);
        CChartWidget widget;
        SetUpChart(widget, 100.0);
        CChartCtrl& chart = widget.Chart();
        const auto add = [&](COLORREF colour, int from, int to, const std::function<double(int)>& y) {
            CChartLineSerie* serie = chart.CreateLineSerie(false, false);
            serie->SetColor(colour);
            serie->SetEveryPointDrawing(true);
            for (int t = from; t <= to; ++t) {
                serie->AddPoint(t, y(t));
            }
            return serie;
        };
        CChartLineSerie* red =
            add(ChartRGB(255, 0, 0), 0, 1000, [](int t) { return t == 500 ? 3000.0 : -3000.0; });
        add(ChartRGB(0, 0, 255), 400, 600, [](int) { return 0.0; });
        add(ChartRGB(0, 150, 0), 0, 1000, [](int) { return 2000.0; });
        CQtChartBuffer buffer({800, 500}, ratio);
        chart.DrawChart(buffer.Surface(), {0, 0, 800, 500});
        const QImage& image = buffer.Image();
        const auto at = [&](int t, double y) {
            const tagChartPoint p = red->ValueToPixelPoint(t, y);
            return image.pixel(static_cast<int>(std::lround(p.x * ratio)),
                               static_cast<int>(std::lround(p.y * ratio)));
        };
        EXPECT_EQ(at(450, 0.0), qRgb(0, 0, 255));     // the blue line over the red spike's rise
        EXPECT_EQ(at(450, -3000.0), qRgb(255, 0, 0)); // red where nothing is over it
        EXPECT_EQ(at(200, 2000.0), qRgb(0, 150, 0));
        // The spike's column: red above and below the blue line, blue on it.
        const tagChartPoint spike = red->ValueToPixelPoint(500, 3000.0);
        const int x = static_cast<int>(std::lround(spike.x * ratio));
        const auto row = [&](double y) {
            return static_cast<int>(std::lround(red->ValueToPixelPoint(500, y).y * ratio));
        };
        EXPECT_EQ(image.pixel(x, row(2500.0)), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(x, row(1000.0)), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(x, row(0.0)), qRgb(0, 0, 255));
        EXPECT_EQ(image.pixel(x, row(-1000.0)), qRgb(255, 0, 0));
    }
}

// The grid and border at twice the density: dashes and lines a pixel thick in the same places,
// never a second stroke beside the first.
TEST(ChartQtRender, AtTwoDevicePixelsPerPixelGridAndBorderAreThoseOfOnePixelDoubled) {
    CChartWidget widget;
    SetUpChart(widget, 100.0);
    CChartCtrl& chart = widget.Chart();
    CQtChartBuffer single({800, 500}, 1.0);
    chart.DrawChart(single.Surface(), {0, 0, 800, 500});
    CQtChartBuffer buffer({800, 500}, 2.0);
    chart.DrawChart(buffer.Surface(), {0, 0, 800, 500});
    const QImage& image = buffer.Image();
    ASSERT_EQ(image.width(), 1600);
    EXPECT_EQ(buffer.Size().cx, 800); // the chart still lays out in pixels
    const tagChartRect p = chart.GetPlottingRect();
    // Every device pixel is its logical pixel's colour, for the border and the first grid row.
    const int gridRow = p.top + static_cast<int>(0.1 * (p.bottom - p.top));
    for (const auto& [x0, x1, y0, y1] :
         {std::array<int, 4>{p.left - 3, p.left + 40, gridRow - 2, gridRow + 2},
          std::array<int, 4>{p.left - 3, p.left + 3, p.top + 40, p.top + 60}}) {
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const QRgb expected = single.Image().pixel(x, y);
                for (int d = 0; d < 4; ++d) {
                    ASSERT_EQ(image.pixel(2 * x + d % 2, 2 * y + d / 2), expected) << x << "," << y;
                }
            }
        }
    }
}

// Rows written past the cache are those written through it, whatever a row's alignment and width.
TEST(ChartQtRender, StreamedRowsAreTheWrittenOnes) {
    for (int left = 0; left < 5; ++left) {
        for (int right = left; right < left + 11; ++right) {
            QImage streamed(20, 3, QImage::Format_RGB32), written(20, 3, QImage::Format_RGB32);
            streamed.fill(Qt::white);
            written.fill(Qt::white);
            g_StreamRows(streamed.bits(), streamed.bytesPerLine(), left, 1, right, 3, qRgb(9, 8, 7));
            g_WriteRows(written.bits(), written.bytesPerLine(), left, 1, right, 3, qRgb(9, 8, 7));
            EXPECT_TRUE(streamed == written) << left << ".." << right;
        }
    }
}
