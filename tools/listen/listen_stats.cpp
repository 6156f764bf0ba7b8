#include "listen_stats.h"

#include <cstdio>

void ListenStats::Add(kinemora_kind kind, double arrival_seconds)
{
    if (Total() == 0) {
        first_ = arrival_seconds;
    } else {
        const double gap = arrival_seconds - last_;
        if (Total() == 1 || gap < min_gap_)
            min_gap_ = gap;
        if (Total() == 1 || gap > max_gap_)
            max_gap_ = gap;
    }
    last_ = arrival_seconds;
    if (kind == KINEMORA_K01)
        ++k01_;
    else if (kind == KINEMORA_K2)
        ++k2_;
    else
        ++unrecognised_;
}

std::string ListenStats::Summary() const
{
    char text[256];
    std::snprintf(text, sizeof(text),
                  "summary: %llu datagrams: K01 %llu, K2 %llu, unrecognised %llu\n",
                  static_cast<unsigned long long>(Total()), static_cast<unsigned long long>(k01_),
                  static_cast<unsigned long long>(k2_), static_cast<unsigned long long>(unrecognised_));
    std::string summary = text;
    const double span = last_ - first_;
    if (Total() < 2 || span <= 0.0) {
        summary += "rate: not measured (needs two datagrams at different times)\n";
    } else {
        std::snprintf(text, sizeof(text),
                      "rate: %.1f Hz over %.3f s; gap between datagrams: smallest %.3f ms, largest %.3f ms\n",
                      static_cast<double>(Total() - 1) / span, span, min_gap_ * 1000.0, max_gap_ * 1000.0);
        summary += text;
    }
    return summary;
}
