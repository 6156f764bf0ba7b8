#include "csv_profile.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

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

bool IsTimeColumn(const std::string& name)
{
    const std::string lower = ToLower(name);
    return lower == "time" || lower == "time_s" || lower == "arrival_s";
}

std::string At(int line_number)
{
    return "line " + std::to_string(line_number) + ": ";
}

} // namespace

bool ParseNumber(const std::string& cell, double& value)
{
    const std::string lower = ToLower(cell);
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

bool ReadCsvProfile(std::istream& in, CsvProfile& profile, std::string& error)
{
    profile = CsvProfile{};
    std::vector<int> column_quantity; // quantity index per column, -1 for none
    int time_column = -1;
    int kind_column = -1;
    bool have_header = false;
    std::string line;
    int line_number = 0;

    while (std::getline(in, line)) {
        ++line_number;
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        const std::vector<std::string> cells = SplitCells(trimmed);

        if (!have_header) {
            have_header = true;
            bool seen[kQuantityCount] = {};
            for (std::size_t c = 0; c < cells.size(); ++c) {
                const int quantity = FindColumn(cells[c]);
                column_quantity.push_back(quantity);
                if (quantity >= 0 && seen[quantity]) {
                    error = At(line_number) + "column '" + cells[c] + "' appears twice";
                    return false;
                }
                if (quantity >= 0)
                    seen[quantity] = true;
                else if (IsTimeColumn(cells[c]) && time_column < 0)
                    time_column = static_cast<int>(c);
                else if (ToLower(cells[c]) == "kind")
                    kind_column = static_cast<int>(c);
                else
                    profile.ignored.push_back(cells[c]);
            }
            for (std::size_t q = 0; q < kQuantityCount; ++q) {
                if (!seen[q])
                    profile.missing.push_back(kQuantities[q].column);
            }
            if (profile.missing.size() == kQuantityCount) {
                error = At(line_number) + "the header names none of the twelve quantities (for example "
                        "velocity_body_z, bank, heading); see the profile format in --help";
                return false;
            }
            profile.timed = time_column >= 0;
            continue;
        }

        if (cells.size() != column_quantity.size()) {
            error = At(line_number) + std::to_string(cells.size()) + " cells, but the header has " +
                    std::to_string(column_quantity.size()) + " columns";
            return false;
        }
        if (kind_column >= 0 && cells[static_cast<std::size_t>(kind_column)] != "K2")
            continue;

        FlightState state;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const int quantity = column_quantity[c];
            if (quantity < 0 && static_cast<int>(c) != time_column)
                continue;
            double value = 0.0;
            if (!ParseNumber(cells[c], value)) {
                error = At(line_number) + "'" + cells[c] + "' is not a number";
                return false;
            }
            if (quantity >= 0) {
                state.values[quantity] = value;
                continue;
            }
            if (!std::isfinite(value) || (!profile.times.empty() && value < profile.times.back())) {
                error = At(line_number) + "the time " + cells[c] + " is not a finite number of seconds "
                        "at or after the row before";
                return false;
            }
            profile.times.push_back(value);
        }
        profile.rows.push_back(state);
    }

    if (profile.rows.empty()) {
        error = have_header ? "the profile has a header but no rows" : "the profile is empty";
        return false;
    }
    return true;
}
