#!/usr/bin/env python3
"""Builds the saver's help file (WinHelp 3.1 format) from plain-text topics.

    python3 tools/make_help.py resources/help/topics.txt build/Nivalohelp.hlp

The topics file format is described at the top of resources/help/topics.txt.
The output is deterministic. The |TOPIC data is LZ77-coded in 4 KiB blocks.
tools/read_help.py reads the file back with the hash and the LZ77 decoder
from here.
"""

import argparse
import re
import struct
import sys
from collections import namedtuple

Topic = namedtuple("Topic", "name ids contents title paragraphs")

TITLE = "Nivalo screen saver help"
BLOCK_SIZE = 4096           # |TOPIC block, 12-byte header included
BLOCK_DATA = BLOCK_SIZE - 12
MAX_DECODED = 0x4000        # a block never decodes to more than 16 KiB
BODY_FONT, TITLE_FONT = 0, 1
SPACE_BELOW = 12            # half points (6 pt) after each paragraph
NAME_CHARS = re.compile(r"^[A-Za-z0-9._]+$")


class HelpError(Exception):
    pass


# ---------------------------------------------------------------- topics file

def parse_topics(text):
    """Returns the topics of a topics file, checked for consistency."""
    topics, current = [], None
    for number, line in enumerate(text.splitlines(), 1):
        line = line.rstrip()
        if line.startswith("#"):
            continue
        if line.startswith("=="):
            head, bar, title = line[2:].partition("|")
            words = head.split()
            if not bar or not words or not title.strip():
                raise HelpError("line %d: expected '== NAME IDS | Title'" % number)
            ids = []
            for word in words[1:]:
                if word != "contents" and not word.isdigit():
                    raise HelpError("line %d: bad id %r" % (number, word))
                if word != "contents":
                    ids.append(int(word))
            current = Topic(words[0], ids, "contents" in words[1:], title.strip(), [])
            topics.append(current)
            current.paragraphs.append("")
        elif current is None:
            if line.strip():
                raise HelpError("line %d: text before the first topic" % number)
        elif line.strip():
            last = current.paragraphs[-1]
            current.paragraphs[-1] = (last + " " + line.strip()) if last else line.strip()
        elif current.paragraphs[-1]:
            current.paragraphs.append("")
    for topic in topics:
        if topic.paragraphs and not topic.paragraphs[-1]:
            topic.paragraphs.pop()
    check_topics(topics)
    return topics


def check_topics(topics):
    if sum(t.contents for t in topics) != 1:
        raise HelpError("exactly one topic must be marked 'contents'")
    ids, hashes = set(), {}
    for t in topics:
        if not NAME_CHARS.match(t.name):
            raise HelpError("%s: a context name takes only letters, digits, '.' and '_'" % t.name)
        h = context_hash(t.name)
        if h == 0 or h in hashes:
            raise HelpError("%s: its hash clashes with %s" % (t.name, hashes.get(h, "the contents")))
        hashes[h] = t.name
        if not t.paragraphs:
            raise HelpError("%s: the topic has no text" % t.name)
        for i in t.ids:
            if i in ids or not 0 <= i < 2 ** 31:
                raise HelpError("%s: id %d is used twice or out of range" % (t.name, i))
            ids.add(i)
        for s in [t.title] + t.paragraphs:
            encode(s)


def encode(s):
    try:
        data = s.encode("cp1252")
    except UnicodeEncodeError as e:
        raise HelpError("not in code page 1252: %r" % s) from e
    if any(b < 32 for b in data):
        raise HelpError("control character in %r" % s)
    return data


def context_hash(name):
    """The viewer's hash of a context name, as a signed 32-bit number."""
    h = 0
    for c in name.upper():
        if "1" <= c <= "9":
            v = ord(c) - ord("0")
        elif c == "0":
            v = 10
        elif c == ".":
            v = 12
        elif c == "_":
            v = 13
        else:
            v = ord(c) - ord("A") + 17
        h = (h * 43 + v) & 0xFFFFFFFF
    return h - (1 << 32) if h >= 1 << 31 else h


# ---------------------------------------------------------------- LZ77

def lz77(data, fixed):
    """Codes data for the viewer. Bytes marked in fixed (the record links,
    whose values are only known once the blocks are laid out) are always
    written as literals and never matched, so the coded size does not depend
    on their values."""
    n = len(data)
    clean = [0] * (n + 1)       # non-fixed bytes from here on
    for i in range(n - 1, -1, -1):
        clean[i] = 0 if fixed[i] else clean[i + 1] + 1
    chains, out, items, flags, i = {}, bytearray(), bytearray(), 0, 0
    count = 0

    def insert(p):
        if clean[p] >= 3:
            chains.setdefault(bytes(data[p:p + 3]), []).append(p)

    while i < n:
        best_len, best_pos = 0, 0
        limit = min(18, clean[i])
        if limit >= 3:
            for p in reversed(chains.get(bytes(data[i:i + 3]), ())[-256:]):
                if i - p > 4096:
                    break
                m = min(limit, clean[p])
                k = 3
                while k < m and data[p + k] == data[i + k]:
                    k += 1
                if k > best_len:
                    best_len, best_pos = k, p
                    if k == limit:
                        break
        if best_len >= 3:
            flags |= 1 << count
            items += struct.pack("<H", (i - best_pos - 1) | ((best_len - 3) << 12))
            for p in range(i, i + best_len):
                insert(p)
            i += best_len
        else:
            items.append(data[i])
            insert(i)
            i += 1
        count += 1
        if count == 8:
            out.append(flags)
            out += items
            items, flags, count = bytearray(), 0, 0
    if count:
        out.append(flags)
        out += items
    return bytes(out)


def lz77_decode(coded):
    """The bytes that coded data decodes to, as the viewer decodes them."""
    out, i = bytearray(), 0
    while i < len(coded):
        flags = coded[i]
        i += 1
        for bit in range(8):
            if i >= len(coded):
                break
            if flags >> bit & 1:
                if i + 2 > len(coded):
                    break
                word = struct.unpack_from("<H", coded, i)[0]
                i += 2
                start = len(out) - (word & 0xFFF) - 1
                if start < 0:
                    raise HelpError("LZ77 distance reaches before the block")
                for k in range((word >> 12) + 3):
                    out.append(out[start + k])
            else:
                out.append(coded[i])
                i += 1
    return bytes(out)


# ---------------------------------------------------------------- |TOPIC

class Record:
    """One TOPICLINK record. links holds (offset, kind) of the u32 fields that
    point at other records; they are filled in once the layout is known."""

    def __init__(self, kind, data1, data2, length=0):
        self.kind, self.length = kind, length     # length: characters (TopicLength)
        head = struct.pack("<IIIIIB", 21 + len(data1) + len(data2), len(data2),
                           0, 0, 21 + len(data1), kind)
        self.data = bytearray(head + data1 + data2)
        self.links = [(8, "prev"), (12, "next")]
        if kind == 2:
            self.links += [(21 + 20, "scroll"), (21 + 24, "next_topic")]


def comp_ushort(v):
    assert 0 <= v < 0x8000
    return bytes([2 * v]) if v < 128 else struct.pack("<H", 2 * v + 1)


def comp_sshort(v):
    assert -0x40 <= v < 0x40
    return bytes([2 * (v + 0x40)])


def comp_slong(v):
    assert -0x4000 <= v < 0x4000
    return struct.pack("<H", 2 * (v + 0x4000))


def paragraph_record(text, font):
    text = encode(text)
    data2 = b"\0" + text + b"\0\0"
    # paragraph bits 0x04: space below, a compressed short in half points
    data1 = (comp_slong(len(data2)) + comp_ushort(len(text) + 1) + b"\x00\x80\x00\x00"
             + struct.pack("<H", 0x04) + comp_sshort(SPACE_BELOW)
             + b"\x80" + struct.pack("<H", font) + b"\x82\xff")
    return Record(0x20, data1, data2, len(text) + 1)


def topic_records(topics):
    records = []
    for number, t in enumerate(topics + [None]):
        title = encode(t.title) if t else b""
        head = Record(2, struct.pack("<7i", 0, -1, -1, number if t else -1, -1, 0, 0), title)
        body = [paragraph_record(t.title, TITLE_FONT)] if t else []
        body += [paragraph_record(p, BODY_FONT) for p in (t.paragraphs if t else [])]
        head.topic = t
        size = sum(len(r.data) for r in [head] + body)
        struct.pack_into("<I", head.data, 21, size)
        records += [head] + body
    return records


def block_payload(records):
    data, fixed = bytearray(), []
    for r in records:
        mask = [False] * len(r.data)
        for offset, _ in r.links:
            mask[offset:offset + 4] = [True] * 4
        data += r.data
        fixed += mask
    return data, fixed


def block_fits(records):
    data, fixed = block_payload(records)
    coded = lz77(data, fixed)
    padded = coded + bytes(BLOCK_DATA - len(coded)) if len(coded) <= BLOCK_DATA else coded
    return (len(coded) <= BLOCK_DATA and len(data) <= MAX_DECODED - 12
            and len(lz77_decode(padded)) <= MAX_DECODED)


def layout(records):
    """Splits the records into blocks (no record crosses a block) and gives
    each its TOPICPOS, and each topic header its TOPICOFFSET."""
    blocks, current = [], []
    for r in records:
        if block_fits(current + [r]):
            current.append(r)
        elif current and block_fits([r]):
            blocks.append(current)
            current = [r]
        else:
            raise HelpError("a paragraph is too long for one block")
    blocks.append(current)
    for b, block in enumerate(blocks):
        offset, chars = 12, 0
        for r in block:
            r.pos, r.block = b * 0x4000 + offset, b
            r.topic_offset = b * 0x8000 + chars
            offset += len(r.data)
            chars += r.length
    return blocks


def build_topic_file(topics):
    records = topic_records(topics)
    blocks = layout(records)
    heads = [r for r in records if r.kind == 2]
    for i, r in enumerate(records):
        values = {"prev": records[i - 1].pos if i else -1,
                  "next": records[i + 1].pos if i + 1 < len(records) else -1}
        if r.kind == 2:
            k = heads.index(r)
            values["scroll"] = records[i + 1].pos if r.topic else -1
            values["next_topic"] = heads[k + 1].pos if k + 1 < len(heads) else -1
        for offset, kind in r.links:
            struct.pack_into("<i", r.data, offset, values[kind])
    out = bytearray()
    last_link = last_head = -1
    for block in blocks:
        data, fixed = block_payload(block)
        coded = lz77(data, fixed)
        assert block_fits(block) and len(coded) <= BLOCK_DATA
        out += struct.pack("<iii", last_link, block[0].pos, last_head)
        out += coded + bytes(BLOCK_DATA - len(coded))
        last_link = block[-1].pos
        last_head = max([r.pos for r in block if r.kind == 2] + [last_head])
    offsets = {r.topic.name: r.topic_offset for r in heads if r.topic}
    return bytes(out), offsets


# ---------------------------------------------------------------- the rest

def btree(entries, page_size, structure, flags):
    """A B+ tree of one leaf page; entries are bytes, already sorted."""
    used = 8 + sum(len(e) for e in entries)
    if used > page_size:
        raise HelpError("too many entries for one B+ tree page")
    head = struct.pack("<HHH16shhhhhhi", 0x293B, flags, page_size, structure,
                       0, 0, 0, -1, 1, 1, len(entries))
    page = struct.pack("<Hhhh", page_size - used, len(entries), -1, -1) + b"".join(entries)
    return head + page + bytes(page_size - used)


def system_file(title, contents_offset):
    data = struct.pack("<HHHIH", 0x036C, 21, 1, 0, 4)
    for kind, value in ((1, encode(title) + b"\0"), (3, struct.pack("<I", contents_offset))):
        data += struct.pack("<HH", kind, len(value)) + value
    return data


def font_file():
    faces = [b"Arial"]
    # attributes (1 bold), half points, family (3 swiss), face, colour, background
    descriptors = [(0, 20, 3, 0), (1, 24, 3, 0)]
    data = struct.pack("<HHHH", len(faces), len(descriptors), 8, 8 + 20 * len(faces))
    data += b"".join(f.ljust(20, b"\0") for f in faces)
    for attributes, half_points, family, face in descriptors:
        data += struct.pack("<BBBH", attributes, half_points, family, face)
        data += b"\0\0\0" + b"\xff\xff\xff"
    return data


def build(topics, title=TITLE):
    topic_data, offsets = build_topic_file(topics)
    contents = next(t for t in topics if t.contents)
    context = sorted((context_hash(t.name), offsets[t.name]) for t in topics)
    ctxomap = sorted((i, offsets[t.name]) for t in topics for i in t.ids)
    files = {
        b"|SYSTEM": system_file(title, offsets[contents.name]),
        b"|FONT": font_file(),
        b"|TOPIC": topic_data,
        b"|CONTEXT": btree([struct.pack("<iI", h, o) for h, o in context], 2048, b"L4", 0x0002),
        b"|CTXOMAP": struct.pack("<H", len(ctxomap))
        + b"".join(struct.pack("<iI", i, o) for i, o in ctxomap),
    }
    body, where = bytearray(), {}
    for name in (b"|SYSTEM", b"|FONT", b"|TOPIC", b"|CONTEXT", b"|CTXOMAP"):
        where[name] = 16 + len(body)
        body += struct.pack("<IIB", len(files[name]) + 9, len(files[name]), 4) + files[name]
    directory = btree([name + b"\0" + struct.pack("<I", where[name]) for name in sorted(where)],
                      1024, b"z4", 0x0402)
    directory_at = 16 + len(body)
    body += struct.pack("<IIB", len(directory) + 9, len(directory), 4) + directory
    return struct.pack("<IIiI", 0x00035F3F, directory_at, -1, 16 + len(body)) + bytes(body)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("topics")
    parser.add_argument("output")
    parser.add_argument("--title", default=TITLE)
    args = parser.parse_args(argv)
    try:
        with open(args.topics, encoding="utf-8") as f:
            data = build(parse_topics(f.read()), args.title)
    except HelpError as e:
        sys.exit("%s: %s" % (args.topics, e))
    with open(args.output, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
