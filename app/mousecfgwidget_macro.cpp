#include "app/mousecfgwidget.h"

// The macro area's page is not built yet: the tab shows only the picture.
void MousecfgWidget::buildMacroPage() {}
void MousecfgWidget::refreshMacroPage() {}
