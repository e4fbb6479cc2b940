// The small machine inside the simulated controller. Every driven element is a pure function of the
// controller's time since power-on, so a test can compute what a sample must hold:
//   D0 sine (amplitude 1000, 2 s), D1 ramp 0..999 (+1 per 10 ms), D2 square +-500 (1 s),
//   D10 DINT milliseconds since power-on, D20 REAL 25.0 + 5.0 sin (7 s),
//   C0 counts every 100 ms, C1 every second, C200 (32-bit) every 10 ms; contacts on in the upper
//   half of every 20 counts, T0 100 ms timer 0..50 (contact at 50, held 1 s), T1 10 ms timer 0..300,
//   M0..M7 toggling every 50 ms x 2^k, X0..X7 every 300 ms x (k + 1), SM0 on, SM2 100 ms clock,
//   SM3 1 s clock, Y0 axis 0 moving, Y1 axis 0 in position, Y2..Y7 a running light,
//   AXIS0 and AXIS1 moving back and forth on trapezoid velocity profiles.
#pragma once

#include "ElementMemory.h"

#include <cstdint>

// Motion of one axis at one instant, in position units and units per second.
struct tagAxisMotion {
    double position = 0;
    double velocity = 0;
    double acceleration = 0;
    double target = 0;    // end point of the current move
    double moveStart = 0; // start point of the current move
    bool moving = false;
};

struct tagTrapezoidProfile {
    double distance;     // one stroke
    double maxVelocity;  // units/s
    double acceleration; // units/s^2
    double dwell;        // s standing at each end
};

class CSimulatedMachine {
public:
    static constexpr tagTrapezoidProfile kAxis0{200000.0, 100000.0, 400000.0, 0.5};
    static constexpr tagTrapezoidProfile kAxis1{100000.0, 40000.0, 200000.0, 0.3};

    // Writes every driven element for the controller time t (ms since power-on).
    static void Apply(double tMs, CElementMemory& memory);

    static tagAxisMotion Motion(const tagTrapezoidProfile& profile, double tMs);
    static int16_t Sine(double tMs);
    static int16_t Ramp(double tMs);
    static int16_t Square(double tMs);
    static float RealWave(double tMs);
};
