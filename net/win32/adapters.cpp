#include "adapters.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include "wide_text.h"

#include <vector>

std::vector<Adapter> ListAdapters()
{
    std::vector<Adapter> adapters;
    // The list's size is not known beforehand: ask again with what the first call says it needs.
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        result = GetAdaptersAddresses(AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
                                      nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (result != NO_ERROR)
        return adapters;
    for (auto* a = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); a != nullptr; a = a->Next) {
        if (a->OperStatus != IfOperStatusUp || a->IfType == IF_TYPE_SOFTWARE_LOOPBACK)
            continue;
        for (const IP_ADAPTER_UNICAST_ADDRESS* u = a->FirstUnicastAddress; u != nullptr; u = u->Next) {
            const sockaddr* address = u->Address.lpSockaddr;
            if (address == nullptr || address->sa_family != AF_INET || u->OnLinkPrefixLength > 32)
                continue;
            Adapter adapter;
            adapter.name = Utf8(a->FriendlyName);
            adapter.address = ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
            const unsigned prefix = u->OnLinkPrefixLength;
            adapter.mask = prefix == 0 ? 0u : 0xFFFFFFFFu << (32 - prefix);
            adapters.push_back(adapter);
        }
    }
    return adapters;
}
