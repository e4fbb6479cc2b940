// What an operation gives back to its caller: whether it worked, the message the window shows for
// it (a string number; 0 for none) and why, in words (a file error, a CSV line, the link's error).
#pragma once

#include <string>
#include <utility>
#include <vector>

struct tagResult {
    bool ok = true;
    int stringId = 0;
    std::string detail;
    std::vector<std::string> arguments; // for the message's %s, in order

    static tagResult Done(int stringId = 0, std::vector<std::string> arguments = {}) {
        return {true, stringId, {}, std::move(arguments)};
    }
    static tagResult Failed(int stringId, std::string detail = {}) {
        return {false, stringId, std::move(detail), {}};
    }
};
