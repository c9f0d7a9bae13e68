#include "cleaning/cleaning_state.h"

CleaningCounters Counters;
std::string CookieFolder;
FileTime NowFileTime;
