#include "frame_builder.h"

#include "little_endian.h"
#include "message_catalogue.h"
#include "tm_external_message.h"

#include <cstring>
#include <string>

namespace {

constexpr std::uint64_t kMotionFlags = 0x02000040;
constexpr std::uint64_t kTimeFlags = 0x06000040;

// Appends one record's header and reserves its payload; returns the payload's start.
std::uint8_t* Append(HostFrame& frame, std::uint64_t id, tm_msg_data_type type, std::uint16_t payload_bytes,
                     std::uint64_t flags)
{
    const std::size_t start = frame.bytes.size();
    frame.bytes.resize(start + kHeaderSize + payload_bytes, 0);
    std::uint8_t* record = frame.bytes.data() + start;
    const std::uint16_t size = static_cast<std::uint16_t>(kHeaderSize + payload_bytes);
    PutU16(record, 0xAAAA); // the marker
    PutU16(record + 2, size);
    PutU64(record + 16, id);
    record[25] = static_cast<std::uint8_t>(type);
    record[26] = 1;
    PutU64(record + 56, flags);
    ++frame.count;
    return record + kHeaderSize;
}

bool HoldsVector(const char* name)
{
    static const char* const vectors[] = {"Position", "Orientation", "Velocity", "Acceleration", "Gravity",
                                          "Wind", "Direction", "Up"};
    const std::string text = name;
    for (const char* word : vectors)
        if (text.find(word) != std::string::npos)
            return true;
    return false;
}

} // namespace

void HostFrame::AddHeaderOnly(std::uint64_t id, std::uint64_t flags)
{
    Append(*this, id, tm_msg_data_type::None, 0, flags);
}

void HostFrame::AddDouble(std::uint64_t id, double value, std::uint64_t flags)
{
    PutF64(Append(*this, id, tm_msg_data_type::Double, 8, flags), value);
}

void HostFrame::AddVector(std::uint64_t id, const double (&xyz)[3], std::uint64_t flags)
{
    std::uint8_t* payload = Append(*this, id, tm_msg_data_type::Vector3d, 24, flags);
    for (int i = 0; i < 3; ++i)
        PutF64(payload + 8 * i, xyz[i]);
}

HostFrame BuildFlightFrame(const PluginMessages& messages, unsigned other_messages)
{
    HostFrame frame;
    frame.bytes.reserve((other_messages + 8) * kLargestRecord);

    // Messages the plug-in does not use come first, as in the simulator's
    // own order; the catalogue's names with a guessed type and size.
    for (unsigned i = 0, entry = 0; i < other_messages; ++entry) {
        const MessageCatalogueEntry& e = MessageCatalogue[entry % MessageCatalogue.size()];
        const std::uint64_t id = e.ID;
        if (id == MessageAircraftPitch.get_id() || id == MessageAircraftBank.get_id() ||
            id == MessageAircraftVelocity.get_id() || id == MessageAircraftAngularVelocity.get_id() ||
            id == MessageAircraftRateOfTurn.get_id() || id == MessageSimulationTime.get_id())
            continue;
        if (std::strncmp(e.Name, "Command.", 8) == 0) {
            frame.AddHeaderOnly(id, kMotionFlags);
        } else if (HoldsVector(e.Name)) {
            const double value[3] = {messages.simulation_time, messages.pitch, static_cast<double>(entry)};
            frame.AddVector(id, value, kMotionFlags);
        } else {
            frame.AddDouble(id, messages.simulation_time + entry, kMotionFlags);
        }
        ++i;
    }

    frame.AddDouble(MessageAircraftPitch.get_id(), messages.pitch, kMotionFlags);
    frame.AddDouble(MessageAircraftBank.get_id(), messages.bank, kMotionFlags);
    frame.AddVector(MessageAircraftVelocity.get_id(), messages.velocity_body, kMotionFlags | BodyFrame.bits());
    frame.AddVector(MessageAircraftVelocity.get_id(), messages.velocity_world, kMotionFlags);
    frame.AddVector(MessageAircraftAngularVelocity.get_id(), messages.angular_velocity, kMotionFlags);
    frame.AddDouble(MessageAircraftRateOfTurn.get_id(), messages.rate_of_turn, kMotionFlags);
    frame.AddDouble(MessageSimulationTime.get_id(), messages.simulation_time, kTimeFlags);
    return frame;
}
