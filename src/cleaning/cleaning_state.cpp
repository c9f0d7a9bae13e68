#include "cleaning/cleaning_state.h"

CleaningCounters Counters;
std::string CookieFolder;
FileTime NowFileTime;
std::atomic<bool> StopRequested{false};
