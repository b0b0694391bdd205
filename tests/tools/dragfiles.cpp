// Drags files from another program, as Explorer would: DoDragDrop with the
// shell's file list (CF_HDROP), dropped where the pointer stands once the
// drag has passed over the window there a few times.
//
//   dragfiles X Y FILE...     prints the effect the drop target answered
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <string>
#include <vector>

#include "win/platform/OleDrag.h"
#include "win/platform/WinText.h"

namespace {

class TimedDrop : public IDropSource {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
      *out = this;
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // No button is held: the drag goes on for a while, then drops.
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return ++calls_ < 8 ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  ULONG refs_ = 1;
  int calls_ = 0;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: dragfiles X Y FILE...\n");
    return 2;
  }
  std::vector<std::string> files;
  for (int i = 3; i < argc; ++i) files.push_back(kestro::win::Narrow(argv[i]));
  OleInitialize(nullptr);
  SetCursorPos(_wtoi(argv[1]), _wtoi(argv[2]));
  IDataObject* data = kestro::win::NewDataObject(CF_HDROP, kestro::win::FileListData(files));
  TimedDrop source;
  DWORD effect = DROPEFFECT_NONE;
  HRESULT hr = DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
  data->Release();
  std::printf("%lu\n", static_cast<unsigned long>(effect));
  OleUninitialize();
  return hr == DRAGDROP_S_DROP ? 0 : 1;
}
