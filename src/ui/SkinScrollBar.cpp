#include "ui/SkinScrollBar.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

#include "ui/Skin.h"

namespace {

QString Hex(uint32_t colour) {
  // Colours are 0x00BBGGRR.
  return QStringLiteral("#%1%2%3")
      .arg(colour & 0xFF, 2, 16, QLatin1Char('0'))
      .arg((colour >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
      .arg((colour >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

}  // namespace

void SkinScrollBars(QAbstractScrollArea* area) {
  const QString track = Hex(Skin::get().colours().frameShade[0]);
  const QString thumb = Hex(Skin::get().scheme().tekst);
  const QString sheet = QStringLiteral(
      "QScrollBar { background: %1; border: none; margin: 0; }"
      "QScrollBar:vertical { width: 10px; }"
      "QScrollBar:horizontal { height: 10px; }"
      "QScrollBar::handle { background: %2; border: none; border-radius: 3px; margin: 2px; }"
      "QScrollBar::handle:vertical { min-height: 16px; }"
      "QScrollBar::handle:horizontal { min-width: 16px; }"
      "QScrollBar::add-line, QScrollBar::sub-line { border: none; background: none; width: 0; height: 0; }"
      "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
                            .arg(track, thumb);
  area->verticalScrollBar()->setStyleSheet(sheet);
  area->horizontalScrollBar()->setStyleSheet(sheet);
}
