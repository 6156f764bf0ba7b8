// Test helper: the C decoder's reading of datagrams, as kinemora-listen prints it.
// Reads one datagram per line of standard input, in hex (an empty line is an
// empty datagram), and prints one DescribeDatagram line for each.
#include "datagram_format.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

static bool ParseHex(const std::string& text, std::vector<unsigned char>& bytes)
{
    if (text.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const char pair[3] = {text[i], text[i + 1], 0};
        char* end = nullptr;
        bytes.push_back(static_cast<unsigned char>(std::strtoul(pair, &end, 16)));
        if (*end != '\0')
            return false;
    }
    return true;
}

int main()
{
    std::string line;
    while (std::getline(std::cin, line)) {
        std::vector<unsigned char> bytes;
        if (!ParseHex(line, bytes)) {
            std::fprintf(stderr, "describe_datagrams: not hex: %s\n", line.c_str());
            return 2;
        }
        std::cout << DescribeDatagram(bytes.data(), bytes.size()) << '\n';
    }
    return 0;
}
