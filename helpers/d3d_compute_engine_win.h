// The compute load's engine on Windows: a Direct3D 11 device on the default
// adapter, both kernels compiled at run time, one 1x1 R32_UINT texture they
// write, and queries that time each dispatch and tell when it is done.
#pragma once

#include <d3d11.h>
#include <wrl/client.h>

#include <cstdint>
#include <optional>
#include <string>

#include "helpers/compute_engine.h"

class D3dComputeEngine : public ComputeEngine {
 public:
  D3dComputeEngine() = default;
  ~D3dComputeEngine() override;

  std::u16string Open() override;
  void Submit(ComputeKernel kernel, std::uint32_t groups) override;
  std::optional<double> Collect() override;
  std::optional<std::u16string> Close() override;

  // After Open: runs the kernel once with this seed and reads back, through a
  // staging texture, the value it wrote.
  std::uint32_t Written(ComputeKernel kernel, std::uint32_t seed);

 private:
  template <typename T>
  using ComPtr = Microsoft::WRL::ComPtr<T>;

  void CreateDevice();
  void CreateResources();
  ComPtr<ID3D11Query> CreateQuery(D3D11_QUERY type);
  ID3D11ComputeShader* Shader(ComputeKernel kernel) const;
  std::u16string AdapterName();
  // Waits with short sleeps until the done query has passed.
  void WaitUntilDone();
  // Throws with the reason the device was removed, if it was.
  [[noreturn]] void ThrowLost(HRESULT result, std::u16string_view what);

  ComPtr<ID3D11Device> device_;
  ComPtr<ID3D11DeviceContext> context_;
  D3D_FEATURE_LEVEL level_ = {};
  ComPtr<ID3D11ComputeShader> reliable_;
  ComPtr<ID3D11ComputeShader> alternate_;
  ComPtr<ID3D11Buffer> constants_;
  ComPtr<ID3D11Texture2D> texture_;
  ComPtr<ID3D11UnorderedAccessView> view_;
  ComPtr<ID3D11Texture2D> staging_;
  ComPtr<ID3D11Query> disjoint_;
  ComPtr<ID3D11Query> begin_;
  ComPtr<ID3D11Query> end_;
  ComPtr<ID3D11Query> done_;
};
