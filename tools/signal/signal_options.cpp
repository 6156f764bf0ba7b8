#include "signal_options.h"

#include "destinations.h"
#include "signal_bounds.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

// A finite decimal number and nothing else (no spaces, no nan or inf).
bool ParseNumber(const std::string& text, double& value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value);
}

// What each option with a value allows, for the messages.
struct Valued {
    const char* name;
    const char* allows;
};

const Valued kValued[] = {
    {"--format", "k01 or k2"},
    {"--axis", "a field name (kinemora-signal --list-axes shows them)"},
    {"--shape", "sine, square, triangle or step"},
    {"--amplitude", "a number from -1000000 to 1000000 in the field's units"},
    {"--period", "seconds from 0.02 to 3600"},
    {"--offset", "a number from -1000000 to 1000000 in the field's units"},
    {"--rate", "datagrams per second from 1 to 1000"},
    {"--duration", "seconds above 0, at most 1000000"},
    {"--ramp", "seconds from 0 to 60 (0: no soft start and stop)"},
    {"--destination", kDestinationSyntax},
};

const Valued* FindValued(const std::string& name)
{
    for (const Valued& valued : kValued)
        if (name == valued.name)
            return &valued;
    return nullptr;
}

bool Refuse(const Valued& option, const std::string& value, std::string& error)
{
    error = std::string(option.name) + " wants " + option.allows + ", not '" + value + "'";
    return false;
}

// Reads a number within [low, high], or (low, high] when low is excluded.
bool ReadNumber(const std::string& text, double low, bool low_included, double high, double& value)
{
    double number = 0.0;
    if (!ParseNumber(text, number) || number > high || (low_included ? number < low : number <= low))
        return false;
    value = number;
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
    signal.field = FindField(signal.format, axis);
    if (signal.field)
        return true;
    if (FindField(other, axis)) {
        error = "--axis " + axis + " is a " + FormatName(other) + " field, not a " + format + " one: add --format " +
                Lower(FormatName(other)) + ", or pick one of " + FieldNames(signal.format);
        return false;
    }
    error = "--axis wants a " + format + " field (" + FieldNames(signal.format) + "), not '" + axis + "'";
    return false;
}

bool CheckSignal(const SignalOptions& options, bool amplitude_given, std::string& error)
{
    const SignalSettings& signal = options.signal;
    if (!amplitude_given) {
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

bool ReadDestinations(const std::vector<std::string>& values,
                      const std::function<std::vector<Adapter>()>& list_adapters, SignalOptions& options,
                      std::string& error)
{
    options.destinations.clear();
    if (values.empty()) {
        options.destinations.push_back(Destination{}); // 255.255.255.255:50010
        return true;
    }
    for (const std::string& value : values) {
        std::vector<Destination> found;
        std::string reason;
        if (!ParseDestination(value, list_adapters, found, options.notes, reason)) {
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

} // namespace

bool ParseSignalOptions(const std::vector<std::string>& arguments,
                        const std::function<std::vector<Adapter>()>& list_adapters, SignalOptions& options,
                        std::string& error)
{
    for (const std::string& arg : arguments) {
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return true;
        }
    }

    if (arguments.empty()) {
        error = "--axis and --amplitude are missing: for example kinemora-signal --axis pitch --amplitude 0.1 "
                "--period 4. Try --help, and --list-axes for the fields.";
        return false;
    }
    std::string axis;
    bool amplitude_given = false;
    std::vector<std::string> destinations;
    SignalSettings& signal = options.signal;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "--force") {
            options.force = true;
            continue;
        }
        if (arg == "--quiet") {
            options.quiet = true;
            continue;
        }
        if (arg == "--list-axes") {
            options.list_axes = true;
            continue;
        }
        const Valued* option = FindValued(arg);
        if (!option) {
            error = arg.rfind("-", 0) == 0 ? "unknown option " + arg + ". Try --help."
                                           : "unexpected argument '" + arg + "': every value follows its option. Try --help.";
            return false;
        }
        if (i + 1 == arguments.size()) {
            error = arg + " needs a value: " + option->allows + ". Try --help.";
            return false;
        }
        const std::string& value = arguments[++i];
        bool read = true;
        if (arg == "--format") {
            const std::string format = Lower(value);
            read = format == "k01" || format == "k2";
            if (read)
                signal.format = format == "k01" ? SignalFormat::K01 : SignalFormat::K2;
        } else if (arg == "--axis") {
            axis = Lower(value);
        } else if (arg == "--shape") {
            const std::string shape = Lower(value);
            read = false;
            for (Shape s : {Shape::Sine, Shape::Square, Shape::Triangle, Shape::Step}) {
                if (shape == ShapeName(s)) {
                    signal.wave.shape = s;
                    read = true;
                }
            }
        } else if (arg == "--amplitude") {
            read = ReadNumber(value, -kLargestValue, true, kLargestValue, signal.wave.amplitude);
            amplitude_given = true;
        } else if (arg == "--offset") {
            read = ReadNumber(value, -kLargestValue, true, kLargestValue, signal.wave.offset);
        } else if (arg == "--period") {
            read = ReadNumber(value, kShortestPeriod, true, kLongestPeriod, signal.wave.period);
        } else if (arg == "--rate") {
            read = ReadNumber(value, kLowestRate, true, kHighestRate, signal.rate);
        } else if (arg == "--duration") {
            read = ReadNumber(value, 0.0, false, kLongestDuration, signal.duration);
        } else if (arg == "--ramp") {
            read = ReadNumber(value, 0.0, true, kLongestRamp, signal.ramp);
        } else {
            destinations.push_back(value);
        }
        if (!read)
            return Refuse(*option, value, error);
    }
    if (options.list_axes)
        return true;
    return ReadAxis(axis, signal, error) && CheckSignal(options, amplitude_given, error) &&
           ReadDestinations(destinations, list_adapters, options, error);
}
