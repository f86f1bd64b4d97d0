#include "intake/drop_target_win32.h"

#include <shellapi.h>

#include "intake/drop_text.h"
#include "platform/win32_paths.h"

namespace sw {
namespace {

FORMATETC fileListFormat() {
  return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

}  // namespace

DWORD dropEffectFor(DWORD allowed) {
  if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
  if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
  return DROPEFFECT_NONE;
}

// Read wide, so that a name the code page cannot hold still reaches the list, through its
// short form.
std::vector<Text> droppedPaths(HDROP drop) {
  std::vector<Text> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(static_cast<size_t>(length) + 1, L'\0');
    const UINT got = DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(got);
    paths.push_back(ansiPathFor(path));
  }
  return paths;
}

FileDropTarget::FileDropTarget(std::function<bool()> accepting,
                               std::function<void(const Text&)> dropped)
    : accepting_(std::move(accepting)), dropped_(std::move(dropped)) {}

HRESULT FileDropTarget::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG FileDropTarget::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG FileDropTarget::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

DWORD FileDropTarget::effectFor(DWORD allowed) const {
  return offersFiles_ && accepting_() ? dropEffectFor(allowed) : DROPEFFECT_NONE;
}

HRESULT FileDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  FORMATETC format = fileListFormat();
  offersFiles_ = data != nullptr && data->QueryGetData(&format) == S_OK;
  *effect = effectFor(*effect);
  return S_OK;
}

HRESULT FileDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  *effect = effectFor(*effect);
  return S_OK;
}

HRESULT FileDropTarget::DragLeave() {
  offersFiles_ = false;
  return S_OK;
}

HRESULT FileDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  FORMATETC format = fileListFormat();
  offersFiles_ = data != nullptr && data->QueryGetData(&format) == S_OK;
  *effect = effectFor(*effect);
  offersFiles_ = false;
  if (*effect == DROPEFFECT_NONE) return S_OK;
  STGMEDIUM medium{};
  if (data->GetData(&format, &medium) != S_OK) {
    *effect = DROPEFFECT_NONE;  // not a file list after all: nothing happens
    return S_OK;
  }
  const std::vector<Text> paths = droppedPaths(static_cast<HDROP>(medium.hGlobal));
  ReleaseStgMedium(&medium);
  dropped_(dropEventText(paths));
  return S_OK;
}

}  // namespace sw
