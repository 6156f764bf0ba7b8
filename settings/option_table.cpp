#include "option_table.h"

#include "kinemora_version.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Skips a run of digits; false when there is none.
bool SkipDigits(const char*& p)
{
    const char* start = p;
    while (IsDigit(*p))
        ++p;
    return p != start;
}

// [+-]digits[.digits][e[+-]digits], with digits on at least one side of the
// point: strtod alone would also take spaces, hex, inf and nan.
bool IsPlainDecimal(const std::string& text)
{
    const char* p = text.c_str();
    if (*p == '+' || *p == '-')
        ++p;
    bool digits = SkipDigits(p);
    if (*p == '.') {
        ++p;
        digits = SkipDigits(p) || digits;
    }
    if (!digits)
        return false;
    if (*p == 'e' || *p == 'E') {
        ++p;
        if (*p == '+' || *p == '-')
            ++p;
        if (!SkipDigits(p))
            return false;
    }
    return *p == '\0';
}

bool InRange(const Option& option, double value)
{
    return value <= option.high && (option.above_low ? value > option.low : value >= option.low);
}

// Reads the value of an Integer or Decimal option; false when it is no such
// number or out of range.
bool ReadNumber(GivenOption& given)
{
    const Option& option = *given.option;
    const std::string& text = given.text;
    if (option.kind == ValueKind::Integer) {
        for (char c : text)
            if (!IsDigit(c))
                return false;
        errno = 0;
        given.whole = std::strtoull(text.c_str(), nullptr, 10);
        given.number = static_cast<double>(given.whole);
        return errno != ERANGE && InRange(option, given.number);
    }
    if (!IsPlainDecimal(text))
        return false;
    given.number = std::strtod(text.c_str(), nullptr);
    return std::isfinite(given.number) && InRange(option, given.number);
}

// Whole numbers as such, other numbers with up to 15 significant digits: 1000000, 0.02.
std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.15g", value);
    return text;
}

const Option* Find(const OptionTable& table, const std::string& name)
{
    for (std::size_t i = 0; i < table.count; ++i)
        if (table.options[i].kind != ValueKind::Heading && name == table.options[i].name)
            return &table.options[i];
    return nullptr;
}

void Keep(std::vector<GivenOption>& given, GivenOption option)
{
    if (!option.option->repeats) {
        for (auto it = given.begin(); it != given.end(); ++it) {
            if (it->option == option.option) {
                given.erase(it);
                break;
            }
        }
    }
    given.push_back(std::move(option));
}

// One line of the option list: the label, then the help from the column on
// (on the next line when the label reaches into it).
void AddRow(std::string& out, const char* label, const char* help, std::size_t column)
{
    out += "  ";
    out += label;
    const std::size_t used = 2 + std::strlen(label);
    if (used + 2 > column)
        out += "\n" + std::string(column, ' ');
    else
        out += std::string(column - used, ' ');
    for (const char* p = help; *p != '\0'; ++p) {
        out += *p;
        if (*p == '\n')
            out += std::string(column, ' ');
    }
    out += '\n';
}

} // namespace

bool GivenOption::Is(const char* name) const
{
    return std::strcmp(option->name, name) == 0;
}

const GivenOption* CommandLine::Last(const char* name) const
{
    for (auto it = given.rbegin(); it != given.rend(); ++it)
        if (it->Is(name))
            return &*it;
    return nullptr;
}

std::vector<std::string> CommandLine::Texts(const char* name) const
{
    std::vector<std::string> texts;
    for (const GivenOption& option : given)
        if (option.Is(name))
            texts.push_back(option.text);
    return texts;
}

CommandLine ReadCommandLine(const OptionTable& table, const std::vector<std::string>& arguments)
{
    CommandLine line;
    auto note = [&line](MistakeKind kind, const Option* option, const std::string& argument) {
        if (!line.mistake)
            line.mistake = OptionMistake{kind, option, argument};
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h" || argument == "/?") {
            line.help = true;
            continue;
        }
        if (argument == "--version") {
            line.version = true;
            continue;
        }
        const Option* option = Find(table, argument);
        if (!option) {
            if (argument.size() > 1 && argument[0] == '-')
                note(MistakeKind::Unknown, nullptr, argument);
            else if (line.plain.size() < table.plain)
                line.plain.push_back(argument);
            else
                note(MistakeKind::Extra, nullptr, argument);
            continue;
        }
        GivenOption given{option, "", 0.0, 0};
        if (option->kind != ValueKind::None) {
            // An empty text is no value; an empty number is a bad one.
            if (i + 1 == arguments.size() || (option->kind == ValueKind::Text && arguments[i + 1].empty())) {
                note(MistakeKind::NoValue, option, "");
                ++i;
                continue;
            }
            given.text = arguments[++i];
            if (option->kind != ValueKind::Text && !ReadNumber(given)) {
                note(MistakeKind::BadValue, option, given.text);
                continue;
            }
        }
        Keep(line.given, std::move(given));
    }
    return line;
}

bool TakeHelpOrVersion(const CommandLine& line, bool& help, bool& version)
{
    help = line.help;
    version = line.version;
    return help || version;
}

std::string Allows(const Option& option)
{
    std::string allows = option.wants ? option.wants : "";
    if (option.kind != ValueKind::Integer && option.kind != ValueKind::Decimal)
        return allows;
    const std::string low = Number(option.low);
    if (option.high == kNoLimit)
        return allows + (option.above_low ? " above " + low : " of at least " + low);
    const std::string high = Number(option.high);
    return allows + (option.above_low ? " above " + low + ", at most " + high : " from " + low + " to " + high);
}

std::string Refusal(const Option& option, const std::string& value)
{
    return std::string(option.name) + " wants " + Allows(option) + ", not '" + value + "'";
}

std::string Describe(const OptionMistake& mistake)
{
    switch (mistake.kind) {
    case MistakeKind::Unknown:
        return "unknown option '" + mistake.argument + "'";
    case MistakeKind::NoValue: {
        const std::string allows = Allows(*mistake.option);
        return std::string(mistake.option->name) + " needs a value" + (allows.empty() ? "" : ": " + allows);
    }
    case MistakeKind::BadValue:
        return Refusal(*mistake.option, mistake.argument);
    case MistakeKind::Extra:
        break;
    }
    return "unexpected argument '" + mistake.argument + "': every value follows its option";
}

std::string Usage(const OptionTable& table)
{
    std::string out = table.head;
    for (std::size_t i = 0; i < table.count; ++i) {
        const Option& option = table.options[i];
        if (option.kind == ValueKind::Heading) {
            out += std::string(i == 0 ? "" : "\n") + option.name + "\n";
            continue;
        }
        const std::string label = option.value_name ? std::string(option.name) + " " + option.value_name
                                                    : std::string(option.name);
        AddRow(out, label.c_str(), option.help, table.column);
    }
    AddRow(out, "--version", "show the version", table.column);
    AddRow(out, "--help", "show this text", table.column);
    return out + table.tail;
}

std::string VersionLine(const char* program)
{
    return std::string(program) + " " + KINEMORA_VERSION + "\n";
}

int AnswerHelpOrVersion(const char* program, bool help, const std::string& usage)
{
    std::fputs(help ? usage.c_str() : VersionLine(program).c_str(), stdout);
    return 0;
}

int AnswerMistake(const char* program, const std::string& mistake, const std::string& usage)
{
    std::fprintf(stderr, "%s: %s\n\n%s", program, mistake.c_str(), usage.c_str());
    return 2;
}
