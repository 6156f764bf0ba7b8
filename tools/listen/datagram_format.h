#pragma once

#include <cstddef>
#include <string>

// Text forms of one received datagram. Pure functions over bytes, so the
// listener's output can be checked without a socket.

// "K01 time_us=... velocity_x=... ..." with every field named, or
// "unrecognised length=N bytes=..." for anything else. Never reads past length.
std::string DescribeDatagram(const unsigned char* data, std::size_t length);

// Lower-case hex of at most max_bytes bytes, with "..." when cut.
std::string HexBytes(const unsigned char* data, std::size_t length, std::size_t max_bytes);

// One CSV table for both kinds: the columns of the other kind stay empty.
std::string CsvHeader();
std::string CsvRow(double arrival_seconds, const std::string& source,
                   const unsigned char* data, std::size_t length);
