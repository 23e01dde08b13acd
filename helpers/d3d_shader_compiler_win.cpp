#include "helpers/d3d_shader_compiler_win.h"

#include <d3dcompiler.h>
#include <wrl/client.h>

#include <cstring>

#include "base/format.h"
#include "base/text.h"
#include "helpers/compute_engine.h"
#include "helpers/d3d_result_win.h"

using Microsoft::WRL::ComPtr;

D3dShaderCompiler::D3dShaderCompiler() {
  library_ = LoadLibraryExW(L"d3dcompiler_47.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!library_) {
    throw ComputeEngineError(Format(
        u"the shader compiler d3dcompiler_47.dll could not be loaded (error %u)", GetLastError()));
  }
  compile_ = GetProcAddress(library_, "D3DCompile");
  if (!compile_) {
    FreeLibrary(library_);
    throw ComputeEngineError(u"the shader compiler d3dcompiler_47.dll has no D3DCompile");
  }
}

D3dShaderCompiler::~D3dShaderCompiler() {
  FreeLibrary(library_);
}

std::vector<std::uint8_t> D3dShaderCompiler::CompileCompute(const std::string& source,
                                                            const char* name) {
  const auto compile = reinterpret_cast<pD3DCompile>(reinterpret_cast<void*>(compile_));
  ComPtr<ID3DBlob> code;
  ComPtr<ID3DBlob> errors;
  const HRESULT result = compile(source.data(), source.size(), name, nullptr, nullptr, "main",
                                 "cs_5_0", D3DCOMPILE_OPTIMIZATION_LEVEL3, 0, &code, &errors);
  if (FAILED(result) || !code) {
    std::string message;
    if (errors) {
      const auto* text = static_cast<const char*>(errors->GetBufferPointer());
      message.assign(text, strnlen(text, errors->GetBufferSize()));
      message = message.substr(0, message.find_first_of("\r\n"));
    }
    throw ComputeEngineError(u"the " + Utf8ToUtf16(name) + u" kernel did not compile: " +
                             (message.empty() ? DescribeResult(result) : Utf8ToUtf16(message)));
  }
  const auto* bytes = static_cast<const std::uint8_t*>(code->GetBufferPointer());
  return std::vector<std::uint8_t>(bytes, bytes + code->GetBufferSize());
}
