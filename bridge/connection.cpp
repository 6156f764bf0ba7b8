#include "connection.h"

#include "clock.h"
#include "data_definition.h"
#include "dispatch_watch.h"
#include "motion_delivery.h"
#include "receive_record.h"
#include "record_log.h"

#include <cstdio>

namespace {

// Owned by the bridge's one thread; the dispatch callback runs on it too.
SimConnectHandle connection_handle = nullptr;
Delivery* delivery = nullptr; // the connection's, while it runs
RelayReport* report = nullptr;
std::uint32_t quit = 0;
std::uint64_t records_dispatched = 0;

void Print(const char* text)
{
    std::fputs(text, stdout);
    std::fflush(stdout);
}

void RequestMotionData()
{
    if (report)
        report->Requested(ReadCounter());
    SimConnect_RequestDataOnSimObjectType(connection_handle, kRequestId, kDefinitionId, kRadiusMeters,
                                          kUserAircraft);
}

} // namespace

void OnDispatch(SimConnectRecord* record, std::uint32_t size, void*)
{
    ++records_dispatched;
    const RoutedRecord routed = RouteRecord(reinterpret_cast<const unsigned char*>(record), size);
    switch (routed.action) {
    case RecordAction::EndConnection:
        quit = 1;
        break;
    case RecordAction::RequestData:
        RequestMotionData();
        break;
    case RecordAction::RequestDataAndRelay:
        if (report)
            report->Delivered(ReadCounter());
        // The next delivery is asked for before this one is sent on.
        RequestMotionData();
        DeliverMotion(*delivery, routed.values);
        break;
    case RecordAction::PrintKind: {
        std::printf("\nReceived:%d", static_cast<int>(routed.kind));
        std::fflush(stdout);
        // The open record names the simulator; an exception tells of a refused call.
        const std::string note = DescribeRecordForLog(reinterpret_cast<const unsigned char*>(record), size);
        if (!note.empty())
            delivery->Log(note);
        if (!note.empty() && report)
            report->Record(note);
        break;
    }
    case RecordAction::Nothing:
        break;
    }
}

bool RunConnection(Delivery& connection_delivery, RelayReport* connection_report)
{
    delivery = &connection_delivery;
    report = connection_report;
    quit = 0;
    if (SimConnect_Open(&connection_handle, kClientName, nullptr, 0, nullptr, 0) < 0)
        return false;
    Print("\nConnected to Flight Simulator!");
    if (report)
        report->ConnectionOpened();

    for (const MotionField& field : kK2Fields)
        SimConnect_AddToDataDefinition(connection_handle, kDefinitionId, field.variable, SimConnectUnits(field),
                                       kDatumTypeFloat64, kEpsilon, kNoDatumId);
    SimConnect_SubscribeToSystemEvent(connection_handle, kSimStartEventId, kSimStartEventName);
    RequestMotionData();
    Print("\nLaunch a flight.");

    // A simulator that crashed sends no quit notice; dispatch failing for two
    // seconds on end, with nothing arriving, ends the connection instead.
    DispatchWatch watch(ReadCounterFrequency());
    bool crashed = false;
    while (quit == 0) {
        const std::uint64_t records_before = records_dispatched;
        const bool failed = SimConnect_CallDispatch(connection_handle, &OnDispatch, nullptr) < 0;
        if (watch.PassEnded(failed, records_dispatched != records_before, ReadCounter())) {
            quit = 1;
            crashed = true;
        }
        if (report)
            report->WriteIfDue(ReadCounter(), *delivery);
        SleepMilliseconds(1);
    }
    SimConnect_Close(connection_handle);
    delivery->LogCounts("connection ended");
    if (report)
        report->ConnectionEnded(crashed ? "dispatch failed for 2 s with nothing arriving: the simulator crashed or "
                                          "the connection broke"
                                        : "the simulator's quit notice");
    return true;
}
