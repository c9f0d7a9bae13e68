// The resources compiled into the executable, checked field by field against
// the layout the window is built from: dialog 101 and its ten controls, icon
// group 1, the version block and the manifest.
#include <gtest/gtest.h>

#include "resource_reader.h"
#include "ui/resource_ids.h"

namespace {

const WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
const WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const char* const kManifestType = MAKEINTRESOURCEA(24);

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

struct ExpectedItem {
  DWORD Id;
  const char* Class;
  const char* Text;  // nullptr: the maker's own text, checked apart
  short X, Y, Width, Height;
  DWORD Style;
  DWORD ExStyle;
};

// Predefined classes are written as ordinals: 0x80 BUTTON, 0x81 EDIT, 0x82 STATIC.
const ExpectedItem kItems[] = {
    {1011, "#130", "Quillfen", 2, 2, 306, 15, kChild | WS_GROUP | SS_CENTER | SS_CENTERIMAGE,
     WS_EX_TRANSPARENT},
    {65535, "#130", nullptr, 4, 213, 306, 10, kChild | SS_CENTER, 0},
    {65535, "#128", "More Info", 3, 173, 305, 38, kChild | BS_GROUPBOX, 0},
    {65535, "#130", "Visit web-site:", 7, 184, 65, 10, kChild | WS_GROUP | SS_LEFT,
     WS_EX_TRANSPARENT},
    {1013, "#130", WEB_LINK_CAPTION, 125, 184, 97, 10, kChild | SS_NOTIFY | SS_LEFT,
     WS_EX_TRANSPARENT},
    {1002, "#128", "Process", 73, 148, 78, 19, kChild | WS_TABSTOP | BS_PUSHBUTTON, 0},
    {2, "#128", "Exit", 160, 148, 78, 19, kChild | WS_TABSTOP | BS_PUSHBUTTON, 0},
    {1000, "#129", "", 3, 20, 305, 121,
     kChild | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_LEFT | ES_MULTILINE | ES_READONLY, 0},
    {65535, "#130", "Support Email:", 7, 197, 67, 11, kChild | WS_GROUP | SS_LEFT, 0},
    {1014, "#130", MAIL_LINK_CAPTION, 125, 197, 67, 10, kChild | SS_NOTIFY | SS_LEFT,
     WS_EX_TRANSPARENT},
};

TEST(Resources, DialogTemplateIsTheMainWindowLayout) {
  std::string bytes = ResourceBytes(RT_DIALOG, IDD_MAIN, kNeutral);
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(ResourceLanguageCount(RT_DIALOG, IDD_MAIN), 1);
  DialogTemplate dialog = ParseDialogTemplate(bytes);
  EXPECT_EQ(dialog.Version, 1);
  EXPECT_EQ(dialog.Signature, 0xFFFF);
  EXPECT_EQ(dialog.HelpId, 0u);
  EXPECT_EQ(dialog.ExStyle, 0u);
  EXPECT_EQ(dialog.Style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                                             DS_SETFONT | DS_CENTER | DS_SETFOREGROUND));
  EXPECT_EQ(dialog.X, 0);
  EXPECT_EQ(dialog.Y, 0);
  EXPECT_EQ(dialog.Width, 311);
  EXPECT_EQ(dialog.Height, 225);
  EXPECT_EQ(dialog.Menu, "");
  EXPECT_EQ(dialog.Class, "");
  EXPECT_EQ(dialog.Caption, "Quillfen");
  EXPECT_EQ(dialog.PointSize, 8);
  EXPECT_EQ(dialog.Weight, 0);
  EXPECT_EQ(dialog.Italic, 0);
  EXPECT_EQ(dialog.CharSet, 0);
  EXPECT_EQ(dialog.Face, "MS SANS SERIF");

  ASSERT_EQ(dialog.Items.size(), std::size(kItems));
  for (size_t i = 0; i < std::size(kItems); ++i) {
    const DialogItem& item = dialog.Items[i];
    const ExpectedItem& expected = kItems[i];
    SCOPED_TRACE("control " + std::to_string(i + 1));
    EXPECT_EQ(item.Id, expected.Id);
    EXPECT_EQ(item.Class, expected.Class);
    if (expected.Text != nullptr) {
      EXPECT_EQ(item.Text, expected.Text);
    }
    EXPECT_EQ(item.X, expected.X);
    EXPECT_EQ(item.Y, expected.Y);
    EXPECT_EQ(item.Width, expected.Width);
    EXPECT_EQ(item.Height, expected.Height);
    EXPECT_EQ(item.Style, expected.Style);
    EXPECT_EQ(item.ExStyle, expected.ExStyle);
    EXPECT_EQ(item.HelpId, 0u);
    EXPECT_EQ(item.CreationDataSize, 0);
  }
  EXPECT_NE(dialog.Items[1].Text.find("Velmora Software"), std::string::npos);
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE Width, Height, ColourCount, Reserved;
  WORD Planes, BitCount;
  DWORD BytesInRes;
  WORD Id;
};
#pragma pack(pop)

TEST(Resources, IconGroupHoldsA48AndA32PixelImageOf256Colours) {
  std::string group = ResourceBytes(RT_GROUP_ICON, IDI_MAIN, kNeutral);
  ASSERT_EQ(group.size(), 6 + 2 * sizeof(GroupIconEntry));
  const WORD* header = reinterpret_cast<const WORD*>(group.data());
  EXPECT_EQ(header[1], 1);  // icons, not cursors
  ASSERT_EQ(header[2], 2);
  const auto* entries = reinterpret_cast<const GroupIconEntry*>(group.data() + 6);
  const int sizes[] = {48, 32};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE("image " + std::to_string(i + 1));
    const GroupIconEntry& entry = entries[i];
    EXPECT_EQ(entry.Width, sizes[i]);
    EXPECT_EQ(entry.Height, sizes[i]);
    EXPECT_EQ(entry.ColourCount, 0);  // 256 colours
    EXPECT_EQ(entry.Planes, 1);
    EXPECT_EQ(entry.BitCount, 8);
    EXPECT_EQ(entry.Id, i + 1);

    std::string image = ResourceBytes(RT_ICON, entry.Id, kNeutral);
    ASSERT_EQ(image.size(), entry.BytesInRes);
    BITMAPINFOHEADER bitmap;
    memcpy(&bitmap, image.data(), sizeof bitmap);
    EXPECT_EQ(bitmap.biWidth, sizes[i]);
    EXPECT_EQ(bitmap.biHeight, 2 * sizes[i]);  // colour rows, then the mask
    EXPECT_EQ(bitmap.biPlanes, 1);
    EXPECT_EQ(bitmap.biBitCount, 8);
  }
}

TEST(Resources, VersionBlockNamesQuillfen103) {
  std::string bytes = ResourceBytes(RT_VERSION, 1, kUsEnglish);
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(ResourceLanguageCount(RT_VERSION, 1), 1);
  VersionBlock block = ParseVersionBlock(bytes);
  const VS_FIXEDFILEINFO& fixed = block.Fixed;
  EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed.dwFileVersionMS, MAKELONG(3, 1));
  EXPECT_EQ(fixed.dwFileVersionLS, 0u);
  EXPECT_EQ(fixed.dwProductVersionMS, MAKELONG(3, 1));
  EXPECT_EQ(fixed.dwProductVersionLS, 0u);
  EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed.dwFileFlags, 0u);
  EXPECT_EQ(fixed.dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed.dwFileSubtype, 0u);
  EXPECT_EQ(fixed.dwFileDateMS, 0u);
  EXPECT_EQ(fixed.dwFileDateLS, 0u);

  ASSERT_EQ(block.Tables.size(), 1u);
  EXPECT_EQ(block.Tables[0].first, "040904E4");
  const auto& strings = block.Tables[0].second;
  const char* const keys[] = {"CompanyName",  "FileDescription", "FileVersion",
                              "InternalName", "LegalCopyright",  "OriginalFilename",
                              "ProductName",  "ProductVersion",  "Comments"};
  ASSERT_EQ(strings.size(), std::size(keys));
  for (size_t i = 0; i < std::size(keys); ++i) EXPECT_EQ(strings[i].first, keys[i]);
  EXPECT_EQ(strings[0].second, "Velmora Software");
  EXPECT_EQ(strings[1].second, "Removes expired cookies from IE");
  EXPECT_EQ(strings[2].second, "1.03.0.0");
  EXPECT_EQ(strings[3].second, "Quillfen");
  EXPECT_NE(strings[4].second.find("Velmora Software"), std::string::npos);
  EXPECT_EQ(strings[5].second, "Quillfen.exe");
  EXPECT_EQ(strings[6].second, "Quillfen");
  EXPECT_EQ(strings[7].second, "1.03 (2011.11)");
  EXPECT_NE(strings[8].second.find("/tools/"), std::string::npos);

  EXPECT_EQ(block.Translations, std::vector<DWORD>{MAKELONG(1252, 0x0409)});
}

// Windows loads a program only with the common controls of its own processor.
#ifdef _WIN64
#define MANIFEST_PROCESSOR "amd64"
#else
#define MANIFEST_PROCESSOR "X86"
#endif

TEST(Resources, ManifestAsksForCommonControls6) {
  ASSERT_EQ(ResourceLanguageCount(kManifestType, 1), 1);
  std::string manifest = ResourceBytes(kManifestType, 1, kNeutral);
  EXPECT_EQ(manifest.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>", 0), 0u);
  // In this order, so that the second identity is the dependency's.
  const char* const parts[] = {
      "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">",
      "<assemblyIdentity version=\"1.0.0.0\" processorArchitecture=\"" MANIFEST_PROCESSOR
      "\" name=\"Velmora\" "
      "type=\"win32\"/>",
      "<description>not necessary</description>",
      "<dependency>",
      "<dependentAssembly>",
      "<assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
      "version=\"6.0.0.0\" processorArchitecture=\"" MANIFEST_PROCESSOR
      "\" publicKeyToken=\"6595b64144ccf1df\" "
      "language=\"*\"/>",
      "</dependentAssembly>",
      "</dependency>",
      "</assembly>",
  };
  size_t at = 0;
  for (const char* part : parts) {
    at = manifest.find(part, at);
    ASSERT_NE(at, std::string::npos) << part;
  }
}

}  // namespace
