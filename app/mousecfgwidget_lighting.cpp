#include "app/mousecfgwidget.h"

// The lighting area's page is not built yet: the tab shows only the picture.
void MousecfgWidget::buildLightingPage() {}
void MousecfgWidget::refreshLightingPage() {}
