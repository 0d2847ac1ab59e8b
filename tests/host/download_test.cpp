// The icon-list download: written through a temporary file, and the shipped
// list kept when the server is away, refuses or breaks off.
#include <gtest/gtest.h>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read_until.hpp>
#include <boost/asio/streambuf.hpp>
#include <boost/asio/write.hpp>

#include <filesystem>
#include <thread>

#include "core/scratch_folder.h"
#include "harness.h"
#include "host/download.h"

namespace sw::host::test {
namespace {

namespace net = boost::asio;
using tcp = net::ip::tcp;

// A one-request web server on 127.0.0.1 that sends a fixed raw response and
// remembers the request it got.
class OneShotServer {
  public:
    explicit OneShotServer(std::string response)
        : acceptor_(ioc_, tcp::endpoint(net::ip::make_address_v4("127.0.0.1"), 0)),
          response_(std::move(response)) {
        thread_ = std::thread([this] {
            boost::system::error_code ec;
            tcp::socket socket(ioc_);
            acceptor_.accept(socket, ec);
            if (ec) {
                return;
            }
            net::streambuf buffer;
            net::read_until(socket, buffer, "\r\n\r\n", ec);
            request_.assign(net::buffers_begin(buffer.data()), net::buffers_end(buffer.data()));
            net::write(socket, net::buffer(response_), ec);
            socket.shutdown(tcp::socket::shutdown_both, ec);
        });
    }
    ~OneShotServer() {
        boost::system::error_code ec;
        acceptor_.close(ec);
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    std::string address() const {
        return "http://127.0.0.1:" + std::to_string(acceptor_.local_endpoint().port());
    }
    // Valid once the download returned.
    const std::string& request() const { return request_; }

  private:
    net::io_context ioc_;
    tcp::acceptor acceptor_;
    std::string response_;
    std::string request_;
    std::thread thread_;
};

unsigned short ClosedPort() {
    net::io_context ioc;
    tcp::acceptor acceptor(ioc, tcp::endpoint(net::ip::make_address_v4("127.0.0.1"), 0));
    return acceptor.local_endpoint().port();
}

std::size_t LeftoverTemporaries(const std::string& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().find(".download-") != std::string::npos) {
            ++count;
        }
    }
    return count;
}

TEST(DownloadTest, ACompleteAnswerReplacesTheFile) {
    Scratch folder;
    const std::string target = folder / "icons.xml";
    WriteFile(target, "shipped");
    OneShotServer server(
        "HTTP/1.1 200 OK\r\nContent-Length: 12\r\nConnection: close\r\n\r\n<icons new/>");
    EXPECT_TRUE(Download(IconListUrl(server.address() + "/"), target));
    EXPECT_EQ(ReadFile(target), "<icons new/>");
    EXPECT_NE(server.request().find("GET /ROM/themetools/xml/icons.xml HTTP/1.1"),
              std::string::npos);
    EXPECT_NE(server.request().find("User-Agent: DavadazaVudo.exe"), std::string::npos);
    EXPECT_EQ(LeftoverTemporaries(folder.path()), 0u);
}

TEST(DownloadTest, TheShippedFileStaysWhenTheDownloadFails) {
    const struct {
        const char* name;
        const char* response;  // nullptr: nobody listens
        bool result;
    } cases[] = {
        {"nobody listens", nullptr, true},
        {"an error status",
         "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\nnot found", true},
        {"the answer breaks off",
         "HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\n<icons", false},
    };
    for (const auto& c : cases) {
        Scratch folder;
        const std::string target = folder / "icons.xml";
        WriteFile(target, "shipped");
        bool result = false;
        if (c.response == nullptr) {
            result = Download("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/x", target);
        } else {
            OneShotServer server(c.response);
            result = Download(server.address() + "/x", target);
        }
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(ReadFile(target), "shipped") << c.name;
        EXPECT_EQ(LeftoverTemporaries(folder.path()), 0u) << c.name;
    }
}

TEST(DownloadTest, OnlyWebAddressesAreFetched) {
    Scratch folder;
    WriteFile(folder / "secret", "secret");
    const std::string target = folder / "icons.xml";
    WriteFile(target, "shipped");
    EXPECT_TRUE(Download("file://" + folder.path() + "/secret", target));
    EXPECT_EQ(ReadFile(target), "shipped");
    EXPECT_EQ(IconListUrl(""), "");
    EXPECT_EQ(IconListUrl("http://u.example//"), "http://u.example/ROM/themetools/xml/icons.xml");
}

TEST(StartWindowTest, BecomingReadyEmptiesTheWorkingFoldersAndFetchesTheIconList) {
    OneShotServer server(
        "HTTP/1.1 200 OK\r\nContent-Length: 7\r\nConnection: close\r\n\r\n<fresh>");
    HostOptions options = QuickOptions();
    options.update_server = server.address();
    HostHarness harness(StandardTables(), options);
    ASSERT_TRUE(MakeScratchFolder(harness.home() + "/themetool"));
    WriteFile(harness.home() + "/themetool/old.zip", "old");
    const std::string icons = harness.data() + "/template/launcher/content/res/xml/icons.xml";
    WriteFile(icons, "<shipped>");

    PageClient start(harness.port(), "start", harness.cookie());
    ASSERT_TRUE(start.Call("OnDocumentReady"));
    for (const char* folder : {"/themetool", "/tmp"}) {
        EXPECT_TRUE(IsOwnScratchFolder(harness.home() + folder)) << folder;
        EXPECT_TRUE(std::filesystem::is_empty(harness.home() + folder)) << folder;
    }
    EXPECT_EQ(ReadFile(icons), "<fresh>");
}

// Regression: with the home folder at the user's own folder, start-up
// emptied the user's tmp and themetool folders.
TEST(StartWindowTest, BecomingReadyLeavesTheUsersOwnFoldersOfTheSameNames) {
    HostHarness harness;
    WriteFile(harness.home() + "/themetool/notes.txt", "notes");
    WriteFile(harness.home() + "/tmp/download/photo.jpg", "photo");
    PageClient start(harness.port(), "start", harness.cookie());
    ASSERT_TRUE(start.Call("OnDocumentReady"));
    EXPECT_EQ(ReadFile(harness.home() + "/themetool/notes.txt"), "notes");
    EXPECT_EQ(ReadFile(harness.home() + "/tmp/download/photo.jpg"), "photo");
    EXPECT_NE(harness.log().find(harness.home() + "/tmp was not made by Skinwright"),
              std::string::npos);
}

TEST(StartWindowTest, WithoutAnUpdateServerTheShippedListStays) {
    HostHarness harness;
    const std::string icons = harness.data() + "/template/launcher/content/res/xml/icons.xml";
    WriteFile(icons, "<shipped>");
    PageClient start(harness.port(), "start", harness.cookie());
    ASSERT_TRUE(start.Call("OnDocumentReady"));
    EXPECT_EQ(ReadFile(icons), "<shipped>");
    EXPECT_NE(harness.log().find("no update server is set"), std::string::npos);
}

}  // namespace
}  // namespace sw::host::test
