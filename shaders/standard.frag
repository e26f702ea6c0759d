uniform sampler2D g_baseTex;
uniform sampler2D g_emissiveTex;
uniform sampler2D g_mrTex;

// Variants leave out work that cannot change the colour of a draw (see FwStandardShader):
// NO_BASE_TEX, the base-colour texture is white, so base is the material's colour;
// NO_MR_TEX, the metallic-roughness texture is white, so metallic and roughness are the material's
// constants and the specular power and its normalisation come per material in g_SpecPowerNorm;
// NO_EMISSIVE_TEX, the emissive texture is white; NO_POINT_LIGHTS, g_PL_Num is 0 or less;
// NO_FOG, g_DistanceFogEnable is 0; NO_LIGHTING, g_LightEnable is 0.
// VERTEX_LIGHTING (with NO_POINT_LIGHTS only) is the cheaper look of frames that cannot afford
// the full one: the light and the fog come per vertex from standard.vert.
#ifdef NO_MR_TEX
uniform vec2 g_SpecPowerNorm;
#endif

in vec2 vTexCoord;
in vec3 vNormal;
in vec4 vColor;
in vec3 vWorldPos;
#ifdef VERTEX_LIGHTING
in vec3 vDiffuseLight;
in vec3 vSpecularLight;
in float vFog;
#endif

out vec4 fragColor;

const float kInvPi = 0.31831;
const float kInvTwoPi = 0.159155;

float Saturate(float x) {
    return clamp(x, 0.0, 1.0);
}

void main() {
#ifdef NO_BASE_TEX
    vec4 base = BaseColor;
#else
    vec4 base = texture(g_baseTex, vTexCoord) * BaseColor;
#endif
    vec4 albedo = base * vColor;
    if (g_AlphaTestThreshold >= albedo.a) {
        discard;
    }
    vec3 toCam = g_CamPos - vWorldPos;
    float camDist = length(toCam);

    vec3 color;
#ifndef NO_LIGHTING
    if (g_LightEnable != 0) {
#ifdef VERTEX_LIGHTING
#ifdef NO_MR_TEX
        float metallic = Metallic;
#else
        float metallic = texture(g_mrTex, vTexCoord).b * Metallic;
#endif
        vec3 sum = (vDiffuseLight * albedo.rgb * (1.0 - metallic) +
                    vSpecularLight * (0.04 + (base.rgb * vColor.rgb - 0.04) * metallic)) *
                   BaseColor.a;
#else
        vec3 V = toCam / camDist;
        vec3 N = normalize(vNormal);
#ifdef NO_MR_TEX
        float metallic = Metallic;
        float power = g_SpecPowerNorm.x;
        float norm = g_SpecPowerNorm.y;
#else
        vec4 mr = texture(g_mrTex, vTexCoord);
        float metallic = mr.b * Metallic;
        float roughness = mr.g * Roughness;
        float power = exp2((1.0 - roughness) * 13.0);
        float norm = (power + 2.0) * kInvTwoPi;
#endif
        vec3 diffuseColor = albedo.rgb * (1.0 - metallic);
        vec3 specColor = 0.04 + (base.rgb * vColor.rgb - 0.04) * metallic;

        float NdotL = Saturate(dot(-g_DL_Dir, N));
        vec3 diffuse = NdotL * kInvPi * g_DL_Color * diffuseColor;
        vec3 H = normalize(V - g_DL_Dir);
        vec3 spec = pow(Saturate(dot(N, H)), power) * norm * g_DL_Color * specColor;
        vec3 sum = (diffuse + spec) * BaseColor.a;

#ifndef NO_POINT_LIGHTS
        // The count comes from game code; the array holds no more than its size.
        int lightCount = min(g_PL_Num, kMaxPointLights);
        for (int k = 0; k < lightCount; ++k) {
            vec3 L = g_PL[k].pos - vWorldPos;
            float d = length(L);
            if (d < g_PL[k].radius) {
                vec3 Ln = L / d;
                float fall = Saturate(1.0 - d / g_PL[k].radius);
                vec3 pointDiffuse = Saturate(dot(N, Ln)) * kInvPi * fall * g_PL[k].color * diffuseColor;
                vec3 pointH = normalize(V + Ln);
                vec3 pointSpec = pow(Saturate(dot(N, pointH)), power) * norm * fall * g_PL[k].color * specColor;
                sum += (pointDiffuse + pointSpec) * BaseColor.a;
            }
        }
#endif
#endif
#ifdef NO_EMISSIVE_TEX
        vec3 emissive = Emissive;
#else
        vec3 emissive = texture(g_emissiveTex, vTexCoord).rgb * Emissive;
#endif
        color = albedo.rgb * g_AmbientLight * BaseColor.a + sum + emissive * BaseColor.a;
    } else
#endif
    {
        color = albedo.rgb * BaseColor.a;
    }

#ifndef NO_FOG
    if (g_DistanceFogEnable != 0) {
#ifdef VERTEX_LIGHTING
        float fog = vFog;
#else
        float fog = min(1.0 / exp2(camDist * g_DistanceFogDensity * 1.4427), 1.0);
#endif
        color = g_DistanceFogColor + fog * (color - g_DistanceFogColor);
    }
#endif
    fragColor = vec4(color, albedo.a);
}
