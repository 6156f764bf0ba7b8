// kinemora-xplane-simulator: stands in for X-Plane 11 or 12 for
// kinemora_xplane: it multicasts X-Plane's beacon and answers RREF requests
// with the built-in flight, a CSV flight or a recording, in X-Plane's axes
// and signs. Commands on standard input make it go away and come back, send
// a beacon of another role, or a short or foreign packet.
#include "arguments.h"
#include "command_line.h"
#include "socket_startup.h"
#include "flight_source.h"
#include "timers.h"
#include "udp_endpoint.h"
#include "xplane_protocol.h"
#include "xplane_values.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Options {
    std::uint16_t port = kXPlanePort;
    double rate = 60.0;
    double start = 0.0;
    std::string profile;
    std::uint32_t role = 1;
    std::int32_t version = 120001;
};

using Row = cli::Option<Options>;
const Row kOptions[] = {
    {cli::Heading("Options:")},
    {cli::Integer("--port", "N", "a number", 1, 65535, "X-Plane's receive port (default 49000)"),
     cli::Set<&Options::port>},
    {cli::Decimal("--rate", "HZ", "frames per second", 1, 1000, "frames per second (default 60)"),
     cli::Set<&Options::rate>},
    {cli::Decimal("--start", "SECONDS", "a number of seconds", 0, 1e6,
                  "begin this many seconds into the flight (default 0)"),
     cli::Set<&Options::start>},
    {cli::Text("--profile", "FILE", "fly a CSV file or replay a recording instead of the\n"
                                    "built-in flight (it repeats)"),
     cli::Set<&Options::profile>},
    {cli::Integer("--role", "N", "a number", 1, 3, "the role its beacon announces: 1 master (default),\n"
                                                   "2 external visual, 3 instructor station"),
     cli::Set<&Options::role>},
    {cli::Integer("--version-number", "N", "a number", 1, 999999, "the version its beacon announces (default 120001)"),
     cli::Set<&Options::version>},
};

const cli::Table<Options> kTable = {
    "kinemora-xplane-simulator",
    "Usage: kinemora-xplane-simulator [options]\n"
    "\n"
    "Stands in for X-Plane 11 or 12 so that kinemora_xplane can run without it:\n"
    "multicasts X-Plane's beacon once a second and answers RREF requests on its\n"
    "receive port with the built-in flight (take-off, climb, turns, landing;\n"
    "300 s, repeating), a CSV file or a kinemora-listen --csv recording, in\n"
    "X-Plane's axes and signs. It multicasts: run it in a private network.\n"
    "\n",
    kOptions,
    std::size(kOptions),
    "\n"
    "Commands (one per line on standard input):\n"
    "  offline      go away: no beacon, no answers\n"
    "  online       come back\n"
    "  beacon ROLE  send one beacon of this role (1, 2 or 3) now\n"
    "  junk         send a short RREF packet and a foreign one to each subscriber\n"
    "  exit         end\n",
    24,
};

struct Shared {
    std::mutex mutex;
    std::vector<std::string> commands;
};

void ReadCommands(Shared* shared)
{
    for (std::string line; std::getline(std::cin, line);) {
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->commands.push_back(line);
    }
}

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// A subscriber's DataRefs by index: the value each asks for, or -1 for one X-Plane does not know.
using Subscriptions = std::map<std::int32_t, int>;

int ValueOf(const std::string& path)
{
    for (std::size_t i = 0; i < kXPlaneValueCount; ++i)
        if (path == kXPlaneDataRefs[i])
            return static_cast<int>(i);
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (const std::optional<int> status = cli::Run(kTable, ProgramArguments(argc, argv), options))
        return *status;
    FlightSource source;
    if (!options.profile.empty() &&
        !LoadFlightFile(options.profile, DatagramKind::K2, "kinemora-xplane-simulator", source))
        return 1;
    source.StartAt(options.start);
    UseMillisecondTimers();
    StartSockets();
    std::string error;
    const std::intptr_t socket = OpenUdp(options.port, error);
    if (socket == -1) {
        std::fprintf(stderr, "kinemora-xplane-simulator: %s\nIs another one running? Try --port.\n", error.c_str());
        return 1;
    }
    Say("listening on UDP port " + std::to_string(options.port));
    static Shared shared;
    std::thread(ReadCommands, &shared).detach();

    Beacon beacon;
    beacon.version = static_cast<std::int32_t>(options.version);
    beacon.role = options.role;
    beacon.port = options.port;
    beacon.name = "kinemora-xplane-simulator";
    const Endpoint group{kBeaconGroup, kBeaconPort};
    std::map<std::pair<std::uint32_t, std::uint16_t>, Subscriptions> subscribers;
    bool online = true;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    double next_beacon = 0.0;
    std::uint64_t frame = 0;
    for (;;) {
        std::vector<std::string> commands;
        {
            std::lock_guard<std::mutex> lock(shared.mutex);
            commands.swap(shared.commands);
        }
        for (const std::string& command : commands) {
            if (command == "exit") {
                std::fflush(stdout);
                std::_Exit(0);
            } else if (command == "offline" || command == "online") {
                online = command == "online";
                subscribers.clear(); // X-Plane forgets its subscribers when it quits
            } else if (command.rfind("beacon ", 0) == 0) {
                Beacon other = beacon;
                other.role = static_cast<std::uint32_t>(std::atoi(command.c_str() + 7));
                const std::vector<unsigned char> packet = EncodeBeacon(other);
                SendUdp(socket, group, packet.data(), packet.size());
            } else if (command == "junk") {
                for (const auto& [who, subscriptions] : subscribers) {
                    SendUdp(socket, {who.first, who.second}, "RREF,\x01\x02", 7);
                    SendUdp(socket, {who.first, who.second}, "DATA*not for you", 16);
                }
            } else {
                std::fprintf(stderr, "kinemora-xplane-simulator: unknown command '%s'\n", command.c_str());
                continue;
            }
            Say("did " + command);
        }
        const double now = std::chrono::duration<double>(Clock::now() - start).count();
        if (online && now >= next_beacon) {
            const std::vector<unsigned char> packet = EncodeBeacon(beacon);
            SendUdp(socket, group, packet.data(), packet.size());
            next_beacon = now + 1.0;
        }
        // The requests that came; then, once a frame is due (a recording's row
        // at its own time), one reply to each subscriber.
        const FlightSample sample = source.Sample(frame, options.rate);
        const double due = sample.at;
        const int wait_ms = due > now ? static_cast<int>((due - now) * 1000.0) : 0;
        unsigned char packet[kRrefRequestSize + 1];
        Endpoint from;
        const long length = ReceiveUdp(socket, packet, sizeof(packet), wait_ms, from);
        std::int32_t frequency = 0, index = 0;
        std::string path;
        if (length > 0 && online && ReadRrefRequest(packet, static_cast<std::size_t>(length), frequency, index, path)) {
            Subscriptions& subscriptions = subscribers[{from.address, from.port}];
            if (frequency == 0)
                subscriptions.erase(index);
            else
                subscriptions[index] = ValueOf(path);
            Say((frequency == 0 ? "unsubscribed " : "subscribed ") + std::to_string(index) + " " + path + " for " +
                EndpointText(from));
            continue;
        }
        if (now < due)
            continue;
        ++frame;
        double values[kXPlaneValueCount];
        XPlaneValues(sample.state, values);
        for (const auto& [who, subscriptions] : subscribers) {
            std::vector<RrefValue> reply;
            for (const auto& [i, value] : subscriptions)
                if (value >= 0 && reply.size() < kMostRrefPairs)
                    reply.push_back({i, static_cast<float>(values[value])});
            if (!reply.empty()) {
                const std::vector<unsigned char> bytes = EncodeRrefReply(reply);
                SendUdp(socket, {who.first, who.second}, bytes.data(), bytes.size());
            }
        }
    }
}
