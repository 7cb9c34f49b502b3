#include "ui/InputFitter.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QValidator>
#include <algorithm>

#include "platform/Cp1250.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/SkinRecolourable.h"
#include "ui/Tint.h"

namespace {

// At most this many of the refused are named; the notice stays one or two
// lines.
constexpr size_t kNamed = 8;
// Where the caption's letters end in the title strip.
constexpr int kCaptionBottom = 15;

// A line edit's text passes the fitter first, then the validator the box
// had before (the e-mail's lower case).
class FitValidator : public QValidator {
 public:
  FitValidator(InputFitter& fitter, const QValidator* inner, QObject* parent)
      : QValidator(parent), fitter_(fitter), inner_(inner) {}
  State validate(QString& input, int& position) const override {
    fitter_.FitLine(input, position);
    return inner_ ? inner_->validate(input, position) : Acceptable;
  }

 private:
  InputFitter& fitter_;
  QPointer<const QValidator> inner_;
};

}  // namespace

InputFitter::InputFitter(QPlainTextEdit* edit, TextFitter fitter, int maxBytes)
    : QObject(edit), edit_(edit), plain_(edit), fitter_(std::move(fitter)), maxBytes_(maxBytes) {
  noticeTimer_.setSingleShot(true);
  connect(&noticeTimer_, &QTimer::timeout, this, [this] {
    if (notice_) notice_->hide();
  });
  connect(edit->document(), &QTextDocument::contentsChange, this, [this](int at, int, int added) {
    changedAt_ = at;
    changedCount_ = added;
  });
  connect(edit, &QPlainTextEdit::textChanged, this, [this] { PlainTextChanged(); });
}

InputFitter::InputFitter(QLineEdit* edit, TextFitter fitter)
    : QObject(edit), edit_(edit), fitter_(std::move(fitter)) {
  noticeTimer_.setSingleShot(true);
  connect(&noticeTimer_, &QTimer::timeout, this, [this] {
    if (notice_) notice_->hide();
  });
  edit->setValidator(new FitValidator(*this, edit->validator(), this));
}

int InputFitter::Bytes(const QString& plainText) {
  int bytes = 0;
  for (qsizetype i = 0; i < plainText.size(); ++i) {
    const QChar c = plainText[i];
    if (c.isHighSurrogate() && i + 1 < plainText.size() && plainText[i + 1].isLowSurrogate()) ++i;
    bytes += c == u'\n' ? 2 : 1;
  }
  return bytes;
}

QString InputFitter::NoticeText(const std::vector<std::u32string>& refused, bool names) {
  QString text = QString::fromUtf8("Pominięto znaki, których Gadu-Gadu nie przenosi");
  if (!names || refused.empty()) return text + u'.';
  text += u':';
  for (size_t i = 0; i < refused.size() && i < kNamed; ++i)
    text += u' ' + QString::fromUcs4(refused[i].data(), qsizetype(refused[i].size()));
  if (refused.size() > kNamed) text += QString::fromUtf8(" …");
  return text;
}

QLabel* InputFitter::Notice() const { return notice_.data(); }

void InputFitter::SetText(const QString& text) {
  busy_ = true;
  if (plain_)
    plain_->setPlainText(text);
  else if (auto* line = qobject_cast<QLineEdit*>(edit_.data()))
    line->setText(text);
  busy_ = false;
}

void InputFitter::FitLine(QString& text, int& position) {
  if (busy_) return;
  TextFitter::Result r = fitter_.Fit(text.toStdU32String());
  const QString fitted = cp1250::toQString(r.text);
  if (fitted != text) {
    // What was pasted at the caret changed its length; the caret stays after it.
    position = std::clamp(position + int(fitted.size() - text.size()), 0, int(fitted.size()));
    text = fitted;
  }
  if (!r.refused.empty()) Refused(r.refused);
}

void InputFitter::PlainTextChanged() {
  if (busy_) return;
  QTextDocument* doc = plain_->document();
  const QString raw = doc->toRawText();
  int at = std::clamp(changedAt_, 0, int(raw.size()));
  int end = std::clamp(changedAt_ + changedCount_, at, int(raw.size()));
  if (end == at) return;  // only deleted: nothing came in
  busy_ = true;
  QTextCursor c(doc);
  bool editing = false;
  // One step for undo: the user's insertion and what became of it.
  const auto edit = [&] {
    if (!editing) c.joinPreviousEditBlock();
    editing = true;
  };

  // An accent typed on its own joins the letter before it: composed, the
  // two may be a letter of the code page.
  if (at > 0 && QChar::isMark(raw.at(at).unicode())) --at;
  QString piece = raw.mid(at, end - at);
  piece.replace(QChar::ParagraphSeparator, u'\n');
  // Fitted a typed character (a grapheme) at a time, so that the limit can
  // keep or drop each one's fitted text whole: never "<ser" of a heart. In
  // today's session a character goes whole, unfitted.
  TextFitter::Result r;
  const bool whole = whole_ && whole_();
  QString fitted;
  std::vector<int> ends;  // where each one's fitted text ends in fitted
  QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, piece);
  for (qsizetype from = 0, to; (to = graphemes.toNextBoundary()) > 0; from = to) {
    const QString typed = piece.mid(from, to - from);
    if (whole) {
      fitted += typed;
      ends.push_back(int(fitted.size()));
      continue;
    }
    TextFitter::Result one = fitter_.Fit(typed.toStdU32String());
    fitted += cp1250::toQString(one.text);
    ends.push_back(int(fitted.size()));
    for (std::u32string& what : one.refused)
      if (std::find(r.refused.begin(), r.refused.end(), what) == r.refused.end()) r.refused.push_back(std::move(what));
  }
  if (fitted != piece) {
    edit();
    c.setPosition(at);
    c.setPosition(end, QTextCursor::KeepAnchor);
    c.insertText(fitted);
    end = at + int(fitted.size());
  }

  if (maxBytes_ > 0) {
    const QString text = plain_->toPlainText();
    int excess = Bytes(text) - maxBytes_;
    int cut = end;
    for (size_t kept = ends.size(); excess > 0 && kept > 0; --kept) {
      const int from = at + (kept > 1 ? ends[kept - 2] : 0);
      for (; cut > from; --cut) excess -= text[cut - 1] == u'\n' ? 2 : 1;
    }
    if (cut < end) {
      edit();
      c.setPosition(cut);
      c.setPosition(end, QTextCursor::KeepAnchor);
      c.removeSelectedText();
    }
  }
  if (editing) c.endEditBlock();
  busy_ = false;
  if (!r.refused.empty()) Refused(r.refused);
}

void InputFitter::Refused(const std::vector<std::u32string>& refused) {
  if (!edit_) return;
  QWidget* window = edit_->window();
  if (!notice_ || notice_->parentWidget() != window) {
    delete notice_.data();
    notice_ = new QLabel(window);
    notice_->setObjectName(QStringLiteral("Pominiete"));
    notice_->setTextFormat(Qt::PlainText);
    notice_->setWordWrap(true);
    notice_->setFont(SmallFont());
    notice_->setAutoFillBackground(true);
    notice_->setContentsMargins(2, 1, 2, 1);
    // What it covers for its few seconds stays within reach.
    notice_->setAttribute(Qt::WA_TransparentForMouseEvents);
    SetTag(notice_, 4);  // the scheme's message colour
  }
  QPalette pal = notice_->palette();
  pal.setColor(QPalette::Window, Kolor(Skin::get().scheme().tlo));
  pal.setColor(QPalette::WindowText, Kolor(Skin::get().scheme().komunikat));
  notice_->setPalette(pal);
  notice_->setText(NoticeText(refused, namesRefused_));
  // Over the box's own label above it, where that leaves the window's
  // caption readable; else under the box, over what follows; above it
  // anyway where the window ends below it.
  const int width = std::max(40, window->width() - 16);
  const int height = notice_->heightForWidth(width);
  const QPoint at = edit_->mapTo(window, QPoint(0, 0));
  const int above = at.y() - 2 - height;
  const int below = at.y() + edit_->height() + 2;
  const int y = above >= kCaptionBottom || below + height > window->height() - 3 ? std::max(0, above) : below;
  notice_->setGeometry(8, y, width, height);
  notice_->raise();
  notice_->show();
  noticeTimer_.start(kNoticeMs);
}
