layout(location = 0) in vec3 POSITION;
layout(location = 1) in vec2 TEXCOORD;
layout(location = 3) in vec4 COLOR;

out vec2 vTexCoord;
out vec4 vColor;

void main() {
    gl_Position = vec4(POSITION, 1.0) * g_mW * g_mV * g_mP;
    vTexCoord = TEXCOORD * g_UVTiling + g_UVOffset;
    vColor = COLOR;
}
