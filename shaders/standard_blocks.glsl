// Constants of the lit model program: per object (b0), per material (b1) and the lights (b8).
layout(std140, row_major) uniform cbObject {
    mat4 g_mW;
    vec2 g_UVOffset;
    vec2 g_UVTiling;
    int g_LightEnable;
    float g_AlphaTestThreshold;
    vec2 cbObjectPad;
};

layout(std140) uniform cbMaterial {
    vec4 BaseColor;
    vec3 Emissive;
    float Metallic;
    float Roughness;
    float cbMaterialPad0;
    float cbMaterialPad1;
    float cbMaterialPad2;
};

const int kMaxPointLights = 100;

struct PointLight {
    vec3 color;
    float radius;
    vec3 pos;
    float tmp4;
};

layout(std140) uniform cbLight {
    vec3 g_AmbientLight;
    vec3 g_DL_Dir;
    vec3 g_DL_Color;
    PointLight g_PL[kMaxPointLights];
    int g_PL_Num;
    int cbLightPad0;
    int cbLightPad1;
    int cbLightPad2;
};
