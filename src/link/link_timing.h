#pragma once

namespace vtr8 {

// Every pause and time-out of the link in milliseconds. The defaults are the
// transmitter's; tests shorten them.
struct LinkTiming {
    int settleMs = 20;         // after raising DTR and RTS, before the frame goes out
    int sendPauseMs = 40;      // after the write, before the reply timer starts
    int replyTimeoutMs = 1000; // per attempt
    int pollMs = 50;           // fallback receive polling of the port (bytes go on as they arrive)
    // A read's reply that repeats a frame already seen on the line counts only once
    // the line has stayed quiet this long after the answer would have been complete
    // (a frame's bytes follow each other within 4.6 ms; USB adapters hand them over
    // every 16 ms). Bytes between commands are judged after the same quiet.
    int answerGuardMs = 25;
    // One byte on the line in microseconds: 11 bits at 2400 baud. When a true answer
    // can be complete at the earliest: the request and the answer, byte by byte.
    int byteTimeUs = 4583;
    // After a time-out or an unexpected byte, nothing is sent until the line has
    // been quiet this long: longer than a reply has been seen to come late.
    int drainQuietMs = 2500;
    // Attempts of one command; a search for transmitters asks each port once.
    int attempts = 3;
};

} // namespace vtr8
