"""Builds Nivalohelp.hlp from the shipped topics and reads it back: every
id, name and the contents open their topic's text. And the same topics as
the program's string resources."""

import os
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import make_help  # noqa: E402
import make_help_strings  # noqa: E402
import read_help  # noqa: E402

TOPICS = os.path.join(ROOT, "resources", "help", "topics.txt")


class HelpFileTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "Nivalohelp.hlp")
            make_help.main([TOPICS, path])
            with open(path, "rb") as f:
                cls.data = f.read()

    def test_shipped_topics_read_back(self):
        h = read_help.HelpFile(self.data)
        self.assertEqual([], read_help.check(h, TOPICS))
        self.assertGreater(len(h.files["|TOPIC"]), 4096)     # more than one block

    def test_the_reader_sees_an_id_mapped_to_the_wrong_topic(self):
        data = bytearray(self.data)
        at = read_help.HelpFile(self.data).offsets["|CTXOMAP"] + 2 + 4
        data[at:at + 4] = data[at + 8:at + 12]                # the first id to the second's topic
        self.assertTrue(read_help.check(read_help.HelpFile(bytes(data)), TOPICS))

    def test_hash_is_the_viewers(self):
        for name, value in (("a", 17), ("A1", 732), ("IDH_CONTENTS", 1748044782)):
            self.assertEqual(value, make_help.context_hash(name))

    def test_bad_topics_are_refused(self):
        for text in ("== A contents | T\nx\n== B 1 | T\ny\n== C 1 | T\nz\n",   # id twice
                     "== A contents | T\nx\n== B-2 1 | T\ny\n",                # name char
                     "== A 1 | T\nx\n"):                                       # no contents
            with self.assertRaises(make_help.HelpError):
                make_help.parse_topics(text)

    def test_strings_are_escaped_for_the_resource_compiler(self):
        table = make_help_strings.string_table(make_help.parse_topics(
            '== A contents | Say "hi"\nback\\slash caf\u00e9\n== B 7 9 | T\nx\n\ny\n'))
        self.assertIn('IDS_HELP_TOPICS + 0, L"Say ""hi""\\r\\n\\r\\nback\\\\slash caf\\x00e9"\n', table)
        self.assertIn('IDS_HELP_TOPICS + 9, L"T\\r\\n\\r\\nx\\r\\n\\r\\ny"\n', table)


if __name__ == "__main__":
    unittest.main()
