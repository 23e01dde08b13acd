// What HttpClient needs of the platform's HTTP service: one session, and on
// it one request at a time that is sent, answered and read in chunks. The
// Windows implementation wraps WinHTTP; tests script one. The client decides
// everything else (attempts, proxy fall-back, decoding, acceptance).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Milliseconds for each phase; 0 means no limit.
struct HttpTimeouts {
  int resolve = 0;
  int connect = 60000;
  int send = 30000;
  int receive = 30000;
};

// Where a request goes, from a split URL.
struct HttpTarget {
  bool secure = false;  // https
  std::u16string host;
  std::uint16_t port = 80;
  // The path with its query, at least "/".
  std::u16string path;
  bool operator==(const HttpTarget&) const = default;
};

// The current user's proxy settings (the Internet Options' ones).
struct UserProxyConfig {
  // The automatic-configuration script's URL; empty when none is set.
  std::u16string autoConfigUrl;
  // A named proxy and its bypass list; empty when none is set.
  std::u16string proxy;
  std::u16string proxyBypass;
};

enum class SendOutcome {
  Sent,
  // Any failure a proxy might cure (no route, name not resolved, refused).
  Failed,
  // The server's certificate did not pass the platform's checks (unknown
  // authority, expired, wrong name, revoked). A proxy cannot cure this.
  CertificateRejected,
};

class HttpTransport {
 public:
  virtual ~HttpTransport() = default;

  // Opens the session with the user agent, the platform's default proxy
  // setting and synchronous calls. Called once; the session lives until the
  // transport is destroyed.
  virtual bool OpenSession(std::u16string_view userAgent) = 0;
  virtual bool SetTimeouts(const HttpTimeouts& timeouts) = 0;

  // Connects to the target and opens a request for the verb ("GET" or
  // "POST"). An https request keeps every certificate check of the platform
  // on; no check may be switched off.
  virtual bool OpenRequest(const HttpTarget& target, std::u16string_view verb) = 0;
  // Switches off automatic redirects on the open request.
  virtual bool DisableRedirects() = 0;
  // Sends the request without extra headers or body.
  virtual SendOutcome Send() = 0;

  // Proxy fall-back after a failed send.
  virtual std::optional<UserProxyConfig> ReadUserProxyConfig() = 0;
  // Finds the proxy for the URL by automatic detection (DHCP) and the
  // script, logging on automatically when challenged, and sets it on the open
  // request; false when none could be found or set.
  virtual bool UseAutoConfigProxy(std::u16string_view url, std::u16string_view autoConfigUrl) = 0;
  // Sets a named proxy with its bypass list on the open request.
  virtual bool UseNamedProxy(std::u16string_view proxy, std::u16string_view bypass) = 0;

  // Waits for the response to the last send. False on any failure,
  // including a certificate the platform rejects only at this point.
  virtual bool ReceiveResponse() = 0;
  // The raw header block, lines separated by CR LF.
  virtual std::optional<std::u16string> ReadRawHeaders() = 0;
  // How many body bytes can be read now: 0 at the end of the body,
  // nullopt on failure.
  virtual std::optional<std::uint32_t> QueryDataAvailable() = 0;
  // Reads up to size bytes into buffer; how many were read, nullopt on failure.
  virtual std::optional<std::size_t> ReadData(char* buffer, std::size_t size) = 0;
  // Closes the request and its connection (no effect when none is open).
  virtual void CloseRequest() = 0;

  // Bytes in the system's ANSI code page as UTF-16.
  virtual std::u16string DecodeAnsi(std::string_view bytes) = 0;
};

// Makes a transport for each HttpClient.
using HttpTransportFactory = std::function<std::unique_ptr<HttpTransport>()>;

#ifdef _WIN32
// The WinHTTP transport (http_transport_win.cpp).
std::unique_ptr<HttpTransport> MakeWinHttpTransport();
#endif
