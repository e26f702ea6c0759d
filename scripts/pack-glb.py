#!/usr/bin/env python3
"""Packs glTF files into self-contained GLB files for the model fuzzer's seeds.

usage: pack-glb.py OUTDIR FILE.gltf...
A file whose one buffer lies beside it becomes a .glb with that buffer as its binary chunk; a file
whose buffers are all embedded already is copied as it is. Files that are neither are skipped.
"""
import json
import os
import shutil
import struct
import sys


def chunk(kind, data, pad):
    data += pad * ((4 - len(data) % 4) % 4)
    return struct.pack("<I4s", len(data), kind) + data


def pack(path, outdir):
    with open(path, encoding="utf-8") as file:
        gltf = json.load(file)
    buffers = gltf.get("buffers", [])
    name = os.path.basename(os.path.dirname(path)) + "_" + os.path.splitext(os.path.basename(path))[0]
    if all(b.get("uri", "").startswith("data:") for b in buffers):
        shutil.copy(path, os.path.join(outdir, name + ".gltf"))
        return
    if len(buffers) != 1:
        return
    with open(os.path.join(os.path.dirname(path), buffers[0].pop("uri")), "rb") as file:
        binary = file.read()
    buffers[0]["byteLength"] = len(binary)
    body = chunk(b"JSON", json.dumps(gltf).encode(), b" ") + chunk(b"BIN\0", binary, b"\0")
    with open(os.path.join(outdir, name + ".glb"), "wb") as file:
        file.write(struct.pack("<4sII", b"glTF", 2, 12 + len(body)) + body)


def main():
    outdir = sys.argv[1]
    for path in sys.argv[2:]:
        if os.path.isfile(path):
            pack(path, outdir)


main()
