#pragma once

#include <QtGlobal>

#include <chrono>

namespace remote {

// What one remote view allows its viewers; the tests shorten the times.
struct Limits {
    // Open connections at once; the one past it is answered 503 and closed.
    int connections = 16;
    // Bytes of one request (line and headers; no route takes a body).
    qint64 requestBytes = 8 * 1024;
    // A connection that sends nothing and waits for nothing this long is closed.
    std::chrono::milliseconds idle{30'000};
    // A request must arrive whole this soon after its first byte.
    std::chrono::milliseconds slowRequest{10'000};
    // A viewer that takes none of the bytes waiting for it this long is closed.
    std::chrono::milliseconds stalled{15'000};
    // The shortest time between two frames sent (10 frames per second).
    std::chrono::milliseconds framePeriod{100};
    // Wrong codes from one address before it is slowed.
    int freeFailures = 5;
    // Bytes waiting for one viewer beyond which a new frame waits, replacing the one waiting.
    qint64 viewerBytes = 512 * 1024;
    // The largest observation picture sent.
    qint64 pictureBytes = 16 * 1024 * 1024;
};

} // namespace remote
