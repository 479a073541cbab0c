#version 330
// Up to eight lights (point, spot, sun) with the same falloff as the CPU shading, a shadow on the
// sun the program names in shadowLight, ambient occlusion on the ambient term, a little specular
// and gamma.
//
// The program may be built with its passes and its lights fixed: then SHADOWS_ON, SHADOWS_SOFT and
// AO_ON are defined as true or false and LIGHT_SLOTS as one call per light slot (AddSun(0);
// AddLamp(1, true); ...). A software GL runs both sides of every branch and looks each light up
// by its index at run time; fixed, the compiler drops the passes that are off and each slot is
// the code of its own kind of light. Built as it is, the uniforms decide.

#define MAX_LIGHTS 8
#define TYPE_POINT 0
#define TYPE_SPOT 1
#define TYPE_SUN 2

in vec3 fragPosition;
in vec2 fragTexCoord;
in vec3 fragNormal;
in vec4 fragColor;
in vec3 fragShadowCoord;

uniform sampler2D texture0;
uniform vec4 colDiffuse;
uniform sampler2D shadowMap;
uniform sampler2D aoMap;

uniform vec3 viewPos;
uniform vec3 ambientColor;
uniform int shadowEnabled;
uniform int shadowLight;        // the uploaded sun the shadow map was made for
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

#ifndef LIGHT_SLOTS
#define SHADOWS_ON (shadowEnabled == 1)
#define SHADOWS_SOFT (shadowSoft == 1)
#define AO_ON (aoEnabled == 1)
#endif

// What the lights add up to at this fragment, and what they need of it.
vec3 gNormal;
vec3 gView;
int gCaster;          // the sun's slot the shadow map was made for, -1 for none
float gShadow;
vec3 gDiffuse = vec3(0.0);
vec3 gSpecular = vec3(0.0);

// 1 where the shadow map sees this point, 0 where something nearer the light hides it.
float Lit(float nDotL)
{
    vec3 p = fragShadowCoord;
    if (p.x < 0.0 || p.x > 1.0 || p.y < 0.0 || p.y > 1.0 || p.z > 1.0) return 1.0;
    float bias = shadowBias * (1.0 + 4.0 * (1.0 - nDotL));   // grazing light needs more
    if (!SHADOWS_SOFT) return (p.z - bias > texture(shadowMap, p.xy).r) ? 0.0 : 1.0;
    float sum = 0.0;
    for (int x = -1; x <= 1; x++) {
        for (int y = -1; y <= 1; y++) {
            float d = texture(shadowMap, p.xy + vec2(x, y) * shadowTexelSize).r;
            sum += (p.z - bias > d) ? 0.0 : 1.0;
        }
    }
    return sum / 9.0;
}

// Light slot i arriving from direction l with attenuation a: its diffuse and a little specular.
void Shade(int i, vec3 l, float a)
{
    float nDotL = dot(gNormal, l);
    if (nDotL <= 0.0) return;
    if (i == gCaster) a *= gShadow;
    vec3 energy = lightColor[i] * lightBrightness[i] * a;
    gDiffuse += energy * nDotL;
    vec3 h = normalize(l + gView);
    float s = max(dot(gNormal, h), 0.0);   // to the 32nd power by squaring, cheaper than pow()
    s *= s;
    s *= s;
    s *= s;
    s *= s;
    s *= s;
    gSpecular += energy * specularStrength * s;
}

void AddSun(int i)
{
    Shade(i, -lightDir[i], 1.0);
}

// A point light, or with spot a spot light: nothing beyond its range or outside its cone.
void AddLamp(int i, bool spot)
{
    float d = distance(lightPos[i], fragPosition);
    if (d > lightRange[i]) return;
    vec3 l = normalize(lightPos[i] - fragPosition);
    float a = (1.0 - d / lightRange[i]) * (1.0 - d / lightRange[i]);
    if (spot) {
        float c = dot(-l, lightDir[i]);
        if (c < lightCosOuter[i]) return;
        if (c < lightCosInner[i]) {
            float w = lightCosInner[i] - lightCosOuter[i];
            float t = (w > 0.0001) ? (c - lightCosOuter[i]) / w : 1.0;
            a *= t * t;
        }
    }
    Shade(i, l, a);
}

// Light slot i of the kind its lightType says.
void AddLight(int i)
{
    if (lightType[i] == TYPE_SUN) AddSun(i);
    else AddLamp(i, lightType[i] == TYPE_SPOT);
}

void main()
{
    vec4 texel = texture(texture0, fragTexCoord) * colDiffuse * fragColor;
    vec3 base = pow(texel.rgb, vec3(gamma));
    vec3 n = fragNormal;
    gNormal = (length(n) > 0.0001) ? normalize(n) : vec3(0.0, 1.0, 0.0);
    gView = normalize(viewPos - fragPosition);

    float ao = 1.0;
    if (AO_ON) ao = texture(aoMap, gl_FragCoord.xy / screenSize).r;

    // The caster's shadow is looked up once here: inside the loop a software GL would pay for
    // the lookup in every pass, whichever light the pass is for. The map is a view along one
    // direction, so it answers only for light that all comes from there, a sun's: a point or spot
    // lamp spreads from its position and is never shadowed by it.
    gCaster = SHADOWS_ON ? shadowLight : -1;
    if (gCaster >= 0 && lightType[gCaster] != TYPE_SUN) gCaster = -1;
    gShadow = 1.0;
    if (gCaster >= 0) {
        float nDotLc = dot(gNormal, -lightDir[gCaster]);
        if (nDotLc > 0.0) gShadow = Lit(nDotLc);
    }
#ifdef LIGHT_SLOTS
    LIGHT_SLOTS
#else
    for (int i = 0; i < MAX_LIGHTS; i++) {
        if (i >= lightCount) break;
        AddLight(i);
    }
#endif
    vec3 light = min(ambientColor * ao + gDiffuse, vec3(2.0));
    vec3 colour = base * light + gSpecular;
    finalColor = vec4(pow(colour, vec3(1.0 / gamma)), texel.a);
}
