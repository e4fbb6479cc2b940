// Base of the chart's axes: range, value/pixel mapping, layout beside the plot, tick walk, labels,
// title and the series drawn against it.
#pragma once

#include "ChartAxisLabel.h"
#include "ChartGeometry.h"
#include "ChartGrid.h"
#include "ChartSurface.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

class CChartCtrl;
class CChartSerie;

class CChartAxis {
public:
    CChartAxis();
    virtual ~CChartAxis();
    CChartAxis(const CChartAxis&) = delete;
    CChartAxis& operator=(const CChartAxis&) = delete;

    virtual void SetRange(double minimum, double maximum) = 0;
    virtual double PixelToValue(int pixel) const;
    virtual double FirstTickValue() const = 0;
    virtual bool NextTickValue(double current, double& next) const = 0;
    virtual int TickPixel(double value) const = 0;
    virtual int CenteredLabelPixel(double value) const = 0;
    virtual int LinearPixel(double value) const;
    virtual std::string TickLabelText(double value) const = 0;
    virtual void UpdateTickStep() = 0;
    virtual void UpdateFirstTick() = 0;
    virtual bool PanStepAllowed(int /*startPixel*/, int /*endPixel*/) const { return true; }
    virtual void PanByPixels(int startPixel, int endPixel) = 0;
    virtual void ZoomToRange(double minimum, double maximum) = 0;
    virtual void ZoomBack() = 0;

    int ValueToPixel(double value) const;

    // ValueToPixel as plain arithmetic for drawing many points; exact only where the axis maps
    // linearly (the case for every axis of this chart), which `linear` tells.
    struct tagLinearMap {
        bool linear = false;
        int start = 0;
        int direction = 1;
        int length = 0;
        double minimum = 0.0;
        double range = 1.0;
        double perUnit = 0.0; // length / range, set with them
        int Map(double v) const {
            // A product instead of the division, which costs most of a redraw's time; where the two
            // could round to different sides of a pixel's edge, the division decides.
            const double near = (v - minimum) * perUnit;
            if (std::abs(near) < 1e6) {
                // The floor by truncation, cheaper than std::floor on the baseline instruction set.
                int below = static_cast<int>(near);
                below -= below > near ? 1 : 0;
                const double fraction = near - below;
                if (fraction > 1e-7 && fraction < 1.0 - 1e-7) {
                    return start + direction * below;
                }
            }
            return start + direction * ChartPixelOffset(std::floor(length * (v - minimum) / range));
        }
        void SetLength(int pixels) {
            length = pixels;
            perUnit = length / range;
        }
    };
    tagLinearMap GetLinearMap() const;
    void PlaceAxis(const tagChartRect& chart, const tagChartRect& plot);
    int ReserveMargin(const tagChartRect& chart, tagChartRect& plot, CChartSurface& surface);
    void Draw(CChartSurface& surface);
    tagChartSize LargestTickLabelSize(CChartSurface& surface);

    void AttachSerie(CChartSerie* serie);
    void DetachSerie(CChartSerie* serie);
    const std::vector<CChartSerie*>& Series() const { return m_series; }
    // Automatic ranges are not used by this chart: the user keeps the range.
    void RecomputeAutoRange() {}

    // Called by the control when it takes the axis.
    void SetParent(CChartCtrl* parent);
    void SetHorizontal(bool horizontal);
    void SetSecondary(bool secondary) { m_secondary = secondary; }

    CChartCtrl* GetParent() const { return m_parent; }
    bool IsHorizontal() const { return m_horizontal; }
    bool IsVisible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    double GetMinimum() const { return m_minimum; }
    double GetMaximum() const { return m_maximum; }
    int GetStartPixel() const { return m_startPixel; }
    int GetEndPixel() const { return m_endPixel; }
    int GetMargin() const { return m_margin; }
    bool HasAutoTicks() const { return m_autoTicks; }

    CChartAxisLabel& GetLabel() { return *m_title; }

protected:
    int SpanLength() const;
    bool PixelInside(int pixel) const;
    void DrawTick(CChartSurface& surface, double value, tagChartSize titleSize);
    template <class F> void WalkTicks(F&& visit) const;

    CChartCtrl* m_parent = nullptr;
    bool m_horizontal = true;
    bool m_secondary = false;
    bool m_visible = true;
    double m_maximum = 0.0;
    double m_minimum = 0.0;
    int m_startPixel = 0;
    int m_endPixel = 0;
    tagChartRect m_band;
    bool m_tickMarksShown = true;
    bool m_labelsShown = true;
    bool m_autoTicks = true;
    bool m_centeredLabels = false;
    ChartFontSpec m_labelFont{"Microsoft Sans Serif", 80};
    COLORREF m_labelColour = 0;
    COLORREF m_lineColour = 0;
    std::unique_ptr<CChartGrid> m_grid;
    std::unique_ptr<CChartAxisLabel> m_title;
    std::vector<CChartSerie*> m_series;
    int m_margin = 0;
};

template <class F> void CChartAxis::WalkTicks(F&& visit) const {
    if (m_minimum == m_maximum) {
        visit(m_minimum);
        return;
    }
    double value = FirstTickValue();
    visit(value);
    double next = 0;
    while (NextTickValue(value, next)) {
        value = next;
        visit(value);
    }
}
