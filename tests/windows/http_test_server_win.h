// A small HTTP/1.1 server on 127.0.0.1 for the tests: answers the paths it
// was given, counts the requests per path, and closes each connection after
// its answer (so a body without Content-Length ends at the close).
#pragma once

#include <winsock2.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

class HttpTestServer {
 public:
  struct Response {
    int status = 200;
    std::string body;
    bool contentLength = true;
    std::string contentType = "text/plain";
  };

  HttpTestServer();  // listens on an ephemeral port
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  void Serve(const std::string& path, Response response);
  int Hits(const std::string& path);
  unsigned short port() const { return port_; }
  // "http://127.0.0.1:<port>"
  std::u16string BaseUrl() const;

 private:
  void Run();
  void Answer(SOCKET client);

  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex lock_;
  std::map<std::string, Response> responses_;
  std::map<std::string, int> hits_;
  std::thread thread_;
};
