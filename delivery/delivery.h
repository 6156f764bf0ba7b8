#pragma once

// A deliverable's datagrams and its log, as its settings set them up: the
// outbox, the log beside the program, and the lines both write when they
// start. The plug-in keeps one in its state object, the bridge one in main.

#include "log_file.h"
#include "outbox.h"
#include "settings_file.h"

#include <functional>
#include <string>
#include <vector>

// How a program words the log's opening lines; the bridge shows some of them
// on its console too.
struct Opening {
    std::string first_line;               // "kinemora_mfs_2020 0.2.0 started"
    FileRead read = FileRead::Missing;    // how the settings file was read
    std::string path;                     // the settings file's
    std::vector<std::string> after_read;  // lines that follow "settings: read ..."
    std::string line_lead;                // before "N ignored: WHY" for a line of the file
    std::string file_lead;                // before "WHY" for the whole file
    std::string note_lead;                // before each note of the settings
    std::string destinations_lead;        // before the destinations
    bool tell_destinations = false;       // the destinations also to the user
};

class Delivery {
public:
    using Tell = std::function<void(const std::string& line)>;

    // Each datagram to these destinations from now on (none: 255.255.255.255:50010);
    // "adapters" are looked at again while none is found or a send to one fails.
    void SendTo(const std::vector<Destination>& destinations);

    // Opens the log at path, unless it is open; false when it cannot be written.
    bool OpenLog(const std::string& path);
    void CloseLog() { log_.Close(); }
    bool LogOpen() const { return log_.IsOpen(); }
    void Log(const std::string& line) { log_.Write(line); }

    // What the outbox learns goes to the log; a failure and sending working
    // again also to user, if given. The counts start again.
    void Report(Tell user = nullptr);

    // The opening lines to the log, after "settings: " and how the file was
    // read: ignored lines and notes (to tell too, if given), then the
    // destinations.
    void WriteOpening(const Opening& opening, const Settings& settings, const Tell& tell = nullptr);

    // One datagram to every destination. True when at least one took it.
    bool Send(const void* data, std::int32_t length) { return outbox_.Send(data, length); }

    // For a report: what was sent, and where to.
    const SendTally& Tally() const { return outbox_.Tally(); }
    std::uint64_t DestinationChanges() const { return outbox_.DestinationChanges(); }
    std::string DescribedDestinations() const;

    // "WHEN: frames N, datagrams N, failures N" to the log; the counts start again.
    void LogCounts(const std::string& when);

private:
    Outbox outbox_;
    LogFile log_;
    Tell user_;
};
