// The monitor's text: what each of its 32 lines reads for a snapshot copy.
#include "monitor_lines.h"
#include "plugin_state.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

const std::wstring kZeroTrace = L"trace: x:0.000000 y:0.000000 z:0.000000";

// The exact decimal expansion of the binary64 nearest to 1e300.
const std::wstring k1e300 =
    L"1000000000000000052504760255204420248704468581108159154915854115511802457988908195786371375080447864"
    L"0437044438328838781769425232353604305756447921847867069828483872009265758037378302337947880900593689"
    L"5323497079994508111903896764088007465274278014249457925878882005684283811566947219638686545940054016"
    L"0";

std::wstring ValueLine(const wchar_t* label, float value)
{
    MonitorLineBuffer buf;
    buf.fill(L'#');
    FormatValueLine(buf, label, value);
    return buf.data();
}

std::wstring VectorLine(const wchar_t* label, const Vector3d& value)
{
    MonitorLineBuffer buf;
    buf.fill(L'#');
    FormatVectorLine(buf, label, value);
    return buf.data();
}

TEST(MonitorLinesTest, FreshAndClearedSnapshotsShowZeros)
{
    PluginState state;
    state.RecordFrame(3.5, Vector3d{1.0, 2.0, 3.0});
    state.Clear();
    for (const TelemetrySnapshot& snapshot : {TelemetrySnapshot(), state.CopyOut()}) {
        const auto lines = MonitorLines(snapshot);
        EXPECT_EQ(lines[0], L"counter: 0.000000");
        EXPECT_EQ(lines[1], L"time: 0.000000");
        for (std::size_t i = 2; i < kMonitorLineCount; ++i)
            EXPECT_EQ(lines[i], kZeroTrace) << "line " << i;
    }
}

TEST(MonitorLinesTest, CounterAndTimePassThroughThirtyTwoBitFloats)
{
    TelemetrySnapshot dd;
    dd.counter = 16777217;
    dd.time = 1234.56789;
    auto lines = MonitorLines(dd);
    EXPECT_EQ(lines[0], L"counter: 16777216.000000");
    EXPECT_EQ(lines[1], L"time: 1234.567871");

    dd.counter = 4294967295u;
    dd.time = -0.1;
    lines = MonitorLines(dd);
    EXPECT_EQ(lines[0], L"counter: 4294967296.000000");
    EXPECT_EQ(lines[1], L"time: -0.100000");

    // Beyond the range of a 32-bit float the time shows as an infinity.
    dd.time = 1e300;
    EXPECT_EQ(MonitorLines(dd)[1], L"time: inf");
    dd.time = -1e300;
    EXPECT_EQ(MonitorLines(dd)[1], L"time: -inf");
}

TEST(MonitorLinesTest, TraceComesNewestFirstFromSixtyFourBitValues)
{
    TelemetrySnapshot dd;
    for (int i = 1; i <= 31; ++i)
        dd.Record(i * 0.25, Vector3d{static_cast<double>(i), -0.5 * i, 0.0});
    const auto lines = MonitorLines(dd);
    EXPECT_EQ(lines[0], L"counter: 31.000000");
    EXPECT_EQ(lines[1], L"time: 7.750000");
    EXPECT_EQ(lines[2], L"trace: x:31.000000 y:-15.500000 z:0.000000");
    EXPECT_EQ(lines[3], L"trace: x:30.000000 y:-15.000000 z:0.000000");
    EXPECT_EQ(lines[31], L"trace: x:2.000000 y:-1.000000 z:0.000000");

    // 16777217.25 has no 32-bit float; the trace shows it all the same.
    dd.trace[0] = Vector3d{16777217.25, 51.2, -1.5};
    EXPECT_EQ(MonitorLines(dd)[2], L"trace: x:16777217.250000 y:51.200000 z:-1.500000");
}

TEST(MonitorLinesTest, SpecialValuesReadTheSameOnEveryPlatform)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(VectorLine(L"trace", Vector3d{inf, -inf, -0.0}), L"trace: x:inf y:-inf z:-0.000000");
    EXPECT_EQ(VectorLine(L"trace", Vector3d{nan, -nan, 0.0000005}), L"trace: x:nan y:nan z:0.000000");
    EXPECT_EQ(ValueLine(L"time", -std::numeric_limits<float>::quiet_NaN()), L"time: nan");
}

TEST(MonitorLinesTest, TextIsCutAfterTwoHundredFiftyFourCharacters)
{
    const std::wstring full = L"trace: x:" + k1e300 + L".000000 y:-" + k1e300;
    const std::wstring line = VectorLine(L"trace", Vector3d{1e300, -1e300, 1e300});
    EXPECT_EQ(line.size(), 254u);
    EXPECT_EQ(line, full.substr(0, 254));

    TelemetrySnapshot dd;
    dd.trace[29] = Vector3d{-1e300, 0.0, 0.0};
    EXPECT_EQ(MonitorLines(dd)[31], (L"trace: x:-" + k1e300).substr(0, 254));

    // "0.000000" and ": " after the label: 244 label characters fill the line exactly.
    const std::wstring label(244, L'a');
    EXPECT_EQ(ValueLine(label.c_str(), 0.0f), label + L": 0.000000");
    const std::wstring longer(245, L'b');
    EXPECT_EQ(ValueLine(longer.c_str(), 0.0f), longer + L": 0.00000");
    const std::wstring enormous(5000, L'c');
    EXPECT_EQ(ValueLine(enormous.c_str(), 1.0f), enormous.substr(0, 254));
}

} // namespace
