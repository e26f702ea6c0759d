layout(location = 0) in vec3 POSITION;
layout(location = 1) in vec2 TEXCOORD;
layout(location = 2) in vec3 NORMAL;
layout(location = 3) in vec4 COLOR;

out vec2 vTexCoord;
out vec3 vNormal;
out vec4 vColor;
out vec3 vWorldPos;

void main() {
    vec4 worldPos = vec4(POSITION, 1.0) * g_mW;
    gl_Position = worldPos * g_mV * g_mP;
    vTexCoord = TEXCOORD * g_UVTiling + g_UVOffset;
    vNormal = normalize(NORMAL * mat3(g_mW));
    vColor = COLOR;
    vWorldPos = worldPos.xyz;
}
