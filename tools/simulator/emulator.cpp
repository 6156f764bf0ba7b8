#include "emulator.h"

#include "report.h"
#include "sim_records.h"
#include "socket_startup.h"

#include <cstdio>

namespace {

constexpr int kSendTimeoutMs = 1000;
constexpr int kCommandLatencyMs = 10; // longest wait before a command is looked at
constexpr std::chrono::seconds kReportEvery{5};

} // namespace

void CommandQueue::Push(const Command& command)
{
    std::lock_guard<std::mutex> lock(mutex_);
    commands_.push_back(command);
}

bool CommandQueue::Pop(Command& command)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (commands_.empty())
        return false;
    command = commands_.front();
    commands_.pop_front();
    return true;
}

Emulator::Emulator(const EmulatorOptions& options, FlightSource source) : options_(options), source_(std::move(source))
{
}

Emulator::~Emulator()
{
    client_.reset();
    if (listener_ != kNoSocket)
        CloseLoopback(listener_);
}

bool Emulator::Listen(std::string& error)
{
    StartSockets();
    listener_ = ListenLoopback(options_.port, error);
    return listener_ != kNoSocket;
}

void Emulator::Run(CommandQueue& commands)
{
    Say("listening on 127.0.0.1:%u (%s)", static_cast<unsigned>(options_.port),
        options_.offline ? "offline: refusing connections until 'online'" : "online");
    Say("flight: %s, delivered with MSFS's signs (pitch positive nose down, bank positive left wing down)",
        source_.Description().c_str());
    const SimulatorEdition& edition = *options_.edition;
    Say("edition: MSFS %s, announced as %s %u.%u.%u.%u with SimConnect %u.%u.%u.%u", edition.year,
        edition.application_name, edition.application_version[0], edition.application_version[1],
        edition.application_version[2], edition.application_version[3], edition.library_version[0],
        edition.library_version[1], edition.library_version[2], edition.library_version[3]);
    play_start_ = Clock::now();
    next_report_ = Clock::now() + kReportEvery;

    while (!exit_) {
        Command command;
        while (!exit_ && commands.Pop(command))
            Execute(command);
        if (exit_)
            break;

        LoopbackSocket sockets[2] = {listener_, client_ ? client_->Socket() : kNoSocket};
        bool readable[2] = {false, false};
        WaitLoopback(sockets, client_ ? 2 : 1, WaitMilliseconds(), readable);
        if (readable[0])
            AcceptConnections();
        if (client_ && readable[1])
            client_->ReadCalls();
        if (options_.pace == Pace::Fast && Connected() && !client_->Pending().empty())
            RunFrame();
        Tick();
        if (client_ && client_->Ended())
            client_.reset();
    }
    Say("exiting");
}

Emulator::Clock::time_point Emulator::Due(std::uint64_t frame) const
{
    return play_start_ + std::chrono::duration_cast<Clock::duration>(
                             std::chrono::duration<double>(source_.Sample(frame, options_.rate_hz).at));
}

int Emulator::WaitMilliseconds() const
{
    if (options_.pace != Pace::Realistic)
        return kCommandLatencyMs;
    // Rounded up, so that the wait does not end just before the frame is due.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(Due(frames_run_) - Clock::now()).count();
    if (left <= 0)
        return 0;
    return left < kCommandLatencyMs ? static_cast<int>(left) : kCommandLatencyMs;
}

void Emulator::Tick()
{
    const Clock::time_point now = Clock::now();
    if (options_.pace == Pace::Realistic) {
        const Clock::time_point due = Due(frames_run_);
        if (now >= due) {
            RunFrame();
            // After a stall, carry on from now instead of catching up with a burst.
            if (now > Due(frames_run_))
                play_start_ += now - due;
        }
    }
    if (!options_.verbose && now >= next_report_) {
        const std::uint64_t delivered = deliveries_ - reported_deliveries_;
        if (delivered != 0)
            Say("delivered %llu frames in the last %lld s", static_cast<unsigned long long>(delivered),
                static_cast<long long>(kReportEvery.count()));
        reported_deliveries_ = deliveries_;
        next_report_ = now + kReportEvery;
    }
}

void Emulator::RunFrame()
{
    if (frames_run_++ != 0)
        ++frame_;
    if (!Connected())
        return;
    std::deque<ClientSession::Request> answering;
    answering.swap(client_->Pending());
    for (const ClientSession::Request& request : answering) {
        Deliver(request, ClientSession::kMaxValues);
        if (client_->Ended())
            return;
    }
}

void Emulator::Deliver(const ClientSession::Request& request, std::size_t value_limit)
{
    const FlightState state = source_.Sample(frame_, options_.rate_hz).state;
    if (client_->Deliver(request, state.values, value_limit, frame_))
        ++deliveries_;
}

void Emulator::AcceptConnections()
{
    for (;;) {
        const LoopbackSocket incoming = AcceptLoopback(listener_);
        if (incoming == kNoSocket)
            return;
        const char* refusal = nullptr;
        if (options_.offline)
            refusal = "the simulator is offline";
        else if (Connected())
            refusal = "another client is connected";
        else if (client_)
            client_->End("a newer connection came before it opened", true);
        if (refusal != nullptr) {
            unsigned char buffer[128];
            simlink::FrameWriter writer(buffer, sizeof(buffer), simlink::kRefused);
            writer.Text(refusal);
            const std::size_t size = writer.Finish();
            SendLoopback(incoming, buffer, size, kSendTimeoutMs);
            CloseLoopback(incoming);
            Say("refused a connection: %s", refusal);
            continue;
        }
        client_.reset(new ClientSession(incoming, *options_.edition, options_.verbose));
    }
}

void Emulator::Status()
{
    const char* online = options_.offline ? "offline" : "online";
    const char* pace = options_.pace == Pace::Fast ? "fast" : options_.pace == Pace::Hold ? "hold" : "run";
    const unsigned long long departures = static_cast<unsigned long long>(DepartureCount());
    if (Connected())
        Say("status: %s, client '%s' connected, pace %s at %g Hz, frame %llu, %u pending, %u dispatch calls, "
            "%llu departures",
            online, client_->Name().c_str(), pace, options_.rate_hz, static_cast<unsigned long long>(frame_),
            static_cast<unsigned>(client_->Pending().size()), static_cast<unsigned>(client_->DispatchCalls()),
            departures);
    else
        Say("status: %s, no client, pace %s at %g Hz, frame %llu, %llu departures", online, pace, options_.rate_hz,
            static_cast<unsigned long long>(frame_), departures);
}

void Emulator::Execute(const Command& command)
{
    if (command.needs_client && !Connected()) {
        Say("no client is connected: nothing sent");
        return;
    }
    switch (command.kind) {
    case CommandKind::Help:
        std::fputs(kCommandHelp, stdout);
        std::fflush(stdout);
        break;
    case CommandKind::Status:
        Status();
        break;
    case CommandKind::Offline:
        options_.offline = true;
        Say("offline: new connections are refused");
        break;
    case CommandKind::Online:
        options_.offline = false;
        Say("online: accepting a connection");
        break;
    case CommandKind::Quit:
        client_->SendHeaderRecord(kRecordKindQuit, "the quit notice");
        break;
    case CommandKind::Drop:
        client_->End("dropped by the command 'drop'", true);
        break;
    case CommandKind::SimStart: {
        std::uint32_t event_id = 0;
        if (client_->Subscribed("SimStart", event_id))
            client_->SendEvent(event_id, "SimStart");
        else
            Say("the client has not subscribed to SimStart: nothing sent");
        break;
    }
    case CommandKind::Event:
        client_->SendEvent(command.id, "an event");
        break;
    case CommandKind::Record:
        client_->SendHeaderRecord(command.id, "a record of another kind");
        break;
    case CommandKind::Exception:
        client_->SendException(command.id, command.send_id, command.index, "by the command 'exception'");
        break;
    case CommandKind::Data:
        Deliver(ClientSession::Request{command.id, 0}, ClientSession::kMaxValues);
        break;
    case CommandKind::Short: {
        ClientSession::Request request;
        if (!client_->Pending().empty()) {
            request = client_->Pending().front();
            client_->Pending().pop_front();
        }
        Deliver(request, command.id);
        break;
    }
    case CommandKind::Hold:
        options_.pace = Pace::Hold;
        Say("hold: requests wait for 'step'");
        break;
    case CommandKind::Step:
        RunFrame();
        Say("step: frame %llu", static_cast<unsigned long long>(frame_));
        break;
    case CommandKind::Run:
        options_.pace = Pace::Realistic;
        play_start_ = Clock::now() - (Due(frames_run_) - play_start_);
        Say("run: frames at the flight's pace");
        break;
    case CommandKind::Wait:
        break;
    case CommandKind::Exit:
        exit_ = true;
        break;
    }
}
