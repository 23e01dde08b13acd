// A scripted HTTP service for HttpClient and its callers. Each path has a
// queue of exchanges; every send takes the next one (the last one stays).
// The transports it makes record what the client did, in order.
#pragma once

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/event.h"
#include "base/text.h"
#include "update/http_transport.h"

struct FakeExchange {
  SendOutcome send = SendOutcome::Sent;
  bool receives = true;
  std::u16string headers = u"HTTP/1.1 200 OK\r\n\r\n";
  // The body as the service hands it out: one availability report per chunk.
  std::vector<std::string> chunks;
  // The availability query fails after the chunks (a dropped connection).
  bool dropsAfterChunks = false;

  static FakeExchange Body(std::string body, std::u16string headers = u"HTTP/1.1 200 OK\r\n\r\n") {
    FakeExchange exchange;
    exchange.headers = std::move(headers);
    exchange.chunks.push_back(std::move(body));
    return exchange;
  }
};

class FakeHttpService {
 public:
  void Serve(const std::u16string& path, std::vector<FakeExchange> exchanges) {
    std::lock_guard lock(mutex_);
    routes_.push_back({path, std::move(exchanges)});
  }

  HttpTransportFactory Factory();

  // What every transport did, in order ("Send /path", "NamedProxy p|b", ...).
  std::vector<std::string> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }
  int SendsTo(const std::string& path) const {
    int count = 0;
    for (const std::string& event : Events()) {
      count += event == "Send " + path ? 1 : 0;
    }
    return count;
  }

  std::optional<UserProxyConfig> proxyConfig;
  bool autoProxyFound = true;
  // When set, every send to gatedPath (any path when empty) waits for it first.
  Event* sendGate = nullptr;
  std::u16string gatedPath;
  // Set when a send has come to the gate.
  Event atGate{Event::ResetMode::Manual, false};

 private:
  friend class FakeHttpTransport;
  struct Route {
    std::u16string path;
    std::vector<FakeExchange> exchanges;
    std::size_t next = 0;
  };

  void Record(std::string event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
  }
  // The next exchange of the path; nullopt for an unknown path.
  std::optional<FakeExchange> Take(const std::u16string& path) {
    std::lock_guard lock(mutex_);
    for (Route& route : routes_) {
      if (route.path == path && !route.exchanges.empty()) {
        const std::size_t index = std::min(route.next, route.exchanges.size() - 1);
        ++route.next;
        return route.exchanges[index];
      }
    }
    return std::nullopt;
  }

  mutable std::mutex mutex_;
  std::vector<Route> routes_;
  std::vector<std::string> events_;
};

class FakeHttpTransport : public HttpTransport {
 public:
  explicit FakeHttpTransport(FakeHttpService& service) : service_(service) {}
  ~FakeHttpTransport() override { service_.Record("CloseSession"); }

  bool OpenSession(std::u16string_view userAgent) override {
    service_.Record("OpenSession " + Utf16ToUtf8(userAgent));
    return true;
  }
  bool SetTimeouts(const HttpTimeouts& t) override {
    service_.Record("Timeouts " + std::to_string(t.resolve) + " " + std::to_string(t.connect) +
                    " " + std::to_string(t.send) + " " + std::to_string(t.receive));
    return true;
  }
  bool OpenRequest(const HttpTarget& target, std::u16string_view verb) override {
    target_ = target;
    service_.Record("OpenRequest " + Utf16ToUtf8(verb) + (target.secure ? " https " : " http ") +
                    Utf16ToUtf8(target.host) + ":" + std::to_string(target.port) +
                    Utf16ToUtf8(target.path));
    return true;
  }
  bool DisableRedirects() override {
    service_.Record("DisableRedirects");
    return true;
  }
  SendOutcome Send() override {
    if (service_.sendGate && (service_.gatedPath.empty() || service_.gatedPath == target_.path)) {
      service_.atGate.Set();
      service_.sendGate->Wait();
    }
    service_.Record("Send " + Utf16ToUtf8(target_.path));
    current_ = service_.Take(target_.path);
    if (!current_) {
      return SendOutcome::Failed;
    }
    chunk_ = 0;
    return current_->send;
  }
  std::optional<UserProxyConfig> ReadUserProxyConfig() override {
    service_.Record("ReadProxyConfig");
    return service_.proxyConfig;
  }
  bool UseAutoConfigProxy(std::u16string_view url, std::u16string_view script) override {
    service_.Record("AutoProxy " + Utf16ToUtf8(url) + " " + Utf16ToUtf8(script));
    return service_.autoProxyFound;
  }
  bool UseNamedProxy(std::u16string_view proxy, std::u16string_view bypass) override {
    service_.Record("NamedProxy " + Utf16ToUtf8(proxy) + "|" + Utf16ToUtf8(bypass));
    return true;
  }
  bool ReceiveResponse() override {
    return current_ && current_->send == SendOutcome::Sent && current_->receives;
  }
  std::optional<std::u16string> ReadRawHeaders() override { return current_->headers; }
  std::optional<std::uint32_t> QueryDataAvailable() override {
    if (chunk_ < current_->chunks.size()) {
      return static_cast<std::uint32_t>(current_->chunks[chunk_].size());
    }
    if (current_->dropsAfterChunks) {
      return std::nullopt;
    }
    return 0;
  }
  std::optional<std::size_t> ReadData(char* buffer, std::size_t size) override {
    const std::string& chunk = current_->chunks.at(chunk_++);
    const std::size_t count = std::min(size, chunk.size());
    std::copy_n(chunk.data(), count, buffer);
    return count;
  }
  void CloseRequest() override { service_.Record("CloseRequest"); }
  // Latin-1 stands in for the ANSI code page.
  std::u16string DecodeAnsi(std::string_view bytes) override {
    std::u16string text;
    for (const char byte : bytes) {
      text.push_back(static_cast<unsigned char>(byte));
    }
    return text;
  }

 private:
  FakeHttpService& service_;
  HttpTarget target_;
  std::optional<FakeExchange> current_;
  std::size_t chunk_ = 0;
};

inline HttpTransportFactory FakeHttpService::Factory() {
  return [this] { return std::make_unique<FakeHttpTransport>(*this); };
}
