#include "win/platform/OleDrag.h"

#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>

#include "win/platform/WinText.h"

namespace kestro::win {
namespace {

template <class Interface>
class ComObject : public Interface {
 public:
  virtual ~ComObject() = default;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Interface))) {
      *out = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

class DataObject : public ComObject<IDataObject> {
 public:
  DataObject(CLIPFORMAT format, HGLOBAL data) : format_{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, data_(data) {}
  ~DataObject() override {
    if (data_) GlobalFree(data_);
  }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* m) override {
    if (QueryGetData(f) != S_OK || !m) return DV_E_FORMATETC;
    HGLOBAL copy = static_cast<HGLOBAL>(OleDuplicateData(data_, format_.cfFormat, 0));
    if (!copy) return E_OUTOFMEMORY;
    m->tymed = TYMED_HGLOBAL;
    m->hGlobal = copy;
    m->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
    if (!f || f->cfFormat != format_.cfFormat || !(f->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (direction != DATADIR_GET) return E_NOTIMPL;
    return SHCreateStdEnumFmtEtc(1, &format_, out);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  FORMATETC format_;
  HGLOBAL data_;
};

class DropSource : public ComObject<IDropSource> {
 public:
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape) return DRAGDROP_S_CANCEL;
    if (!(keys & (MK_LBUTTON | MK_RBUTTON))) return DRAGDROP_S_DROP;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

class DropTarget : public ComObject<IDropTarget> {
 public:
  explicit DropTarget(DropHandlers h) : h_(std::move(h)) {}
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override {
    allowed_ = effect ? *effect : 0;
    return Answer(h_.enter ? h_.enter(data, keys, POINT{pt.x, pt.y}) : DROPEFFECT_NONE, effect);
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override {
    if (effect) allowed_ = *effect;
    return Answer(h_.over ? h_.over(keys, POINT{pt.x, pt.y}) : DROPEFFECT_NONE, effect);
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    if (h_.leave) h_.leave();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override {
    if (effect) allowed_ = *effect;
    return Answer(h_.drop ? h_.drop(data, keys, POINT{pt.x, pt.y}) : DROPEFFECT_NONE, effect);
  }

 private:
  HRESULT Answer(DWORD wanted, DWORD* effect) {
    if (effect) *effect = wanted & allowed_;
    return S_OK;
  }
  DropHandlers h_;
  DWORD allowed_ = 0;
};

struct NodeDrag {
  DWORD process;
  uint64_t node;
};

HGLOBAL GlobalCopy(const void* bytes, size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (!h) return nullptr;
  if (void* p = GlobalLock(h)) {
    std::memcpy(p, bytes, size);
    GlobalUnlock(h);
  }
  return h;
}

}  // namespace

IDataObject* NewDataObject(CLIPFORMAT format, HGLOBAL data) { return new DataObject(format, data); }

HGLOBAL FileListData(const std::vector<std::string>& files) {
  std::wstring names;
  for (const std::string& f : files) names += Widen(f) + L'\0';
  names += L'\0';
  std::vector<char> block(sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* df = reinterpret_cast<DROPFILES*>(block.data());
  df->pFiles = sizeof(DROPFILES);
  df->fWide = TRUE;
  std::memcpy(block.data() + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
  return GlobalCopy(block.data(), block.size());
}

std::optional<std::vector<std::string>> DroppedFiles(IDataObject* data) {
  if (!data) return std::nullopt;
  FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM m{};
  if (FAILED(data->GetData(&f, &m))) return std::nullopt;
  std::vector<std::string> names;
  auto drop = static_cast<HDROP>(GlobalLock(m.hGlobal));
  if (drop) {
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
      name.resize(DragQueryFileW(drop, i, name.data(), UINT(name.size())));
      names.push_back(Narrow(name));
    }
    GlobalUnlock(m.hGlobal);
  }
  ReleaseStgMedium(&m);
  if (!drop) return std::nullopt;
  return names;
}

CLIPFORMAT NodeDragFormat() {
  static const CLIPFORMAT format = CLIPFORMAT(RegisterClipboardFormatW(L"Kestro item node"));
  return format;
}

HGLOBAL NodeDragData(uint64_t nodeId) {
  NodeDrag d{GetCurrentProcessId(), nodeId};
  return GlobalCopy(&d, sizeof d);
}

std::optional<uint64_t> DraggedNode(IDataObject* data) {
  if (!data) return std::nullopt;
  FORMATETC f{NodeDragFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM m{};
  if (FAILED(data->GetData(&f, &m))) return std::nullopt;
  std::optional<uint64_t> node;
  if (GlobalSize(m.hGlobal) >= sizeof(NodeDrag))
    if (auto* d = static_cast<const NodeDrag*>(GlobalLock(m.hGlobal))) {
      if (d->process == GetCurrentProcessId()) node = d->node;
      GlobalUnlock(m.hGlobal);
    }
  ReleaseStgMedium(&m);
  return node;
}

IDropSource* NewDropSource() { return new DropSource(); }

bool RegisterDropTarget(HWND window, DropHandlers handlers) {
  auto* target = new DropTarget(std::move(handlers));
  bool ok = SUCCEEDED(RegisterDragDrop(window, target));
  target->Release();  // the registration holds it
  return ok;
}

}  // namespace kestro::win
