// The system's HLSL compiler, d3dcompiler_47.dll, loaded from the system
// folder for as long as the object lives: the helper must start without it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class D3dShaderCompiler {
 public:
  // Throws ComputeEngineError when the library or its entry point is missing.
  D3dShaderCompiler();
  ~D3dShaderCompiler();
  D3dShaderCompiler(const D3dShaderCompiler&) = delete;
  D3dShaderCompiler& operator=(const D3dShaderCompiler&) = delete;

  // Compute shader 5.0 bytecode of the source's "main"; throws
  // ComputeEngineError with the compiler's first message when it fails.
  std::vector<std::uint8_t> CompileCompute(const std::string& source, const char* name);

 private:
  HMODULE library_ = nullptr;
  FARPROC compile_ = nullptr;
};
