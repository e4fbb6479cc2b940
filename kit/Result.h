// What an operation gives back to its caller: whether it worked, the message the window shows for
// it (a string number; 0 for none) and why, in words (a file error, a CSV line, the link's error).
#pragma once

#include <string>
#include <utility>

struct tagResult {
    bool ok = true;
    int stringId = 0;
    std::string detail;

    static tagResult Done(int stringId = 0) { return {true, stringId, {}}; }
    static tagResult Failed(int stringId, std::string detail = {}) {
        return {false, stringId, std::move(detail)};
    }
};
