// The host's HTTP and WebSocket server on 127.0.0.1 (Boost.Beast).
//
// One I/O thread accepts connections, checks every request (access.h) and
// keeps one WebSocket session per page at /ws?window=ID; it never waits on a
// file. HTTP requests are answered by the handler on a few worker threads,
// and a file in a reply is read by them piece by piece while it is sent. A
// page's message is at most 1 MiB: a longer one closes that page's
// connection with the close code "too big" (1009).
//
// Against many idle or half-open connections: a new connection has a few
// seconds for its first request and a kept one for each later header; at
// most 64 connections that have not shown the token or the cookie are kept,
// the oldest closed first; and when the process runs out of descriptors the
// acceptor closes the oldest such connection, or waits a moment, instead of
// failing at once again. Start raises the soft open-file limit to the hard.
#pragma once

#include <memory>
#include <string>

#include "host/access.h"
#include "host/page_link.h"
#include "host/routes.h"

namespace sw::host {

class ServerHandler {
  public:
    virtual ~ServerHandler() = default;
    // Called on a worker thread; may read files.
    virtual HttpReply HandleHttp(const std::string& target) = 0;
    // A page opened its WebSocket for window windowId; false when there is
    // no such window (the page is then told that it is closed).
    virtual bool OnPageOpen(const std::string& windowId, std::shared_ptr<PageLink> link) = 0;
    virtual void OnPageMessage(const std::string& windowId, const std::shared_ptr<PageLink>& link,
                               const std::string& text) = 0;
    virtual void OnPageClose(const std::string& windowId,
                             const std::shared_ptr<PageLink>& link) = 0;
};

// Raises the soft limit of open files to the hard one (a desktop session
// often starts programs with 1024), so that many connections at once do not
// run the server out of descriptors. False, with a WARN line, when it cannot.
bool RaiseOpenFileLimit();

struct ServerState;

class Server {
  public:
    Server(ServerHandler& handler, AccessSecrets secrets);
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;
    ~Server();

    // Binds 127.0.0.1:port (0 for a free port) and starts the I/O thread.
    // False, with an ERROR line, when the address cannot be bound.
    bool Start(unsigned short port);
    // Closes every connection and joins the I/O thread.
    void Stop();

    unsigned short port() const;
    const AccessSecrets& secrets() const;

  private:
    std::unique_ptr<ServerState> state_;
};

}  // namespace sw::host
