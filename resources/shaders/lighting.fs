#version 330
// Up to eight lights (point, spot, sun) with the same falloff as the CPU shading, a shadow on the
// light the program names in shadowLight, ambient occlusion on the ambient term, a little
// specular and gamma.

#define MAX_LIGHTS 8
#define TYPE_POINT 0
#define TYPE_SPOT 1
#define TYPE_SUN 2

in vec3 fragPosition;
in vec2 fragTexCoord;
in vec3 fragNormal;
in vec4 fragColor;
in vec4 fragLightSpace;

uniform sampler2D texture0;
uniform vec4 colDiffuse;
uniform sampler2D shadowMap;
uniform sampler2D aoMap;

uniform vec3 viewPos;
uniform vec3 ambientColor;
uniform int shadowEnabled;
uniform int shadowLight;        // the uploaded light the shadow map was made for
uniform int shadowSoft;
uniform float shadowBias;
uniform float shadowTexelSize;
uniform int aoEnabled;
uniform vec2 screenSize;
uniform float specularStrength;
uniform float gamma;

uniform int lightCount;
uniform int lightType[MAX_LIGHTS];
uniform vec3 lightPos[MAX_LIGHTS];
uniform vec3 lightDir[MAX_LIGHTS];
uniform vec3 lightColor[MAX_LIGHTS];
uniform float lightBrightness[MAX_LIGHTS];
uniform float lightRange[MAX_LIGHTS];
uniform float lightCosInner[MAX_LIGHTS];
uniform float lightCosOuter[MAX_LIGHTS];

out vec4 finalColor;

// 1 where the shadow map sees this point, 0 where something nearer the light hides it.
float Lit(float nDotL)
{
    vec3 p = fragLightSpace.xyz / fragLightSpace.w * 0.5 + 0.5;
    if (p.x < 0.0 || p.x > 1.0 || p.y < 0.0 || p.y > 1.0 || p.z > 1.0) return 1.0;
    float bias = shadowBias * (1.0 + 4.0 * (1.0 - nDotL));   // grazing light needs more
    if (shadowSoft == 0) return (p.z - bias > texture(shadowMap, p.xy).r) ? 0.0 : 1.0;
    float sum = 0.0;
    for (int x = -1; x <= 1; x++) {
        for (int y = -1; y <= 1; y++) {
            float d = texture(shadowMap, p.xy + vec2(x, y) * shadowTexelSize).r;
            sum += (p.z - bias > d) ? 0.0 : 1.0;
        }
    }
    return sum / 9.0;
}

void main()
{
    vec4 texel = texture(texture0, fragTexCoord) * colDiffuse * fragColor;
    vec3 base = pow(texel.rgb, vec3(gamma));
    vec3 n = fragNormal;
    n = (length(n) > 0.0001) ? normalize(n) : vec3(0.0, 1.0, 0.0);
    vec3 v = normalize(viewPos - fragPosition);

    float ao = 1.0;
    if (aoEnabled == 1) ao = texture(aoMap, gl_FragCoord.xy / screenSize).r;

    // The caster's shadow is looked up once here: inside the loop a software GL would pay for
    // the lookup in every pass, whichever light the pass is for.
    int caster = (shadowEnabled == 1) ? shadowLight : -1;
    float shadow = 1.0;
    if (caster >= 0) {
        vec3 lc = (lightType[caster] == TYPE_SUN) ? -lightDir[caster] : normalize(lightPos[caster] - fragPosition);
        float nDotLc = dot(n, lc);
        if (nDotLc > 0.0) shadow = Lit(nDotLc);
    }
    vec3 diffuse = vec3(0.0);
    vec3 specular = vec3(0.0);
    for (int i = 0; i < MAX_LIGHTS; i++) {
        if (i >= lightCount) break;
        vec3 l;
        float a = 1.0;
        if (lightType[i] == TYPE_SUN) {
            l = -lightDir[i];
        } else {
            float d = distance(lightPos[i], fragPosition);
            if (d > lightRange[i]) continue;
            l = normalize(lightPos[i] - fragPosition);
            a = (1.0 - d / lightRange[i]) * (1.0 - d / lightRange[i]);
            if (lightType[i] == TYPE_SPOT) {
                float c = dot(-l, lightDir[i]);
                if (c < lightCosOuter[i]) continue;
                if (c < lightCosInner[i]) {
                    float w = lightCosInner[i] - lightCosOuter[i];
                    float t = (w > 0.0001) ? (c - lightCosOuter[i]) / w : 1.0;
                    a *= t * t;
                }
            }
        }
        float nDotL = dot(n, l);
        if (nDotL <= 0.0) continue;
        if (i == caster) a *= shadow;
        vec3 energy = lightColor[i] * lightBrightness[i] * a;
        diffuse += energy * nDotL;
        vec3 h = normalize(l + v);
        float s = max(dot(n, h), 0.0);   // to the 32nd power by squaring, cheaper than pow()
        s *= s;
        s *= s;
        s *= s;
        s *= s;
        s *= s;
        specular += energy * specularStrength * s;
    }
    vec3 light = min(ambientColor * ao + diffuse, vec3(2.0));
    vec3 colour = base * light + specular;
    finalColor = vec4(pow(colour, vec3(1.0 / gamma)), texel.a);
}
