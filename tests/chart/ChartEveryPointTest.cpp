// Every-point drawing against the column reduction over all visible points, written here from
// the drawing rules alone: random traces, axis ranges and changes of the storage.
#include "ChartFixture.h"

#include "chart/ChartLineSerie.h"

#include <cmath>
#include <limits>
#include <random>

namespace {

// The reduction over every point of the widened visible range, point by point.
std::vector<tagChartPoint> Reference(const CChartLineSerie& serie) {
    std::vector<tagChartPoint> vertices;
    uint32_t first = 0, last = 0;
    if (!serie.IsVisible() || !serie.GetVisibleRange(first, last)) {
        return vertices;
    }
    const uint32_t count = serie.GetPointCount();
    first -= first > 0 ? 1 : 0;
    last += last < count - 1 ? 1 : 0;
    if (last - first < 1) {
        return vertices;
    }
    int columnX = 0, firstY = 0, minY = 0, maxY = 0, latestY = 0, lastVertexY = 0;
    bool collapsed = false;
    auto add = [&](int x, int y) {
        vertices.push_back({x, y});
        lastVertexY = y;
    };
    auto close = [&] {
        if (!collapsed) {
            return;
        }
        if (maxY != firstY) {
            add(columnX, maxY);
        }
        if (minY < firstY) {
            add(columnX, minY);
        }
        if (latestY != lastVertexY) {
            add(columnX, latestY);
        }
    };
    for (uint32_t i = first; i <= last; ++i) {
        const tagChartPoint p = serie.ValueToPixelPoint(serie.GetXValue(i), serie.GetYValue(i));
        if (i != first && p.x == columnX) {
            collapsed = true;
            latestY = p.y;
            maxY = std::max(maxY, p.y);
            minY = std::min(minY, p.y);
            continue;
        }
        close();
        columnX = p.x;
        firstY = minY = maxY = latestY = p.y;
        collapsed = false;
        if (serie.GetStepMode() && i != first && lastVertexY != p.y) {
            add(p.x, lastVertexY);
        }
        add(p.x, p.y);
    }
    close();
    return vertices;
}

class EveryPointTest : public ChartFixture {
protected:
    void SetUp() override {
        ChartFixture::SetUp();
        m_serie = m_chart.CreateLineSerie(false, false);
        m_serie->SetEveryPointDrawing(true);
    }

    // A random Y: ordinary values and constant stretches; in a wild trace also values far beyond
    // the axis, huge REALs, infinities and now and then a NaN.
    double RandomY() {
        const int kind = m_wild ? Pick(0, 99) : Pick(10, 99);
        if (kind < 3) {
            return m_constant;
        }
        if (kind < 5) {
            return Pick(0, 1) ? 1e300 : -1e300;
        }
        if (kind == 5) {
            return Pick(0, 1) ? std::numeric_limits<double>::infinity()
                              : -std::numeric_limits<double>::infinity();
        }
        if (kind == 6) {
            return std::numeric_limits<double>::quiet_NaN();
        }
        if (kind < 10) {
            return Pick(-1'000'000'000, 1'000'000'000);
        }
        if (kind < 40) {
            m_constant = Pick(-12000, 12000);
            return m_constant;
        }
        return Pick(-12000, 12000) + Pick(0, 999) / 1000.0;
    }
    // X values in order, with runs of equal times and gaps.
    double NextX() {
        const int kind = Pick(0, 9);
        m_x += kind == 0 ? 0.0 : kind == 1 ? Pick(100, 100000) : Pick(1, 20) * m_spacing;
        return m_x;
    }
    void AppendRandom(uint32_t n, bool bulk) {
        std::vector<SChartXYPoint> points(n);
        for (SChartXYPoint& p : points) {
            p = {NextX(), RandomY()};
        }
        if (bulk) {
            m_serie->AddPoints(points.data(), n);
        } else {
            for (const SChartXYPoint& p : points) {
                m_serie->AddPoint(p.X, p.Y);
            }
        }
    }
    // An axis range that cuts the data anywhere, holds it all in a column, or a few points or
    // millions in each.
    void RandomRanges() {
        double minX = 0, maxX = 0;
        m_serie->GetXRange(minX, maxX);
        const double span = std::max(1.0, maxX - minX);
        switch (Pick(0, 4)) {
        case 0: // everything, with room
            m_time->SetRange(minX, maxX + span * Pick(0, 3) / 10.0);
            break;
        case 1: // all points in one column or two
            m_time->SetRange(0.0, maxX * 2000.0 + 1e6);
            break;
        case 2: { // a window cutting the data at both edges
            const double a = minX + span * Pick(0, 900) / 1000.0;
            m_time->SetRange(a, a + span * Pick(1, 300) / 1000.0 + 10.0);
            break;
        }
        case 3: // a few points per column
            m_time->SetRange(minX + span / 3, minX + span / 3 + m_spacing * Pick(100, 8000));
            break;
        default: // beyond the data
            m_time->SetRange(maxX + 10, maxX + 100000);
            break;
        }
        const double v = Pick(1, 30000);
        m_value->SetRange(-v + Pick(-5000, 5000), v + Pick(-5000, 5000) + 1);
        m_serie->SetYScale(Pick(0, 3) ? 1.0 : Pick(1, 1000) / 100.0);
        m_serie->SetYOffset(Pick(0, 3) ? 0.0 : Pick(-5000, 5000));
    }
    void ExpectSameVertices(const std::string& when) {
        const std::vector<tagChartPoint> expected = Reference(*m_serie);
        ASSERT_EQ(m_serie->BuildVertices(), expected)
            << when << ", " << m_serie->GetPointCount() << " points";
    }
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_random); }

    CChartLineSerie* m_serie = nullptr;
    std::mt19937 m_random{20261207};
    double m_x = 0.0;
    double m_spacing = 1.0;
    double m_constant = 0.0;
    bool m_wild = true;
};

} // namespace

TEST_F(EveryPointTest, EqualsTheReductionOverEveryPointThroughAppendsInsertionsAndTrims) {
    for (int trace = 0; trace < 120; ++trace) {
        m_serie->ClearSerie();
        m_x = Pick(0, 1000);
        m_spacing = Pick(1, 3) == 1 ? 0.25 : Pick(1, 50);
        m_serie->SetStepMode(Pick(0, 1));
        m_wild = Pick(0, 2) == 0;
        const uint32_t size = trace % 10 == 0 ? Pick(0, 3) : static_cast<uint32_t>(Pick(2, 30000));
        AppendRandom(size, Pick(0, 1));
        for (int step = 0; step < 8; ++step) {
            RandomRanges();
            ExpectSameVertices("trace " + std::to_string(trace) + " step " + std::to_string(step));
            switch (Pick(0, 3)) {
            case 0:
                AppendRandom(Pick(1, 3000), Pick(0, 1));
                break;
            case 1: { // a point out of order goes between the others
                double minX = 0, maxX = 0;
                if (m_serie->GetXRange(minX, maxX)) {
                    m_serie->AddPoint(minX + (maxX - minX) * Pick(0, 1000) / 1000.0, RandomY());
                }
                break;
            }
            case 2: { // the cache trim
                double minX = 0, maxX = 0;
                if (m_serie->GetXRange(minX, maxX)) {
                    m_serie->RemovePointsUpTo(minX + (maxX - minX) * Pick(0, 900) / 1000.0);
                }
                break;
            }
            default:
                break;
            }
        }
    }
}

TEST_F(EveryPointTest, MillionsOfPointsPerColumn) {
    m_spacing = 1.0;
    m_wild = false;
    AppendRandom(3'000'000, true);
    for (int i = 0; i < 6; ++i) {
        RandomRanges();
        ExpectSameVertices("zoom " + std::to_string(i));
    }
    m_time->SetRange(0.0, m_x + 1);
    ExpectSameVertices("everything in view");
    // The extremes of whole columns change with the trim and with a point put in between, also
    // where everything falls into one column.
    auto expectBoth = [&](const std::string& when) {
        m_time->SetRange(0.0, m_x + 1);
        ExpectSameVertices(when);
        m_time->SetRange(0.0, m_x * 2000.0);
        ExpectSameVertices(when + ", in one column");
    };
    expectBoth("before");
    m_serie->RemovePointsUpTo(m_x / 3);
    expectBoth("trimmed");
    m_serie->AddPoint(m_x / 2, 20000.0);
    expectBoth("a spike put in");
    AppendRandom(200'000, false);
    m_serie->AddPoint(m_x, -20000.0);
    expectBoth("appended");
}

TEST_F(EveryPointTest, OffKeepsTheStrideOfTheSampledDrawing) {
    m_serie->SetEveryPointDrawing(false);
    for (uint32_t i = 0; i < 100'001; ++i) {
        m_serie->AddPoint(i, i == 77'777 ? 9000.0 : 0.0); // an odd index: the stride of 2 steps over it
    }
    m_time->SetRange(0.0, 100'001.0);
    const std::vector<tagChartPoint> sampled = m_serie->BuildVertices();
    const int spike = m_serie->ValueToPixelPoint(0.0, 9000.0).y;
    EXPECT_TRUE(
        std::none_of(sampled.begin(), sampled.end(), [&](const tagChartPoint& p) { return p.y == spike; }));
    m_serie->SetEveryPointDrawing(true);
    const std::vector<tagChartPoint> every = m_serie->BuildVertices();
    EXPECT_TRUE(
        std::any_of(every.begin(), every.end(), [&](const tagChartPoint& p) { return p.y == spike; }));
    EXPECT_EQ(every, Reference(*m_serie));
}
