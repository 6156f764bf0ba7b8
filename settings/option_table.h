#pragma once

// A program's command line as a table: each option's name, the value it
// takes, the range of a number, whether it repeats and its help text. One
// reader serves every program: it checks each value against the table, so a
// program gets only values it can use, and the usage's option list is
// written from the same table. Every program also takes --help (-h, /?) and
// --version. Pure code: only the two Answer functions print.

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

enum class ValueKind {
    None,    // a switch
    Text,    // any text but the empty one
    Integer, // decimal digits only
    Decimal, // [+-]digits[.digits][e[+-]digits], finite
    Heading, // no option: a heading line in the usage
};

constexpr double kNoLimit = std::numeric_limits<double>::infinity();

struct Option {
    const char* name;       // "--port"; for a heading, its text
    ValueKind kind;
    const char* value_name; // after the name in the usage: "N", "FILE"
    const char* wants;      // what the value is, for messages: "a number", "seconds"; may be null for text
    double low;             // a number's range: low to high, both included,
    double high;            // or kNoLimit
    bool above_low;         // low itself excluded
    bool repeats;           // every value counts, in order; otherwise only the last one
    const char* help;       // the usage's text; '\n' starts another line at the same column
};

constexpr Option Flag(const char* name, const char* help)
{
    return {name, ValueKind::None, nullptr, nullptr, 0, 0, false, false, help};
}

constexpr Option Text(const char* name, const char* value_name, const char* help, const char* wants = nullptr)
{
    return {name, ValueKind::Text, value_name, wants, 0, 0, false, false, help};
}

constexpr Option RepeatedText(const char* name, const char* value_name, const char* help,
                              const char* wants = nullptr)
{
    return {name, ValueKind::Text, value_name, wants, 0, 0, false, true, help};
}

constexpr Option Integer(const char* name, const char* value_name, const char* wants, double low, double high,
                         const char* help)
{
    return {name, ValueKind::Integer, value_name, wants, low, high, false, false, help};
}

constexpr Option Decimal(const char* name, const char* value_name, const char* wants, double low, double high,
                         const char* help)
{
    return {name, ValueKind::Decimal, value_name, wants, low, high, false, false, help};
}

// A decimal above low, at most high.
constexpr Option DecimalAbove(const char* name, const char* value_name, const char* wants, double low, double high,
                              const char* help)
{
    return {name, ValueKind::Decimal, value_name, wants, low, high, true, false, help};
}

constexpr Option Heading(const char* text)
{
    return {text, ValueKind::Heading, nullptr, nullptr, 0, 0, false, false, nullptr};
}

struct OptionTable {
    const char* program;   // in messages and --version: "kinemora-listen"
    const char* head;      // the usage before the option list, ending in a blank line
    const Option* options;
    std::size_t count;
    const char* tail;      // the usage after the option list
    std::size_t column;    // where the help text starts
    std::size_t plain = 0; // how many arguments that are no option it takes
};

struct GivenOption {
    const Option* option;
    std::string text;             // the value as given; "" for a switch
    double number = 0.0;          // an Integer's or Decimal's value
    unsigned long long whole = 0; // an Integer's value

    bool Is(const char* name) const;
};

enum class MistakeKind {
    Unknown,  // an argument that starts with '-' and is no option
    NoValue,  // an option without its value, or a text option with an empty one
    BadValue, // a value that is no number, or out of range
    Extra,    // an argument that is no option, beyond those the program takes
};

struct OptionMistake {
    MistakeKind kind;
    const Option* option; // for NoValue and BadValue
    std::string argument; // the unknown or extra argument, or the bad value
};

struct CommandLine {
    bool help = false;
    bool version = false;
    // In order; an option that does not repeat appears once, where it was last given.
    std::vector<GivenOption> given;
    std::vector<std::string> plain;
    std::optional<OptionMistake> mistake; // the first one

    // The option's last value, or null when it was not given.
    const GivenOption* Last(const char* name) const;
    bool Has(const char* name) const { return Last(name) != nullptr; }
    // Every value of a repeating option, in order.
    std::vector<std::string> Texts(const char* name) const;
};

// Reads the arguments after the program's name. --help and --version win
// over any mistake; the value of an option is always the next argument.
CommandLine ReadCommandLine(const OptionTable& table, const std::vector<std::string>& arguments);

// Copies --help and --version into a program's options. True when either was
// given: then nothing else on the line counts, not even a mistake.
bool TakeHelpOrVersion(const CommandLine& line, bool& help, bool& version);

// What a value of the option must be: "a number from 1 to 65535", "seconds
// above 0, at most 1000000", "a whole number of at least 1".
std::string Allows(const Option& option);

// "--port wants a number from 1 to 65535, not '0'"
std::string Refusal(const Option& option, const std::string& value);

// The mistake in one line, without the program's name: "unknown option
// '--bogus'", "--config needs a value", Refusal's line, "unexpected argument
// 'x': every value follows its option".
std::string Describe(const OptionMistake& mistake);

// The head, the option list (with --version and --help last) and the tail.
std::string Usage(const OptionTable& table);

// "kinemora-listen 0.2.0\n"
std::string VersionLine(const char* program);

// --help: the usage on standard output; --version: VersionLine. Returns 0.
int AnswerHelpOrVersion(const char* program, bool help, const std::string& usage);

// "PROGRAM: MISTAKE", a blank line and the usage on standard error. Returns 2.
int AnswerMistake(const char* program, const std::string& mistake, const std::string& usage);
