// An axis of ten equal divisions with a zoom history: what the time and value axes share.
#pragma once

#include "ChartAxis.h"
#include "ChartZoomData.h"

#include <vector>

class CChartStepAxis : public CChartAxis {
public:
    double FirstTickValue() const override { return m_minimum; }
    bool NextTickValue(double current, double& next) const override;
    int TickPixel(double value) const override { return LinearPixel(value); }
    int CenteredLabelPixel(double value) const override;
    std::string TickLabelText(double value) const override;
    void UpdateTickStep() override {}
    void UpdateFirstTick() override {}

    double GetStep() const { return m_step; }
    size_t GetZoomDepth() const { return m_history.size(); }

protected:
    explicit CChartStepAxis(double step);

    void PushZoom() { m_history.push_back({m_minimum, m_maximum, m_step}); }
    // Restores the range before the last zoom; false when there is none.
    bool PopZoom();
    void Redraw();

    double m_step;
    int m_precision = 0;
    std::vector<tagZoomData> m_history;
};
