#include "vcl/AlignLayout.h"

#include <algorithm>
#include <numeric>

namespace {

Integer Clamp(Integer Value, Integer Min, Integer Max) {
  if (Max > 0 && Value > Max) Value = Max;
  if (Value < Min) Value = Min;
  return std::max(Value, 0);
}

// The order in which the items of one alignment take their place.
std::vector<std::size_t> Ordered(const std::vector<TAlignItem>& Items, TAlign Align) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (Items[i].Visible && Items[i].Align == Align) order.push_back(i);
  auto key = [&](std::size_t i) -> Integer {
    const TRect& b = Items[i].Bounds;
    switch (Align) {
      case alTop:
        return b.Top;
      case alBottom:
        return -b.Bottom;
      case alLeft:
        return b.Left;
      case alRight:
        return -b.Right;
      default:
        return 0;
    }
  };
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
  return order;
}

}  // namespace

TRect InsetRect(const TRect& R, Integer By) {
  TRect r{R.Left + By, R.Top + By, R.Right - By, R.Bottom - By};
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

void AlignItems(const TRect& Client, std::vector<TAlignItem>& Items) {
  TRect rest = Client;
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (std::size_t i : Ordered(Items, align)) {
      TAlignItem& item = Items[i];
      const TRect m = item.UseMargins ? item.Margins : TRect{};
      const Integer w = Clamp(item.Bounds.Width(), item.MinWidth, item.MaxWidth);
      const Integer h = Clamp(item.Bounds.Height(), item.MinHeight, item.MaxHeight);
      const Integer fullW = Clamp(rest.Width() - m.Left - m.Right, item.MinWidth, item.MaxWidth);
      const Integer fullH = Clamp(rest.Height() - m.Top - m.Bottom, item.MinHeight, item.MaxHeight);
      TRect& b = item.Bounds;
      switch (align) {
        case alTop:
          b = Bounds(rest.Left + m.Left, rest.Top + m.Top, fullW, h);
          rest.Top = std::min(rest.Bottom, rest.Top + m.Top + h + m.Bottom);
          break;
        case alBottom:
          b = Bounds(rest.Left + m.Left, rest.Bottom - m.Bottom - h, fullW, h);
          rest.Bottom = std::max(rest.Top, rest.Bottom - m.Top - h - m.Bottom);
          break;
        case alLeft:
          b = Bounds(rest.Left + m.Left, rest.Top + m.Top, w, fullH);
          rest.Left = std::min(rest.Right, rest.Left + m.Left + w + m.Right);
          break;
        case alRight:
          b = Bounds(rest.Right - m.Right - w, rest.Top + m.Top, w, fullH);
          rest.Right = std::max(rest.Left, rest.Right - m.Left - w - m.Right);
          break;
        default:
          b = Bounds(rest.Left + m.Left, rest.Top + m.Top, fullW, fullH);
          break;
      }
    }
  }
}

namespace {
// One axis of AnchorItems: Start/Size of the item along it.
void AnchorAxis(Integer OldExtent, Integer NewExtent, bool Near, bool Far, Integer& Start, Integer& Size) {
  const Integer delta = NewExtent - OldExtent;
  if (Near && Far) {
    Size = std::max(0, Size + delta);
  } else if (Far) {
    Start += delta;
  } else if (!Near && OldExtent > 0) {
    // Keep the centre at the same fraction of the extent.
    const long long centre2 = 2LL * Start + Size;
    const long long moved = centre2 * NewExtent / OldExtent;
    Start = static_cast<Integer>((moved - Size) / 2);
  }
}
}  // namespace

void AnchorItems(const TSize& OldSize, const TSize& NewSize, std::vector<TAlignItem>& Items) {
  for (TAlignItem& item : Items) {
    if (item.Align != alNone) continue;
    Integer left = item.Bounds.Left, width = item.Bounds.Width();
    Integer top = item.Bounds.Top, height = item.Bounds.Height();
    AnchorAxis(OldSize.cx, NewSize.cx, item.Anchors.Contains(akLeft), item.Anchors.Contains(akRight), left, width);
    AnchorAxis(OldSize.cy, NewSize.cy, item.Anchors.Contains(akTop), item.Anchors.Contains(akBottom), top, height);
    item.Bounds = Bounds(left, top, width, height);
  }
}

TPoint CenterIn(const TRect& Around, const TSize& Size, const TRect& Area) {
  Integer x = Around.Left + (Around.Width() - Size.cx) / 2;
  Integer y = Around.Top + (Around.Height() - Size.cy) / 2;
  if (!Area.IsEmpty()) {
    x = std::min(x, Area.Right - Size.cx);
    y = std::min(y, Area.Bottom - Size.cy);
    x = std::max(x, Area.Left);
    y = std::max(y, Area.Top);
  }
  return {x, y};
}
