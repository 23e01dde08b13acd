#include "update/http_client.h"

#include <algorithm>
#include <limits>
#include <new>

#include "app/log.h"
#include "base/text.h"
#include "config/file_io.h"

namespace {

constexpr std::size_t kMaxHostLength = 259;
constexpr std::size_t kMaxPathLength = 1299;

bool IsCharsetChar(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
         c == u'-' || c == u'_';
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

bool ContainsNoCase(std::u16string_view text, std::u16string_view part) {
  return ToLowerAscii(text).find(ToLowerAscii(part)) != std::u16string::npos;
}

std::optional<std::u16string> FirstCapture(std::u16string_view text, std::u16string_view prefix,
                                           bool (*allowed)(char16_t)) {
  std::vector<std::u16string> found = FindCaptures(text, prefix, allowed);
  if (found.empty()) {
    return std::nullopt;
  }
  return found.front();
}

}  // namespace

std::optional<HttpTarget> SplitHttpUrl(std::u16string_view url) {
  const std::size_t schemeEnd = url.find(u"://");
  if (schemeEnd == std::u16string_view::npos) {
    return std::nullopt;
  }
  HttpTarget target;
  const std::u16string_view scheme = url.substr(0, schemeEnd);
  if (EqualsNoCase(scheme, u"https")) {
    target.secure = true;
    target.port = 443;
  } else if (!EqualsNoCase(scheme, u"http")) {
    return std::nullopt;
  }
  std::u16string_view rest = url.substr(schemeEnd + 3);
  rest = rest.substr(0, rest.find(u'#'));
  const std::size_t authorityEnd = rest.find_first_of(u"/?");
  const std::u16string_view authority = rest.substr(0, authorityEnd);
  std::u16string_view path =
      authorityEnd == std::u16string_view::npos ? std::u16string_view() : rest.substr(authorityEnd);

  // An IPv6 literal keeps its colons inside brackets.
  std::size_t portColon = authority.rfind(u':');
  if (portColon != std::u16string_view::npos &&
      authority.find(u']', portColon) != std::u16string_view::npos) {
    portColon = std::u16string_view::npos;
  }
  target.host = std::u16string(authority.substr(0, portColon));
  if (target.host.empty() || target.host.size() > kMaxHostLength ||
      target.host.find(u'@') != std::u16string::npos) {
    return std::nullopt;
  }
  if (portColon != std::u16string_view::npos) {
    const std::u16string_view port = authority.substr(portColon + 1);
    if (port.empty() || port.size() > 5 || !IsAllDigits(port)) {
      return std::nullopt;
    }
    const std::uint64_t value = ParseDecimal(port);
    if (value == 0 || value > 65535) {
      return std::nullopt;
    }
    target.port = static_cast<std::uint16_t>(value);
  }
  target.path = path.empty() ? u"/" : (path.front() == u'?' ? u"/" : u"") + std::u16string(path);
  if (target.path.size() > kMaxPathLength) {
    return std::nullopt;
  }
  return target;
}

std::vector<std::u16string> FindCaptures(std::u16string_view text, std::u16string_view prefix,
                                         const std::function<bool(char16_t)>& allowed) {
  std::vector<std::u16string> found;
  const std::u16string folded = ToLowerAscii(text);
  const std::u16string foldedPrefix = ToLowerAscii(prefix);
  std::size_t from = 0;
  while (from < folded.size()) {
    const std::size_t at = folded.find(foldedPrefix, from);
    if (at == std::u16string::npos) {
      break;
    }
    std::size_t end = at + foldedPrefix.size();
    while (end < text.size() && allowed(text[end])) {
      ++end;
    }
    const std::size_t valueStart = at + foldedPrefix.size();
    if (end == valueStart) {
      from = at + 1;
      continue;
    }
    std::u16string value(text.substr(valueStart, end - valueStart));
    bool seen = false;
    for (const std::u16string& earlier : found) {
      seen = seen || EqualsNoCase(earlier, value);
    }
    if (!seen) {
      found.push_back(std::move(value));
    }
    from = end;
  }
  return found;
}

HttpClient::HttpClient(std::unique_ptr<HttpTransport> transport, std::u16string url,
                       HttpProgress progress, FileWriter writer)
    : transport_(std::move(transport)),
      url_(std::move(url)),
      progress_(std::move(progress)),
      writer_(writer ? std::move(writer) : FileWriter(ReplaceFileContent)) {}

HttpClient::~HttpClient() = default;

bool HttpClient::Request(std::u16string_view verb, bool disableRedirects) {
  const std::u16string upperVerb = ToUpperAscii(verb);
  if (!transport_ || url_.empty() || (upperVerb != u"GET" && upperVerb != u"POST")) {
    return false;
  }
  if (!sessionOpen_) {
    if (!transport_->OpenSession(kHttpUserAgent)) {
      return false;
    }
    sessionOpen_ = true;
  }
  if (!transport_->SetTimeouts(timeouts_)) {
    return false;
  }
  const std::optional<HttpTarget> target = SplitHttpUrl(url_);
  if (!target) {
    return false;
  }
  host_ = target->host;

  bool accepted = false;
  try {
    if (transport_->OpenRequest(*target, upperVerb)) {
      certificateRejected_ = false;
      // A rejected certificate will not pass on a later attempt either.
      for (int attempt = 0; attempt < kHttpAttempts && !accepted && !certificateRejected_;
           ++attempt) {
        accepted = Attempt(upperVerb == u"GET", disableRedirects);
      }
    }
  } catch (const std::bad_alloc&) {
    accepted = false;
  }
  transport_->CloseRequest();
  return accepted;
}

bool HttpClient::Attempt(bool isGet, bool disableRedirects) {
  if (disableRedirects && !transport_->DisableRedirects()) {
    return false;
  }
  if (!SendWithProxyFallBack() || !transport_->ReceiveResponse()) {
    return false;
  }
  std::optional<std::u16string> headers = transport_->ReadRawHeaders();
  if (!headers) {
    return false;
  }
  // Everything below describes this response alone: a value the previous
  // response named must not leak into this one.
  headers_ = std::move(*headers);
  charset_ = FirstCapture(headers_, u"charset=", IsCharsetChar).value_or(u"");
  contentLength_ = static_cast<std::uint32_t>(
      ParseDecimal(FirstCapture(headers_, u"Content-Length: ", IsDigit).value_or(u"0"),
                   std::numeric_limits<std::uint32_t>::max()));
  body_.clear();
  text_.clear();
  if (!ReadBody()) {
    return false;
  }
  Decode();
  // A page cut off in transit lacks its closing tag: fetch it again.
  if (isGet && !disableRedirects && ContainsNoCase(text_, u"<html>") &&
      !ContainsNoCase(text_, u"</html>")) {
    return false;
  }
  return true;
}

bool HttpClient::SendWithProxyFallBack() {
  const SendOutcome outcome = transport_->Send();
  if (outcome == SendOutcome::Sent) {
    return true;
  }
  if (outcome == SendOutcome::CertificateRejected) {
    certificateRejected_ = true;
    LogFormat(u"HttpClient::Request:: The certificate of \"%s\" was rejected", host_);
    return false;
  }
  const std::optional<UserProxyConfig> config = transport_->ReadUserProxyConfig();
  if (!config) {
    return false;
  }
  if (!config->autoConfigUrl.empty()) {
    return transport_->UseAutoConfigProxy(url_, config->autoConfigUrl) &&
           transport_->Send() == SendOutcome::Sent;
  }
  if (!config->proxy.empty()) {
    // The next attempt sends through it.
    transport_->UseNamedProxy(config->proxy, config->proxyBypass);
  }
  return false;
}

bool HttpClient::ReadBody() {
  body_.reserve(10240);
  std::string chunk;
  for (;;) {
    const std::optional<std::uint32_t> available = transport_->QueryDataAvailable();
    if (!available) {
      return false;
    }
    ReportProgress();
    if (*available == 0) {
      break;
    }
    chunk.resize(*available);
    const std::optional<std::size_t> read = transport_->ReadData(chunk.data(), chunk.size());
    if (!read) {
      return false;
    }
    if (*read == 0) {
      break;
    }
    body_.append(chunk.data(), std::min(*read, chunk.size()));
  }
  ReportProgress();
  // A body shorter than announced was cut off; it must not pass as whole.
  return contentLength_ == 0 || body_.size() >= contentLength_;
}

void HttpClient::ReportProgress() const {
  if (progress_ && contentLength_ != 0) {
    progress_(100.0 * static_cast<double>(body_.size()) / contentLength_);
  }
}

void HttpClient::Decode() {
  text_ = StartsWithNoCase(charset_, u"utf-8") ? Utf8ToUtf16(body_) : transport_->DecodeAnsi(body_);
  if (text_.empty()) {
    text_ = transport_->DecodeAnsi(body_);
  }
  const std::size_t nul = text_.find(u'\0');
  if (nul != std::u16string::npos) {
    text_.resize(nul);
  }
}

bool HttpClient::SaveResponseToFile(std::u16string_view path) const {
  return !body_.empty() && writer_(path, body_);
}
