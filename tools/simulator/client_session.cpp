#include "client_session.h"

#include "report.h"
#include "sim_records.h"

namespace {

constexpr int kSendTimeoutMs = 1000;

} // namespace

ClientSession::~ClientSession()
{
    if (!ended_)
        CloseLoopback(socket_);
}

void ClientSession::End(const char* why, bool abort)
{
    if (ended_)
        return;
    ended_ = true;
    CloseLoopback(socket_, abort);
    if (name_.empty())
        Say("connection ended: %s", why);
    else
        Say("client '%s' disconnected: %s", name_.c_str(), why);
}

void ClientSession::ReadCalls()
{
    unsigned char chunk[4096];
    bool gone = false;
    for (;;) {
        const long n = ReceiveLoopback(socket_, chunk, sizeof(chunk));
        if (n == 0)
            break;
        if (n == kLoopbackClosed) {
            gone = true;
            break;
        }
        received_.Append(chunk, static_cast<std::size_t>(n));
    }
    // Calls that arrived before the end still count: a close among them ends the session first.
    while (!ended_) {
        std::uint32_t type = 0;
        std::vector<unsigned char> fields;
        const simlink::FrameStatus status = received_.Next(type, fields);
        if (status == simlink::FrameStatus::Incomplete)
            break;
        if (status == simlink::FrameStatus::Malformed) {
            End("the client sent a malformed frame; connection dropped", true);
            return;
        }
        HandleCall(type, fields);
    }
    if (gone)
        End("the client went away without closing", false);
}

void ClientSession::HandleCall(std::uint32_t type, const std::vector<unsigned char>& fields)
{
    simlink::FrameReader reader(fields.data(), fields.size());
    ++calls_;
    if (!opened_ && type != simlink::kOpen) {
        End("the client did not open its connection first; connection dropped", true);
        return;
    }
    switch (type) {
    case simlink::kOpen:
        Open(reader);
        return;
    case simlink::kAddToDataDefinition:
        AddDatum(reader);
        return;
    case simlink::kSubscribeToSystemEvent: {
        std::uint32_t event_id = 0;
        std::string name;
        if (!reader.U32(event_id) || !reader.Text(name))
            break;
        subscriptions_[flight::ToLower(name)] = event_id;
        Say("subscribed event %u to %s", static_cast<unsigned>(event_id), name.c_str());
        return;
    }
    case simlink::kRequestData:
        AddRequest(reader);
        return;
    case simlink::kClose:
        End("the client closed the connection", false);
        return;
    case simlink::kDispatchReport:
        if (!reader.U32(dispatch_calls_))
            break;
        if (verbose_)
            Say("dispatch calls: %u at %.9f", static_cast<unsigned>(dispatch_calls_), MonotonicSeconds());
        return;
    default:
        Warn("ignoring a frame of unknown type " + std::to_string(type));
        return;
    }
    End("the client sent a bad frame; connection dropped", true);
}

void ClientSession::Open(simlink::FrameReader& reader)
{
    std::string name;
    if (opened_ || !reader.Text(name)) {
        End("the client sent a bad open request; connection dropped", true);
        return;
    }
    unsigned char buffer[16];
    simlink::FrameWriter writer(buffer, sizeof(buffer), simlink::kAccepted);
    const std::size_t size = writer.Finish();
    if (!SendLoopback(socket_, buffer, size, kSendTimeoutMs)) {
        End("the client went away while connecting", true);
        return;
    }
    opened_ = true;
    name_ = name;
    Say("client '%s' connected", name.c_str());
    // The simulator's first record on every connection acknowledges the open.
    unsigned char open[kOpenRecordSize];
    if (SendRecord(open, WriteOpenRecord(open, sizeof(open), edition_)) && verbose_)
        Say("sent the open acknowledgement (a record of kind 2) as %s", edition_.application_name);
}

void ClientSession::AddDatum(simlink::FrameReader& reader)
{
    std::uint32_t define_id = 0, datum_id = 0;
    std::int32_t datum_type = 0;
    float epsilon = 0.0f;
    std::string name, units;
    if (!reader.U32(define_id) || !reader.Text(name) || !reader.Text(units) || !reader.I32(datum_type) ||
        !reader.F32(epsilon) || !reader.U32(datum_id)) {
        End("the client sent a bad data definition; connection dropped", true);
        return;
    }
    const std::string which = "definition " + std::to_string(define_id) + ", '" + name + "'";
    if (define_id != 0)
        Departure(which + ": definition ID " + std::to_string(define_id) + " (the bridge uses 0)");
    // The simulator refuses a variable or units name it does not know: the
    // call fails with an exception record, and the definition stays as it was.
    Datum datum;
    datum.quantity = FindVariable(name);
    if (datum.quantity < 0) {
        Departure(which + ": no such variable; refused with an exception record");
        SendException(kExceptionNameUnrecognized, calls_, 3, "unknown variable name");
        return;
    }
    if (!KnownUnits(units)) {
        Departure(which + ": units '" + units + "' are unknown; refused with an exception record");
        SendException(kExceptionNameUnrecognized, calls_, 4, "unknown units name");
        return;
    }
    const Dimension dimension = kQuantities[datum.quantity].dimension;
    if (!UnitsFactor(dimension, units, datum.factor)) {
        datum.factor = 1.0;
        Departure(which + ": units '" + units +
                  "' do not measure this variable; delivered in SI units (m/s, m/s^2, radians, radians per second)");
    } else if (flight::ToLower(units) != SiUnits(dimension)) {
        Departure(which + ": units '" + units + "' (the bridge uses '" + SiUnits(dimension) + "'); converted");
    }
    if (datum_type != 4)
        Departure(which + ": datum type " + std::to_string(datum_type) +
                  " (the bridge uses 4, a 64-bit float); delivered as a 64-bit float all the same");
    std::vector<Datum>& definition = definitions_[define_id];
    definition.push_back(datum);
    Say("definition %u #%u: %s in %s (type %d, epsilon %g, datum ID %u)", static_cast<unsigned>(define_id),
        static_cast<unsigned>(definition.size()), name.c_str(), units.c_str(), static_cast<int>(datum_type),
        static_cast<double>(epsilon), static_cast<unsigned>(datum_id));
}

void ClientSession::AddRequest(simlink::FrameReader& reader)
{
    Request request;
    std::uint32_t radius = 0;
    std::int32_t object_type = 0;
    if (!reader.U32(request.request_id) || !reader.U32(request.define_id) || !reader.U32(radius) ||
        !reader.I32(object_type)) {
        End("the client sent a bad request; connection dropped", true);
        return;
    }
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
    pending_.push_back(request);
    if (verbose_)
        Say("request %u for definition %u (%u pending)", static_cast<unsigned>(request.request_id),
            static_cast<unsigned>(request.define_id), static_cast<unsigned>(pending_.size()));
}

bool ClientSession::Subscribed(const std::string& system_event, std::uint32_t& event_id) const
{
    const auto found = subscriptions_.find(flight::ToLower(system_event));
    if (found == subscriptions_.end())
        return false;
    event_id = found->second;
    return true;
}

bool ClientSession::SendRecord(const unsigned char* record, std::size_t size)
{
    if (ended_)
        return false;
    unsigned char buffer[simlink::kFrameHeaderSize + ObjectDataRecordSize(kMaxValues)];
    simlink::FrameWriter writer(buffer, sizeof(buffer), simlink::kRecord);
    writer.Bytes(record, size);
    const std::size_t frame_size = writer.Finish();
    if (frame_size != 0 && SendLoopback(socket_, buffer, frame_size, kSendTimeoutMs))
        return true;
    End("sending to the client failed", true);
    return false;
}

void ClientSession::SendHeaderRecord(std::uint32_t kind, const char* what)
{
    unsigned char record[kRecordHeaderSize];
    if (SendRecord(record, WriteHeaderRecord(record, sizeof(record), kind)))
        Say("sent %s (a record of kind %u)", what, static_cast<unsigned>(kind));
}

void ClientSession::SendEvent(std::uint32_t event_id, const char* what)
{
    unsigned char record[kEventRecordSize];
    if (SendRecord(record, WriteEventRecord(record, sizeof(record), event_id)))
        Say("sent %s (event ID %u)", what, static_cast<unsigned>(event_id));
}

void ClientSession::SendException(std::uint32_t code, std::uint32_t send_id, std::uint32_t index, const char* what)
{
    unsigned char record[kExceptionRecordSize];
    if (SendRecord(record, WriteExceptionRecord(record, sizeof(record), code, send_id, index)))
        Say("sent an exception (a record of kind 1): exception %u, call %u, argument %u: %s",
            static_cast<unsigned>(code), static_cast<unsigned>(send_id), static_cast<unsigned>(index), what);
}

bool ClientSession::Deliver(const Request& request, const double* state, std::size_t value_limit,
                            std::uint64_t frame)
{
    const auto found = definitions_.find(request.define_id);
    if (found == definitions_.end()) {
        Warn("request " + std::to_string(request.request_id) + " names definition " +
             std::to_string(request.define_id) + ", which has no variables: nothing delivered");
        return false;
    }
    double values[kMaxValues];
    std::size_t count = 0;
    for (const Datum& datum : found->second) {
        if (count == value_limit || count == kMaxValues)
            break;
        values[count++] = InMsfsSigns(datum.quantity, state[datum.quantity]) * datum.factor;
    }
    unsigned char record[ObjectDataRecordSize(kMaxValues)];
    const std::size_t size =
        WriteObjectDataRecord(record, sizeof(record), request.request_id, request.define_id, values, count);
    const double sent_at = MonotonicSeconds();
    if (!SendRecord(record, size))
        return false;
    if (verbose_)
        Say("delivered frame %llu to request %u: %u values at %.9f (%u pending)", static_cast<unsigned long long>(frame),
            static_cast<unsigned>(request.request_id), static_cast<unsigned>(count), sent_at,
            static_cast<unsigned>(pending_.size()));
    return true;
}
