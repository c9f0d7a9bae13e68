// Cleans one cookie file of CookieFolder: logs its expired cookies, then
// leaves it alone, deletes it, or rewrites it with the cookies that are left.
#pragma once

#include <cstdint>
#include <string_view>

#include "cleaning/cookie_reader.h"

// `name` is the file's name within CookieFolder, without any folder;
// `listedSize` the size the folder's listing gave for it.
void CleanCookieFile(std::string_view name, uint64_t listedSize = kSizeNotListed);
