#pragma once

// The catalogue of the host's message names, each with its length and its
// identifier. Built once at load; nothing reads it while frames are processed.

#include <cstdint>
#include <vector>

struct MessageCatalogueEntry {
    std::uint32_t NameLength = 0; // characters, without the terminating NUL
    char Name[256] = {};          // the name, its NUL, then zero bytes to the end
    std::uint64_t ID = 0;         // tm_msg_name_hash of the name
};

// The longest name an entry holds: the buffer keeps its NUL and one more zero byte.
constexpr std::uint32_t kLongestCatalogueName = sizeof(MessageCatalogueEntry::Name) - 2;

// Number of entries; names that occur more than once have an entry each time.
constexpr std::uint32_t kMessageCatalogueSize = 418;

// An entry for one name of at most kLongestCatalogueName characters.
MessageCatalogueEntry MakeMessageCatalogueEntry(const char* name);

// All entries, in catalogue order, in one block of storage.
std::vector<MessageCatalogueEntry> BuildMessageCatalogue();

// The catalogue itself, from load to unload; never changed.
extern const std::vector<MessageCatalogueEntry> MessageCatalogue;
