#include "dispatch_watch.h"

bool DispatchWatch::PassEnded(bool dispatch_failed, bool record_arrived, std::int64_t now)
{
    if (!dispatch_failed || record_arrived) {
        failing_ = false;
        return false;
    }
    if (!failing_) {
        failing_ = true;
        failing_since_ = now;
    }
    return now - failing_since_ >= limit_;
}
