#!/usr/bin/python3
"""Writes what the CLIPBOARD owner offers into a folder: TARGETS, one file per target, .types.

Usage: record_offer.py <folder>
The folder format is described in tests/platform/x11/offers/README.md.
"""
import os
import sys

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402

CAP = 1 << 20
# Protocol targets, and xterm's and Emacs's facts about the machine and the owner, which no copy carries.
NOT_FETCHED = {"TARGETS", "TIMESTAMP", "MULTIPLE", "SAVE_TARGETS", "DELETE", "INSERT_SELECTION", "INSERT_PROPERTY",
               "LENGTH", "LIST_LENGTH", "HOSTNAME", "IP_ADDRESS", "USER", "CLASS", "NAME", "CLIENT_WINDOW",
               "OWNER_OS", "HOST_NAME", "FILE_NAME", "CHARACTER_POSITION", "LINE_NUMBER", "COLUMN_NUMBER", "ATOM",
               "INTEGER"}
IMAGES_KEPT = 2
NAME_CAP = 200  # LibreOffice's object descriptor names the document in its target, past what a file name holds


def file_name(target):
    return target.replace("%", "%25").replace("/", "%2F")


def main(folder):
    clipboard = Gtk.Clipboard.get(Gdk.SELECTION_CLIPBOARD)
    ok, atoms = clipboard.wait_for_targets()
    if not ok:
        print("record_offer: nothing offers the clipboard", file=sys.stderr)
        return 1
    os.makedirs(folder, exist_ok=True)
    targets = [atom.name() for atom in atoms]
    with open(os.path.join(folder, "TARGETS"), "w") as listing:
        listing.writelines(target + "\n" for target in targets)
    types = []
    images = 0
    seen = set()
    for target, atom in zip(targets, atoms):
        if target in NOT_FETCHED or target in seen or len(file_name(target).encode()) > NAME_CAP:
            continue
        seen.add(target)
        if target.startswith("image/"):
            if images >= IMAGES_KEPT:
                continue
            images += 1
        data = clipboard.wait_for_contents(atom)
        if data is None or data.get_length() < 0:
            continue
        raw = data.get_data() or b""
        if data.get_format() == 32:
            continue  # GTK hands these over in the client's long size, not as the owner sent them
        if len(raw) > CAP:
            print(f"record_offer: {target} skipped ({len(raw)} bytes)", file=sys.stderr)
            continue
        with open(os.path.join(folder, file_name(target)), "wb") as out:
            out.write(raw)
        types.append(f"{target}\t{data.get_data_type().name()}\t{data.get_format()}\n")
    with open(os.path.join(folder, ".types"), "w") as out:
        out.writelines(types)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
