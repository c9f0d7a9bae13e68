// Reads the resources compiled into this test program, which carries the
// same resource script as the product, in the layouts the system defines.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The bytes of one resource in one language; empty when there is none.
std::string ResourceBytes(const char* type, int id, WORD language);

// How many languages the resource is present in.
int ResourceLanguageCount(const char* type, int id);

// A text or an ordinal of a DIALOGEX template, an ordinal written as "#130".
using TemplateName = std::string;

struct DialogItem {
  DWORD HelpId;
  DWORD ExStyle;
  DWORD Style;
  short X, Y, Width, Height;
  DWORD Id;
  TemplateName Class;
  TemplateName Text;
  WORD CreationDataSize;
};

struct DialogTemplate {
  WORD Version;
  WORD Signature;
  DWORD HelpId;
  DWORD ExStyle;
  DWORD Style;
  short X, Y, Width, Height;
  TemplateName Menu;
  TemplateName Class;
  std::string Caption;
  WORD PointSize;
  WORD Weight;
  BYTE Italic;
  BYTE CharSet;
  std::string Face;
  std::vector<DialogItem> Items;
};

DialogTemplate ParseDialogTemplate(const std::string& bytes);

// The parts of a version block (VS_VERSIONINFO) the tests look at.
struct VersionBlock {
  VS_FIXEDFILEINFO Fixed;
  // The string tables by name, each with its keys and values in file order.
  std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> Tables;
  std::vector<DWORD> Translations;
};

VersionBlock ParseVersionBlock(const std::string& bytes);
