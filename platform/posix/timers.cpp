#include "timers.h"

void UseMillisecondTimers() {}

ThrottlingResult OptOutOfPowerThrottling()
{
    return {};
}

std::string DescribeThrottlingOptOut(const ThrottlingResult&)
{
    return "";
}
