layout(location = 0) in vec3 POSITION;
layout(location = 1) in vec2 TEXCOORD;

out vec2 vTexCoord;

void main() {
    gl_Position = vec4(POSITION, 1.0) * g_mTransform * g_mProj;
    vTexCoord = TEXCOORD;
}
