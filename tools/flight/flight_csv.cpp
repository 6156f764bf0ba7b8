#include "flight_csv.h"

#include "bridge_variables.h"
#include "plugin_messages.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// OtherKind: a field of the other datagram kind in a recording of both, not reported.
enum class Role { Ignored, OtherKind, Time, TimeUs, Kind, Value };

struct Column {
    Role role = Role::Ignored;
    ColumnTarget target{kFieldCount, Transform::Same};
};

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> SplitCells(const std::string& line)
{
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        cells.push_back(Trim(line.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos)
            return cells;
        start = comma + 1;
    }
}

// Lower case, spaces as underscores.
std::string Normalised(const std::string& column)
{
    std::string name = flight::ToLower(column);
    for (char& c : name) {
        if (c == ' ')
            c = '_';
    }
    return name;
}

bool StripPrefix(std::string& name, const char* prefix)
{
    const std::string p = prefix;
    if (name.compare(0, p.size(), p) != 0)
        return false;
    name.erase(0, p.size());
    return true;
}

// A K2 quantity by its column or variable name, or the rate of turn.
bool FindQuantity(const std::string& name, ColumnTarget& target)
{
    for (std::size_t i = 0; i < kQuantityCount; ++i) {
        if (name == kQuantities[i].column || name == Normalised(kQuantities[i].variable)) {
            target = {static_cast<Field>(i), Transform::Same};
            return true;
        }
    }
    if (name == K01ColumnOf(kRateOfTurn)) {
        target = {kRateOfTurn, Transform::Same};
        return true;
    }
    return false;
}

Column Classify(const std::string& header, DatagramKind kind)
{
    Column column;
    std::string name = Normalised(header);
    if (name == "time" || name == "time_s" || name == "arrival_s")
        column.role = Role::Time;
    else if (name == "time_us")
        column.role = kind == DatagramKind::K01 ? Role::TimeUs : Role::Ignored;
    else if (name == "kind")
        column.role = Role::Kind;
    if (column.role != Role::Ignored || name == "time_us")
        return column;

    const bool k01 = StripPrefix(name, "k01_");
    const bool k2 = !k01 && StripPrefix(name, "k2_");
    if ((k01 && kind != DatagramKind::K01) || (k2 && kind != DatagramKind::K2)) {
        column.role = Role::OtherKind;
        return column;
    }
    if ((!k01 && FindQuantity(name, column.target)) || (!k2 && FindK01Column(name, k01, column.target)))
        column.role = Role::Value;
    // A recording of the bridge's datagrams holds MSFS's signs: read back, they come out as recorded.
    if (k2 && column.role == Role::Value && MsfsOpposes(column.target.field))
        column.target.transform = Transform::Negated;
    return column;
}

// The fields each emulator sends on.
bool Uses(DatagramKind kind, Field field)
{
    return kind == DatagramKind::K2 ? field < kQuantityCount : K01ColumnOf(field) != nullptr;
}

const char* FieldName(Field field)
{
    return field < kQuantityCount ? kQuantities[field].column : K01ColumnOf(field);
}

std::string At(int line_number)
{
    return "line " + std::to_string(line_number) + ": ";
}

} // namespace

bool ParseNumber(const std::string& cell, double& value)
{
    const std::string lower = flight::ToLower(cell);
    // Spelled out here: not every C library's strtod reads these.
    if (lower == "nan" || lower == "+nan" || lower == "-nan") {
        value = std::copysign(std::numeric_limits<double>::quiet_NaN(), lower[0] == '-' ? -1.0 : 1.0);
        return true;
    }
    if (lower == "inf" || lower == "+inf" || lower == "infinity" || lower == "+infinity") {
        value = std::numeric_limits<double>::infinity();
        return true;
    }
    if (lower == "-inf" || lower == "-infinity") {
        value = -std::numeric_limits<double>::infinity();
        return true;
    }
    if (cell.empty() || cell.find_first_not_of("0123456789+-.eE") != std::string::npos)
        return false;
    char* end = nullptr;
    value = std::strtod(cell.c_str(), &end);
    return end == cell.c_str() + cell.size();
}

bool ReadFlightCsv(std::istream& in, DatagramKind kind, FlightTable& table, std::string& error)
{
    table = FlightTable{};
    const char* kind_name = FormatName(kind);
    std::vector<std::string> header;
    std::vector<Column> columns;
    int time_column = -1;
    int kind_column = -1;
    bool time_us_column = false;
    std::string line;
    int line_number = 0;

    while (std::getline(in, line)) {
        ++line_number;
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        const std::vector<std::string> cells = SplitCells(trimmed);

        if (header.empty()) {
            header = cells;
            bool seen[kFieldCount] = {};
            for (std::size_t c = 0; c < cells.size(); ++c) {
                Column column = Classify(cells[c], kind);
                if (column.role == Role::Value && seen[column.target.field]) {
                    error = At(line_number) + "column '" + cells[c] + "' appears twice";
                    return false;
                }
                if (column.role == Role::Value)
                    seen[column.target.field] = true;
                else if (column.role == Role::Time && time_column < 0)
                    time_column = static_cast<int>(c);
                else if (column.role == Role::Kind && kind_column < 0)
                    kind_column = static_cast<int>(c);
                else if (column.role == Role::TimeUs && !time_us_column)
                    time_us_column = true;
                else if (column.role != Role::OtherKind)
                    column.role = Role::Ignored;
                if (column.role == Role::Ignored)
                    table.ignored.push_back(cells[c]);
                columns.push_back(column);
            }
            std::size_t used = 0;
            for (std::size_t f = 0; f < kFieldCount; ++f) {
                if (!Uses(kind, static_cast<Field>(f)))
                    continue;
                ++used;
                if (!seen[f])
                    table.missing.push_back(FieldName(static_cast<Field>(f)));
            }
            if (table.missing.size() == used) {
                error = At(line_number) + "the header names none of the values the " + kind_name +
                        " emulator sends (for example velocity_body_z, bank, pitch); see the CSV format in --help";
                return false;
            }
            continue;
        }

        if (cells.size() != header.size()) {
            error = At(line_number) + std::to_string(cells.size()) + " cells, but the header has " +
                    std::to_string(header.size()) + " columns";
            return false;
        }
        if (kind_column >= 0 && cells[static_cast<std::size_t>(kind_column)] != kind_name)
            continue;

        FlightState state;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const Column& column = columns[c];
            if (column.role == Role::Ignored || column.role == Role::OtherKind || column.role == Role::Kind)
                continue;
            double value = 0.0;
            if (!ParseNumber(cells[c], value)) {
                error = At(line_number) + "'" + cells[c] + "' in column '" + header[c] + "' is not a number";
                return false;
            }
            if (column.role == Role::Value) {
                state.values[column.target.field] = ApplyTransform(column.target.transform, value);
            } else if (column.role == Role::TimeUs) {
                if (!(value >= 0.0 && value <= 4294967295.0) || value != std::floor(value)) {
                    error = At(line_number) + "the time field " + cells[c] + " is not a whole number of microseconds";
                    return false;
                }
                table.simulation_times.push_back(SimulationTimeForTimeField(static_cast<std::uint32_t>(value)));
            } else {
                if (!std::isfinite(value) || (!table.times.empty() && value < table.times.back())) {
                    error = At(line_number) + "the time " + cells[c] + " is not a finite number of seconds "
                            "at or after the row before";
                    return false;
                }
                table.times.push_back(value);
            }
        }
        table.rows.push_back(state);
    }

    if (table.rows.empty()) {
        error = header.empty() ? "the file is empty"
                               : std::string("the file has a header but no ") +
                                     (kind_column >= 0 ? std::string(kind_name) + " " : "") + "rows";
        return false;
    }
    return true;
}
