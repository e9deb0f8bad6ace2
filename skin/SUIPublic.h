#pragma once
// Drawing and geometry helpers shared by the skinned controls. None keeps state; scratch images are
// made per call. "Canvas" is a painter that is active on the caller's off-screen image.

#include "skin/SUIThemes.h"
#include "toolkit/Color.h"
#include "toolkit/Rect.h"

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QWidget>
#include <functional>

namespace pestrel {

// Draws `source` resized to `rect` keeping its four quarter corners unscaled: the left half of
// the columns, then the middle column repeated, then the last half; likewise for rows. With
// `transparent`, pixels of the source's top-left colour leave the canvas untouched.
void DrawSkinStretched(const QImage& source, QPainter& canvas, const TRect& rect, bool transparent);
// Draws `source` cut into three equal columns (a remainder is dropped): left cap at the left edge,
// right cap at the right edge, the middle part stretched opaquely between them over the height
// of `rect`. With `transparent`, the caps key on the source's top-left colour.
void DrawThreePartHorizontal(const QImage& source, QPainter& canvas, const TRect& rect,
                             bool transparent);
// Repeats `picture` from the canvas origin (not the rectangle's corner) far enough to cover
// `rect`. An empty picture draws nothing.
void TilePicture(QPainter& canvas, const QImage& picture, const TRect& rect);
// Paints the background and own painting of `control`'s parent (not its other children) into
// the canvas, aligned so that the control's top-left lands at the canvas origin. Nothing without
// a parent.
void DrawParentBackground(QPainter& canvas, const QWidget* control);
// A one-pixel frame just inside `rect` (right and bottom exclusive); nothing for an empty rect.
void FrameRect(QPainter& canvas, const TRect& rect, const QColor& color);
// Two nested one-pixel frames round the whole of `control`: `outer` at its edge, `inner` just
// inside. The canvas paints on the control.
void DrawControlFrame(QPainter& canvas, const QWidget* control, TColor outer, TColor inner);
// Bands `width` pixels wide along the left, bottom and right edges of `rect`; the top stays open
// for what sits above (a tab strip, a title bar).
void DrawOpenTopBorder(QPainter& canvas, const TRect& rect, int width, const QColor& color);
// The dotted focus rectangle on `rect` (right and bottom exclusive): every other pixel of its
// frame inverted, so that it shows on any background.
void DrawFocusRect(QPainter& canvas, const TRect& rect);
// True when `caption` has something left after blanks and control characters are cut off its
// ends: only then is it drawn.
bool HasVisibleCaption(const QString& caption);
// The caption as a screen reader says it: without its accelerator marks ("&&" stays one '&').
QString SpokenCaption(QString caption);
// The caption of a disabled control: white one pixel lower right, grey over it in `area`.
void DrawDisabledCaption(QPainter& canvas, const QRect& area, int flags, const QString& caption);
constexpr QRgb DisabledCaptionGrey = 0xFF808080;
// A small triangle pointing down, 7 pixels wide and 4 high, its top-left corner at `origin`. A
// disabled one is engraved: grey over a white copy one pixel lower right.
void DrawDropArrow(QPainter& canvas, const QPoint& origin, const QColor& color, bool enabled);
// Composes `control`'s whole paint in an off-screen image of its size, filled with `background`
// before `paint` runs, and copies it onto the control in one block. Call it from paintEvent.
void PaintOffscreen(QWidget* control, const QColor& background,
                    const std::function<void(QPainter& canvas)>& paint);

// What a pressable control shows. A theme row holds the Normal, MouseOn and MouseDown pictures
// of a control as consecutive entries; a disabled control shows its Normal picture.
enum class TPictureState { Normal, MouseOn, MouseDown, Disabled };
TPictureState PictureState(bool enabled, bool pressed, bool mouseOver);
// The picture for `state` from the entries that start at `normalEntry`; empty (and drawn as
// nothing) when the style names no such picture.
QImage ThemeStatePicture(TsuiUIStyle style, int normalEntry, TPictureState state);

// Turns `bitmap` 90 degrees counter-clockwise in place: pixel (x, y) goes to (y, width - 1 - x).
void RotateBitmapLeft(QImage& bitmap);

// True when Left <= x <= Right and Top <= y <= Bottom: the right and bottom edges count.
bool PointInRect(int x, int y, const TRect& rect);
bool PointInRect(const QPoint& point, const TRect& rect);
// The desktop work area (screen minus task bars) of the screen `widget` is on, or of the primary
// screen.
TRect GetWorkAreaRect(const QWidget* widget = nullptr);

} // namespace pestrel
