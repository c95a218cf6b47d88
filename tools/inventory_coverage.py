#!/usr/bin/env python3
"""How many of the items that Morrowind plugins' NPCs carry the item lookup
files name, by kind of item.

    tools/inventory_coverage.py [--lfdat DIR] [--missing] PLUGIN.esp...

Reads the NPCO entries (count, 32-character id) of every NPC_ record of
each plugin, and of every creature (CREA) and container (CONT) record for
the second table. Items the plugin defines itself are counted apart (they
are mapped by their kind); the rest are the base game's (or a master's),
grouped by the kind their id names. An id is mapped when a line of
armour.dat, clothing.dat, weapons.dat or misc.dat names it, letter case
ignored.
"""
import argparse
import collections
import os
import struct
import sys

ITEM_FILES = ("armour.dat", "clothing.dat", "weapons.dat", "misc.dat")
ITEM_TYPES = {b"ALCH", b"APPA", b"ARMO", b"BOOK", b"CLOT", b"INGR", b"LEVI",
              b"LIGH", b"LOCK", b"MISC", b"PROB", b"REPA", b"WEAP"}


def records(data):
    pos = 0
    while pos + 16 <= len(data):
        rtype = data[pos:pos + 4]
        size = struct.unpack_from("<I", data, pos + 4)[0]
        body = data[pos + 16:pos + 16 + size]
        pos += 16 + size
        yield rtype, body


def subrecords(body):
    pos = 0
    while pos + 8 <= len(body):
        stype = body[pos:pos + 4]
        size = struct.unpack_from("<I", body, pos + 4)[0]
        yield stype, body[pos + 8:pos + 8 + size]
        pos += 8 + size


def text(raw):
    return raw.split(b"\0", 1)[0].decode("latin-1")


def read_plugin(path):
    """(ids the plugin defines as items, [(record type, item id)])."""
    with open(path, "rb") as f:
        data = f.read()
    defined, carried = set(), []
    for rtype, body in records(data):
        if rtype in ITEM_TYPES:
            for stype, sdata in subrecords(body):
                if stype == b"NAME":
                    defined.add(text(sdata).lower())
                    break
        if rtype in (b"NPC_", b"CREA", b"CONT"):
            for stype, sdata in subrecords(body):
                if stype == b"NPCO" and len(sdata) >= 36:
                    carried.append((rtype.decode(), text(sdata[4:36])))
    return defined, carried


def read_lookup(folder):
    ids = set()
    for name in ITEM_FILES:
        path = os.path.join(folder, name)
        if not os.path.exists(path):
            continue
        with open(path, encoding="latin-1") as f:
            for line in f:
                if "," in line:
                    ids.add(line.split(",", 1)[0].lower())
    return ids


def kind(item_id):
    low = item_id.lower()
    if low.startswith("gold_") or low == "random gold":
        return "gold"
    if low.startswith(("l_", "random", "imperial guard random")):
        return "levelled list"
    if low.startswith(("p_", "potion_")):
        return "potion"
    if low.startswith(("ingred_", "food_")):
        return "ingredient"
    if low.startswith("sc_"):
        return "scroll"
    if low.startswith(("light_", "torch")):
        return "light"
    return "other"


def count(entries, lookup):
    """Per kind: (found, total), and the unmapped ids with their counts."""
    found, total, missing = collections.Counter(), collections.Counter(), collections.Counter()
    for defined, item_id in entries:
        k = "plugin's own" if item_id.lower() in defined else kind(item_id)
        total[k] += 1
        if k == "plugin's own":
            continue
        if item_id.lower() in lookup:
            found[k] += 1
        else:
            missing[(k, item_id.lower())] += 1
    return found, total, missing


def print_table(title, found, total):
    print(title)
    for k in sorted(total):
        if k == "plugin's own":
            print(f"  {k:14} {total[k]:4} entries (mapped by kind, not counted)")
        else:
            print(f"  {k:14} {found[k]:4} of {total[k]:4} mapped")
    kinds = [k for k in total if k not in ("plugin's own", "other")]
    f, t = sum(found[k] for k in kinds), sum(total[k] for k in kinds)
    print(f"  {'listed kinds':14} {f:4} of {t:4} mapped ({100 * f / max(t, 1):.1f} %)")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--lfdat", default="lfdat")
    parser.add_argument("--missing", action="store_true", help="list the unmapped ids of all inventories")
    parser.add_argument("plugins", nargs="+")
    args = parser.parse_args()
    lookup = read_lookup(args.lfdat)
    npcs, everyone = [], []
    for path in args.plugins:
        defined, carried = read_plugin(path)
        for rtype, item_id in carried:
            everyone.append((defined, item_id))
            if rtype == "NPC_":
                npcs.append((defined, item_id))
    found, total, _ = count(npcs, lookup)
    print_table("NPC inventories:", found, total)
    found, total, missing = count(everyone, lookup)
    print_table("NPC, creature and container inventories:", found, total)
    if args.missing:
        for (k, item_id), n in sorted(missing.items()):
            print(f"  unmapped {k}: {item_id} x{n}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
