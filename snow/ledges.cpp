#include "snow/ledges.h"

#include <algorithm>
#include <climits>

#include "images/desktop.h"
#include "settings/settings.h"
#include "surface/surface.h"

namespace {

constexpr int kSeedRows = 2;
// How far from a ledge's rows a resting flake is still cut to them: the
// largest flake, and the seed band under the edge.
constexpr int kReach = 7 + kSeedRows;

// The mound's steps, and the rows under the ceiling that only the flakes
// on top reach.
constexpr int kMoundStep = 2;
constexpr int kMoundCrest = 4;

std::vector<Ledge> ledges;

// The ledges of one window's top edge on one monitor, cut by the windows in
// front of it.
void AddEdgeOnMonitor(const std::vector<RECT>& windows, size_t index, const RECT& monitor, int depth,
                      std::vector<Ledge>& found) {
  const RECT& w = windows[index];
  const int edge = w.top;
  const int left = std::max(w.left, monitor.left), right = std::min(w.right, monitor.right);
  const int highest = std::max(edge - depth, static_cast<int>(monitor.top));
  if (edge <= monitor.top || edge >= monitor.bottom || left >= right || highest >= edge) return;

  // The windows in front that reach into the rows from the highest one down
  // to the edge; the columns where any of them begins or ends.
  std::vector<const RECT*> front;
  std::vector<int> cuts{left, right};
  for (size_t j = 0; j < index; ++j) {
    const RECT& f = windows[j];
    if (f.top > edge || f.bottom <= highest || f.right <= left || f.left >= right) continue;
    front.push_back(&f);
    if (f.left > left) cuts.push_back(f.left);
    if (f.right < right) cuts.push_back(f.right);
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  for (size_t k = 0; k + 1 < cuts.size(); ++k) {
    const int a = cuts[k], b = cuts[k + 1];
    int ceiling = highest;
    bool covered = false;
    for (const RECT* f : front) {
      if (f->left > a || f->right <= a) continue;
      // One that reaches down to the edge's row or the row above hides
      // the ledge; one that ends higher lowers its ceiling.
      if (f->bottom >= edge) covered = true;
      ceiling = std::max(ceiling, static_cast<int>(f->bottom));
    }
    if (covered || ceiling >= edge) continue;
    if (!found.empty() && found.back().right == a && found.back().edge == edge &&
        found.back().ceiling == ceiling) {
      found.back().right = b;
    } else {
      found.push_back(Ledge{a, b, edge, ceiling});
    }
  }
}

}  // namespace

std::vector<Ledge> FindLedges(const std::vector<RECT>& windows, const std::vector<RECT>& monitors,
                              int depth) {
  std::vector<Ledge> found;
  for (size_t i = 0; i < windows.size(); ++i) {
    if (IsRectEmpty(&windows[i])) continue;
    for (const RECT& m : monitors) AddEdgeOnMonitor(windows, i, m, depth, found);
  }
  return found;
}

void PlaceLedges() {
  const SurfaceState& surface = Surface();
  std::vector<RECT> monitors;
  for (int i = 0; i < surface.monitorCount; ++i) monitors.push_back(surface.monitors[i].screen);
  ledges = DesktopShown() ? FindLedges(DesktopWindows(), monitors, Settings().WindowSnowDepth)
                          : std::vector<Ledge>{};
}

const std::vector<Ledge>& Ledges() { return ledges; }

void ForgetLedges() { ledges.clear(); }

void AddLedgeSeeds(HRGN region, HRGN scratch) {
  for (const Ledge& l : ledges) {
    SetRectRgn(scratch, l.left, l.edge, l.right, l.edge + kSeedRows);
    CombineRgn(region, region, scratch, RGN_OR);
  }
}

// The room of a ledge is a mound, not a slab: it rises two rows for every
// three columns in from either end, and stops a few rows under the
// ceiling, so that the flakes resting on top stick out above it unevenly
// as they do on the ground, never past the ceiling.
void AddLedgeRoom(HRGN region, HRGN scratch) {
  for (const Ledge& l : ledges) {
    const int height = l.edge - l.ceiling;
    const int top = l.ceiling + std::min(kMoundCrest, height / 3);
    for (int row = l.edge - kMoundStep; row + kMoundStep > top; row -= kMoundStep) {
      const int inset = (l.edge - row) * 3 / 2;
      if (l.left + inset >= l.right - inset) break;
      SetRectRgn(scratch, l.left + inset, std::max(row, top), l.right - inset, row + kMoundStep);
      CombineRgn(region, region, scratch, RGN_OR);
    }
  }
}

RECT RestingArea(int x, const RECT& r) {
  for (const Ledge& l : ledges) {
    if (x >= l.left && x < l.right && r.bottom > l.ceiling - kReach && r.top < l.edge + kReach) {
      return RECT{l.left, l.ceiling, l.right, l.edge};
    }
  }
  return RECT{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2};
}
