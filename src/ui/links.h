// Where the two link texts of the main window lead.
#pragma once

extern const char kWebLinkTarget[];
extern const char kMailLinkTarget[];

// Opens an address with the program the system has registered for it. A test
// may put a recorder in its place.
extern void (*OpenLink)(const char* target);
