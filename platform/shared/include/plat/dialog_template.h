// Dialog templates as data: the module keeps its templates in tables and gives them
// to the layer, which makes them findable the way the system finds dialog resources.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plat/types.h"

namespace plat {

// A dialog template in the shape the window system builds dialogs from. Coordinates are
// dialog units; `className` is a window class name ("Button", "Static", ...).
struct DialogItemTemplate {
  std::string className;
  std::string text;
  int32_t id = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;

  bool operator==(const DialogItemTemplate&) const = default;
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string fontFace;
  int32_t fontSize = 0;  // points
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::string title;
  std::vector<DialogItemTemplate> items;

  bool operator==(const DialogTemplate&) const = default;
};

// Makes `dialog` the module's template `idOrName` (a string, "#101", or an id made
// with MAKEINTRESOURCEA), or, where the system reads templates from the module's own
// resources, checks that the compiled-in resource is this template. False when it
// cannot be had.
bool RegisterDialogTemplate(HMODULE module, LPCSTR idOrName, DialogTemplate dialog);
// Null (and ERROR_RESOURCE_NAME_NOT_FOUND) when the module has no such template.
const DialogTemplate* FindDialogTemplate(HMODULE module, LPCSTR idOrName);

// Reads an extended dialog template (the bytes of an RT_DIALOG resource); false, with
// `out` in an unspecified state, for bytes that are not one or stop short. Texts become
// CP949; classes given by ordinal get their names ("Button", "Edit", "Static", ...).
bool ReadDialogTemplate(const BYTE* bytes, size_t size, DialogTemplate* out);
// Whether two templates describe the same dialog: every field equal, class names
// compared without regard to ASCII case, as the system compares them.
bool SameDialogTemplate(const DialogTemplate& a, const DialogTemplate& b);

}  // namespace plat
