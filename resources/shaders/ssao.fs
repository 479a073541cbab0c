#version 330
// Screen-space ambient occlusion from the depth prepass: view positions are rebuilt with the
// inverse of the projection the prepass used, samples are taken in a hemisphere about the normal
// and tested against the depth they land on. 1 is open, 0 fully occluded.

#define MAX_SAMPLES 24

in vec2 fragTexCoord;

uniform sampler2D depthTexture;
uniform mat4 projection;
uniform mat4 invProjection;
uniform vec2 screenSize;           // this target's size
uniform float radius;
uniform float intensity;
uniform float bias;
uniform int sampleCount;
uniform float nearPlane;
uniform float farPlane;

out vec4 finalColor;

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(12.9898, 78.233))) * 43758.5453);
}

vec3 ViewPosition(vec2 uv)
{
    float d = texture(depthTexture, uv).r;
    vec4 v = invProjection * vec4(uv * 2.0 - 1.0, d * 2.0 - 1.0, 1.0);
    return v.xyz / v.w;
}

void main()
{
    vec2 uv = gl_FragCoord.xy / screenSize;
    if (texture(depthTexture, uv).r >= 1.0) { finalColor = vec4(1.0); return; }   // sky
    vec3 p = ViewPosition(uv);
    if (-p.z < nearPlane || -p.z > farPlane) { finalColor = vec4(1.0); return; }
    vec3 n = normalize(cross(dFdx(p), dFdy(p)));
    if (dot(n, p) > 0.0) n = -n;                                   // towards the camera

    vec3 r = normalize(vec3(Hash(gl_FragCoord.xy) * 2.0 - 1.0, Hash(gl_FragCoord.yx + 1.7) * 2.0 - 1.0, 0.3));
    vec3 t = normalize(r - n * dot(r, n));
    mat3 tbn = mat3(t, cross(n, t), n);

    float occlusion = 0.0;
    int count = min(sampleCount, MAX_SAMPLES);
    for (int i = 0; i < MAX_SAMPLES; i++) {
        if (i >= count) break;
        float fi = float(i);
        vec3 s = vec3(Hash(vec2(fi, 1.3)) * 2.0 - 1.0, Hash(vec2(fi, 7.1)) * 2.0 - 1.0, Hash(vec2(fi, 3.7)) + 0.05);
        float scale = (fi + 1.0) / float(count);
        s = normalize(s) * mix(0.1, 1.0, scale * scale);
        vec3 q = p + tbn * s * radius;
        vec4 clip = projection * vec4(q, 1.0);
        vec2 quv = clip.xy / clip.w * 0.5 + 0.5;
        if (quv.x < 0.0 || quv.x > 1.0 || quv.y < 0.0 || quv.y > 1.0) continue;
        float sceneZ = ViewPosition(quv).z;
        float closeness = smoothstep(0.0, 1.0, radius / max(abs(p.z - sceneZ), 0.0001));
        occlusion += (sceneZ >= q.z + bias ? 1.0 : 0.0) * closeness;
    }
    float ao = 1.0 - intensity * occlusion / float(max(count, 1));
    finalColor = vec4(vec3(clamp(ao, 0.0, 1.0)), 1.0);
}
