#!/usr/bin/env python3
"""Writes the DXF test drawings (and the shipped sample data/mineplan.dxf)
with ezdxf, a DXF writer independent of the one the program reads with.

Run from anywhere with the system Python that has python3-ezdxf:
/usr/bin/python3 tests/data/dxf/generate.py
The files are committed; the tests read them and never run this script.

mineplan.dxf   a small mine: three levels (z = 0, -60, -120) below a surface
               at +20, each a main drive (LWPOLYLINE) with two crosscuts (LINEs),
               a return drive (a LINE; a 2D POLYLINE on the lowest level) and
               an access to the ramp; a ramp
               (3D POLYLINE) spiralling down at 10 %; shaft A as LINEs level
               by level, shaft B as one 3D POLYLINE; drive walls, a title and
               a borehole on layers that are no airways.
awkward.dxf    an end 0.36 m off, a duplicate, a zero-length line, a polyline
               to be split, a line ending on another's middle, a part not joined, a closed square, a wall on
               another layer, a TEXT, a CIRCLE and a block INSERT.
"""
import os
import shutil

import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))

LEVELS = [0.0, -60.0, -120.0]
SURFACE = 20.0
RAMP_CORNERS = [(150, -40), (250, -40), (250, -140), (150, -140)]


def new_drawing(layers):
    doc = ezdxf.new("R2000")
    for name, colour in layers:
        doc.layers.new(name, dxfattribs={"color": colour})
    return doc, doc.modelspace()


def ramp_points():
    """Corners of the ramp from the portal down to the lowest level, 10 m
    lower at each 100 m leg: level 0 at corner 2, -60 at 8, -120 at 14."""
    points = []
    for i in range(15):
        x, y = RAMP_CORNERS[i % 4]
        points.append((x, y, SURFACE - 10.0 * i))
    return points


def mine_plan():
    doc, msp = new_drawing([("DRIVES", 3), ("RAMP", 1), ("SHAFTS", 5), ("WALLS", 8), ("SURVEY", 2)])
    ramp = ramp_points()
    for z in LEVELS:
        msp.add_lwpolyline([(x, 0) for x in (0, 100, 200, 300, 400)], format="xy",
                           dxfattribs={"layer": "DRIVES", "elevation": z})
        for x in (100, 300):
            msp.add_line((x, 0, z), (x, 80, z), dxfattribs={"layer": "DRIVES"})
        if z == LEVELS[-1]:  # the lowest return drive as an old-style 2D POLYLINE
            msp.add_polyline2d([(100, 80), (300, 80)], dxfattribs={"layer": "DRIVES", "elevation": (0, 0, z)})
        else:
            msp.add_line((100, 80, z), (300, 80, z), dxfattribs={"layer": "DRIVES"})
        corner = next(p for p in ramp if p[2] == z)
        msp.add_line(corner, (200, 0, z), dxfattribs={"layer": "RAMP"})
        for side in (-2.5, 2.5):
            msp.add_line((0, side, z), (400, side, z), dxfattribs={"layer": "WALLS"})
    msp.add_line((400, 0, -120), (500, 0, -120), dxfattribs={"layer": "DRIVES"})
    msp.add_polyline3d(ramp, dxfattribs={"layer": "RAMP"})
    tops = [SURFACE] + LEVELS
    for top, bottom in zip(tops, tops[1:]):
        msp.add_line((0, 0, top), (0, 0, bottom), dxfattribs={"layer": "SHAFTS"})
    msp.add_polyline3d([(400, 0, z) for z in tops], dxfattribs={"layer": "SHAFTS"})
    msp.add_text("Sample mine", dxfattribs={"layer": "SURVEY", "height": 5, "insert": (0, 120)})
    msp.add_circle((250, 60, SURFACE), 1.5, dxfattribs={"layer": "SURVEY"})
    return doc


def awkward():
    doc, msp = new_drawing([("AIRWAYS", 3), ("WALLS", 8), ("NOTES", 2)])
    air = {"layer": "AIRWAYS"}
    msp.add_line((0, 0, 0), (100, 0, 0), dxfattribs=air)
    msp.add_line((100.3, 0.2, 0), (200, 0, 0), dxfattribs=air)      # end 0.36 m off
    msp.add_line((100, 0, 0), (100, 50, 0), dxfattribs=air)
    msp.add_line((100, 0, 0), (0, 0, 0), dxfattribs=air)            # the first, drawn again
    msp.add_line((50, 50, 0), (50, 50.1, 0), dxfattribs=air)        # zero length
    msp.add_lwpolyline([(200, 0), (300, 0), (300, 100)], dxfattribs=air)
    msp.add_line((300, 0, 0), (400, 0, 0), dxfattribs=air)          # splits the polyline
    msp.add_line((150, 0.2, 0), (150, -40, 0), dxfattribs=air)      # ends on the second line's middle
    msp.add_line((1000, 1000, 0), (1100, 1000, 0), dxfattribs=air)  # a part not joined
    msp.add_line((1100, 1000, 0), (1100, 1100, 0), dxfattribs=air)
    msp.add_lwpolyline([(500, 500), (520, 500), (520, 520), (500, 520)], close=True, dxfattribs=air)
    msp.add_line((0, 5, 0), (100, 5, 0), dxfattribs={"layer": "WALLS"})
    msp.add_text("Main drive", dxfattribs={"layer": "NOTES", "height": 2, "insert": (10, 10)})
    msp.add_circle((50, 20), 2, dxfattribs={"layer": "NOTES"})
    block = doc.blocks.new("FAN")
    block.add_line((0, 0), (5, 0), dxfattribs=air)
    block.add_circle((2.5, 0), 1)
    msp.add_blockref("FAN", (150, 30), dxfattribs={"layer": "NOTES"})
    return doc


def main():
    mine_plan().saveas(os.path.join(HERE, "mineplan.dxf"))
    shutil.copyfile(os.path.join(HERE, "mineplan.dxf"), os.path.join(ROOT, "data", "mineplan.dxf"))
    awkward().saveas(os.path.join(HERE, "awkward.dxf"))


if __name__ == "__main__":
    main()
