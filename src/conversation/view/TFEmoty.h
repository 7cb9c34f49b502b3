#pragma once
// The emoticon picker: the 45 pictures of the emoticon table as buttons on a
// small skinned window. Shown modally by a chat window; its modal result is
// 7 when closed and 8 + the table index when a picture was chosen.

#include <QImage>
#include <array>
#include <string_view>

#include "conversation/Emoticons.h"
#include "ui/TSkinnedForm.h"

class QAbstractButton;
class TButon;

class TFEmoty : public TSkinnedForm {
  Q_OBJECT
 public:
  static constexpr int kZamknieto = 7;
  static constexpr int kPierwszy = 8;

  // The pictures are read from programDir + "/ikony/<name>.bmp" once.
  explicit TFEmoty(const QString& programDir, QWidget* parent = nullptr);

  // Centred on the owner (the screen without one), modal; the result as above.
  int Choose(QWidget* owner);

  // The text a modal result inserts into a message; empty for a close.
  static std::string_view InsertedText(int modalResult);

  // Takes the background colour and tints the pictures toward it again.
  void ApplyColours() override;

  TButon* BZamknij;
  std::array<QAbstractButton*, kLiczbaEmotikon> Przyciski{};

 private:
  void FormCreate(const QString& programDir);

  std::array<QImage, kLiczbaEmotikon> pictures_;  // as read, before tinting
};
