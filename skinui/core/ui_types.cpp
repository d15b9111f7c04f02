#include "skinui/core/ui_types.h"

namespace SkinUI {

CUiRect::CUiRect() { left = top = right = bottom = 0; }

CUiRect::CUiRect(const RECT& src)
{
    left = src.left;
    top = src.top;
    right = src.right;
    bottom = src.bottom;
}

CUiRect::CUiRect(int l, int t, int r, int b)
{
    left = l;
    top = t;
    right = r;
    bottom = b;
}

void CUiRect::Empty() { left = top = right = bottom = 0; }

void CUiRect::Union(const RECT& other)
{
    if (other.left < left)
        left = other.left;
    if (other.top < top)
        top = other.top;
    if (other.right > right)
        right = other.right;
    if (other.bottom > bottom)
        bottom = other.bottom;
}

void CUiRect::Offset(int dx, int dy)
{
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
}

void CUiRect::MoveToOrigin() { Offset(-left, -top); }

CUiSize::CUiSize() { cx = cy = 0; }

CUiSize::CUiSize(const SIZE& src)
{
    cx = src.cx;
    cy = src.cy;
}

CUiSize::CUiSize(int x, int y)
{
    cx = x;
    cy = y;
}

}  // namespace SkinUI
