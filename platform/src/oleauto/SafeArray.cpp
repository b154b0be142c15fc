// Safe arrays and variants: one allocation for the descriptor and its bounds, one
// for the zeroed data; a locked array refuses destruction, as callers rely on.
#include <cstdlib>
#include <cstring>

#include "core/Faults.h"
#include "plat/error.h"
#include "plat/oleauto.h"

namespace {

ULONG ElementSize(VARTYPE vt) {
  switch (vt) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_R4: case VT_INT: case VT_UINT: return 4;
    case VT_I8: case VT_UI8: case VT_R8: return 8;
    default: return 0;
  }
}

size_t DescriptorBytes(UINT dims) { return sizeof(SAFEARRAY) + (dims - 1) * sizeof(SAFEARRAYBOUND); }

// Bounds are kept in the order given: dimension d (from 1) is rgsabound[d - 1].
SAFEARRAYBOUND* Bound(SAFEARRAY* a, UINT dim) {
  if (dim == 0 || dim > a->cDims) return nullptr;
  return reinterpret_cast<SAFEARRAYBOUND*>(reinterpret_cast<BYTE*>(a) + offsetof(SAFEARRAY, rgsabound)) + (dim - 1);
}

// The largest array we hand out; beyond it a size is surely a corrupt count.
constexpr uint64_t kMaxDataBytes = 0x7FFFFFFFu;

}  // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* bounds) {
  const ULONG elementSize = ElementSize(vt);
  if (elementSize == 0 || cDims == 0 || cDims > 0xFFFF || bounds == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  uint64_t bytes = elementSize;
  for (UINT i = 0; i < cDims; ++i) {
    bytes *= bounds[i].cElements;
    if (bytes > kMaxDataBytes) {
      SetLastError(ERROR_OUTOFMEMORY);
      return nullptr;
    }
  }
  if (plat::detail::ShouldFail("SafeArrayCreate")) {
    SetLastError(ERROR_OUTOFMEMORY);
    return nullptr;
  }
  auto* a = static_cast<SAFEARRAY*>(std::calloc(1, DescriptorBytes(cDims)));
  void* data = std::calloc(1, bytes == 0 ? 1 : static_cast<size_t>(bytes));
  if (a == nullptr || data == nullptr) {
    std::free(a);
    std::free(data);
    SetLastError(ERROR_OUTOFMEMORY);
    return nullptr;
  }
  a->cDims = static_cast<USHORT>(cDims);
  a->cbElements = elementSize;
  a->pvData = data;
  for (UINT d = 1; d <= cDims; ++d) *Bound(a, d) = bounds[d - 1];
  return a;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements) {
  SAFEARRAYBOUND bound{elements, lowerBound};
  return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* array) {
  if (array == nullptr) return S_OK;
  if (array->cLocks != 0) return DISP_E_ARRAYISLOCKED;
  std::free(array->pvData);
  std::free(array);
  return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* array) {
  if (array == nullptr) return E_INVALIDARG;
  ++array->cLocks;
  return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* array) {
  if (array == nullptr) return E_INVALIDARG;
  if (array->cLocks == 0) return E_UNEXPECTED;
  --array->cLocks;
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
  if (array == nullptr || data == nullptr) return E_INVALIDARG;
  if (plat::detail::ShouldFail("SafeArrayAccessData")) return E_UNEXPECTED;
  ++array->cLocks;
  *data = array->pvData;
  return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array) { return SafeArrayUnlock(array); }

UINT SafeArrayGetDim(SAFEARRAY* array) { return array == nullptr ? 0 : array->cDims; }

HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  if (array == nullptr || bound == nullptr) return E_INVALIDARG;
  const SAFEARRAYBOUND* b = Bound(array, dim);
  if (b == nullptr) return DISP_E_BADINDEX;
  *bound = b->lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  if (array == nullptr || bound == nullptr) return E_INVALIDARG;
  const SAFEARRAYBOUND* b = Bound(array, dim);
  if (b == nullptr) return DISP_E_BADINDEX;
  // An empty dimension has its upper bound below the lower one.
  *bound = static_cast<LONG>(static_cast<uint32_t>(b->lLbound) + b->cElements - 1u);
  return S_OK;
}

void VariantInit(VARIANT* v) {
  if (v == nullptr) return;
  std::memset(v, 0, sizeof *v);
  v->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* v) {
  if (v == nullptr) return E_INVALIDARG;
  if (v->vt & VT_ARRAY) {
    const HRESULT hr = SafeArrayDestroy(v->parray);
    if (FAILED(hr)) return hr;
  } else if (v->vt == VT_BSTR) {
    SysFreeString(v->bstrVal);
  }
  std::memset(v, 0, sizeof *v);
  v->vt = VT_EMPTY;
  return S_OK;
}
