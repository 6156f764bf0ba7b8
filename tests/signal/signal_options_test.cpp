// Every option as the program reads it: the defaults, what each one allows,
// and a one-line error naming the option for everything else.
#include "signal_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Arguments = std::vector<std::string>;

const Arguments kPitch = {"--axis", "pitch", "--amplitude", "0.1"};

Arguments With(Arguments more)
{
    Arguments arguments = kPitch;
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

// The error for these arguments; "" when they were accepted.
std::string ErrorFor(const Arguments& arguments)
{
    SignalOptions options;
    std::string error;
    if (Parse(arguments, options, error))
        return "";
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
    return error;
}

// The error starts with the option's name and says what the option allows.
void ExpectRefused(const Arguments& arguments, const std::string& option, const std::string& allows)
{
    const std::string error = ErrorFor(arguments);
    EXPECT_EQ(error.rfind(option, 0), 0u) << "names " << option << ": " << error;
    EXPECT_NE(error.find(allows), std::string::npos) << "says '" << allows << "': " << error;
}

TEST(SignalOptions, TheDefaults)
{
    SignalOptions options;
    std::string error;
    ASSERT_TRUE(Parse(kPitch, options, error)) << error;
    const SignalSettings& s = options.signal;
    EXPECT_EQ(s.format, SignalFormat::K01);
    ASSERT_NE(s.field, nullptr);
    EXPECT_STREQ(s.field->name, "pitch");
    EXPECT_EQ(s.wave.shape, Shape::Sine);
    EXPECT_EQ(s.wave.amplitude, 0.1);
    EXPECT_EQ(s.wave.period, 4.0);
    EXPECT_EQ(s.wave.offset, 0.0);
    EXPECT_EQ(s.rate, 60.0);
    EXPECT_EQ(s.ramp, 1.0);
    EXPECT_EQ(s.duration, 0.0); // until interrupted
    ASSERT_EQ(options.destinations.size(), 1u);
    EXPECT_EQ(options.destinations[0], MakeDestination(0xFFFFFFFFu, 50010));
    EXPECT_FALSE(options.force);
    EXPECT_FALSE(options.quiet);
}

TEST(SignalOptions, EveryValueIsRead)
{
    SignalOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--format", "K2", "--axis", "Heading", "--shape", "Triangle", "--amplitude", "-0.5",
                       "--period", "2.5", "--offset", "3", "--rate", "250", "--duration", "12.5", "--ramp", "0",
                       "--force", "--quiet", "--destination", "127.0.0.1:50123", "--destination", "broadcast:50124"},
                      options, error))
        << error;
    const SignalSettings& s = options.signal;
    EXPECT_EQ(s.format, SignalFormat::K2);
    EXPECT_STREQ(s.field->name, "heading");
    EXPECT_EQ(s.field->format, SignalFormat::K2);
    EXPECT_EQ(s.wave.shape, Shape::Triangle);
    EXPECT_EQ(s.wave.amplitude, -0.5);
    EXPECT_EQ(s.wave.period, 2.5);
    EXPECT_EQ(s.wave.offset, 3.0);
    EXPECT_EQ(s.rate, 250.0);
    EXPECT_EQ(s.duration, 12.5);
    EXPECT_EQ(s.ramp, 0.0);
    EXPECT_TRUE(options.force);
    EXPECT_TRUE(options.quiet);
    ASSERT_EQ(options.destinations.size(), 2u);
    EXPECT_EQ(options.destinations[0], MakeDestination(0x7F000001u, 50123));
    EXPECT_EQ(options.destinations[1], MakeDestination(0xFFFFFFFFu, 50124));
}

TEST(SignalOptions, HelpWinsOverEverythingAndListAxesNeedsNoSignal)
{
    SignalOptions options;
    std::string error;
    EXPECT_EQ(OutcomeOf(kSignalCommandLine, {"--rate", "0", "--help"}), cli::Outcome::Help);
    ASSERT_TRUE(Parse({"--list-axes"}, options, error)) << error;
    EXPECT_TRUE(options.list_axes);
}

TEST(SignalOptions, VersionWinsOverMistakes)
{
    EXPECT_EQ(OutcomeOf(kSignalCommandLine, {"--rate", "0", "--version"}), cli::Outcome::Version);
}

TEST(SignalOptions, NoArgumentsShowTheWay)
{
    const std::string error = ErrorFor({});
    EXPECT_NE(error.find("--axis"), std::string::npos);
    EXPECT_NE(error.find("--help"), std::string::npos);
}

TEST(SignalOptions, UnknownOptionsStrayArgumentsAndMissingValues)
{
    ExpectRefused(With({"--frequency", "2"}), "unknown option --frequency", "--help");
    ExpectRefused(With({"2"}), "unexpected argument '2'", "--help");
    ExpectRefused(With({"--rate"}), "--rate needs a value", "from 1 to 1000");
    ExpectRefused({"--axis"}, "--axis needs a value", "--list-axes");
    ExpectRefused(With({"--destination"}), "--destination needs a value", "broadcast:PORT");
}

TEST(SignalOptions, FormatShapeAndAxisNames)
{
    ExpectRefused(With({"--format", "k3"}), "--format", "k01 or k2, not 'k3'");
    ExpectRefused(With({"--shape", "saw"}), "--shape", "sine, square, triangle or step, not 'saw'");
    ExpectRefused({"--axis", "roll", "--amplitude", "0.1"}, "--axis", "not 'roll'");
    ExpectRefused({"--axis", "roll", "--amplitude", "0.1"}, "--axis", "angular_velocity_z");
    ExpectRefused({"--amplitude", "0.1"}, "--axis is missing", "pitch");
    ExpectRefused({"--axis", "pitch"}, "--amplitude is missing", "rad");
}

TEST(SignalOptions, AFieldOfTheOtherFormatSaysWhichFormatHasIt)
{
    ExpectRefused({"--format", "k01", "--axis", "heading", "--amplitude", "0.1"}, "--axis heading",
                  "is a K2 field, not a K01 one: add --format k2");
    ExpectRefused({"--axis", "acceleration_body_x", "--amplitude", "1"}, "--axis acceleration_body_x",
                  "add --format k2");
    ExpectRefused({"--format", "k2", "--axis", "velocity_x", "--amplitude", "1"}, "--axis velocity_x",
                  "is a K01 field, not a K2 one: add --format k01");
    // The order of the options does not matter.
    ExpectRefused({"--axis", "rate_of_turn", "--amplitude", "0.1", "--format", "k2"}, "--axis rate_of_turn",
                  "add --format k01");
}

TEST(SignalOptions, NumbersOutsideTheirRanges)
{
    struct Case {
        const char* option;
        const char* value;
        const char* allows;
    };
    const Case cases[] = {
        {"--rate", "0.5", "from 1 to 1000"},          {"--rate", "1001", "from 1 to 1000"},
        {"--period", "0.01", "from 0.02 to 3600"},    {"--period", "3601", "from 0.02 to 3600"},
        {"--period", "0", "from 0.02 to 3600"},       {"--amplitude", "1000001", "-1000000 to 1000000"},
        {"--amplitude", "-1e7", "-1000000 to 1000000"}, {"--offset", "2e6", "-1000000 to 1000000"},
        {"--duration", "0", "above 0, at most 1000000"}, {"--duration", "-1", "above 0"},
        {"--duration", "1000001", "at most 1000000"}, {"--ramp", "-0.1", "from 0 to 60"},
        {"--ramp", "61", "from 0 to 60"},
    };
    for (const Case& c : cases)
        ExpectRefused(With({c.option, c.value}), c.option, std::string(c.allows));
}

TEST(SignalOptions, OnlyPlainFiniteNumbers)
{
    for (const char* bad : {"", "abc", "1x", "1,5", " 1", "nan", "inf", "-inf", "1e999"})
        ExpectRefused(With({"--period", bad}), "--period", std::string("not '") + bad + "'");
}

TEST(SignalOptions, TheEdgesOfTheRangesAreAllowed)
{
    EXPECT_EQ(ErrorFor(With({"--rate", "1", "--period", "3600", "--ramp", "60", "--duration", "1000000"})), "");
    EXPECT_EQ(ErrorFor(With({"--rate", "1000", "--period", "0.02", "--ramp", "0", "--duration", "0.001"})), "");
}

TEST(SignalOptions, APeriodShorterThanTwoDatagramsIsRefused)
{
    ExpectRefused(With({"--period", "0.03"}), "--period 0.03", "at least 0.0333333 s");
    EXPECT_EQ(ErrorFor(With({"--period", "0.03", "--rate", "100"})), "");
}

TEST(SignalOptions, BeyondTheGentleBoundNeedsForceAndBeyondTheExtremeNothingGoes)
{
    struct Case {
        const char* format;
        const char* axis;
        const char* gentle;  // |offset| + |amplitude| at the gentle bound: allowed
        const char* extreme; // at the extreme bound: allowed with --force
        const char* beyond;  // a little more: refused even with --force
    };
    const Case cases[] = {
        {"k01", "pitch", "0.35", "3.14159", "3.1416"},
        {"k01", "bank", "0.35", "3", "3.0001"},
        {"k2", "bank", "0.35", "3.14159", "3.1416"},
        {"k2", "heading", "0.35", "6.28318", "6.2832"},
        {"k01", "rate_of_turn", "0.5", "6.28318", "6.2832"},
        {"k01", "angular_velocity_z", "0.5", "6.28318", "6.2832"},
        {"k2", "rotation_velocity_body_x", "0.5", "6.28318", "6.2832"},
        {"k01", "velocity_x", "20", "350", "350.01"},
        {"k2", "velocity_body_z", "20", "350", "350.01"},
        {"k2", "acceleration_body_y", "5", "100", "100.01"},
    };
    for (const Case& c : cases) {
        const Arguments field = {"--format", c.format, "--axis", c.axis};
        auto with = [&field](Arguments more) {
            more.insert(more.begin(), field.begin(), field.end());
            return more;
        };
        // The offset and the amplitude count together, whatever their signs.
        const std::string half = std::to_string(std::stod(c.gentle) / 2);
        EXPECT_EQ(ErrorFor(with({"--amplitude", c.gentle})), "") << c.axis;
        EXPECT_EQ(ErrorFor(with({"--amplitude", "-" + half, "--offset", half})), "") << c.axis;
        ExpectRefused(with({"--amplitude", "-0.01", "--offset", std::string("-") + c.gentle}), "--amplitude",
                      "add --force");
        EXPECT_EQ(ErrorFor(with({"--amplitude", "-0.01", "--offset", std::string("-") + c.gentle, "--force"})), "")
            << c.axis;
        EXPECT_EQ(ErrorFor(with({"--amplitude", c.extreme, "--force"})), "") << c.axis;
        ExpectRefused(with({"--amplitude", c.beyond, "--force"}), "--amplitude", "not even --force");
    }
}

TEST(SignalOptions, DestinationsInTheSettingsSyntax)
{
    ExpectRefused(With({"--destination", "1.2.3"}), "--destination", "A.B.C.D:PORT");
    ExpectRefused(With({"--destination", "broadcast:0"}), "--destination", "port from 1 to 65535");
    ExpectRefused(With({"--destination", "0.0.0.0"}), "--destination", "no address to send to");

    Arguments nine = kPitch;
    for (int i = 1; i <= 9; ++i) {
        nine.push_back("--destination");
        nine.push_back("10.0.0." + std::to_string(i));
    }
    ExpectRefused(nine, "--destination", "at most 8 destinations in all; 10.0.0.9:50010 left out");
    nine.resize(nine.size() - 2);
    EXPECT_EQ(ErrorFor(nine), "");
    // The same destination twice counts once.
    EXPECT_EQ(ErrorFor(With({"--destination", "10.0.0.1", "--destination", "10.0.0.1:50010"})), "");
}

TEST(SignalOptions, AdaptersAreListedOnlyWhenAskedAndNoneFoundIsAnError)
{
    FakeAdapters() = {};
    ExpectRefused(With({"--destination", "adapters"}), "--destination", "no IPv4 adapter");

    FakeAdapters() = {{"eth0", 0xC0A80105u, 0xFFFFFF00u}};
    SignalOptions options;
    std::string error;
    ASSERT_TRUE(Parse(With({"--destination", "adapters:50111"}), options, error)) << error;
    ASSERT_EQ(options.destinations.size(), 1u);
    EXPECT_EQ(options.destinations[0], MakeDestination(0xC0A801FFu, 50111));
    ASSERT_EQ(options.notes.size(), 1u);
    EXPECT_NE(options.notes[0].find("192.168.1.255"), std::string::npos);
    FakeAdapters() = {};
}

} // namespace
