#include "signal_text.h"

#include <cstdio>

const char kSignalUsage[] =
    "Usage: kinemora-signal --axis NAME --amplitude A [options]\n"
    "\n"
    "Sends a test signal to a motion platform: K01 or K2 datagrams, byte for byte\n"
    "as the Aerofly FS 2 plug-in (K01) or the MSFS bridge (K2) sends them, in which\n"
    "one field moves and every other field is exactly 0. Use it to check each axis\n"
    "of a rig, one at a time, before any simulator runs.\n"
    "\n"
    "The signal:\n"
    "  --format k01|k2   the datagram (default k01): K01 as kinemora_aerofly_fs_2\n"
    "                    sends it, K2 as kinemora_mfs_2020 does\n"
    "  --axis NAME       the field that moves, named as kinemora-listen prints it\n"
    "                    (pitch, bank, velocity_x, heading, ...); --list-axes shows\n"
    "                    every field with its unit, axis and bound\n"
    "  --shape SHAPE     sine (default), square, triangle, or step: the offset for\n"
    "                    one period, then offset + amplitude until the end\n"
    "  --amplitude A     how far the field moves from the offset, in the field's\n"
    "                    units (rad, rad/s, m/s, m/s^2); a negative one turns the\n"
    "                    signal over\n"
    "  --period S        seconds per cycle, 0.02 to 3600 (default 4); for step, the\n"
    "                    seconds before the step\n"
    "  --offset B        the value the signal moves around (default 0)\n"
    "  --rate HZ         datagrams per second, 1 to 1000 (default 60), evenly spaced\n"
    "  --duration S      send for S seconds, then stop softly (default: until\n"
    "                    Ctrl+C)\n"
    "  --ramp S          soft start and stop, 0 to 60 seconds (default 1): the whole\n"
    "                    signal, offset included, rises from 0 over S seconds at\n"
    "                    the start and falls back to 0 over S seconds at the end;\n"
    "                    one datagram of zeros follows. --ramp 0 turns it off.\n"
    "  --force           send a signal beyond the field's gentle bound, up to its\n"
    "                    extreme one: a signal whose |offset| + |amplitude|\n"
    "                    exceeds the gentle bound is refused otherwise, and one\n"
    "                    beyond the extreme always (--list-axes shows both)\n"
    "\n"
    "Where to:\n"
    "  --destination X   where to send (default broadcast:50010); repeat it for up\n"
    "                    to 8 destinations. X is A.B.C.D[:PORT], broadcast[:PORT] or\n"
    "                    adapters[:PORT] (each network adapter's broadcast address),\n"
    "                    as in the settings files of the plug-in and the bridge.\n"
    "\n"
    "Other:\n"
    "  --quiet           no status lines\n"
    "  --list-axes       list the fields of both formats, then end\n"
    "  --help            show this text\n"
    "\n"
    "Stopping: Ctrl+C starts the soft stop: the signal falls to 0 over the ramp,\n"
    "then one datagram of zeros goes out and the program ends. A second Ctrl+C\n"
    "shortens the way down to at most 0.25 s; only --ramp 0 jumps to 0.\n"
    "Ctrl+Break, closing the window, logging off and shutting down (SIGHUP and\n"
    "SIGTERM on Linux) stop it the same way; after a close, logoff or shutdown the\n"
    "way down takes at most 3 s, since Windows ends the program soon after.\n"
    "An option it cannot use ends it with status 2 before anything is sent.\n"
    "\n"
    "Signs: each value goes out as given, and the signs are the simulator's own:\n"
    "kinemora-signal cannot know which way your rig calls up. To learn them, run\n"
    "kinemora-listen --live while flying the simulator (roll right, pitch up) and\n"
    "watch which way each field goes; then check here that the rig moves that way\n"
    "for the same sign.\n"
    "\n"
    "Examples:\n"
    "  move pitch slowly (K01, 0.1 rad either way, 4 s a cycle, until Ctrl+C):\n"
    "    kinemora-signal --axis pitch --amplitude 0.1 --period 4\n"
    "  roll for 20 s, as the MSFS bridge would send it:\n"
    "    kinemora-signal --format k2 --axis bank --amplitude 0.15 --duration 20\n"
    "  hold pitch at +0.05 rad from 2 s on, to see which way is up:\n"
    "    kinemora-signal --axis pitch --shape step --amplitude 0.05 --period 2\n"
    "  heave: the vertical velocity, 1 m/s either way, 3 s a cycle:\n"
    "    kinemora-signal --format k2 --axis velocity_body_y --amplitude 1 --period 3\n"
    "  the rate of turn in a triangle, 0.2 rad/s either way:\n"
    "    kinemora-signal --axis rate_of_turn --shape triangle --amplitude 0.2\n"
    "  to the rig's controller only, at 192.168.1.50, instead of broadcast:\n"
    "    kinemora-signal --axis bank --amplitude 0.1 --destination 192.168.1.50\n"
    "\n"
    "Begin with a small amplitude and a long period, one axis at a time, with a\n"
    "hand on the rig's emergency stop.\n";

namespace {

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", value);
    return text;
}

std::string Padded(const std::string& text, std::size_t width)
{
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text + " ";
}

void AddFormat(SignalFormat format, const char* title, std::string& table)
{
    table += title;
    table += "  " + Padded("field", 25) + Padded("unit", 7) + Padded("gentle", 7) + Padded("extreme", 8) + "meaning\n";
    std::size_t count = 0;
    const SignalField* fields = FieldsOf(format, count);
    for (std::size_t i = 0; i < count; ++i) {
        const SignalField& f = fields[i];
        table += "  " + Padded(f.name, 25) + Padded(f.unit, 7) + Padded(f.gentle_text, 7) + Padded(f.extreme_text, 8) +
                 f.meaning + "\n";
    }
}

} // namespace

std::string AxesTable()
{
    std::string table =
        "The fields kinemora-signal can move (--axis NAME), named as kinemora-listen\n"
        "prints them, with their units and axes as docs/protocol.md gives them.\n"
        "\n";
    AddFormat(SignalFormat::K01, "K01 (--format k01), as the Aerofly FS 2 plug-in sends it:\n", table);
    table += "  x, y and z are the simulator's body axes.\n\n";
    AddFormat(SignalFormat::K2, "K2 (--format k2), as the MSFS bridge sends it:\n", table);
    table +=
        "  Each triple runs Z, X, Y: Z along the aircraft (longitudinal), X across it\n"
        "  (lateral), Y up through it (vertical). Heading runs from 0 to 2 pi.\n"
        "\n"
        "gentle: a signal whose |offset| + |amplitude| exceeds it is refused unless\n"
        "--force. It keeps a first test small: 0.35 rad is 20 degrees, 0.5 rad/s\n"
        "29 degrees a second, 20 m/s 72 km/h, 5 m/s^2 half a g.\n"
        "extreme: beyond it lies what no flight sends (degrees typed for radians,\n"
        "km/h for m/s), refused even with --force. pi is 3.14159, 2 pi 6.28319 (a\n"
        "full turn, or a turn a second); velocities stop at 350 m/s (about Mach 1),\n"
        "accelerations at 100 m/s^2 (about 10 g).\n"
        "\n"
        "Signs: the values go out as given, and their signs are the simulator's own.\n"
        "To see which way each field goes, run kinemora-listen --live while flying\n"
        "(roll right, pitch up, turn) and watch the fields move.\n";
    return table;
}

std::string DescribeSignal(const SignalSettings& signal)
{
    const SignalField& f = *signal.field;
    const Wave& w = signal.wave;
    std::string text = std::string(FormatName(signal.format)) + " " + f.name + ": " + ShapeName(w.shape) +
                       ", amplitude " + Number(w.amplitude) + " " + f.unit +
                       (w.shape == Shape::Step ? ", step after " : ", period ") + Number(w.period) + " s, offset " +
                       Number(w.offset) + " " + f.unit + ", " + Number(signal.rate) + " datagrams a second, ";
    text += signal.ramp > 0.0 ? "soft start and stop over " + Number(signal.ramp) + " s" : "no soft start and stop";
    return text;
}

std::string StopLine(StopEvent event, int requests, const SignalSettings& signal, double longest)
{
    std::string name = StopEventName(event);
    if (requests >= 2 && !EndsSoon(event))
        name += " again";
    if (longest <= 0.0)
        return name + ": sending one datagram of zeros, then ending";
    std::string line = name + ": ramping " + signal.field->name + " down to 0 over at most " + Number(longest) +
                       " s, then one datagram of zeros";
    if (requests == 1 && !EndsSoon(event) && longest > kSecondStopWayDown)
        line += " (Ctrl+C again makes it at most " + Number(kSecondStopWayDown) + " s)";
    return line;
}

std::string StatusLine(const SignalSettings& signal, double t, std::uint64_t count)
{
    char line[128];
    if (signal.duration > 0.0 && t < signal.duration)
        std::snprintf(line, sizeof(line), "%.0f s, %llu datagrams, %.0f s to go before the soft stop", t,
                      static_cast<unsigned long long>(count), signal.duration - t);
    else if (signal.duration > 0.0)
        std::snprintf(line, sizeof(line), "%.0f s, %llu datagrams, stopping", t, static_cast<unsigned long long>(count));
    else
        std::snprintf(line, sizeof(line), "%.0f s, %llu datagrams (Ctrl+C to stop)", t,
                      static_cast<unsigned long long>(count));
    return line;
}
