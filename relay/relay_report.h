#pragma once

// The report of a relay program (the MSFS bridge, kinemora_xplane), --report
// FILE or report = FILE: what the simulator said of itself, each connection,
// the deliveries per second and their delay after a request, what was sent.
// The whole file is written anew every 5 s and when the program ends, on the
// program's one thread.

#include "delivery.h"
#include "histogram.h"
#include "report_text.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

class RelayReport {
public:
    // heading: the report's first lines (program, version, system, timers).
    RelayReport(std::string path, std::string heading, double ticks_per_second);

    void ConnectionOpened();
    void ConnectionEnded(const std::string& why);
    // A line of what the simulator said: the bridge's open record and
    // exceptions, as its log words them; X-Plane's beacon and first values.
    void Record(const std::string& line) { records_.push_back(line); }
    void Requested(std::int64_t ticks);
    void Delivered(std::int64_t ticks);

    // Writes the file when 5 s have passed since it last did.
    void WriteIfDue(std::int64_t ticks, const Delivery& delivery);
    void Write(const Delivery& delivery);

    std::string Text(const Delivery& delivery, std::time_t now) const;

private:
    struct Connection {
        std::time_t opened = 0;
        std::time_t ended = 0;
        std::string why; // empty while it runs
    };

    std::string path_;
    std::string heading_;
    double ticks_per_second_;
    std::vector<std::string> records_;
    std::vector<Connection> connections_;
    PerSecond deliveries_;
    Histogram delay_us_;
    std::int64_t requested_ = -1; // ticks of the request the next delivery answers, or -1
    std::int64_t written_ = 0;
};
