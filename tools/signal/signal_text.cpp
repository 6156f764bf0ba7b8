#include "signal_text.h"

#include <cstdio>

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
    const SignalField* fields = SignalFieldsOf(format, count);
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
