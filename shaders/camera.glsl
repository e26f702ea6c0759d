// cbCamera, register b7: shared by every 3D program, written once per frame by the scene.
layout(std140, row_major) uniform cbCamera {
    mat4 g_mV;
    mat4 g_mP;
    vec3 g_CamPos;
    int g_DistanceFogEnable;
    vec3 g_DistanceFogColor;
    float g_DistanceFogDensity;
};
