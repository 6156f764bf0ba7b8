#include "message_catalogue.h"

#include "tm_external_message.h"

#include <cstring>
#include <iterator>

namespace {

constexpr const char* kMessageNames[] = {
#include "message_names.inc"
};

static_assert(std::size(kMessageNames) == kMessageCatalogueSize, "one name per catalogue entry");

constexpr bool EveryNameFits()
{
    for (const char* name : kMessageNames) {
        std::uint32_t length = 0;
        while (name[length] != '\0')
            ++length;
        if (length == 0 || length > kLongestCatalogueName)
            return false;
    }
    return true;
}

static_assert(EveryNameFits(), "every name fits an entry's buffer with its NUL and one zero byte");

} // namespace

MessageCatalogueEntry MakeMessageCatalogueEntry(const char* name)
{
    MessageCatalogueEntry entry; // Name starts as 256 zero bytes.
    entry.NameLength = static_cast<std::uint32_t>(std::strlen(name));
    std::memcpy(entry.Name, name, entry.NameLength + 1);
    entry.ID = tm_msg_name_hash(name);
    return entry;
}

std::vector<MessageCatalogueEntry> BuildMessageCatalogue()
{
    std::vector<MessageCatalogueEntry> list;
    list.reserve(std::size(kMessageNames));
    for (const char* name : kMessageNames)
        list.push_back(MakeMessageCatalogueEntry(name));
    return list;
}
