#!/usr/bin/env python3
"""Writes the program's six sounds as short WAVE files: mono, 8 bits, 8000 samples per second,
each under 4 KB.

Usage: make_sounds.py OUTPUT_DIR   (writes NAME.wav for each name below; tevrix.rc gives them
their resource numbers)
"""
import math
import os
import struct
import sys

RATE = 8000
LIMIT = 4096

# Each sound is a list of notes: (start frequency, end frequency, seconds).
SOUNDS = {
    "changes_uploaded": [(1320, 1320, 0.06)],  # one short blip
    "verify_mismatch": [(440, 440, 0.12), (0, 0, 0.04), (330, 300, 0.2)],  # falling
    "verify_match": [(660, 660, 0.1), (880, 880, 0.15)],  # rising pair
    "read_done": [(784, 784, 0.08), (988, 988, 0.12)],
    "write_done": [(523, 523, 0.08), (659, 659, 0.08), (784, 784, 0.14)],  # arpeggio
    "hardware_found": [(500, 1400, 0.25)],  # chirp
}


def samples(notes):
    out = bytearray()
    phase = 0.0
    for start, end, seconds in notes:
        count = int(seconds * RATE)
        fade = min(80, count // 4)
        for i in range(count):
            freq = start + (end - start) * i / count
            phase += 2 * math.pi * freq / RATE
            envelope = min(1.0, i / fade, (count - 1 - i) / fade) if fade else 1.0
            value = 0.6 * envelope * math.sin(phase) if freq else 0.0
            out.append(max(0, min(255, round(128 + 127 * value))))
    return bytes(out)


def wave(data):
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE, 1, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    if len(data) % 2:
        body += b"\0"
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    os.makedirs(sys.argv[1], exist_ok=True)
    for name, notes in SOUNDS.items():
        clip = wave(samples(notes))
        if len(clip) >= LIMIT:
            sys.exit(f"sound {name} is {len(clip)} bytes, over the {LIMIT}-byte limit")
        with open(os.path.join(sys.argv[1], f"{name}.wav"), "wb") as f:
            f.write(clip)


if __name__ == "__main__":
    main()
