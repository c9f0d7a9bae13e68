#include "resource_reader.h"

#include <cstring>
#include <stdexcept>

namespace {

// A cursor over little-endian resource data that refuses to read past it.
class Reader {
 public:
  explicit Reader(const std::string& bytes) : Bytes(bytes) {}

  template <typename T>
  T Take() {
    Need(sizeof(T));
    T value;
    std::memcpy(&value, Bytes.data() + At, sizeof(T));
    At += sizeof(T);
    return value;
  }

  // A zero-ended UTF-16 text; the texts here are all ASCII.
  std::string TakeText() {
    std::string text;
    for (WORD c = Take<WORD>(); c != 0; c = Take<WORD>()) text.push_back(static_cast<char>(c));
    return text;
  }

  // A text, or an ordinal marked by 0xFFFF.
  TemplateName TakeName() {
    Need(sizeof(WORD));
    WORD first;
    std::memcpy(&first, Bytes.data() + At, sizeof first);
    if (first != 0xFFFF) return TakeText();
    At += sizeof first;
    return "#" + std::to_string(Take<WORD>());
  }

  void AlignTo4() { At = (At + 3) & ~size_t{3}; }
  void Skip(size_t count) {
    Need(count);
    At += count;
  }
  size_t Position() const { return At; }

 private:
  void Need(size_t count) const {
    if (At + count > Bytes.size()) throw std::out_of_range("resource data ends early");
  }

  const std::string& Bytes;
  size_t At = 0;
};

DialogItem TakeDialogItem(Reader& in) {
  in.AlignTo4();
  DialogItem item;
  item.HelpId = in.Take<DWORD>();
  item.ExStyle = in.Take<DWORD>();
  item.Style = in.Take<DWORD>();
  item.X = in.Take<short>();
  item.Y = in.Take<short>();
  item.Width = in.Take<short>();
  item.Height = in.Take<short>();
  item.Id = in.Take<DWORD>();
  item.Class = in.TakeName();
  item.Text = in.TakeName();
  item.CreationDataSize = in.Take<WORD>();
  in.Skip(item.CreationDataSize);
  return item;
}

// One node of a version block: length, value length, type, key, then value
// and children, each aligned to four bytes.
struct VersionNode {
  size_t End;
  WORD ValueLength;
  WORD Type;
  std::string Key;
};

VersionNode TakeVersionNode(Reader& in) {
  in.AlignTo4();
  size_t start = in.Position();
  VersionNode node;
  node.End = start + in.Take<WORD>();
  node.ValueLength = in.Take<WORD>();
  node.Type = in.Take<WORD>();
  node.Key = in.TakeText();
  in.AlignTo4();
  return node;
}

std::vector<std::pair<std::string, std::string>> TakeStrings(Reader& in, size_t end) {
  std::vector<std::pair<std::string, std::string>> strings;
  while (in.Position() < end) {
    VersionNode node = TakeVersionNode(in);
    std::string value = node.ValueLength == 0 ? std::string() : in.TakeText();
    strings.emplace_back(node.Key, value);
    in.Skip(node.End - in.Position());
  }
  return strings;
}

void TakeStringFileInfo(Reader& in, size_t end, VersionBlock& block) {
  while (in.Position() < end) {
    VersionNode table = TakeVersionNode(in);
    block.Tables.emplace_back(table.Key, TakeStrings(in, table.End));
  }
}

void TakeVarFileInfo(Reader& in, size_t end, VersionBlock& block) {
  while (in.Position() < end) {
    VersionNode var = TakeVersionNode(in);
    for (WORD i = 0; i < var.ValueLength / sizeof(DWORD); ++i) {
      WORD language = in.Take<WORD>();
      WORD codePage = in.Take<WORD>();
      block.Translations.push_back(MAKELONG(codePage, language));
    }
    in.Skip(var.End - in.Position());
  }
}

BOOL CALLBACK CountLanguage(HMODULE, LPCSTR, LPCSTR, WORD, LONG_PTR counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

}  // namespace

std::string ResourceBytes(const char* type, int id, WORD language) {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceExA(self, type, MAKEINTRESOURCEA(id), language);
  if (found == nullptr) return std::string();
  const char* data = static_cast<const char*>(LockResource(LoadResource(self, found)));
  return std::string(data, SizeofResource(self, found));
}

int ResourceLanguageCount(const char* type, int id) {
  int count = 0;
  EnumResourceLanguagesA(GetModuleHandleA(nullptr), type, MAKEINTRESOURCEA(id), CountLanguage,
                         reinterpret_cast<LONG_PTR>(&count));
  return count;
}

DialogTemplate ParseDialogTemplate(const std::string& bytes) {
  Reader in(bytes);
  DialogTemplate dialog;
  dialog.Version = in.Take<WORD>();
  dialog.Signature = in.Take<WORD>();
  dialog.HelpId = in.Take<DWORD>();
  dialog.ExStyle = in.Take<DWORD>();
  dialog.Style = in.Take<DWORD>();
  WORD count = in.Take<WORD>();
  dialog.X = in.Take<short>();
  dialog.Y = in.Take<short>();
  dialog.Width = in.Take<short>();
  dialog.Height = in.Take<short>();
  dialog.Menu = in.TakeName();
  dialog.Class = in.TakeName();
  dialog.Caption = in.TakeText();
  dialog.PointSize = in.Take<WORD>();
  dialog.Weight = in.Take<WORD>();
  dialog.Italic = in.Take<BYTE>();
  dialog.CharSet = in.Take<BYTE>();
  dialog.Face = in.TakeText();
  for (WORD i = 0; i < count; ++i) dialog.Items.push_back(TakeDialogItem(in));
  return dialog;
}

VersionBlock ParseVersionBlock(const std::string& bytes) {
  Reader in(bytes);
  VersionNode root = TakeVersionNode(in);
  if (root.Key != "VS_VERSION_INFO" || root.ValueLength != sizeof(VS_FIXEDFILEINFO))
    throw std::runtime_error("not a version block");
  VersionBlock block;
  block.Fixed = in.Take<VS_FIXEDFILEINFO>();
  while (in.Position() < root.End) {
    VersionNode child = TakeVersionNode(in);
    if (child.Key == "StringFileInfo") {
      TakeStringFileInfo(in, child.End, block);
    } else if (child.Key == "VarFileInfo") {
      TakeVarFileInfo(in, child.End, block);
    }
    in.Skip(child.End - in.Position());
  }
  return block;
}
