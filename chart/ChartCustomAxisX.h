// The time axis: ten divisions of whole milliseconds, never before 0, with a zoom history, a home
// step chosen by the user and a range-changed callback.
#pragma once

#include "ChartStepAxis.h"

class CChartCustomAxisX : public CChartStepAxis {
public:
    CChartCustomAxisX();

    void SetRange(double minimum, double maximum) override;
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

private:
    void Normalise(double a, double b);
    void NotifyRangeChanged();

    double m_homeStep = 10.0;
    void (*m_rangeChanged)(void*) = nullptr;
    void* m_owner = nullptr;
};
