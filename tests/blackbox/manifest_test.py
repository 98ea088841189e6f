"""The application manifest inside the shipped Nivalo.scr (resource type 24,
id 1): well-formed XML that runs the program as the user who starts it,
names the systems from Vista to 11, asks for the version 6 common controls
and leaves the resolution awareness to the program.

    python3 manifest_test.py Nivalo.scr
"""

import sys
import unittest
import xml.etree.ElementTree as ElementTree

from pe_file import PeFile

SCR = sys.argv.pop(1) if len(sys.argv) > 1 else "Nivalo.scr"
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


class Manifest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = ElementTree.fromstring(PeFile(SCR).resource(24, 1))

    def test_it_is_an_assembly_that_runs_as_the_user(self):
        self.assertEqual(ASM + "assembly", self.root.tag)
        levels = self.root.findall(".//%srequestedExecutionLevel" % ASM3)
        self.assertEqual([("asInvoker", "false")],
                         [(e.get("level"), e.get("uiAccess")) for e in levels])

    def test_it_names_the_systems_from_vista_to_11(self):
        ids = {e.get("Id") for e in self.root.iter(COMPATIBILITY + "supportedOS")}
        self.assertEqual(SYSTEMS, ids)

    def test_it_asks_for_the_version_6_common_controls(self):
        names = [(e.get("name"), e.get("version"), e.get("publicKeyToken"))
                 for e in self.root.findall(".//%sdependentAssembly/%sassemblyIdentity" % (ASM, ASM))]
        self.assertEqual([("Microsoft.Windows.Common-Controls", "6.0.0.0", "6595b64144ccf1df")], names)

    def test_it_leaves_the_resolution_awareness_to_the_program(self):
        tags = [e.tag.rsplit("}", 1)[-1] for e in self.root.iter()]
        self.assertNotIn("dpiAware", tags)
        self.assertNotIn("dpiAwareness", tags)


if __name__ == "__main__":
    unittest.main()
