#!/usr/bin/env python3
"""Draws the Folivex icon: an open comic book with panels and a download arrow, as SVG.

Usage: tools/icon/make_icon.py [OUTPUT]   (default: packaging/folivex.svg)
The drawing is plain geometry on a 256 x 256 canvas, so the icon scales to any size.
"""
import pathlib
import sys

SIZE = 256


def rect(x, y, w, h, fill, rx=0, extra=""):
    return (f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{rx}" '
            f'fill="{fill}"{extra}/>')


def page_panels(x0, y0, w, h, gap, colours):
    """Three comic panels on one page: a wide one on top, two side by side below."""
    top = rect(x0, y0, w, h * 0.45, colours[0], 3)
    half = (w - gap) / 2
    y1 = y0 + h * 0.45 + gap
    h1 = h - h * 0.45 - gap
    return [top, rect(x0, y1, half, h1, colours[1], 3),
            rect(x0 + half + gap, y1, half, h1, colours[2], 3)]


def icon():
    parts = [
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" '
        f'viewBox="0 0 {SIZE} {SIZE}">',
        '<defs><linearGradient id="bg" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#ff8a3d"/><stop offset="1" stop-color="#e0452b"/>'
        '</linearGradient></defs>',
        rect(8, 8, 240, 240, "url(#bg)", 44),
        # The open book: two pages meeting at the spine.
        '<path d="M28 64 Q78 50 126 66 V206 Q78 190 28 204 Z" fill="#fffaf0"/>',
        '<path d="M228 64 Q178 50 130 66 V206 Q178 190 228 204 Z" fill="#fff3dc"/>',
        rect(125, 64, 6, 144, "#c4391f"),
    ]
    parts += page_panels(40, 76, 74, 108, 6, ["#3d7be0", "#58c46b", "#ffd23f"])
    parts += page_panels(142, 76, 74, 108, 6, ["#ffd23f", "#3d7be0", "#58c46b"])
    # The download arrow over the spine, with a dark rim so it reads on both pages.
    arrow = ("M104 118 H152 V160 H176 L128 214 L80 160 H104 Z")
    parts.append(f'<path d="{arrow}" fill="#ffffff" stroke="#2b2b3a" stroke-width="8" '
                 'stroke-linejoin="round"/>')
    parts.append('</svg>')
    return "\n".join(parts) + "\n"


def main():
    out = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else
                       pathlib.Path(__file__).resolve().parents[2] / "packaging" / "folivex.svg")
    out.write_text(icon(), encoding="utf-8")
    print(out)


if __name__ == "__main__":
    main()
