#include "monitor_lines.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace {

// The widest "%f" of a 64-bit float: a sign, 309 digits, the point, six decimals.
constexpr std::size_t kWidestNumber = 1 + 309 + 1 + 6;

// Room for a label of kLongestMonitorLine characters, three of the widest
// numbers and the fixed text of the vector format, so nothing is ever cut by
// swprintf itself: on overflow glibc leaves the buffer without its NUL and
// mingw-w64 returns the full length, so the cut is done here instead.
constexpr std::size_t kFormatCapacity = kLongestMonitorLine + 3 * kWidestNumber + 16;

// glibc prints the sign of a NaN and mingw-w64 does not; both show "nan".
double Shown(double value)
{
    return std::isnan(value) ? std::fabs(value) : value;
}

// The label is "%ls": a wide string argument in standard C, as glibc and
// mingw-w64's conforming printf family (which its libstdc++ always selects)
// read it; both read "%s" as a narrow string even in wide formats.
template <class... Numbers>
void FormatLine(MonitorLineBuffer& buf, const wchar_t* format, const wchar_t* label, Numbers... numbers)
{
    wchar_t cut_label[kLongestMonitorLine + 1] = {};
    std::wcsncpy(cut_label, label, kLongestMonitorLine);

    wchar_t text[kFormatCapacity];
    const int length = std::swprintf(text, kFormatCapacity, format, cut_label, Shown(numbers)...);
    const std::size_t kept = length > 0 ? std::min(static_cast<std::size_t>(length), kLongestMonitorLine) : 0;
    std::copy(text, text + kept, buf.begin());
    buf[kept] = L'\0';
}

} // namespace

void FormatValueLine(MonitorLineBuffer& buf, const wchar_t* label, float value)
{
    FormatLine(buf, L"%ls: %f", label, static_cast<double>(value));
}

void FormatVectorLine(MonitorLineBuffer& buf, const wchar_t* label, const Vector3d& value)
{
    FormatLine(buf, L"%ls: x:%f y:%f z:%f", label, value.x, value.y, value.z);
}

std::array<std::wstring, kMonitorLineCount> MonitorLines(const TelemetrySnapshot& dd)
{
    std::array<std::wstring, kMonitorLineCount> lines;
    std::size_t next = 0;
    MonitorLineBuffer buf;
    ForEachMonitorLine(
        dd,
        [&](const wchar_t* label, float value) {
            FormatValueLine(buf, label, value);
            lines[next++] = buf.data();
        },
        [&](const wchar_t* label, const Vector3d& value) {
            FormatVectorLine(buf, label, value);
            lines[next++] = buf.data();
        });
    return lines;
}
