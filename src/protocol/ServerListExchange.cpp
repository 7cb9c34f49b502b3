#include "protocol/ServerListExchange.h"

#include <QTimer>
#include <algorithm>

#include "platform/Cp1250.h"
#include "platform/MessageBox.h"
#include "protocol/Packets.h"
#include "protocol/Packets80.h"

namespace {

// Get replies are 4 (more to come) and 6 (the last piece); 0 and 2
// acknowledge a put piece.
constexpr uint8_t kReplyGetLast = 6;

}  // namespace

bool ServerListExchange::MayStart() {
  if (UnderWay()) {
    MessageBox(T("Zapytanie zostało już wysłane."), kOstrzezenie);
    return false;
  }
  if (!host_.Connected()) {
    MessageBox(T("Nie jesteś połączony z serwerem GG."), kOstrzezenie);
    return false;
  }
  return true;
}

void ServerListExchange::Start(Operation op, const std::string& progress) {
  op_ = op;
  pending_ = std::string();
  if (op == Operation::kGet) discarding_ = false;
  host_.ShowProgress(progress);
}

void ServerListExchange::End() {
  pending_.reset();
  op_ = Operation::kNone;
  host_.ShowIdle();
}

void ServerListExchange::Import() {
  if (!MayStart()) return;
  Start(Operation::kGet, T("Trwa wysyłanie zapytania..."));
  host_.Send(host_.Today() ? gg80::BuildUserlistGet(version_)
                           : gg::BuildUserlistRequest(gg::kUserlistGet, {}));
  host_.ShowProgress(T("Trwa oczekiwanie na odpowiedź..."));
}

void ServerListExchange::Export(const std::vector<ServerListEntry>& entries) {
  // Today's network wipes a stored list sent in a form it does not expect,
  // and no public description fixes that form.
  if (host_.Today()) return;
  if (!MayStart()) return;
  if (entries.empty() &&
      !MessageBox(T("Twoja lista kontaktów jest pusta. Czy mimo to chcesz wyeksportować ją na serwer?"),
                  kPytanie))
    return;
  // The question ran a loop of its own: the connection may be gone.
  if (!MayStart()) return;
  mark_ = kMarkExport;
  Start(Operation::kPut, T("Trwa wysyłanie listy kontaktów..."));
  *pending_ = server_list::ExportList(entries);
  SendListRequest(true);
}

void ServerListExchange::Delete() {
  if (host_.Today()) return;
  if (!MayStart()) return;
  mark_ = kMarkDelete;
  Start(Operation::kPut, T("Trwa usuwanie listy kontaktów..."));
  SendListRequest(true);
}

void ServerListExchange::SendListRequest(bool first) {
  if (!pending_) {
    MessageBox(T("Błąd wewnętrzny ECzekajListaNIL"), kOstrzezenie);
    return;
  }
  const size_t n = std::min(pending_->size(), gg::kMaxUserlistText);
  host_.Send(gg::BuildUserlistRequest(first ? gg::kUserlistPut : gg::kUserlistPutMore,
                                      std::string_view(*pending_).substr(0, n)));
  pending_->erase(0, n);
}

void ServerListExchange::OnTodaysReply(const std::string& payload) {
  const auto reply = gg80::ParseUserlistReply(payload);
  if (!reply) return;
  if (op_ != Operation::kGet) return Unsolicited();
  version_ = reply->version;
  End();
  std::string text;
  if (reply->kind == 0 && reply->format == 2) {
    // The XML form has no public description to read it by.
    MessageBox(T("Lista kontaktów na serwerze ma postać, której program nie odczytuje."), kOstrzezenie);
    return;
  }
  if (reply->kind == 0) {
    if (reply->content.size() > server_list::kMaxText) {
      MessageBox(T("Lista kontaktów jest zbyt długa."), kOstrzezenie);
      return;
    }
    text = cp1250::fromUtf8Wide(reply->content);
  }
  host_.ImportServerList(text);
  host_.ShowIdle();
}

void ServerListExchange::OnReply(const std::string& payload) {
  if (host_.Today()) return OnTodaysReply(payload);
  const auto reply = gg::ParseUserlistReply(payload);
  if (!reply) return;  // not even a kind: nothing to answer
  if (reply->kind > 2) {
    if (op_ != Operation::kGet) {
      if (!discarding_) return Unsolicited();
      if (reply->kind == kReplyGetLast) discarding_ = false;
      return;
    }
    *pending_ += reply->text;
    if (pending_->size() > server_list::kMaxText) {
      // Whatever else of it comes is dropped unseen; the box below runs a
      // loop in which it may arrive.
      discarding_ = reply->kind != kReplyGetLast;
      End();
      MessageBox(T("Lista kontaktów jest zbyt długa."), kOstrzezenie);
      return;
    }
    if (reply->kind != kReplyGetLast) return;
    const std::string text = std::move(*pending_);
    // Over before the import asks its questions: a reply arriving meanwhile
    // finds nothing under way.
    pending_.reset();
    op_ = Operation::kNone;
    host_.ImportServerList(text);
    host_.ShowIdle();
    return;
  }
  if (op_ != Operation::kPut) return Unsolicited();
  if (!pending_->empty()) return SendListRequest(false);
  End();
  MessageBox(mark_ == kMarkExport ? T("Lista kontaktów została pomyślnie wyeksportowana.")
                                  : T("Lista kontaktów została usunięta z serwera."),
             kInformacja);
}

void ServerListExchange::Unsolicited() {
  if (warnedUnsolicited_) return;
  warnedUnsolicited_ = true;
  // Shown once the packet has been dealt with: a box held open in the middle
  // of the dispatch would hold up every later packet of the connection, the
  // next login included, until someone clicks it.
  QTimer::singleShot(0, [] { MessageBox(T("Błąd wewnętrzny Pakiet.ECzekajListaNIL"), kOstrzezenie); });
}

void ServerListExchange::ConnectionEnded() {
  pending_.reset();
  op_ = Operation::kNone;
  discarding_ = false;
  warnedUnsolicited_ = false;
  host_.ShowIdle();
}
