// Test helper: sends datagrams through the BroadcastSender.
//
//   send_probe HEX [HEX...]      sends each argument's bytes as one datagram
//   send_probe --leak-check N    sends N 44-byte datagrams and fails if the
//                                process holds more handles afterwards
#include "broadcast_sender.h"
#include "socket_startup.h"
#include "handles.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static bool ParseHex(const char* text, std::vector<unsigned char>& bytes)
{
    const std::size_t n = std::strlen(text);
    if (n % 2 != 0)
        return false;
    for (std::size_t i = 0; i < n; i += 2) {
        char pair[3] = {text[i], text[i + 1], 0};
        char* end = nullptr;
        bytes.push_back(static_cast<unsigned char>(std::strtoul(pair, &end, 16)));
        if (*end != '\0')
            return false;
    }
    return true;
}

int main(int argc, char** argv)
{
    // A test helper must never broadcast on a real network by accident.
    const char* private_net = std::getenv("KINEMORA_PRIVATE_NET");
    if (!private_net || std::strcmp(private_net, "1") != 0) {
        std::fprintf(stderr, "send_probe: refusing to send outside scripts/private-net\n");
        return 3;
    }
    StartSockets();
    if (argc == 3 && std::strcmp(argv[1], "--leak-check") == 0) {
        const long sends = std::atol(argv[2]);
        unsigned char datagram[44] = {'K', '0', '1', ','};
        BroadcastSender(datagram, sizeof(datagram)); // lets the system set up its socket state first
        const long count_before = OpenHandleCount();
        const long slot_before = NextHandleSlot();
        for (long i = 0; i < sends; ++i)
            BroadcastSender(datagram, sizeof(datagram));
        const long count_after = OpenHandleCount();
        const long slot_after = NextHandleSlot();
        std::printf("after %ld sends: open handles %ld -> %ld, next handle slot %ld -> %ld\n", sends,
                    count_before, count_after, slot_before, slot_after);
        return slot_before >= 0 && slot_after <= slot_before && count_after <= count_before ? 0 : 1;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: send_probe HEX [HEX...] | send_probe --leak-check N\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        std::vector<unsigned char> bytes;
        if (!ParseHex(argv[i], bytes)) {
            std::fprintf(stderr, "send_probe: not hex: %s\n", argv[i]);
            return 2;
        }
        BroadcastSender(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    }
    return 0;
}
