#pragma once

// One entry of an axis' zoom history: the range before a zoom.
struct tagZoomData {
    double minimum;
    double maximum;
    double step;
};
