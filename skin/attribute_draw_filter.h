#pragma once
// FCAttribute_DrawFilter: whether a panel, button or list item draws through the current draw
// filter. The current filter is process-wide; nothing in the system installs one, so drawing
// is unfiltered unless a caller sets it (on the user-interface thread).
class FCDrawFilter;

class FCAttribute_DrawFilter {
public:
  virtual ~FCAttribute_DrawFilter() = default;

  /// The filter to draw through: the current one when the flag is set, else none.
  FCDrawFilter* ActiveDrawFilter() const;

  int draw_filter = 1; ///< nonzero: draw through the current draw filter
};

FCDrawFilter* GetCurrentDrawFilter();
/// Not owned; pass null to remove.
void SetCurrentDrawFilter(FCDrawFilter* filter);
