#!/usr/bin/env python3
"""Prints the version information of a Windows program, read from its resources: the fixed
file and product versions, then each string of its string tables, one `NAME=VALUE` a line:

    FILEVERSION=1.0.0.0
    PRODUCTVERSION=1.0.0.0
    FileDescription=...

With --manifest, prints instead what the manifest that Windows reads when it starts the program
(resource 1 of type RT_MANIFEST) asks for: its execution level and each Windows version it
declares, in the order given:

    requestedExecutionLevel=asInvoker
    supportedOS={8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}

Exits with 1 when the file is no PE image or holds no version information (no such manifest)."""
import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_VERSION = 16
RT_MANIFEST = 24
CREATEPROCESS_MANIFEST_RESOURCE_ID = 1


def resource_section(image):
    """The .rsrc section's bytes and its virtual address."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe : pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    table = pe + 24 + optional_size
    for index in range(sections):
        header = table + 40 * index
        name = image[header : header + 8].rstrip(b"\0")
        address, raw_size, raw_offset = struct.unpack_from("<I I I", image, header + 12)
        if name == b".rsrc":
            return image[raw_offset : raw_offset + raw_size], address
    raise ValueError("no .rsrc section")


def first_entry(section, directory, wanted_id=None, missing="no version information"):
    """The offset that the first entry of a resource directory (with wanted_id, if given) names."""
    named, numbered = struct.unpack_from("<HH", section, directory + 12)
    for index in range(named + numbered):
        entry_id, target = struct.unpack_from("<II", section, directory + 16 + 8 * index)
        if wanted_id is None or entry_id == wanted_id:
            return target & 0x7FFFFFFF
    raise ValueError(missing)


def resource(image, type_id, name_id=None, missing="no version information"):
    """The bytes of the first resource of type_id (named name_id, if given), any language."""
    section, address = resource_section(image)
    names = first_entry(section, 0, type_id, missing)
    languages = first_entry(section, names, name_id, missing)
    data = first_entry(section, languages)
    rva, size = struct.unpack_from("<II", section, data)
    return section[rva - address : rva - address + size]


def align(offset):
    return (offset + 3) & ~3


def read_block(data, offset):
    """One block (key, value, children) of the version resource, and the offset after it."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    key_end = offset + 6
    while data[key_end : key_end + 2] != b"\0\0":
        key_end += 2
    key = data[offset + 6 : key_end].decode("utf-16-le")
    start = align(key_end + 2)
    if value_type == 1:  # text, up to its terminating zero whatever the length says
        text_end = start
        while text_end < end and data[text_end : text_end + 2] != b"\0\0":
            text_end += 2
        value = data[start:text_end].decode("utf-16-le")
        position = align(text_end + 2) if value_length else start
    else:
        value = data[start : start + value_length]
        position = align(start + value_length)
    children = []
    while position < end:
        child, position = read_block(data, position)
        children.append(child)
    return (key, value, children), align(end)


def print_manifest(path, image):
    try:
        manifest = ElementTree.fromstring(
            resource(image, RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID, "no manifest"))
    except (ValueError, struct.error, ElementTree.ParseError) as error:
        print(f"{path}: {error}", file=sys.stderr)
        return 1
    # Namespaces differ between the manifest's parts; Windows reads the elements by local name.
    for element in manifest.iter():
        name = element.tag.rsplit("}", 1)[-1]
        if name == "requestedExecutionLevel":
            print(f"requestedExecutionLevel={element.get('level')}")
        elif name == "supportedOS":
            print(f"supportedOS={element.get('Id')}")
    return 0


def main():
    manifest = sys.argv[1] == "--manifest"
    path = sys.argv[2 if manifest else 1]
    with open(path, "rb") as program:
        image = program.read()
    if manifest:
        return print_manifest(path, image)
    try:
        (key, fixed, children), _ = read_block(resource(image, RT_VERSION), 0)
    except (ValueError, struct.error) as error:
        print(f"{path}: {error}", file=sys.stderr)
        return 1
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    if key != "VS_VERSION_INFO" or signature != 0xFEEF04BD:
        print(f"{path}: no version information", file=sys.stderr)
        return 1
    for name, high, low in (("FILEVERSION", file_ms, file_ls), ("PRODUCTVERSION", product_ms, product_ls)):
        print(f"{name}={high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}")
    for child_key, _, tables in children:
        if child_key == "StringFileInfo":
            for _, _, strings in tables:
                for name, value, _ in strings:
                    print(f"{name}={value}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
