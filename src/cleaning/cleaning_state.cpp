#include "cleaning/cleaning_state.h"

CleaningCounters Counters;
std::string CookieFolder;
uint32_t CookieFolderError;
FileTime NowFileTime;
std::atomic<bool> StopRequested{false};
