"""The shipped Nivalo.scr files as an old Windows loader reads them: every
import of the 32-bit one is a function that Windows 98 and NT 4.0 export,
each build asks for the first Windows of its kind (4.0 for the 32-bit one,
5.2, XP x64, for the 64-bit one), and neither carries symbols.

    python3 binary_test.py SCR SCR_X64 TEST_PROGRAM WIN9X_LISTS [ShippedBinary.test_...]
"""

import os
import sys
import unittest

from pe_file import PeFile

SCR, SCR_X64, TEST_PROGRAM, LISTS = sys.argv[1:5]
del sys.argv[1:5]


def missing_on_old_windows(imports):
    """The imports that Windows 98 or NT 4.0 would refuse to resolve: names
    missing from the list of their DLL (a DLL without a list has none)."""
    missing = []
    for name in imports:
        dll, function = name.split("!")
        path = os.path.join(LISTS, dll.split(".")[0] + ".txt")
        exported = {line.strip() for line in open(path)} if os.path.exists(path) else set()
        if function not in exported:
            missing.append(name)
    return missing


class ShippedBinary(unittest.TestCase):
    def test_imports(self):
        imports = PeFile(SCR).imports()
        self.assertGreater(len(imports), 50, "the import table was not found")
        self.assertEqual([], missing_on_old_windows(imports))
        # The check must see what a posix thread-model build imports: the
        # test programs are such builds.
        missing = missing_on_old_windows(PeFile(TEST_PROGRAM).imports())
        self.assertIn("kernel32.dll!GetTickCount64", missing)
        self.assertNotIn("kernel32.dll!GetModuleHandleA", missing)

    def test_versions_and_symbols(self):
        for path, machine, version in ((SCR, 0x14C, (4, 0)), (SCR_X64, 0x8664, (5, 2))):
            scr = PeFile(path)
            self.assertEqual((machine, 2, version, (4, 0), 0),  # a GUI program
                             (scr.machine, scr.subsystem, scr.subsystem_version, scr.os_version, scr.symbols), path)
            self.assertEqual([], [s[0] for s in scr.sections if s[0].startswith(b".debug")], path + " is stripped")


if __name__ == "__main__":
    unittest.main()
