#!/usr/bin/env python3
"""Writes Box.gltf: a unit cube whose buffer is embedded as a base64 data URI."""
import base64
import json
import struct

vertices = []  # position then normal, interleaved
indices = []
for axis in range(3):
    for sign in (1, -1):
        normal = [0, 0, 0]
        normal[axis] = sign
        u, v = [(axis + 1) % 3, (axis + 2) % 3]
        base = len(vertices)
        for a, b in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
            p = [0.0, 0.0, 0.0]
            p[axis] = 0.5 * sign
            p[u] = 0.5 * a
            p[v] = 0.5 * b * sign  # mirrored on the negative side so every face winds outwards
            vertices.append(p + normal)
        indices += [base, base + 1, base + 2, base, base + 2, base + 3]

interleaved = b"".join(struct.pack("<6f", *v) for v in vertices)
index_bytes = struct.pack("<%dH" % len(indices), *indices)
data = interleaved + index_bytes
document = {
    "asset": {"version": "2.0", "generator": "tests/data/gltf/make_box.py"},
    "scene": 0,
    "scenes": [{"nodes": [0]}],
    # The root turns the cube -90 degrees about x with a matrix; the child holds the mesh.
    "nodes": [{"children": [1], "matrix": [1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1]}, {"mesh": 0}],
    "meshes": [{"primitives": [{"attributes": {"POSITION": 0, "NORMAL": 1}, "indices": 2, "material": 0}]}],
    "materials": [{"name": "Red", "pbrMetallicRoughness": {"baseColorFactor": [0.8, 0, 0, 1], "metallicFactor": 0}}],
    "accessors": [
        {"bufferView": 0, "componentType": 5126, "count": 24, "type": "VEC3", "min": [-0.5] * 3, "max": [0.5] * 3},
        {"bufferView": 0, "byteOffset": 12, "componentType": 5126, "count": 24, "type": "VEC3"},
        {"bufferView": 1, "componentType": 5123, "count": len(indices), "type": "SCALAR"},
    ],
    "bufferViews": [
        {"buffer": 0, "byteLength": len(interleaved), "byteStride": 24, "target": 34962},
        {"buffer": 0, "byteOffset": len(interleaved), "byteLength": len(index_bytes), "target": 34963},
    ],
    "buffers": [{"byteLength": len(data),
                 "uri": "data:application/octet-stream;base64," + base64.b64encode(data).decode()}],
}
with open("Box.gltf", "w") as out:
    json.dump(document, out, indent=1)
    out.write("\n")
