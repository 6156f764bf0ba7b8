#pragma once

// A program's command line as a table: each row an option's name, the value
// it takes (a number's range), whether it repeats, its help text, and the
// field of the program's options it sets. One reader serves every program: it
// checks each value against its row, so a program gets only values it can
// use, and the usage is written from the same rows. Every program also takes
// --help (-h, /?) and --version.

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace cli {

enum class ValueKind {
    None,    // a switch
    Text,    // any text but the empty one
    Integer, // decimal digits only
    Decimal, // [+-]digits[.digits][e[+-]digits], finite
    Heading, // no option: a heading line in the usage
};

constexpr double kNoLimit = std::numeric_limits<double>::infinity();

// What the reader and the usage know of an option.
struct Spec {
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

constexpr Spec Switch(const char* name, const char* help)
{
    return {name, ValueKind::None, nullptr, nullptr, 0, 0, false, false, help};
}

constexpr Spec Text(const char* name, const char* value_name, const char* help, const char* wants = nullptr)
{
    return {name, ValueKind::Text, value_name, wants, 0, 0, false, false, help};
}

constexpr Spec RepeatedText(const char* name, const char* value_name, const char* help, const char* wants = nullptr)
{
    return {name, ValueKind::Text, value_name, wants, 0, 0, false, true, help};
}

constexpr Spec Integer(const char* name, const char* value_name, const char* wants, double low, double high,
                       const char* help)
{
    return {name, ValueKind::Integer, value_name, wants, low, high, false, false, help};
}

constexpr Spec Decimal(const char* name, const char* value_name, const char* wants, double low, double high,
                       const char* help)
{
    return {name, ValueKind::Decimal, value_name, wants, low, high, false, false, help};
}

// A decimal above low, at most high.
constexpr Spec DecimalAbove(const char* name, const char* value_name, const char* wants, double low, double high,
                            const char* help)
{
    return {name, ValueKind::Decimal, value_name, wants, low, high, true, false, help};
}

constexpr Spec Heading(const char* text)
{
    return {text, ValueKind::Heading, nullptr, nullptr, 0, 0, false, false, nullptr};
}

// One value as given: its text, and a number's value.
struct Value {
    std::string text;             // "" for a switch
    double number = 0.0;          // an Integer's or Decimal's value
    unsigned long long whole = 0; // an Integer's value
};

// A row: the option, and how its value goes into the program's options;
// false refuses the value ("--x wants ..., not 'value'").
template <class Options>
struct Option {
    Spec spec;
    bool (*apply)(Options& options, const Value& value) = nullptr;
};

template <class T>
struct MemberOf;
template <class Class, class Member>
struct MemberOf<Member Class::*> {
    using Type = Class;
};

// Sets the field that the member pointers lead to: true for a switch, the
// text, every text of a repeating option, or the number.
template <auto First, auto... Rest>
bool Set(typename MemberOf<decltype(First)>::Type& options, const Value& value)
{
    auto& field = ((options.*First) .* ... .* Rest);
    using Field = std::decay_t<decltype(field)>;
    if constexpr (std::is_same_v<Field, bool>)
        field = true;
    else if constexpr (std::is_same_v<Field, std::string>)
        field = value.text;
    else if constexpr (std::is_same_v<Field, std::vector<std::string>>)
        field.push_back(value.text);
    else if constexpr (std::is_floating_point_v<Field>)
        field = static_cast<Field>(value.number);
    else
        field = static_cast<Field>(value.whole);
    return true;
}

// The same, for a field of a base class of Options.
template <class Options, auto First, auto... Rest>
bool SetIn(Options& options, const Value& value)
{
    return Set<First, Rest...>(options, value);
}

enum class MistakeKind {
    Unknown,  // an argument that starts with '-' and is no option
    NoValue,  // an option without its value, or a text option with an empty one
    BadValue, // a value that is no number, out of range, or refused
    Extra,    // an argument that is no option, beyond those the program takes
};

struct Mistake {
    MistakeKind kind;
    const Spec* option;   // for NoValue and BadValue
    std::string argument; // the unknown or extra argument, or the bad value
};

template <class Options>
struct Table {
    const char* program;     // in messages and --version: "kinemora-listen"
    const char* head;        // the usage before the option list, ending in a blank line
    const Option<Options>* options;
    std::size_t count;
    const char* tail;        // the usage after the option list
    std::size_t column;      // where the help text starts
    // Arguments that are no option: how many the program takes, and where each goes.
    std::size_t plain = 0;
    void (*take_plain)(Options& options, const std::string& argument) = nullptr;
    // The program's own words for a mistake, or "" for the usual ones.
    std::string (*reword)(const Mistake& mistake) = nullptr;
    // The checks once every value is in, with the reason in error.
    bool (*check)(Options& options, const std::vector<std::string>& arguments, std::string& error) = nullptr;
    const char* more = nullptr; // more usage after the tail
};

enum class Outcome { Go, Help, Version, Mistake };

// Reads the arguments into options. --help and --version win over any
// mistake; the value of an option is always the next argument. A mistake's
// line, without the program's name, in error.
template <class Options>
Outcome Parse(const Table<Options>& table, const std::vector<std::string>& arguments, Options& options,
              std::string& error);

// Runs a program's command line: --help prints the usage and --version the
// version line on standard output (status 0); a mistake is "PROGRAM: MISTAKE",
// a blank line and the usage on standard error (status 2). Nothing when the
// program goes on.
template <class Options>
std::optional<int> Run(const Table<Options>& table, const std::vector<std::string>& arguments, Options& options);

template <class Options>
std::string Usage(const Table<Options>& table);

// What a value of the option must be: "a number from 1 to 65535", "seconds
// above 0, at most 1000000", "a whole number of at least 1".
std::string Allows(const Spec& option);

// The mistake in one line, without the program's name: "unknown option
// '--bogus'", "--config needs a value", "--port wants a number from 1 to
// 65535, not '0'", "unexpected argument 'x': every value follows its option".
std::string Describe(const Mistake& mistake);

// The reader and the usage behind the templates, over the rows' specs.
struct Given {
    std::size_t row;
    Value value;
};

struct ReadArguments {
    bool help = false;
    bool version = false;
    std::vector<Given> given; // in order; an option that does not repeat once, where it was given last
    std::vector<std::string> plain;
    std::optional<Mistake> mistake; // the first one
};

ReadArguments Read(const std::vector<const Spec*>& specs, std::size_t plain,
                   const std::vector<std::string>& arguments);
std::string UsageOf(const char* head, const std::vector<const Spec*>& specs, const char* tail, std::size_t column);
int Answer(const char* program, Outcome outcome, const std::string& error, const std::string& usage);

template <class Options>
std::vector<const Spec*> SpecsOf(const Table<Options>& table)
{
    std::vector<const Spec*> specs;
    for (std::size_t i = 0; i < table.count; ++i)
        specs.push_back(&table.options[i].spec);
    return specs;
}

template <class Options>
std::string Usage(const Table<Options>& table)
{
    return UsageOf(table.head, SpecsOf(table), table.tail, table.column) + (table.more ? table.more : "");
}

template <class Options>
Outcome Parse(const Table<Options>& table, const std::vector<std::string>& arguments, Options& options,
              std::string& error)
{
    const std::vector<const Spec*> specs = SpecsOf(table);
    const ReadArguments read = Read(specs, table.plain, arguments);
    if (read.help || read.version)
        return read.help ? Outcome::Help : Outcome::Version;
    std::optional<Mistake> mistake = read.mistake;
    if (!mistake) {
        for (const std::string& argument : read.plain)
            table.take_plain(options, argument);
        for (const Given& given : read.given) {
            const Option<Options>& row = table.options[given.row];
            if (!row.apply(options, given.value)) {
                mistake = Mistake{MistakeKind::BadValue, &row.spec, given.value.text};
                break;
            }
        }
    }
    if (mistake) {
        error = table.reword ? table.reword(*mistake) : "";
        if (error.empty())
            error = Describe(*mistake);
        return Outcome::Mistake;
    }
    if (table.check && !table.check(options, arguments, error))
        return Outcome::Mistake;
    return Outcome::Go;
}

template <class Options>
std::optional<int> Run(const Table<Options>& table, const std::vector<std::string>& arguments, Options& options)
{
    std::string error;
    const Outcome outcome = Parse(table, arguments, options, error);
    if (outcome == Outcome::Go)
        return std::nullopt;
    return Answer(table.program, outcome, error, Usage(table));
}

} // namespace cli
