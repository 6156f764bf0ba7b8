-- Wireshark dissector for Kinemora motion datagrams on UDP port 50010:
-- K01 (44 bytes, Aerofly FS 2 plug-in) and K2 (55 bytes, MSFS bridge).
-- Every field is shown by name, with its unit where it has a fixed one.
-- Anything else on the port is marked as unrecognised, with its length.
--
-- Use it once:   wireshark -X lua_script:kinemora.lua
--                tshark -X lua_script:kinemora.lua -r capture.pcapng -V
-- or for good:   copy it into Wireshark's personal Lua plugins folder
--                (Help > About Wireshark > Folders > Personal Lua Plugins).

local kinemora = Proto("kinemora", "Kinemora motion datagram")

local PORT = 50010
local K01_SIZE = 44
local K2_SIZE = 55

local field_kind = ProtoField.string("kinemora.kind", "Kind")
local field_length = ProtoField.uint32("kinemora.length", "Length (bytes)")
local field_lead_in = ProtoField.string("kinemora.lead_in", "Lead-in")
local field_time = ProtoField.uint32("kinemora.time_us", "Time field (microseconds)")

-- K01 floats in wire order from offset 8. Units are the host simulator's own.
local K01_FLOATS = {
    { "velocity_x", "Velocity x (body frame)" },
    { "velocity_y", "Velocity y (body frame)" },
    { "velocity_z", "Velocity z (body frame)" },
    { "bank", "Bank" },
    { "pitch", "Pitch" },
    { "rate_of_turn", "Rate of turn" },
    { "angular_velocity_x", "Angular velocity x" },
    { "angular_velocity_y", "Angular velocity y" },
    { "angular_velocity_z", "Angular velocity z" },
}

-- K2 floats in wire order from offset 7; each triple is Z, X, Y.
local K2_FLOATS = {
    { "velocity_body_z", "Velocity body Z (m/s)" },
    { "velocity_body_x", "Velocity body X (m/s)" },
    { "velocity_body_y", "Velocity body Y (m/s)" },
    { "acceleration_body_z", "Acceleration body Z (m/s^2)" },
    { "acceleration_body_x", "Acceleration body X (m/s^2)" },
    { "acceleration_body_y", "Acceleration body Y (m/s^2)" },
    { "bank", "Bank (rad)" },
    { "pitch", "Pitch (rad)" },
    { "heading", "Heading, true (rad)" },
    { "rotation_velocity_body_z", "Rotation velocity body Z (rad/s)" },
    { "rotation_velocity_body_x", "Rotation velocity body X (rad/s)" },
    { "rotation_velocity_body_y", "Rotation velocity body Y (rad/s)" },
}

local function float_fields(prefix, list)
    local fields = {}
    for i, entry in ipairs(list) do
        fields[i] = ProtoField.float(prefix .. entry[1], entry[2])
    end
    return fields
end

local k01_fields = float_fields("kinemora.k01.", K01_FLOATS)
local k2_fields = float_fields("kinemora.k2.", K2_FLOATS)

local all_fields = { field_kind, field_length, field_lead_in, field_time }
for _, f in ipairs(k01_fields) do all_fields[#all_fields + 1] = f end
for _, f in ipairs(k2_fields) do all_fields[#all_fields + 1] = f end
kinemora.fields = all_fields

local expert_unrecognised = ProtoExpert.new("kinemora.unrecognised", "Not a K01 or K2 datagram",
    expert.group.PROTOCOL, expert.severity.NOTE)
kinemora.experts = { expert_unrecognised }

-- Adds the lead-in, the time field and the floats of one recognised datagram.
local function add_datagram(tvb, root, kind, lead_length, fields)
    root:add(field_kind, tvb(0, lead_length), kind)
    root:add(field_length, tvb(), tvb:len())
    root:add(field_lead_in, tvb(0, lead_length))
    root:add_le(field_time, tvb(lead_length, 4))
    local offset = lead_length + 4
    for _, f in ipairs(fields) do
        root:add_le(f, tvb(offset, 4))
        offset = offset + 4
    end
    return tvb(lead_length, 4):le_uint()
end

-- A datagram with one of our lead-ins but the wrong length was most likely
-- cut short or padded on its way.
local function hint(tvb, n)
    if n >= 4 and tvb(0, 4):string() == "K01," then
        return n < K01_SIZE and " (a truncated K01?)" or " (an oversized K01?)"
    end
    if n >= 3 and tvb(0, 3):string() == "K2," then
        return n < K2_SIZE and " (a truncated K2?)" or " (an oversized K2?)"
    end
    return ""
end

-- The number of the packet this dissector last dissected, so that the
-- fallback below knows which datagrams it did not see.
local last_dissected = nil

function kinemora.dissector(tvb, pinfo, tree)
    last_dissected = pinfo.number
    local n = tvb:len()
    pinfo.cols.protocol = "Kinemora"
    local root = tree:add(kinemora, tvb())
    if n == K01_SIZE and tvb(0, 4):string() == "K01," then
        local time_us = add_datagram(tvb, root, "K01", 4, k01_fields)
        root:append_text(", K01")
        pinfo.cols.info = string.format("K01 time_us=%u", time_us)
    elseif n == K2_SIZE and tvb(0, 3):string() == "K2," then
        local time_us = add_datagram(tvb, root, "K2", 3, k2_fields)
        root:append_text(", K2")
        pinfo.cols.info = string.format("K2 time_us=%u", time_us)
    else
        local text = string.format("unrecognised, %d bytes%s", n, hint(tvb, n))
        root:add(field_kind, tvb(), "unrecognised")
        root:add(field_length, tvb(), n)
        root:add_proto_expert_info(expert_unrecognised, "Not a K01 or K2 datagram: " .. text)
        root:append_text(", " .. text)
        pinfo.cols.info = "Kinemora " .. text
    end
    return n
end

DissectorTable.get("udp.port"):add(PORT, kinemora)

-- Wireshark offers a UDP datagram to the dissector of its lower port first.
-- Our senders send from a port the system picks, and now and then that port
-- is one another dissector owns (34962 for PROFINET, 44818 for EtherNet/IP):
-- that dissector then takes the datagram and this one never sees it. A
-- postdissector sees every packet after the others, so a datagram to our port
-- that this dissector did not see is dissected here. A Wireshark without the
-- field udp.payload goes without the fallback rather than without the script.
local has_ports, udp_dstport = pcall(Field.new, "udp.dstport")
local has_payload, udp_payload = pcall(Field.new, "udp.payload")
if has_ports and has_payload then
    local fallback = Proto("kinemora_fallback", "Kinemora datagram claimed by the sender's port")

    function fallback.dissector(_, pinfo, tree)
        if last_dissected == pinfo.number then
            return
        end
        local ports, payloads = { udp_dstport() }, { udp_payload() }
        if #ports == 1 and ports[1].value == PORT and #payloads == 1 then
            kinemora.dissector(payloads[1].range:tvb(), pinfo, tree)
        end
    end

    register_postdissector(fallback)
end
