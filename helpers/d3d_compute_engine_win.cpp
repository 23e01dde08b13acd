#include "helpers/d3d_compute_engine_win.h"

#include <dxgi.h>

#include <cstdio>

#include "base/format.h"
#include "base/text.h"
#include "base/wide_win.h"
#include "helpers/d3d_result_win.h"
#include "helpers/d3d_shader_compiler_win.h"

namespace {

// Far beyond any dispatch of the load, even behind a game's frames.
constexpr ULONGLONG kDispatchTimeoutMs = 5000;
constexpr std::uint32_t kCheckSeed = 0x5EED1234;

std::u16string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return Utf8ToUtf16(text);
}

}  // namespace

D3dComputeEngine::~D3dComputeEngine() {
  Close();
}

std::u16string D3dComputeEngine::Open() {
  CreateDevice();
  {
    D3dShaderCompiler compiler;
    for (ComputeKernel kernel : {ComputeKernel::Reliable, ComputeKernel::Alternate}) {
      const std::vector<std::uint8_t> code =
          compiler.CompileCompute(KernelSource(kernel), Utf16ToUtf8(KernelName(kernel)).c_str());
      ComPtr<ID3D11ComputeShader>& shader =
          kernel == ComputeKernel::Reliable ? reliable_ : alternate_;
      ThrowIfFailed(device_->CreateComputeShader(code.data(), code.size(), nullptr, &shader),
                    u"CreateComputeShader");
    }
  }
  CreateResources();
  for (ComputeKernel kernel : {ComputeKernel::Reliable, ComputeKernel::Alternate}) {
    const std::uint32_t written = Written(kernel, kCheckSeed);
    const std::uint32_t expected = KernelValue(kernel, kCheckSeed);
    if (written != expected) {
      throw ComputeEngineError(
          Format(u"self-check failed: the %s kernel wrote %s where %s was "
                 u"expected",
                 KernelName(kernel), Hex(written), Hex(expected)));
    }
  }
  return Format(
      u"%s (feature level %u_%u); self-check passed: both kernels wrote the expected "
      u"values",
      AdapterName(), (level_ >> 12) & 0xF, (level_ >> 8) & 0xF);
}

void D3dComputeEngine::Submit(ComputeKernel kernel, std::uint32_t groups) {
  if (disjoint_) {
    context_->Begin(disjoint_.Get());
    context_->End(begin_.Get());
  }
  context_->CSSetShader(Shader(kernel), nullptr, 0);
  context_->Dispatch(groups, 1, 1);
  if (disjoint_) {
    context_->End(end_.Get());
    context_->End(disjoint_.Get());
  }
  context_->End(done_.Get());
  context_->Flush();
}

std::optional<double> D3dComputeEngine::Collect() {
  WaitUntilDone();
  if (!disjoint_) {
    return std::nullopt;
  }
  D3D11_QUERY_DATA_TIMESTAMP_DISJOINT clock{};
  UINT64 begin = 0;
  UINT64 end = 0;
  const UINT flags = D3D11_ASYNC_GETDATA_DONOTFLUSH;
  // A disjoint interval (the GPU's clock changed meanwhile) has no valid time.
  if (context_->GetData(disjoint_.Get(), &clock, sizeof clock, flags) != S_OK ||
      context_->GetData(begin_.Get(), &begin, sizeof begin, flags) != S_OK ||
      context_->GetData(end_.Get(), &end, sizeof end, flags) != S_OK || clock.Disjoint ||
      clock.Frequency == 0 || end < begin) {
    return std::nullopt;
  }
  return static_cast<double>(end - begin) * 1000.0 / static_cast<double>(clock.Frequency);
}

std::optional<std::u16string> D3dComputeEngine::Close() {
  if (!device_) {
    return std::nullopt;
  }
  if (context_) {
    context_->ClearState();
    context_->Flush();
  }
  done_.Reset();
  end_.Reset();
  begin_.Reset();
  disjoint_.Reset();
  staging_.Reset();
  view_.Reset();
  texture_.Reset();
  constants_.Reset();
  alternate_.Reset();
  reliable_.Reset();
  context_.Reset();
  // Every object the device made holds it: a count left here is a leak.
  const ULONG left = device_.Detach()->Release();
  if (left != 0) {
    return Format(u"the Direct3D device still has %u references after its release", left);
  }
  return std::nullopt;
}

std::uint32_t D3dComputeEngine::Written(ComputeKernel kernel, std::uint32_t seed) {
  const UINT fill[4] = {kUnwrittenTexel, kUnwrittenTexel, kUnwrittenTexel, kUnwrittenTexel};
  context_->ClearUnorderedAccessViewUint(view_.Get(), fill);
  const std::uint32_t constants[4] = {seed, 0, 0, 0};
  context_->UpdateSubresource(constants_.Get(), 0, nullptr, constants, 0, 0);
  context_->CSSetShader(Shader(kernel), nullptr, 0);
  context_->Dispatch(1, 1, 1);
  context_->CopyResource(staging_.Get(), texture_.Get());
  context_->End(done_.Get());
  context_->Flush();
  WaitUntilDone();
  D3D11_MAPPED_SUBRESOURCE mapped{};
  const HRESULT result = context_->Map(staging_.Get(), 0, D3D11_MAP_READ, 0, &mapped);
  if (FAILED(result)) {
    ThrowLost(result, u"reading back what the kernel wrote");
  }
  const std::uint32_t value = *static_cast<const std::uint32_t*>(mapped.pData);
  context_->Unmap(staging_.Get(), 0);
  return value;
}

void D3dComputeEngine::CreateDevice() {
  const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_1, D3D_FEATURE_LEVEL_11_0};
  const UINT flags = D3D11_CREATE_DEVICE_SINGLETHREADED;
  HRESULT result = D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, flags, levels, 2,
                                     D3D11_SDK_VERSION, &device_, &level_, &context_);
  // A system without Direct3D 11.1 refuses a list that names it.
  if (result == E_INVALIDARG) {
    result = D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, flags, levels + 1, 1,
                               D3D11_SDK_VERSION, &device_, &level_, &context_);
  }
  if (FAILED(result)) {
    throw ComputeEngineError(
        u"no Direct3D 11 device with compute shaders (feature level 11_0) on the default "
        u"adapter: " +
        DescribeResult(result));
  }
}

void D3dComputeEngine::CreateResources() {
  D3D11_BUFFER_DESC buffer{};
  buffer.ByteWidth = 16;
  buffer.Usage = D3D11_USAGE_DEFAULT;
  buffer.BindFlags = D3D11_BIND_CONSTANT_BUFFER;
  ThrowIfFailed(device_->CreateBuffer(&buffer, nullptr, &constants_), u"creating the seed buffer");

  D3D11_TEXTURE2D_DESC texture{};
  texture.Width = 1;
  texture.Height = 1;
  texture.MipLevels = 1;
  texture.ArraySize = 1;
  texture.Format = DXGI_FORMAT_R32_UINT;
  texture.SampleDesc.Count = 1;
  texture.Usage = D3D11_USAGE_DEFAULT;
  texture.BindFlags = D3D11_BIND_UNORDERED_ACCESS;
  ThrowIfFailed(device_->CreateTexture2D(&texture, nullptr, &texture_),
                u"creating the output texture");
  ThrowIfFailed(device_->CreateUnorderedAccessView(texture_.Get(), nullptr, &view_),
                u"creating the output view");
  texture.Usage = D3D11_USAGE_STAGING;
  texture.BindFlags = 0;
  texture.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
  ThrowIfFailed(device_->CreateTexture2D(&texture, nullptr, &staging_),
                u"creating the read-back texture");

  done_ = CreateQuery(D3D11_QUERY_EVENT);
  if (!done_) {
    throw ComputeEngineError(u"creating an event query failed");
  }
  // Without timestamps the load runs untimed.
  disjoint_ = CreateQuery(D3D11_QUERY_TIMESTAMP_DISJOINT);
  begin_ = CreateQuery(D3D11_QUERY_TIMESTAMP);
  end_ = CreateQuery(D3D11_QUERY_TIMESTAMP);
  if (!begin_ || !end_) {
    disjoint_.Reset();
  }

  context_->CSSetConstantBuffers(0, 1, constants_.GetAddressOf());
  ID3D11UnorderedAccessView* views[] = {view_.Get()};
  context_->CSSetUnorderedAccessViews(0, 1, views, nullptr);
}

D3dComputeEngine::ComPtr<ID3D11Query> D3dComputeEngine::CreateQuery(D3D11_QUERY type) {
  D3D11_QUERY_DESC description{type, 0};
  ComPtr<ID3D11Query> query;
  if (FAILED(device_->CreateQuery(&description, &query))) {
    return nullptr;
  }
  return query;
}

ID3D11ComputeShader* D3dComputeEngine::Shader(ComputeKernel kernel) const {
  return kernel == ComputeKernel::Reliable ? reliable_.Get() : alternate_.Get();
}

std::u16string D3dComputeEngine::AdapterName() {
  ComPtr<IDXGIDevice> dxgiDevice;
  ComPtr<IDXGIAdapter> adapter;
  DXGI_ADAPTER_DESC description{};
  if (SUCCEEDED(device_.As(&dxgiDevice)) && SUCCEEDED(dxgiDevice->GetAdapter(&adapter)) &&
      SUCCEEDED(adapter->GetDesc(&description))) {
    return FromWide(description.Description);
  }
  return u"the default adapter";
}

void D3dComputeEngine::WaitUntilDone() {
  const ULONGLONG deadline = GetTickCount64() + kDispatchTimeoutMs;
  while (true) {
    BOOL done = FALSE;
    const HRESULT result =
        context_->GetData(done_.Get(), &done, sizeof done, D3D11_ASYNC_GETDATA_DONOTFLUSH);
    if (result == S_OK) {
      return;
    }
    if (result != S_FALSE) {
      ThrowLost(result, u"waiting for a dispatch");
    }
    if (GetTickCount64() > deadline) {
      throw ComputeEngineError(u"a dispatch did not finish within 5 s");
    }
    // Sleeps rather than spins: the load must not take a processor.
    Sleep(1);
  }
}

void D3dComputeEngine::ThrowLost(HRESULT result, std::u16string_view what) {
  std::u16string reason = std::u16string(what) + u" failed: " + DescribeResult(result);
  const HRESULT removed = device_->GetDeviceRemovedReason();
  if (FAILED(removed)) {
    reason += u"; the device was removed: " + DescribeResult(removed);
  }
  throw ComputeEngineError(reason);
}
