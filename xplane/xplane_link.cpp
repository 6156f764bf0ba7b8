#include "xplane_link.h"

#include "clock.h"
#include "end_request.h"
#include "k2_datagram.h"
#include "microsecond_clock.h"
#include "xplane_motion.h"
#include "xplane_protocol.h"

#include <cstdio>
#include <vector>

namespace {

constexpr std::int32_t kPerSecond = 100;      // X-Plane sends at most once a frame
constexpr double kSilence = 2.0;              // seconds without values: X-Plane has gone
constexpr double kAskAgain = 1.0;             // seconds between requests while nothing comes
constexpr double kBeaconWait = 3.0;           // seconds
constexpr double kRawSeconds = 5.0;           // the report keeps the values of these first seconds
constexpr std::uint32_t kEveryValue = (1u << kXPlaneValueCount) - 1;

void Show(const std::string& text)
{
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

double Seconds()
{
    return static_cast<double>(ReadCounter()) / static_cast<double>(ReadCounterFrequency());
}

void Ask(std::intptr_t socket, const Endpoint& xplane, std::int32_t frequency)
{
    unsigned char request[kRrefRequestSize];
    for (std::size_t i = 0; i < kXPlaneValueCount; ++i)
        if (EncodeRrefRequest(frequency, static_cast<std::int32_t>(i), kXPlaneDataRefs[i], request))
            SendUdp(socket, xplane, request, sizeof(request));
}

// "vx_acf_axis -12.5, vy_acf_axis 0.25, ..." for the report.
std::string RawValues(const double (&values)[kXPlaneValueCount])
{
    std::string text;
    for (std::size_t i = 0; i < kXPlaneValueCount; ++i) {
        const std::string path = kXPlaneDataRefs[i];
        char value[32];
        std::snprintf(value, sizeof(value), " %.6g", values[i]);
        text += (i == 0 ? "" : ", ") + path.substr(path.rfind('/') + 1) + value;
    }
    return text;
}

} // namespace

bool FindXPlane(const std::string& named, const char* from, Relay& relay, Endpoint& xplane, std::string& version)
{
    if (!named.empty()) {
        const std::size_t colon = named.find(':');
        const std::string host = named.substr(0, colon);
        const std::string port = colon == std::string::npos ? "" : named.substr(colon + 1);
        unsigned long number = kXPlanePort;
        char* end = nullptr;
        if (!port.empty())
            number = std::strtoul(port.c_str(), &end, 10);
        if ((!port.empty() && (*end != '\0' || number < 1 || number > 65535)) || !ResolveIPv4(host, xplane.address)) {
            Say(relay, std::string(from) + ": '" + named + "' names no computer and port: write a name or an " +
                           "address, and a port from 1 to 65535 after a colon if X-Plane does not use 49000");
            return false;
        }
        xplane.port = static_cast<std::uint16_t>(number);
        Say(relay, "asking X-Plane at " + EndpointText(xplane) + ", as " + from + " says");
        return true;
    }
    std::string error;
    const std::intptr_t listener = OpenBeaconListener(error);
    const double until = Seconds() + kBeaconWait;
    while (listener != -1 && Seconds() < until) {
        unsigned char packet[1500];
        Endpoint sender;
        const long length = ReceiveUdp(listener, packet, sizeof(packet), 100, sender);
        Beacon beacon;
        if (length <= 0 || !ReadBeacon(packet, static_cast<std::size_t>(length), beacon))
            continue;
        if (beacon.major != 1 || beacon.host != 1 || beacon.role != 1) {
            Say(relay, "passed over a beacon from " + EndpointText(sender) + ": not X-Plane's master (version " +
                           std::to_string(beacon.major) + ", host " + std::to_string(beacon.host) + ", role " +
                           std::to_string(beacon.role) + ")");
            continue;
        }
        CloseUdp(listener);
        xplane = {sender.address, beacon.port};
        version = XPlaneVersion(beacon.version);
        Say(relay, "found X-Plane " + version + " on '" + beacon.name + "' at " + EndpointText(xplane) +
                       " by its beacon");
        // The report names no computer: only its address.
        if (relay.report)
            relay.report->Record("X-Plane " + version + " at " + EndpointText(xplane));
        return true;
    }
    if (listener != -1)
        CloseUdp(listener);
    xplane = {0x7F000001u, kXPlanePort};
    Say(relay, (listener == -1 ? "cannot listen for X-Plane's beacon (" + error + ")"
                               : std::string("no X-Plane beacon within 3 s")) +
                   "; asking 127.0.0.1:49000, X-Plane on this PC (--xplane names another)");
    return true;
}

int RelayXPlane(std::intptr_t socket, const Endpoint& xplane, const std::string& version, Relay& relay,
                bool exit_with_simulator)
{
    MicrosecondClock clock{PerformanceCounter{&ReadCounterFrequency, &ReadCounter}};
    clock.Calibrate();
    double values[kXPlaneValueCount] = {};
    std::uint32_t seen = 0;
    bool connected = false, hinted = false;
    const double start = Seconds();
    double last_reply = start, asked = start, first_complete = -1.0, raw_due = 0.0;
    std::vector<RrefValue> reply;
    Ask(socket, xplane, kPerSecond);
    while (!EndRequested()) {
        unsigned char packet[8 + 8 * kMostRrefPairs];
        Endpoint sender;
        const long length = ReceiveUdp(socket, packet, sizeof(packet), 100, sender);
        const double now = Seconds();
        if (relay.report)
            relay.report->WriteIfDue(ReadCounter(), relay.delivery);
        if (length > 0 && ReadRrefReply(packet, static_cast<std::size_t>(length), reply)) {
            for (const RrefValue& value : reply) {
                if (value.index >= 0 && value.index < static_cast<std::int32_t>(kXPlaneValueCount)) {
                    values[value.index] = value.value;
                    seen |= 1u << value.index;
                }
            }
            last_reply = now;
            if (!connected) {
                connected = true;
                Show("\nConnected to X-Plane" + (version.empty() ? std::string() : " " + version));
                if (relay.report)
                    relay.report->ConnectionOpened();
            }
            if (seen != kEveryValue)
                continue;
            if (first_complete < 0.0)
                first_complete = now;
            if (relay.report) {
                relay.report->Delivered(ReadCounter());
                if (now - first_complete <= kRawSeconds && now >= raw_due) {
                    char at[32];
                    std::snprintf(at, sizeof(at), "%.1f s", now - first_complete);
                    relay.report->Record(std::string("values at ") + at + ": " + RawValues(values));
                    raw_due = now + 1.0;
                }
            }
            double k2[kK2FieldCount];
            K2FromXPlane(values, k2);
            std::uint8_t datagram[kK2Size];
            EncodeK2(clock.TimeField(), k2, datagram);
            Show(relay.delivery.Send(datagram, static_cast<std::int32_t>(kK2Size)) ? "." : "x");
            continue;
        }
        if (connected && now - last_reply > kSilence) {
            connected = false;
            seen = 0;
            if (relay.report)
                relay.report->ConnectionEnded("nothing for 2 s: X-Plane quit, restarted or is loading");
            if (exit_with_simulator)
                break;
            Show("\nX-Plane has sent nothing for 2 s: it quit, restarted or is loading a flight; asking again "
                 "every second");
        }
        if (!connected && now - asked >= kAskAgain) {
            asked = now;
            Ask(socket, xplane, kPerSecond);
        }
        if (!connected && !hinted && first_complete < 0.0 && now - last_reply > kSilence) {
            hinted = true;
            Show("\nNo values from X-Plane at " + EndpointText(xplane) + " yet; asking again every second. Is X-Plane "
                 "running a flight? X-Plane 12 answers only with \"accept incoming connections\" on in its network "
                 "settings (users report it off by default), and a firewall may hold its answers back: see "
                 "INSTALL.txt");
        }
    }
    // X-Plane would go on sending to a port nobody reads. A closing window
    // ends the program once EndRequestAnswered is told.
    Ask(socket, xplane, 0);
    if (relay.report)
        relay.report->Write(relay.delivery);
    EndRequestAnswered();
    if (exit_with_simulator && !EndRequested())
        Say(relay, "X-Plane has gone; ending (--exit-with-simulator)");
    return 0;
}
