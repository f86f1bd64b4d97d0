#include "ui/save_dialog.h"

#include <commdlg.h>

#include <cstring>

#include "intake/open_dialog.h"

namespace sw {

bool chooseReportFile(HWND owner, Text& fileName) {
  Bytes file(32768, 0);
  std::memcpy(file.data(), fileName.data(), std::min(fileName.size(), file.size() - 1));
  const Bytes filter = dialogFilterList("*.txt|*.txt");
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = reinterpret_cast<const char*>(filter.data());
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = reinterpret_cast<char*>(file.data());
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  // The dialog appends this to a name typed without an extension.
  dialog.lpstrDefExt = "txt";
  // A save dialog must accept a new name, so the file need not exist.
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetSaveFileNameA(&dialog)) return false;
  fileName = bytesToText(file);
  return true;
}

}  // namespace sw
