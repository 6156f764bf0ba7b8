#pragma once

// The six operations of SimConnect, the client library of Microsoft Flight
// Simulator 2020, declared after its published x64 interface: every result is
// an HRESULT (32 bits, negative on failure), handles and window handles are
// pointers, DWORDs and the library's enumerations are 32 bits wide. x64 has a
// single calling convention, so the declarations carry none. On Windows the
// names resolve through an import library made from SimConnect.def; natively
// they resolve against the project's stand-in library.

#include <cstdint>

// One record as the library hands it to the dispatch callback, in the
// library's receive layout. Only its bytes are read (receive_record.h).
struct SimConnectRecord;

using SimConnectResult = std::int32_t;
using SimConnectHandle = void*;

// Called by SimConnect_CallDispatch once per received record, on the calling
// thread. size is the record's length in bytes.
using SimConnectDispatchProc = void (*)(SimConnectRecord* record, std::uint32_t size, void* context);

extern "C" {

SimConnectResult SimConnect_Open(SimConnectHandle* handle, const char* client_name, void* window,
                                 std::uint32_t user_message, SimConnectHandle event_handle,
                                 std::uint32_t config_index);

// datum_type is the library's SIMCONNECT_DATATYPE enumeration (4: 64-bit float).
SimConnectResult SimConnect_AddToDataDefinition(SimConnectHandle handle, std::uint32_t define_id,
                                                const char* datum_name, const char* units_name,
                                                std::int32_t datum_type, float epsilon,
                                                std::uint32_t datum_id);

SimConnectResult SimConnect_SubscribeToSystemEvent(SimConnectHandle handle, std::uint32_t event_id,
                                                   const char* system_event_name);

// object_type is the library's SIMCONNECT_SIMOBJECT_TYPE enumeration (0: the user's aircraft).
SimConnectResult SimConnect_RequestDataOnSimObjectType(SimConnectHandle handle, std::uint32_t request_id,
                                                       std::uint32_t define_id, std::uint32_t radius_meters,
                                                       std::int32_t object_type);

SimConnectResult SimConnect_CallDispatch(SimConnectHandle handle, SimConnectDispatchProc dispatch,
                                         void* context);

SimConnectResult SimConnect_Close(SimConnectHandle handle);

} // extern "C"
