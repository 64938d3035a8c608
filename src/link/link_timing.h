#pragma once

namespace vtr8 {

// Every pause and time-out of the link in milliseconds. The defaults are the
// transmitter's; tests shorten them.
struct LinkTiming {
    int settleMs = 20;         // after raising DTR and RTS, before the frame goes out
    int sendPauseMs = 40;      // after the write, before the reply timer starts
    int replyTimeoutMs = 1000; // per attempt
    int pollMs = 50;           // fallback receive polling of the port (bytes go on as they arrive)
};

} // namespace vtr8
