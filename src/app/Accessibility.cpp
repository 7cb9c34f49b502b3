#include "app/Accessibility.h"

#include <QAccessible>

#include "app/TFUsta.h"
#include "app/TShapeAccessible.h"
#include "app/TZakladkiAccessible.h"
#include "contacts/view/TListaAccessible.h"
#include "conversation/view/TRozmowaAccessible.h"
#include "ui/BalloonAccessible.h"
#include "ui/TButonAccessible.h"
#include "ui/TNapisButonAccessible.h"
#include "ui/TSkinnedFormAccessible.h"

void InstallAccessibility() {
  QAccessible::installFactory(&TButonAccessible::Factory);
  QAccessible::installFactory(&TNapisButonAccessible::Factory);
  QAccessible::installFactory(&TSkinnedFormAccessible::Factory);
  QAccessible::installFactory(&TListaAccessible::Factory);
  QAccessible::installFactory(&TRozmowaAccessible::Factory);
  QAccessible::installFactory(&TShapeAccessible::Factory);
  QAccessible::installFactory(&TZakladkiAccessible::Factory);
  QAccessible::installFactory(&SwatchAccessibleFactory);
  QAccessible::installFactory(&BalloonAccessible::Factory);
}
