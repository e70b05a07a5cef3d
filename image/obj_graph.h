#pragma once
// FCObjGraph: the position of a drawable object. Copied along when an image is copied.

class FCObjGraph {
public:
  virtual ~FCObjGraph() = default;

  int x = 0; ///< left edge in the owner's coordinates
  int y = 0; ///< top edge in the owner's coordinates
};
