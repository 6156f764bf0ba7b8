#include "signal_options.h"

#include "destinations.h"
#include "signal_bounds.h"

#include <cctype>
#include <cstdio>
#include <iterator>

namespace {

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", value);
    return text;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The mistake in one line. kinemora-signal shows no usage after it, so the
// line points to --help.
std::string Wording(const cli::Mistake& mistake)
{
    switch (mistake.kind) {
    case cli::MistakeKind::Unknown:
        return "unknown option " + mistake.argument + ". Try --help.";
    case cli::MistakeKind::NoValue:
    case cli::MistakeKind::Extra:
        return cli::Describe(mistake) + ". Try --help.";
    case cli::MistakeKind::BadValue:
        break;
    }
    return "";
}

// --format and --shape in any letter case.
bool ReadFormat(SignalOptions& options, const cli::Value& value)
{
    const std::string format = Lower(value.text);
    if (format != "k01" && format != "k2")
        return false;
    options.signal.format = format == "k01" ? SignalFormat::K01 : SignalFormat::K2;
    return true;
}

bool ReadShape(SignalOptions& options, const cli::Value& value)
{
    for (Shape shape : {Shape::Sine, Shape::Square, Shape::Triangle, Shape::Step}) {
        if (Lower(value.text) == ShapeName(shape)) {
            options.signal.wave.shape = shape;
            return true;
        }
    }
    return false;
}

// The axis is looked up once the format is known.
bool ReadAxisName(SignalOptions& options, const cli::Value& value)
{
    options.axis = Lower(value.text);
    return true;
}

bool ReadAmplitude(SignalOptions& options, const cli::Value& value)
{
    options.signal.wave.amplitude = value.number;
    options.amplitude_given = true;
    return true;
}

bool ReadAxis(const std::string& axis, SignalSettings& signal, std::string& error)
{
    const SignalFormat other = signal.format == SignalFormat::K01 ? SignalFormat::K2 : SignalFormat::K01;
    const std::string format = FormatName(signal.format);
    if (axis.empty()) {
        error = "--axis is missing: name the " + format + " field to move (" + FieldNames(signal.format) +
                "; kinemora-signal --list-axes tells what each one is)";
        return false;
    }
    signal.field = FindSignalField(signal.format, axis);
    if (signal.field)
        return true;
    if (FindSignalField(other, axis)) {
        error = "--axis " + axis + " is a " + FormatName(other) + " field, not a " + format + " one: add --format " +
                Lower(FormatName(other)) + ", or pick one of " + FieldNames(signal.format);
        return false;
    }
    error = "--axis wants a " + format + " field (" + FieldNames(signal.format) + "), not '" + axis + "'";
    return false;
}

bool CheckSignal(const SignalOptions& options, std::string& error)
{
    const SignalSettings& signal = options.signal;
    if (!options.amplitude_given) {
        error = std::string("--amplitude is missing: how far ") + signal.field->name + " moves, in " +
                signal.field->unit + " (for example --amplitude 0.1)";
        return false;
    }
    const double shortest = 2.0 / signal.rate;
    if (signal.wave.period < shortest) {
        error = "--period " + Number(signal.wave.period) + " is shorter than two datagrams at --rate " +
                Number(signal.rate) + ": at least " + Number(shortest) + " s, or a higher --rate";
        return false;
    }
    error = BoundsError(*signal.field, signal.wave.amplitude, signal.wave.offset, options.force);
    if (!error.empty())
        return false;
    return true;
}

bool ReadDestinations(SignalOptions& options, std::string& error)
{
    options.destinations.clear();
    if (options.destination_values.empty()) {
        options.destinations.push_back(Destination{}); // 255.255.255.255:50010
        return true;
    }
    for (const std::string& value : options.destination_values) {
        std::vector<Destination> found;
        std::string reason;
        if (!ParseDestination(value, options.list_adapters, found, options.notes, reason)) {
            error = "--destination: " + reason;
            return false;
        }
        std::vector<std::string> left_out;
        AddDestinations(options.destinations, found, left_out);
        if (!left_out.empty()) {
            error = "--destination: at most 8 destinations in all; " + left_out.front();
            return false;
        }
    }
    // A test signal goes where it is told: "adapters" that finds none is an
    // error here, not a broadcast in its stead.
    bool stand_in = false;
    for (const Destination& d : options.destinations)
        stand_in = stand_in || d.origin == DestinationOrigin::NoAdapter;
    if (options.destinations.empty() || stand_in) {
        error = "--destination: no IPv4 adapter that is up has a broadcast address; name an address instead (" +
                std::string(kDestinationSyntax) + ")";
        return false;
    }
    return true;
}

// Every option is in: the signal whole, and where it goes.
bool Check(SignalOptions& options, const std::vector<std::string>& arguments, std::string& error)
{
    if (arguments.empty()) {
        error = "--axis and --amplitude are missing: for example kinemora-signal --axis pitch --amplitude 0.1 "
                "--period 4. Try --help, and --list-axes for the fields.";
        return false;
    }
    if (options.list_axes)
        return true;
    return ReadAxis(options.axis, options.signal, error) && CheckSignal(options, error) &&
           ReadDestinations(options, error);
}

using Row = cli::Option<SignalOptions>;

const Row kOptions[] = {
    {cli::Heading("The signal:")},
    {cli::Text("--format", "k01|k2",
               "the datagram (default k01): K01 as kinemora_aerofly_fs_2\n"
               "sends it, K2 as kinemora_mfs_2020 does",
               "k01 or k2"),
     ReadFormat},
    {cli::Text("--axis", "NAME",
               "the field that moves, named as kinemora-listen prints it\n"
               "(pitch, bank, velocity_x, heading, ...); --list-axes shows\n"
               "every field with its unit, axis and bound",
               "a field name (kinemora-signal --list-axes shows them)"),
     ReadAxisName},
    {cli::Text("--shape", "SHAPE",
               "sine (default), square, triangle, or step: the offset for\n"
               "one period, then offset + amplitude until the end",
               "sine, square, triangle or step"),
     ReadShape},
    {cli::Decimal("--amplitude", "A", "a number in the field's units", -kLargestValue, kLargestValue,
                  "how far the field moves from the offset, in the field's\n"
                  "units (rad, rad/s, m/s, m/s^2); a negative one turns the\n"
                  "signal over"),
     ReadAmplitude},
    {cli::Decimal("--period", "S", "seconds", kShortestPeriod, kLongestPeriod,
                  "seconds per cycle, 0.02 to 3600 (default 4); for step, the\n"
                  "seconds before the step"),
     cli::Set<&SignalOptions::signal, &SignalSettings::wave, &Wave::period>},
    {cli::Decimal("--offset", "B", "a number in the field's units", -kLargestValue, kLargestValue,
                  "the value the signal moves around (default 0)"),
     cli::Set<&SignalOptions::signal, &SignalSettings::wave, &Wave::offset>},
    {cli::Decimal("--rate", "HZ", "datagrams per second", kLowestRate, kHighestRate,
                  "datagrams per second, 1 to 1000 (default 60), evenly spaced"),
     cli::Set<&SignalOptions::signal, &SignalSettings::rate>},
    {cli::DecimalAbove("--duration", "S", "seconds", 0, kLongestDuration,
                       "send for S seconds, then stop softly (default: until\n"
                       "Ctrl+C)"),
     cli::Set<&SignalOptions::signal, &SignalSettings::duration>},
    {cli::Decimal("--ramp", "S", "seconds", 0, kLongestRamp,
                  "soft start and stop, 0 to 60 seconds (default 1): the whole\n"
                  "signal, offset included, rises from 0 over S seconds at\n"
                  "the start and falls back to 0 over S seconds at the end;\n"
                  "one datagram of zeros follows. --ramp 0 turns it off."),
     cli::Set<&SignalOptions::signal, &SignalSettings::ramp>},
    {cli::Switch("--force", "send a signal beyond the field's gentle bound, up to its\n"
                            "extreme one: a signal whose |offset| + |amplitude|\n"
                            "exceeds the gentle bound is refused otherwise, and one\n"
                            "beyond the extreme always (--list-axes shows both)"),
     cli::Set<&SignalOptions::force>},
    {cli::Heading("Where to:")},
    {cli::RepeatedText("--destination", "X",
                       "where to send (default broadcast:50010); repeat it for up\n"
                       "to 8 destinations. X is A.B.C.D[:PORT], broadcast[:PORT] or\n"
                       "adapters[:PORT] (each network adapter's broadcast address),\n"
                       "as in the settings files of the plug-in and the bridge.",
                       kDestinationSyntax),
     cli::Set<&SignalOptions::destination_values>},
    {cli::Heading("Other:")},
    {cli::Switch("--quiet", "no status lines"), cli::Set<&SignalOptions::quiet>},
    {cli::Switch("--list-axes", "list the fields of both formats, then end"), cli::Set<&SignalOptions::list_axes>},
};

} // namespace

const cli::Table<SignalOptions> kSignalCommandLine = {
    "kinemora-signal",
    "Usage: kinemora-signal --axis NAME --amplitude A [options]\n"
    "\n"
    "Sends a test signal to a motion platform: K01 or K2 datagrams, byte for byte\n"
    "as the Aerofly FS 2 plug-in (K01) or the MSFS bridge (K2) sends them, in which\n"
    "one field moves and every other field is exactly 0. Use it to check each axis\n"
    "of a rig, one at a time, before any simulator runs.\n"
    "\n",
    kOptions,
    std::size(kOptions),
    "\n"
    "Stopping: Ctrl+C starts the soft stop: the signal falls to 0 over the ramp,\n"
    "then one datagram of zeros goes out and the program ends. A second Ctrl+C\n"
    "shortens the way down to at most 0.25 s; only --ramp 0 jumps to 0.\n"
    "Ctrl+Break, closing the window, logging off and shutting down (SIGHUP,\n"
    "SIGTERM and SIGQUIT on Linux) stop it the same way; after a close, logoff or\n"
    "shutdown the way down takes at most 3 s, since Windows ends the program soon\n"
    "after. On Linux, Ctrl+Z also takes the soft stop and the zeros first, then\n"
    "suspends; resumed, it ends rather than move the rig again, since a job\n"
    "resumed with bg runs where Ctrl+C no longer reaches it.\n"
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
    "  which way is up: a slow sine of pitch, whose first 2 s rise to +0.05 rad:\n"
    "    kinemora-signal --axis pitch --amplitude 0.05 --period 8\n"
    "  heave: the vertical velocity, 1 m/s either way, 3 s a cycle:\n"
    "    kinemora-signal --format k2 --axis velocity_body_y --amplitude 1 --period 3\n"
    "  the rate of turn in a triangle, 0.2 rad/s either way:\n"
    "    kinemora-signal --axis rate_of_turn --shape triangle --amplitude 0.2\n"
    "  to the rig's controller only, at 192.168.1.50, instead of broadcast:\n"
    "    kinemora-signal --axis bank --amplitude 0.1 --destination 192.168.1.50\n"
    "\n"
    "Begin with a small amplitude and a long period, one axis at a time, with a\n"
    "hand on the rig's emergency stop.\n",
    20,
    0,
    nullptr,
    Wording,
    Check,
};
