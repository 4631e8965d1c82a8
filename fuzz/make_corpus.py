#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

The seeds are the example host's disks, canned mountvol listings, canned answers of the
pair-status tool, layout files of the three partition styles and small host images, each
laid out as its target reads its input (see the comment at the top of each target).
Run it again after the example host changes; the files are committed.
"""
import json
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent
HOST = json.loads((ROOT / "examples" / "host.json").read_text())


def hex_bytes(text):
    return bytes.fromhex("".join(text.split()))


def field(data):
    data = data[:0xFFFF]
    return struct.pack("<H", len(data)) + data


def write(target, name, data):
    folder = HERE / "corpus" / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


# --- probe: options, statuses, format flags, then the fields -------------------------

def device_descriptor(raw):
    d = bytearray(36)
    d[32:36] = struct.pack("<I", len(raw))
    return bytes(d) + raw


def id_descriptor(ids):
    d = bytearray(12)
    d[8] = len(ids)
    for set_type, ident in ids:
        h = bytearray(16)
        h[0], h[4] = set_type >> 8, set_type & 0xFF
        h[8:10] = struct.pack("<H", len(ident))
        h[10:12] = struct.pack("<H", 16 + len(ident))
        d += h + ident
    return bytes(d)


def probe_seed(options, statuses, std, p83=b"", pe2=b"", device=b"", ident=b""):
    sense = bytes([0x70, 0, 5, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24])
    return (bytes([options, statuses]) + struct.pack("<H", 0x3FF) + field(std) + field(p83) +
            field(pe2) + field(sense) + field(sense) + field(device) + field(ident))


def probe_corpus():
    for disk in HOST["disks"]:
        if "inquiry" not in disk:
            continue
        n = disk["number"]
        std = hex_bytes(disk["inquiry"])
        pages = disk.get("pages", {})
        p83 = hex_bytes(pages.get("83", {}).get("data", ""))
        pe2 = hex_bytes(pages.get("E2", {}).get("data", ""))
        write("probe", f"disk{n:02d}", probe_seed(0x00, 0x00, std, p83, pe2))
        write("probe", f"disk{n:02d}-cli", probe_seed(0x18, 0x00, std, p83, pe2))
        if pe2:
            write("probe", f"disk{n:02d}-real", probe_seed(0x01, 0x00, std, p83, pe2))
            write("probe", f"disk{n:02d}-exchange", probe_seed(0x02, 0x00, std, p83, pe2))
        if n == 1:
            write("probe", "disk01-inqdump", probe_seed(0x04, 0x00, std, p83, pe2))
            write("probe", "disk01-check-condition", probe_seed(0x00, 0x10, std, p83, pe2))
            # The pass-through is not ready: the property queries answer instead.
            ident = p83[4:4 + 4 + p83[7]] if len(p83) > 8 else b""
            ids = [(ident[0] << 8 | ident[1], ident[4:])] if ident else []
            ids.append((0x0103, bytes(8)))
            write("probe", "disk01-properties",
                  probe_seed(0x60, 0x00, b"", b"", b"", device_descriptor(std[:96]),
                             id_descriptor(ids)))


# --- token lines: byte 0 selects the failing stream ----------------------------------

def token_line_corpus():
    write("token_line", "words", b"\0hd0-3 $C: $LETALL\n# comment\nquit\n")
    write("token_line", "tabs", b"\0\t hd1\t\t$Phys  Harddisk7 \nhd2")
    write("token_line", "crlf", b"\0C:\\Vol3\\Dsk1\r\n\\Dsk2\\p1\r\n")
    write("token_line", "long", b"\0" + b" ".join([b"w%d" % i for i in range(120)]) + b"\n")
    write("token_line", "fail", b"\1hd1 hd\xff\x002\nhd3\n\xff\x01hd4\n")
    write("token_line", "fail-every", b"\1" + b"\xff\x00" * 12 + b"x\n")


# --- unit numbers ----------------------------------------------------------------------

def unit_number_corpus():
    for i, word in enumerate([b"harddisk3", b"hd0-10", b"\\\\.\\PhysicalDrive3",
                              b"C:\\Vol3\\Dsk1", b"\\Dmt1\\Dsk4", b"hd1,3,5",
                              b"x" * 98 + b"12345", b"9" * 30]):
        write("unit_number", f"word{i}", word)


# --- mountvol --------------------------------------------------------------------------

def mountvol_listing(mount_points, line_end="\n"):
    text = "Creates, deletes, or lists a volume mount point.\n\n" \
           "Possible values for VolumeName along with current mount points are:\n"
    for mp in mount_points:
        text += "\n    \\\\?\\" + mp["volume"] + "\\\n"
        if not mp.get("paths"):
            text += "        *** NO MOUNT POINTS ***\n"
        for p in mp.get("paths", []):
            text += "        " + p + "\n"
    return text.replace("\n", line_end).encode()


def mountvol_corpus():
    write("mountvol", "example-host", mountvol_listing(HOST["mount_points"]))
    write("mountvol", "example-host-crlf", mountvol_listing(HOST["mount_points"], "\r\n"))
    write("mountvol", "cut-path", mountvol_listing([
        {"volume": "Volume{00000000-0000-0000-0000-000000000001}",
         "paths": ["D:\\", "D:\\mnt\\with blank\\", "D:\\data\\"]}]))


# --- pair table: options, MU states, exit statuses, name, answers ----------------------

REMOTE_ANSWER = (b"Group PairVol L/R Device Serial LDEV P/S Status Copy P-Serial P-LDEV MU\n"
                 b"VG01 boot L Harddisk1 64015 1234 P-VOL PAIR remote 150000 2816 0\n"
                 b"VG01 boot R - 150000 2816 S-VOL PAIR remote 64015 1234 0\n")
LOCAL_ANSWER = (b"Group PairVol L/R Device MU Serial LDEV P/S Status P-Serial P-LDEV Copy\n"
                b"SI01 boot_bk L Harddisk1 1 64015 1234 P-VOL PAIR 64015 1240 local\n"
                b"SI01 boot_bk R - 1 64015 1240 S-VOL PAIR 64015 1234 local\n")


def pair_seed(options, states, statuses, name, answers):
    return (bytes([options]) + struct.pack("<Q", states) + struct.pack("<H", statuses) +
            field(name) + b"".join(field(a) for a in answers))


def pair_table_corpus():
    write("pair_table", "remote", pair_seed(0, 0b0001, 0, b"C:\\Vol3\\Dsk1", [REMOTE_ANSWER]))
    write("pair_table", "remote-two", pair_seed(0, 0b0101, 0b10, b"Harddisk1",
                                                [REMOTE_ANSWER, REMOTE_ANSWER]))
    write("pair_table", "local", pair_seed(1, 0b0010, 0, b"Harddisk1", [LOCAL_ANSWER]))
    write("pair_table", "wide", pair_seed(1, 0b0110, 0, b"D:\\mnt\\data\\Vol5\\Dsk1\\Harddisk1",
                                          [LOCAL_ANSWER, LOCAL_ANSWER[:-1]]))
    write("pair_table", "extra-line", pair_seed(0, 1, 0, b"Harddisk1",
                                                [REMOTE_ANSWER + REMOTE_ANSWER]))


# --- layout files: options, serial, LDEV, file ------------------------------------------

def header(serial, ldev):
    h = bytearray(200)
    dev = b"DEVFILE = \\\\.\\PhysicalDrive1\n"
    h[0:len(dev)] = dev
    ser = b"SER = %d\n" % serial
    h[128:128 + len(ser)] = ser
    ld = b"LDEV = %d(0x%06x)\n" % (ldev, ldev)
    h[160:160 + len(ld)] = ld
    h[192:200] = struct.pack("<ii", serial, ldev)
    return bytes(h)


def basic_layout(signature, parts):
    b = struct.pack("<II", len(parts), signature)
    for number, (start, length, kind) in enumerate(parts, 1):
        b += struct.pack("<qqIIBBBB4x", start, length, start // 512, number, kind, 0, 1, 0)
    return b


def ex_layout(style, parts, signature=0, disk_id=bytes(16)):
    union = bytearray(40)
    if style == 1:
        union[0:16] = disk_id
        union[16:36] = struct.pack("<qqI", 17408, 1 << 30, 128)
    else:
        union[0:4] = struct.pack("<I", signature)
    b = struct.pack("<II", style, len(parts)) + bytes(union)
    for number, (start, length, kind) in enumerate(parts, 1):
        e = bytearray(144)
        e[0:32] = struct.pack("<I4xqqIBB2x", style, start, length, number, 0, 0)
        if style == 1:
            e[32:48] = bytes(range(16))
            e[48:64] = bytes(range(16, 32))
        else:
            e[32:36] = struct.pack("<BBBx", kind, 0, 1)
            e[36:40] = struct.pack("<I", start // 512)
        b += bytes(e)
    return b


def layout_restore_corpus():
    parts = [(1 << 20, 100 << 20, 7), (101 << 20, 1 << 30, 7)]
    serial, ldev = 64015, 1234
    opts = struct.pack("<ii", serial, ldev)
    write("layout_restore", "basic", b"\x00" + opts + header(serial, ldev) +
          basic_layout(0x5A1B2C3D, parts))
    write("layout_restore", "basic-cmd", b"\x04" + opts + header(serial, ldev) +
          basic_layout(0x5A1B2C3D, parts))
    write("layout_restore", "ex-mbr", b"\x01" + opts + header(serial, ldev) +
          ex_layout(0, parts, 0x5A1B2C3D))
    write("layout_restore", "ex-gpt", b"\x05" + opts + header(serial, ldev) +
          ex_layout(1, parts, disk_id=bytes(range(0xA0, 0xB0))))
    write("layout_restore", "other-volume", b"\x00" + struct.pack("<ii", serial, ldev + 1) +
          header(serial, ldev) + basic_layout(1, parts))
    write("layout_restore", "short", b"\x00" + opts + header(serial, ldev)[:120])


def layout_read_corpus():
    parts = [(1 << 20, 100 << 20, 7), (101 << 20, 1 << 30, 7), (0, 0, 0)]
    for opts, name, record in [
            (0x00, "basic", basic_layout(0x5A1B2C3D, parts)),
            (0x02, "basic-dump", basic_layout(0x5A1B2C3D, parts)),
            (0x0B, "basic-save-dump", basic_layout(0x5A1B2C3D, parts)),
            (0x01, "ex-mbr", ex_layout(0, parts, 0x5A1B2C3D)),
            (0x03, "ex-gpt-dump", ex_layout(1, parts, disk_id=bytes(range(16)))),
            (0x09, "ex-gpt-save", ex_layout(1, parts, disk_id=bytes(range(16)))),
            (0x21, "ex-claims-more", ex_layout(2, parts))]:
        claimed = 200000 if opts & 0x20 else 0
        write("layout_read", name, bytes([opts]) + struct.pack("<I", claimed) + record)


# --- device words against the example host ----------------------------------------------

def expand_corpus():
    write("expand", "numbers", b"\0hd0-3 harddisk7 \\\\.\\PhysicalDrive12 hd1,3\n")
    write("expand", "dos", b"\0$C: $LETALL $Phys $Volume\n$D:\\mnt $E:\n")
    write("expand", "guid-names", b"\1$Volume{9a2f6c3e-1b4d-4c7e-a0f2-6d8e1b3c5a02} $LETALL\n")
    write("expand", "echo", b"\2C:\\Vol3\\Dsk1 \\Dsk2\\p1 \\Dmt1\\Dsk4\n%C: quit\n")
    write("expand", "percent", b"\4%C: %Phys #x\n# hd1\nquit hd2\n")


# --- environment values: byte 0 picks the variable ---------------------------------------

def env_values_corpus():
    for i, (pick, value) in enumerate([(0, b"2000"), (0, b"  -1500x"), (0, b"99999999999"),
                                       (1, b"16384"), (1, b" +0"), (1, b"4294967296"),
                                       (2, b"C:\\TEMP"), (3, b"C:\\WINDOWS"),
                                       (2, b"D:\\" + b"x" * 253)]):
        write("env_values", f"value{i}", bytes([pick]) + value)


# --- host images --------------------------------------------------------------------------

def host_image_corpus():
    write("host_image", "example-host", json.dumps(HOST, separators=(",", ":")).encode())
    for disk in HOST["disks"]:
        small = {k: v for k, v in disk.items() if k != "_about"}
        image = {"disks": [small], "dos_devices": [
            {"name": "PhysicalDrive%d" % disk["number"],
             "target": "\\Device\\Harddisk%d\\DR%d" % (disk["number"], disk["number"])}]}
        write("host_image", "disk%02d" % disk["number"],
              json.dumps(image, separators=(",", ":")).encode())
    names = {"dos_devices": HOST["dos_devices"], "volumes": HOST["volumes"],
             "mount_points": HOST["mount_points"]}
    write("host_image", "names", json.dumps(names, separators=(",", ":")).encode())
    write("host_image", "mountvol-output",
          json.dumps({"mountvol_output": mountvol_listing(HOST["mount_points"]).decode(),
                      "dos_list_error": 5}).encode())


def main():
    probe_corpus()
    token_line_corpus()
    unit_number_corpus()
    mountvol_corpus()
    pair_table_corpus()
    layout_restore_corpus()
    host_image_corpus()
    layout_read_corpus()
    expand_corpus()
    env_values_corpus()


if __name__ == "__main__":
    main()
