// The main window built from its resources and driven in this process: its
// state after building, the "Process" command with its log in the box, the
// command table, the link colours and every way of closing it, during a run
// too. Every wait is bounded, so that a fault fails its test within seconds.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "cleaning/cleaning_state.h"
#include "log/run_log.h"
#include "platform/platform.h"
#include "scratch_folder.h"
#include "ui/box_lines.h"
#include "ui/dialog_handles.h"
#include "ui/links.h"
#include "ui/log_box.h"
#include "ui/main_dialog_proc.h"
#include "ui/main_window.h"
#include "ui/process_command.h"
#include "ui/resource_ids.h"
#include "ui/shutdown_reason.h"

namespace {

std::string CookieFolderPath;

// The run cleans the test's folder instead of the prefix's real one.
FolderAnswer AnswerTestFolder(char buffer[kMaxPath]) {
  std::string folder = CookieFolderPath.substr(0, CookieFolderPath.size() - 1);
  lstrcpynA(buffer, folder.c_str(), kMaxPath);
  return FolderAnswer::Found;
}

std::string Cookie(const std::string& name, bool expired) {
  const std::string lines[] = {
      name, "value", "example.test/", "1536", "0", expired ? "0" : "2147483647", "0", "0", "*"};
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// Every line the window sink was given, each with its CR LF, noted on its
// way to the box.
std::string Logged;
void (*ShowInTheBox)(LogParts line) = nullptr;
void NoteAndShow(LogParts line) {
  for (std::string_view part : line) Logged.append(part);
  Logged.append("\r\n");
  ShowInTheBox(line);
}

// Long enough for a run of some thousand files on a loaded machine.
constexpr DWORD kLongestWait = 10000;

std::string WindowText(HWND window) {
  std::string text(GetWindowTextLengthA(window) + 1, '\0');
  text.resize(GetWindowTextA(window, &text[0], static_cast<int>(text.size())));
  return text;
}

LOGFONTA FontOf(HWND control) {
  LOGFONTA description = {};
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
  GetObjectA(font, sizeof description, &description);
  return description;
}

HWND ControlNamed(const char* text) {
  for (HWND child = GetWindow(MainDialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (WindowText(child) == text) return child;
  }
  return nullptr;
}

// What the window asked of the system's calls for the shut-down reason.
ShutdownReasonCalls SystemShutdownReason = {};
std::vector<std::string> ReasonCalls;
BOOL WINAPI NoteReasonGiven(HWND window, LPCWSTR reason) {
  bool right = window == MainDialog && std::wstring(reason) == L"Removing expired cookies";
  ReasonCalls.push_back(right ? "given" : "given wrongly");
  return TRUE;
}
BOOL WINAPI NoteReasonWithdrawn(HWND window) {
  ReasonCalls.push_back(window == MainDialog ? "withdrawn" : "withdrawn wrongly");
  return TRUE;
}

// The "Process" button and the shut-down reason seen from inside the run.
struct StateDuringRun {
  std::string Caption;
  bool Enabled = true;
  std::vector<std::string> Reasons;
};
StateDuringRun DuringRun;

uint32_t FindFirstNotingTheButton(const char* pattern, SearchHandle* search, FoundEntry* entry) {
  DuringRun = {WindowText(Controls.Process), IsWindowEnabled(Controls.Process) != FALSE,
               ReasonCalls};
  return NativePlatform.FindFirst(pattern, search, entry);
}

// The run held at its last look at the clock, just before it logs its last
// line, asks for the scroll and ends, until the test lets it go.
struct RunHold {
  HANDLE Reached = nullptr;
  HANDLE Released = nullptr;
  DWORD Thread = 0;
  int Calls = 0;
};
RunHold Held;

uint32_t TickCountHeldAtTheEnd() {
  if (++Held.Calls == 2) {
    Held.Thread = GetCurrentThreadId();
    SetEvent(Held.Reached);
    WaitForSingleObject(Held.Released, kLongestWait);
  }
  return NativePlatform.TickCount();
}

// Called by the window right after it has handed the box what waited: the
// run, held before its last lines, logs them, asks for the scroll and ends
// before the window acts on what it saw of the run.
void LetTheRunEndAfterTheHandOver() {
  AfterHandingLines = nullptr;
  HANDLE run = OpenThread(SYNCHRONIZE, FALSE, Held.Thread);
  SetEvent(Held.Released);
  WaitForSingleObject(run, kLongestWait);
  CloseHandle(run);
}

// A reader who goes back to the first line whenever a piece of the log
// arrives: only the run's final scroll brings the end into view.
WNDPROC BoxProc = nullptr;
LRESULT CALLBACK BackToTheTop(HWND box, UINT message, WPARAM first, LPARAM second) {
  LRESULT result = CallWindowProcA(BoxProc, box, message, first, second);
  if (message == EM_REPLACESEL) CallWindowProcA(BoxProc, box, WM_VSCROLL, SB_TOP, 0);
  return result;
}

// The run's reads wait until the session's end has asked it to stop, so that
// the request meets it in the middle of a file; all of them together for no
// longer than kLongestWait, should it never come.
DWORD FirstHeldRead = 0;
uint32_t ReadAfterTheStopRequest(FileHandle file, char* buffer, uint32_t size, uint32_t* got,
                                 bool* atEnd) {
  if (FirstHeldRead == 0) FirstHeldRead = GetTickCount() | 1;
  SetEvent(Held.Reached);
  while (!StopRequested && GetTickCount() - FirstHeldRead < kLongestWait) Sleep(1);
  return NativePlatform.ReadBlock(file, buffer, size, got, atEnd);
}

// Lead bytes of code page 932, where the second byte of a character may be
// any byte from 0x40 on, that of a backslash included.
bool ShiftJisLeadByte(char byte) {
  auto value = static_cast<unsigned char>(byte);
  return (value >= 0x81 && value <= 0x9F) || (value >= 0xE0 && value <= 0xFC);
}

// What another thread saw of the window, asked every quarter second as
// Windows asks whether a window hangs: whether it answered within a second
// (loose for a loaded machine: bench/window_bench.sh holds the window to a
// quarter second), how long that took, and the log box's line count.
struct ProbeAnswer {
  bool Answered;
  DWORD Milliseconds;
  DWORD_PTR Lines;
};
std::vector<ProbeAnswer> Probes;

// A question to a window that has gone by the time it is answered is none.
// The log box is destroyed before the dialog's own handle goes, so it is the
// one that tells.
DWORD WINAPI ProbeUntilClosed(LPVOID) {
  for (;; Sleep(250)) {
    DWORD_PTR ignored, lines = 0;
    DWORD start = GetTickCount();
    bool answered =
        SendMessageTimeoutA(MainDialog, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored) != 0;
    DWORD took = GetTickCount() - start;
    answered = answered && SendMessageTimeoutA(Controls.Log, EM_GETLINECOUNT, 0, 0, SMTO_NORMAL,
                                               1000, &lines) != 0;
    if (!IsWindow(Controls.Log)) return 0;
    Probes.push_back({answered, took, lines});
  }
}

// The shell's opener, put back after each test; constant-initialised, so
// already set when this is copied.
void (*const ShellOpenLink)(const char*) = OpenLink;

std::string Opened;
void NoteOpenedLink(const char* target) { Opened += target; }

class MainDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CookieFolderPath = Folder.Path;
    Platform = NativePlatform;
    Platform.QueryCookieFolder = AnswerTestFolder;
    LogToFile = false;
    LogToWindow = true;
    Logged.clear();
    Opened.clear();
    OpenLink = NoteOpenedLink;
    SystemShutdownReason = ShutdownReason;
    ASSERT_TRUE(BuildMainWindow());
    ShowInTheBox = LogBox.AppendToBox;
    LogBox.AppendToBox = NoteAndShow;
  }

  void TearDown() override {
    if (Held.Released != nullptr) SetEvent(Held.Released);
    AwaitCleaningRun();
    for (HANDLE event : {Held.Reached, Held.Released})
      if (event != nullptr) CloseHandle(event);
    Held = RunHold{};
    FirstHeldRead = 0;
    AfterHandingLines = nullptr;
    StopRequested = false;
    if (IsWindow(MainDialog)) DestroyWindow(MainDialog);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    DeleteWindowFonts();
    Platform = NativePlatform;
    OpenLink = ShellOpenLink;
    ShutdownReason = SystemShutdownReason;
    LogToWindow = false;
    LogBox = LogBoxHooks{nullptr, nullptr};
  }

  static void ClickProcess() { SendMessageA(Controls.Process, BM_CLICK, 0, 0); }

  // Serves the window's messages, as its loop would, until `done` holds or
  // kLongestWait has passed.
  template <typename Condition>
  static void ServeWindowUntil(Condition done) {
    for (DWORD start = GetTickCount(); !done() && GetTickCount() - start < kLongestWait;) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
  }

  static bool ShowsDone() { return WindowText(Controls.Process) == "Done"; }
  static bool ShowsTheWholeLog() { return WindowText(Controls.Log) == BoxText(Logged); }

  // The run goes on in a thread of its own while the window's messages are
  // served, until the button reads "Done" and the box, which may take longer,
  // holds the whole log.
  static void ProcessToTheEnd() {
    ClickProcess();
    ServeWindowUntil(ShowsDone);
    ServeWindowUntil(ShowsTheWholeLog);
  }

  static HWND ExitButton() { return GetDlgItem(MainDialog, IDCANCEL); }

  // True when the box shows the last line of the log. The text ends with CR
  // LF, after which the box has one more, empty line.
  static bool LastLineInView() {
    LRESULT lines = SendMessageA(Controls.Log, EM_GETLINECOUNT, 0, 0);
    LRESULT start = SendMessageA(Controls.Log, EM_LINEINDEX, lines - 2, 0);
    LRESULT position = SendMessageA(Controls.Log, EM_POSFROMCHAR, start, 0);
    RECT client;
    GetClientRect(Controls.Log, &client);
    int y = static_cast<short>(HIWORD(position));
    return position != -1 && y >= 0 && y < client.bottom;
  }

  ScratchFolder Folder;
};

TEST_F(MainDialogTest, OpensReadyWithItsCaptionFontsIconAndCursor) {
  EXPECT_TRUE(IsWindowVisible(MainDialog));
  EXPECT_EQ(WindowText(MainDialog), "Quillfen v.1.03");
  EXPECT_NE(SendMessageA(MainDialog, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_EQ(WindowText(Controls.Process), "Process");
  EXPECT_TRUE(IsWindowEnabled(Controls.Process));
  EXPECT_EQ(GetFocus(), Controls.Process);
  EXPECT_EQ(WindowText(Controls.Log), "");

  // The tab stops are "Process", "Exit" and the log box, in that order.
  EXPECT_EQ(GetNextDlgTabItem(MainDialog, Controls.Process, FALSE), ExitButton());
  EXPECT_EQ(GetNextDlgTabItem(MainDialog, ExitButton(), FALSE), Controls.Log);
  EXPECT_EQ(GetNextDlgTabItem(MainDialog, Controls.Log, FALSE), Controls.Process);

  LOGFONTA title = FontOf(GetDlgItem(MainDialog, IDC_TITLE));
  EXPECT_EQ(title.lfHeight, 22);
  EXPECT_EQ(title.lfWeight, FW_BOLD);
  EXPECT_EQ(title.lfCharSet, DEFAULT_CHARSET);
  EXPECT_STREQ(title.lfFaceName, "Arial");

  LOGFONTA gui = {};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  for (HWND link : {Controls.WebLink, Controls.MailLink}) {
    LOGFONTA font = FontOf(link);
    EXPECT_EQ(font.lfUnderline, 1);
    EXPECT_STREQ(font.lfFaceName, gui.lfFaceName);
    EXPECT_EQ(font.lfHeight, gui.lfHeight);
  }
  for (const char* label : {"Visit web-site:", "Support Email:"}) {
    HWND control = ControlNamed(label);
    ASSERT_NE(control, nullptr) << label;
    EXPECT_EQ(FontOf(control).lfUnderline, 0) << label;
  }

  HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
  EXPECT_EQ(GetClassLongPtrA(Controls.WebLink, GCLP_HCURSOR), reinterpret_cast<ULONG_PTR>(hand));
}

TEST_F(MainDialogTest, ProcessRunsOneCleaningIntoTheBox) {
  Folder.Write("alice@shop.example[1].txt", Cookie("cart", true) + Cookie("login", false));
  Folder.Write("alice@news.example[1].txt", Cookie(std::string("se\0ssion", 8), true));
  Platform.FindFirst = FindFirstNotingTheButton;
  ReasonCalls.clear();
  ShutdownReason = {NoteReasonGiven, NoteReasonWithdrawn};

  ProcessToTheEnd();

  EXPECT_EQ(DuringRun.Caption, "Working");
  EXPECT_FALSE(DuringRun.Enabled);
  EXPECT_EQ(DuringRun.Reasons, std::vector<std::string>{"given"});
  EXPECT_EQ(ReasonCalls, (std::vector<std::string>{"given", "withdrawn"}));
  EXPECT_EQ(WindowText(Controls.Process), "Done");
  EXPECT_FALSE(IsWindowEnabled(Controls.Process));
  EXPECT_EQ(GetFocus(), ExitButton());

  EXPECT_NE(Logged.find("Cookies folder: " + Folder.Path + "\r\n"), std::string::npos);
  EXPECT_NE(Logged.find(std::string("cookie: se\0ssion\r\n", 18)), std::string::npos);
  EXPECT_FALSE(Folder.Exists("alice@news.example[1].txt"));
  // Every line shows, the ones after the zero byte included.
  std::string box = WindowText(Controls.Log);
  EXPECT_EQ(box, BoxText(Logged));
  EXPECT_NE(box.find("cookie: se\\0ssion\r\n"), std::string::npos);
  EXPECT_NE(box.find("Working time: "), std::string::npos);
  EXPECT_TRUE(LastLineInView());
}

TEST_F(MainDialogTest, BoxHoldsTheWholeLogOf20000ExpiredCookies) {
  constexpr int kFiles = 100;
  constexpr int kCookiesPerFile = 200;
  for (int file = 0; file < kFiles; ++file) {
    std::string cookies;
    for (int i = 0; i < kCookiesPerFile; ++i) cookies += Cookie("c" + std::to_string(i), true);
    Folder.Write("site" + std::to_string(file) + ".txt", cookies);
  }
  // Under Wine, drawing the scroll bar for every line of a box on screen
  // costs milliseconds; what the box holds does not depend on it.
  ShowWindow(MainDialog, SW_HIDE);

  ProcessToTheEnd();

  EXPECT_NE(Logged.find("\r\n20000. File: "), std::string::npos);
  EXPECT_NE(Logged.find("100 files with 20000 expired cookies found."), std::string::npos);
  std::string box = WindowText(Controls.Log);
  EXPECT_EQ(box.size(), Logged.size());
  EXPECT_TRUE(box == Logged) << "the box differs from the log";
  size_t lines = 0;
  for (size_t at = box.find("\r\n"); at != std::string::npos; at = box.find("\r\n", at + 2))
    ++lines;
  EXPECT_EQ(SendMessageA(Controls.Log, EM_GETLINECOUNT, 0, 0), static_cast<LRESULT>(lines + 1));
  EXPECT_TRUE(LastLineInView());
}

struct CommandCase {
  const char* What;
  WORD Id;
  WORD Code;
  INT_PTR Result;
  const char* Opens;
};

TEST_F(MainDialogTest, CommandsActOnlyOnTheirOwnNotification) {
  const CommandCase cases[] = {
      {"OK", IDOK, BN_CLICKED, 0, ""},
      {"identifier 0", 0, BN_CLICKED, 0, ""},
      {"Process double-click", IDC_PROCESS, BN_DOUBLECLICKED, 0, ""},
      {"web link click", IDC_WEBLINK, STN_CLICKED, 1, kWebLinkTarget},
      {"web link double-click", IDC_WEBLINK, STN_DBLCLK, 0, ""},
      {"mail link click", IDC_MAILLINK, STN_CLICKED, 1, kMailLinkTarget},
      {"mail link double-click", IDC_MAILLINK, STN_DBLCLK, 0, ""},
      {"log box change", IDC_LOG, EN_CHANGE, 0, ""},
      {"title click", IDC_TITLE, STN_CLICKED, 0, ""},
  };
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.What);
    Opened.clear();
    EXPECT_EQ(MainDialogProc(MainDialog, WM_COMMAND, MAKEWPARAM(c.Id, c.Code), 0), c.Result);
    EXPECT_EQ(Opened, c.Opens);
  }
  EXPECT_EQ(MainDialogProc(MainDialog, WM_INITDIALOG, 0, 0), TRUE);
  EXPECT_EQ(MainDialogProc(MainDialog, WM_CLOSE, 0, 0), FALSE);
  EXPECT_TRUE(IsWindow(MainDialog));
  EXPECT_TRUE(Logged.empty());
  EXPECT_EQ(WindowText(Controls.Process), "Process");
}

// Only the system's own calls can give the reason: looked up by another
// name, they would be missing, and the reason silently never given.
TEST(MainDialogShutdownReason, IsTheSystemsOwnCalls) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  void* create = reinterpret_cast<void*>(GetProcAddress(user32, "ShutdownBlockReasonCreate"));
  void* destroy = reinterpret_cast<void*>(GetProcAddress(user32, "ShutdownBlockReasonDestroy"));
  ASSERT_NE(create, nullptr);
  ASSERT_NE(destroy, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(ShutdownReason.Create), create);
  EXPECT_EQ(reinterpret_cast<void*>(ShutdownReason.Destroy), destroy);
}

TEST(LinkTargets, HaveTheFormTheMakerPublishes) {
  std::string web = kWebLinkTarget;
  EXPECT_EQ(web.rfind("http://", 0), 0u);
  EXPECT_NE(web.find(".example/tools/?from=QFN_1.03"), std::string::npos);
  EXPECT_EQ(web.substr(web.size() - 14), "?from=QFN_1.03");
  std::string mail = kMailLinkTarget;
  EXPECT_EQ(mail.rfind("mailto:", 0), 0u);
  EXPECT_NE(mail.find(".example?"), std::string::npos);
  EXPECT_EQ(mail.substr(mail.find('?')), "?subject=Quillfen%20v.1.03");
}

TEST_F(MainDialogTest, LinksArePaintedBlueOnWhateverLiesBehind) {
  HDC dc = CreateCompatibleDC(nullptr);
  for (HWND link : {Controls.WebLink, Controls.MailLink}) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, OPAQUE);
    INT_PTR brush = MainDialogProc(MainDialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(link));
    EXPECT_EQ(brush, reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  }
  SetTextColor(dc, RGB(0, 0, 0));
  EXPECT_EQ(MainDialogProc(MainDialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(GetDlgItem(MainDialog, IDC_TITLE))),
            0);
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  DeleteDC(dc);
}

// Each way of closing is posted as the system would deliver it; the message
// loop must then end with the window destroyed.
enum class CloseBy { EscapeKey, ExitButton, CloseBox, AltF4 };

class MainDialogCloseTest : public MainDialogTest, public ::testing::WithParamInterface<CloseBy> {};

TEST_P(MainDialogCloseTest, EndsTheMessageLoop) {
  constexpr LPARAM kAltDown = 1 << 29;
  switch (GetParam()) {
    case CloseBy::EscapeKey: PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1); break;
    case CloseBy::ExitButton: PostMessageA(ExitButton(), BM_CLICK, 0, 0); break;
    case CloseBy::CloseBox: PostMessageA(MainDialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    case CloseBy::AltF4: PostMessageA(GetFocus(), WM_SYSKEYDOWN, VK_F4, kAltDown | 1); break;
  }
  RunMessageLoop();
  EXPECT_FALSE(IsWindow(MainDialog));
}

INSTANTIATE_TEST_SUITE_P(AllWays, MainDialogCloseTest,
                         ::testing::Values(CloseBy::EscapeKey, CloseBy::ExitButton,
                                           CloseBy::CloseBox, CloseBy::AltF4));

TEST_F(MainDialogTest, ClosesAfterARunToo) {
  ProcessToTheEnd();
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
  RunMessageLoop();
  EXPECT_FALSE(IsWindow(MainDialog));
}

// Every question answered, and the box's line count, which only grows.
std::vector<DWORD_PTR> ExpectAllAnswered() {
  std::vector<DWORD_PTR> lines;
  DWORD slowest = 0;
  std::string seen;
  for (const ProbeAnswer& answer : Probes) {
    EXPECT_TRUE(answer.Answered) << "question " << lines.size() + 1;
    lines.push_back(answer.Lines);
    slowest = std::max(slowest, answer.Milliseconds);
    seen += " " + std::to_string(answer.Lines);
  }
  std::printf("answers within %lu ms; line counts%s\n", slowest, seen.c_str());
  EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
  return lines;
}

// A run of 3,000 files watched from another thread; Escape, pressed when the
// run has begun, closes the window once the run has ended.
TEST_F(MainDialogTest, AnswersAndShowsTheLogAllThroughALongRun) {
  for (int file = 0; file < 3000; ++file)
    Folder.Write("site" + std::to_string(file) + ".txt",
                 Cookie("a", true) + Cookie("b", true) + Cookie("c", false));
  Probes.clear();
  ClickProcess();
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
  DWORD id;
  HANDLE probe = CreateThread(nullptr, 0, ProbeUntilClosed, nullptr, 0, &id);
  RunMessageLoop();
  WaitForSingleObject(probe, kLongestWait);
  CloseHandle(probe);

  std::vector<DWORD_PTR> lines = ExpectAllAnswered();
  EXPECT_GE(Probes.size(), 5u);
  EXPECT_GE(std::set<DWORD_PTR>(lines.begin(), lines.end()).size(), 3u);
  EXPECT_FALSE(IsWindow(MainDialog));
  EXPECT_NE(Logged.find("3000 files with 6000 expired cookies found."), std::string::npos);
  for (int file = 0; file < 3000; file += 999)
    EXPECT_EQ(Folder.Read("site" + std::to_string(file) + ".txt"), Cookie("c", false));
}

// Lines of 4,000 bytes without a blank, each of which the box wraps over
// some sixty rows: the window answers all through the run, and Escape,
// pressed once "Done" shows, closes it at once, while the box may still be
// taking the last of them.
TEST_F(MainDialogTest, AnswersThroughLongUnbrokenLinesAndClosesAtOnceWhenDone) {
  for (int file = 0; file < 200; ++file)
    Folder.Write("site" + std::to_string(file) + ".txt", Cookie(std::string(4000, 'n'), true));
  Probes.clear();
  ClickProcess();
  DWORD id;
  HANDLE probe = CreateThread(nullptr, 0, ProbeUntilClosed, nullptr, 0, &id);
  ServeWindowUntil(ShowsDone);
  ASSERT_TRUE(ShowsDone());
  DWORD pressed = GetTickCount();
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
  RunMessageLoop();
  DWORD closing = GetTickCount() - pressed;
  WaitForSingleObject(probe, kLongestWait);
  CloseHandle(probe);

  ExpectAllAnswered();
  EXPECT_GE(Probes.size(), 2u);
  EXPECT_LT(closing, 2000u);
  EXPECT_NE(Logged.find("200 files with 200 expired cookies found."), std::string::npos);
  EXPECT_TRUE(Folder.Names().empty());
}

// The run wakes the window once a piece's worth of lines waits for the box,
// and only once until the window has taken them; fewer lines wait for the
// window's timer.
TEST_F(MainDialogTest, WakesTheWindowOnceWhenAPieceOfTheLogWaits) {
  auto wakes = [] {
    int count = 0;
    MSG message;
    while (PeekMessageA(&message, MainDialog, kLogWaiting, kLogWaiting, PM_REMOVE)) ++count;
    return count;
  };
  const std::string line(998, 'w');
  for (int i = 0; i < 10; ++i) LogLine(line);
  EXPECT_EQ(wakes(), 0);
  for (size_t i = 0; i < 3 * kWakeAt / 1000; ++i) LogLine(line);
  EXPECT_EQ(wakes(), 1);
  HandLogToBox(0);
  for (size_t i = 0; i < 2 * kWakeAt / 1000; ++i) LogLine(line);
  EXPECT_EQ(wakes(), 1);
  for (int piece = 0; piece < 1000 && !HandLogToBox(kLongestWait); ++piece) {
  }
  EXPECT_TRUE(ShowsTheWholeLog());
}

// Clicks and every way of closing during a run wait for it: no second run,
// and the window closes as soon as the run has ended, its work done.
TEST_F(MainDialogTest, ClicksAndClosingDuringARunWaitForIt) {
  for (int file = 0; file < 200; ++file)
    Folder.Write("site" + std::to_string(file) + ".txt", Cookie("c", true));
  ClickProcess();
  EXPECT_EQ(GetFocus(), ExitButton());
  ClickProcess();
  SendMessageA(MainDialog, WM_COMMAND, MAKEWPARAM(IDC_PROCESS, BN_CLICKED), 0);
  SendMessageA(MainDialog, WM_COMMAND, IDCANCEL, 0);
  SendMessageA(MainDialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(IsWindow(MainDialog));
  RunMessageLoop();
  EXPECT_FALSE(IsWindow(MainDialog));
  EXPECT_EQ(Logged.find("started."), Logged.rfind("started."));
  EXPECT_NE(Logged.find("200 files with 200 expired cookies found."), std::string::npos);
  EXPECT_FALSE(Folder.Exists("site199.txt"));
}

// The window shows all the run logged while the run is held before its last
// lines; the run then logs them, asks for the scroll and ends just after the
// window has handed the box what waited, before it looks at the run. Once it
// sees the end, the window must still take what waits, and scroll to the
// end of the log, away from a reader at its top.
TEST_F(MainDialogTest, ShowsTheLastLinesAndTheEndOnceTheRunHasGone) {
  for (int file = 0; file < 100; ++file)
    Folder.Write("site" + std::to_string(file) + ".txt", Cookie("c", true));
  BoxProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(Controls.Log, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BackToTheTop)));
  Held.Reached = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Held.Released = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Platform.TickCount = TickCountHeldAtTheEnd;
  ClickProcess();
  ASSERT_EQ(WaitForSingleObject(Held.Reached, kLongestWait), WAIT_OBJECT_0);
  ServeWindowUntil(ShowsTheWholeLog);
  EXPECT_EQ(WindowText(Controls.Process), "Working");
  EXPECT_EQ(SendMessageA(Controls.Log, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

  AfterHandingLines = LetTheRunEndAfterTheHandOver;
  ServeWindowUntil(ShowsDone);
  ServeWindowUntil(ShowsTheWholeLog);

  std::string box = WindowText(Controls.Log);
  EXPECT_EQ(box, BoxText(Logged));
  EXPECT_NE(box.find("\r\nWorking time: "), std::string::npos);
  EXPECT_GT(SendMessageA(Controls.Log, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  EXPECT_TRUE(LastLineInView());
}

// Log lines of exactly the cut's length, and of that length with a zero byte,
// which the box shows as two characters; one byte longer; and one with a
// cookie name of 200 KB, longer than a piece of the hand-over, in double-byte
// characters after one single-byte one, which puts the cut inside a
// character. The box shows the first two whole, the third cut at the cut's
// length and the fourth at the whole character before it, both with the
// mark, and every other line whole. The files keep their other cookies.
TEST_F(MainDialogTest, CutsALongLineInTheBoxAtAWholeCharacter) {
  Platform.IsLeadByte = ShiftJisLeadByte;
  // "N. File: a.txt, cookie: " before each name.
  const size_t before = 24;
  std::string zero(kLongestBoxLine - before, 'z');
  zero[1] = '\0';
  std::string wide = "x";
  for (int i = 0; i < 100000; ++i) wide += "\x83\x5c";
  const std::pair<const char*, std::string> files[] = {
      {"a.txt", std::string(kLongestBoxLine - before, 'a')},
      {"b.txt", std::string(kLongestBoxLine + 1 - before, 'b')},
      {"c.txt", wide},
      {"d.txt", zero},
  };
  for (const auto& [file, name] : files)
    Folder.Write(file, Cookie(name, true) + Cookie("kept", false));
  ProcessToTheEnd();

  ASSERT_EQ(WindowText(Controls.Process), "Done");
  std::string shown;
  for (size_t start = 0, end; (end = Logged.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    std::string line = Logged.substr(start, end - start);
    if (line.find("b.txt, cookie: ") != std::string::npos) {
      line = line.substr(0, kLongestBoxLine) + std::string(kCutMark);
    } else if (line.find("c.txt, cookie: ") != std::string::npos) {
      line = line.substr(0, kLongestBoxLine - 1) + std::string(kCutMark);
    } else if (line.find("d.txt, cookie: ") != std::string::npos) {
      line.replace(line.find('\0'), 1, "\\0");
    }
    shown += line + "\r\n";
  }
  EXPECT_NE(shown.find(files[0].second + "\r\n"), std::string::npos);
  EXPECT_TRUE(WindowText(Controls.Log) == shown) << "the box differs from the log cut short";
  for (const auto& file : files) EXPECT_EQ(Folder.Read(file.first), Cookie("kept", false));
  EXPECT_TRUE(LastLineInView());
}

// Before the run and after it the window lets a log-off go on. During the
// run it asks the system to wait; when the session ends all the same, the
// run, met in the middle of a file, finishes that file and stops before
// WM_ENDSESSION returns, with no working copy left and the Low folder
// untouched, and logs no summary of a whole run.
TEST_F(MainDialogTest, ALogOffWaitsForTheRunOrStopsItBetweenFiles) {
  const std::string bytes = Cookie("old", true) + Cookie("kept", false);
  for (int file = 0; file < 20; ++file) Folder.Write("site" + std::to_string(file) + ".txt", bytes);
  Folder.MakeFolder("Low");
  Folder.Write("Low\\low.txt", bytes);
  EXPECT_EQ(SendMessageA(MainDialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  Held.Reached = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Platform.ReadBlock = ReadAfterTheStopRequest;
  ClickProcess();
  ASSERT_EQ(WaitForSingleObject(Held.Reached, kLongestWait), WAIT_OBJECT_0);

  EXPECT_EQ(SendMessageA(MainDialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
  SendMessageA(MainDialog, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);

  EXPECT_FALSE(CleaningRunGoingOn());
  size_t firstCookie = Logged.find("\r\n1. File: site");
  EXPECT_EQ(Logged.substr(Logged.find("\r\n", firstCookie + 2)), "\r\nProcess stopped.\r\n");
  int cleaned = 0;
  for (int file = 0; file < 20; ++file) {
    std::string now = Folder.Read("site" + std::to_string(file) + ".txt");
    EXPECT_TRUE(now == bytes || now == Cookie("kept", false)) << file;
    cleaned += now != bytes;
  }
  EXPECT_EQ(cleaned, 1);
  EXPECT_EQ(Folder.Names().size(), 21u);
  EXPECT_EQ(Folder.Read("Low\\low.txt"), bytes);
  ServeWindowUntil(ShowsDone);
  EXPECT_EQ(SendMessageA(MainDialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  ServeWindowUntil(ShowsTheWholeLog);
  EXPECT_EQ(WindowText(Controls.Log), BoxText(Logged));
}

}  // namespace
