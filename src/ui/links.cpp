#include "ui/links.h"

#include <windows.h>
// Needs the types of windows.h.
#include <shellapi.h>

const char kWebLinkTarget[] = "http://vsw.example/tools/?from=QFN_1.03";
const char kMailLinkTarget[] = "mailto:help@vsw.example?subject=Quillfen%20v.1.03";

namespace {

// Nothing is said when the address cannot be opened: the link simply does
// nothing on a machine without a browser or mail program.
void OpenWithShell(const char* target) {
  ShellExecuteA(nullptr, nullptr, target, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

void (*OpenLink)(const char* target) = OpenWithShell;
