#include "motion_frame.h"

double AdjustBank(double bank)
{
    return bank > 3.0 ? bank - 6.0 : bank;
}

MotionFrame ReadMotionFrame(const std::vector<tm_external_message>& MessageListReceive)
{
    MotionFrame frame;
    for (const tm_external_message& edm : MessageListReceive) {
        // A known identifier with the wrong data type is skipped, not read: the
        // typed accessor's assertion would otherwise abort the simulator itself.
        const bool is_double = edm.Header.DataType == tm_msg_data_type::Double;
        const bool is_vector = edm.Header.DataType == tm_msg_data_type::Vector3d;
        switch (edm.get_id()) {
        case MessageAircraftPitch.get_id():
            if (is_double)
                frame.pitch = edm.get_double();
            break;
        case MessageAircraftBank.get_id():
            if (is_double)
                frame.bank = AdjustBank(edm.get_double());
            break;
        case MessageAircraftRateOfTurn.get_id():
            if (is_double)
                frame.rate_of_turn = edm.get_double();
            break;
        case MessageSimulationTime.get_id():
            if (is_double)
                frame.time = edm.get_double();
            break;
        case MessageAircraftAngularVelocity.get_id():
            if (is_vector)
                frame.aircraft_angularvelocity = edm.get_vector3d();
            break;
        case MessageAircraftVelocity.get_id():
            // Without BodyFrame the record carries the world-frame velocity, which is not used.
            if (is_vector && edm.get_flags().has_flags(BodyFrame))
                frame.aircraft_velocity_body = edm.get_vector3d();
            break;
        default:
            break;
        }
    }
    return frame;
}

void RunFrame(PluginState& state, const std::uint8_t* stream, std::uint32_t count, DatagramSink send)
{
    std::vector<tm_external_message>& MessageListReceive = state.MessageListStorage();
    decode_frame(stream, count, MessageListReceive);
    if (MessageListReceive.empty())
        return;

    MotionFrame frame = ReadMotionFrame(MessageListReceive);
    if (state.TakeFirstDatagram())
        frame.time = 0.0;

    std::uint8_t msg[kK01Size];
    EncodeK01(frame, msg);
    send(msg, static_cast<std::int32_t>(kK01Size));

    // Recorded only after the send, so the network never runs under the lock.
    state.RecordFrame(frame.time, frame.aircraft_velocity_body);
}
