// The drop target of the main window (拖放对象1): it takes the shell's file lists (CF_HDROP)
// only, and hands a drop's text to the window. Window thread only.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <functional>

#include "engine/text.h"

namespace sw {

class FileDropTarget final : public IDropTarget {
 public:
  // accepting: whether a drop would be taken now (false while a run is going on).
  // dropped: receives the drop's text (intake/drop_text.h).
  FileDropTarget(std::function<bool()> accepting, std::function<void(const Text&)> dropped);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDropTarget
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                 DWORD* effect) override;

 private:
  ~FileDropTarget() = default;
  DWORD effectFor(DWORD allowed) const;

  LONG references_ = 1;
  bool offersFiles_ = false;
  std::function<bool()> accepting_;
  std::function<void(const Text&)> dropped_;
};

// The effect a file drop reports to its source: copy, or else link; never move, so that the
// source never deletes what was dropped.
DWORD dropEffectFor(DWORD allowed);

// The full ANSI paths of a CF_HDROP list, in its order (a name the code page cannot hold in its
// short form).
std::vector<Text> droppedPaths(HDROP drop);

}  // namespace sw
