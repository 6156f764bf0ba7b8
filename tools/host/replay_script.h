#pragma once

// A replay script: exact calls for the plug-in, one per line, so tests can
// feed exact bytes. Blank lines and lines starting with # are skipped.
//
//   version                        call GetInterfaceVersion and print the result
//   init [VALUE]                   call Init with VALUE (hex or decimal, default 0)
//   shutdown                       call Shutdown
//   frame COUNT HEX [delta=SECONDS] [arg3=N]
//                                  call Update with the bytes (HEX; "-" for a null
//                                  pointer) and COUNT; delta and arg3 fill the two
//                                  arguments a plug-in ignores (defaults 0.016, 0)
//   sleep MS                       wait MS milliseconds

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

struct ReplayStep {
    enum class Kind { Version, Init, Shutdown, Frame, Sleep };
    Kind kind = Kind::Version;
    std::uint64_t init_value = 0;
    std::vector<std::uint8_t> bytes;
    bool null_stream = false;
    std::uint32_t count = 0;
    double delta = 0.016;
    std::int32_t arg3 = 0;
    unsigned sleep_ms = 0;
};

// Returns false with "line N: reason" in error for the first line it cannot use.
bool ParseReplayScript(std::istream& input, std::vector<ReplayStep>& steps, std::string& error);
