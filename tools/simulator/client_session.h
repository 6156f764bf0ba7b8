#pragma once

// One client of the emulator, as the simulator sees a SimConnect client: its
// connection, data definitions, subscriptions and waiting requests. It takes
// the client's calls off the link and answers them as the simulator would,
// and sends it records. Every call that differs from the bridge's fixed calls
// is reported as a departure (report.h).

#include "bridge_variables.h"
#include "link_protocol.h"
#include "loopback.h"
#include "sim_records.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

class ClientSession {
public:
    struct Request {
        std::uint32_t request_id = 0;
        std::uint32_t define_id = 0;
    };

    // Values in one delivery, at most.
    static constexpr std::size_t kMaxValues = 64;

    // edition: what the open acknowledgement announces.
    ClientSession(LoopbackSocket socket, const SimulatorEdition& edition, bool verbose)
        : socket_(socket), edition_(edition), verbose_(verbose)
    {
    }
    ~ClientSession();
    ClientSession(const ClientSession&) = delete;
    ClientSession& operator=(const ClientSession&) = delete;

    // Takes every call that has arrived and answers it. A client that went
    // away or broke the protocol ends the session.
    void ReadCalls();

    // Ends the session and closes the connection: abort resets it, as a
    // crashing simulator would leave it. Says why.
    void End(const char* why, bool abort);

    bool Ended() const { return ended_; }
    bool Opened() const { return opened_; }
    const std::string& Name() const { return name_; }
    std::deque<Request>& Pending() { return pending_; }
    std::uint32_t DispatchCalls() const { return dispatch_calls_; }
    LoopbackSocket Socket() const { return socket_; }

    // The client event ID under which it subscribed a system event, if it did.
    bool Subscribed(const std::string& system_event, std::uint32_t& event_id) const;

    // Records to the client; a failed send ends the session and returns false.
    bool SendRecord(const unsigned char* record, std::size_t size);
    void SendHeaderRecord(std::uint32_t kind, const char* what);
    void SendEvent(std::uint32_t event_id, const char* what);
    void SendException(std::uint32_t code, std::uint32_t send_id, std::uint32_t index, const char* what);

    // Answers one request with the values of state for its definition, at
    // most value_limit of them; frame numbers the flight's frame. True when a
    // record went out.
    bool Deliver(const Request& request, const double* state, std::size_t value_limit, std::uint64_t frame);

private:
    struct Datum {
        int quantity = -1;   // index into kQuantities
        double factor = 1.0; // from SI into the requested units
    };

    void HandleCall(std::uint32_t type, const std::vector<unsigned char>& fields);
    void Open(simlink::FrameReader& reader);
    void AddDatum(simlink::FrameReader& reader);
    void AddRequest(simlink::FrameReader& reader);

    LoopbackSocket socket_;
    const SimulatorEdition& edition_;
    bool verbose_;
    simlink::FrameAssembler received_;
    bool opened_ = false;
    bool ended_ = false;
    std::string name_;
    std::uint32_t calls_ = 0;          // calls received: the send ID of the latest
    std::uint32_t dispatch_calls_ = 0; // as the client last reported them
    std::map<std::uint32_t, std::vector<Datum>> definitions_;
    std::map<std::string, std::uint32_t> subscriptions_; // lower-case system event name
    std::deque<Request> pending_;
};
