#pragma once

#include "ChartSerieBase.h"
#include "traces/ChartXYPoint.h"

// The concrete XY series type.
class CChartXYSerie : public CChartSerieBase<SChartXYPoint> {
public:
    using CChartSerieBase<SChartXYPoint>::CChartSerieBase;
};
