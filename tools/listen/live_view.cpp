#include "live_view.h"

#include <cmath>
#include <cstdio>

const char kEnterLiveScreen[] = "\x1b[?1049h\x1b[?25l\x1b[2J";
const char kLeaveLiveScreen[] = "\x1b[?25h\x1b[?1049l\r";

namespace {

constexpr int kNameWidth = 24;  // the longest name, rotation_velocity_body_z
constexpr int kValueWidth = 11; // most %.6g values
constexpr int kFixedWidth = 2 + kNameWidth + 1 + kValueWidth + 1 + kValueWidth + 2 + 2 + kValueWidth;
constexpr int kMinBar = 10;
constexpr int kMaxBar = 40;

std::string Format(const char* format, double a, double b = 0.0, double c = 0.0)
{
    char text[160];
    std::snprintf(text, sizeof(text), format, a, b, c);
    return text;
}

std::string Value(float value)
{
    return Format("%.6g", static_cast<double>(value));
}

std::string Right(const std::string& text, int width)
{
    return text.size() >= static_cast<std::size_t>(width) ? text : std::string(width - text.size(), ' ') + text;
}

std::string Left(const std::string& text, int width)
{
    return text.size() >= static_cast<std::size_t>(width) ? text : text + std::string(width - text.size(), ' ');
}

std::string Count(std::uint64_t value)
{
    return std::to_string(static_cast<unsigned long long>(value));
}

void Header(std::vector<std::string>& lines, const ListenStats& stats, const LiveViewTime& time)
{
    const GapStats& gaps = stats.Gaps();
    lines.push_back("kinemora-listen --live: UDP port " + std::to_string(time.port) + ", " +
                    Format("%.1f", time.now) + " s (Ctrl+C to stop)");
    if (stats.Total() == 0) {
        lines.push_back("datagrams 0: waiting; check that the simulator and the plug-in or bridge run");
        return;
    }
    lines.push_back("datagrams " + Count(stats.Total()) + ": K01 " + Count(stats.K01()) + ", K2 " +
                    Count(stats.K2()) + ", unrecognised " + Count(stats.Unrecognised()) + "; the latest " +
                    Format("%.1f", time.now - gaps.Last()) + " s ago");
    const double span = gaps.Last() - gaps.First();
    if (gaps.GapCount() == 0 || span <= 0.0) {
        lines.push_back("rate, jitter and stalls: not measured yet (needs two datagrams)");
        return;
    }
    std::string stalls = "stalls " + Count(gaps.Stalls()) + Format(" (gaps over %.3f ms)", gaps.StallLimit() * 1e3);
    if (gaps.Stalls() > 0)
        stalls += Format(", longest %.3f ms", gaps.LongestStall() * 1e3);
    lines.push_back(Format("rate %.1f Hz   jitter %.3f ms   ", static_cast<double>(stats.Total() - 1) / span,
                           gaps.Jitter() * 1e3) +
                    stalls);
    lines.push_back(Format("gaps: median %.3f ms, 99th percentile %.3f ms, largest %.3f ms", gaps.Median() * 1e3,
                           gaps.Percentile99() * 1e3, gaps.Largest() * 1e3));
}

void Fields(std::vector<std::string>& lines, const char* kind, const KindFields& fields, int bar_width)
{
    if (fields.datagrams == 0)
        return;
    lines.push_back("");
    lines.push_back(std::string(kind) + " from " + fields.source + ", time_us " + std::to_string(fields.time_us));
    lines.push_back("  " + Left("field", kNameWidth) + " " + Right("latest", kValueWidth) + " " +
                    Right("smallest", kValueWidth) + "  " + Left("", bar_width) + "  largest");
    for (std::size_t i = 0; i < fields.field_count; ++i) {
        const FieldRange& f = fields.fields[i];
        std::string line = "  " + Left(f.name, kNameWidth) + " " + Right(Value(f.current), kValueWidth) + " ";
        if (f.any_finite)
            line += Right(Value(f.smallest), kValueWidth) + " [" + FieldBar(f.current, f.smallest, f.largest, bar_width) +
                    "] " + Value(f.largest);
        else
            line += Right("-", kValueWidth) + " [" + std::string(bar_width, ' ') + "] -";
        lines.push_back(line);
    }
}

} // namespace

std::string FieldBar(float value, float smallest, float largest, int width)
{
    if (!std::isfinite(value))
        return std::string(width, ' ');
    const double range = static_cast<double>(largest) - smallest;
    const double fraction = range > 0.0 ? (static_cast<double>(value) - smallest) / range : 0.0;
    int filled = static_cast<int>(std::floor(fraction * width + 0.5));
    filled = filled < 0 ? 0 : filled > width ? width : filled;
    return std::string(filled, '#') + std::string(width - filled, '.');
}

std::vector<std::string> LiveViewLines(const ListenStats& stats, const FieldRanges& fields, const LiveViewTime& time,
                                       int columns, const std::string& note)
{
    int bar_width = columns - 1 - kFixedWidth;
    bar_width = bar_width < kMinBar ? kMinBar : bar_width > kMaxBar ? kMaxBar : bar_width;
    std::vector<std::string> lines;
    Header(lines, stats, time);
    if (!note.empty()) {
        lines.push_back("");
        for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
            end = note.find('\n', start);
            lines.push_back(note.substr(start, end == std::string::npos ? end : end - start));
        }
    }
    Fields(lines, "K01", fields.K01(), bar_width);
    Fields(lines, "K2", fields.K2(), bar_width);
    for (std::string& line : lines)
        if (line.size() > static_cast<std::size_t>(columns - 1))
            line.resize(columns > 1 ? columns - 1 : 0);
    return lines;
}

std::string ScreenFrame(const std::vector<std::string>& lines, int columns, int rows)
{
    std::size_t shown = lines.size();
    std::string note;
    if (rows < 1)
        rows = 1;
    if (shown > static_cast<std::size_t>(rows)) {
        shown = rows - 1;
        note = "(" + std::to_string(lines.size() - shown) + " more lines: make the window taller)";
    }
    std::string frame;
    int row = 1;
    auto put = [&](const std::string& line) {
        frame += "\x1b[" + std::to_string(row++) + ";1H";
        frame += line.size() > static_cast<std::size_t>(columns - 1) ? line.substr(0, columns > 1 ? columns - 1 : 0)
                                                                       : line;
        frame += "\x1b[K";
    };
    for (std::size_t i = 0; i < shown; ++i)
        put(lines[i]);
    if (!note.empty())
        put(note);
    if (row <= rows)
        frame += "\x1b[" + std::to_string(row) + ";1H\x1b[J";
    return frame;
}
