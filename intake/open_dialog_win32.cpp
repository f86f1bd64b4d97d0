#include "intake/open_dialog_win32.h"

#include <commdlg.h>

#include "intake/open_dialog.h"
#include "platform/code_page.h"
#include "platform/paths.h"

namespace sw {

ChosenFiles chooseFiles(HWND owner, const Text& title, const Text& filterText,
                        const Text& initialDir) {
  ChosenFiles chosen;
  Bytes file(kOpenDialogBufferSize, 0);
  const Bytes filter = dialogFilterList(filterText);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = reinterpret_cast<const char*>(filter.data());
  dialog.lpstrFile = reinterpret_cast<char*>(file.data());
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
  dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT;
  if (!GetOpenFileNameA(&dialog)) {
    chosen.tooMany = CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
    return chosen;
  }
  chosen.confirmed = true;
  chosen.paths = parseOpenDialogBuffer(file.data(), file.size(), activeCharRule(), pathSeparator());
  return chosen;
}

}  // namespace sw
