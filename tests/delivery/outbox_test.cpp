// The outbox over a scripted sender: what Send returns, the lines a user
// reads, destinations once each, and the new looks at the adapters.
#include "destination_list.h"
#include "outbox.h"

#include <gtest/gtest.h>

#include <map>
#include <new>
#include <string>
#include <vector>

namespace {

// Each destination's outcome, "A.B.C.D:PORT" -> {step, error}; absent means taken.
using Outcomes = std::map<std::string, SendOutcome>;

struct Script {
    Outcomes next;
    std::vector<std::string> calls;
    std::vector<std::string> lines;
    std::int64_t now = 0;

    Outbox Make()
    {
        Outbox outbox([this](const Destination& d, const void*, std::int32_t, SendOutcome* outcome) {
            char where[22];
            FormatDestination(d, where);
            calls.push_back(where);
            const auto it = next.find(where);
            if (it != next.end())
                *outcome = it->second;
        });
        return outbox;
    }
    void Report(Outbox& outbox)
    {
        outbox.SetReport([this](const std::string& line) { lines.push_back(line); });
    }
    // A look runs at once, as the real one does in the end; what throws is lost.
    void Watch(Outbox& outbox, Outbox::ListAdaptersFunction list)
    {
        outbox.WatchAdapters(std::move(list), [this] { return now; }, [](std::function<void()> work) {
            try {
                work();
            } catch (...) {
            }
            return true;
        });
    }
};

Destination At(const char* node, std::uint16_t port = 50010)
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    std::sscanf(node, "%u.%u.%u.%u", &a, &b, &c, &d);
    return MakeDestination(a << 24 | b << 16 | c << 8 | d, port);
}

const char kUnreachable[] = "the network is unreachable: this PC has no network that leads there; check that this "
                            "PC's network cable or Wi-Fi is connected and that the destination's address is right";
const char kDenied[] = "permission denied: Windows or a firewall does not let this program send there; check that "
                       "this PC's network cable or Wi-Fi is connected and that the destination's address is right";
const char kNoRoute[] = "no route to that computer: it is not on a network this PC reaches; check that this PC's "
                        "network cable or Wi-Fi is connected and that the destination's address is right";
const char kCounted[] = " (later failures of this kind are only counted)";

} // namespace

// Two destinations, one of them dead now and then: each kind of failure is
// told once in an outage, each outage anew, and so is the way out of it.
TEST(Outbox, TellsEachKindOfFailureOncePerOutageAndEachRecovery)
{
    const SendOutcome unreachable{SendStep::Send, 10051}, denied{SendStep::Send, 10013}, no_route{SendStep::Send, 10065};
    const std::string unit = "10.0.0.7:50010", all = "255.255.255.255:50010";
    struct Case {
        Outcomes outcomes;
        bool taken;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {{{unit, unreachable}}, true,
         {"first datagram: 4 bytes to 10.0.0.7:50010, 255.255.255.255:50010",
          "send failed: sendto for 10.0.0.7:50010, error 10051: " + std::string(kUnreachable) + kCounted}},
        {{{unit, unreachable}}, true, {}},
        {{{unit, denied}}, true,
         {"send failed: sendto for 10.0.0.7:50010, error 10013: " + std::string(kDenied) + kCounted}},
        {{{unit, unreachable}}, true, {}},
        {{}, true, {"sending works again: every destination took the datagram"}},
        {{{unit, unreachable}}, true,
         {"send failed: sendto for 10.0.0.7:50010, error 10051: " + std::string(kUnreachable) + kCounted}},
        {{{unit, unreachable}, {all, no_route}}, false,
         {"send failed: sendto for 255.255.255.255:50010, error 10065: " + std::string(kNoRoute) + kCounted}},
        {{{unit, unreachable}}, true, {"sending works again: 255.255.255.255:50010 takes the datagrams again"}},
        {{}, true, {"sending works again: every destination took the datagram"}},
    };
    Script script;
    Outbox outbox = script.Make();
    outbox.SetDestinations({At("10.0.0.7"), At("255.255.255.255")});
    script.Report(outbox);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        script.next = cases[i].outcomes;
        script.lines.clear();
        EXPECT_EQ(outbox.Send("K2,x", 4), cases[i].taken) << "send " << i;
        EXPECT_EQ(script.lines, cases[i].lines) << "send " << i;
    }
    EXPECT_EQ(script.calls.size(), 2 * cases.size());

    script.lines.clear();
    outbox.LogCounts("connection ended");
    script.Report(outbox); // the next connection counts from zero
    outbox.Send("K2,x", 4);
    outbox.LogCounts("connection ended");
    EXPECT_EQ(script.lines, (std::vector<std::string>{
                                "connection ended: frames 9, datagrams 18, failures 8 (sendto 8)",
                                "first datagram: 4 bytes to 10.0.0.7:50010, 255.255.255.255:50010",
                                "connection ended: frames 1, datagrams 2, failures 0"}));
}

// broadcast and adapters on one port with no adapter up: one datagram to
// 255.255.255.255 per Send, before a new look and after it.
TEST(Outbox, SendsToEachDestinationOnceAlsoAfterANewLook)
{
    std::vector<std::string> notes;
    for (bool broadcast_first : {true, false}) {
        Script script;
        Outbox outbox = script.Make();
        std::vector<Destination> layout = AdapterDestinations({}, 50032, notes);
        layout.insert(broadcast_first ? layout.begin() : layout.end(), At("255.255.255.255", 50032));
        outbox.SetDestinations(layout);
        script.Report(outbox);
        script.Watch(outbox, [] { return std::vector<Adapter>(); });
        for (script.now = 0; script.now <= 12000; script.now += 1000)
            outbox.Send("K2,x", 4);
        EXPECT_EQ(script.calls, std::vector<std::string>(13, "255.255.255.255:50032")) << broadcast_first;
        EXPECT_EQ(DescribeDestinations(outbox.Destinations()), "255.255.255.255:50032");
        EXPECT_EQ(script.lines.size(), 1u) << "the first datagram, and no new destinations";
    }
}

// No adapter at start: 255.255.255.255 on the port stands in. A look that
// throws found nothing, and the next one is due 5 s later.
TEST(Outbox, ALookThatThrowsFoundNothingAndTheNextFollows)
{
    Script script;
    int looks = 0;
    std::vector<std::string> notes;
    Outbox outbox = script.Make();
    outbox.SetDestinations(AdapterDestinations({}, 50031, notes));
    script.Report(outbox);
    script.Watch(outbox, [&looks]() -> std::vector<Adapter> {
        if (++looks == 1)
            throw std::bad_alloc();
        return {{"eth0", 0xC000020Au, 0xFFFFFF00u}};
    });
    for (std::int64_t at : {0, 4999, 5000, 5001, 9999})
        script.now = at, outbox.Send("K2,x", 4);
    EXPECT_EQ(looks, 1);
    EXPECT_EQ(DescribeDestinations(outbox.Destinations()), "255.255.255.255:50031");
    for (std::int64_t at : {10000, 10001})
        script.now = at, outbox.Send("K2,x", 4);
    EXPECT_EQ(looks, 2);
    EXPECT_EQ(script.calls.back(), "192.0.2.255:50031");
    EXPECT_EQ(script.lines.back(), "adapters looked at again: sending to 192.0.2.255:50031");
}
