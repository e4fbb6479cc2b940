// Small text helpers: white space, case and paths, the same everywhere and independent of the
// locale (only ASCII letters change case, only ASCII white space is trimmed).
#pragma once

#include <string>
#include <string_view>

std::string_view g_Trim(std::string_view text);
std::string g_Upper(std::string_view text);
std::string g_Lower(std::string_view text);
// The folder part of a path without its last slash: "." for a bare name, "/" for the root.
std::string g_FolderOf(std::string_view path);
