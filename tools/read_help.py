#!/usr/bin/env python3
"""Reads a WinHelp 3.1 help file back the way the viewer does.

    python3 tools/read_help.py FILE.hlp [--id N] [--dump] [--check TOPICS]

--id N shows the topic that help context N opens, --dump everything the file
holds, and --check TOPICS compares the file with its topics file and checks
its structure; it exits with 1 on any failure. It takes the context hash and
the LZ77 decoder from make_help.py; the rest it reads in its own way.
"""

import argparse
import struct
import sys

from make_help import HelpError, context_hash, lz77_decode


class Bad(HelpError):
    pass


def u16(b, o): return struct.unpack_from("<H", b, o)[0]
def i16(b, o): return struct.unpack_from("<h", b, o)[0]
def u32(b, o): return struct.unpack_from("<I", b, o)[0]
def i32(b, o): return struct.unpack_from("<i", b, o)[0]


class HelpFile:
    def __init__(self, data):
        self.data, self.problems = data, []
        magic, self.directory_at, free, self.total = struct.unpack_from("<IIiI", data, 0)
        if magic != 0x00035F3F:
            raise Bad("not a help file (magic %08x)" % magic)
        self.expect(self.total == len(data), "file header size %d, file has %d bytes"
                    % (self.total, len(data)))
        self.expect(free == -1, "first free block is %d, not -1" % free)
        directory = self.internal("directory", self.directory_at)
        entries = self.btree("directory", directory, lambda e: (e[:e.index(0)], e.index(0) + 5))
        self.expect(entries == sorted(entries), "directory entries are not sorted")
        self.files, self.offsets = {}, {}
        for name, raw in entries:
            name, offset = name.decode("latin-1"), u32(raw, len(name) + 1)
            self.files[name], self.offsets[name] = self.internal(name, offset), offset + 9
        for needed in ("|SYSTEM", "|FONT", "|TOPIC", "|CONTEXT", "|CTXOMAP"):
            if needed not in self.files:
                raise Bad("internal file %s is missing" % needed)
        self.read_system()
        self.read_font()
        self.read_topics()
        self.ctxomap = self.read_ctxomap()
        self.context = self.btree("|CONTEXT", self.files["|CONTEXT"], lambda e: (i32(e, 0), 8))
        hashes = [h for h, _ in self.context]
        self.expect(hashes == sorted(hashes), "|CONTEXT entries are not sorted by signed hash")

    def expect(self, ok, message):
        if not ok:
            self.problems.append(message)

    def internal(self, name, offset):
        if offset + 9 > len(self.data):
            raise Bad("%s lies outside the file" % name)
        reserved, used, flags = struct.unpack_from("<IIB", self.data, offset)
        self.expect(reserved == used + 9, "%s: ReservedSpace %d is not UsedSpace %d + 9"
                    % (name, reserved, used))
        self.expect(flags == 4, "%s: flags %d" % (name, flags))
        if offset + 9 + used > len(self.data):
            raise Bad("%s runs past the end of the file" % name)
        return self.data[offset + 9:offset + 9 + used]

    def btree(self, name, b, split):
        """All leaf entries in leaf-chain order, as (key, raw entry)."""
        magic, flags, page_size, structure = struct.unpack_from("<HHH16s", b, 0)
        root, levels, count = i16(b, 26), i16(b, 32), i32(b, 34)
        if magic != 0x293B:
            raise Bad("%s: not a B+ tree" % name)
        page = root
        for _ in range(levels - 1):                 # down to the first leaf
            page = i16(b, 38 + page * page_size + 4)
        entries = []
        while page != -1:
            at = 38 + page * page_size
            if at + page_size > len(b):
                raise Bad("%s: page %d lies outside the tree" % (name, page))
            free, n, _, nxt = struct.unpack_from("<Hhhh", b, at)
            p = at + 8
            for _ in range(n):
                key, size = split(b[p:at + page_size])
                entries.append((key, b[p:p + size]))
                p += size
            self.expect(free == at + page_size - p, "%s: page %d free-space field %d, not %d"
                        % (name, page, free, at + page_size - p))
            page = nxt
        self.expect(len(entries) == count, "%s: %d entries, header says %d" % (name, len(entries), count))
        return entries

    def read_system(self):
        s = self.files["|SYSTEM"]
        magic, minor, major, _, flags = struct.unpack_from("<HHHIH", s, 0)
        if magic != 0x036C or minor <= 16:
            raise Bad("|SYSTEM: magic %04x minor %d is not a 3.1 file" % (magic, minor))
        if flags not in (4, 8):
            raise Bad("|SYSTEM: flags %d (this reader takes LZ77 topic blocks only)" % flags)
        self.block_size = 4096 if flags == 4 else 2048
        self.title, self.contents_offset, p = None, None, 12
        while p + 4 <= len(s):
            kind, size = u16(s, p), u16(s, p + 2)
            value = s[p + 4:p + 4 + size]
            if kind == 1:
                self.title = value.split(b"\0")[0].decode("cp1252")
            elif kind == 3:
                self.contents_offset = u32(value, 0)
            p += 4 + size
        self.expect(p == len(s), "|SYSTEM: records overrun the file")

    def read_font(self):
        f = self.files["|FONT"]
        faces, self.font_count, face_at, desc_at = struct.unpack_from("<HHHH", f, 0)
        self.expect(face_at == 8 and desc_at == 8 + 20 * faces
                    and desc_at + 11 * self.font_count == len(f), "|FONT: bad layout")

    def read_ctxomap(self):
        m = self.files["|CTXOMAP"]
        n = u16(m, 0)
        self.expect(len(m) == 2 + 8 * n, "|CTXOMAP: size does not match its count")
        pairs = [struct.unpack_from("<iI", m, 2 + 8 * k) for k in range(n)]
        self.expect([i for i, _ in pairs] == sorted(set(i for i, _ in pairs)),
                    "|CTXOMAP: ids not sorted or not unique")
        return pairs

    def read_topics(self):
        t = self.files["|TOPIC"]
        self.expect(len(t) % self.block_size == 0, "|TOPIC: not whole blocks")
        blocks = []
        for at in range(0, len(t), self.block_size):
            decoded = lz77_decode(t[at + 12:at + self.block_size])
            self.expect(len(decoded) <= 0x4000, "|TOPIC: block %d decodes to %d bytes"
                        % (len(blocks), len(decoded)))
            blocks.append((struct.unpack_from("<iii", t, at), decoded))
        self.topics = []                # [offset, position, title, paragraphs]
        seen, pos, prev, chars, block_now = set(), 12, -1, 0, -1
        first_in_block, last_link, last_head = {}, -1, -1
        while pos != -1:
            block, off = (pos - 12) >> 14, (pos - 12) & 0x3FFF
            if pos in seen or block >= len(blocks) or off + 21 > len(blocks[block][1]):
                raise Bad("|TOPIC: record link %08x leads nowhere" % pos)
            seen.add(pos)
            d = blocks[block][1]
            size, len2, back, nxt, len1, kind = struct.unpack_from("<IIiiIB", d, off)
            if size != len1 + len2 or off + size > len(d):
                raise Bad("|TOPIC: record %08x has bad sizes" % pos)
            self.expect(back == prev, "|TOPIC: record %08x links back to %08x" % (pos, back & 0xFFFFFFFF))
            if block != block_now:
                self.expect(blocks[block][0] == (last_link, pos, last_head),
                            "|TOPIC: block %d header %s" % (block, blocks[block][0]))
                block_now, chars = block, 0
            data1, data2 = d[off + 21:off + len1], d[off + len1:off + size]
            if kind == 2:
                self.topics.append([block * 0x8000 + chars, pos, data2.decode("cp1252"), []])
                last_head = pos
            elif kind == 0x20:
                if not self.topics:
                    raise Bad("|TOPIC: text before the first topic header")
                paragraphs, length = self.paragraph(pos, data1, data2)
                self.topics[-1][3] += paragraphs
                chars += length
            else:
                raise Bad("|TOPIC: record type %02x is not handled" % kind)
            prev, last_link, pos = pos, pos, nxt

    def paragraph(self, pos, d1, d2):
        """The paragraphs of one text record, and its character count."""
        p = 0

        def number(long):
            nonlocal p
            wide = d1[p] & 1
            if long:
                v = (u32(d1, p) - 0x80000000) // 2 if wide else (u16(d1, p) - 0x8000) // 2
            else:
                v = (u16(d1, p) if wide else d1[p]) // 2
            p += (4 if wide else 2) if long else (2 if wide else 1)
            return v

        topic_size = number(True)
        length = number(False)
        self.expect(topic_size == len(d2), "record %08x: TopicSize %d, text %d" % (pos, topic_size, len(d2)))
        p += 4
        bits = u16(d1, p)
        p += 2
        if bits & 1:
            p += 4
        for bit in (2, 4, 8, 0x10, 0x20, 0x40):
            if bits & bit:
                p += 2 if d1[p] & 1 else 1
        if bits & ~0x7F:
            raise Bad("record %08x: paragraph bits %04x are not handled" % (pos, bits))
        strings, paragraphs, current, counted = d2.split(b"\0"), [], "", 0
        k, q = 0, p
        while q < len(d1):
            text = strings[k].decode("cp1252") if k < len(strings) else ""
            k += 1
            current += text
            counted += len(text)
            command = d1[q]
            q += 1
            if command == 0x80:
                font = u16(d1, q)
                q += 2
                self.expect(font < self.font_count, "record %08x: font %d" % (pos, font))
            elif command in (0x81, 0x83):
                current += "\n" if command == 0x81 else "\t"
                counted += 1
            elif command == 0x82:
                paragraphs.append(current)
                current, counted = "", counted + 1
            elif command == 0xFF:
                break
            else:
                raise Bad("record %08x: command %02x is not handled" % (pos, command))
        self.expect(length == counted, "record %08x: TopicLength %d, counted %d" % (pos, length, counted))
        return paragraphs, length

    # Lookups, as the viewer makes them.
    def page_by_offset(self, offset):
        found = None
        for topic in self.topics:
            if topic[0] <= offset and (found is None or found[0] < topic[0]):
                found = topic
        return found

    def page_by_id(self, i):
        for map_id, offset in self.ctxomap:
            if map_id == i:
                return self.page_by_offset(offset)
        return None

    def page_by_name(self, name):
        key = context_hash(name)
        for h, raw in self.context:
            if h == key:
                return self.page_by_offset(u32(raw, 4))
            if h > key:
                break
        return None


def read_topics_file(path):
    """(name, ids, contents, title, paragraphs) for each topic of a topics file."""
    topics, para = [], []
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    for line in lines + [""]:
        if line.startswith("#"):
            continue
        if line.startswith("==") or not line.strip():
            if para:
                topics[-1][4].append(" ".join(para))
                para = []
            if line.startswith("=="):
                head, title = line[2:].split("|", 1)
                words = head.split()
                topics.append((words[0], [int(w) for w in words[1:] if w != "contents"],
                               "contents" in words[1:], title.strip(), []))
        else:
            para.append(line.strip())
    return topics


def check(h, topics_path):
    problems = list(h.problems)
    topics = read_topics_file(topics_path)

    def same(name, what, page, topic):
        text = [topic[3]] + topic[4]
        if page is None:
            problems.append("%s %s opens nothing" % (name, what))
        elif page[2] != topic[3] or page[3] != text:
            problems.append("%s %s opens %r, not %r" % (name, what, page[2], topic[3]))

    for topic in topics:
        same(topic[0], "(hash)", h.page_by_name(topic[0]), topic)
        for i in topic[1]:
            same(topic[0], "id %d" % i, h.page_by_id(i), topic)
        if topic[2]:
            if h.contents_offset is None:
                problems.append("|SYSTEM names no contents topic")
            else:
                same(topic[0], "(contents)", h.page_by_offset(h.contents_offset), topic)
    wanted = sorted(i for t in topics for i in t[1])
    if [i for i, _ in h.ctxomap] != wanted:
        problems.append("|CTXOMAP ids differ from the topics file")
    if len(h.context) != len(topics):
        problems.append("|CONTEXT holds %d names, the topics file %d" % (len(h.context), len(topics)))
    if not h.title:
        problems.append("|SYSTEM has no title")
    return problems


def show(topic):
    print("[%08x] %s" % (topic[0], topic[2]))
    for p in topic[3]:
        print("    " + p)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("file")
    parser.add_argument("--id", type=int, action="append", default=[])
    parser.add_argument("--dump", action="store_true")
    parser.add_argument("--check", metavar="TOPICS")
    args = parser.parse_args(argv)
    try:
        with open(args.file, "rb") as f:
            h = HelpFile(f.read())
    except (HelpError, struct.error, IndexError, UnicodeDecodeError) as e:
        print("%s: unreadable: %s" % (args.file, e))
        return 1
    if args.dump:
        print("size %d, title %r, contents at %08x" % (h.total, h.title, h.contents_offset or 0))
        print("internal files: " + ", ".join("%s (%d bytes)" % kv for kv in
                                             ((k, len(v)) for k, v in h.files.items())))
        print("|CTXOMAP: " + " ".join("%d->%08x" % p for p in h.ctxomap))
        print("|CONTEXT: " + " ".join("%d->%08x" % (k, u32(raw, 4)) for k, raw in h.context))
        for topic in h.topics:
            show(topic)
    for i in args.id:
        page = h.page_by_id(i)
        if page is None:
            print("id %d: not mapped" % i)
        else:
            show(page)
    if args.check:
        problems = check(h, args.check)
        for p in problems:
            print("FAIL: " + p)
        print("%s: %s" % (args.file, "%d problems" % len(problems) if problems else "all checks passed"))
        return 1 if problems else 0
    return 1 if h.problems else 0


if __name__ == "__main__":
    sys.exit(main())
