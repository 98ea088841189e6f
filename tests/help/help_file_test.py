"""Builds Nivalohelp.hlp from the shipped topics and reads it back; checks
that the reader catches the faults that make the viewer show nothing or the
wrong topic."""

import os
import struct
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import make_help  # noqa: E402
import read_help  # noqa: E402

TOPICS = os.path.join(ROOT, "resources", "help", "topics.txt")


class HelpFileTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        cls.path = os.path.join(cls.dir.name, "Nivalohelp.hlp")
        make_help.main([TOPICS, cls.path])
        with open(cls.path, "rb") as f:
            cls.data = f.read()

    @classmethod
    def tearDownClass(cls):
        cls.dir.cleanup()

    def problems(self, data):
        try:
            return read_help.check(read_help.HelpFile(bytes(data)), TOPICS)
        except (read_help.Bad, struct.error, IndexError) as e:
            return [str(e)]

    def test_shipped_topics_pass_every_check(self):
        self.assertEqual(0, read_help.main([self.path, "--check", TOPICS]))
        self.assertGreater(len(read_help.HelpFile(self.data).files["|TOPIC"]), 4096)

    def test_output_is_deterministic(self):
        with open(TOPICS, encoding="utf-8") as f:
            self.assertEqual(self.data, make_help.build(make_help.parse_topics(f.read())))

    def test_hash_matches_the_viewer(self):
        for name, value in (("a", 17), ("A1", 732), ("IDH_CONTENTS", 1748044782)):
            self.assertEqual(value, make_help.context_hash(name))
            self.assertEqual(value, read_help.viewer_hash(name))

    def mutated(self, internal, offset, fmt, change):
        data = bytearray(self.data)
        at = read_help.HelpFile(self.data).offsets[internal] + offset if internal else offset
        struct.pack_into(fmt, data, at, change(*struct.unpack_from(fmt, data, at)))
        return data

    def test_wrong_total_size_is_caught(self):
        self.assertTrue(self.problems(self.mutated(None, 12, "<I", lambda v: v + 1)))

    def test_reserved_space_slack_is_caught(self):
        self.assertTrue(self.problems(self.mutated("|CTXOMAP", -9, "<I", lambda v: v + 1)))

    def test_unsigned_hash_order_is_caught(self):
        h = read_help.HelpFile(self.data)
        self.assertLess(h.context[0][0], 0)      # both signs occur
        entries = sorted((raw for _, raw in h.context), key=lambda raw: struct.unpack("<I", raw[:4]))
        data = bytearray(self.data)
        at = h.offsets["|CONTEXT"] + 38 + 8
        data[at:at + 8 * len(entries)] = b"".join(entries)
        self.assertTrue(any("sorted" in p for p in self.problems(data)))

    def test_map_to_the_wrong_topic_is_caught(self):
        second = struct.unpack_from("<I", read_help.HelpFile(self.data).files["|CTXOMAP"], 2 + 12)[0]
        self.assertTrue(self.problems(self.mutated("|CTXOMAP", 2 + 4, "<I", lambda v: second)))

    def test_bad_topics_are_refused(self):
        for text in ("== A contents | T\nx\n== B 1 | T\ny\n== C 1 | T\nz\n",   # id twice
                     "== A contents | T\nx\n== B-2 1 | T\ny\n",                # name char
                     "== A 1 | T\nx\n"):                                       # no contents
            with self.assertRaises(make_help.HelpError):
                make_help.parse_topics(text)


if __name__ == "__main__":
    unittest.main()
