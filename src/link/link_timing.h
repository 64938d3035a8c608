#pragma once

namespace vtr8 {

// Every pause and time-out of the link in milliseconds. The defaults are the
// transmitter's; tests shorten them.
struct LinkTiming {
    int settleMs = 20;         // after raising DTR and RTS, before the frame goes out
    int sendPauseMs = 40;      // after the write, before the reply timer starts
    int replyTimeoutMs = 1000; // per attempt
    int pollMs = 50;           // fallback receive polling of the port (bytes go on as they arrive)
    // After a read's reply: the line must stay quiet this long before the reply
    // counts, so that an answer right behind a stale copy is seen (a frame's bytes
    // follow each other within 4.6 ms; USB adapters hand them over every 16 ms).
    int answerGuardMs = 25;
    // After a time-out or an unexpected byte, nothing is sent until the line has
    // been quiet this long: longer than a reply has been seen to come late.
    int drainQuietMs = 2500;
    // Attempts of one command; a search for transmitters asks each port once.
    int attempts = 3;
};

} // namespace vtr8
