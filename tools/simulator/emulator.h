#pragma once

// The simulator emulator: listens on 127.0.0.1 for one SimConnect stand-in
// client (client_session.h), plays a flight at its pace and answers each of
// the client's waiting requests once per frame. Commands from standard input
// change its state or make it send particular records.

#include "client_session.h"
#include "commands.h"
#include "flight_source.h"
#include "loopback.h"
#include "sim_records.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

enum class Pace { Realistic, Fast, Hold };

struct EmulatorOptions {
    std::uint16_t port = 0;
    double rate_hz = 30.0;
    Pace pace = Pace::Realistic;
    bool offline = false;
    bool verbose = false;
    const SimulatorEdition* edition = &DefaultEdition();
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

    void Execute(const Command& command);
    void Status();
    void AcceptConnections();
    // Moves the flight on by one frame and answers every waiting request once.
    void RunFrame();
    void Deliver(const ClientSession::Request& request, std::size_t value_limit);
    void Tick();
    Clock::time_point Due(std::uint64_t frame) const;
    int WaitMilliseconds() const;
    bool Connected() const { return client_ && client_->Opened() && !client_->Ended(); }

    EmulatorOptions options_;
    FlightSource source_;
    LoopbackSocket listener_ = kNoSocket;
    std::unique_ptr<ClientSession> client_;
    bool exit_ = false;
    std::uint64_t frame_ = 0; // the frame now showing: 0 until the second frame runs
    std::uint64_t frames_run_ = 0;
    Clock::time_point play_start_; // when frame 0 was due
    Clock::time_point next_report_;
    std::uint64_t deliveries_ = 0;
    std::uint64_t reported_deliveries_ = 0;
};
