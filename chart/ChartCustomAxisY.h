// The value axis: a fixed scale of ten divisions shared by all channels, with a zoom history.
#pragma once

#include "ChartAxis.h"
#include "ChartZoomData.h"

#include <vector>

class CChartCustomAxisY : public CChartAxis {
public:
    CChartCustomAxisY();

    void SetRange(double minimum, double maximum) override;
    double FirstTickValue() const override { return m_minimum; }
    bool NextTickValue(double current, double& next) const override;
    int TickPixel(double value) const override { return LinearPixel(value); }
    int CenteredLabelPixel(double value) const override;
    std::string TickLabelText(double value) const override;
    void UpdateTickStep() override {}
    void UpdateFirstTick() override {}
    void PanByPixels(int startPixel, int endPixel) override;
    void ZoomToRange(double minimum, double maximum) override;
    void ZoomBack() override;

    void ResetZoom();
    double GetStep() const { return m_step; }
    size_t GetZoomDepth() const { return m_history.size(); }

private:
    double m_step = 2000.0;
    int m_precision = 0;
    std::vector<tagZoomData> m_history;
};
