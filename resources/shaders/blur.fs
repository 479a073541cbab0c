#version 330
// A 4 x 4 box blur of the occlusion, which hides the pattern of its per-pixel sample rotation.

in vec2 fragTexCoord;

uniform sampler2D texture0;
uniform vec2 texelSize;

out vec4 finalColor;

void main()
{
    vec2 uv = gl_FragCoord.xy * texelSize;
    float sum = 0.0;
    for (int x = -2; x < 2; x++) {
        for (int y = -2; y < 2; y++) sum += texture(texture0, uv + (vec2(x, y) + 0.5) * texelSize).r;
    }
    finalColor = vec4(vec3(sum / 16.0), 1.0);
}
