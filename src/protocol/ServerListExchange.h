#pragma once
// The exchange of the contact list with the server's copy: an export puts
// the list text in pieces of at most 2046 bytes, each waiting for its
// acknowledgement; a delete puts an empty text; an import gets the text in
// pieces and hands the whole of it on. One operation at a time; the end of
// the connection drops it silently.
//
// The server is not trusted: get replies are collected only by an import
// and only up to 65535 bytes, acknowledgements count only for a put, and a
// reply nobody asked for is reported at most once per connection, after
// its packet has been dealt with (the event loop must run for it).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/ServerListText.h"

class ServerListExchange {
 public:
  class Host {
   public:
    virtual ~Host() = default;
    virtual bool Connected() const = 0;
    virtual void Send(const std::string& packet) = 0;
    // The progress line, in the message colour while an operation runs.
    virtual void ShowProgress(const std::string& text) = 0;
    // Back to "Lista kontaktów na serwerze:" in the dimmed caption colour.
    virtual void ShowIdle() = 0;
    // Replaces the local list with the one the text holds, with its own
    // questions and notices.
    virtual void ImportServerList(const std::string& text) = 0;
    // The connection speaks today's network: its list is versioned and
    // compressed, and only an import is offered.
    virtual bool Today() const { return false; }
  };

  // The operation mark: which put ended decides the closing notice.
  static constexpr int kMarkExport = 5;
  static constexpr int kMarkDelete = 6;

  explicit ServerListExchange(Host& host) : host_(host) {}

  bool UnderWay() const { return pending_.has_value(); }
  int Mark() const { return mark_; }
  // What is still to be sent (export) or collected so far (import).
  const std::optional<std::string>& Pending() const { return pending_; }

  void Import();
  // entries: the local list in the order it is kept.
  void Export(const std::vector<ServerListEntry>& entries);
  void Delete();

  // Sends the next piece of the pending text: kind 0 (put) when first, else
  // 1 (put more).
  void SendListRequest(bool first);

  // A userlist reply, its payload as it came.
  void OnReply(const std::string& payload);

  // The connection has ended: whatever was under way is dropped.
  void ConnectionEnded();

  // The version of the server's list that today's network last reported.
  uint32_t Version() const { return version_; }

 private:
  enum class Operation { kNone, kGet, kPut };

  // The warnings that stop an operation before it starts.
  bool MayStart();
  void Start(Operation op, const std::string& progress);
  void End();
  void Unsolicited();
  void OnTodaysReply(const std::string& payload);

  Host& host_;
  std::optional<std::string> pending_;
  Operation op_ = Operation::kNone;
  int mark_ = 0;
  // The rest of an import given up as too long is dropped as it comes.
  bool discarding_ = false;
  bool warnedUnsolicited_ = false;
  uint32_t version_ = 0;
};
