// A running host for one test, and the clients that speak to it: a plain
// HTTP client and a page client that opens a window's WebSocket and behaves
// as that window's page.
#pragma once

#include <json/value.h>

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/command_table.h"
#include "host/host.h"

namespace sw::host::test {

using namespace std::chrono_literals;

// A fresh folder below the system's temporary folder, removed with its
// contents when it goes.
class Scratch {
  public:
    Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    ~Scratch();
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// Writes text to path, making the missing folders first; reads a whole file.
void WriteFile(const std::string& path, const std::string& text);
std::string ReadFile(const std::string& path);

using Headers = std::vector<std::pair<std::string, std::string>>;

struct HttpResult {
    unsigned status = 0;
    std::map<std::string, std::string> headers;  // lower-case names
    std::string body;
};

// One request to 127.0.0.1:port. Host is "127.0.0.1:PORT" unless headers
// give one.
HttpResult HttpRequest(unsigned short port, const std::string& target, const Headers& headers,
                       const std::string& method = "GET");

// Host options that keep tests quick.
HostOptions QuickOptions();

// The standard command tables, built.
CommandTables StandardTables();

class HostHarness {
  public:
    explicit HostHarness(CommandTables tables = StandardTables(),
                         HostOptions options = QuickOptions());
    ~HostHarness();

    Host& host() { return *host_; }
    unsigned short port() const { return host_->port(); }
    const Scratch& folder() const { return folder_; }
    // The data and home folders of the run (inside folder()).
    std::string data() const { return folder_ / "data"; }
    std::string home() const { return folder_ / "home"; }

    // runtime.log as written so far.
    std::string log() const;
    // Waits until runtime.log holds text.
    bool WaitForLog(const std::string& text, std::chrono::milliseconds timeout = 5s) const;

    // Waits until the host has taken a page for window id (a page client sees
    // its handshake answered a moment before the host files the page).
    bool WaitForPage(const std::string& id, std::chrono::milliseconds timeout = 5s);

    // "NAME=VALUE" of the session cookie, from a token exchange.
    const std::string& cookie();
    // A request with the session cookie.
    HttpResult Get(const std::string& target, Headers headers = {});

  private:
    Scratch folder_;
    std::unique_ptr<Host> host_;
    std::string cookie_;
};

// What a page function of a PageClient answers: a value, or nullopt when it
// throws.
using PageFunction = std::function<std::optional<std::string>(const Json::Value& args)>;

class PageClient {
  public:
    // Opens /ws?window=windowId. origin "" sends no Origin; by default the
    // host's own origin is sent.
    PageClient(unsigned short port, const std::string& windowId, const std::string& cookie,
               std::optional<std::string> origin = std::nullopt);
    ~PageClient();

    // 101 when the WebSocket is open, else the status of the refusal.
    unsigned handshake_status() const { return handshake_status_; }
    bool connected() const { return handshake_status_ == 101 && !closed_; }

    // Page functions the host may call; a call of another name is answered
    // as unknown. Expressions ({"eval"}) are recorded and answered with "".
    void Define(const std::string& name, PageFunction function);
    const std::vector<std::string>& expressions() const { return expressions_; }
    const std::vector<std::pair<std::string, Json::Value>>& invocations() const {
        return invocations_;
    }

    void Send(const Json::Value& message);
    // Calls a command and returns the host's answer ({"result",...}), or
    // nullopt when none came in time. Host calls arriving meanwhile are
    // answered; other messages are kept for Next.
    std::optional<Json::Value> Call(const std::string& name, Json::Value args = Json::Value(),
                                    std::chrono::milliseconds timeout = 10s);
    // Sends a call without waiting; its id.
    std::uint64_t Post(const std::string& name, Json::Value args = Json::Value());
    // The next kept or arriving message for which pred holds (host calls are
    // answered meanwhile); nullopt on timeout or when the socket closed.
    std::optional<Json::Value> Next(const std::function<bool(const Json::Value&)>& pred,
                                    std::chrono::milliseconds timeout = 10s);
    // Answers host calls until done() holds (checked after every message);
    // false on timeout.
    bool ServeUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s);
    // Answers host calls until the timeout (or the socket closes).
    void Serve(std::chrono::milliseconds duration);
    // True when the host closed the socket.
    bool WaitClosed(std::chrono::milliseconds timeout = 5s);
    void Close();

  private:
    struct Io;
    std::optional<Json::Value> ReadOne(std::chrono::steady_clock::time_point deadline);
    bool AnswerIfHostCall(const Json::Value& message);

    std::unique_ptr<Io> io_;
    unsigned handshake_status_ = 0;
    bool closed_ = false;
    std::uint64_t next_id_ = 1;
    std::map<std::string, PageFunction> functions_;
    std::vector<std::string> expressions_;
    std::vector<std::pair<std::string, Json::Value>> invocations_;
    std::deque<Json::Value> kept_;
};

// Waits at most timeout for the window to end; true when it did.
bool WaitForEnd(Window& window, std::chrono::milliseconds timeout = 20s);

// A JSON list of the values.
Json::Value Array(std::initializer_list<Json::Value> values);

// Shortcuts for messages.
bool IsResult(const Json::Value& message, std::uint64_t id);
bool IsPopup(const Json::Value& message, const std::string& kind);

// Reports the popup's page ready and returns the message the host shows in
// it (its SetMessage call), "" when none.
std::string ShownMessage(PageClient& popup);

}  // namespace sw::host::test
