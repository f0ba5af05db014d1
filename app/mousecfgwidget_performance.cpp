#include "app/mousecfgwidget.h"

// The performance area's page is not built yet: the tab shows only the picture.
void MousecfgWidget::buildPerformancePages() {}
void MousecfgWidget::refreshPerformancePages() {}
void MousecfgWidget::collectPerformancePages() {}
