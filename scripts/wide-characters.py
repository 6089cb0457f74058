#!/usr/bin/env python3
# Prints the ranges of characters that take two cells (East Asian Wide and Fullwidth) as C++
# initialisers, merged where they touch, from Unicode's EastAsianWidth.txt (Debian: unicode-data).
# Usage: scripts/wide-characters.py [/usr/share/unicode/EastAsianWidth.txt]
import re
import sys

path = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/unicode/EastAsianWidth.txt"
ranges = []
with open(path, encoding="utf-8") as data:
    for line in data:
        found = re.match(r"([0-9A-F]+)(?:\.\.([0-9A-F]+))?\s*;\s*([WF])\b", line)
        if found:
            first = int(found.group(1), 16)
            ranges.append([first, int(found.group(2) or found.group(1), 16)])
ranges.sort()
merged = []
for first, last in ranges:
    if merged and first <= merged[-1][1] + 1:
        merged[-1][1] = max(merged[-1][1], last)
    else:
        merged.append([first, last])
print(", ".join("{0x%X, 0x%X}" % (first, last) for first, last in merged))
