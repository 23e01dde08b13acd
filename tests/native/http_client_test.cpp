#include "update/http_client.h"

#include <fstream>
#include <iterator>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_http.h"
#include "fakes/log_capture.h"
#include "fakes/temp_folder.h"

using ::testing::ElementsAre;

namespace {

constexpr char16_t kUrl[] = u"http://updates.test/file.txt";

class HttpClientTest : public ::testing::Test {
 protected:
  HttpClient Client(std::u16string url = kUrl, HttpProgress progress = {}) {
    return HttpClient(service.Factory()(), std::move(url), std::move(progress));
  }

  FakeHttpService service;
};

TEST(SplitHttpUrlTest, SplitsSchemeHostPortAndPath) {
  struct Case {
    std::u16string url;
    std::optional<HttpTarget> expected;
  };
  const Case cases[] = {
      {u"http://host/a/b.txt", HttpTarget{false, u"host", 80, u"/a/b.txt"}},
      {u"HTTPS://Host.example", HttpTarget{true, u"Host.example", 443, u"/"}},
      {u"http://127.0.0.1:8080/x?file=a/b.exe&k=v#top",
       HttpTarget{false, u"127.0.0.1", 8080, u"/x?file=a/b.exe&k=v"}},
      {u"http://host?q=1", HttpTarget{false, u"host", 80, u"/?q=1"}},
      {u"https://[::1]:4443/p", HttpTarget{true, u"[::1]", 4443, u"/p"}},
      {u"ftp://host/file", std::nullopt},
      {u"host/file", std::nullopt},
      {u"http:///path", std::nullopt},
      {u"http://host:/p", std::nullopt},
      {u"http://host:70000/p", std::nullopt},
      {u"http://host:0/p", std::nullopt},
      {u"http://" + std::u16string(260, u'h') + u"/", std::nullopt},
      {u"http://host/" + std::u16string(1299, u'p'), std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitHttpUrl(c.url), c.expected) << Utf16ToUtf8(c.url);
  }
}

TEST(FindCapturesTest, CollectsDistinctValuesIgnoringCase) {
  const auto isToken = [](char16_t c) { return c != u';' && c != u'\r' && c != u' '; };
  EXPECT_THAT(FindCaptures(u"a CHARSET=utf-8; charset=; charset=UTF-8; charset=latin1", u"charset=",
                           isToken),
              ElementsAre(u"utf-8", u"latin1"));
  EXPECT_TRUE(FindCaptures(u"no such header", u"charset=", isToken).empty());
}

TEST_F(HttpClientTest, GetOpensTheSessionOnceAndSendsTheVerbInUpperCase) {
  service.Serve(u"/file.txt", {FakeExchange::Body("one")});
  service.Serve(u"/other.txt", {FakeExchange::Body("two")});
  {
    HttpClient client = Client();
    ASSERT_TRUE(client.Request(u"get"));
    EXPECT_EQ(client.GetResponseText(), u"one");
    EXPECT_EQ(client.Host(), u"updates.test");
    client.SetUrl(u"http://updates.test:81/other.txt");
    ASSERT_TRUE(client.Request(u"GET"));
    EXPECT_EQ(client.GetResponseText(), u"two");
  }
  EXPECT_THAT(
      service.Events(),
      ElementsAre("OpenSession QVRNT HTTP Client", "Timeouts 0 60000 30000 30000",
                  "OpenRequest GET http updates.test:80/file.txt", "Send /file.txt", "CloseRequest",
                  "Timeouts 0 60000 30000 30000", "OpenRequest GET http updates.test:81/other.txt",
                  "Send /other.txt", "CloseRequest", "CloseSession"));
}

TEST_F(HttpClientTest, RefusesWithoutNetworkActivity) {
  struct Case {
    std::u16string url;
    std::u16string verb;
  };
  const Case cases[] = {
      {kUrl, u"PUT"}, {kUrl, u"GETS"}, {kUrl, u""}, {u"", u"GET"}, {u"gopher://x/", u"GET"}};
  for (const Case& c : cases) {
    HttpClient client = Client(c.url);
    EXPECT_FALSE(client.Request(c.verb)) << Utf16ToUtf8(c.verb);
  }
  for (const std::string& event : service.Events()) {
    EXPECT_TRUE(event.rfind("Send", 0) != 0 && event.rfind("OpenRequest", 0) != 0) << event;
  }
}

TEST_F(HttpClientTest, ErrorStatusBodyIsTheResponse) {
  service.Serve(u"/file.txt", {FakeExchange::Body("Not here", u"HTTP/1.1 404 Not Found\r\n\r\n")});
  HttpClient client = Client();
  ASSERT_TRUE(client.Request(u"GET"));
  EXPECT_EQ(client.GetResponseText(), u"Not here");
  EXPECT_EQ(client.ResponseHeaders(), u"HTTP/1.1 404 Not Found\r\n\r\n");
}

TEST_F(HttpClientTest, HtmlWithoutClosingTagIsFetchedAgain) {
  const FakeExchange cutOff = FakeExchange::Body("<HTML><body>half");
  const FakeExchange whole = FakeExchange::Body("<HTML><body>all</body></HTML>");
  struct Case {
    const char* name;
    std::vector<FakeExchange> exchanges;
    std::u16string verb;
    bool disableRedirects;
    bool accepted;
    int sends;
  };
  const Case cases[] = {
      {"whole page in upper case", {whole}, u"GET", false, true, 1},
      {"cut off, then whole", {cutOff, whole}, u"GET", false, true, 2},
      {"always cut off", {cutOff}, u"GET", false, false, 3},
      {"POST takes it as it is", {cutOff}, u"POST", false, true, 1},
      {"without redirects too", {cutOff}, u"GET", true, true, 1},
  };
  for (const Case& c : cases) {
    FakeHttpService fresh;
    fresh.Serve(u"/file.txt", c.exchanges);
    HttpClient client(fresh.Factory()(), kUrl);
    EXPECT_EQ(client.Request(c.verb, c.disableRedirects), c.accepted) << c.name;
    EXPECT_EQ(fresh.SendsTo("/file.txt"), c.sends) << c.name;
  }
}

TEST_F(HttpClientTest, DisablingRedirectsPrecedesEverySend) {
  FakeExchange failed;
  failed.send = SendOutcome::Failed;
  service.Serve(u"/file.txt", {failed, FakeExchange::Body("ok")});
  HttpClient client = Client();
  ASSERT_TRUE(client.Request(u"GET", true));
  EXPECT_THAT(service.Events(),
              ElementsAre("OpenSession QVRNT HTTP Client", "Timeouts 0 60000 30000 30000",
                          "OpenRequest GET http updates.test:80/file.txt", "DisableRedirects",
                          "Send /file.txt", "ReadProxyConfig", "DisableRedirects", "Send /file.txt",
                          "CloseRequest"));
}

TEST_F(HttpClientTest, FailedSendFallsBackToTheUsersProxy) {
  FakeExchange failed;
  failed.send = SendOutcome::Failed;
  const FakeExchange ok = FakeExchange::Body("via proxy");
  struct Case {
    const char* name;
    std::optional<UserProxyConfig> config;
    bool autoProxyFound;
    bool accepted;
    std::vector<std::string> events;
    // Sending fails until a proxy is set; unless the case says so, it fails for good.
    bool proxyHelps = true;
  };
  const std::string url = "http://updates.test/file.txt";
  const Case cases[] = {
      {"named proxy: the next attempt goes through it",
       UserProxyConfig{u"", u"proxy:3128", u"<local>"},
       true,
       true,
       {"Send /file.txt", "ReadProxyConfig", "NamedProxy proxy:3128|<local>", "Send /file.txt"}},
      {"script: found and sent again in the same attempt",
       UserProxyConfig{u"http://wpad/proxy.pac", u"proxy:3128", u""},
       true,
       true,
       {"Send /file.txt", "ReadProxyConfig", "AutoProxy " + url + " http://wpad/proxy.pac",
        "Send /file.txt"}},
      {"script: no proxy found",
       UserProxyConfig{u"http://wpad/proxy.pac", u"", u""},
       false,
       false,
       {"Send /file.txt", "ReadProxyConfig", "AutoProxy " + url + " http://wpad/proxy.pac",
        "Send /file.txt", "ReadProxyConfig", "AutoProxy " + url + " http://wpad/proxy.pac",
        "Send /file.txt", "ReadProxyConfig", "AutoProxy " + url + " http://wpad/proxy.pac"},
       false},
      {"no proxy configured",
       UserProxyConfig{},
       true,
       false,
       {"Send /file.txt", "ReadProxyConfig", "Send /file.txt", "ReadProxyConfig", "Send /file.txt",
        "ReadProxyConfig"},
       false},
      {"configuration unreadable",
       std::nullopt,
       true,
       false,
       {"Send /file.txt", "ReadProxyConfig", "Send /file.txt", "ReadProxyConfig", "Send /file.txt",
        "ReadProxyConfig"},
       false},
  };
  for (const Case& c : cases) {
    FakeHttpService fresh;
    fresh.Serve(u"/file.txt", c.proxyHelps ? std::vector{failed, ok} : std::vector{failed});
    fresh.proxyConfig = c.config;
    fresh.autoProxyFound = c.autoProxyFound;
    HttpClient client(fresh.Factory()(), kUrl);
    EXPECT_EQ(client.Request(u"GET"), c.accepted) << c.name;
    std::vector<std::string> events = fresh.Events();
    // Leave out the session and request bookkeeping.
    std::erase_if(events, [](const std::string& e) {
      return e.starts_with("Open") || e.starts_with("Timeouts") || e.starts_with("Close");
    });
    EXPECT_EQ(events, c.events) << c.name;
  }
}

TEST_F(HttpClientTest, RejectedCertificateFailsWithoutProxyFallBack) {
  LogCapture log;
  FakeExchange rejected;
  rejected.send = SendOutcome::CertificateRejected;
  service.Serve(u"/file.txt", {rejected, FakeExchange::Body("never")});
  service.proxyConfig = UserProxyConfig{u"", u"proxy:3128", u""};
  HttpClient client = Client(u"https://updates.test/file.txt");
  EXPECT_FALSE(client.Request(u"GET"));
  EXPECT_TRUE(client.GetResponseText().empty());
  EXPECT_EQ(service.SendsTo("/file.txt"), 1);
  for (const std::string& event : service.Events()) {
    EXPECT_FALSE(event.find("Proxy") != std::string::npos) << event;
  }
  EXPECT_THAT(
      log.Texts(),
      ElementsAre(u"HttpClient::Request:: The certificate of \"updates.test\" was rejected"));
}

TEST_F(HttpClientTest, BodyArrivesWholeWithProgressOnlyForAKnownLength) {
  const std::string big(50000, 'x');
  FakeExchange chunked;
  chunked.headers = u"HTTP/1.1 200 OK\r\nContent-Length: 30000\r\n\r\n";
  chunked.chunks = {std::string(10000, 'a'), std::string(20000, 'b')};
  service.Serve(u"/big", {FakeExchange::Body(big)});
  service.Serve(u"/chunked", {chunked});

  std::vector<double> progress;
  HttpClient client = Client(u"http://updates.test/big", [&](double p) { progress.push_back(p); });
  ASSERT_TRUE(client.Request(u"GET"));
  EXPECT_EQ(client.ResponseBody(), big);
  EXPECT_TRUE(progress.empty());

  client.SetUrl(u"http://updates.test/chunked");
  ASSERT_TRUE(client.Request(u"GET"));
  EXPECT_EQ(client.ResponseBody(), std::string(10000, 'a') + std::string(20000, 'b'));
  EXPECT_EQ(client.ContentLength(), 30000u);
  ASSERT_FALSE(progress.empty());
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  EXPECT_DOUBLE_EQ(progress.front(), 0.0);
  EXPECT_DOUBLE_EQ(progress.back(), 100.0);
}

TEST_F(HttpClientTest, CutOffBodyIsNotAcceptedAsWhole) {
  FakeExchange dropped = FakeExchange::Body("part");
  dropped.dropsAfterChunks = true;
  FakeExchange shortOfLength = FakeExchange::Body("part", u"Content-Length: 10\r\n");
  for (const FakeExchange& exchange : {dropped, shortOfLength}) {
    FakeHttpService fresh;
    fresh.Serve(u"/file.txt", {exchange});
    HttpClient client(fresh.Factory()(), kUrl);
    EXPECT_FALSE(client.Request(u"GET"));
    EXPECT_EQ(fresh.SendsTo("/file.txt"), 3);
  }
}

TEST_F(HttpClientTest, LengthAndCharsetBelongToTheirOwnResponse) {
  service.Serve(u"/first", {FakeExchange::Body("abcd",
                                               u"Content-Type: text/plain; charset=UTF-8\r\n"
                                               u"Content-Length: 4\r\n")});
  service.Serve(u"/second", {FakeExchange::Body("caf\xC3\xA9 and more")});
  std::vector<double> progress;
  HttpClient client =
      Client(u"http://updates.test/first", [&](double p) { progress.push_back(p); });
  ASSERT_TRUE(client.Request(u"GET"));
  EXPECT_EQ(client.ResponseCharset(), u"UTF-8");
  progress.clear();

  client.SetUrl(u"http://updates.test/second");
  ASSERT_TRUE(client.Request(u"GET"));
  EXPECT_EQ(client.ContentLength(), 0u);
  EXPECT_EQ(client.ResponseCharset(), u"");
  EXPECT_TRUE(progress.empty());
  EXPECT_EQ(client.GetResponseText(), u"caf\u00C3\u00A9 and more");
}

TEST_F(HttpClientTest, DecodesByTheCharsetOfTheHeaders) {
  struct Case {
    std::u16string headers;
    std::string body;
    std::u16string text;
  };
  const Case cases[] = {
      {u"Content-Type: text/plain; charset=utf-8\r\n", "caf\xC3\xA9", u"caf\u00E9"},
      {u"Content-Type: text/plain; CHARSET=Utf-8\r\n", "caf\xC3\xA9", u"caf\u00E9"},
      {u"Content-Type: text/plain\r\n", "caf\xC3\xA9", u"caf\u00C3\u00A9"},
      {u"Content-Type: text/plain; charset=iso-8859-1\r\n", "caf\xE9", u"caf\u00E9"},
      {u"Content-Type: text/plain; charset=utf-8\r\n", std::string("ab\0cd", 5), u"ab"},
      {u"Content-Type: text/plain; charset=utf-8\r\n", "", u""},
  };
  for (const Case& c : cases) {
    FakeHttpService fresh;
    fresh.Serve(u"/file.txt", {FakeExchange::Body(c.body, c.headers)});
    HttpClient client(fresh.Factory()(), kUrl);
    ASSERT_TRUE(client.Request(u"GET"));
    EXPECT_EQ(client.GetResponseText(), c.text) << Utf16ToUtf8(c.headers) << c.body;
  }
}

TEST_F(HttpClientTest, SavesTheBodyByteForByte) {
  TempFolder folder;
  const std::string body("MZ\0\x01\xFFinstaller", 13);
  service.Serve(u"/setup.exe", {FakeExchange::Body(body)});
  HttpClient client = Client(u"http://updates.test/setup.exe");
  const std::u16string path = Utf8ToUtf16(folder.Path("setup.exe"));
  EXPECT_FALSE(client.SaveResponseToFile(path)) << "nothing received yet";

  std::ofstream(folder.Path("setup.exe")) << std::string(100, 'o');
  ASSERT_TRUE(client.Request(u"GET"));
  ASSERT_TRUE(client.SaveResponseToFile(path));
  std::ifstream file(folder.Path("setup.exe"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), body);

  EXPECT_FALSE(client.SaveResponseToFile(Utf8ToUtf16(folder.Path("missing/setup.exe"))));
}

}  // namespace
