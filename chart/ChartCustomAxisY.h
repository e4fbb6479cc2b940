// The value axis: a fixed scale of ten divisions shared by all channels, with a zoom history.
#pragma once

#include "ChartStepAxis.h"

class CChartCustomAxisY : public CChartStepAxis {
public:
    CChartCustomAxisY();

    void SetRange(double minimum, double maximum) override;
    void PanByPixels(int startPixel, int endPixel) override;
    void ZoomToRange(double minimum, double maximum) override;
    void ZoomBack() override;

    void ResetZoom();
};
