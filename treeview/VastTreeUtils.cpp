// Window-free drawing helpers of the tree view.
#include "treeview/VastTreeUtils.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

void NormalizeRect(const TRect& Source, TRect& Dest) {
  Dest.Left = std::min(Source.Left, Source.Right);
  Dest.Right = std::max(Source.Left, Source.Right);
  Dest.Top = std::min(Source.Top, Source.Bottom);
  Dest.Bottom = std::max(Source.Top, Source.Bottom);
}

String ShortenTextWithEllipsis(const TTextWidthFunc& Measure, const String& Text, Integer Width,
                               Integer EllipsisWidth) {
  const Integer Length = static_cast<Integer>(Text.size());
  if (Length == 0 || Width <= 0) return String();
  if (EllipsisWidth == 0) EllipsisWidth = Measure(u"...", 3);
  Integer Low = 0, High = Length;
  while (High > Low) {
    const Integer Mid = (Low + High + 1) / 2;
    if (Measure(Text.data(), Mid) + EllipsisWidth <= Width)
      Low = Mid;
    else
      High = Mid - 1;
  }
  if (Low == Length) return Text;
  if (EllipsisWidth < Width) return Text.substr(0, static_cast<std::size_t>(Low)) + u"...";
  return String();
}

String WrapTextToWidth(const TTextRightFunc& MeasureRight, const String& Text, Integer Width, bool RTL) {
  std::size_t First = 0, Last = Text.size();
  while (First < Last && Text[First] <= u' ') ++First;
  while (Last > First && Text[Last - 1] <= u' ') --Last;
  if (First == Last) return String();
  std::vector<String> Words;
  String Word;
  for (std::size_t I = First; I < Last; ++I) {
    if (Text[I] == u' ') {
      Words.push_back(Word);
      Word.clear();
    } else {
      Word += Text[I];
    }
  }
  Words.push_back(Word);
  if (RTL) std::reverse(Words.begin(), Words.end());

  String Result;
  std::size_t Next = 0;
  String Pending;
  bool HavePending = false;
  auto TakeWord = [&](String& Out) {
    if (HavePending) {
      Out = Pending;
      HavePending = false;
      return true;
    }
    if (Next >= Words.size()) return false;
    Out = Words[Next++];
    return true;
  };
  while (HavePending || Next < Words.size()) {
    String Line;
    bool HasWord = false;
    String W;
    while (TakeWord(W)) {
      const String Joined = !HasWord ? W : (RTL ? W + u" " + Line : Line + u" " + W);
      const String Measured = !HasWord ? W : Line + u" " + W;
      if (MeasureRight(Measured) <= Width) {
        Line = Joined;
        HasWord = true;
        continue;
      }
      if (HasWord) {
        Pending = W;
        HavePending = true;
        break;
      }
      // The first word of a line is too wide: split it.
      const Integer L = static_cast<Integer>(W.size());
      Integer Take = L;
      if (L > 2) {
        Take = 1;
        for (Integer N = L - 1; N >= 2; --N) {
          const String Part =
              RTL ? W.substr(static_cast<std::size_t>(L - N)) : W.substr(0, static_cast<std::size_t>(N));
          if (MeasureRight(Part) <= Width) {
            Take = N;
            break;
          }
        }
      }
      const String Part =
          RTL ? W.substr(static_cast<std::size_t>(L - Take)) : W.substr(0, static_cast<std::size_t>(Take));
      const String Rest =
          RTL ? W.substr(0, static_cast<std::size_t>(L - Take)) : W.substr(static_cast<std::size_t>(Take));
      Line = Part;
      HasWord = true;
      if (!Rest.empty()) {
        Pending = Rest;
        HavePending = true;
      }
      break;
    }
    Result += Line;
    Result += u'\n';
  }
  if (!Result.empty() && Result.back() == u'\n') Result.pop_back();
  return Result;
}

namespace {

inline std::uint32_t BlendPixel(std::uint32_t S, std::uint32_t D, Integer Alpha, Integer Bias) {
  std::uint32_t Out = 0;
  for (int Shift = 0; Shift < 32; Shift += 8) {
    const Integer Sc = static_cast<Integer>((S >> Shift) & 0xFF);
    const Integer Dc = static_cast<Integer>((D >> Shift) & 0xFF);
    // 16-bit arithmetic as the packed version does: (256 d + a (s - d)) >> 8.
    const std::int16_t T = static_cast<std::int16_t>(256 * Dc + Alpha * (Sc - Dc));
    Integer V = (static_cast<std::uint16_t>(T) >> 8) + Bias;
    V = std::clamp(V, 0, 255);
    Out |= static_cast<std::uint32_t>(V) << Shift;
  }
  return Out;
}

}  // namespace

void BlendLineConstantAlpha(const std::uint32_t* Source, std::uint32_t* Destination, Integer Count, Integer Bias,
                            Integer ConstantAlpha) {
  for (Integer I = 0; I < Count; ++I) Destination[I] = BlendPixel(Source[I], Destination[I], ConstantAlpha, Bias);
}

void BlendLinePerPixelAlpha(const std::uint32_t* Source, std::uint32_t* Destination, Integer Count, Integer Bias) {
  for (Integer I = 0; I < Count; ++I)
    Destination[I] = BlendPixel(Source[I], Destination[I], static_cast<Integer>(Source[I] >> 24), Bias);
}

void BlendLineMasterAlpha(const std::uint32_t* Source, std::uint32_t* Destination, Integer Count, Integer Bias,
                          Integer MasterAlpha) {
  for (Integer I = 0; I < Count; ++I) {
    const Integer A = (static_cast<Integer>(Source[I] >> 24) * MasterAlpha) >> 8;
    Destination[I] = BlendPixel(Source[I], Destination[I], A, Bias);
  }
}

void BlendLineColor(std::uint32_t* Destination, Integer Count, Integer ConstantAlpha, std::uint32_t Color) {
  // COLORREF red, green, blue into the pixel's red, green, blue bytes.
  const Integer C[4] = {static_cast<Integer>((Color >> 16) & 0xFF), static_cast<Integer>((Color >> 8) & 0xFF),
                        static_cast<Integer>(Color & 0xFF), 0};
  for (Integer I = 0; I < Count; ++I) {
    std::uint32_t Out = 0;
    for (int Channel = 0; Channel < 4; ++Channel) {
      const Integer D = static_cast<Integer>((Destination[I] >> (8 * Channel)) & 0xFF);
      const Integer V = (C[Channel] * ConstantAlpha + D * (256 - ConstantAlpha)) >> 8;
      Out |= static_cast<std::uint32_t>(std::clamp(V, 0, 255)) << (8 * Channel);
    }
    Destination[I] = Out;
  }
}

void* ScanlineAddress(void* Bits, Integer Width, Integer Height, Integer Row) {
  const long long Line = Height > 0 ? Height - Row - 1 : Row;
  return static_cast<Byte*>(Bits) + static_cast<long long>(Width) * 32 * Line / 8;
}

void ComputeDragRectangles(Integer W, Integer H, Integer DX, Integer DY, TRect& ClipRect, TRect& ScrollRect,
                           TRect& FetchStrip1, TRect& FetchStrip2, TRect& RestoreStrip1, TRect& RestoreStrip2) {
  ClipRect = TRect{0, 0, W, H};
  ScrollRect = TRect{std::max(0, -DX), std::max(0, -DY), W - std::max(0, DX), H - std::max(0, DY)};
  const Integer AX = std::abs(DX), AY = std::abs(DY);
  auto Strip = [](Integer X, Integer Y, Integer Wd, Integer Ht) { return TRect{X, Y, Wd, Ht}; };
  if (DX > 0) {
    FetchStrip1 = Strip(0, 0, DX, H);
    RestoreStrip1 = Strip(W - DX, 0, DX, H);
    if (DY > 0) {
      FetchStrip2 = Strip(DX, 0, W - DX, DY);
      RestoreStrip1 = Strip(0, H - DY, W - DX, DY);
      RestoreStrip2 = Strip(W - DX, 0, DX, H);
    } else if (DY < 0) {
      FetchStrip2 = Strip(DX, H - AY, W - DX, AY);
      RestoreStrip1 = Strip(0, 0, W - DX, AY);
      RestoreStrip2 = Strip(W - DX, 0, DX, H);
    }
  } else if (DX == 0) {
    FetchStrip2 = Strip(0, DY >= 0 ? 0 : H - AY, W, AY);
    RestoreStrip2 = Strip(0, DY >= 0 ? H - DY : 0, W, AY);
  } else {
    if (DY == 0) {
      FetchStrip1 = Strip(W - AX, 0, AX, H);
      RestoreStrip1 = Strip(0, 0, AX, H);
    } else if (DY > 0) {
      FetchStrip1 = Strip(0, 0, W - AX, DY);
      FetchStrip2 = Strip(W - AX, 0, AX, H);
      RestoreStrip1 = Strip(0, 0, AX, H);
      RestoreStrip2 = Strip(AX, H - DY, W - AX, DY);
    } else {
      FetchStrip1 = Strip(0, H - AY, W - AX, AY);
      FetchStrip2 = Strip(W - AX, 0, AX, H);
      RestoreStrip1 = Strip(0, 0, AX, H);
      RestoreStrip2 = Strip(AX, 0, W - AX, AY);
    }
  }
}
