#pragma once
// The contact list of the main window (ListaK): one row per contact in
// display order with its status icon, the display name (bold when present)
// and, for statuses with a description, the description word-wrapped under
// it. It scrolls by a pixel offset set from outside (the arrow buttons and
// the wheel of the main window), keeps the selected row in the store, and
// reports double-clicks.
//
// From the keyboard: the arrows, Home and End move the selection (the list
// scrolls to show it), Page Up and Page Down scroll, Enter opens the
// selected contact as a double-click does. When the list shrinks under its
// offset, the offset comes back so that the last row ends at the bottom.
//
// The control draws no background: the skinned window shows through between
// the rows. What it paints comes from ContactListLayout, laid out again only
// when the width, the offset, the selection or the contacts change (the
// owner calls Refresh after changing the store).

#include <QPixmap>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "contacts/ContactListLayout.h"
#include "contacts/ContactStore.h"
#include "ui/SkinRecolourable.h"

class TImageList;

class TLista : public QWidget, public TSkinRecolourable {
  Q_OBJECT
 public:
  // The store is the main window's; it must outlive the control.
  explicit TLista(ContactStore& store, QWidget* parent = nullptr);

  ContactStore& Contacts() { return store_; }
  const ContactStore& Contacts() const { return store_; }

  uint32_t OdGory() const { return odGory_; }
  // A different offset is stored and repaints; the same one does nothing.
  void SetOdGory(uint32_t odGory);

  // The 16 x 16 status pictures (not owned; null for none). Setting it does
  // not build the icons: RebuildIcons does, when the colours are applied.
  const TImageList* IL() const { return il_; }
  void SetIL(const TImageList* il);

  // Builds one pair of icons per picture: tinted toward the background for
  // ordinary rows and toward the 50 % frame shade for the selected one.
  // Without an image list nothing changes.
  void RebuildIcons();
  int IconCount() const { return static_cast<int>(normalIcons_.size()); }
  const QPixmap& NormalIcon(int i) const { return normalIcons_[i]; }
  const QPixmap& SelectedIcon(int i) const { return selectedIcons_[i]; }

  void Recolour() override;

  // The store changed: lay out again and repaint.
  void Refresh();

  // Selects list position p (clamped into the list) and scrolls it into view.
  void Select(int p);
  // The selected contact reported as a double-click reports it; nothing
  // without a selection. Enter and the screen reader's action open so.
  void Open();

  // The rows as they are painted now (laid out again first if stale).
  const ContactListLayout& Layout();
  // Just below the last row, offset applied. An empty list keeps the value
  // of the last list that had rows, as the buttons keep their state then.
  int64_t ContentHeight();

  // The width of a description text (Windows-1250 bytes) in its font: the
  // measure the layout wraps by.
  static int DescriptionWidth(const std::string& text);

 signals:
  // Double-click on a selected row: Numer is its record index.
  void PodwojnyKlik(TLista* sender, uint16_t Numer);
  // Raised at the end of every paint of a non-empty list.
  void NaZmiane(TLista* sender);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  void selectAt(int y);
  // Tells assistive technology what changed, when it is active.
  void Announce();

  ContactStore& store_;
  uint32_t odGory_ = 0;
  const TImageList* il_ = nullptr;
  std::vector<QPixmap> normalIcons_;
  std::vector<QPixmap> selectedIcons_;

  ContactListLayout layout_;
  bool layoutStale_ = true;
  // What the layout was made for; a change of any of them lays out again.
  int layoutWidth_ = -1;
  uint32_t layoutOffset_ = 0;
  int layoutSelected_ = -2;
  int layoutCount_ = -1;
};
