"""A PE32 or PE32+ file read whole, as a Windows loader reads it: the header
fields it checks, the sections, the imports and the resources."""

import struct


class PeFile:
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
