#include "commands.h"

#include "flight_csv.h"

#include <cmath>
#include <sstream>
#include <vector>

const char kCommandHelp[] =
    "Commands (one per line on standard input):\n"
    "  status         show the connection, the pace, the frame and the pending requests\n"
    "  offline        act as if the simulator were not running: refuse new connections\n"
    "  online         accept connections again\n"
    "  quit           send the quit notice to the connected client\n"
    "  drop           drop the connection abruptly, as a crashing simulator would\n"
    "  simstart       send the SimStart event under the ID the client subscribed it with\n"
    "  event ID       send an event record with this event ID\n"
    "  record KIND    send a record of this kind (for example 7) with nothing in it\n"
    "  exception N SEND_ID INDEX\n"
    "                 send an exception record: exception N for the client's call\n"
    "                 SEND_ID (its open is 1), failing on argument INDEX\n"
    "  data ID        send one data record for this request ID, unasked\n"
    "  short [N]      answer the oldest pending request with only N values (default 11)\n"
    "  hold           stop answering requests; they wait for 'step'\n"
    "  step           run one frame now: answer every pending request once\n"
    "  run            answer requests once per frame at the flight's pace again\n"
    "  wait SECONDS   read the next command only after this many seconds\n"
    "  help           show this list\n"
    "  exit           end the emulator\n";

namespace {

// How many arguments a command takes, and how a mistake says so.
struct Arity {
    std::size_t least;
    std::size_t most;
    const char* takes;
};

constexpr Arity kNone{0, 0, "no argument"};
constexpr Arity kOne{1, 1, "one argument"};
constexpr Arity kOptional{0, 1, "at most one argument"};
constexpr Arity kThree{3, 3, "three arguments"};

struct Name {
    const char* word;
    CommandKind kind;
    Arity arguments;
    bool needs_client; // sends to the connected client
};

const Name kNames[] = {
    {"help", CommandKind::Help, kNone, false},       {"status", CommandKind::Status, kNone, false},
    {"offline", CommandKind::Offline, kNone, false}, {"online", CommandKind::Online, kNone, false},
    {"quit", CommandKind::Quit, kNone, true},        {"drop", CommandKind::Drop, kNone, true},
    {"simstart", CommandKind::SimStart, kNone, true}, {"event", CommandKind::Event, kOne, true},
    {"record", CommandKind::Record, kOne, true},     {"exception", CommandKind::Exception, kThree, true},
    {"data", CommandKind::Data, kOne, true},         {"short", CommandKind::Short, kOptional, true},
    {"hold", CommandKind::Hold, kNone, false},       {"step", CommandKind::Step, kNone, false},
    {"run", CommandKind::Run, kNone, false},         {"wait", CommandKind::Wait, kOne, false},
    {"exit", CommandKind::Exit, kNone, false},
};

bool ParseWhole(const std::string& text, std::uint32_t& value)
{
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned long long whole = std::stoull(text);
    if (whole > 0xFFFFFFFFull)
        return false;
    value = static_cast<std::uint32_t>(whole);
    return true;
}

} // namespace

bool ParseCommand(const std::string& line, Command& command, std::string& error)
{
    error.clear();
    std::istringstream words(line);
    std::vector<std::string> parts;
    for (std::string word; words >> word;)
        parts.push_back(word);
    if (parts.empty() || parts[0][0] == '#')
        return false;

    const Name* name = nullptr;
    for (const Name& n : kNames) {
        if (parts[0] == n.word)
            name = &n;
    }
    if (name == nullptr) {
        error = "unknown command '" + parts[0] + "'; 'help' lists the commands";
        return false;
    }
    const std::size_t given = parts.size() - 1;
    if (given < name->arguments.least || given > name->arguments.most) {
        error = "'" + parts[0] + "' takes " + name->arguments.takes + "; 'help' shows how to use it";
        return false;
    }
    command = Command{};
    command.kind = name->kind;
    command.needs_client = name->needs_client;
    const std::string argument = given == 1 ? parts[1] : "";

    switch (name->kind) {
    case CommandKind::Event:
    case CommandKind::Record:
    case CommandKind::Data:
        if (!ParseWhole(argument, command.id)) {
            error = "'" + parts[0] + "' wants a whole number from 0 to 4294967295, not '" + argument + "'";
            return false;
        }
        return true;
    case CommandKind::Exception: {
        std::uint32_t* fields[] = {&command.id, &command.send_id, &command.index};
        for (std::size_t i = 0; i < 3; ++i) {
            if (!ParseWhole(parts[i + 1], *fields[i])) {
                error = "'exception' wants whole numbers from 0 to 4294967295, not '" + parts[i + 1] + "'";
                return false;
            }
        }
        return true;
    }
    case CommandKind::Short:
        command.id = 11;
        if (given == 1 && (!ParseWhole(argument, command.id) || command.id > 64)) {
            error = "'short' wants a value count from 0 to 64, not '" + argument + "'";
            return false;
        }
        return true;
    case CommandKind::Wait:
        if (!ParseNumber(argument, command.seconds) || !(command.seconds >= 0.0 && command.seconds <= 86400.0)) {
            error = "'wait' wants a number of seconds from 0 to 86400, not '" + argument + "'";
            return false;
        }
        return true;
    default:
        return true;
    }
}
