#include "harness.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <stdlib.h>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/log.h"
#include "core/paths.h"
#include "host/json_text.h"

namespace sw::host::test {

namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace {

tcp::endpoint Loopback(unsigned short port) {
    return tcp::endpoint(net::ip::make_address_v4("127.0.0.1"), port);
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace

Scratch::Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sw-host-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
        path_ = pattern;
    }
}

Scratch::~Scratch() {
    if (!path_.empty()) {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
}

void WriteFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

HttpResult HttpRequest(unsigned short port, const std::string& target, const Headers& headers,
                       const std::string& method) {
    HttpResult result;
    try {
        net::io_context ioc;
        beast::tcp_stream stream(ioc);
        stream.connect(Loopback(port));
        http::request<http::string_body> request(http::string_to_verb(method), target, 11);
        request.set(http::field::host, "127.0.0.1:" + std::to_string(port));
        for (const auto& [name, value] : headers) {
            request.set(name, value);
        }
        request.prepare_payload();
        http::write(stream, request);
        beast::flat_buffer buffer;
        http::response<http::string_body> response;
        http::read(stream, buffer, response);
        result.status = response.result_int();
        for (const auto& field : response) {
            result.headers[Lower(std::string(field.name_string()))] = std::string(field.value());
        }
        result.body = response.body();
        beast::error_code ignored;
        stream.socket().shutdown(tcp::socket::shutdown_both, ignored);
    } catch (const std::exception&) {
        result.status = 0;
    }
    return result;
}

HostOptions QuickOptions() {
    HostOptions options;
    options.page_call_timeout = 3s;
    options.lost_page_grace = 3s;
    options.poll = 10ms;
    // The tests write project files on purpose; those of the live project
    // watch them.
    options.watch_project = false;
    return options;
}

CommandTables StandardTables() {
    CommandTables tables;
    BuildStandardCommandTables(tables);
    return tables;
}

HostHarness::HostHarness(CommandTables tables, HostOptions options) {
    std::filesystem::create_directories(data());
    std::filesystem::create_directories(home());
    SetDataFolder(data());
    SetHomeFolder(home());
    SetLogFilePath(home() + "/runtime.log");
    host_ = std::make_unique<Host>(std::move(options), std::move(tables));
    host_->Start();
}

HostHarness::~HostHarness() {
    host_.reset();
    SetLogFilePath("");
}

std::string HostHarness::log() const {
    return ReadFile(home() + "/runtime.log");
}

bool HostHarness::WaitForLog(const std::string& text, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (log().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

bool HostHarness::WaitForPage(const std::string& id, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::shared_ptr<Window> window = host_->FindWindow(id);
        if (window && window->page()) {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
}

const std::string& HostHarness::cookie() {
    if (cookie_.empty()) {
        const std::string token = host_->Address().substr(host_->Address().find("token=") + 6);
        HttpResult exchange = HttpRequest(port(), "/?token=" + token, {});
        const std::string set = exchange.headers["set-cookie"];
        cookie_ = set.substr(0, set.find(';'));
    }
    return cookie_;
}

HttpResult HostHarness::Get(const std::string& target, Headers headers) {
    headers.emplace_back("Cookie", cookie());
    return HttpRequest(port(), target, headers);
}

struct PageClient::Io {
    net::io_context ioc;
    websocket::stream<beast::tcp_stream> ws{ioc};
    beast::flat_buffer buffer;
    bool reading = false;
    bool read_done = false;
    beast::error_code read_error;
};

PageClient::PageClient(unsigned short port, const std::string& windowId, const std::string& cookie,
                       std::optional<std::string> origin)
    : io_(std::make_unique<Io>()) {
    const std::string host = "127.0.0.1:" + std::to_string(port);
    const std::string sentOrigin = origin ? *origin : "http://" + host;
    try {
        beast::get_lowest_layer(io_->ws).connect(Loopback(port));
        io_->ws.set_option(
            websocket::stream_base::decorator([cookie, sentOrigin](websocket::request_type& req) {
                if (!cookie.empty()) {
                    req.set(http::field::cookie, cookie);
                }
                if (!sentOrigin.empty()) {
                    req.set(http::field::origin, sentOrigin);
                }
            }));
        websocket::response_type response;
        beast::error_code ec;
        io_->ws.handshake(response, host, "/ws?window=" + windowId, ec);
        handshake_status_ = response.result_int();
        if (ec) {
            closed_ = true;
            if (handshake_status_ == 101) {
                handshake_status_ = 0;
            }
        }
    } catch (const std::exception&) {
        handshake_status_ = 0;
        closed_ = true;
    }
}

PageClient::~PageClient() {
    Close();
}

void PageClient::Close() {
    if (closed_ || !io_) {
        return;
    }
    closed_ = true;
    beast::error_code ignored;
    beast::get_lowest_layer(io_->ws).socket().shutdown(tcp::socket::shutdown_both, ignored);
    beast::get_lowest_layer(io_->ws).socket().close(ignored);
}

void PageClient::Define(const std::string& name, PageFunction function) {
    functions_[name] = std::move(function);
}

void PageClient::Send(const Json::Value& message) {
    if (closed_) {
        return;
    }
    const std::string text = CompactJson(message);
    bool done = false;
    beast::error_code error;
    io_->ws.text(true);
    io_->ws.async_write(net::buffer(text), [&](beast::error_code ec, std::size_t) {
        done = true;
        error = ec;
    });
    io_->ioc.restart();
    while (!done && io_->ioc.run_one_for(5s) > 0) {
    }
    if (!done || error) {
        closed_ = true;
    }
}

std::optional<Json::Value> PageClient::ReadOne(std::chrono::steady_clock::time_point deadline) {
    if (closed_) {
        return std::nullopt;
    }
    if (!io_->reading) {
        io_->reading = true;
        io_->read_done = false;
        io_->ws.async_read(io_->buffer, [io = io_.get()](beast::error_code ec, std::size_t) {
            io->reading = false;
            io->read_done = true;
            io->read_error = ec;
        });
    }
    io_->ioc.restart();
    while (!io_->read_done && std::chrono::steady_clock::now() < deadline) {
        if (io_->ioc.run_one_until(deadline) == 0) {
            break;
        }
    }
    if (!io_->read_done) {
        return std::nullopt;
    }
    io_->read_done = false;
    if (io_->read_error) {
        closed_ = true;
        return std::nullopt;
    }
    const std::string text = beast::buffers_to_string(io_->buffer.data());
    io_->buffer.consume(io_->buffer.size());
    Json::Value message;
    if (!ParseJson(text, message)) {
        return Json::Value(text);
    }
    return message;
}

bool PageClient::AnswerIfHostCall(const Json::Value& message) {
    if (!message.isObject()) {
        return false;
    }
    if (message.isMember("eval")) {
        expressions_.push_back(message["code"].asString());
        Json::Value answer;
        answer["return"] = message["eval"];
        answer["value"] = "";
        Send(answer);
        return true;
    }
    if (message.isMember("invoke")) {
        const std::string name = message["fn"].asString();
        invocations_.emplace_back(name, message["args"]);
        Json::Value answer;
        answer["return"] = message["invoke"];
        auto found = functions_.find(name);
        if (found == functions_.end()) {
            answer["error"] = "unknown";
        } else if (auto value = found->second(message["args"])) {
            answer["value"] = *value;
        } else {
            answer["error"] = "threw";
        }
        Send(answer);
        return true;
    }
    return false;
}

std::uint64_t PageClient::Post(const std::string& name, Json::Value args) {
    const std::uint64_t id = next_id_++;
    Json::Value message;
    message["call"] = name;
    message["id"] = Json::Value::UInt64(id);
    message["args"] = args.isNull() ? Json::Value(Json::arrayValue) : args;
    Send(message);
    return id;
}

std::optional<Json::Value> PageClient::Call(const std::string& name, Json::Value args,
                                            std::chrono::milliseconds timeout) {
    const std::uint64_t id = Post(name, std::move(args));
    return Next([id](const Json::Value& message) { return IsResult(message, id); }, timeout);
}

std::optional<Json::Value> PageClient::Next(const std::function<bool(const Json::Value&)>& pred,
                                            std::chrono::milliseconds timeout) {
    for (auto it = kept_.begin(); it != kept_.end(); ++it) {
        if (pred(*it)) {
            Json::Value found = *it;
            kept_.erase(it);
            return found;
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::optional<Json::Value> message = ReadOne(deadline);
        if (!message) {
            return std::nullopt;
        }
        if (pred(*message)) {
            return message;
        }
        if (!AnswerIfHostCall(*message)) {
            kept_.push_back(*message);
        }
    }
}

bool PageClient::ServeUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        std::optional<Json::Value> message = ReadOne(deadline);
        if (!message) {
            return done();
        }
        if (!AnswerIfHostCall(*message)) {
            kept_.push_back(*message);
        }
    }
    return true;
}

void PageClient::Serve(std::chrono::milliseconds duration) {
    Next([](const Json::Value&) { return false; }, duration);
}

bool PageClient::WaitClosed(std::chrono::milliseconds timeout) {
    Next([](const Json::Value&) { return false; }, timeout);
    return closed_;
}

bool WaitForEnd(Window& window, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    return window.WaitForEnd([deadline] { return std::chrono::steady_clock::now() > deadline; },
                             10ms);
}

Json::Value Array(std::initializer_list<Json::Value> values) {
    Json::Value list(Json::arrayValue);
    for (const Json::Value& value : values) {
        list.append(value);
    }
    return list;
}

bool IsResult(const Json::Value& message, std::uint64_t id) {
    return message.isObject() && message.isMember("result") && message["result"].asUInt64() == id;
}

bool IsPopup(const Json::Value& message, const std::string& kind) {
    return message.isObject() && message.isMember("popup") && message["popup"].asString() == kind;
}

std::string ShownMessage(PageClient& popup) {
    std::string message;
    popup.Define("SetMessage", [&message](const Json::Value& args) -> std::optional<std::string> {
        message = args[0].asString();
        return "";
    });
    popup.Call("OnDocumentReady");
    return message;
}

}  // namespace sw::host::test
