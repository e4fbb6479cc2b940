// The front panel of a simulated controller: how it is set up (the serial format it listens at,
// the USB adapters, the shortest period it accepts) and the faults it shows on demand (failed
// reads, refused commands, slow answers, no answers at all), and what it shows of its own clock.
// The simulator and whoever drives it share one: chronoscope-plcsim's switches, a test, a benchmark.
#pragma once

#include "kit/Period.h"

#include <atomic>
#include <cstdint>

class CSimulatorPanel {
public:
    // The serial format the controller listens at (19200, 8 data bits, 1 stop bit, no parity).
    std::atomic<uint32_t> baudRate{19200};
    std::atomic<uint32_t> dataBits{8};
    std::atomic<uint32_t> stopBits{1};
    std::atomic<uint32_t> parity{0};
    std::atomic<int> usbCount{1};
    // The shortest period the controller accepts; shorter requests are raised to it.
    std::atomic<tagPeriod> minimumPeriod{std::chrono::milliseconds(1)};
    // Whether a failed format probe waits its time as a real one would.
    std::atomic<bool> probeWaits{true};
    // The first byte a probe answers with instead of the description of the controller's own
    // format; -1 for the description.
    std::atomic<int> formatReport{-1};

    // Faults.
    std::atomic<int> failReads{0}; // the next N reads fail
    // Refuses the given oscilloscope command (146, 148), every command with -1, none with 0.
    std::atomic<int> refusedCommand{0};
    std::atomic<int> answerDelayMs{0}; // every call waits this long before it answers
    std::atomic<bool> offline{false};  // the controller stops answering altogether (cable pulled)
    // Replies on the wire (the Modbus server) that announce more than they bring, or whose byte
    // count does not fit.
    enum EnumReplyFault { REPLY_OK, REPLY_TRUNCATED, REPLY_MALFORMED };
    std::atomic<EnumReplyFault> replyFault{REPLY_OK};
    // The Modbus server waits this long before its next answer, once (a late reply, or a freeze
    // after which the requests that came meanwhile are answered late).
    std::atomic<int> pauseNextReplyMs{0};
    // The Modbus server closes the connection instead of its next answer, once (TCP).
    std::atomic<bool> dropConnection{false};
    // Holding registers the Modbus server's device does not have: a read touching them is refused
    // with exception 2 (illegal data address). -1 for none.
    std::atomic<int> holeFirst{-1};
    std::atomic<int> holeLast{-1};
    // The Modbus server's controller serves a trace block at the map's place (read when the server
    // is made).
    std::atomic<bool> traceBlock{true};
    // The Modbus server answers a request only at the end of the scan it came in, as a PLC does
    // that handles its communication once a cycle; 0 answers at once.
    std::atomic<int> scanMs{0};
    // The Modbus server's traffic: requests answered, bytes of the requests and of the replies.
    std::atomic<uint64_t> requestsAnswered{0};
    std::atomic<uint64_t> bytesIn{0};
    std::atomic<uint64_t> bytesOut{0};

    void SetSerialFormat(uint32_t baud, uint32_t bits, uint32_t stop, uint32_t parityCode) {
        baudRate = baud;
        dataBits = bits;
        stopBits = stop;
        parity = parityCode;
    }

    // Controller time (ms since power-on) of the sample with this tick of the current run.
    double MachineTimeOfTick(uint32_t tick) const {
        const auto sinceRunStart =
            std::chrono::duration_cast<std::chrono::microseconds>(period.load()) * tick;
        return static_cast<double>(runStartMicros.load() + sinceRunStart.count()) / 1000.0;
    }
    // Set by the controller when a run starts.
    std::atomic<int64_t> runStartMicros{0};
    std::atomic<tagPeriod> period{};
};
