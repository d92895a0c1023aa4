#!/usr/bin/env python3
"""Draws Zaltrow's icons and splash bitmap into res/art/.

Everything is drawn from code with the standard library only, so the build
never needs an image tool and a rerun gives the same bytes.

    python3 tools/make_artwork.py [output-dir]
"""
import math
import os
import struct
import sys

SS = 4  # subsamples per pixel axis for anti-aliasing
SUB = [((i + 0.5) / SS - 0.5, (j + 0.5) / SS - 0.5) for j in range(SS) for i in range(SS)]


# ---------------------------------------------------------------- geometry
# A shape is a signed distance function (negative inside) plus a bounding
# box; distances make outlines, insets and soft shadows one-liners.

class Shape:
    def __init__(self, f, box):
        self.f, self.box = f, box

    def __or__(self, o):
        a, b = self.f, o.f
        return Shape(lambda x, y: min(a(x, y), b(x, y)),
                     (min(self.box[0], o.box[0]), min(self.box[1], o.box[1]),
                      max(self.box[2], o.box[2]), max(self.box[3], o.box[3])))

    def __and__(self, o):
        a, b = self.f, o.f
        return Shape(lambda x, y: max(a(x, y), b(x, y)),
                     (max(self.box[0], o.box[0]), max(self.box[1], o.box[1]),
                      min(self.box[2], o.box[2]), min(self.box[3], o.box[3])))

    def __sub__(self, o):
        a, b = self.f, o.f
        return Shape(lambda x, y: max(a(x, y), -b(x, y)), self.box)

    def grow(self, d):
        f, (x0, y0, x1, y1) = self.f, self.box
        return Shape(lambda x, y: f(x, y) - d, (x0 - d, y0 - d, x1 + d, y1 + d))

    def shift(self, dx, dy):
        f, (x0, y0, x1, y1) = self.f, self.box
        return Shape(lambda x, y: f(x - dx, y - dy), (x0 + dx, y0 + dy, x1 + dx, y1 + dy))

    def band(self, w):
        """The inner rim of width w: the outline drawn just inside the edge."""
        f = self.f

        def g(x, y):
            d = f(x, y)
            return d if d > -d - w else -d - w
        return Shape(g, self.box)


HUGE = (-1e9, -1e9, 1e9, 1e9)


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r, (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    m = min(rx, ry)  # scaled so the function never overestimates distance
    return Shape(lambda x, y: (math.hypot((x - cx) / rx, (y - cy) / ry) - 1) * m,
                 (cx - rx, cy - ry, cx + rx, cy + ry))


def rrect(x0, y0, x1, y1, r=0.0):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        if qx <= 0 and qy <= 0:  # inside the straight part
            return (qx if qx > qy else qy) - r
        return math.hypot(qx if qx > 0 else 0, qy if qy > 0 else 0) - r
    return Shape(f, (x0, y0, x1, y1))


def seg_dist(x, y, ax, ay, bx, by):
    ex, ey, wx, wy = bx - ax, by - ay, x - ax, y - ay
    ll = ex * ex + ey * ey
    t = 0.0 if ll == 0 else max(0.0, min(1.0, (wx * ex + wy * ey) / ll))
    return math.hypot(wx - ex * t, wy - ey * t)


def stroke(pts, w):
    """A polyline with round caps and joins; a single point makes a dot."""
    segs = []
    for (ax, ay), (bx, by) in zip(pts, pts[1:] or pts):
        ex, ey = bx - ax, by - ay
        ll = ex * ex + ey * ey
        segs.append((ax, ay, ex, ey, 1 / ll if ll else 0.0))
    h = w / 2

    def f(x, y):  # the hot path of text: plain arithmetic, no calls
        best = 1e18
        for ax, ay, ex, ey, il in segs:
            wx, wy = x - ax, y - ay
            t = (wx * ex + wy * ey) * il
            if t < 0.0:
                t = 0.0
            elif t > 1.0:
                t = 1.0
            dx, dy = wx - ex * t, wy - ey * t
            d = dx * dx + dy * dy
            if d < best:
                best = d
        return math.sqrt(best) - h
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    return Shape(f, (min(xs) - h, min(ys) - h, max(xs) + h, max(ys) + h))


def poly(pts):
    edges = []
    for i in range(len(pts)):
        xi, yi = pts[i]
        xj, yj = pts[i - 1]
        ex, ey = xj - xi, yj - yi
        edges.append((xi, yi, yj, ex, ey, 1 / (ex * ex + ey * ey)))

    def f(x, y):
        d, s = 1e18, 1.0
        for xi, yi, yj, ex, ey, il in edges:
            wx, wy = x - xi, y - yi
            t = (wx * ex + wy * ey) * il
            if t < 0.0:
                t = 0.0
            elif t > 1.0:
                t = 1.0
            dx, dy = wx - ex * t, wy - ey * t
            dd = dx * dx + dy * dy
            if dd < d:
                d = dd
            c1, c2, c3 = y >= yi, y < yj, ex * wy > ey * wx
            if (c1 and c2 and c3) or not (c1 or c2 or c3):
                s = -s
        return s * math.sqrt(d)
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    return Shape(f, (min(xs), min(ys), max(xs), max(ys)))


def arc(cx, cy, r, w, a0, a1, round_caps=False):
    """A ring segment from angle a0 to a1 (degrees, clockwise on screen)."""
    r0, r1 = math.radians(a0), math.radians(a1)
    mid, half, h = (r0 + r1) / 2, (r1 - r0) / 2, w / 2
    ends = [(cx + r * math.cos(a), cy + r * math.sin(a), math.cos(a), math.sin(a)) for a in (r0, r1)]

    def f(x, y):
        dx, dy = x - cx, y - cy
        t = (math.atan2(dy, dx) - mid + math.pi) % (2 * math.pi) - math.pi
        if abs(t) <= half:
            rho = math.hypot(dx, dy)
            d = abs(rho - r) - h
            if not round_caps and half - abs(t) < math.pi / 2:
                # inside, a flat end may be nearer than either rim
                d = max(d, -rho * math.sin(half - abs(t)))
            return d
        if round_caps:
            return min(math.hypot(x - ex, y - ey) for ex, ey, _, _ in ends) - h
        return min(seg_dist(x, y, ex - c * h, ey - s * h, ex + c * h, ey + s * h) for ex, ey, c, s in ends)
    return Shape(f, (cx - r - h, cy - r - h, cx + r + h, cy + r + h))


def half_plane(nx, ny, c):
    """Inside where nx*x + ny*y < c (n is normalised here)."""
    l = math.hypot(nx, ny)
    nx, ny, c = nx / l, ny / l, c / l
    return Shape(lambda x, y: nx * x + ny * y - c, HUGE)


def stripes(period, width):
    """Diagonal bands, used to dash outlines."""
    def f(x, y):
        t = (x + y) / math.sqrt(2) % period
        return abs(t - period / 2) - width / 2
    return Shape(f, HUGE)


class Grid:
    """Builds shapes from coordinates on a 32-unit design grid at any pixel size."""

    def __init__(self, size, ox=0.0, oy=0.0):
        self.k, self.ox, self.oy = size / 32.0, ox, oy

    def p(self, x, y):
        return (self.ox + x * self.k, self.oy + y * self.k)

    def pts(self, pts):
        return [self.p(x, y) for x, y in pts]

    def circle(self, x, y, r):
        return circle(*self.p(x, y), r * self.k)

    def ellipse(self, x, y, rx, ry):
        return ellipse(*self.p(x, y), rx * self.k, ry * self.k)

    def rrect(self, x0, y0, x1, y1, r=0.0):
        """Edges snapped to whole pixels, so they fall between pixels at
        every size, not across them; equal widths stay equal."""
        (px0, py0), (px1, py1) = self.p(x0, y0), self.p(x1, y1)
        sx, sy = math.floor(px0 + 0.5), math.floor(py0 + 0.5)
        w, h = max(1, math.floor(px1 - px0 + 0.5)), max(1, math.floor(py1 - py0 + 0.5))
        return rrect(sx, sy, sx + w, sy + h, r * self.k)

    def stroke(self, pts, w):
        return stroke(self.pts(pts), w * self.k)

    def poly(self, pts):
        return poly(self.pts(pts))

    def arc(self, x, y, r, w, a0, a1, round_caps=False):
        return arc(*self.p(x, y), r * self.k, w * self.k, a0, a1, round_caps)


# ---------------------------------------------------------------- painting

def rgb(s, a=1.0):
    return (int(s[0:2], 16) / 255, int(s[2:4], 16) / 255, int(s[4:6], 16) / 255, a)


def mix(a, b, t):
    """Blend two hex colors, giving a hex colour."""
    return ''.join('%02x' % round(int(a[i:i + 2], 16) * (1 - t) + int(b[i:i + 2], 16) * t) for i in (0, 2, 4))


def ramp(stops, t):
    t = max(0.0, min(1.0, t))
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            u = 0.0 if t1 == t0 else (t - t0) / (t1 - t0)
            return tuple(a + (b - a) * u for a, b in zip(c0, c1))
    return stops[-1][1]


def _stops(cols):
    return [(i / (len(cols) - 1), c) for i, c in enumerate(cols)]


def linear(x0, y0, x1, y1, *cols):
    dx, dy = x1 - x0, y1 - y0
    ll, st = dx * dx + dy * dy, _stops(cols)
    return lambda x, y: ramp(st, ((x - x0) * dx + (y - y0) * dy) / ll)


def radial(cx, cy, r, *cols):
    st = _stops(cols)
    return lambda x, y: ramp(st, math.hypot(x - cx, y - cy) / r)


class Canvas:
    """Premultiplied RGBA floats, row-major, top row first."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.p = [0.0] * (w * h * 4)

    def fill(self, sh, paint, soft=0.0):
        """Composite paint over the canvas wherever the shape covers.

        soft > 0 blurs the edge over that many pixels (shadows, glows);
        otherwise edge pixels are supersampled SS x SS.

        A shape's distance changes by at most one per pixel moved, so a
        pixel far outside (or deep inside) vouches for its neighbours along
        the row: those are skipped (or filled whole) without asking the
        shape again. That keeps big pictures at many sizes quick."""
        f, p, w = sh.f, self.p, self.w
        x0, y0, x1, y1 = sh.box
        pad = soft + 1
        x0, y0 = max(0, int(math.floor(x0 - pad))), max(0, int(math.floor(y0 - pad)))
        x1, y1 = min(self.w, int(math.ceil(x1 + pad))), min(self.h, int(math.ceil(y1 + pad)))
        const = None if callable(paint) else paint
        # beyond `out` nothing is touched, within `inside` all is covered
        out, inside = (soft / 2, -soft / 2) if soft else (0.75, -0.75)
        for py in range(y0, y1):
            cy = py + 0.5
            px = x0
            whole = 0  # pixels still known to be fully covered
            while px < x1:
                cx = px + 0.5
                if whole:
                    whole -= 1
                    cov = 1.0
                else:
                    d = f(cx, cy)
                    if d >= out:
                        px += 1 + int(d - out)
                        continue
                    if d <= inside:
                        whole = int(inside - d)
                        cov = 1.0
                    elif soft:
                        cov = min(1.0, 0.5 - d / soft)
                    else:
                        cov = sum(1 for ox, oy in SUB if f(cx + ox, cy + oy) < 0) / len(SUB)
                    if cov <= 0:
                        px += 1
                        continue
                r, g, b, a = const or paint(cx, cy)
                a *= cov
                k, i = 1 - a, (py * w + px) * 4
                p[i] = r * a + p[i] * k
                p[i + 1] = g * a + p[i + 1] * k
                p[i + 2] = b * a + p[i + 2] * k
                p[i + 3] = a + p[i + 3] * k
                px += 1

    def blit(self, src, ox, oy):
        for y in range(src.h):
            for x in range(src.w):
                s, d = (y * src.w + x) * 4, ((y + oy) * self.w + x + ox) * 4
                k = 1 - src.p[s + 3]
                for c in range(4):
                    self.p[d + c] = src.p[s + c] + self.p[d + c] * k

    def map(self, fn):
        """Apply fn to every straight-alpha (r, g, b) triple, keeping alpha."""
        p = self.p
        for i in range(0, len(p), 4):
            a = p[i + 3]
            if a > 0:
                r, g, b = fn(p[i] / a, p[i + 1] / a, p[i + 2] / a)
                p[i], p[i + 1], p[i + 2] = r * a, g * a, b * a

    def bgra_rows(self):
        """Straight-alpha BGRA bytes per row, bottom row first (DIB order)."""
        rows = []
        for y in range(self.h - 1, -1, -1):
            row = bytearray()
            for x in range(self.w):
                i = (y * self.w + x) * 4
                a = self.p[i + 3]
                ab = int(round(min(1.0, a) * 255))
                if ab == 0:
                    row += b'\0\0\0\0'
                    continue
                r, g, b = (min(255, int(round(self.p[i + c] / a * 255))) for c in range(3))
                row += bytes((b, g, r, ab))
            rows.append(bytes(row))
        return rows


def body(cv, sh, light, dark, edge, ow, shadow=0.28, gloss=0.0):
    """The house style: soft drop shadow, top-left lit gradient, optional
    gloss on the upper half, thin darker outline."""
    x0, y0, x1, y1 = sh.box
    if shadow:
        drop_shadow(cv, sh, ow, shadow)
    cv.fill(sh, linear(x0, y0, x0 + (y1 - y0) * 0.35, y1, rgb(light), rgb(dark)))
    if gloss:
        mid = (y0 + y1) / 2
        cv.fill(sh.grow(-ow) & half_plane(0, 1, mid),
                linear(0, y0, 0, mid, (1, 1, 1, gloss), (1, 1, 1, gloss * 0.15)))
    cv.fill(sh.band(ow), rgb(edge))


def drop_shadow(cv, sh, ow, alpha=0.28):
    # at 16x16 a wide blur only muddies the edge, so keep it tight there
    small = cv.w <= 16
    cv.fill(sh.shift(ow * 0.5, ow * 0.8), (0, 0, 0, alpha * (0.8 if small else 1)),
            soft=1.1 if small else 1.6 * ow)


def outline_w(size):
    # whole pixels, so outlines stay sharp at 40 and 48 too
    return max(1.0, math.floor(size / 32.0 + 0.25))


# ---------------------------------------------------------------- icons
# Each drawing takes the canvas and the pixel size; coordinates are on the
# 32 grid, so even numbers land on pixel edges at 16x16 and stay crisp.
# Up to SMALL_MAX pixels a drawing keeps only what a few pixels can show
# (bolder strokes, fewer details); boxes snap to whole pixels at any size.

SMALL_MAX = 20

def draw_window(cv, g, ow, small, right=30, title=('7fb2f0', '1d5bbf', '17428a'), frame='5b6b80'):
    win = g.rrect(2, 4, right, 28, 2)
    body(cv, win, 'ffffff', 'dde4ee', frame, ow)
    bar = win - g.rrect(-10, 10, 50, 50)
    body(cv, bar, title[0], title[1], title[2], ow, shadow=0, gloss=0.45)
    if not small:
        cv.fill(g.rrect(right - 7, 6, right - 3, 9, 0.6), rgb('e8563f'))
    return win


def main_icon(cv, size):
    g = Grid(size)
    ow, small = outline_w(size), size <= SMALL_MAX
    # at 16x16 the window gives the broom room instead of hiding under it
    draw_window(cv, g, ow, small, right=24 if small else 30)
    for i, y in enumerate((14, 18, 22)):
        hot = i == 1
        if hot and not small:
            cv.fill(g.rrect(4, y - 1, 28, y + 3), rgb('fbd3cc'))
        x_end = 20 if small else (24, 18, 22)[i]
        cv.fill(g.rrect(10, y, x_end, y + 2), rgb('c22a1c' if hot else '8c9aad'))
        if hot and small:
            # a 3x3-pixel cross centred on a pixel, level with the bar
            bar = g.rrect(10, y, x_end, y + 2).box
            px, py = math.floor(g.p(7, 0)[0]) + 0.5, math.floor((bar[1] + bar[3]) / 2) + 0.5
            cv.fill(stroke([(px - 1, py - 1), (px + 1, py + 1)], 1.1)
                    | stroke([(px + 1, py - 1), (px - 1, py + 1)], 1.1), rgb('d0281a'))
        elif hot:
            c, d, w = 6.5, 1.5, 1.6
            cv.fill(g.stroke([(c - d, y + 1 - d), (c + d, y + 1 + d)], w)
                    | g.stroke([(c + d, y + 1 - d), (c - d, y + 1 + d)], w), rgb('d0281a'))
        elif not small:
            cv.fill(g.rrect(5, y, 8, y + 2), rgb('4f86d6'))
    # the broom, lying diagonally across the lower right corner
    ax, ay, bx, by = (31.0, 1.0, 24.5, 15.5) if small else (31.0, 3.0, 22.5, 17.5)
    L = math.hypot(bx - ax, by - ay)
    dx, dy = (bx - ax) / L, (by - ay) / L
    nx, ny = -dy, dx

    def at(t, s):
        return (bx + dx * t + nx * s, by + dy * t + ny * s)
    handle = g.stroke([(ax, ay), at(1, 0)], 2.4 if small else 2.6)
    body(cv, handle, 'd9a066', '8a5424', '5c3512', ow, shadow=0.25)
    length, spread = (13, 6.2) if small else (12, 5.6)
    head = g.poly([at(1, -2.6), at(1, 2.6), at(length, spread), at(length, -spread)])
    body(cv, head, 'fff0a0', 'e0a834', 'a07418' if small else '8e6414', ow, shadow=0.3)
    if not small:
        for s in (-2.6, 0, 2.6):
            cv.fill(g.stroke([at(4.5, s * 0.7), at(11, s * 1.3)], 0.7), rgb('b98220'))
    band = g.poly([at(-1.2, -2.9), at(-1.2, 2.9), at(2.4, 3.3), at(2.4, -3.3)])
    body(cv, band, 'f07060', 'b02418', '6e120a', ow, shadow=0)


def refresh_icon(cv, size):
    g, ow = Grid(size), outline_w(size)
    small = size <= SMALL_MAX
    r, w = (9.8, 5.0) if small else (9.5, 5.2)
    c = 16

    def arrow(a0, a1, light, dark, edge):
        body_arc = g.arc(c, c, r, w, a0, a1)
        t = math.radians(a1)
        tip = math.radians(a1 + (50 if small else 42))
        hw = w * (0.9 if small else 0.62)
        head = g.poly([(c + (r - w / 2 - hw) * math.cos(t), c + (r - w / 2 - hw) * math.sin(t)),
                       (c + (r + w / 2 + hw) * math.cos(t), c + (r + w / 2 + hw) * math.sin(t)),
                       (c + r * math.cos(tip), c + r * math.sin(tip))])
        # at 16x16 the outline is half the stroke, so it must not be too dark
        body(cv, body_arc | head, light, dark, mix(edge, dark, 0.45) if small else edge, ow,
             gloss=0 if small else 0.25)
    # at 16x16 the gap before each arrow tip must be wider to survive
    start, span = (166, 122) if small else (166, 130)
    arrow(start, start + span, '9be27a', '2f9a1e', '1b6510')
    arrow(start + 180, start + 180 + span, '86c4ff', '2062c8', '12418d')


def remove_icon(cv, size):
    g, ow = Grid(size), outline_w(size)
    small = size <= SMALL_MAX
    row = g.rrect(2, 6, 30, 20, 2)
    body(cv, row, 'ffffff', 'dbe3ee', '6a7a90', ow)
    if small:
        cv.fill(g.rrect(6, 10, 10, 14), rgb('4f86d6'))
        cv.fill(g.rrect(12, 12, 20, 14), rgb('8c9aad'))
    else:
        body(cv, g.rrect(5, 9, 12, 16, 1), '8fc0ff', '2f6cd0', '1d4a98', ow, shadow=0)
        cv.fill(g.rrect(14, 10, 26, 12), rgb('8c9aad'))
        cv.fill(g.rrect(14, 14, 22, 16), rgb('b0bac8'))
    x = g.stroke([(15, 13), (27, 27)], 5.2) | g.stroke([(27, 13), (15, 27)], 5.2)
    body(cv, x, 'ff7a66', 'c51c10', '9a1208' if small else '7c0d06', ow, gloss=0.3)


def badge_x(cv, g, ow, cx, cy, r):
    body(cv, g.circle(cx, cy, r), 'ff7a66', 'c51c10', '7c0d06', ow, gloss=0.35)
    d, w = (4, 1.7) if g.k <= 0.5 else (r * 0.4, r * 0.34)  # a crisp 5x5 cross at 16x16
    cv.fill(g.stroke([(cx - d, cy - d), (cx + d, cy + d)], w)
            | g.stroke([(cx + d, cy - d), (cx - d, cy + d)], w), (1, 1, 1, 1))


def phantom_icon(cv, size):
    g, ow = Grid(size), outline_w(size)
    small = size <= SMALL_MAX
    ghost = Canvas(cv.w, cv.h)
    win = g.rrect(2, 4, 28, 26, 2)
    ghost.fill(win, linear(0, 0, 0, size, rgb('f4f7fb'), rgb('d5dde8')))
    bar = win - g.rrect(-10, 10, 50, 50)
    ghost.fill(bar, linear(0, 0, 0, size * 0.3, rgb('b7c6da'), rgb('8ea3c0')))
    for y, x1 in ((14, 22), (18, 18)):
        ghost.fill(g.rrect(6, y, x1, y + 2), rgb('aab5c4'))
    dash = stripes(4 * g.k, 2.1 * g.k)
    ghost.fill(win.band(ow) & dash, rgb('6d7f98'))
    ghost.p = [v * 0.62 for v in ghost.p]  # fade as one layer so its parts don't show through
    cv.blit(ghost, 0, 0)
    badge_x(cv, g, ow, *((23, 23, 8.6) if small else (23, 23, 7.5)))


def upgrade_icon(cv, size):
    g, ow = Grid(size), outline_w(size)
    small = size <= SMALL_MAX
    globe = g.circle(13, 18, 11.5)
    cx, cy = g.p(9, 13)
    x0, y0, x1, y1 = globe.box
    drop_shadow(cv, globe, ow)
    cv.fill(globe, radial(cx, cy, (x1 - x0) * 0.85, rgb('9ad2ff'), rgb('3a86e0'), rgb('14479e')))
    lines = (1, 1, 1, 0.45)
    inner = globe.grow(-ow)
    if small:
        grid = g.rrect(0, 17, 26, 19) | g.ellipse(13, 18, 5, 11.5).band(2 * g.k)
        cv.fill(grid & inner, (1, 1, 1, 0.35))
    else:
        for yy in (12, 18, 24):
            cv.fill(g.stroke([(0, yy), (26, yy)], 1.1) & inner, lines)
        cv.fill((g.ellipse(13, 18, 5.5, 11.5).band(1.1 * g.k) | g.stroke([(13, 5), (13, 31)], 1.1)) & inner, lines)
    cv.fill(globe.band(ow), rgb('10397e'))
    arrow = g.poly([(22, 3), (31, 13), (26, 13), (26, 26), (18, 26), (18, 13), (13, 13)])
    body(cv, arrow, '9be27a', '2f9a1e', '1b6510', ow, gloss=0.3)


def help_icon(cv, size):
    g, ow = Grid(size), outline_w(size)
    small = size <= SMALL_MAX
    disc = g.circle(16, 16, 14.5)
    x0, y0, x1, y1 = disc.box
    drop_shadow(cv, disc, ow)
    cv.fill(disc, radial(*g.p(11, 9), (x1 - x0) * 0.9, rgb('8cc6ff'), rgb('2f78dc'), rgb('133f96')))
    cv.fill(g.ellipse(16, 9.5, 10, 6.5) & disc.grow(-ow * 1.5),
            linear(0, y0, 0, g.p(0, 16)[1], (1, 1, 1, 0.55), (1, 1, 1, 0.0)))
    cv.fill(disc.band(ow), rgb('0f3480'))
    w = 4.2 if small else 3.6
    pts = [(11.2, 12.4)] + [(16 + 5 * math.cos(math.radians(a)), 12 + 5 * math.sin(math.radians(a)))
                            for a in range(190, 411, 10)] + [(16, 18.8), (16, 19.8)]
    mark = g.stroke(pts, w) | g.circle(16, 24.3, w * 0.62)
    cv.fill(mark.shift(ow * 0.4, ow * 0.6), (0, 0, 0.2, 0.3), soft=ow)
    cv.fill(mark, (1, 1, 1, 1))


def quit_icon(cv, size):
    g, ow = Grid(size), outline_w(size)
    small = size <= SMALL_MAX
    disc = g.circle(16, 16, 14.5)
    x0, y0, x1, y1 = disc.box
    drop_shadow(cv, disc, ow)
    cv.fill(disc, radial(*g.p(11, 9), (x1 - x0) * 0.9, rgb('ff9a86'), rgb('dc3222'), rgb('8e120a')))
    cv.fill(g.ellipse(16, 9.5, 10, 6.5) & disc.grow(-ow * 1.5),
            linear(0, y0, 0, g.p(0, 16)[1], (1, 1, 1, 0.5), (1, 1, 1, 0.0)))
    cv.fill(disc.band(ow), rgb('6e0d06'))
    w = 4.0 if small else 3.2
    gap = 52 if small else 40
    sym = g.arc(16, 17, 7.5, w, 270 + gap, 630 - gap, round_caps=True) | g.stroke([(16, 6.5), (16, 15.5)], w)
    cv.fill(sym.shift(ow * 0.4, ow * 0.6), (0.25, 0, 0, 0.35), soft=ow)
    cv.fill(sym, (1, 1, 1, 1))


def program_icon(cv, size):
    g, ow = Grid(size), outline_w(size)
    small = size <= 16  # its side panel still reads at 20
    draw_window(cv, g, ow, small)
    if small:
        cv.fill(g.rrect(6, 14, 26, 16), rgb('9aa7b8'))
        cv.fill(g.rrect(6, 18, 20, 20), rgb('9aa7b8'))
        cv.fill(g.rrect(6, 22, 22, 24), rgb('9aa7b8'))
    else:
        body(cv, g.rrect(5, 13, 13, 25, 1), 'e9eef5', 'c6d0de', '9aa7b8', ow, shadow=0)
        for y, x1 in ((14, 26), (18, 24), (22, 26)):
            cv.fill(g.rrect(15, y, x1, y + 2), rgb('9aa7b8'))


def uninstall_icon(cv, size):
    g, ow = Grid(size), outline_w(size)
    small = size <= SMALL_MAX
    # whole pixels at 16x16, a little more lid overhang at larger sizes
    box = g.rrect(4, 14, 24, 30, 1) if small else g.rrect(3, 13, 25, 29, 1)
    body(cv, box, 'e8bf80', 'a8712f', '6b4415', ow)
    lid = g.rrect(2, 8, 26, 14, 1) if small else g.rrect(1.5, 8, 26.5, 14, 1)
    body(cv, lid, 'f3d29b', 'c28a44', '6b4415', ow, shadow=0.2)
    o = ow / g.k  # the outline in grid units
    tape = g.rrect(12, 8 + o, 16, box.box[3] / g.k - o) - g.rrect(0, 14 - o, 40, 14)  # keeps the lid's edge
    cv.fill(tape, (1, 0.95, 0.8, 0.45))
    badge = g.circle(23, 22, 7.5 if not small else 8)
    body(cv, badge, 'ff7a66', 'c51c10', '7c0d06', ow, gloss=0.35)
    cv.fill(g.rrect(19, 20.5, 27, 23.5, 0.8) if not small else g.rrect(18, 20, 28, 24), (1, 1, 1, 1))


def soften(r, g, b):
    """Idle look of a toolbar button: partly desaturated and a touch lighter."""
    y = 0.30 * r + 0.59 * g + 0.11 * b
    r, g, b = (c + (y - c) * 0.4 for c in (r, g, b))
    return tuple(c + (1 - c) * 0.1 for c in (r, g, b))


# ---------------------------------------------------------------- vector font
# Geometric sans on centre lines: baseline 0, x-height 7, caps 10, y up.

def E(cx, cy, rx, ry, a0, a1, n=0):
    n = n or max(4, int(abs(a1 - a0) / 10))
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]


ASC = 10.5
BOWL = E(3.3, 3.5, 3.3, 3.5, 0, 360, 36)
GLYPHS = {
    'a': (6.6, [BOWL, [(6.6, 7), (6.6, 0)]]),
    'c': (6.2, [E(3.3, 3.5, 3.3, 3.5, 45, 315)]),
    'd': (6.6, [BOWL, [(6.6, ASC), (6.6, 0)]]),
    'e': (6.6, [[(0.2, 3.5), (6.6, 3.5)] + E(3.3, 3.5, 3.3, 3.5, 0, 318)]),
    'g': (6.6, [BOWL, [(6.6, 7), (6.6, -0.5)] + E(3.3, -0.5, 3.3, 2.5, 0, -160)]),
    'i': (0, [[(0, 0), (0, 7)], [(0, 9.8)]]),
    'l': (0, [[(0, 0), (0, ASC)]]),
    'm': (10, [[(0, 0), (0, 7)], E(2.5, 4.4, 2.5, 2.6, 180, 0) + [(5, 0)],
               E(7.5, 4.4, 2.5, 2.6, 180, 0) + [(10, 0)]]),
    'n': (6.0, [[(0, 0), (0, 7)], E(3, 3.9, 3, 3.1, 180, 0) + [(6, 0)]]),
    'o': (6.6, [BOWL]),
    'p': (6.6, [BOWL, [(0, 7), (0, -3)]]),
    'r': (4.0, [[(0, 0), (0, 7)], E(3.6, 3.6, 3.6, 3.4, 180, 75)]),
    's': (5.6, [E(2.8, 5.25, 2.6, 1.75, 25, 270) + E(2.8, 1.75, 2.8, 1.75, 90, -155)]),
    't': (4.0, [[(1.4, 10), (1.4, 0)], [(0, 7), (4, 7)]]),
    'u': (6.0, [[(0, 7)] + E(3, 3.1, 3, 3.1, 180, 360) + [(6, 7)], [(6, 7), (6, 0)]]),
    'v': (6.4, [[(0, 7), (3.2, 0), (6.4, 7)]]),
    'w': (9.2, [[(0, 7), (2.3, 0), (4.6, 7), (6.9, 0), (9.2, 7)]]),
    'y': (6.6, [[(0, 7), (3.5, 0)], [(6.6, 7), (2.2, -3)]]),
    'A': (7.6, [[(0, 0), (3.8, 10), (7.6, 0)], [(1.4, 3.4), (6.2, 3.4)]]),
    'K': (6.4, [[(0, 0), (0, 10)], [(6.2, 10), (0, 3.6)], [(2.3, 5.9), (6.6, 0)]]),
    'P': (6.0, [[(0, 0), (0, 10), (3.3, 10)] + E(3.3, 7.5, 2.7, 2.5, 90, -90) + [(0, 5)]]),
    'R': (6.2, [[(0, 0), (0, 10), (3.3, 10)] + E(3.3, 7.6, 2.6, 2.4, 90, -90) + [(0, 5.2)],
                [(3.2, 5.2), (6.2, 0)]]),
    'V': (7.6, [[(0, 10), (3.8, 0), (7.6, 10)]]),
    'Z': (7.0, [[(0.2, 10), (7, 10), (0, 0), (7, 0)]]),
    '0': (6.4, [E(3.2, 5, 3.2, 5, 0, 360, 40)]),
    '1': (3.0, [[(0, 7.8), (2.6, 10), (2.6, 0)]]),
    '2': (6.4, [E(3.1, 7, 3.1, 3, 165, -40) + [(0, 0), (6.4, 0)]]),
    '3': (6.2, [E(3, 7.6, 2.8, 2.4, 150, -90) + E(3, 2.75, 3.1, 2.75, 90, -150)]),
    '4': (6.8, [[(5, 0), (5, 10), (0, 3), (6.8, 3)]]),
    '5': (6.2, [[(5.8, 10), (0.8, 10), (0.3, 5.6)] + E(3.1, 3.1, 3.1, 3.1, 130, -140)]),
    '6': (6.4, [E(3.2, 3.2, 3.2, 3.2, 0, 360, 28), [(0.2, 3.6), (4.4, 10)]]),
    '7': (6.2, [[(0, 10), (6.2, 10), (2, 0)]]),
    '8': (6.4, [E(3.2, 7.6, 2.5, 2.4, 0, 360, 24), E(3.2, 2.7, 3.1, 2.7, 0, 360, 28)]),
    '9': (6.4, [E(3.2, 6.8, 3.2, 3.2, 0, 360, 28), [(6.2, 6.4), (2, 0)]]),
    '.': (0, [[(0, 0)]]),
    '/': (5.0, [[(0, -1.5), (5, ASC)]]),
    ' ': (1.4, []),
}


def text_shapes(s, x, base, k, sw, gap):
    """Glyph shapes for s; k is pixels per font unit, sw the stroke in units."""
    shapes, pen = [], x + sw * k / 2
    for ch in s:
        adv, strokes = GLYPHS[ch]
        for pts in strokes:
            shapes.append(stroke([(pen + px * k, base - py * k) for px, py in pts], sw * k))
        pen += (adv + gap + sw) * k
    return shapes, pen - (gap + sw / 2) * k


def text(cv, s, x, base, k, sw, paint, gap=2.0, shadow=0.0):
    shapes, _ = text_shapes(s, x, base, k, sw, gap)
    if shadow:
        for sh in shapes:
            cv.fill(sh.shift(k * 0.5 + 0.4, k * 0.7 + 0.5), (0, 0.03, 0.1, shadow), soft=1.2 + k * 0.4)
    for sh in shapes:
        cv.fill(sh, paint)


def text_width(s, k, sw, gap=2.0):
    return text_shapes(s, 0, 0, k, sw, gap)[1]


# ---------------------------------------------------------------- splash

# The display scales the pictures are drawn for, in per cent (96, 120, 144
# and 192 DPI). Each is drawn at its own size, never resampled.
SCALES = (100, 125, 150, 200)
SPLASH_W, SPLASH_H = 330, 190   # at 100 %


def px(v):
    """A length in whole pixels, at least one."""
    return max(1, math.floor(v + 0.5))


def sparkle(cv, x, y, r):
    """A four-pointed glint with a soft halo."""
    cv.fill(circle(x, y, r), radial(x, y, r, (1, 1, 1, 0.35), (1, 1, 1, 0)))
    pts = []
    for i in range(8):
        a, d = math.radians(i * 45 - 90), (r if i % 2 == 0 else r * 0.22)
        pts.append((x + d * math.cos(a), y + d * math.sin(a)))
    cv.fill(poly(pts), (1, 1, 1, 0.9))


def splash(scale):
    """The start-up picture at a display scale: laid out on the 100 % size
    and drawn at the scale's own, so its text and lines stay sharp."""
    s = scale / 100
    W, H = px(SPLASH_W * s), px(SPLASH_H * s)
    cv = Canvas(W, H)
    everything = rrect(0, 0, W, H)
    cv.fill(everything, linear(0, 0, W * 0.55, H * 1.3, rgb('0c2456'), rgb('0d4a7c'), rgb('0b7c8c')))
    # faint rings spreading from the lower right, a quiet nod to sweeping
    for i in range(9):
        cv.fill(circle(W * 1.02, H * 1.25, (70 + i * 26) * s).band(1.2 * s), (1, 1, 1, 0.035))
    cv.fill(circle(64 * s, 74 * s, 90 * s), radial(64 * s, 74 * s, 90 * s, (0.55, 0.85, 1, 0.22), (0.55, 0.85, 1, 0)))
    top = px(150 * s)
    cv.fill(rrect(0, top, W, H), (0, 0.03, 0.12, 0.35))
    cv.fill(rrect(0, top, W, top + px(s)), (1, 1, 1, 0.16))

    icon = px(96 * s)
    art = Canvas(icon, icon)
    main_icon(art, icon)
    cv.blit(art, px(16 * s), px(26 * s))

    for x, y, r in ((104, 124, 5.5), (115, 110, 3.5), (90, 137, 3)):  # freshly swept
        sparkle(cv, x * s, y * s, r * s)

    k, sw = 3.2 * s, 1.9
    text(cv, 'Zaltrow', 124 * s, 80 * s, k, sw, linear(0, 42 * s, 0, 80 * s, rgb('ffffff'), rgb('cfeaff')),
         gap=1.1, shadow=0.45)
    rule = (0.56, 0.9, 0.95)
    cv.fill(rrect(125 * s, 87.5 * s, 306 * s, 89 * s, 0.75 * s),
            linear(125 * s, 0, 306 * s, 0, rule + (0.8,), rule + (0.0,)))
    text(cv, 'Version 1.2', 125 * s, 106 * s, 1.15 * s, 1.55, rgb('8fe3f0'), gap=1.6, shadow=0.3)
    tag = 'Keeps your Add/Remove Programs list clean'
    kt, st = 0.86 * s, 1.6
    tw = text_width(tag, kt, st, 1.5)
    text(cv, tag, (W - tw) / 2, 174 * s, kt, st, (1, 1, 1, 0.9), gap=1.5)

    cv.fill(everything.band(px(2 * s)), (1, 1, 1, 0.12))
    cv.fill(everything.band(px(s)), rgb('04132e'))
    return cv


# ---------------------------------------------------------------- list background

CENTER_W, CENTER_H = 240, 190   # at 100 %


def centerimage(scale):
    """The program list's background picture: the main icon and the name as
    a pale watermark on white, light enough for black and red rows on top."""
    s = scale / 100
    W, H = px(CENTER_W * s), px(CENTER_H * s)
    cv = Canvas(W, H)
    cv.fill(rrect(0, 0, W, H), rgb('ffffff'))
    icon = px(120 * s)
    art = Canvas(icon, icon)
    main_icon(art, icon)
    art.map(lambda r, g, b: tuple(c + (1 - c) * 0.86 for c in soften(r, g, b)))
    cv.blit(art, (W - icon) // 2, px(8 * s))
    k, sw = 2.6 * s, 1.8
    name = 'Zaltrow'
    text(cv, name, (W - text_width(name, k, sw, 1.1)) / 2, 172 * s, k, sw, rgb('e6edf5'), gap=1.1)
    return cv


# ---------------------------------------------------------------- writers

def ico_bytes(images):
    """A .ico of 32-bit DIBs, each with an AND mask that is set where alpha is 0."""
    head = struct.pack('<HHH', 0, 1, len(images))
    blobs = []
    for cv in images:
        rows = cv.bgra_rows()
        mask = bytearray()
        stride = (cv.w + 31) // 32 * 4
        for row in rows:
            line = bytearray(stride)
            for x in range(cv.w):
                if row[x * 4 + 3] == 0:
                    line[x // 8] |= 0x80 >> (x % 8)
            mask += line
        xor = b''.join(rows)
        dib = struct.pack('<IiiHHIIiiII', 40, cv.w, cv.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blobs.append(dib + xor + bytes(mask))
    offset = len(head) + 16 * len(images)
    for cv, blob in zip(images, blobs):
        head += struct.pack('<BBBBHHII', cv.w % 256, cv.h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return head + b''.join(blobs)


def bmp_bytes(cv):
    """24-bit bottom-up BMP; the pictures are opaque so alpha is dropped."""
    stride = (cv.w * 3 + 3) & ~3
    data = bytearray()
    for row in cv.bgra_rows():
        line = bytearray()
        for x in range(cv.w):
            line += row[x * 4:x * 4 + 3]
        data += line + bytes(stride - len(line))
    info = struct.pack('<IiiHHIIiiII', 40, cv.w, cv.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + len(info) + len(data), 0, 0, 14 + len(info)) + info + data


def check_ico(blob, sizes):
    """Re-read a written icon: directory, headers and mask must agree."""
    _, kind, n = struct.unpack_from('<HHH', blob)
    if kind != 1 or n != len(sizes):
        raise ValueError('bad icon directory')
    for i, size in enumerate(sizes):
        w, h, _, _, _, bpp, length, off = struct.unpack_from('<BBBBHHII', blob, 6 + 16 * i)
        hw, hh, _, hbpp = struct.unpack_from('<iiHH', blob, off + 4)
        if (w, h, bpp, hw, hh, hbpp) != (size, size, 32, size, size * 2, 32) or off + length > len(blob):
            raise ValueError('bad icon entry %d' % i)
        px, stride = off + 40, (size + 31) // 32 * 4
        mask = px + size * size * 4
        for y in range(size):
            for x in range(size):
                clear = blob[px + (y * size + x) * 4 + 3] == 0
                if clear != bool(blob[mask + y * stride + x // 8] & (0x80 >> (x % 8))):
                    raise ValueError('mask disagrees with alpha at %d,%d in %d' % (x, y, size))


# Every scale's sizes: 16 and 32 at 100 %, 20 and 40 at 125 %, 24 and 48
# at 150 %, 32 and 64 at 200 % (small icons, button and large icons).
SIZES = (64, 48, 40, 32, 24, 20, 16)

ICONS = [  # file, drawing, sizes, idle variant
    ('main.ico', main_icon, SIZES, False),
    ('refresh_normal.ico', refresh_icon, SIZES, True),
    ('refresh_hover.ico', refresh_icon, SIZES, False),
    ('remove_normal.ico', remove_icon, SIZES, True),
    ('remove_hover.ico', remove_icon, SIZES, False),
    ('phantom.ico', phantom_icon, SIZES, False),
    ('upgrade_normal.ico', upgrade_icon, SIZES, True),
    ('upgrade_hover.ico', upgrade_icon, SIZES, False),
    ('help_normal.ico', help_icon, SIZES, True),
    ('help_hover.ico', help_icon, SIZES, False),
    ('quit.ico', quit_icon, SIZES, False),
    ('program.ico', program_icon, SIZES, False),
    ('uninstall.ico', uninstall_icon, SIZES, False),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'res', 'art')
    os.makedirs(out, exist_ok=True)
    drawn = {}  # a button's idle and hover icons share one drawing
    for name, draw, sizes, idle in ICONS:
        images = []
        for size in sizes:
            if (draw, size) not in drawn:
                cv = Canvas(size, size)
                draw(cv, size)
                drawn[draw, size] = cv
            cv = Canvas(size, size)
            cv.p = list(drawn[draw, size].p)
            if idle:
                cv.map(soften)
            images.append(cv)
        blob = ico_bytes(images)
        check_ico(blob, sizes)
        with open(os.path.join(out, name), 'wb') as f:
            f.write(blob)
    for scale in SCALES:
        with open(os.path.join(out, 'splash-%d.bmp' % scale), 'wb') as f:
            f.write(bmp_bytes(splash(scale)))
        # the installed program looks for the 100 % picture by its old name
        name = 'centerimage.bmp' if scale == 100 else 'centerimage-%d.bmp' % scale
        with open(os.path.join(out, name), 'wb') as f:
            f.write(bmp_bytes(centerimage(scale)))


if __name__ == '__main__':
    main()
