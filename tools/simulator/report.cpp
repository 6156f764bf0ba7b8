#include "report.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>

namespace {

std::uint64_t departures = 0;

} // namespace

void Say(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stdout, format, arguments);
    va_end(arguments);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Warn(const std::string& text)
{
    std::fprintf(stderr, "kinemora-simulator: %s\n", text.c_str());
    std::fflush(stderr);
}

void Departure(const std::string& text)
{
    ++departures;
    Warn("departure: " + text);
}

std::uint64_t DepartureCount()
{
    return departures;
}

double MonotonicSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
