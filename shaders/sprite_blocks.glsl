// Constants of the 2D program: placement and colour (b0), projection (b1).
layout(std140, row_major) uniform cbSprite {
    mat4 g_mTransform;
    vec4 g_color;
};

layout(std140, row_major) uniform cbProjection {
    mat4 g_mProj;
};
