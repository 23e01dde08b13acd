// HttpTransport over WinHTTP, synchronous. Certificate checks stay as the
// system makes them: a rejected certificate fails the request.
#include <windows.h>

#include <winhttp.h>

#include <string>

#include "base/wide_win.h"
#include "update/http_transport.h"

namespace {

std::wstring Wide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

void FreeGlobal(LPWSTR text) {
  if (text) {
    GlobalFree(text);
  }
}

std::u16string TakeGlobal(LPWSTR text) {
  std::u16string value = text ? FromWide(text) : std::u16string();
  FreeGlobal(text);
  return value;
}

bool IsCertificateFailure(DWORD error) {
  switch (error) {
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
      return true;
    default:
      return false;
  }
}

class WinHttpTransport : public HttpTransport {
 public:
  ~WinHttpTransport() override {
    CloseRequest();
    if (session_) {
      WinHttpCloseHandle(session_);
    }
  }

  bool OpenSession(std::u16string_view userAgent) override {
    session_ = WinHttpOpen(Wide(userAgent).c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                           WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    return session_ != nullptr;
  }

  bool SetTimeouts(const HttpTimeouts& timeouts) override {
    return session_ && WinHttpSetTimeouts(session_, timeouts.resolve, timeouts.connect,
                                          timeouts.send, timeouts.receive);
  }

  bool OpenRequest(const HttpTarget& target, std::u16string_view verb) override {
    CloseRequest();
    if (!session_) {
      return false;
    }
    connect_ = WinHttpConnect(session_, Wide(target.host).c_str(), target.port, 0);
    if (!connect_) {
      return false;
    }
    request_ = WinHttpOpenRequest(connect_, Wide(verb).c_str(), Wide(target.path).c_str(), nullptr,
                                  WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                  target.secure ? WINHTTP_FLAG_SECURE : 0);
    return request_ != nullptr;
  }

  bool DisableRedirects() override {
    DWORD feature = WINHTTP_DISABLE_REDIRECTS;
    return request_ &&
           WinHttpSetOption(request_, WINHTTP_OPTION_DISABLE_FEATURE, &feature, sizeof(feature));
  }

  SendOutcome Send() override {
    if (request_ && WinHttpSendRequest(request_, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                       WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
      return SendOutcome::Sent;
    }
    return IsCertificateFailure(GetLastError()) ? SendOutcome::CertificateRejected
                                                : SendOutcome::Failed;
  }

  std::optional<UserProxyConfig> ReadUserProxyConfig() override {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    if (!WinHttpGetIEProxyConfigForCurrentUser(&config)) {
      return std::nullopt;
    }
    UserProxyConfig result;
    result.autoConfigUrl = TakeGlobal(config.lpszAutoConfigUrl);
    result.proxy = TakeGlobal(config.lpszProxy);
    result.proxyBypass = TakeGlobal(config.lpszProxyBypass);
    return result;
  }

  bool UseAutoConfigProxy(std::u16string_view url, std::u16string_view autoConfigUrl) override {
    const std::wstring script = Wide(autoConfigUrl);
    WINHTTP_AUTOPROXY_OPTIONS options{};
    options.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT;
    options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP;
    if (!script.empty()) {
      options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
      options.lpszAutoConfigUrl = script.c_str();
    }
    options.fAutoLogonIfChallenged = TRUE;
    WINHTTP_PROXY_INFO info{};
    if (!request_ || !WinHttpGetProxyForUrl(session_, Wide(url).c_str(), &options, &info)) {
      return false;
    }
    const BOOL set = WinHttpSetOption(request_, WINHTTP_OPTION_PROXY, &info, sizeof(info));
    FreeGlobal(info.lpszProxy);
    FreeGlobal(info.lpszProxyBypass);
    return set != FALSE;
  }

  bool UseNamedProxy(std::u16string_view proxy, std::u16string_view bypass) override {
    std::wstring name = Wide(proxy);
    std::wstring skip = Wide(bypass);
    WINHTTP_PROXY_INFO info{};
    info.dwAccessType = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
    info.lpszProxy = name.data();
    info.lpszProxyBypass = skip.empty() ? nullptr : skip.data();
    return request_ && WinHttpSetOption(request_, WINHTTP_OPTION_PROXY, &info, sizeof(info));
  }

  bool ReceiveResponse() override { return request_ && WinHttpReceiveResponse(request_, nullptr); }

  std::optional<std::u16string> ReadRawHeaders() override {
    DWORD size = 0;
    WinHttpQueryHeaders(request_, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                        WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) {
      return std::nullopt;
    }
    std::wstring headers(size / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryHeaders(request_, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                             headers.data(), &size, WINHTTP_NO_HEADER_INDEX)) {
      return std::nullopt;
    }
    headers.resize(size / sizeof(wchar_t));
    return FromWide(headers);
  }

  std::optional<std::uint32_t> QueryDataAvailable() override {
    DWORD available = 0;
    if (!request_ || !WinHttpQueryDataAvailable(request_, &available)) {
      return std::nullopt;
    }
    return available;
  }

  std::optional<std::size_t> ReadData(char* buffer, std::size_t size) override {
    DWORD read = 0;
    if (!request_ || !WinHttpReadData(request_, buffer, static_cast<DWORD>(size), &read)) {
      return std::nullopt;
    }
    return read;
  }

  void CloseRequest() override {
    if (request_) {
      WinHttpCloseHandle(request_);
      request_ = nullptr;
    }
    if (connect_) {
      WinHttpCloseHandle(connect_);
      connect_ = nullptr;
    }
  }

  std::u16string DecodeAnsi(std::string_view bytes) override { return AnsiToUtf16(bytes); }

 private:
  HINTERNET session_ = nullptr;
  HINTERNET connect_ = nullptr;
  HINTERNET request_ = nullptr;
};

}  // namespace

std::unique_ptr<HttpTransport> MakeWinHttpTransport() {
  return std::make_unique<WinHttpTransport>();
}
