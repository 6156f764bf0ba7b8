#include "command_line.h"

#include "kinemora_version.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace cli {

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

bool InRange(const Spec& option, double value)
{
    return value <= option.high && (option.above_low ? value > option.low : value >= option.low);
}

// Reads the value of an Integer or Decimal option; false when it is no such
// number or out of range.
bool ReadNumber(const Spec& option, Value& given)
{
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

// The row of the option of that name, or -1.
long Find(const std::vector<const Spec*>& specs, const std::string& name)
{
    for (std::size_t i = 0; i < specs.size(); ++i)
        if (specs[i]->kind != ValueKind::Heading && name == specs[i]->name)
            return static_cast<long>(i);
    return -1;
}

void Keep(const std::vector<const Spec*>& specs, std::vector<Given>& given, Given option)
{
    if (!specs[option.row]->repeats) {
        for (auto it = given.begin(); it != given.end(); ++it) {
            if (it->row == option.row) {
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

ReadArguments Read(const std::vector<const Spec*>& specs, std::size_t plain,
                   const std::vector<std::string>& arguments)
{
    ReadArguments line;
    auto note = [&line](MistakeKind kind, const Spec* option, const std::string& argument) {
        if (!line.mistake)
            line.mistake = Mistake{kind, option, argument};
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
        const long row = Find(specs, argument);
        if (row < 0) {
            if (argument.size() > 1 && argument[0] == '-')
                note(MistakeKind::Unknown, nullptr, argument);
            else if (line.plain.size() < plain)
                line.plain.push_back(argument);
            else
                note(MistakeKind::Extra, nullptr, argument);
            continue;
        }
        const Spec& option = *specs[static_cast<std::size_t>(row)];
        Given given{static_cast<std::size_t>(row), Value()};
        if (option.kind != ValueKind::None) {
            // An empty text is no value; an empty number is a bad one.
            if (i + 1 == arguments.size() || (option.kind == ValueKind::Text && arguments[i + 1].empty())) {
                note(MistakeKind::NoValue, &option, "");
                ++i;
                continue;
            }
            given.value.text = arguments[++i];
            if (option.kind != ValueKind::Text && !ReadNumber(option, given.value)) {
                note(MistakeKind::BadValue, &option, given.value.text);
                continue;
            }
        }
        Keep(specs, line.given, std::move(given));
    }
    return line;
}

std::string Allows(const Spec& option)
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

static std::string Refusal(const Spec& option, const std::string& value)
{
    return std::string(option.name) + " wants " + Allows(option) + ", not '" + value + "'";
}

std::string Describe(const Mistake& mistake)
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

std::string UsageOf(const char* head, const std::vector<const Spec*>& specs, const char* tail, std::size_t column)
{
    std::string out = head;
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const Spec& option = *specs[i];
        if (option.kind == ValueKind::Heading) {
            out += std::string(i == 0 ? "" : "\n") + option.name + "\n";
            continue;
        }
        const std::string label = option.value_name ? std::string(option.name) + " " + option.value_name
                                                    : std::string(option.name);
        AddRow(out, label.c_str(), option.help, column);
    }
    AddRow(out, "--version", "show the version", column);
    AddRow(out, "--help", "show this text", column);
    return out + tail;
}

static std::string VersionLine(const char* program)
{
    return std::string(program) + " " + KINEMORA_VERSION + "\n";
}

int Answer(const char* program, Outcome outcome, const std::string& error, const std::string& usage)
{
    if (outcome == Outcome::Mistake) {
        std::fprintf(stderr, "%s: %s\n\n%s", program, error.c_str(), usage.c_str());
        return 2;
    }
    std::fputs(outcome == Outcome::Help ? usage.c_str() : VersionLine(program).c_str(), stdout);
    return 0;
}

} // namespace cli
