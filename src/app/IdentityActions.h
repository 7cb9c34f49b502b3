#pragma once
// What the identities tab of the settings dialog does: create, load, delete,
// make default and change the password, with every question, warning and
// notice, on top of the identity store. No window of its own: the prompt it
// needs is handed in, so that it runs the same with a test's script.

#include <functional>
#include <string>

class IdentityHost;
class IdentityStore;

class IdentityActions {
 public:
  // What the small prompt window returned: whether it was confirmed, and the
  // text of its edit however it was closed.
  struct Answer {
    bool confirmed = false;
    std::string text;
  };
  // caption, label, masked, starting text; Windows-1250.
  using Prompt = std::function<Answer(const std::string& caption, const std::string& label, bool masked,
                                      const std::string& text)>;

  IdentityActions(IdentityStore& store, IdentityHost& host, Prompt prompt);

  // The number of an identity line of the list: its text before the first
  // blank (the default one is followed by " (domyślny)").
  static std::string SelectedNumber(const std::string& line);
  // A number typed into the prompt: a decimal integer that fits an identity
  // number (up to 2147483647), negative ones included; 0 when unreadable.
  static long long ReadTypedNumber(const std::string& text);

  // Each does nothing (returns false) when selected is empty.
  bool Create();
  bool Load(const std::string& selected);
  bool Delete(const std::string& selected);
  bool MakeDefault(const std::string& selected);
  bool ChangePassword();

 private:
  IdentityStore& store_;
  IdentityHost& host_;
  Prompt prompt_;
};
