// The atlas holds coverage only: the glyph is white with that alpha, times the colour.
uniform sampler2D g_atlas;

in vec2 vTexCoord;
in vec4 vColor;

out vec4 fragColor;

void main() {
    fragColor = vec4(vColor.rgb, vColor.a * texture(g_atlas, vTexCoord).r);
}
