// A full redraw of the chart as the main window sets it up, into a Qt back buffer.
#include "chart/ChartCtrl.h"
#include "chart/ChartCustomAxisX.h"
#include "chart/ChartCustomAxisY.h"
#include "chart/qt/QtChartSurface.h"

#include <benchmark/benchmark.h>

namespace {

class CImageHost : public CChartHost {
public:
    CImageHost(tagChartSize size, double scale) : m_size(size), m_scale(scale) {}
    tagChartRect ClientRect() const override { return {0, 0, m_size.cx, m_size.cy}; }
    std::unique_ptr<CChartBuffer> CreateBuffer(tagChartSize size) override {
        return std::make_unique<CQtChartBuffer>(size, m_scale);
    }
    void Invalidate() override {}
    void UpdateNow() override {}
    void CaptureMouse() override {}
    void ReleaseMouse() override {}
    void SetPointer(EnumChartPointer) override {}
    COLORREF ButtonFaceColour() const override { return ChartRGB(240, 240, 240); }

private:
    tagChartSize m_size;
    double m_scale;
};

// Background, dotted grid and axes at 1x and 2x device pixels per pixel (range 0 in percent).
void BM_RedrawEmptyChart(benchmark::State& state) {
    CImageHost host({1200, 600}, static_cast<double>(state.range(0)) / 100.0);
    CChartCtrl chart;
    chart.SetHost(&host);
    chart.SetDottedGrid(true);
    auto* time = new CChartCustomAxisX;
    chart.AttachAxis(time, BottomAxis);
    time->GetLabel().SetText("Timeline(ms)");
    time->SetBaseStep(1000.0);
    chart.AttachAxis(new CChartCustomAxisY, LeftAxis);
    for (auto _ : state) {
        chart.RedrawChart();
    }
}
BENCHMARK(BM_RedrawEmptyChart)->ArgName("scale_percent")->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

} // namespace
