#pragma once
// The colour wheel's pictures: one PNG raw-data resource per display scale,
// in the order they go into the picture control's scaled list.
#include <array>

struct TVivIzudeColorWheelPicture {
  float Scale;
  const char16_t* ResourceName;
};

inline constexpr std::array<TVivIzudeColorWheelPicture, 5> VivIzudeColorWheelPictures{{
    {1.0f, u"TADVCOLORWHEELPICTURE100"},
    {1.25f, u"TADVCOLORWHEELPICTURE125"},
    {1.5f, u"TADVCOLORWHEELPICTURE150"},
    {1.75f, u"TADVCOLORWHEELPICTURE175"},
    {2.0f, u"TADVCOLORWHEELPICTURE200"},
}};
