#include "host/server.h"

#include <boost/asio/dispatch.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <deque>
#include <list>
#include <optional>
#include <thread>
#include <vector>

#include "core/log.h"
#include "host/image_files.h"

namespace sw::host {

namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace {

constexpr std::size_t kBodyLimit = 64 * 1024;
// A page's message is at most this long; a longer one closes its connection
// with "too big" (1009).
constexpr std::size_t kMessageLimit = 1024 * 1024;
constexpr auto kRequestTimeout = std::chrono::seconds(60);
// A new connection must send its first request within this time, and a kept
// one each later request header: a connection that sends half a header and
// waits holds a descriptor for no longer than that.
constexpr auto kFirstRequestDeadline = std::chrono::seconds(5);
constexpr auto kNextRequestDeadline = std::chrono::seconds(10);
// Connections that have not yet shown the token or the cookie; past this
// many (and never more than a quarter of the open-file limit, so that the
// answers keep descriptors for their files), the oldest is closed to make
// room for the newest: a flood of strangers never keeps the editor's own
// page out.
constexpr std::size_t kGuestLimit = 64;
constexpr std::size_t kFewestGuests = 4;
// How long the acceptor waits when it runs out of descriptors and no guest
// can be closed to free one.
constexpr auto kNoDescriptorPause = std::chrono::milliseconds(100);
// Files are sent in pieces of this size, each read by a worker.
constexpr std::size_t kFileChunk = 256 * 1024;
// The threads that answer HTTP requests, so that the I/O thread never waits
// on a file.
constexpr std::size_t kWorkers = 2;

// How many connections without the token or the cookie are kept at most.
std::size_t GuestLimit() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return kGuestLimit;
    }
    const auto quarter = static_cast<std::size_t>(limit.rlim_cur / 4);
    return std::clamp(quarter, kFewestGuests, kGuestLimit);
}

// Something the server closes when it stops.
class Closable {
  public:
    virtual ~Closable() = default;
    virtual void CloseNow() = 0;
};

// A connection that may be closed to make room while it has not shown the
// token or the cookie.
class Guest : public Closable {
  public:
    virtual bool proven() const = 0;
};

}  // namespace

struct ServerState {
    ServerState(ServerHandler& h, AccessSecrets s) : handler(h), secrets(std::move(s)) {}

    // Keeps track of a session; called on the I/O thread.
    void Track(const std::shared_ptr<Closable>& session) {
        sessions.remove_if([](const std::weak_ptr<Closable>& weak) { return weak.expired(); });
        sessions.push_back(session);
    }

    // Counts a new connection among the guests, closing the oldest guests
    // past kGuestLimit; I/O thread only.
    void Admit(const std::shared_ptr<Guest>& guest) {
        ForgetProvenGuests();
        const std::size_t limit = GuestLimit();
        while (guests.size() >= limit) {
            if (!guest_limit_told) {
                guest_limit_told = true;
                LogWarn(
                    "more than %zu connections have not shown the session cookie; the oldest "
                    "are closed\n",
                    limit);
            }
            CloseOldestGuest();
        }
        guests.push_back(guest);
    }

    // Closes the oldest guest; false when there is none.
    bool CloseOldestGuest() {
        ForgetProvenGuests();
        if (guests.empty()) {
            return false;
        }
        const std::shared_ptr<Guest> oldest = guests.front().lock();
        guests.pop_front();
        if (oldest) {
            oldest->CloseNow();
        }
        return true;
    }

    void ForgetProvenGuests() {
        guests.remove_if([](const std::weak_ptr<Guest>& weak) {
            const std::shared_ptr<Guest> guest = weak.lock();
            return !guest || guest->proven();
        });
    }

    ServerHandler& handler;
    const AccessSecrets secrets;
    net::io_context ioc{1};
    // Made by Start, so that its threads take the signal mask of the thread
    // that starts the server (the run keeps SIGINT and SIGTERM for its own
    // watcher). Declared after ioc: its waiting jobs hold sessions of ioc and
    // go first.
    std::optional<net::thread_pool> workers;
    tcp::acceptor acceptor{ioc};
    std::thread thread;
    std::atomic<unsigned short> port{0};
    std::list<std::weak_ptr<Closable>> sessions;  // I/O thread only
    std::list<std::weak_ptr<Guest>> guests;       // I/O thread only, oldest first
    bool guest_limit_told = false;                // I/O thread only
    bool out_of_descriptors = false;              // I/O thread only
    std::optional<net::steady_timer> accept_pause;
};

namespace {

using State = ServerState;

std::string HeaderOf(const http::request<http::string_body>& request, http::field field) {
    auto found = request.find(field);
    return found == request.end() ? std::string() : std::string(found->value());
}

class WsSession : public PageLink, public Closable, public std::enable_shared_from_this<WsSession> {
  public:
    WsSession(tcp::socket&& socket, State& state, std::string windowId)
        : ws_(std::move(socket)), state_(state), window_id_(std::move(windowId)) {}

    void Accept(http::request<http::string_body> request) {
        request_ = std::move(request);
        beast::get_lowest_layer(ws_).expires_never();
        websocket::stream_base::timeout timeout{};
        timeout.handshake_timeout = std::chrono::seconds(30);
        timeout.idle_timeout = std::chrono::seconds(60);
        timeout.keep_alive_pings = true;
        ws_.set_option(timeout);
        ws_.read_message_max(kMessageLimit);
        ws_.async_accept(request_,
                         beast::bind_front_handler(&WsSession::OnAccept, shared_from_this()));
    }

    void Send(std::string message) override {
        net::post(ws_.get_executor(),
                  [self = shared_from_this(), message = std::move(message)]() mutable {
                      if (self->closed_ || self->closing_) {
                          return;
                      }
                      self->queue_.push_back(std::move(message));
                      if (self->queue_.size() == 1) {
                          self->DoWrite();
                      }
                  });
    }

    void Close() override {
        net::post(ws_.get_executor(), [self = shared_from_this()] {
            if (self->closed_ || self->closing_) {
                return;
            }
            self->closing_ = true;
            if (self->queue_.empty()) {
                self->DoClose();
            }
        });
    }

    void CloseNow() override {
        closed_ = true;
        beast::error_code ignored;
        beast::get_lowest_layer(ws_).socket().close(ignored);
    }

  private:
    void OnAccept(beast::error_code ec) {
        if (ec) {
            closed_ = true;
            return;
        }
        state_.Track(shared_from_this());
        open_ = state_.handler.OnPageOpen(window_id_, shared_from_this());
        if (!open_) {
            Send("{\"closed\":true}");
            Close();
        }
        DoRead();
    }

    void DoRead() {
        ws_.async_read(buffer_, beast::bind_front_handler(&WsSession::OnRead, shared_from_this()));
    }

    void OnRead(beast::error_code ec, std::size_t) {
        if (ec) {
            if (ec == websocket::error::message_too_big) {
                LogWarn("the page of %s sent a message over %zu bytes; its connection is closed\n",
                        window_id_.c_str(), kMessageLimit);
            }
            closed_ = true;
            if (open_) {
                open_ = false;
                state_.handler.OnPageClose(window_id_, shared_from_this());
            }
            return;
        }
        std::string text = beast::buffers_to_string(buffer_.data());
        buffer_.consume(buffer_.size());
        if (open_ && ws_.got_text()) {
            state_.handler.OnPageMessage(window_id_, shared_from_this(), text);
        }
        DoRead();
    }

    void DoWrite() {
        ws_.text(true);
        ws_.async_write(net::buffer(queue_.front()),
                        beast::bind_front_handler(&WsSession::OnWrite, shared_from_this()));
    }

    void OnWrite(beast::error_code ec, std::size_t) {
        if (ec) {
            closed_ = true;
            queue_.clear();
            return;
        }
        queue_.pop_front();
        if (!queue_.empty()) {
            DoWrite();
        } else if (closing_) {
            DoClose();
        }
    }

    void DoClose() {
        ws_.async_close(websocket::close_code::normal,
                        [self = shared_from_this()](beast::error_code) { self->closed_ = true; });
    }

    websocket::stream<beast::tcp_stream> ws_;
    State& state_;
    const std::string window_id_;
    http::request<http::string_body> request_;
    beast::flat_buffer buffer_;
    std::deque<std::string> queue_;
    bool open_ = false;
    bool closing_ = false;
    bool closed_ = false;
};

template <class Body>
void SetHeaders(http::response<Body>& response, const http::request<http::string_body>& request,
                const HttpReply& reply) {
    response.set(http::field::server, "Skinwright");
    response.set(http::field::cache_control, "no-store");
    response.set("X-Content-Type-Options", "nosniff");
    response.set("X-Frame-Options", "SAMEORIGIN");
    response.set("Referrer-Policy", "no-referrer");
    if (!reply.content_type.empty()) {
        response.set(http::field::content_type, reply.content_type);
    }
    for (const auto& [name, value] : reply.headers) {
        response.insert(name, value);
    }
    response.keep_alive(request.keep_alive());
}

class HttpSession : public Guest, public std::enable_shared_from_this<HttpSession> {
  public:
    HttpSession(tcp::socket&& socket, State& state) : stream_(std::move(socket)), state_(state) {}

    void Run() {
        state_.Track(shared_from_this());
        state_.Admit(shared_from_this());
        net::dispatch(stream_.get_executor(),
                      beast::bind_front_handler(&HttpSession::DoRead, shared_from_this()));
    }

    void CloseNow() override {
        beast::error_code ignored;
        stream_.socket().close(ignored);
    }

    bool proven() const override { return proven_; }

  private:
    void DoRead() {
        parser_.emplace();
        parser_->body_limit(kBodyLimit);
        stream_.expires_after(served_ == 0 ? kFirstRequestDeadline : kNextRequestDeadline);
        ++served_;
        http::async_read(stream_, buffer_, *parser_,
                         beast::bind_front_handler(&HttpSession::OnRead, shared_from_this()));
    }

    void OnRead(beast::error_code ec, std::size_t) {
        if (ec == http::error::end_of_stream) {
            beast::error_code ignored;
            stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
            return;
        }
        if (ec) {
            return;
        }
        Handle(parser_->release());
    }

    void Handle(http::request<http::string_body> request) {
        const std::string host = HeaderOf(request, http::field::host);
        const std::string origin = HeaderOf(request, http::field::origin);
        const std::string cookie = HeaderOf(request, http::field::cookie);
        const std::string target(request.target());
        const bool upgrade = websocket::is_upgrade(request);
        const unsigned short port = state_.port.load();
        const AccessDecision decision =
            CheckAccess({host, origin, cookie, target, upgrade}, state_.secrets, port);

        if (decision.verdict == AccessVerdict::kForbidden) {
            const std::string path(TargetPath(target));
            LogWarn("refused request %s: %s\n", path.c_str(), decision.reason.c_str());
            Reply(request, TextReply(403, "Forbidden."));
            return;
        }
        proven_ = true;
        if (upgrade) {
            if (TargetPath(target) != "/ws") {
                Reply(request, TextReply(404, "Not found."));
                return;
            }
            const std::string windowId = QueryParameter(target, "window");
            auto session = std::make_shared<WsSession>(stream_.release_socket(), state_, windowId);
            session->Accept(std::move(request));
            return;
        }
        if (request.method() != http::verb::get && request.method() != http::verb::head) {
            Reply(request, TextReply(405, "Only GET is served."));
            return;
        }
        if (decision.verdict == AccessVerdict::kExchange) {
            HttpReply reply;
            reply.status = 302;
            reply.headers.emplace_back("Location", decision.redirect);
            reply.headers.emplace_back("Set-Cookie", SetCookieValue(state_.secrets, port));
            Reply(request, std::move(reply));
            return;
        }
        // The answer is made by a worker: it may read files.
        auto kept = std::make_shared<http::request<http::string_body>>(std::move(request));
        net::post(*state_.workers, [self = shared_from_this(), kept, target] {
            HttpReply reply = self->state_.handler.HandleHttp(target);
            net::post(self->stream_.get_executor(),
                      [self, kept, reply = std::move(reply)]() mutable {
                          self->Reply(*kept, std::move(reply));
                      });
        });
    }

    void Reply(const http::request<http::string_body>& request, HttpReply reply) {
        if (reply.file && request.method() != http::verb::head) {
            SendFile(request, std::move(reply));
            return;
        }
        auto response = std::make_shared<http::response<http::string_body>>(
            static_cast<http::status>(reply.status), request.version());
        SetHeaders(*response, request, reply);
        const std::uint64_t size = reply.file ? reply.file->size : reply.body.size();
        if (request.method() != http::verb::head) {
            response->body() = std::move(reply.body);
        }
        response->content_length(size);
        // The read's short deadline must not cut off an answer that took
        // its time to make.
        stream_.expires_after(kRequestTimeout);
        http::async_write(stream_, *response,
                          [self = shared_from_this(), response](beast::error_code ec, std::size_t) {
                              self->OnWrite(ec, response->keep_alive());
                          });
    }

    // A file goes out in pieces: a worker reads each piece, the I/O thread
    // writes it, and only then is the next one read.
    struct FileSend {
        explicit FileSend(std::shared_ptr<ServedFile> f) : file(std::move(f)), left(file->size) {}
        std::shared_ptr<ServedFile> file;
        std::uint64_t left;
        std::uint64_t offset = 0;
        std::vector<char> piece = std::vector<char>(kFileChunk);
        http::response<http::buffer_body> response;
        http::response_serializer<http::buffer_body> serializer{response};
    };

    void SendFile(const http::request<http::string_body>& request, HttpReply reply) {
        auto send = std::make_shared<FileSend>(std::move(reply.file));
        send->response.result(static_cast<http::status>(reply.status));
        send->response.version(request.version());
        SetHeaders(send->response, request, reply);
        send->response.content_length(send->file->size);
        send->response.body().data = nullptr;
        send->response.body().more = true;
        stream_.expires_after(kRequestTimeout);
        http::async_write_header(
            stream_, send->serializer,
            [self = shared_from_this(), send](beast::error_code ec, std::size_t) {
                if (!ec) {
                    self->ReadPiece(send);
                }
            });
    }

    void ReadPiece(const std::shared_ptr<FileSend>& send) {
        if (send->left == 0) {
            send->response.body().data = nullptr;
            send->response.body().size = 0;
            send->response.body().more = false;
            http::async_write(stream_, send->serializer,
                              [self = shared_from_this(), send](beast::error_code ec, std::size_t) {
                                  self->OnWrite(ec, send->response.keep_alive());
                              });
            return;
        }
        net::post(*state_.workers, [self = shared_from_this(), send] {
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(send->left, kFileChunk));
            ssize_t got = 0;
            do {
                got = ::pread(send->file->fd.get(), send->piece.data(), want,
                              static_cast<off_t>(send->offset));
            } while (got < 0 && errno == EINTR);
            net::post(self->stream_.get_executor(),
                      [self, send, got] { self->WritePiece(send, got); });
        });
    }

    void WritePiece(const std::shared_ptr<FileSend>& send, ssize_t got) {
        if (got <= 0) {
            // The file shrank or failed under us: the promised length cannot
            // be kept, so the connection ends and the browser sees a broken
            // image instead of a wrong one.
            LogWarn("a served file could not be read to its end; the connection is closed\n");
            CloseNow();
            return;
        }
        const auto size = static_cast<std::size_t>(got);
        send->left -= size;
        send->offset += size;
        send->response.body().data = send->piece.data();
        send->response.body().size = size;
        send->response.body().more = true;
        stream_.expires_after(kRequestTimeout);
        http::async_write(stream_, send->serializer,
                          [self = shared_from_this(), send](beast::error_code ec, std::size_t) {
                              if (ec == http::error::need_buffer) {
                                  ec = {};
                              }
                              if (!ec) {
                                  self->ReadPiece(send);
                              }
                          });
    }

    void OnWrite(beast::error_code ec, bool keepAlive) {
        if (ec) {
            return;
        }
        if (!keepAlive) {
            beast::error_code ignored;
            stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
            return;
        }
        DoRead();
    }

    beast::tcp_stream stream_;
    State& state_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    unsigned served_ = 0;  // requests read so far
    bool proven_ = false;  // it has shown the token or the cookie
};

bool IsOutOfDescriptors(const beast::error_code& ec) {
    return ec == net::error::no_descriptors ||
           ec == boost::system::errc::too_many_files_open_in_system ||
           ec == net::error::no_buffer_space || ec == net::error::no_memory;
}

void DoAccept(State& state);

// Out of descriptors, the acceptor frees one by closing the oldest guest and
// tries again at once; with no guest to close it waits a moment rather than
// spin on the failing accept.
void AcceptAfterRunningOut(State& state, const beast::error_code& ec) {
    // First a descriptor is freed: the log line needs one too.
    const bool freed = state.CloseOldestGuest();
    if (!state.out_of_descriptors) {
        state.out_of_descriptors = true;
        LogWarn("the web server ran out of file descriptors (%s); waiting connections are closed\n",
                ec.message().c_str());
    }
    if (freed) {
        DoAccept(state);
        return;
    }
    state.accept_pause->expires_after(kNoDescriptorPause);
    state.accept_pause->async_wait([&state](beast::error_code waited) {
        if (!waited && state.acceptor.is_open()) {
            DoAccept(state);
        }
    });
}

void DoAccept(State& state) {
    state.acceptor.async_accept(
        net::make_strand(state.ioc), [&state](beast::error_code ec, tcp::socket socket) {
            if (ec == net::error::operation_aborted || !state.acceptor.is_open()) {
                return;
            }
            if (IsOutOfDescriptors(ec)) {
                AcceptAfterRunningOut(state, ec);
                return;
            }
            if (!ec) {
                state.out_of_descriptors = false;
                std::make_shared<HttpSession>(std::move(socket), state)->Run();
            }
            DoAccept(state);
        });
}

}  // namespace

bool RaiseOpenFileLimit() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return false;
    }
    if (limit.rlim_cur == limit.rlim_max) {
        return true;
    }
    const rlim_t before = limit.rlim_cur;
    limit.rlim_cur = limit.rlim_max;
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) {
        LogWarn("cannot raise the open-file limit above %llu\n",
                static_cast<unsigned long long>(before));
        return false;
    }
    LogDebug("open-file limit raised from %llu to %llu\n", static_cast<unsigned long long>(before),
             static_cast<unsigned long long>(limit.rlim_cur));
    return true;
}

Server::Server(ServerHandler& handler, AccessSecrets secrets)
    : state_(std::make_unique<ServerState>(handler, std::move(secrets))) {}

Server::~Server() {
    Stop();
}

bool Server::Start(unsigned short port) {
    if (state_->thread.joinable()) {
        return true;
    }
    RaiseOpenFileLimit();
    beast::error_code ec;
    const tcp::endpoint endpoint(net::ip::make_address_v4("127.0.0.1"), port);
    state_->acceptor.open(endpoint.protocol(), ec);
    if (!ec) {
        state_->acceptor.set_option(net::socket_base::reuse_address(true), ec);
    }
    if (!ec) {
        state_->acceptor.bind(endpoint, ec);
    }
    if (!ec) {
        state_->acceptor.listen(net::socket_base::max_listen_connections, ec);
    }
    if (ec) {
        LogError("cannot listen on 127.0.0.1:%u: %s\n", static_cast<unsigned>(port),
                 ec.message().c_str());
        beast::error_code ignored;
        state_->acceptor.close(ignored);
        return false;
    }
    state_->port = state_->acceptor.local_endpoint().port();
    state_->workers.emplace(kWorkers);
    state_->accept_pause.emplace(state_->ioc);
    DoAccept(*state_);
    state_->thread = std::thread([this] {
        try {
            state_->ioc.run();
        } catch (const std::exception& error) {
            LogError("the web server stopped: %s\n", error.what());
        }
    });
    return true;
}

void Server::Stop() {
    if (!state_->thread.joinable()) {
        return;
    }
    net::post(state_->ioc, [state = state_.get()] {
        beast::error_code ignored;
        state->acceptor.close(ignored);
        state->accept_pause->cancel();
        for (const std::weak_ptr<Closable>& weak : state->sessions) {
            if (auto session = weak.lock()) {
                session->CloseNow();
            }
        }
        state->sessions.clear();
        state->ioc.stop();
    });
    state_->thread.join();
    // Answers still being made are dropped with their connections.
    state_->workers->stop();
    state_->workers->join();
}

unsigned short Server::port() const {
    return state_->port.load();
}

const AccessSecrets& Server::secrets() const {
    return state_->secrets;
}

}  // namespace sw::host
