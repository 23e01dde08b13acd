// Direct3D's result codes in the plain words of the helper's log.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// e.g. "DXGI_ERROR_UNSUPPORTED (0x887A0004)".
std::u16string DescribeResult(HRESULT result);

// Throws ComputeEngineError "<what> failed: <result>" when the call failed.
void ThrowIfFailed(HRESULT result, std::u16string_view what);
