// The host's end of one page's WebSocket.
#pragma once

#include <string>

namespace sw::host {

class PageLink {
  public:
    virtual ~PageLink() = default;
    // Queues one text message for the page; never blocks. Messages reach the
    // page in the order they were sent. A closed link drops them.
    virtual void Send(std::string message) = 0;
    // Closes the connection; further sends are dropped.
    virtual void Close() = 0;
};

}  // namespace sw::host
