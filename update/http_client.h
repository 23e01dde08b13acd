// A small synchronous HTTP client: fetches one URL at a time and keeps the
// response's header block, body bytes and body text. It retries up to three
// times, falls back to the user's proxy settings when sending fails, and
// fetches an HTML page again when it arrives without its closing tag. The
// status code is not looked at: any complete response counts.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update/http_transport.h"

inline constexpr std::u16string_view kHttpUserAgent = u"QVRNT HTTP Client";
inline constexpr int kHttpAttempts = 3;

// Receives the percentage of the body received so far.
using HttpProgress = std::function<void(double percent)>;
// Writes a whole file (created or replaced); false when it cannot.
using FileWriter = std::function<bool(std::u16string_view path, std::string_view bytes)>;

// Splits an http or https URL (scheme in any case, optional port, path with
// its query; a fragment is dropped). Nullopt for another scheme, an empty
// or overlong host (over 259 characters), a bad port or a path over 1299
// characters.
std::optional<HttpTarget> SplitHttpUrl(std::u16string_view url);

// The captured values of a pattern such as "charset={[A-Za-z0-9\-_]+}" in
// text: prefix is the literal text before the braces and allowed the class
// inside them (one or more). Letter case is ignored; matches do not overlap;
// a value equal (ignoring case) to an earlier one is left out.
std::vector<std::u16string> FindCaptures(std::u16string_view text, std::u16string_view prefix,
                                         const std::function<bool(char16_t)>& allowed);

class HttpClient {
 public:
  // No network activity. The writer serves SaveResponseToFile.
  HttpClient(std::unique_ptr<HttpTransport> transport, std::u16string url,
             HttpProgress progress = {}, FileWriter writer = {});
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // Performs the request; true when a response arrived whole and was
  // accepted. A certificate the platform rejects fails the request at once,
  // without a proxy fall-back. The verb is "GET" or "POST" in any case; any other fails at
  // once.
  bool Request(std::u16string_view verb, bool disableRedirects = false);

  // The next request goes here; the session stays open.
  void SetUrl(std::u16string url) { url_ = std::move(url); }

  // False when the body is empty or the file cannot be written; otherwise
  // the file holds exactly the body bytes.
  bool SaveResponseToFile(std::u16string_view path) const;

  std::u16string GetResponseText() const { return text_; }
  const std::u16string& ResponseHeaders() const { return headers_; }
  const std::string& ResponseBody() const { return body_; }
  // Of the last response; empty and 0 when it named none.
  const std::u16string& ResponseCharset() const { return charset_; }
  std::uint32_t ContentLength() const { return contentLength_; }
  // The host of the last request's URL.
  const std::u16string& Host() const { return host_; }

 private:
  bool Attempt(bool isGet, bool disableRedirects);
  bool SendWithProxyFallBack();
  bool ReadBody();
  void Decode();
  void ReportProgress() const;

  std::unique_ptr<HttpTransport> transport_;
  bool sessionOpen_ = false;
  bool certificateRejected_ = false;
  std::u16string url_;
  std::u16string host_;
  std::u16string headers_;
  std::u16string text_;
  std::u16string charset_;
  std::string body_;
  HttpProgress progress_;
  FileWriter writer_;
  std::uint32_t contentLength_ = 0;
  HttpTimeouts timeouts_;
};
