#!/usr/bin/env python3
"""Fill the .ts catalogues from the dictionaries in scripts/texts_*.py.

Run after lupdate; any source text without a translation is listed and the
script exits non-zero, so a new text can't slip through unnoticed. The English
catalogue only corrects: texts without a correction stay untranslated there,
so the source text shows."""
import os
import sys
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import texts_zh_cn  # noqa: E402
import texts_fr  # noqa: E402
import texts_en  # noqa: E402

KEEP = {"English", "中文简体 ", "Français", "繁體中文", "USB", "COM", "25", "STARTTLS", "SSL/TLS", "UPS"}


def to_tw(text):
    for a, b in texts_zh_cn.TW_PHRASES:
        text = text.replace(a, b)
    return "".join(texts_zh_cn.S2T.get(c, c) for c in text)


def fill(path, lookup, corrections_only=False):
    tree = ET.parse(path)
    missing = []
    count = 0
    used = set()
    for ctx in tree.getroot().findall("context"):
        cname = ctx.find("name").text
        for msg in ctx.findall("message"):
            src = msg.find("source").text
            tr = msg.find("translation")
            if src in KEEP and not corrections_only:
                # Kept as it is, unless a context says otherwise (the diagram's "UPS" in French).
                val = lookup(cname, src) or src
            else:
                val = lookup(cname, src)
            if val is None:
                if corrections_only:
                    tr.text = None
                    tr.set("type", "unfinished")
                else:
                    missing.append((cname, src))
                continue
            used.add(src)
            tr.text = val
            tr.attrib.pop("type", None)
            count += 1
    tree.write(path, encoding="utf-8", xml_declaration=True)
    with open(path, "r+", encoding="utf-8") as f:
        body = f.read().replace("<?xml version='1.0' encoding='utf-8'?>",
                                '<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>', 1)
        f.seek(0)
        f.write(body + ("" if body.endswith("\n") else "\n"))
        f.truncate()
    if corrections_only:
        # A correction whose source text is gone is a stale entry of the dictionary.
        stale = [k for k in texts_en.EN if (k[1] if isinstance(k, tuple) else k) not in used]
        print(f"{os.path.basename(path)}: {count} corrected, {len(stale)} stale corrections")
        for k in stale:
            print("  stale:", k)
        return not stale
    print(f"{os.path.basename(path)}: {count} translated, {len(missing)} missing")
    for m in missing:
        print("  missing:", m)
    return not missing


def dict_lookup(d):
    def look(cname, src):
        return d.get((cname, src), d.get(src))
    return look


def tw_lookup(cname, src):
    v = dict_lookup(texts_zh_cn.ZH)(cname, src)
    return None if v is None else to_tw(v)


root = os.path.join(HERE, "..", "translations")
ok = fill(os.path.join(root, "zh_CN.ts"), dict_lookup(texts_zh_cn.ZH))
ok &= fill(os.path.join(root, "zh_TW.ts"), tw_lookup)
ok &= fill(os.path.join(root, "fr_FR.ts"), dict_lookup(texts_fr.FR))
ok &= fill(os.path.join(root, "en.ts"), dict_lookup(texts_en.EN), corrections_only=True)
sys.exit(0 if ok else 1)
