#include "app/mousecfgwidget.h"

// The buttons area's page is not built yet: the tab shows only the picture.
void MousecfgWidget::buildButtonsPage() {}
void MousecfgWidget::refreshButtonsPage() {}
