#include "helpers/d3d_result_win.h"

#include <dxgi.h>

#include <cstdio>

#include "base/text.h"
#include "helpers/compute_engine.h"

namespace {

struct KnownResult {
  HRESULT result;
  const char16_t* name;
};

const KnownResult kKnownResults[] = {
    {E_FAIL, u"E_FAIL"},
    {E_INVALIDARG, u"E_INVALIDARG"},
    {E_OUTOFMEMORY, u"E_OUTOFMEMORY"},
    {E_NOTIMPL, u"E_NOTIMPL"},
    {DXGI_ERROR_UNSUPPORTED, u"DXGI_ERROR_UNSUPPORTED"},
    {DXGI_ERROR_NOT_FOUND, u"DXGI_ERROR_NOT_FOUND"},
    {DXGI_ERROR_DEVICE_REMOVED, u"DXGI_ERROR_DEVICE_REMOVED"},
    {DXGI_ERROR_DEVICE_HUNG, u"DXGI_ERROR_DEVICE_HUNG"},
    {DXGI_ERROR_DEVICE_RESET, u"DXGI_ERROR_DEVICE_RESET"},
    {DXGI_ERROR_DRIVER_INTERNAL_ERROR, u"DXGI_ERROR_DRIVER_INTERNAL_ERROR"},
    {DXGI_ERROR_INVALID_CALL, u"DXGI_ERROR_INVALID_CALL"},
    {DXGI_ERROR_WAS_STILL_DRAWING, u"DXGI_ERROR_WAS_STILL_DRAWING"},
};

}  // namespace

std::u16string DescribeResult(HRESULT result) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
  for (const KnownResult& known : kKnownResults) {
    if (known.result == result) {
      return std::u16string(known.name) + u" (" + Utf8ToUtf16(code) + u")";
    }
  }
  return u"error " + Utf8ToUtf16(code);
}

void ThrowIfFailed(HRESULT result, std::u16string_view what) {
  if (FAILED(result)) {
    throw ComputeEngineError(std::u16string(what) + u" failed: " + DescribeResult(result));
  }
}
