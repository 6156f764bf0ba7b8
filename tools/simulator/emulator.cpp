#include "emulator.h"

#include "sim_records.h"
#include "socket_startup.h"

#include <cstdarg>
#include <cstdio>

namespace {

constexpr int kSendTimeoutMs = 1000;
constexpr int kCommandLatencyMs = 10; // longest wait before a command is looked at
constexpr std::chrono::seconds kReportEvery{5};

// The monotonic clock in seconds, the same clock as CLOCK_MONOTONIC on Linux,
// so that other programs on the machine can compare their own times with it.
double MonotonicSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

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

Emulator::Emulator(const EmulatorOptions& options, FlightSource source)
    : options_(options), source_(std::move(source))
{
}

Emulator::~Emulator()
{
    if (client_)
        CloseLoopback(client_->socket);
    if (listener_ != kNoSocket)
        CloseLoopback(listener_);
}

void Emulator::Say(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stdout, format, arguments);
    va_end(arguments);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Emulator::Warn(const std::string& text)
{
    std::fprintf(stderr, "kinemora-simulator: %s\n", text.c_str());
    std::fflush(stderr);
}

void Emulator::Departure(const std::string& text)
{
    ++departures_;
    Warn("departure: " + text);
}

void Emulator::SendException(std::uint32_t index, const char* what)
{
    unsigned char record[kExceptionRecordSize];
    const std::uint32_t send_id = client_->calls;
    if (SendRecord(record, WriteExceptionRecord(record, sizeof(record), kExceptionNameUnrecognized, send_id, index)))
        Say("sent an exception (a record of kind 1): call %u, argument %u: %s", static_cast<unsigned>(send_id),
            static_cast<unsigned>(index), what);
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
    Say("flight: %s", source_.Description().c_str());
    next_frame_ = Clock::now();
    next_report_ = Clock::now() + kReportEvery;

    while (!exit_) {
        Command command;
        while (!exit_ && commands.Pop(command))
            Execute(command);
        if (exit_)
            break;

        LoopbackSocket sockets[2] = {listener_, kNoSocket};
        bool readable[2] = {false, false};
        const std::size_t count = client_ ? 2 : 1;
        if (client_)
            sockets[1] = client_->socket;
        WaitLoopback(sockets, count, WaitMilliseconds(), readable);
        if (readable[0])
            AcceptConnections();
        if (client_ && readable[1])
            ReadClient();
        Tick();
    }
    Say("exiting");
}

int Emulator::WaitMilliseconds() const
{
    if (options_.pace != Pace::Realistic)
        return kCommandLatencyMs;
    // Rounded up, so that the wait does not end just before the frame is due.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(next_frame_ - Clock::now()).count();
    if (left <= 0)
        return 0;
    return left < kCommandLatencyMs ? static_cast<int>(left) : kCommandLatencyMs;
}

void Emulator::Tick()
{
    const Clock::time_point now = Clock::now();
    if (options_.pace == Pace::Realistic && now >= next_frame_) {
        RunFrame();
        const auto period = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(1.0 / options_.rate_hz));
        next_frame_ += period;
        // After a stall, carry on from now instead of catching up with a burst.
        if (now - next_frame_ > period)
            next_frame_ = now + period;
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
    // frame_ is the frame now showing: 0 until the second frame runs.
    if (frames_run_++ != 0)
        ++frame_;
    if (!Connected())
        return;
    std::deque<Request> answering;
    answering.swap(client_->pending);
    for (const Request& request : answering) {
        Deliver(request, kMaxValues);
        if (!client_)
            return;
    }
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
            EndClient("a newer connection came before it opened", true);
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
        client_.reset(new Client);
        client_->socket = incoming;
    }
}

void Emulator::ReadClient()
{
    unsigned char chunk[4096];
    bool gone = false;
    for (;;) {
        const long n = ReceiveLoopback(client_->socket, chunk, sizeof(chunk));
        if (n == 0)
            break;
        if (n == kLoopbackClosed) {
            gone = true;
            break;
        }
        client_->received.Append(chunk, static_cast<std::size_t>(n));
    }
    // Frames that arrived before the end still count: a close request among them ends the client first.
    for (;;) {
        std::uint32_t type = 0;
        std::vector<unsigned char> fields;
        const simlink::FrameStatus status = client_->received.Next(type, fields);
        if (status == simlink::FrameStatus::Incomplete)
            break;
        if (status == simlink::FrameStatus::Malformed) {
            EndClient("the client sent a malformed frame; connection dropped", true);
            return;
        }
        HandleFrame(type, fields);
        if (!client_)
            return;
    }
    if (gone)
        EndClient("the client went away without closing", false);
}

void Emulator::HandleFrame(std::uint32_t type, const std::vector<unsigned char>& fields)
{
    simlink::FrameReader reader(fields.data(), fields.size());
    Client& client = *client_;
    ++client.calls;
    if (!client.opened && type != simlink::kOpen) {
        EndClient("the client did not open its connection first; connection dropped", true);
        return;
    }
    switch (type) {
    case simlink::kOpen: {
        std::string name;
        if (client.opened || !reader.Text(name)) {
            EndClient("the client sent a bad open request; connection dropped", true);
            return;
        }
        unsigned char buffer[16];
        simlink::FrameWriter writer(buffer, sizeof(buffer), simlink::kAccepted);
        const std::size_t size = writer.Finish();
        if (!SendLoopback(client.socket, buffer, size, kSendTimeoutMs)) {
            EndClient("the client went away while connecting", true);
            return;
        }
        client.opened = true;
        client.name = name;
        Say("client '%s' connected", name.c_str());
        // The simulator's first record on every connection acknowledges the open.
        unsigned char open[kOpenRecordSize];
        if (SendRecord(open, WriteOpenRecord(open, sizeof(open), "Kinemora simulator emulator")) && options_.verbose)
            Say("sent the open acknowledgement (a record of kind 2)");
        return;
    }
    case simlink::kAddToDataDefinition:
        AddDatum(reader);
        return;
    case simlink::kSubscribeToSystemEvent: {
        std::uint32_t event_id = 0;
        std::string name;
        if (!reader.U32(event_id) || !reader.Text(name))
            break;
        client.subscriptions[ToLower(name)] = event_id;
        Say("subscribed event %u to %s", static_cast<unsigned>(event_id), name.c_str());
        return;
    }
    case simlink::kRequestData: {
        Request request;
        std::uint32_t radius = 0;
        std::int32_t object_type = 0;
        if (!reader.U32(request.request_id) || !reader.U32(request.define_id) || !reader.U32(radius) ||
            !reader.I32(object_type))
            break;
        const std::string which = "request " + std::to_string(request.request_id);
        if (request.request_id != 0)
            Departure(which + ": request ID " + std::to_string(request.request_id) + " (the bridge uses 0)");
        if (request.define_id != 0)
            Departure(which + ": definition ID " + std::to_string(request.define_id) + " (the bridge uses 0)");
        if (radius != 0)
            Departure(which + ": radius " + std::to_string(radius) +
                      " m (the bridge asks for 0: the user's aircraft only); answered with the user's aircraft");
        if (object_type != 0)
            Departure(which + ": object type " + std::to_string(object_type) +
                      " (the bridge asks for 0, the user's aircraft); answered with the user's aircraft");
        client.pending.push_back(request);
        if (options_.verbose)
            Say("request %u for definition %u (%u pending)", static_cast<unsigned>(request.request_id),
                static_cast<unsigned>(request.define_id), static_cast<unsigned>(client.pending.size()));
        if (options_.pace == Pace::Fast)
            RunFrame();
        return;
    }
    case simlink::kClose:
        EndClient("the client closed the connection", false);
        return;
    case simlink::kDispatchReport:
        if (!reader.U32(client.dispatch_calls))
            break;
        if (options_.verbose)
            Say("dispatch calls: %u at %.9f", static_cast<unsigned>(client.dispatch_calls), MonotonicSeconds());
        return;
    default:
        Warn("ignoring a frame of unknown type " + std::to_string(type));
        return;
    }
    EndClient("the client sent a bad frame; connection dropped", true);
}

void Emulator::AddDatum(simlink::FrameReader& reader)
{
    std::uint32_t define_id = 0, datum_id = 0;
    std::int32_t datum_type = 0;
    float epsilon = 0.0f;
    Datum datum;
    if (!reader.U32(define_id) || !reader.Text(datum.name) || !reader.Text(datum.units) ||
        !reader.I32(datum_type) || !reader.F32(epsilon) || !reader.U32(datum_id)) {
        EndClient("the client sent a bad data definition; connection dropped", true);
        return;
    }
    const std::string which = "definition " + std::to_string(define_id) + ", '" + datum.name + "'";
    if (define_id != 0)
        Departure(which + ": definition ID " + std::to_string(define_id) + " (the bridge uses 0)");
    // The simulator refuses a variable or units name it does not know: the
    // call fails with an exception record, and the definition stays as it was.
    datum.quantity = FindVariable(datum.name);
    if (datum.quantity < 0) {
        Departure(which + ": no such variable; refused with an exception record");
        SendException(3, "unknown variable name");
        return;
    }
    if (!KnownUnits(datum.units)) {
        Departure(which + ": units '" + datum.units + "' are unknown; refused with an exception record");
        SendException(4, "unknown units name");
        return;
    }
    const Dimension dimension = kQuantities[datum.quantity].dimension;
    if (!UnitsFactor(dimension, datum.units, datum.factor)) {
        datum.factor = 1.0;
        Departure(which + ": units '" + datum.units +
                  "' do not measure this variable; delivered in SI units (m/s, m/s^2, radians, radians per second)");
    } else if (ToLower(datum.units) != SiUnits(dimension)) {
        Departure(which + ": units '" + datum.units + "' (the bridge uses '" + SiUnits(dimension) + "'); converted");
    }
    if (datum_type != 4)
        Departure(which + ": datum type " + std::to_string(datum_type) +
                  " (the bridge uses 4, a 64-bit float); delivered as a 64-bit float all the same");
    std::vector<Datum>& definition = client_->definitions[define_id];
    definition.push_back(datum);
    Say("definition %u #%u: %s in %s (type %d, epsilon %g, datum ID %u)", static_cast<unsigned>(define_id),
        static_cast<unsigned>(definition.size()), datum.name.c_str(), datum.units.c_str(), static_cast<int>(datum_type),
        static_cast<double>(epsilon), static_cast<unsigned>(datum_id));
}

void Emulator::EndClient(const char* why, bool abort)
{
    if (!client_)
        return;
    CloseLoopback(client_->socket, abort);
    const std::string name = client_->name;
    client_.reset();
    if (name.empty())
        Say("connection ended: %s", why);
    else
        Say("client '%s' disconnected: %s", name.c_str(), why);
}

bool Emulator::SendRecord(const unsigned char* record, std::size_t size)
{
    unsigned char buffer[simlink::kFrameHeaderSize + ObjectDataRecordSize(kMaxValues)];
    simlink::FrameWriter writer(buffer, sizeof(buffer), simlink::kRecord);
    writer.Bytes(record, size);
    const std::size_t frame_size = writer.Finish();
    if (frame_size != 0 && SendLoopback(client_->socket, buffer, frame_size, kSendTimeoutMs))
        return true;
    EndClient("sending to the client failed", true);
    return false;
}

void Emulator::SendHeaderRecord(std::uint32_t kind, const char* what)
{
    unsigned char record[kRecordHeaderSize];
    if (SendRecord(record, WriteHeaderRecord(record, sizeof(record), kind)))
        Say("sent %s (a record of kind %u)", what, static_cast<unsigned>(kind));
}

void Emulator::Deliver(const Request& request, std::size_t value_limit)
{
    const auto found = client_->definitions.find(request.define_id);
    if (found == client_->definitions.end()) {
        Warn("request " + std::to_string(request.request_id) + " names definition " +
             std::to_string(request.define_id) + ", which has no variables: nothing delivered");
        return;
    }
    const FlightState state = source_.Frame(frame_, options_.rate_hz);
    double values[kMaxValues];
    std::size_t count = 0;
    for (const Datum& datum : found->second) {
        if (count == value_limit || count == kMaxValues)
            break;
        values[count++] = datum.quantity < 0 ? 0.0 : state.values[datum.quantity] * datum.factor;
    }
    unsigned char record[ObjectDataRecordSize(kMaxValues)];
    const std::size_t size =
        WriteObjectDataRecord(record, sizeof(record), request.request_id, request.define_id, values, count);
    const double sent_at = MonotonicSeconds();
    if (!SendRecord(record, size))
        return;
    ++deliveries_;
    if (options_.verbose)
        Say("delivered frame %llu to request %u: %u values at %.9f (%u pending)",
            static_cast<unsigned long long>(frame_), static_cast<unsigned>(request.request_id),
            static_cast<unsigned>(count), sent_at, static_cast<unsigned>(client_->pending.size()));
}
