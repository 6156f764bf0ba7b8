#pragma once

// A program's command line read as its main reads it, for the options tests.

#include "command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

// The options read from these arguments (over start), and the mistake ("" for none).
template <class Options>
std::pair<Options, std::string> ReadOptions(const cli::Table<Options>& table, const std::vector<std::string>& arguments,
                                            Options start = Options())
{
    std::string error;
    const bool mistake = cli::Parse(table, arguments, start, error) == cli::Outcome::Mistake;
    EXPECT_EQ(mistake, !error.empty());
    return {start, error};
}

template <class Options>
cli::Outcome OutcomeOf(const cli::Table<Options>& table, const std::vector<std::string>& arguments)
{
    Options options;
    std::string error;
    return cli::Parse(table, arguments, options, error);
}
