"""The setup program that ships, read as Windows reads it: a 32-bit Windows
program (which runs on 32- and 64-bit Windows alike) whose manifest starts
it with the rights of the user who runs it, so that it asks for
administrator rights only when told to install for everyone, and whose
version resource carries the program's version and publisher.

    python3 setup_program_test.py SETUP VERSION
"""

import struct
import sys

setup, version = sys.argv[1:3]
with open(setup, "rb") as f:
    data = f.read()
problems = []
pe = struct.unpack_from("<I", data, 0x3C)[0]
if data[pe:pe + 4] != b"PE\0\0" or struct.unpack_from("<H", data, pe + 4)[0] != 0x14C:
    problems.append("is no 32-bit x86 Windows program")
if b'requestedExecutionLevel level="asInvoker"' not in data:
    problems.append("its manifest does not run it as the user who starts it")
for text in (version, "Orwenk", "Nivalo screen saver setup"):
    if text.encode("utf-16-le") not in data:
        problems.append("its version resource lacks %r" % text)
for p in problems:
    print("FAIL: %s %s" % (setup, p))
sys.exit(1 if problems else 0)
