#include "SimulatedMachine.h"

#include "kit/ElementKinds.h"
#include "kit/KitHelpers.h"

#include <cmath>
#include <numbers>

namespace {

// floor(t / periodMs) as an integer count.
int64_t Count(double tMs, double periodMs) {
    return static_cast<int64_t>(std::floor(tMs / periodMs));
}

bool Toggle(double tMs, double halfPeriodMs) {
    return Count(tMs, halfPeriodMs) % 2 == 1;
}

uint32_t Word32(double v) {
    return static_cast<uint32_t>(static_cast<int32_t>(std::lround(v)));
}

void ApplyAxis(CElementMemory& memory, int axis, const tagTrapezoidProfile& profile, double tMs) {
    const tagAxisMotion m = CSimulatedMachine::Motion(profile, tMs);
    const double friction = m.velocity > 0 ? 50.0 : m.velocity < 0 ? -50.0 : 0.0;
    memory.SetAxis(axis, 0, 0x000F);
    memory.SetAxis(axis, 1, Word32(m.target));
    memory.SetAxis(axis, 2, Word32(m.velocity));
    memory.SetAxis(axis, 3, 0);
    memory.SetAxis(axis, 4, 8); // cyclic synchronous position
    memory.SetAxis(axis, 5, 0);
    memory.SetAxis(axis, 6, Word32(profile.maxVelocity));
    memory.SetAxis(axis, 7, 3000);
    memory.SetAxis(axis, 8, m.moving ? 1 : 0);
    memory.SetAxis(axis, 16, m.moving ? 0x1237 : 0x1637); // bit 10: target reached
    memory.SetAxis(axis, 17, Word32(m.position));
    memory.SetAxis(axis, 18, Word32(m.velocity));
    memory.SetAxis(axis, 19, Word32(m.acceleration / profile.acceleration * 600.0 + friction));
    memory.SetAxis(axis, 20, 8);
    memory.SetAxis(axis, 21, 0);
    memory.SetAxis(axis, 22, Word32(m.moveStart));
    memory.SetAxis(axis, 23, Word32(m.target));
    memory.SetAxis(axis, 24, 0);
    memory.SetAxis(axis, 25, 0);
    const uint32_t home = m.position < 1000.0 ? 1u : 0u;
    const uint32_t limit = m.position > profile.distance - 1000.0 ? 2u : 0u;
    memory.SetAxis(axis, 26, home | limit);
    memory.SetAxis(axis, 27, 0);
}

} // namespace

tagAxisMotion CSimulatedMachine::Motion(const tagTrapezoidProfile& p, double tMs) {
    // A stroke that cannot reach full speed becomes a triangle.
    double vPeak = p.maxVelocity;
    double tAcc = vPeak / p.acceleration;
    double dAcc = 0.5 * p.acceleration * tAcc * tAcc;
    if (2.0 * dAcc > p.distance) {
        vPeak = std::sqrt(p.distance * p.acceleration);
        tAcc = vPeak / p.acceleration;
        dAcc = p.distance / 2.0;
    }
    const double tCruise = (p.distance - 2.0 * dAcc) / vPeak;
    const double tMove = 2.0 * tAcc + tCruise;
    const double half = tMove + p.dwell;

    const double t = std::fmod(tMs / 1000.0, 2.0 * half);
    const bool backward = t >= half;
    const double tau = backward ? t - half : t;

    tagAxisMotion m;
    double s = 0, v = 0, a = 0;
    if (tau < tAcc) {
        s = 0.5 * p.acceleration * tau * tau;
        v = p.acceleration * tau;
        a = p.acceleration;
    } else if (tau < tAcc + tCruise) {
        s = dAcc + vPeak * (tau - tAcc);
        v = vPeak;
    } else if (tau < tMove) {
        const double rest = tMove - tau;
        s = p.distance - 0.5 * p.acceleration * rest * rest;
        v = p.acceleration * rest;
        a = -p.acceleration;
    } else {
        s = p.distance;
    }
    m.moving = tau < tMove;
    if (backward) {
        m.position = p.distance - s;
        m.velocity = -v;
        m.acceleration = -a;
        m.moveStart = p.distance;
        m.target = 0;
    } else {
        m.position = s;
        m.velocity = v;
        m.acceleration = a;
        m.moveStart = 0;
        m.target = p.distance;
    }
    return m;
}

int16_t CSimulatedMachine::Sine(double tMs) {
    return static_cast<int16_t>(std::lround(1000.0 * std::sin(2.0 * std::numbers::pi * tMs / 2000.0)));
}

int16_t CSimulatedMachine::Ramp(double tMs) {
    return static_cast<int16_t>(Count(tMs, 10.0) % 1000);
}

int16_t CSimulatedMachine::Square(double tMs) {
    return Toggle(tMs, 500.0) ? -500 : 500;
}

float CSimulatedMachine::RealWave(double tMs) {
    return static_cast<float>(25.0 + 5.0 * std::sin(2.0 * std::numbers::pi * tMs / 7000.0));
}

void CSimulatedMachine::Apply(double tMs, CElementMemory& memory) {
    memory.SetWord(KIND_D, 0, static_cast<uint16_t>(Sine(tMs)));
    memory.SetWord(KIND_D, 1, static_cast<uint16_t>(Ramp(tMs)));
    memory.SetWord(KIND_D, 2, static_cast<uint16_t>(Square(tMs)));
    memory.SetLong(KIND_D, 10, static_cast<uint32_t>(Count(tMs, 1.0)));
    memory.SetLong(KIND_D, 20, g_FloatToInt(RealWave(tMs)));
    memory.SetWord(KIND_SD, 0, static_cast<uint16_t>(8 + Count(tMs, 1000.0) % 5)); // scan time, 0.1 ms

    const struct {
        int address;
        double periodMs;
    } counters[] = {{0, 100.0}, {1, 1000.0}, {200, 10.0}};
    for (const auto& c : counters) {
        const int64_t value = Count(tMs, c.periodMs);
        memory.SetCounter(c.address, static_cast<int32_t>(value));
        memory.SetContact(KIND_C, c.address, value % 20 >= 10);
    }
    const int64_t t0 = std::min<int64_t>(50, Count(std::fmod(tMs, 6000.0), 100.0));
    memory.SetTimer(0, static_cast<uint16_t>(t0));
    memory.SetContact(KIND_T, 0, t0 >= 50);
    const int64_t t1 = Count(std::fmod(tMs, 3010.0), 10.0);
    memory.SetTimer(1, static_cast<uint16_t>(t1));
    memory.SetContact(KIND_T, 1, t1 >= 200);

    for (int k = 0; k < 8; ++k) {
        memory.SetBit(KIND_M, k, Toggle(tMs, 50.0 * (1 << k)));
        memory.SetBit(KIND_X, k, Toggle(tMs, 300.0 * (k + 1)));
    }
    memory.SetBit(KIND_SM, 0, true);
    memory.SetBit(KIND_SM, 2, Toggle(tMs, 50.0));
    memory.SetBit(KIND_SM, 3, Toggle(tMs, 500.0));

    ApplyAxis(memory, 0, kAxis0, tMs);
    ApplyAxis(memory, 1, kAxis1, tMs);
    const bool moving = Motion(kAxis0, tMs).moving;
    memory.SetBit(KIND_Y, 0, moving);
    memory.SetBit(KIND_Y, 1, !moving);
    const int64_t light = Count(tMs, 250.0) % 6;
    for (int k = 0; k < 6; ++k) {
        memory.SetBit(KIND_Y, 2 + k, light == k);
    }
}
