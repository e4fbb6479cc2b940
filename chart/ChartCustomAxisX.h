// The time axis: ten divisions of whole milliseconds, never before 0, with a zoom history, a home
// step chosen by the user and a range-changed callback.
#pragma once

#include "ChartAxis.h"
#include "ChartZoomData.h"

#include <vector>

class CChartCustomAxisX : public CChartAxis {
public:
    CChartCustomAxisX();

    void SetRange(double minimum, double maximum) override;
    double FirstTickValue() const override { return m_minimum; }
    bool NextTickValue(double current, double& next) const override;
    int TickPixel(double value) const override { return LinearPixel(value); }
    int CenteredLabelPixel(double value) const override;
    std::string TickLabelText(double value) const override;
    void UpdateTickStep() override {}
    void UpdateFirstTick() override {}
    bool PanStepAllowed(int startPixel, int endPixel) const override;
    void PanByPixels(int startPixel, int endPixel) override;
    void ZoomToRange(double minimum, double maximum) override;
    void ZoomBack() override;

    // Milliseconds per division of the home range; below 1 becomes 1.
    void SetBaseStep(double step);
    // Scrolls so that t is the right edge once t passes it.
    void FollowTime(double t);
    void ResetZoom();
    void SetRangeChangedCallback(void (*callback)(void*), void* owner);

    double GetStep() const { return m_step; }
    double GetHomeStep() const { return m_homeStep; }
    size_t GetZoomDepth() const { return m_history.size(); }

private:
    void Normalise(double a, double b);
    void NotifyRangeChanged();
    void Redraw();

    double m_homeStep = 10.0;
    double m_step = 10.0;
    int m_precision = 0;
    std::vector<tagZoomData> m_history;
    void (*m_rangeChanged)(void*) = nullptr;
    void* m_owner = nullptr;
};
