uniform sampler2D g_inputTex;

in vec2 vTexCoord;

out vec4 fragColor;

void main() {
    vec4 c = texture(g_inputTex, vTexCoord);
    if (c.a < 0.1) {
        discard;
    }
    fragColor = c * g_color;
}
