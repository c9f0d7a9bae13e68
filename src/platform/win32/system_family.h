// Also used by the Windows-only layers above the platform (shell and ui).
//
// Which of the system's two sets of calls the program's own code makes. The
// NT family keeps names in Unicode and is asked in Unicode. The 9x family
// keeps them in the ANSI code page and has most wide calls only as stubs,
// which answer in ways nothing documents, so it is asked in ANSI alone,
// whatever a wide call would answer there.
#pragma once

// Decided once per process, from the platform id of the version record.
bool AsksInUnicode();
