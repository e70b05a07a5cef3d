#include "skin/attribute_draw_filter.h"

namespace {
FCDrawFilter* currentFilter = nullptr;
}

FCDrawFilter* FCAttribute_DrawFilter::ActiveDrawFilter() const {
  return draw_filter ? currentFilter : nullptr;
}

FCDrawFilter* GetCurrentDrawFilter() { return currentFilter; }
void SetCurrentDrawFilter(FCDrawFilter* filter) { currentFilter = filter; }
