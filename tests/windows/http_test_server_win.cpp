#include "http_test_server_win.h"

#include <ws2tcpip.h>

#include <string>

namespace {

const char* ReasonFor(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 404:
      return "Not Found";
    default:
      return "Status";
  }
}

}  // namespace

HttpTestServer::HttpTestServer() {
  WSADATA data{};
  WSAStartup(MAKEWORD(2, 2), &data);
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  listen(listener_, 16);
  int length = sizeof(address);
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Run(); });
}

HttpTestServer::~HttpTestServer() {
  stop_ = true;
  closesocket(listener_);
  thread_.join();
  WSACleanup();
}

void HttpTestServer::Serve(const std::string& path, Response response) {
  std::lock_guard<std::mutex> guard(lock_);
  responses_[path] = std::move(response);
}

int HttpTestServer::Hits(const std::string& path) {
  std::lock_guard<std::mutex> guard(lock_);
  return hits_[path];
}

std::u16string HttpTestServer::BaseUrl() const {
  const std::string url = "http://127.0.0.1:" + std::to_string(port_);
  return std::u16string(url.begin(), url.end());
}

void HttpTestServer::Run() {
  while (!stop_) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener_, &readable);
    timeval wait{0, 100000};
    if (select(0, &readable, nullptr, nullptr, &wait) <= 0) {
      continue;
    }
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) {
      continue;
    }
    Answer(client);
    shutdown(client, SD_SEND);
    closesocket(client);
  }
}

void HttpTestServer::Answer(SOCKET client) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos) {
    const int received = recv(client, buffer, sizeof(buffer), 0);
    if (received <= 0) {
      return;
    }
    request.append(buffer, static_cast<std::size_t>(received));
  }
  const std::size_t pathStart = request.find(' ') + 1;
  const std::string path = request.substr(pathStart, request.find(' ', pathStart) - pathStart);
  Response response{404, "missing", true, "text/plain"};
  {
    std::lock_guard<std::mutex> guard(lock_);
    ++hits_[path];
    if (auto found = responses_.find(path); found != responses_.end()) {
      response = found->second;
    }
  }
  std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " +
                     ReasonFor(response.status) + "\r\nContent-Type: " + response.contentType +
                     "\r\nConnection: close\r\n";
  if (response.contentLength) {
    head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
  }
  head += "\r\n";
  const std::string answer = head + response.body;
  std::size_t sent = 0;
  while (sent < answer.size()) {
    const int result =
        send(client, answer.data() + sent, static_cast<int>(answer.size() - sent), 0);
    if (result <= 0) {
      return;
    }
    sent += static_cast<std::size_t>(result);
  }
}
