// A stand-in for SimConnect, the simulator's client library: the same six
// exports, talking over loopback TCP to kinemora-simulator instead of to
// Microsoft Flight Simulator. Test and demo equipment only.
//
// Every export catches everything: nothing throws across the library boundary.
//
// A call with a handle that is not open (never opened, or closed already) is
// refused and reported on standard error as a departure. With the environment
// variable KINEMORA_SIMCONNECT_QUIET_FAILS=1, SimConnect_CallDispatch reports
// failure whenever it hands out no record, as a library that did so would.
#include "link_protocol.h"
#include "loopback.h"
#include "simconnect_api.h"
#include "simulator_port.h"
#include "socket_startup.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr SimConnectResult kOk = 0;
constexpr SimConnectResult kFail = -0x7FFFBFFB; // E_FAIL, 0x80004005
constexpr int kOpenTimeoutMs = 2000;
constexpr int kSendTimeoutMs = 1000;
constexpr auto kDispatchReportEvery = std::chrono::milliseconds(500);

struct Connection {
    LoopbackSocket socket = kNoSocket;
    simlink::FrameAssembler received;
    bool broken = false;
    // Records are handed out from 8-byte aligned storage, like the library's own.
    std::vector<std::uint64_t> record;
    std::uint32_t dispatch_calls = 0;
    Clock::time_point dispatch_reported = Clock::now();
};

// Handles are serial numbers, never reused, so a closed one is always told
// from an open one.
std::mutex connections_mutex;
std::map<std::uintptr_t, Connection*> connections;
std::uintptr_t last_handle = 0;

void Departure(const char* call, const char* what)
{
    std::fprintf(stderr, "SimConnect stand-in: departure: %s %s\n", call, what);
    std::fflush(stderr);
}

// The open connection behind a handle, or null after reporting the departure.
Connection* ToConnection(SimConnectHandle handle, const char* call)
{
    std::lock_guard<std::mutex> lock(connections_mutex);
    const auto found = connections.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found != connections.end())
        return found->second;
    Departure(call, handle == nullptr ? "with a null handle" : "with a handle that is not open");
    return nullptr;
}

bool QuietFails()
{
    const char* value = std::getenv("KINEMORA_SIMCONNECT_QUIET_FAILS");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

// Sends one frame; a failed send marks the connection broken.
SimConnectResult Send(Connection* connection, simlink::FrameWriter& writer, const unsigned char* buffer)
{
    const std::size_t size = writer.Finish();
    if (connection == nullptr || connection->broken || size == 0)
        return kFail;
    if (!SendLoopback(connection->socket, buffer, size, kSendTimeoutMs)) {
        connection->broken = true;
        return kFail;
    }
    return kOk;
}

// Reads everything that has arrived into the assembler. False once the
// emulator closed the connection or it failed.
bool ReceiveAvailable(Connection& connection)
{
    unsigned char chunk[4096];
    for (;;) {
        const long n = ReceiveLoopback(connection.socket, chunk, sizeof(chunk));
        if (n == 0)
            return true;
        if (n == kLoopbackClosed)
            return false;
        connection.received.Append(chunk, static_cast<std::size_t>(n));
    }
}

// Waits for the emulator's answer to kOpen.
bool AwaitAcceptance(Connection& connection)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kOpenTimeoutMs);
    for (;;) {
        std::uint32_t type = 0;
        std::vector<unsigned char> fields;
        const simlink::FrameStatus status = connection.received.Next(type, fields);
        if (status == simlink::FrameStatus::Complete)
            return type == simlink::kAccepted;
        if (status == simlink::FrameStatus::Malformed)
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()).count();
        bool readable = false;
        if (left <= 0 || !WaitLoopback(&connection.socket, 1, static_cast<int>(left), &readable))
            return false;
        if (readable && !ReceiveAvailable(connection))
            return false;
    }
}

SimConnectResult Open(SimConnectHandle* handle, const char* client_name)
{
    // Once per process: the bridge opens a connection every second while it waits.
    static const bool sockets_started = (StartSockets(), true);
    (void)sockets_started;
    Connection* connection = new (std::nothrow) Connection;
    if (connection == nullptr)
        return kFail;
    connection->socket = ConnectLoopback(SimulatorPortFromEnvironment());
    if (connection->socket != kNoSocket) {
        unsigned char buffer[512];
        simlink::FrameWriter writer(buffer, sizeof(buffer), simlink::kOpen);
        writer.Text(client_name != nullptr ? client_name : "");
        if (Send(connection, writer, buffer) == kOk && AwaitAcceptance(*connection)) {
            std::lock_guard<std::mutex> lock(connections_mutex);
            connections[++last_handle] = connection;
            *handle = reinterpret_cast<SimConnectHandle>(last_handle);
            return kOk;
        }
        CloseLoopback(connection->socket);
    }
    delete connection;
    return kFail;
}

// Tells the emulator how often the client pumps, at most twice a second.
void ReportDispatchCalls(Connection* connection)
{
    ++connection->dispatch_calls;
    const Clock::time_point now = Clock::now();
    if (now - connection->dispatch_reported < kDispatchReportEvery)
        return;
    connection->dispatch_reported = now;
    unsigned char buffer[16];
    simlink::FrameWriter writer(buffer, sizeof(buffer), simlink::kDispatchReport);
    writer.U32(connection->dispatch_calls);
    Send(connection, writer, buffer);
}

SimConnectResult Dispatch(Connection* connection, SimConnectDispatchProc dispatch, void* context)
{
    if (connection->broken)
        return kFail;
    ReportDispatchCalls(connection);
    bool handed_out = false;
    // Records that arrived before a close are still handed out.
    const bool open = ReceiveAvailable(*connection);
    for (;;) {
        std::uint32_t type = 0;
        std::vector<unsigned char> fields;
        const simlink::FrameStatus status = connection->received.Next(type, fields);
        if (status == simlink::FrameStatus::Incomplete)
            break;
        if (status == simlink::FrameStatus::Malformed) {
            connection->broken = true;
            return kFail;
        }
        if (type != simlink::kRecord || fields.empty())
            continue;
        connection->record.assign((fields.size() + 7) / 8, 0);
        unsigned char* record = reinterpret_cast<unsigned char*>(connection->record.data());
        std::copy(fields.begin(), fields.end(), record);
        if (dispatch != nullptr)
            dispatch(reinterpret_cast<SimConnectRecord*>(record), static_cast<std::uint32_t>(fields.size()),
                     context);
        handed_out = true;
        if (connection->broken)
            return kFail;
    }
    if (!open) {
        connection->broken = true;
        return kFail;
    }
    static const bool quiet_fails = QuietFails();
    return quiet_fails && !handed_out ? kFail : kOk;
}

} // namespace

extern "C" {

SimConnectResult SimConnect_Open(SimConnectHandle* handle, const char* client_name, void*, std::uint32_t,
                                 SimConnectHandle, std::uint32_t)
{
    if (handle == nullptr)
        return kFail;
    *handle = nullptr;
    try {
        return Open(handle, client_name);
    } catch (...) {
        return kFail;
    }
}

SimConnectResult SimConnect_AddToDataDefinition(SimConnectHandle handle, std::uint32_t define_id,
                                                const char* datum_name, const char* units_name,
                                                std::int32_t datum_type, float epsilon, std::uint32_t datum_id)
{
    unsigned char buffer[1024];
    simlink::FrameWriter writer(buffer, sizeof(buffer), simlink::kAddToDataDefinition);
    writer.U32(define_id);
    writer.Text(datum_name != nullptr ? datum_name : "");
    writer.Text(units_name != nullptr ? units_name : "");
    writer.I32(datum_type);
    writer.F32(epsilon);
    writer.U32(datum_id);
    return Send(ToConnection(handle, "SimConnect_AddToDataDefinition"), writer, buffer);
}

SimConnectResult SimConnect_SubscribeToSystemEvent(SimConnectHandle handle, std::uint32_t event_id,
                                                   const char* system_event_name)
{
    unsigned char buffer[512];
    simlink::FrameWriter writer(buffer, sizeof(buffer), simlink::kSubscribeToSystemEvent);
    writer.U32(event_id);
    writer.Text(system_event_name != nullptr ? system_event_name : "");
    return Send(ToConnection(handle, "SimConnect_SubscribeToSystemEvent"), writer, buffer);
}

SimConnectResult SimConnect_RequestDataOnSimObjectType(SimConnectHandle handle, std::uint32_t request_id,
                                                       std::uint32_t define_id, std::uint32_t radius_meters,
                                                       std::int32_t object_type)
{
    unsigned char buffer[64];
    simlink::FrameWriter writer(buffer, sizeof(buffer), simlink::kRequestData);
    writer.U32(request_id);
    writer.U32(define_id);
    writer.U32(radius_meters);
    writer.I32(object_type);
    return Send(ToConnection(handle, "SimConnect_RequestDataOnSimObjectType"), writer, buffer);
}

SimConnectResult SimConnect_CallDispatch(SimConnectHandle handle, SimConnectDispatchProc dispatch, void* context)
{
    Connection* connection = ToConnection(handle, "SimConnect_CallDispatch");
    if (connection == nullptr)
        return kFail;
    try {
        return Dispatch(connection, dispatch, context);
    } catch (...) {
        return kFail;
    }
}

SimConnectResult SimConnect_Close(SimConnectHandle handle)
{
    Connection* connection = ToConnection(handle, "SimConnect_Close");
    if (connection == nullptr)
        return kFail;
    {
        std::lock_guard<std::mutex> lock(connections_mutex);
        connections.erase(reinterpret_cast<std::uintptr_t>(handle));
    }
    unsigned char buffer[16];
    simlink::FrameWriter writer(buffer, sizeof(buffer), simlink::kClose);
    Send(connection, writer, buffer);
    CloseLoopback(connection->socket);
    delete connection;
    return kOk;
}

} // extern "C"
