// The server under heavy or hostile use: big and odd files, oversized
// messages and a flood of commands. One window's trouble never stalls the
// others, and the host's memory stays bounded.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>

#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "core/unique_fd.h"
#include "harness.h"
#include "host/window.h"

namespace sw::host::test {
namespace {

namespace net = boost::asio;
using tcp = net::ip::tcp;

// A gate a command waits at until the test opens it.
struct Gate {
    std::mutex mutex;
    std::condition_variable cv;
    bool open = false;
    bool reached = false;

    void Open() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            open = true;
        }
        cv.notify_all();
    }
};

CommandTables LimitTables(Gate& gate) {
    CommandTables tables;
    const CommandRow echo{"Echo", Texts(1), ResultKind::kText,
                          [](CommandCall& call) { return CommandResult::Text(call.text(0)); }};
    tables.Add(WindowClass::kMain, {echo, {"Hold", {}, ResultKind::kNone, [&gate](CommandCall&) {
                                               std::unique_lock<std::mutex> lock(gate.mutex);
                                               gate.reached = true;
                                               gate.cv.notify_all();
                                               gate.cv.wait(lock, [&] { return gate.open; });
                                               return CommandResult::None();
                                           }}});
    tables.Add(WindowClass::kStart, {echo});
    return tables;
}

std::string Encoded(const std::string& path) {
    std::string out;
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '.' || c == '-' || c == '_') {
            out += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            out += escaped;
        }
    }
    return out;
}

// A connection that asks for a file and then reads nothing, as a stalled
// browser tab would.
class StalledDownload {
  public:
    StalledDownload(unsigned short port, const std::string& target, const std::string& cookie)
        : socket_(ioc_) {
        socket_.connect(tcp::endpoint(net::ip::make_address_v4("127.0.0.1"), port));
        const std::string request = "GET " + target +
                                    " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                                    "\r\nCookie: " + cookie + "\r\n\r\n";
        net::write(socket_, net::buffer(request));
    }

  private:
    net::io_context ioc_;
    tcp::socket socket_;
};

struct Download {
    std::string head;  // status line and headers
    std::uint64_t length = 0;
    std::string first;  // the first bytes of the body
    std::string last;   // the last bytes of the body
};

// Reads a whole answer without keeping its body.
Download Fetch(unsigned short port, const std::string& target, const std::string& cookie) {
    net::io_context ioc;
    tcp::socket socket(ioc);
    socket.connect(tcp::endpoint(net::ip::make_address_v4("127.0.0.1"), port));
    const std::string request = "GET " + target +
                                " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                                "\r\nCookie: " + cookie + "\r\nConnection: close\r\n\r\n";
    net::write(socket, net::buffer(request));
    Download result;
    std::string pending;
    bool inBody = false;
    std::vector<char> chunk(1 << 20);
    for (;;) {
        boost::system::error_code ec;
        const std::size_t got = socket.read_some(net::buffer(chunk), ec);
        if (got == 0 && ec) {
            break;
        }
        std::string_view piece(chunk.data(), got);
        if (!inBody) {
            pending.append(piece);
            const std::size_t end = pending.find("\r\n\r\n");
            if (end == std::string::npos) {
                continue;
            }
            result.head = pending.substr(0, end);
            piece = std::string_view(pending).substr(end + 4);
            inBody = true;
        }
        if (result.first.size() < 8) {
            result.first += piece.substr(0, 8 - result.first.size());
        }
        result.last = (result.last + std::string(piece))
                          .substr(std::max<std::size_t>(result.last.size() + piece.size(), 8) - 8);
        result.length += piece.size();
    }
    return result;
}

constexpr std::uint64_t kBigSize = 200ull * 1024 * 1024;

class ServerLimitsTest : public ::testing::Test {
  protected:
    ServerLimitsTest() : harness_(LimitTables(gate_)) {}
    ~ServerLimitsTest() override { gate_.Open(); }

    // A sparse file of kBigSize bytes with marks at both ends.
    void MakeBigFile(const std::string& path) {
        const UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600));
        ASSERT_TRUE(fd.valid());
        ASSERT_EQ(::pwrite(fd.get(), "\x89PNG", 4, 0), 4);
        ASSERT_EQ(::pwrite(fd.get(), "TAIL", 4, kBigSize - 4), 4);
    }

    std::string FileTarget(const std::string& path) { return "/file?path=" + Encoded(path); }

    Gate gate_;
    HostHarness harness_;
};

TEST_F(ServerLimitsTest, BigFilesAndPipesDoNotStallTheWindows) {
    const std::string big = harness_.data() + "/big.png";
    const std::string pipe = harness_.data() + "/pipe.png";
    MakeBigFile(big);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    harness_.host().image_files().SetRootsProvider(
        [data = harness_.data()] { return std::vector<std::string>{data}; });
    PageClient page(harness_.port(), "main", harness_.cookie());
    ASSERT_TRUE(page.connected());

    // Tabs that asked for the big file and stopped reading.
    std::vector<std::unique_ptr<StalledDownload>> stalled;
    for (int i = 0; i < 4; ++i) {
        stalled.push_back(
            std::make_unique<StalledDownload>(harness_.port(), FileTarget(big), harness_.cookie()));
    }
    const auto started = std::chrono::steady_clock::now();
    const auto echo = page.Call("Echo", Array({"still here"}), 5s);
    const auto answered = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(echo);
    EXPECT_EQ((*echo)["value"].asString(), "still here");
    EXPECT_LT(answered, 1s);

    // A pipe with an image's name is refused at once, with no writer on it.
    const auto asked = std::chrono::steady_clock::now();
    const HttpResult refused = harness_.Get(FileTarget(pipe));
    EXPECT_TRUE(refused.status == 403u || refused.status == 404u) << refused.status;
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 1s);

    // The big file itself arrives whole, in the right order.
    const Download whole = Fetch(harness_.port(), FileTarget(big), harness_.cookie());
    EXPECT_EQ(whole.head.substr(0, 15), "HTTP/1.1 200 OK") << whole.head;
    EXPECT_NE(whole.head.find("Content-Length: " + std::to_string(kBigSize)), std::string::npos);
    EXPECT_EQ(whole.length, kBigSize);
    EXPECT_EQ(whole.first.substr(0, 4), "\x89PNG");
    EXPECT_EQ(whole.last.substr(4), "TAIL");
}

TEST_F(ServerLimitsTest, AnOversizedMessageClosesOnlyItsOwnConnection) {
    PageClient main(harness_.port(), "main", harness_.cookie());
    PageClient start(harness_.port(), "start", harness_.cookie());
    ASSERT_TRUE(main.connected());
    ASSERT_TRUE(start.connected());
    ASSERT_TRUE(harness_.WaitForPage("main"));

    // Just under the limit is a message like any other.
    const std::string large(1024 * 1024 - 100, 'x');
    const auto fits = main.Call("Echo", Array({large}));
    ASSERT_TRUE(fits);
    EXPECT_EQ((*fits)["value"].asString().size(), large.size());

    Json::Value call;
    call["call"] = "Echo";
    call["id"] = 99;
    call["args"] = Array({std::string(1024 * 1024 + 1, 'x')});
    main.Send(call);
    EXPECT_TRUE(main.WaitClosed());
    EXPECT_TRUE(harness_.WaitForLog("WARN \tthe page of main sent a message over 1048576 bytes"));

    // The other window is served on, and the main page may come back.
    const auto other = start.Call("Echo", Array({"start"}));
    ASSERT_TRUE(other);
    EXPECT_EQ((*other)["value"].asString(), "start");
    PageClient again(harness_.port(), "main", harness_.cookie());
    const auto back = again.Call("Echo", Array({"back"}));
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)["value"].asString(), "back");
}

TEST_F(ServerLimitsTest, AFloodOfCommandsIsRefusedPastTheQueueBound) {
    PageClient page(harness_.port(), "main", harness_.cookie());
    ASSERT_TRUE(page.connected());
    page.Post("Hold");
    {
        std::unique_lock<std::mutex> lock(gate_.mutex);
        ASSERT_TRUE(gate_.cv.wait_for(lock, 5s, [&] { return gate_.reached; }));
    }
    // The held command runs; the queue fills up behind it.
    std::vector<std::uint64_t> queued;
    for (std::size_t i = 0; i < kMaxWaitingCommands; ++i) {
        queued.push_back(page.Post("Echo", Array({std::to_string(i)})));
    }
    const std::uint64_t over = page.Post("Echo", Array({"one too many"}));
    const auto refused = page.Next([&](const Json::Value& m) { return IsResult(m, over); });
    ASSERT_TRUE(refused);
    EXPECT_NE((*refused)["error"].asString().find("too many commands are waiting"),
              std::string::npos);
    EXPECT_TRUE(harness_.WaitForLog("commands waiting: Echo refused"));

    // Once the window catches up, every queued command is answered and new
    // ones are taken again.
    gate_.Open();
    for (std::uint64_t id : queued) {
        const auto answer = page.Next([&](const Json::Value& m) { return IsResult(m, id); });
        ASSERT_TRUE(answer) << id;
        EXPECT_FALSE(answer->isMember("error")) << id;
    }
    const auto later = page.Call("Echo", Array({"later"}));
    ASSERT_TRUE(later);
    EXPECT_EQ((*later)["value"].asString(), "later");
}

}  // namespace
}  // namespace sw::host::test
