#include "platform/win32/ansi_names.h"

#include <cstring>
#include <cwchar>

#include "platform/platform.h"

namespace {

// The test of exactness is the way back: the ANSI calls turn a name into
// Unicode with the same table, so a name that comes back as it went leads
// where the Unicode one does. It holds for every code page, double-byte and
// UTF-8 ones included, where flags such as WC_NO_BEST_FIT_CHARS are refused.
// A byte gives at most one unit, so `ansiLength` units hold the way back.
bool ComesBackAs(const char* ansi, int ansiLength, const wchar_t* wide, int wideLength) {
  wchar_t name[kMaxPath];
  std::wstring longer;
  wchar_t* back = name;
  if (ansiLength > static_cast<int>(kMaxPath)) {
    longer.resize(static_cast<size_t>(ansiLength));
    back = &longer[0];
  }
  int length = MultiByteToWideChar(CP_ACP, 0, ansi, ansiLength, back, ansiLength);
  return length == wideLength && std::wmemcmp(back, wide, static_cast<size_t>(wideLength)) == 0;
}

int CharacterUnits(const wchar_t* at) {
  return IS_HIGH_SURROGATE(at[0]) && IS_LOW_SURROGATE(at[1]) ? 2 : 1;
}

}  // namespace

bool ToAnsiExactly(const wchar_t* wide, char* ansi, int size) {
  int wideLength = static_cast<int>(std::wcslen(wide));
  if (wideLength == 0) {
    ansi[0] = '\0';
    return true;
  }
  int length = WideCharToMultiByte(CP_ACP, 0, wide, wideLength, ansi, size - 1, nullptr, nullptr);
  if (length == 0 || !ComesBackAs(ansi, length, wide, wideLength)) return false;
  ansi[length] = '\0';
  return true;
}

bool ToAnsiExactly(std::wstring_view wide, std::string& ansi) {
  auto wideLength = static_cast<int>(wide.size());
  int length =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  ansi.assign(static_cast<size_t>(length), '\0');
  if (length != 0) {
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, &ansi[0], length, nullptr, nullptr);
  }
  return length != 0 ? ComesBackAs(ansi.data(), length, wide.data(), wideLength) : wide.empty();
}

// Character by character, so that one the code page lacks costs only itself.
// Only names that did not convert exactly come here.
void ToAnsiShown(const wchar_t* wide, char* ansi, int size) {
  int used = 0;
  for (const wchar_t* at = wide; *at != L'\0';) {
    int units = CharacterUnits(at);
    char bytes[8];
    int length = WideCharToMultiByte(CP_ACP, 0, at, units, bytes, sizeof bytes, nullptr, nullptr);
    if (length == 0 || !ComesBackAs(bytes, length, at, units)) {
      bytes[0] = '?';
      length = 1;
    }
    if (used + length >= size) break;
    std::memcpy(ansi + used, bytes, static_cast<size_t>(length));
    used += length;
    at += units;
  }
  ansi[used] = '\0';
}

// MB_ERR_INVALID_CHARS: a byte that is no character of the code page fails
// the conversion rather than turning into a character the path did not hold.
bool ToWide(const char* ansi, std::wstring& wide) {
  int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi, -1, nullptr, 0);
  if (length == 0) return false;
  wide.assign(static_cast<size_t>(length), L'\0');
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi, -1, &wide[0], length) != length) {
    return false;
  }
  wide.resize(wide.size() - 1);
  return true;
}
