#pragma once

// The program's arguments in UTF-8 on every system. One file per platform.

#include <string>
#include <vector>

// The program's arguments after its name: on Windows from the wide command
// line, so that a file name may hold any character.
std::vector<std::string> ProgramArguments(int argc, char** argv);
