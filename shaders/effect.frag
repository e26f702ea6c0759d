uniform sampler2D g_tex;

in vec2 vTexCoord;
in vec4 vColor;

out vec4 fragColor;

void main() {
    vec4 c = texture(g_tex, vTexCoord) * vColor;
    if (g_AlphaTestThreshold >= c.a) {
        discard;
    }
    fragColor = c;
}
