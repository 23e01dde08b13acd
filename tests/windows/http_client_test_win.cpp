// The HTTP client over WinHTTP against a server of the test on 127.0.0.1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/wide_win.h"
#include "http_test_server_win.h"
#include "test_support_win.h"
#include "update/http_client.h"

namespace {

struct Fetch {
  bool ok = false;
  std::vector<double> progress;
  std::string body;
  std::u16string text;
};

Fetch Get(const HttpTestServer& server, const std::u16string& path) {
  Fetch fetch;
  HttpClient client(MakeWinHttpTransport(), server.BaseUrl() + path,
                    [&fetch](double percent) { fetch.progress.push_back(percent); });
  fetch.ok = client.Request(u"GET");
  fetch.body = client.ResponseBody();
  fetch.text = client.GetResponseText();
  return fetch;
}

}  // namespace

TEST(HttpClientWinTest, BodiesWithAndWithoutLengthAndProgressOnlyWithALength) {
  HttpTestServer server;
  server.Serve("/version.txt", {200, "version=1.2-6.5\r\n", true, "text/plain"});
  server.Serve("/stream.txt", {200, "no length here", false, "text/plain"});

  const Fetch sized = Get(server, u"/version.txt");
  EXPECT_TRUE(sized.ok);
  EXPECT_EQ(sized.text, u"version=1.2-6.5\r\n");
  ASSERT_FALSE(sized.progress.empty());
  EXPECT_DOUBLE_EQ(sized.progress.back(), 100.0);

  const Fetch unsized = Get(server, u"/stream.txt");
  EXPECT_TRUE(unsized.ok);
  EXPECT_EQ(unsized.body, "no length here");
  EXPECT_TRUE(unsized.progress.empty()) << "no Content-Length, no progress";
}

TEST(HttpClientWinTest, HtmlWithoutItsClosingTagIsFetchedThreeTimes) {
  HttpTestServer server;
  server.Serve("/cut.html", {200, "<html><body>half a page", true, "text/html"});
  server.Serve("/whole.html", {200, "<html><body>page</body></html>", true, "text/html"});
  EXPECT_FALSE(Get(server, u"/cut.html").ok);
  EXPECT_EQ(server.Hits("/cut.html"), 3);
  EXPECT_TRUE(Get(server, u"/whole.html").ok);
  EXPECT_EQ(server.Hits("/whole.html"), 1);
}

TEST(HttpClientWinTest, LargeDownloadIsSavedByteForByte) {
  HttpTestServer server;
  std::string installer(300 * 1024, '\0');
  for (std::size_t i = 0; i < installer.size(); ++i) {
    installer[i] = static_cast<char>(i * 7 % 251);
  }
  server.Serve("/setup.exe", {200, installer, true, "application/octet-stream"});
  std::vector<double> progress;
  HttpClient client(MakeWinHttpTransport(), server.BaseUrl() + u"/setup.exe",
                    [&progress](double percent) { progress.push_back(percent); });
  ASSERT_TRUE(client.Request(u"GET"));
  EXPECT_GT(progress.size(), 1u);
  EXPECT_DOUBLE_EQ(progress.back(), 100.0);
  const std::wstring file = MakeScratchFolder(L"http") + L"setup.exe";
  ASSERT_TRUE(client.SaveResponseToFile(FromWide(file)));
  EXPECT_EQ(ReadWholeFile(file), installer);
}

TEST(HttpClientWinTest, NoServerIsAFailedRequest) {
  unsigned short port = 0;
  {
    HttpTestServer gone;
    port = gone.port();
  }
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/x";
  HttpClient client(MakeWinHttpTransport(), std::u16string(url.begin(), url.end()));
  EXPECT_FALSE(client.Request(u"GET"));
}
