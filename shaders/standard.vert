layout(location = 0) in vec3 POSITION;
layout(location = 1) in vec2 TEXCOORD;
layout(location = 2) in vec3 NORMAL;
layout(location = 3) in vec4 COLOR;

out vec2 vTexCoord;
out vec3 vNormal;
out vec4 vColor;
out vec3 vWorldPos;

#ifdef VERTEX_LIGHTING
// The cheaper look (see standard.frag): the directional light's terms and the fog per vertex, the
// specular power from the material's constants alone.
out vec3 vDiffuseLight;
out vec3 vSpecularLight;
out float vFog;
#ifdef NO_MR_TEX
uniform vec2 g_SpecPowerNorm;
#endif
#endif

void main() {
    vec4 worldPos = vec4(POSITION, 1.0) * g_mW;
    gl_Position = worldPos * g_mV * g_mP;
    vTexCoord = TEXCOORD * g_UVTiling + g_UVOffset;
    vNormal = normalize(NORMAL * mat3(g_mW));
    vColor = COLOR;
    vWorldPos = worldPos.xyz;
#ifdef VERTEX_LIGHTING
    vec3 toCam = g_CamPos - vWorldPos;
    float camDist = length(toCam);
    vec3 H = normalize(toCam / camDist - g_DL_Dir);
#ifdef NO_MR_TEX
    float power = g_SpecPowerNorm.x;
    float norm = g_SpecPowerNorm.y;
#else
    float power = exp2((1.0 - Roughness) * 13.0);
    float norm = (power + 2.0) * 0.159155;
#endif
    vDiffuseLight = clamp(dot(-g_DL_Dir, vNormal), 0.0, 1.0) * 0.31831 * g_DL_Color;
    vSpecularLight = pow(clamp(dot(vNormal, H), 0.0, 1.0), power) * norm * g_DL_Color;
    vFog = min(1.0 / exp2(camDist * g_DistanceFogDensity * 1.4427), 1.0);
#endif
}
