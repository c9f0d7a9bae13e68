// Keeps the DLLs that the process loads after start-up out of the folder it
// was started from (often a Downloads folder that anyone can drop files into).
#pragma once

// Limits the DLL search to the system folder where the system allows it;
// systems that have neither way of doing so search as before. Call it first.
void GuardDllSearch();
