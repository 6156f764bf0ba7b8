#pragma once

// The simulator emulator: listens on 127.0.0.1 for one SimConnect stand-in
// client, keeps its data definitions, subscriptions and pending requests, and
// answers the requests with frames from a flight source at the chosen pace.
// Commands change its state or make it send particular records.

#include "commands.h"
#include "flight_source.h"
#include "link_protocol.h"
#include "loopback.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

enum class Pace { Realistic, Fast, Hold };

struct EmulatorOptions {
    std::uint16_t port = 0;
    double rate_hz = 30.0;
    Pace pace = Pace::Realistic;
    bool offline = false;
    bool verbose = false;
};

// Commands from the standard-input reader thread to the emulator's loop.
class CommandQueue {
public:
    void Push(const Command& command);
    bool Pop(Command& command);

private:
    std::mutex mutex_;
    std::deque<Command> commands_;
};

class Emulator {
public:
    Emulator(const EmulatorOptions& options, FlightSource source);
    ~Emulator();

    // Opens the listening socket; false with a reason when the port is taken.
    bool Listen(std::string& error);

    // Serves until the command "exit".
    void Run(CommandQueue& commands);

private:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kMaxValues = 64; // in one delivery

    struct Datum {
        std::string name;
        std::string units;
        int quantity = -1;   // index into kQuantities, -1 when unknown
        double factor = 1.0; // from SI into the requested units
    };
    struct Request {
        std::uint32_t request_id = 0;
        std::uint32_t define_id = 0;
    };
    struct Client {
        LoopbackSocket socket = kNoSocket;
        simlink::FrameAssembler received;
        bool opened = false;
        std::string name;
        std::uint32_t calls = 0;          // frames received: the send ID of the latest
        std::uint32_t dispatch_calls = 0; // as the client last reported them
        std::map<std::uint32_t, std::vector<Datum>> definitions;
        std::map<std::string, std::uint32_t> subscriptions; // lower-case system event name
        std::deque<Request> pending;
    };

    void Say(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void Warn(const std::string& text);
    // A call that differs from the bridge's own fixed calls: counted and shown.
    void Departure(const std::string& text);
    void SendException(std::uint32_t index, const char* what);

    void Execute(const Command& command);
    void Status();
    void AcceptConnections();
    void ReadClient();
    void HandleFrame(std::uint32_t type, const std::vector<unsigned char>& fields);
    void AddDatum(simlink::FrameReader& reader);
    void EndClient(const char* why, bool abort);

    bool SendRecord(const unsigned char* record, std::size_t size);
    void SendHeaderRecord(std::uint32_t kind, const char* what);
    // Answers one request from the current frame; value_limit cuts the values short.
    void Deliver(const Request& request, std::size_t value_limit);
    void RunFrame();
    void Tick();
    int WaitMilliseconds() const;
    bool Connected() const { return client_ && client_->opened; }

    EmulatorOptions options_;
    FlightSource source_;
    LoopbackSocket listener_ = kNoSocket;
    std::unique_ptr<Client> client_;
    bool exit_ = false;
    std::uint64_t frame_ = 0;
    std::uint64_t frames_run_ = 0;
    std::uint64_t deliveries_ = 0;
    Clock::time_point next_frame_;
    Clock::time_point next_report_;
    std::uint64_t reported_deliveries_ = 0;
    std::uint64_t departures_ = 0;
};
