// departure_probe: a SimConnect client that departs from the bridge's fixed
// calls in every way the emulator and the stand-in check, one call each, on
// one connection; then calls with the closed handle and a null one. Prints
// each call's result and each record it receives, for
// tests/e2e/test_simulator_departures.py. Sends nothing on the network but
// the loopback link.
#include "little_endian.h"
#include "simconnect_api.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

void PrintRecord(SimConnectRecord* record, std::uint32_t size, void*)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(record);
    const std::uint32_t kind = LoadU32(p + 8);
    if (kind == 1 && size >= 24)
        std::printf("record kind=1 code=%u send_id=%u index=%u\n", LoadU32(p + 12), LoadU32(p + 16), LoadU32(p + 20));
    else if (kind == 2 && size > 12)
        std::printf("record kind=2 size=%u name=%.256s\n", size, reinterpret_cast<const char*>(p + 12));
    else if (kind == 9 && size >= 40)
        std::printf("record kind=9 request=%u values=%u\n", LoadU32(p + 12), LoadU32(p + 36));
    else
        std::printf("record kind=%u size=%u\n", kind, size);
}

void Result(const char* call, SimConnectResult result)
{
    std::printf("%s %s\n", call, result < 0 ? "failed" : "ok");
}

} // namespace

int main()
{
    SimConnectHandle handle = nullptr;
    if (SimConnect_Open(&handle, "Departure Probe", nullptr, 0, nullptr, 0) < 0) {
        std::fprintf(stderr, "departure_probe: cannot connect; is kinemora-simulator running?\n");
        return 1;
    }
    // Calls 2 to 7 of the connection (its open is call 1).
    Result("add", SimConnect_AddToDataDefinition(handle, 1, "VELOCITY BODY Z", "meters per second", 4, 0.0f,
                                                 0xFFFFFFFFu));
    Result("add", SimConnect_AddToDataDefinition(handle, 0, "NO SUCH VARIABLE", "meters per second", 4, 0.0f,
                                                 0xFFFFFFFFu));
    Result("add", SimConnect_AddToDataDefinition(handle, 0, "VELOCITY BODY X", "furlongs per fortnight", 4, 0.0f,
                                                 0xFFFFFFFFu));
    Result("add", SimConnect_AddToDataDefinition(handle, 0, "VELOCITY BODY Y", "meters per second squared", 4,
                                                 0.0f, 0xFFFFFFFFu));
    Result("add", SimConnect_AddToDataDefinition(handle, 0, "PLANE BANK DEGREES", "radians", 3, 0.0f, 0xFFFFFFFFu));
    Result("add", SimConnect_AddToDataDefinition(handle, 0, "PLANE PITCH DEGREES", "Degrees", 4, 0.0f, 0xFFFFFFFFu));
    // Calls 8 to 11.
    Result("request", SimConnect_RequestDataOnSimObjectType(handle, 5, 0, 0, 0));
    Result("request", SimConnect_RequestDataOnSimObjectType(handle, 0, 2, 0, 0));
    Result("request", SimConnect_RequestDataOnSimObjectType(handle, 0, 0, 200000, 0));
    Result("request", SimConnect_RequestDataOnSimObjectType(handle, 0, 0, 0, 3));

    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
    while (std::chrono::steady_clock::now() < until) {
        SimConnect_CallDispatch(handle, &PrintRecord, nullptr);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Result("close", SimConnect_Close(handle));

    Result("dispatch after close", SimConnect_CallDispatch(handle, &PrintRecord, nullptr));
    Result("request after close", SimConnect_RequestDataOnSimObjectType(handle, 0, 0, 0, 0));
    Result("close after close", SimConnect_Close(handle));
    Result("dispatch with null", SimConnect_CallDispatch(nullptr, &PrintRecord, nullptr));
    std::fflush(stdout);
    return 0;
}
