#include "frame_report.h"

#include "message_catalogue.h"

#include <cstdio>
#include <cstring>

namespace {

// The six messages the datagram is made of, in the datagram's order of use.
const tm_external_message* const kDatagramMessages[] = {
    &MessageSimulationTime, &MessageAircraftVelocity, &MessageAircraftBank,
    &MessageAircraftPitch,  &MessageAircraftRateOfTurn, &MessageAircraftAngularVelocity,
};

std::string Hex(std::uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof(text), "0x%016llx", static_cast<unsigned long long>(value));
    return text;
}

std::string NameOf(std::uint64_t id)
{
    for (const MessageCatalogueEntry& entry : MessageCatalogue)
        if (entry.ID == id)
            return entry.Name;
    return "unknown " + Hex(id);
}

std::string TypeName(std::uint8_t type)
{
    if (type == static_cast<std::uint8_t>(tm_msg_data_type::Double))
        return "Double";
    if (type == static_cast<std::uint8_t>(tm_msg_data_type::Vector3d))
        return "Vector3d";
    return "type " + std::to_string(type);
}

} // namespace

MessageSeen& FrameReport::Seen(std::uint64_t id)
{
    const auto found = index_.find(id);
    if (found != index_.end())
        return messages_[found->second];
    index_.emplace(id, messages_.size());
    messages_.emplace_back();
    messages_.back().id = id;
    return messages_.back();
}

void FrameReport::AddFrame(const std::vector<tm_external_message>& records, double seconds, std::time_t now,
                           std::uint64_t update_ns)
{
    if (frames_++ == 0) {
        began_ = now;
        first_seconds_ = seconds;
    }
    last_seconds_ = seconds;
    per_second_.Add(seconds);
    messages_per_frame_.Add(records.size());
    update_ns_.Add(update_ns);
    for (const tm_external_message& record : records) {
        MessageSeen& seen = Seen(record.get_id());
        const std::uint8_t type = static_cast<std::uint8_t>(record.Header.DataType);
        if (seen.records++ == 0) {
            seen.data_type = type;
            seen.smallest = seen.largest = record.Header.Size;
        }
        seen.mixed_types = seen.mixed_types || type != seen.data_type;
        seen.flags |= record.Header.Flags;
        seen.smallest = record.Header.Size < seen.smallest ? record.Header.Size : seen.smallest;
        seen.largest = record.Header.Size > seen.largest ? record.Header.Size : seen.largest;
        seen.body_frame += record.get_flags().has_flags(BodyFrame) ? 1 : 0;
        if (seen.last_frame != frames_) { // once per frame, however many records
            seen.last_frame = frames_;
            ++seen.frames;
        }
    }
}

std::string FrameReport::Text(const std::string& heading, std::time_t now) const
{
    char seconds[32];
    std::snprintf(seconds, sizeof(seconds), "%.1f s", last_seconds_ - first_seconds_);
    std::string text = heading + "Written: " + LocalTime(now) + "\n";
    text += frames_ == 0 ? "Flight: no frame yet\n"
                         : "Flight: began " + LocalTime(began_) + ", ran " + seconds + "\n";
    text += "\nFrames\n  frames: " + std::to_string(frames_) + "\n  frames per second: " +
            Spread(per_second_.Counts()) + "\n  messages per frame: " + Spread(messages_per_frame_) +
            "\n  Update's own time: " + Timing(update_ns_) + "\n";

    text += "\nMessages (identifier, name, data type, flags seen, record size, frames that carried it)\n";
    for (const MessageSeen& seen : messages_) {
        const std::string sizes = seen.smallest == seen.largest
                                      ? std::to_string(seen.smallest)
                                      : std::to_string(seen.smallest) + " to " + std::to_string(seen.largest);
        text += "  " + Hex(seen.id) + " " + NameOf(seen.id) + ", " + TypeName(seen.data_type) +
                (seen.mixed_types ? " and others" : "") + ", flags " + Hex(seen.flags) + ", " + sizes +
                " bytes, " + std::to_string(seen.frames) + " frames\n";
    }

    text += "\nThe datagram's messages\n";
    for (const tm_external_message* message : kDatagramMessages) {
        const auto found = index_.find(message->get_id());
        const MessageSeen* seen = found == index_.end() ? nullptr : &messages_[found->second];
        text += "  " + NameOf(message->get_id()) + ": ";
        if (seen == nullptr)
            text += "never came";
        else if (seen->frames == frames_)
            text += "every frame";
        else
            text += "in " + std::to_string(seen->frames) + " of " + std::to_string(frames_) + " frames";
        if (seen != nullptr && message == &MessageAircraftVelocity)
            text += "; BodyFrame flag on " +
                    (seen->body_frame == seen->records ? std::string("every record")
                                                       : std::to_string(seen->body_frame) + " of " +
                                                             std::to_string(seen->records) + " records");
        text += "\n";
    }
    return text + "\n" + SendingSection(sending_, destinations_);
}
