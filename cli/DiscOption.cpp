#include "DiscOption.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>

namespace {

// The title of the named disc; empty while --disc is not given.
std::string g_discTitle;

} // namespace

void AddDiscOption(CLI::App& command)
{
    command
        .add_option_function<std::string>(
            "--disc",
            [](std::string disc) {
                std::transform(disc.begin(), disc.end(), disc.begin(),
                               [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
                g_discTitle = disc == "publisher" ? "publish.pak" : "disc" + disc + ".pak";
            },
            "Which disc the archive is, whatever its file name.")
        ->check(CLI::IsMember({"1", "2", "3", "4", "publisher"}, CLI::ignore_case));
}

std::string IdentifyingTitle(const std::string& fileTitle)
{
    return g_discTitle.empty() ? fileTitle : g_discTitle;
}
