#!/usr/bin/env python3
"""Turns the help topics into string resources of the program, for the
settings dialog's own help pop-ups on systems without a help viewer.

    python3 tools/make_help_strings.py resources/help/topics.txt build/generated/help_topics.rc

The output is a STRINGTABLE that resources/nivalo.rc includes: each help
context id N of a topic becomes the string IDS_HELP_TOPICS + N, and the
contents topic the string IDS_HELP_TOPICS itself (resources/resource.h).
A string holds the topic's title and then its paragraphs, an empty line
between each. The topics are read by make_help.py's own parser.
"""

import argparse
import sys

from make_help import HelpError, parse_topics

# String ids have 16 bits, and IDS_HELP_TOPICS lies below 4096.
MAX_ID = 0xFFFF - 0x1000


def topic_text(topic):
    return "\r\n\r\n".join([topic.title] + topic.paragraphs)


def rc_string(text):
    """A wide string literal of the resource compiler: quotes doubled, and
    anything but printable ASCII as an escape."""
    escapes = {'"': '""', "\\": "\\\\", "\r": "\\r", "\n": "\\n"}
    out = []
    for c in text:
        if c in escapes:
            out.append(escapes[c])
        elif " " <= c <= "~":
            out.append(c)
        else:
            out.append("\\x%04x" % ord(c))
    return 'L"' + "".join(out) + '"'


def string_table(topics):
    lines = ["// Written by tools/make_help_strings.py from the help topics; do not edit.",
             "STRINGTABLE", "BEGIN"]
    for t in topics:
        for n in ([0] if t.contents else []) + t.ids:
            if n > MAX_ID:
                raise HelpError("%s: id %d is too large for a string id" % (t.name, n))
            lines.append("  IDS_HELP_TOPICS + %d, %s" % (n, rc_string(topic_text(t))))
    lines.append("END")
    return "\n".join(lines) + "\n"


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("topics")
    parser.add_argument("output")
    args = parser.parse_args(argv)
    try:
        with open(args.topics, encoding="utf-8") as f:
            table = string_table(parse_topics(f.read()))
    except HelpError as e:
        sys.exit("%s: %s" % (args.topics, e))
    with open(args.output, "w", encoding="ascii", newline="\n") as f:
        f.write(table)


if __name__ == "__main__":
    main()
