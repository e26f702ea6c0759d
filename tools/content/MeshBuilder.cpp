#include "tools/content/MeshBuilder.h"

#include <algorithm>
#include <cmath>

namespace {

// Newell's normal of a polygon: robust for any convex corner order.
Vector3 PolygonNormal(const std::vector<Vector3>& corners) {
    Vector3 n;
    for (size_t i = 0; i < corners.size(); ++i) {
        const Vector3& a = corners[i];
        const Vector3& b = corners[(i + 1) % corners.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n.Normalized();
}

// Right and down directions of a face seen from its visible side, so pictures are not mirrored:
// walls read with +y up, floors with +z up in the picture, ceilings with -z up.
void FaceAxes(const Vector3& n, Vector3& right, Vector3& down) {
    const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    if (ay >= ax && ay >= az) {
        right = Vector3::UnitX;
        down = (n.y > 0.0f) ? Vector3(0, 0, -1) : Vector3::UnitZ;
    } else if (ax >= az) {
        right = (n.x > 0.0f) ? Vector3::UnitZ : Vector3(0, 0, -1);
        down = Vector3(0, -1, 0);
    } else {
        right = (n.z > 0.0f) ? Vector3(-1, 0, 0) : Vector3::UnitX;
        down = Vector3(0, -1, 0);
    }
}

}  // namespace

int MeshBuilder::AddMaterial(const MeshMaterial& material) {
    materials.push_back(material);
    Use(static_cast<int>(materials.size()) - 1);
    return currentMaterial;
}

void MeshBuilder::Use(int material) { currentMaterial = material; }

MeshPrimitive& MeshBuilder::Current() {
    for (MeshPrimitive& primitive : primitives) {
        if (primitive.material == currentMaterial) {
            return primitive;
        }
    }
    primitives.push_back(MeshPrimitive{currentMaterial, {}, {}});
    return primitives.back();
}

void MeshBuilder::KeepTriangles(const std::function<bool(const Vector3&, const Vector3&, const Vector3&)>& keep) {
    for (MeshPrimitive& primitive : primitives) {
        std::vector<uint32_t> indices;
        for (size_t i = 0; i + 2 < primitive.indices.size(); i += 3) {
            const uint32_t* corner = &primitive.indices[i];
            if (keep(primitive.vertices[corner[0]].position, primitive.vertices[corner[1]].position,
                     primitive.vertices[corner[2]].position)) {
                indices.insert(indices.end(), corner, corner + 3);
            }
        }
        constexpr uint32_t kUnused = UINT32_MAX;
        std::vector<uint32_t> renumbered(primitive.vertices.size(), kUnused);
        std::vector<MeshVertex> vertices;
        for (uint32_t& index : indices) {
            if (renumbered[index] == kUnused) {
                renumbered[index] = static_cast<uint32_t>(vertices.size());
                vertices.push_back(primitive.vertices[index]);
            }
            index = renumbered[index];
        }
        primitive.vertices = std::move(vertices);
        primitive.indices = std::move(indices);
    }
}

void MeshBuilder::AddMarker(const std::string& name, const Vector3& minimum, const Vector3& maximum) {
    const Vector3 offset = placement.Translation();
    markers.push_back({name, minimum + offset, maximum + offset});
}

size_t MeshBuilder::TriangleCount() const {
    size_t count = 0;
    for (const MeshPrimitive& primitive : primitives) {
        count += primitive.indices.size() / 3;
    }
    return count;
}

uint32_t MeshBuilder::AddVertex(const Vector3& position, const Vector3& normal, const Vector2& uv) {
    MeshVertex vertex;
    vertex.position = Vector3::Transform(position, placement);
    vertex.normal = Vector3::TransformNormal(normal, placement).Normalized();
    if (inward) {
        vertex.normal = -vertex.normal;
    }
    vertex.uv = uv;
    vertex.color = color;
    std::vector<MeshVertex>& vertices = Current().vertices;
    vertices.push_back(vertex);
    return static_cast<uint32_t>(vertices.size() - 1);
}

// Winds the triangle so that its face agrees with its vertex normals; slivers are dropped.
void MeshBuilder::AddTriangle(uint32_t a, uint32_t b, uint32_t c) {
    MeshPrimitive& primitive = Current();
    const std::vector<MeshVertex>& v = primitive.vertices;
    const Vector3 face = (v[b].position - v[a].position).Cross(v[c].position - v[a].position);
    if (face.LengthSquared() < 1e-12f) {
        return;
    }
    if (face.Dot(v[a].normal + v[b].normal + v[c].normal) < 0.0f) {
        std::swap(b, c);
    }
    primitive.indices.insert(primitive.indices.end(), {a, b, c});
}

Vector2 MeshBuilder::PlanarUv(const Vector3& point, const Vector3& normal) const {
    Vector3 right, down;
    FaceAxes(normal, right, down);
    return {point.Dot(right) / textureScale, point.Dot(down) / textureScale};
}

void MeshBuilder::Face(const std::vector<Vector3>& corners, const Vector3& outward) {
    Vector3 normal = PolygonNormal(corners);
    if (normal.Dot(outward) < 0.0f) {
        normal = -normal;
    }
    std::vector<Vector2> uvs;
    if (textureScale > 0.0f) {
        for (const Vector3& corner : corners) {
            uvs.push_back(PlanarUv(corner, normal));
        }
    } else {
        // The face's own extent maps onto the whole picture.
        Vector3 right, down;
        FaceAxes(normal, right, down);
        float u0 = 1e30f, u1 = -1e30f, v0 = 1e30f, v1 = -1e30f;
        for (const Vector3& corner : corners) {
            u0 = std::min(u0, corner.Dot(right));
            u1 = std::max(u1, corner.Dot(right));
            v0 = std::min(v0, corner.Dot(down));
            v1 = std::max(v1, corner.Dot(down));
        }
        const float du = std::max(u1 - u0, 1e-6f), dv = std::max(v1 - v0, 1e-6f);
        for (const Vector3& corner : corners) {
            uvs.push_back({(corner.Dot(right) - u0) / du, (corner.Dot(down) - v0) / dv});
        }
    }
    Face(corners, uvs, normal);
}

void MeshBuilder::Face(const std::vector<Vector3>& corners, const std::vector<Vector2>& uvs, const Vector3& outward) {
    Vector3 normal = PolygonNormal(corners);
    if (normal.Dot(outward) < 0.0f) {
        normal = -normal;
    }
    std::vector<uint32_t> indices;
    for (size_t i = 0; i < corners.size(); ++i) {
        indices.push_back(AddVertex(corners[i], normal, uvs[i]));
    }
    for (size_t i = 1; i + 1 < indices.size(); ++i) {
        AddTriangle(indices[0], indices[i], indices[i + 1]);
    }
}

void MeshBuilder::Box(const Vector3& minimum, const Vector3& maximum, float bevel) {
    const float lo[3] = {minimum.x, minimum.y, minimum.z};
    const float hi[3] = {maximum.x, maximum.y, maximum.z};
    const Vector3 centre = (minimum + maximum) * 0.5f;
    // A corner of the face across `axis`, on the side given by the signs, inset by the bevel
    // along the face's own two axes.
    auto point = [&](int axis, const int(&s)[3]) {
        float c[3];
        for (int i = 0; i < 3; ++i) {
            c[i] = (s[i] > 0) ? hi[i] : lo[i];
            if (i != axis) {
                c[i] -= static_cast<float>(s[i]) * bevel;
            }
        }
        return Vector3(c[0], c[1], c[2]);
    };
    auto add = [&](const std::vector<Vector3>& corners) {
        Vector3 middle;
        for (const Vector3& c : corners) {
            middle += c;
        }
        Face(corners, middle / static_cast<float>(corners.size()) - centre);
    };
    for (int a = 0; a < 3; ++a) {
        const int b = (a + 1) % 3, c = (a + 2) % 3;
        for (int sa = -1; sa <= 1; sa += 2) {
            std::vector<Vector3> face;
            static const int kLoop[4][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
            for (const auto& corner : kLoop) {
                int s[3];
                s[a] = sa, s[b] = corner[0], s[c] = corner[1];
                face.push_back(point(a, s));
            }
            add(face);
            if (bevel <= 0.0f) {
                continue;
            }
            // The chamfer between this face and face b on each side.
            for (int sb = -1; sb <= 1; sb += 2) {
                int s0[3], s1[3];
                s0[a] = s1[a] = sa, s0[b] = s1[b] = sb, s0[c] = -1, s1[c] = 1;
                add({point(a, s0), point(a, s1), point(b, s1), point(b, s0)});
            }
        }
    }
    if (bevel <= 0.0f) {
        return;
    }
    for (int sx = -1; sx <= 1; sx += 2) {
        for (int sy = -1; sy <= 1; sy += 2) {
            for (int sz = -1; sz <= 1; sz += 2) {
                const int s[3] = {sx, sy, sz};
                add({point(0, s), point(1, s), point(2, s)});
            }
        }
    }
}

void MeshBuilder::PrismX(const std::vector<Vector2>& profileZY, float x0, float x1) {
    Vector2 middle;
    for (const Vector2& p : profileZY) {
        middle += p;
    }
    middle = middle / static_cast<float>(profileZY.size());
    std::vector<Vector3> left, right;
    for (size_t i = 0; i < profileZY.size(); ++i) {
        const Vector2& p = profileZY[i];
        const Vector2& q = profileZY[(i + 1) % profileZY.size()];
        const Vector2 out = (p + q) * 0.5f - middle;
        Face({{x0, p.y, p.x}, {x0, q.y, q.x}, {x1, q.y, q.x}, {x1, p.y, p.x}}, {0.0f, out.y, out.x});
        left.push_back({x0, p.y, p.x});
        right.push_back({x1, p.y, p.x});
    }
    Face(left, {-1, 0, 0});
    Face(right, {1, 0, 0});
}

void MeshBuilder::Band(const std::vector<Vector3>& ringA, const std::vector<Vector3>& ringB,
                       const std::vector<Vector3>& normalsA, const std::vector<Vector3>& normalsB,
                       const std::vector<float>& us, float vA, float vB) {
    for (size_t i = 0; i + 1 < ringA.size(); ++i) {
        const uint32_t a0 = AddVertex(ringA[i], normalsA[i], {us[i], vA});
        const uint32_t a1 = AddVertex(ringA[i + 1], normalsA[i + 1], {us[i + 1], vA});
        const uint32_t b0 = AddVertex(ringB[i], normalsB[i], {us[i], vB});
        const uint32_t b1 = AddVertex(ringB[i + 1], normalsB[i + 1], {us[i + 1], vB});
        AddTriangle(a0, a1, b1);
        AddTriangle(a0, b1, b0);
    }
}

void MeshBuilder::Cylinder(const Vector3& base, float height, float radiusBottom, float radiusTop, int segments,
                           bool caps) {
    std::vector<Vector3> bottom, top, normals;
    std::vector<float> us;
    const float slope = (radiusBottom - radiusTop) / height;
    for (int i = 0; i <= segments; ++i) {
        const float a = 2.0f * Math::kPi * static_cast<float>(i) / static_cast<float>(segments);
        const float c = std::cos(a), s = std::sin(a);
        bottom.push_back(base + Vector3(c * radiusBottom, 0.0f, s * radiusBottom));
        top.push_back(base + Vector3(c * radiusTop, height, s * radiusTop));
        normals.push_back(Vector3(c, slope, s).Normalized());
        us.push_back(static_cast<float>(i) / static_cast<float>(segments));
    }
    Band(top, bottom, normals, normals, us, 0.0f, 1.0f);
    if (!caps) {
        return;
    }
    bottom.pop_back();
    top.pop_back();
    Face(bottom, {0, -1, 0});
    if (radiusTop > 0.0f) {
        Face(top, {0, 1, 0});
    }
}

void MeshBuilder::CylinderX(float x0, float x1, float y, float z, float radius, int segments) {
    // +y of the upright cylinder becomes +x.
    Placed(Matrix::CreateRotationZ(-Math::kPi / 2) * Matrix::CreateTranslation(x0, y, z), [&] {
        Cylinder({0, 0, 0}, x1 - x0, radius, radius, segments);
    });
}

void MeshBuilder::CylinderZ(float z0, float z1, float x, float y, float radius, int segments, float radiusEnd) {
    // +y of the upright cylinder becomes +z.
    Placed(Matrix::CreateRotationX(Math::kPi / 2) * Matrix::CreateTranslation(x, y, z0), [&] {
        Cylinder({0, 0, 0}, z1 - z0, radius, radiusEnd < 0.0f ? radius : radiusEnd, segments);
    });
}

void MeshBuilder::Sphere(const Vector3& centre, float radius, int segments, int rings) {
    std::vector<Vector3> previous, previousNormals;
    std::vector<float> us;
    for (int i = 0; i <= segments; ++i) {
        us.push_back(static_cast<float>(i) / static_cast<float>(segments));
    }
    for (int r = 0; r <= rings; ++r) {
        const float polar = Math::kPi * static_cast<float>(r) / static_cast<float>(rings);
        std::vector<Vector3> ring, normals;
        for (int i = 0; i <= segments; ++i) {
            const float a = 2.0f * Math::kPi * static_cast<float>(i) / static_cast<float>(segments);
            const Vector3 n(std::sin(polar) * std::cos(a), std::cos(polar), std::sin(polar) * std::sin(a));
            ring.push_back(centre + n * radius);
            normals.push_back(n);
        }
        if (r > 0) {
            Band(previous, ring, previousNormals, normals, us, static_cast<float>(r - 1) / static_cast<float>(rings),
                 static_cast<float>(r) / static_cast<float>(rings));
        }
        previous = ring;
        previousNormals = normals;
    }
}

void MeshBuilder::Tread(float x0, float x1, float zBack, float zFront, float bottom, float radius, int arcSegments,
                        float beltLength, int sideMaterial) {
    const float centreY = bottom + radius;
    std::vector<Vector2> loop, normals;  // (z, y)
    loop.push_back({zBack, centreY + radius});
    normals.push_back({0, 1});
    // Down round the front wheel, back along the bottom, up round the rear wheel.
    for (int wheel = 0; wheel < 2; ++wheel) {
        const float centreZ = (wheel == 0) ? zFront : zBack;
        for (int i = 0; i <= arcSegments; ++i) {
            const float a = Math::kPi * (0.5f - static_cast<float>(i) / static_cast<float>(arcSegments)) -
                            static_cast<float>(wheel) * Math::kPi;
            const Vector2 n(std::cos(a), std::sin(a));
            loop.push_back(Vector2(centreZ, centreY) + n * radius);
            normals.push_back(n);
        }
    }
    std::vector<Vector3> ringA, ringB, normals3;
    std::vector<float> us;
    float length = 0.0f;
    for (size_t i = 0; i < loop.size(); ++i) {
        if (i > 0) {
            length += (loop[i] - loop[i - 1]).Length();
        }
        us.push_back(length / beltLength);
        ringA.push_back({x0, loop[i].y, loop[i].x});
        ringB.push_back({x1, loop[i].y, loop[i].x});
        normals3.push_back({0.0f, normals[i].y, normals[i].x});
    }
    Band(ringA, ringB, normals3, normals3, us, 0.0f, 1.0f);
    // Side plates over the whole loop outline.
    const int beltMaterial = currentMaterial;
    Use(sideMaterial);
    ringA.pop_back();
    ringB.pop_back();
    Face(ringA, {-1, 0, 0});
    Face(ringB, {1, 0, 0});
    Use(beltMaterial);
}
