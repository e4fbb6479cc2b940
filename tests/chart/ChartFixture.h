// The chart as the main window sets it up: time axis with its title at the bottom, the value axis
// at the left, in a fake window that records what is drawn.
#pragma once

#include "chart/ChartCtrl.h"
#include "chart/ChartCustomAxisX.h"
#include "chart/ChartCustomAxisY.h"
#include "support/RecordingSurface.h"

#include <gtest/gtest.h>

#include <vector>

// A series that draws nothing and remembers the mouse events offered to it.
class CProbeSerie : public CChartSerie {
public:
    explicit CProbeSerie(CChartCtrl* parent) : CChartSerie(parent) {}
    void DrawAll(CChartSurface&) override { ++draws; }
    void DrawPointLabels(CChartSurface&) override {}
    void DrawLegendSample(CChartSurface&, const tagChartRect&) override {}
    bool OnMouseEvent(EnumMouseEvent event, tagChartPoint) override {
        events.push_back(event);
        return false;
    }
    bool GetXRange(double&, double&) const override { return false; }
    bool GetYRange(double&, double&) const override { return false; }

    int draws = 0;
    std::vector<EnumMouseEvent> events;
};

class ChartFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_chart.SetHost(&m_host);
        m_chart.SetOwner(this);
        m_chart.SetViewChangedCallback(
            [](void* owner) { ++static_cast<ChartFixture*>(owner)->m_viewChanges; });
        m_chart.SetMouseMovedCallback([](void* owner) { ++static_cast<ChartFixture*>(owner)->m_mouseMoves; });
        m_time = new CChartCustomAxisX;
        m_chart.AttachAxis(m_time, BottomAxis);
        m_time->GetLabel().SetText("Timeline(ms)");
        m_time->SetBaseStep(1000.0);
        m_time->SetRangeChangedCallback(
            [](void* owner) { ++static_cast<ChartFixture*>(owner)->m_rangeChanges; }, this);
        m_value = new CChartCustomAxisY;
        m_chart.AttachAxis(m_value, LeftAxis);
        m_chart.RedrawChart();
    }

    int Redraws() const {
        int n = 0;
        for (const tagSurfaceOp& op : m_host.Buffer()->ops) {
            n += op.op == EnumSurfaceOp::Edge;
        }
        return n;
    }

    // What the latest redraw drew into the back buffer.
    std::vector<tagSurfaceOp> LastRedraw() const {
        const auto& ops = m_host.Buffer()->ops;
        auto it = ops.end();
        while (it != ops.begin() && (it - 1)->op != EnumSurfaceOp::Edge) {
            --it;
        }
        return {it, ops.end()};
    }

    void Drag(int x0, int y0, int x1, int y1) {
        m_chart.OnLButtonDown(x0, y0);
        m_chart.OnMouseMove(x1, y1);
        m_chart.OnLButtonUp(x1, y1);
    }

    CFakeChartHost m_host;
    CChartCtrl m_chart;
    CChartCustomAxisX* m_time = nullptr;
    CChartCustomAxisY* m_value = nullptr;
    int m_viewChanges = 0;
    int m_mouseMoves = 0;
    int m_rangeChanges = 0;
};
