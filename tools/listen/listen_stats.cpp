#include "listen_stats.h"

#include <cstdarg>
#include <cstdio>

namespace {

unsigned long long U(std::uint64_t value)
{
    return static_cast<unsigned long long>(value);
}

double Ms(double seconds)
{
    return seconds * 1000.0;
}

// Appends one formatted line; lines stay well under 256 characters.
[[gnu::format(printf, 2, 3)]] void Line(std::string& text, const char* format, ...)
{
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    text += line;
}

void TimeFieldLine(std::string& text, const std::string& address, const TimeContinuity& t)
{
    if (t.Steps() == 0)
        return;
    if (t.Kind() == KINEMORA_K01)
        Line(text, "time field K01 from %s: %llu steps: wraps %llu, restarts %llu, backward steps %llu, jumps %llu\n",
             address.c_str(), U(t.Steps()), U(t.Wraps()), U(t.Restarts()), U(t.BackwardSteps()), U(t.Jumps()));
    else
        Line(text, "time field K2 from %s: %llu steps: restarts %llu, backward steps %llu, jumps %llu\n",
             address.c_str(), U(t.Steps()), U(t.Restarts()), U(t.BackwardSteps()), U(t.Jumps()));
}

} // namespace

ListenStats::Source* ListenStats::Find(const std::string& address)
{
    for (Source& s : sources_)
        if (s.address == address)
            return &s;
    if (sources_.size() == kMaxSources)
        return nullptr;
    if (sources_.empty())
        sources_.reserve(kMaxSources);
    sources_.emplace_back(address);
    return &sources_.back();
}

void ListenStats::Add(double arrival_seconds, const std::string& source, kinemora_kind kind, std::uint32_t time_us)
{
    gaps_.Add(arrival_seconds);
    if (kind == KINEMORA_K01)
        ++k01_;
    else if (kind == KINEMORA_K2)
        ++k2_;
    else
        ++unrecognised_;

    Source* s = Find(source);
    if (!s) {
        ++other_sources_datagrams_;
        return;
    }
    if (kind == KINEMORA_K01) {
        ++s->k01;
        s->k01_time.Add(time_us, arrival_seconds);
    } else if (kind == KINEMORA_K2) {
        ++s->k2;
        s->k2_time.Add(time_us, arrival_seconds);
    } else {
        ++s->unrecognised;
    }
}

std::string ListenStats::Summary() const
{
    std::string text;
    Line(text, "summary: %llu datagrams: K01 %llu, K2 %llu, unrecognised %llu\n", U(Total()), U(k01_), U(k2_),
         U(unrecognised_));
    const double span = gaps_.Last() - gaps_.First();
    if (Total() < 2 || span <= 0.0)
        text += "rate: not measured (needs two datagrams at different times)\n";
    else
        Line(text, "rate: %.1f Hz over %.3f s; gap between datagrams: smallest %.3f ms, largest %.3f ms\n",
             static_cast<double>(Total() - 1) / span, span, Ms(gaps_.Smallest()), Ms(gaps_.Largest()));

    if (gaps_.GapCount() == 0) {
        text += "gaps: not measured (needs two datagrams)\n";
    } else {
        Line(text, "gaps: median %.3f ms, 99th percentile %.3f ms, largest %.3f ms\n", Ms(gaps_.Median()),
             Ms(gaps_.Percentile99()), Ms(gaps_.Largest()));
        Line(text, "jitter: %.3f ms (standard deviation of the gaps)\n", Ms(gaps_.Jitter()));
        if (gaps_.Median() <= 0.0)
            text += "stalls: not measured (the median gap is 0: the datagrams came in bursts)\n";
        else if (gaps_.Stalls() == 0)
            Line(text, "stalls: 0 (gaps over %.3f ms, three times the median)\n", Ms(gaps_.StallLimit()));
        else
            Line(text, "stalls: %llu (gaps over %.3f ms, three times the median), longest %.3f ms\n", U(gaps_.Stalls()),
                 Ms(gaps_.StallLimit()), Ms(gaps_.LongestStall()));
    }

    if (sources_.size() > 1) {
        for (const Source& s : sources_)
            Line(text, "from %s: %llu datagrams: K01 %llu, K2 %llu, unrecognised %llu\n", s.address.c_str(),
                 U(s.k01 + s.k2 + s.unrecognised), U(s.k01), U(s.k2), U(s.unrecognised));
        if (other_sources_datagrams_ > 0)
            Line(text, "from other addresses: %llu datagrams (only the first %llu addresses are told apart)\n",
                 U(other_sources_datagrams_), U(kMaxSources));
    }
    for (const Source& s : sources_) {
        TimeFieldLine(text, s.address, s.k01_time);
        TimeFieldLine(text, s.address, s.k2_time);
    }
    return text;
}
