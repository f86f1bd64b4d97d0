#include "intake/open_dialog_win32.h"

#include <commdlg.h>

#include "intake/open_dialog.h"
#include "platform/win32_paths.h"

namespace sw {
namespace {

// The wide paths of a confirmed selection: one full path, or the folder followed by the names,
// each ended by a NUL, with one more NUL at the end.
std::vector<std::wstring> chosenPaths(const std::wstring& buffer) {
  std::vector<std::wstring> pieces;
  size_t at = 0;
  while (at < buffer.size() && buffer[at] != L'\0') {
    const size_t end = buffer.find(L'\0', at);
    if (end == std::wstring::npos) return {};  // no terminating NUL: nothing was chosen
    pieces.push_back(buffer.substr(at, end - at));
    at = end + 1;
  }
  if (pieces.size() <= 1) return pieces;
  std::wstring folder = pieces.front();
  if (folder.back() != L'\\') folder += L'\\';  // only a drive's root ends with a separator
  std::vector<std::wstring> paths;
  for (size_t i = 1; i < pieces.size(); ++i) paths.push_back(folder + pieces[i]);
  return paths;
}

}  // namespace

// The wide dialog, so that a name the code page cannot hold still reaches the list, through
// its short form.
ChosenFiles chooseFiles(HWND owner, const Text& title, const Text& filterText,
                        const Text& initialDir) {
  ChosenFiles chosen;
  std::wstring file(kOpenDialogBufferSize / sizeof(wchar_t), L'\0');
  const Bytes filterBytes = dialogFilterList(filterText);
  const std::wstring filter = wideFromAnsi(Text(filterBytes.begin(), filterBytes.end()));
  const std::wstring wideTitle = wideFromAnsi(title), wideDir = wideFromAnsi(initialDir);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = wideDir.empty() ? nullptr : wideDir.c_str();
  dialog.lpstrTitle = wideTitle.empty() ? nullptr : wideTitle.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT;
  if (!GetOpenFileNameW(&dialog)) {
    chosen.tooMany = CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
    return chosen;
  }
  chosen.confirmed = true;
  for (const std::wstring& path : chosenPaths(file)) chosen.paths.push_back(ansiPathFor(path));
  return chosen;
}

}  // namespace sw
