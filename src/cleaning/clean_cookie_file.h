// Cleans one cookie file of CookieFolder: logs its expired cookies, then
// leaves it alone, deletes it, or rewrites it with the cookies that are left.
#pragma once

#include <string_view>

#include "platform/platform.h"

// `name` is the file's name within CookieFolder, without any folder, and
// `listed` its stamp as the folder's listing gave it: a file that no longer
// bears it when it is to be deleted or replaced is left alone.
void CleanCookieFile(std::string_view name, const FileStamp& listed);

// Logs a file that could not be read, with the code the log shows for it,
// and counts it as an I/O error.
void ReportUnreadFile(uint32_t code, std::string_view name);
