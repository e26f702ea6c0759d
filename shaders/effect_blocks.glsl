// cbPerObject, register b0 of the unlit effect program.
layout(std140, row_major) uniform cbPerObject {
    mat4 g_mW;
    vec2 g_UVOffset;
    vec2 g_UVTiling;
    float g_AlphaTestThreshold;
    float cbPerObjectPad0;
    float cbPerObjectPad1;
    float cbPerObjectPad2;
};
