// Where a page puts one of its controls, in the page's client coordinates.
#pragma once

struct ControlPlacement {
  int id;
  int x;
  int y;
  int width;
  int height;
  bool operator==(const ControlPlacement&) const = default;
};
