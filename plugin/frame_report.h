#pragma once

// What the plug-in's report tells of the host's frames: each message seen,
// with its type, flags, record size and how many frames carried it; the
// frames per second; the messages per frame; Update's own time. Pure
// counting: Update adds each frame, the report's thread asks for the text.

#include "histogram.h"
#include "report_text.h"
#include "tm_external_message.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <unordered_map>
#include <vector>

struct MessageSeen {
    std::uint64_t id = 0;
    std::uint8_t data_type = 0;   // the first record's
    bool mixed_types = false;     // records of more than one type
    std::uint64_t flags = 0;      // every flag any of its records had
    std::uint32_t smallest = 0;   // record sizes, in bytes
    std::uint32_t largest = 0;
    std::uint64_t frames = 0;     // frames that carried it
    std::uint64_t records = 0;
    std::uint64_t body_frame = 0; // records with the BodyFrame flag
    std::uint64_t last_frame = 0; // the frame that counted it last, 1 for the first
};

class FrameReport {
public:
    // One Update: its decoded records, when it began (seconds on a steady
    // clock, and the wall clock) and how long it took.
    void AddFrame(const std::vector<tm_external_message>& records, double seconds, std::time_t now,
                  std::uint64_t update_ns);

    std::uint64_t Frames() const { return frames_; }

    // What the outbox sent so far, and its destinations as text.
    SendTally& Sending() { return sending_; }
    std::string& Destinations() { return destinations_; }

    // The whole report. heading: its first lines (program, version, system).
    std::string Text(const std::string& heading, std::time_t now) const;

private:
    MessageSeen& Seen(std::uint64_t id);

    std::uint64_t frames_ = 0;
    std::time_t began_ = 0;
    double first_seconds_ = 0.0;
    double last_seconds_ = 0.0;
    PerSecond per_second_;
    Histogram messages_per_frame_;
    Histogram update_ns_;
    std::vector<MessageSeen> messages_; // in the order they first came
    std::unordered_map<std::uint64_t, std::size_t> index_;
    SendTally sending_;
    std::string destinations_;
};
