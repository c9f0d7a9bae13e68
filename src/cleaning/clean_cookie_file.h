// Cleans one cookie file of CookieFolder: logs its expired cookies, then
// leaves it alone, deletes it, or rewrites it with the cookies that are left.
#pragma once

#include <string_view>

// `name` is the file's name within CookieFolder, without any folder.
void CleanCookieFile(std::string_view name);
