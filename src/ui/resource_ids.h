// Identifiers shared by the resource script and the window code; plain macros
// because the resource compiler reads this file too.
#pragma once

#define IDD_MAIN 101
#define IDI_MAIN 1

#define IDC_LOG 1000
#define IDC_PROCESS 1002
#define IDC_TITLE 1011
#define IDC_WEBLINK 1013
#define IDC_MAILLINK 1014

// What the link texts show; the addresses they open are in ui/links.h.
#define WEB_LINK_CAPTION "vsw.example/tools"
#define MAIL_LINK_CAPTION "help@vsw.example"
