"""The shipped Nivalo.scr files as Windows reads them: every import of the
32-bit one is a function that Windows 98 and NT 4.0 export; each build asks
for the first Windows of its kind (4.0 for the 32-bit one, 5.2, XP x64, for
the 64-bit one) and carries no symbols; and the application manifest of each
(resource type 24, id 1) is well-formed XML that runs the program as the user
who starts it, names the systems from Vista to 11, asks for the version 6
common controls and leaves the resolution awareness to the program.

    python3 shipped_files_test.py SCR SCR_X64 TEST_PROGRAM WIN9X_LISTS [ShippedBinary|Manifest]
"""

import os
import struct
import sys
import unittest
import xml.etree.ElementTree as ElementTree

SCR, SCR_X64, TEST_PROGRAM, LISTS = sys.argv[1:5]
del sys.argv[1:5]
ASM = "{urn:schemas-microsoft-com:asm.v1}"
ASM3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
SYSTEMS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
}


class PeFile:
    """A PE32 or PE32+ file read whole: the header fields a loader checks,
    the sections, the imports and the resources."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        pe = self.u32(0x3C)
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("%s is no PE file" % path)
        self.machine, count, _, _, self.symbols, optional_size = struct.unpack_from("<HHIIIH", self.data, pe + 4)
        optional = pe + 24
        self.wide = struct.unpack_from("<H", self.data, optional)[0] == 0x20B  # PE32+: 64-bit addresses
        self.os_version = struct.unpack_from("<HH", self.data, optional + 40)
        self.subsystem_version = struct.unpack_from("<HH", self.data, optional + 48)
        self.subsystem = struct.unpack_from("<H", self.data, optional + 68)[0]
        self.directories = optional + (112 if self.wide else 96)
        self.sections = [struct.unpack_from("<8sIIII", self.data, optional + optional_size + 40 * i)
                         for i in range(count)]

    def u32(self, at):
        return struct.unpack_from("<I", self.data, at)[0]

    def offset(self, rva):
        for _, size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(size, raw_size):
                return rva - address + raw
        raise LookupError("address %#x lies in no section" % rva)

    def text(self, at):
        return self.data[at:self.data.index(b"\0", at)].decode("ascii")

    def imports(self):
        """"dll!function" for every import, the DLL in lower case; by ordinal "dll!#n"."""
        found = []
        size, by_ordinal = (8, 1 << 63) if self.wide else (4, 1 << 31)
        at = self.offset(self.u32(self.directories + 8))
        while self.u32(at + 12):  # the descriptors end with one without a name
            dll = self.text(self.offset(self.u32(at + 12))).lower()
            thunk = self.offset(self.u32(at) or self.u32(at + 16))
            while int.from_bytes(self.data[thunk:thunk + size], "little"):
                e = int.from_bytes(self.data[thunk:thunk + size], "little")
                found.append(dll + "!" + ("#%d" % (e & 0xFFFF) if e & by_ordinal else self.text(self.offset(e) + 2)))
                thunk += size
            at += 20
        return found

    def resource(self, type_id, name_id):
        """The bytes of a resource with numeric type and name, first language."""
        base = self.offset(self.u32(self.directories + 16))

        def entry(table, wanted):
            named, numbered = struct.unpack_from("<HH", self.data, base + table + 12)
            for i in range(named + numbered):
                name, target = struct.unpack_from("<II", self.data, base + table + 16 + 8 * i)
                if wanted is None or name == wanted:
                    return target & 0x7FFFFFFF
            raise LookupError("no resource entry %r" % wanted)

        rva, size = struct.unpack_from("<II", self.data, base + entry(entry(entry(0, type_id), name_id), None))
        return self.data[self.offset(rva):self.offset(rva) + size]


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


class Manifest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.roots = [ElementTree.fromstring(PeFile(path).resource(24, 1)) for path in (SCR, SCR_X64)]

    def test_it_is_an_assembly_that_runs_as_the_user(self):
        for root in self.roots:
            self.assertEqual(ASM + "assembly", root.tag)
            levels = root.findall(".//%srequestedExecutionLevel" % ASM3)
            self.assertEqual([("asInvoker", "false")], [(e.get("level"), e.get("uiAccess")) for e in levels])

    def test_it_names_the_systems_from_vista_to_11(self):
        for root in self.roots:
            self.assertEqual(SYSTEMS, {e.get("Id") for e in root.iter(COMPATIBILITY + "supportedOS")})

    def test_it_asks_for_the_version_6_common_controls(self):
        for root in self.roots:
            names = [(e.get("name"), e.get("version"), e.get("publicKeyToken"))
                     for e in root.findall(".//%sdependentAssembly/%sassemblyIdentity" % (ASM, ASM))]
            self.assertEqual([("Microsoft.Windows.Common-Controls", "6.0.0.0", "6595b64144ccf1df")], names)

    def test_it_leaves_the_resolution_awareness_to_the_program(self):
        for root in self.roots:
            tags = [e.tag.rsplit("}", 1)[-1] for e in root.iter()]
            self.assertNotIn("dpiAware", tags)
            self.assertNotIn("dpiAwareness", tags)


if __name__ == "__main__":
    unittest.main()
